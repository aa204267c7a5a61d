#pragma once

#include "ReportFrame.h"

#include "core/reports/SelectStudents.h"

#include <QList>

class QuizEntity;
class ClassStudyGuideReport;

// "ClassStudyGuide" on the Dravel-named pages: the Class Study Guide of one session for the ticked
// students, each student's missed questions as a table of number, correct answer and the
// student's answer; the students listed beside the pages. The Dravel-named windows have no CSV,
// and no window of the system opens them: a caller makes one with a session and runs it modally.
class ClassStudyGuideDravelController : public ReportFrame
{
    Q_OBJECT
public:
    ClassStudyGuideDravelController(const QuizEntity &quiz, const QList<SelectStudents> &studentList, QWidget *parent = nullptr);

    ClassStudyGuideReport *classStudyGuideReport() const;
};

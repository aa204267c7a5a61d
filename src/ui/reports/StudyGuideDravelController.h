#pragma once

#include "ReportFrame.h"

#include "core/reports/SelectStudents.h"

#include <QList>

class QuizEntity;
class StudyGuideReport;

// "StudyGuide" on the Dravel-named pages: the Study Guide of the ticked students, each missed
// question's correct answer at the right end of the student's answer line; the students listed
// beside the pages. No CSV; no window of the system opens it.
class StudyGuideDravelController : public ReportFrame
{
    Q_OBJECT
public:
    StudyGuideDravelController(const QuizEntity &quiz, const QList<SelectStudents> &studentList, QWidget *parent = nullptr);

    StudyGuideReport *studyGuideReport() const;
};

#pragma once

#include "ReportFrame.h"

#include "core/reports/SelectStudents.h"

#include <QList>

class QuizEntity;
class StudyGuideReport;

// "StudyGuide": the Study Guide of one session for the ticked students, with the students listed
// beside the pages (choosing one shows their first page).
class StudyGuideController : public ReportFrame
{
    Q_OBJECT
public:
    StudyGuideController(const QuizEntity &quiz, const QList<SelectStudents> &studentList, QWidget *parent = nullptr);

    StudyGuideReport *studyGuideReport() const;
};

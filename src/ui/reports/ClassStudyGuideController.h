#pragma once

#include "ReportFrame.h"

#include "core/reports/SelectStudents.h"

#include <QList>

class QuizEntity;
class ClassStudyGuideReport;

// "ClassStudyGuide": the Class Study Guide of one session for the ticked students, with the
// students listed beside the pages (choosing one shows their first page).
class ClassStudyGuideController : public ReportFrame
{
    Q_OBJECT
public:
    ClassStudyGuideController(const QuizEntity &quiz, const QList<SelectStudents> &studentList,
                              QWidget *parent = nullptr);

    ClassStudyGuideReport *classStudyGuideReport() const;
};

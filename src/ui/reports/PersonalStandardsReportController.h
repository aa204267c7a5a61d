#pragma once

#include "ReportFrame.h"

#include "core/reports/SelectStudents.h"

#include <QList>

class QuizEntity;
class PersonalStandardsReport;

// "PersonalStandardsReport": the Personal Standards Report of one session for the ticked
// students, with the outline of the students and their codes beside the pages.
class PersonalStandardsReportController : public ReportFrame
{
    Q_OBJECT
public:
    PersonalStandardsReportController(const QuizEntity &quiz, const QList<SelectStudents> &studentList, QWidget *parent = nullptr);

    PersonalStandardsReport *personalStandardsReport() const;
};

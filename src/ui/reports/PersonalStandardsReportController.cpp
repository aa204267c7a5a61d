#include "PersonalStandardsReportController.h"

#include "core/reports/PersonalStandardsReport.h"

PersonalStandardsReportController::PersonalStandardsReportController(const QuizEntity &quiz,
                                                                     const QList<SelectStudents> &studentList,
                                                                     QWidget *parent)
    : ReportFrame(std::make_unique<PersonalStandardsReport>(quiz, studentList), QStringLiteral("PersonalStandardsReport"), parent)
{
}

PersonalStandardsReport *PersonalStandardsReportController::personalStandardsReport() const
{
    return static_cast<PersonalStandardsReport *>(report());
}

#include "StudentResponseResultController.h"

#include "core/reports/StudentResponseResultReport.h"

StudentResponseResultController::StudentResponseResultController(const QuizEntity &quiz,
                                                                 const QList<SelectStudents> &studentList,
                                                                 QWidget *parent)
    : ReportFrame(std::make_unique<StudentResponseResultReport>(quiz, studentList),
                  QStringLiteral("StudentResponseResult"), parent)
{
}

StudentResponseResultReport *StudentResponseResultController::studentResponseResultReport() const
{
    return static_cast<StudentResponseResultReport *>(report());
}

#include "StudentPointsListController.h"

#include "core/reports/StudentPointsList.h"

StudentPointsListController::StudentPointsListController(const QuizEntity &quiz, QWidget *parent)
    : ReportFrame(std::make_unique<StudentPointsList>(quiz), QStringLiteral("StudentPointsList"), parent)
{
}

StudentPointsList *StudentPointsListController::studentPointsList() const
{
    return static_cast<StudentPointsList *>(report());
}

#include "GroupResultController.h"

#include "core/reports/GroupResultReport.h"

GroupResultController::GroupResultController(const QuizEntity &quiz, QWidget *parent)
    : ReportFrame(std::make_unique<GroupResultReport>(quiz), QStringLiteral("GroupResult"), parent)
{
}

GroupResultReport *GroupResultController::groupResultReport() const
{
    return static_cast<GroupResultReport *>(report());
}

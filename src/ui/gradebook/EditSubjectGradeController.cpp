#include "EditSubjectGradeController.h"

EditSubjectGradeController::EditSubjectGradeController(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("EditSubjectGrade"));
}

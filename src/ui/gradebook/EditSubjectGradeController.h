#pragma once

#include <QDialog>

// "EditSubjectGrade": a window without fields that stands beside the points-only session editor.
// Nothing in the program opens it; closing it ends its modal run with 0 (Cancel).
class EditSubjectGradeController : public QDialog
{
    Q_OBJECT
public:
    explicit EditSubjectGradeController(QWidget *parent = nullptr);
};

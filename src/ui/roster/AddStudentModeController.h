#pragma once

#include <QDialog>

class QButtonGroup;
class QPushButton;
class QWidget;

// Asked right after a class was created ("AddStudentMode"): how its students come in. After OK,
// switchType is the row chosen: 0 new students, 1 students from the roster, 2 a CSV import.
class AddStudentModeController : public QDialog
{
    Q_OBJECT
public:
    explicit AddStudentModeController(QWidget *parent = nullptr);

    int switchType() const { return m_switchType; }
    // The CSV import is offered only where it is built.
    void setImportAvailable(bool available);

    void doOK();
    void doCancel();

    QWidget *modeToAddStudents = nullptr;
    QPushButton *btnOK = nullptr;
    QPushButton *btnCancel = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QButtonGroup *m_rows = nullptr;
    int m_switchType = -1;
};

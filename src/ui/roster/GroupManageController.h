#pragma once

#include "core/store/MyClass.h"
#include "core/store/StudentInClass.h"

#include <QDialog>
#include <QList>

class QComboBox;
class QLineEdit;
class QPushButton;
class StudentTableView;

// The grouping dialog ("GroupManage"): a class's students with their group numbers, split into
// a number of groups in roster order, at random, or by hand in the manual grouping. Every
// grouping and every class choice is announced with "ClassChanged".
class GroupManageController : public QDialog
{
    Q_OBJECT
public:
    explicit GroupManageController(QWidget *parent = nullptr);

    void setClassIndex(int index) { classIndex = index; }
    int exec() override;
    void awakeFromNib();

    void comboBoxSelectionDidChange(int index);
    void doOrder();
    void doRandom();
    void doManual();
    void doClose();

    const QList<StudentInClass> &students() const { return m_students; }

    QComboBox *cmbClass = nullptr;
    QLineEdit *txtParticipant = nullptr;
    QLineEdit *txtGroup = nullptr;
    StudentTableView *tblStudent = nullptr;
    QPushButton *btnOrder = nullptr;
    QPushButton *btnRandom = nullptr;
    QPushButton *btnManual = nullptr;
    QPushButton *btnClose = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void loadStudents();
    void showGroupCount();
    int classNo() const;
    int groupCount() const;
    // The checks before every grouping; false after the alert that stops it.
    bool dataCheckBeforeOperate();
    // Writes the groups of the students in the given order; false after an alert.
    bool writeGroups(const QList<StudentInClass> &order);
    void classChanged();

    int classIndex = -1;
    QList<MyClass> m_classes;
    QList<StudentInClass> m_students;
};

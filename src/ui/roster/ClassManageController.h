#pragma once

#include "core/store/MyClass.h"
#include "core/store/StudentInClass.h"

#include <QDialog>
#include <QList>

class Orvenda_AppDelegate;
class EditHold;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class AddressTextView;
class GenderMatrix;
class QDateEdit;
class StudentInfoForm;
class StudentTableView;

// The class students manager ("ClassManage"): the school roster beside the students of one
// class. Roster students are copied into the class, students are taken out of it, or a new
// student is typed and goes into the roster and the class together. A class holds at most the
// receiver's number of students. Every change of the class is announced with "ClassChanged".
class ClassManageController : public QDialog
{
    Q_OBJECT
public:
    explicit ClassManageController(QWidget *parent = nullptr);

    // The class shown first, a position in the class store's list; before the window loads.
    void setClassIndex(int index) { classIndexToAddStudent = index; }
    int classIndex() const { return classIndexToAddStudent; }

    int exec() override;
    void awakeFromNib();

    void doAddFromRoster();
    void doRemoveFromClass();
    void doAddNew();
    void doClose();
    void comboBoxSelectionDidChange(QComboBox *combo, int index);
    void tableViewSelectionDidChange();
    void controlTextDidChange(QWidget *field);

    void loadStudentRoster();
    void loadClass();
    void loadStudentsInClass(int classNo);
    // Chooses the students with these IDs in both class tables and scrolls the first of them
    // into view, so the teacher sees where the students just added went.
    void showInClass(const QStringList &ids);
    void clearStudentInfo();

    const QList<StudentInClass> &arrStudentRoster() const { return m_arrStudentRoster; }
    const QList<StudentInClass> &arrStudentInClass1() const { return m_arrStudentInClass; }
    const QList<MyClass> &arrClasses() const { return m_arrClasses; }

    QTabWidget *tabView = nullptr;
    StudentTableView *tblStudentRoster = nullptr;
    StudentTableView *tblStudentInClass1 = nullptr;
    StudentTableView *tblStudentInClass2 = nullptr;
    QComboBox *comboClass1 = nullptr;
    QComboBox *comboClass2 = nullptr;
    QPushButton *btnAddFromRoster = nullptr;
    QPushButton *btnRemoveFromClass = nullptr;
    QPushButton *btnAddNew = nullptr;
    QPushButton *btnClose = nullptr;
    StudentInfoForm *studentInfo = nullptr;
    QLineEdit *textStudentID = nullptr;
    QLineEdit *textDeviceNo = nullptr;
    QLineEdit *textStudentFirstName = nullptr;
    QLineEdit *textStudentLastName = nullptr;
    QLineEdit *textGroupNo = nullptr;
    QLineEdit *textPhone = nullptr;
    QLineEdit *textEMail = nullptr;
    QLineEdit *textRemarks = nullptr;
    QLineEdit *textResponsibility = nullptr;
    QDateEdit *birth = nullptr;
    GenderMatrix *gender = nullptr;
    AddressTextView *textAddress = nullptr;
    QLabel *labelDeviceNo = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildWindow();
    int classNo() const;
    int maxStudents() const;
    void classChanged();
    void alert(const QString &title, const QString &text, const QString &informativeText = {});

    Orvenda_AppDelegate *appDelegate = nullptr;
    EditHold *m_hold = nullptr;
    // Something was typed into the new-student form since it was last cleared.
    bool m_formEdited = false;
    int nDeviceType = -1;
    int classIndexToAddStudent = -1;
    QList<StudentInClass> m_arrStudentRoster;
    QList<StudentInClass> m_arrStudentInClass;
    QList<MyClass> m_arrClasses;
};

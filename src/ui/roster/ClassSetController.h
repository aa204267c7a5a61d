#pragma once

#include "core/store/MyClass.h"
#include "core/store/StudentInClass.h"
#include "core/store/Subject.h"
#include "core/store/Teacher.h"

#include <QDialog>
#include <QList>
#include <QString>

#include <functional>

class ColumnFit;
class Orvenda_AppDelegate;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTableWidget;

// The class set-up before an activity ("ClassSet"): which teacher, subject and class take part,
// with the class's students beside them; the door to the roster windows, CSV import and export.
// The opener sets classNo, subjectNo and teacherNo, runs it, and reads the choice back whatever
// the result (1: the class is set up).
class ClassSetController : public QDialog
{
    Q_OBJECT
public:
    explicit ClassSetController(QWidget *parent = nullptr);
    ~ClassSetController() override;

    // Work that other parts of the program provide. Unset means it is not available in this
    // build and its button stays disabled (isBuilt).
    struct RosterWindows
    {
        // Returns true when something was imported.
        std::function<bool(QWidget *, const QString &csvPath)> importTeachers;
        std::function<bool(QWidget *, const QString &csvPath, int classNo, const QString &className)> importStudents;
        // The administration login; returns the logged-in state.
        std::function<bool(QWidget *)> login;
    };
    static RosterWindows &rosterWindows();

    int exec() override;

    int classNo() const { return m_classNo; }
    void setClassNo(int v) { m_classNo = v; }
    int subjectNo() const { return m_subjectNo; }
    void setSubjectNo(int v) { m_subjectNo = v; }
    int teacherNo() const { return m_teacherNo; }
    void setTeacherNo(int v) { m_teacherNo = v; }
    int maxGroupNo() const { return m_maxGroupNo; }
    void setMaxGroupNo(int v) { m_maxGroupNo = v; }
    QString className() const { return m_className; }
    void setClassName(const QString &v) { m_className = v; }
    QString subjectName() const { return m_subjectName; }
    void setSubjectName(const QString &v) { m_subjectName = v; }
    QString teacherName() const { return m_teacherName; }
    void setTeacherName(const QString &v) { m_teacherName = v; }
    const QList<StudentInClass> &students() const { return m_students; }

    int indexOfClassSelected() const { return m_indexOfClassSelected; }
    int indexOfSubjectSelected() const { return m_indexOfSubjectSelected; }
    int indexOfTeacherSelected() const { return m_indexOfTeacherSelected; }

    // Loads the lists and selects the numbers the opener set; exec() does it, tests may call it.
    void awakeFromNib();
    // Whether the window or work behind one of the dialog's buttons is in this build.
    bool isBuilt(const QPushButton *button) const;

    void doOk();
    void doCancel();
    void doLogin();
    bool login();
    void editClass();
    void editSubject();
    void editTeacher();
    void manageClass();
    void groupClass();
    void tblDoubleClick(int row);
    void importTeachers();
    void importStudents();
    void exportTeachers();
    void exportStudents();
    void comboBoxSelectionDidChange(QComboBox *combo, int index);
    void tableView(const QString &columnIdentifier);

    void showWindowWithDeviceType(int deviceType);
    void loadClass();
    void loadSubject();
    void loadTeacher();
    void loadStudentsInClass(int classNo);
    void comboClassSelectItemWithClassNo(int no);
    void comboSubjectSelectItemWithSubjectNo(int no);
    void comboTeacherSelectItemWithTeacherNo(int no);

    QPushButton *buttonEditClass = nullptr;
    QPushButton *buttonEditSubject = nullptr;
    QPushButton *buttonEditTeacher = nullptr;
    QPushButton *buttonStudentManager = nullptr;
    QPushButton *buttonStudentImport = nullptr;
    QPushButton *buttonStudentExport = nullptr;
    QPushButton *buttonTeacherImport = nullptr;
    QPushButton *buttonTeacherExport = nullptr;
    QPushButton *buttonStudentGrouping = nullptr;
    QPushButton *buttonAdmin = nullptr;
    QPushButton *buttonOk = nullptr;
    QPushButton *buttonCancel = nullptr;
    QComboBox *comboClass = nullptr;
    QComboBox *comboSubject = nullptr;
    QComboBox *comboTeacher = nullptr;
    QTableWidget *tblStudents = nullptr;
    QLineEdit *textParticipant = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildWindow();
    void reloadCombo(QComboBox *combo, const QStringList &items);
    void reloadStudentTable();
    // Offers to renumber students sharing a keypad number; true when none share one any more.
    bool resolveDeviceClashes();
    void setButtonsState(bool loggedIn);
    bool ensureLogin();
    bool isLogIn() const;
    void selectAfterNotification(QComboBox *combo, int index);
    // One combo box's chosen index, number and name, and the numbers of its items in order.
    struct Choice
    {
        QComboBox *combo;
        int *index;
        int *no;
        QString *name;
        QList<int> numbers;
    };
    Choice choiceFor(QComboBox *combo);
    void clearChoice(const Choice &choice);
    void selectItemWithNumber(QComboBox *combo, int no);
    void newClassAdded(int index);
    template <typename Editor>
    void runEditor(int index, void (Editor::*setIndex)(int));
    // The student roster editor on a student of the chosen class (0: a new student).
    void openStudentEditor(int studentNo);
    void alert(const QString &title, const QString &text);
    QString exportPath();
    void writeExport(const class CSVOperator &grid, const QString &path);

    Orvenda_AppDelegate *appDelegate = nullptr;
    ColumnFit *m_columnFit = nullptr;
    QList<MyClass> m_classes;
    QList<Subject> m_subjects;
    QList<Teacher> m_teachers;
    QList<StudentInClass> m_students;
    int m_indexOfClassSelected = -1;
    int m_indexOfSubjectSelected = -1;
    int m_indexOfTeacherSelected = -1;
    int m_classNo = 0;
    int m_subjectNo = 0;
    int m_teacherNo = 0;
    QString m_className;
    QString m_subjectName;
    QString m_teacherName;
    int m_maxGroupNo = 0;
    int orderType = -1;
    QString orderColumnIdentifier;
    QStringList m_columnIdentifiers;
    bool m_loading = false;
};

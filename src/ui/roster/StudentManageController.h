#pragma once

#include "core/roster/RosterEdits.h"
#include "core/store/MyClass.h"
#include "core/store/StudentInClass.h"

#include <QDateTime>
#include <QDialog>
#include <QList>

class Orvenda_AppDelegate;
class AddressTextView;
class EditHold;
class GenderMatrix;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class StudentInfoForm;
class StudentTableView;

// The student as it was shown before the teacher changed it.
struct STUDENTINFO
{
    int studentNo = 0;
    QString studentID;
    QString studentFirstName;
    QString studentLastName;
    QDateTime birthDay = QDateTime(QDate(2000, 1, 1), QTime(0, 0));
    int groupNo = 1;
    int deviceNo = 1;
    QString remark;
    int nGender = 1;
    QString responsibility;
    QString address;
    QString phone;
    QString e_Mail;
};

// The student roster editor ("StudentManage"): adds, changes and deletes the students of one
// class field by field, keeping the roster and the class copies in step. Three states: 0 adding
// a new student, 1 modifying the shown student, 2 browsing with the fields locked. Edits stay in
// the fields until a save completes; a save that is refused or fails keeps them, and the window
// does not close over them.
class StudentManageController : public QDialog
{
    Q_OBJECT
public:
    enum State { Adding = 0, Modifying = 1, Browsing = 2 };

    explicit StudentManageController(QWidget *parent = nullptr);

    // Before the window loads: a student number (its position in the class file; 0 adds a new
    // student) and the class's position in the class store's list.
    void setStudentToModify(int studentNo, int classIndex);

    int exec() override;
    void awakeFromNib();

    void doAdd();
    void doModify();
    void doDelete();
    // False when the edits stay: the teacher kept editing, or chose to save and the save did not
    // complete.
    bool doCancel();
    void doSave();
    void doClose();
    void comboBoxSelectionDidChange(int index);
    void studentSelectedChange();

    int winState() const { return m_winState; }
    int studentNoToModify() const { return m_studentNoToModify; }
    int classIndexToModify() const { return m_classIndexToModify; }
    bool isStudentInfoChanged() const { return bIsStudentInfoChanged; }
    bool canClose() const { return m_canClose; }
    const QList<StudentInClass> &students() const { return m_students; }
    const STUDENTINFO &infoBeforeModify() const { return m_infoBeforeModify; }

    QPushButton *btnAdd = nullptr;
    QPushButton *btnModify = nullptr;
    QPushButton *btnDelete = nullptr;
    QPushButton *btnCancel = nullptr;
    QPushButton *btnSave = nullptr;
    QPushButton *btnClose = nullptr;
    QComboBox *comboClass = nullptr;
    StudentTableView *tblStudents = nullptr;
    StudentInfoForm *studentInfo = nullptr;
    QLineEdit *textStudentID = nullptr;
    QLineEdit *textStudentFirstName = nullptr;
    QLineEdit *textStudentLastName = nullptr;
    QLineEdit *textGroupNo = nullptr;
    QLineEdit *textDeviceNo = nullptr;
    QLineEdit *textRemarks = nullptr;
    QLineEdit *textResponsibility = nullptr;
    QLineEdit *textPhone = nullptr;
    QLineEdit *textMail = nullptr;
    AddressTextView *textAddress = nullptr;
    QDateEdit *birth = nullptr;
    GenderMatrix *gender = nullptr;
    QLabel *labelDeviceNo = nullptr;

    void done(int result) override;

private:
    void buildWindow();
    void loadClass();
    void loadStudentsInClass(int classNo);
    void loadStudentInfo(int studentNo);
    // written: the student as a save of this window just wrote it, which it then shows without
    // reading it again.
    void loadStudentInfoByID(const QString &studentID, const RosterEdits::StudentAsRead *written = nullptr);
    // A student of the list, read as it is shown from every file its save may replace (or, with
    // written, as this window's save wrote it).
    void showStudent(const StudentInClass *student, const RosterEdits::StudentAsRead *written = nullptr);
    void clearStudentInfo();
    void setStudentInfoEnable(bool enabled);
    void setButtonState(int state);
    void enterState(int state);
    int classNo() const;
    void classChanged();
    void selectRowQuietly(int row);
    void alert(const QString &text, const QString &informativeText = {});

    Orvenda_AppDelegate *appDelegate = nullptr;
    QList<StudentInClass> m_students;
    // What the roster and the classes held of the shown student as it was shown (or as this
    // window saved it): a save rewrites only copies still so.
    RosterEdits::StudentAsRead m_shownAsRead;
    QList<MyClass> m_classes;
    int m_winState = Adding;
    int m_studentNoToModify = 0;
    int m_classIndexToModify = -1;
    bool bIsStudentInfoChanged = false;
    STUDENTINFO m_infoBeforeModify;
    bool m_canClose = true;
    bool m_observing = false;
    EditHold *m_hold = nullptr;
};

#pragma once

#include "RosterListEditController.h"

#include "core/store/Teacher.h"

#include <QList>

class AddressTextView;
class GenderMatrix;
class QLineEdit;

// The teacher editor ("TeacherEdit"): add, delete and change teachers. A teacher's name is its
// first and last name joined; no two teachers bear the same joined name. On Modify, name fields
// left empty keep the teacher's name and change only title, phone, gender and address.
class TeacherEditController : public RosterListEditController
{
    Q_OBJECT
public:
    explicit TeacherEditController(QWidget *parent = nullptr);

    void setTeacherIndex(int index) { setCurrentIndex(index); }
    int indexOfTeacher() const { return currentIndex(); }
    const QList<Teacher> &arrTeachers() const { return m_arrTeachers; }

    void doAdd() override;
    void doUpdate() override;
    void windowDeleteReload();
    void windowModifyReload();

    QLineEdit *textFirstName_Add = nullptr;
    QLineEdit *textLastName_Add = nullptr;
    QLineEdit *textTitle_Add = nullptr;
    QLineEdit *textPhone_Add = nullptr;
    GenderMatrix *matrixGender_Add = nullptr;
    AddressTextView *textAddress_Add = nullptr;
    QLineEdit *textTitle_Delete = nullptr;
    QLineEdit *textPhone_Delete = nullptr;
    GenderMatrix *matrixGender_Delete = nullptr;
    AddressTextView *textAddress_Delete = nullptr;
    QLineEdit *textFirstName_Modify = nullptr;
    QLineEdit *textLastName_Modify = nullptr;
    QLineEdit *textTitle_Modify = nullptr;
    QLineEdit *textPhone_Modify = nullptr;
    GenderMatrix *matrixGender_Modify = nullptr;
    AddressTextView *textAddress_Modify = nullptr;

protected:
    void readStore() override;
    QStringList loadList() override;
    QString storedName(int index) const override;
    bool deleteRecord(int index, QString *errorText) override;
    GradebookNameRecords::Owner gradebookOwner() const override { return GradebookNameRecords::Owner::Teacher; }
    QString deleteQuestion() const override;
    QString deleteFailedText() const override;
    QLatin1String changeNotification() const override;
    void setModifyControlsEnabled(bool enabled) override;
    void refreshDeleteTab() override { windowDeleteReload(); }
    void refreshModifyTab() override { windowModifyReload(); }
    void recordChosenIn(QComboBox *combo) override;

private:
    void addTextDidChange();
    void modifyDidChange();
    void clearAddTab();
    // Title, phone, gender and address of the current teacher in one tab's fields (cleared
    // when there is none).
    void showDetails(QLineEdit *title, QLineEdit *phone, GenderMatrix *gender, AddressTextView *address);
    void alertTaken(const QString &name, QLineEdit *first, QLineEdit *last);

    QList<Teacher> m_arrTeachers;
    QString titleBeforeModify;
    QString phoneBeforeModify;
    int genderBeforeModify = 0;
    QString addressBeforeModify;
};

#pragma once

#include "core/store/StudentEntity.h"
#include "core/store/StudentInClass.h"

#include <QWidget>

class AddressTextView;
class GenderMatrix;
class QDateEdit;
class QLabel;
class QLineEdit;

// The fields of one student, as the class students manager and the student roster editor type
// them, with the limits both share: ID at most 12 letters and digits; names, phone, remarks and
// responsibility at most 20 characters, e-mail 50, address 119; no apostrophe anywhere; keypad
// number 1 to 400 and group number 1 to 99, kept in range as they are typed.
class StudentInfoForm : public QWidget
{
    Q_OBJECT
public:
    // Which letters an ID may hold.
    enum class IdLetters { Ascii, AnyScript };

    StudentInfoForm(const QString &mailFieldName, IdLetters idLetters, QWidget *parent = nullptr);

    // Large-family receivers number keypads themselves: the keypad number is hidden and stays 1.
    void showDeviceNo(bool shown);
    // Everything empty, birth date 2000-01-01, keypad and group number 1, gender column 0.
    void clear();
    void showStudent(const StudentInClass &student);
    // The fields as a record: texts trimmed at both ends, numbers as integers, the birth date
    // as a day, the gender as stored.
    StudentEntity record() const;
    void setFieldsEnabled(bool enabled);

    QLineEdit *textStudentID = nullptr;
    QLineEdit *textStudentFirstName = nullptr;
    QLineEdit *textStudentLastName = nullptr;
    QLineEdit *textDeviceNo = nullptr;
    QLineEdit *textGroupNo = nullptr;
    QLineEdit *textPhone = nullptr;
    QLineEdit *textMail = nullptr;
    QLineEdit *textRemarks = nullptr;
    QLineEdit *textResponsibility = nullptr;
    AddressTextView *textAddress = nullptr;
    QDateEdit *birth = nullptr;
    GenderMatrix *gender = nullptr;
    QLabel *labelDeviceNo = nullptr;

signals:
    // The teacher changed a field (typing, the birth date, the gender, the address).
    void edited(QWidget *field);

private:
    // Keeps a number field in range while it is typed: "0" becomes the lowest, a larger value
    // the highest; a text that holds a whole number is selected, so the next key replaces it.
    void clampWhileTyping(QLineEdit *field, int lowest, int highest, int selectFrom);
    void clampOnLeaving(QLineEdit *field, int lowest, int highest);
};

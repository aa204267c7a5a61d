#include "StudentInfoForm.h"

#include "GenderMatrix.h"

#include "core/base/CommonFunc.h"
#include "core/store/StudentInClass.h"
#include "ui/controls/AddressTextView.h"
#include "ui/controls/MyEnterFormatter.h"

#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

namespace {
const QDate kClearedBirthday(2000, 1, 1);

QLineEdit *field(QWidget *parent, const QString &name, int maxLength)
{
    auto *f = new QLineEdit(parent);
    f->setObjectName(name);
    limitTextField(f, maxLength);
    return f;
}
} // namespace

StudentInfoForm::StudentInfoForm(const QString &mailFieldName, IdLetters idLetters, QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("studentInfoForm"));
    textStudentID = field(this, QStringLiteral("textStudentID"), 12);
    MyEnterFormatter *idFormatter = limitTextField(textStudentID, 12);
    if (idLetters == IdLetters::Ascii)
        idFormatter->setLegalCharacterSet(CharacterSet::characters(
            QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789")));
    else
        idFormatter->setAlphanumericFormater();
    textStudentFirstName = field(this, QStringLiteral("textStudentFirstName"), 20);
    textStudentLastName = field(this, QStringLiteral("textStudentLastName"), 20);
    textDeviceNo = field(this, QStringLiteral("textDeviceNo"), 3);
    textGroupNo = field(this, QStringLiteral("textGroupNo"), 2);
    limitTextField(textDeviceNo, 3)->setNumberFormater();
    limitTextField(textGroupNo, 2)->setNumberFormater();
    textPhone = field(this, QStringLiteral("textPhone"), 20);
    textMail = field(this, mailFieldName, 50);
    textRemarks = field(this, QStringLiteral("textRemarks"), 20);
    textResponsibility = field(this, QStringLiteral("textResponsibility"), 20);
    textAddress = new AddressTextView(119, this);
    textAddress->setObjectName(QStringLiteral("textAddress"));
    textAddress->setFixedHeight(54);
    birth = new QDateEdit(this);
    birth->setObjectName(QStringLiteral("birth"));
    birth->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    birth->setCalendarPopup(true);
    gender = new GenderMatrix(QStringLiteral("gender"), this);
    labelDeviceNo = new QLabel(tr("Device NO.:"), this);
    labelDeviceNo->setObjectName(QStringLiteral("labelDeviceNo"));

    auto *left = new QFormLayout;
    left->addRow(tr("Student ID:"), textStudentID);
    left->addRow(tr("First Name:"), textStudentFirstName);
    left->addRow(tr("Last Name:"), textStudentLastName);
    left->addRow(tr("Birth Date:"), birth);
    left->addRow(tr("Sex:"), gender);
    left->addRow(labelDeviceNo, textDeviceNo);
    left->addRow(tr("Group NO.:"), textGroupNo);
    auto *right = new QFormLayout;
    right->addRow(tr("Phone:"), textPhone);
    right->addRow(tr("E-Mail:"), textMail);
    right->addRow(tr("Responsibility:"), textResponsibility);
    right->addRow(tr("Remarks:"), textRemarks);
    right->addRow(tr("Address:"), textAddress);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(left, 1);
    layout->addSpacing(16);
    layout->addLayout(right, 1);

    for (QLineEdit *f : findChildren<QLineEdit *>(Qt::FindDirectChildrenOnly))
        connect(f, &QLineEdit::textEdited, this, [this, f] { emit edited(f); });
    // The program's own changes (clear, showStudent) are made with these two silenced.
    connect(textAddress, &QPlainTextEdit::textChanged, this, [this] { emit edited(textAddress); });
    connect(birth, &QDateEdit::dateChanged, this, [this] { emit edited(birth); });
    connect(gender, &GenderMatrix::genderChanged, this, [this] { emit edited(gender); });

    connect(textGroupNo, &QLineEdit::textEdited, this, [this] { clampWhileTyping(textGroupNo, 1, 99, 2); });
    connect(textDeviceNo, &QLineEdit::textEdited, this, [this] { clampWhileTyping(textDeviceNo, 1, 400, 3); });
    connect(textGroupNo, &QLineEdit::editingFinished, this, [this] { clampOnLeaving(textGroupNo, 1, 99); });
    connect(textDeviceNo, &QLineEdit::editingFinished, this, [this] { clampOnLeaving(textDeviceNo, 1, 400); });
    clear();
}

void StudentInfoForm::clampWhileTyping(QLineEdit *field, int lowest, int highest, int selectFrom)
{
    if (field->text().isEmpty())
        return;
    const int value = field->text().toInt();
    if (value < lowest || value > highest) {
        field->setText(QString::number(value < lowest ? lowest : highest));
        field->selectAll();
        return;
    }
    field->setText(QString::number(value));
    if (field->text().size() >= selectFrom)
        field->selectAll();
}

void StudentInfoForm::clampOnLeaving(QLineEdit *field, int lowest, int highest)
{
    const int value = field->text().toInt();
    if (value < lowest || value > highest)
        field->setText(QString::number(lowest));
}

void StudentInfoForm::showDeviceNo(bool shown)
{
    labelDeviceNo->setVisible(shown);
    textDeviceNo->setVisible(shown);
}

void StudentInfoForm::clear()
{
    for (QLineEdit *f : {textStudentID, textStudentFirstName, textStudentLastName, textPhone, textMail, textRemarks,
                         textResponsibility})
        f->clear();
    const QSignalBlocker quietAddress(textAddress), quietBirth(birth);
    textAddress->clear();
    birth->setDate(kClearedBirthday);
    textDeviceNo->setText(QStringLiteral("1"));
    textGroupNo->setText(QStringLiteral("1"));
    gender->selectCellAtColumn(0);
}

void StudentInfoForm::showStudent(const StudentInClass &s)
{
    textStudentID->setText(s.studentID());
    textStudentFirstName->setText(s.studentFirstName());
    textStudentLastName->setText(s.studentLastName());
    textPhone->setText(s.telephone());
    textMail->setText(s.eMail());
    textRemarks->setText(s.remark());
    textResponsibility->setText(s.duty());
    const QSignalBlocker quietAddress(textAddress), quietBirth(birth);
    textAddress->setPlainText(s.address());
    birth->setDate(s.birthDay().isValid() ? s.birthDay().date() : kClearedBirthday);
    textDeviceNo->setText(QString::number(s.deviceNo()));
    textGroupNo->setText(QString::number(s.groupNo()));
    gender->selectCellAtColumn(qMax(0, s.gender() - 1));
}

StudentEntity StudentInfoForm::record() const
{
    StudentEntity s;
    s.setId(trimString(textStudentID->text()));
    s.setFirstName(trimString(textStudentFirstName->text()));
    s.setName(s.firstName());
    s.setLastName(trimString(textStudentLastName->text()));
    s.setRemark(trimString(textRemarks->text()));
    s.setDuty(trimString(textResponsibility->text()));
    s.setAddress(trimString(textAddress->toPlainText()));
    s.setTelephone(trimString(textPhone->text()));
    s.setEMail(trimString(textMail->text()));
    s.setDeviceNo(textDeviceNo->text().toInt());
    s.setGroupNo(textGroupNo->text().toInt());
    s.setBirthday(QDateTime(birth->date(), QTime(0, 0)));
    s.setGender(gender->gender());
    return s;
}

void StudentInfoForm::setFieldsEnabled(bool enabled)
{
    for (QLineEdit *f : findChildren<QLineEdit *>(Qt::FindDirectChildrenOnly))
        f->setEnabled(enabled);
    birth->setEnabled(enabled);
    gender->setEnabled(enabled);
    textAddress->setReadOnly(!enabled);
    // The address reads grey while it cannot be changed.
    QPalette palette = textAddress->palette();
    palette.setColor(QPalette::Text, enabled ? Qt::black : Qt::gray);
    textAddress->setPalette(palette);
}

#include "TeacherEditController.h"

#include "GenderMatrix.h"

#include "core/base/CommonFunc.h"
#include "core/roster/RosterRecords.h"
#include "core/store/TovTeacherXmlDatabase.h"
#include "platform/NotificationNames.h"
#include "ui/controls/AddressTextView.h"
#include "ui/controls/MyEnterFormatter.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int kAddressLength = 120;

QLineEdit *field(QWidget *parent, const char *name)
{
    auto *f = new QLineEdit(parent);
    f->setObjectName(QLatin1String(name));
    f->setMinimumWidth(220);
    limitTextField(f, 20);
    return f;
}

AddressTextView *addressView(QWidget *parent, const char *name)
{
    auto *v = new AddressTextView(kAddressLength, parent);
    v->setObjectName(QLatin1String(name));
    v->setFixedHeight(54);
    return v;
}

} // namespace

TeacherEditController::TeacherEditController(QWidget *parent)
    : RosterListEditController(QStringLiteral("TeacherEdit"), tr("Teacher"), parent)
{
    textFirstName_Add = field(this, "textFirstName_Add");
    textLastName_Add = field(this, "textLastName_Add");
    textTitle_Add = field(this, "textTitle_Add");
    textPhone_Add = field(this, "textPhone_Add");
    matrixGender_Add = new GenderMatrix(QStringLiteral("matrixGender_Add"), this);
    textAddress_Add = addressView(this, "textAddress_Add");
    textTitle_Delete = field(this, "textTitle_Delete");
    textPhone_Delete = field(this, "textPhone_Delete");
    matrixGender_Delete = new GenderMatrix(QStringLiteral("matrixGender_Delete"), this);
    textAddress_Delete = addressView(this, "textAddress_Delete");
    textFirstName_Modify = field(this, "textFirstName_Modify");
    textLastName_Modify = field(this, "textLastName_Modify");
    textTitle_Modify = field(this, "textTitle_Modify");
    textPhone_Modify = field(this, "textPhone_Modify");
    matrixGender_Modify = new GenderMatrix(QStringLiteral("matrixGender_Modify"), this);
    textAddress_Modify = addressView(this, "textAddress_Modify");

    // The Delete tab only shows the teacher.
    for (QLineEdit *f : {textTitle_Delete, textPhone_Delete})
        f->setEnabled(false);
    matrixGender_Delete->setEnabled(false);
    textAddress_Delete->setReadOnly(true);
    textAddress_Delete->setStyleSheet(QStringLiteral("AddressTextView#textAddress_Delete { background: #b3b3b3; }"));

    buildWindow(formPage({{tr("First Name:"), textFirstName_Add},
                          {tr("Last Name:"), textLastName_Add},
                          {tr("Title:"), textTitle_Add},
                          {tr("Phone:"), textPhone_Add},
                          {tr("Sex:"), matrixGender_Add},
                          {tr("Address:"), textAddress_Add}},
                         btnAdd),
                formPage({{tr("Teacher:"), comboDelete},
                          {tr("Title:"), textTitle_Delete},
                          {tr("Phone:"), textPhone_Delete},
                          {tr("Sex:"), matrixGender_Delete},
                          {tr("Address:"), textAddress_Delete}},
                         btnDelete),
                formPage({{tr("Teacher:"), comboModify},
                          {tr("New First Name:"), textFirstName_Modify},
                          {tr("New Last Name:"), textLastName_Modify},
                          {tr("Title:"), textTitle_Modify},
                          {tr("Phone:"), textPhone_Modify},
                          {tr("Sex:"), matrixGender_Modify},
                          {tr("Address:"), textAddress_Modify}},
                         btnUpdate));

    for (QLineEdit *f : {textFirstName_Add, textLastName_Add})
        connect(f, &QLineEdit::textChanged, this, &TeacherEditController::addTextDidChange);
    for (QLineEdit *f : {textFirstName_Modify, textLastName_Modify, textTitle_Modify, textPhone_Modify})
        connect(f, &QLineEdit::textChanged, this, &TeacherEditController::modifyDidChange);
    connect(textAddress_Modify, &QPlainTextEdit::textChanged, this, &TeacherEditController::modifyDidChange);
    connect(matrixGender_Modify, &GenderMatrix::genderChanged, this, &TeacherEditController::modifyDidChange);
    setModifyControlsEnabled(false);
}

void TeacherEditController::readStore()
{
    TovTeacherXmlDatabase::sharedUI()->loadTeachers();
}

QStringList TeacherEditController::loadList()
{
    m_arrTeachers = RosterRecords::teachers(TovTeacherXmlDatabase::sharedUI()->teacherList());
    return RosterRecords::names(m_arrTeachers);
}

QString TeacherEditController::storedName(int index) const
{
    return TovTeacherXmlDatabase::sharedUI()->nameByTeacherNo(m_arrTeachers.at(index).teacherNo());
}

bool TeacherEditController::deleteRecord(int index, QString *errorText)
{
    return TovTeacherXmlDatabase::sharedUI()->deleteTeacherWithNo(m_arrTeachers.at(index).teacherNo(), errorText);
}

QString TeacherEditController::deleteQuestion() const
{
    return tr("Are you sure to delete this teacher?");
}

QString TeacherEditController::deleteFailedText() const
{
    return tr("The teacher could not be deleted.");
}

QLatin1String TeacherEditController::changeNotification() const
{
    return Notify::TeacherChanged;
}

void TeacherEditController::setModifyControlsEnabled(bool enabled)
{
    for (QWidget *w : std::initializer_list<QWidget *>{textFirstName_Modify, textLastName_Modify, textTitle_Modify,
                                                       textPhone_Modify, matrixGender_Modify})
        w->setEnabled(enabled);
    textAddress_Modify->setReadOnly(!enabled);
}

void TeacherEditController::recordChosenIn(QComboBox *combo)
{
    if (combo == comboDelete)
        windowDeleteReload();
    else
        windowModifyReload();
}

void TeacherEditController::showDetails(QLineEdit *title, QLineEdit *phone, GenderMatrix *gender,
                                        AddressTextView *address)
{
    const int i = currentIndex();
    const bool shown = i >= 0 && i < m_arrTeachers.size();
    const Teacher t = shown ? m_arrTeachers.at(i) : Teacher();
    title->setText(shown ? t.title() : QString());
    phone->setText(shown ? t.telephone() : QString());
    gender->selectCellAtColumn(shown ? qMax(0, t.gender() - 1) : 0);
    address->setPlainText(shown ? t.address() : QString());
}

void TeacherEditController::windowDeleteReload()
{
    selectCurrentIn(comboDelete);
    showDetails(textTitle_Delete, textPhone_Delete, matrixGender_Delete, textAddress_Delete);
    btnDelete->setEnabled(currentIndex() >= 0);
    if (currentIndex() >= 0)
        comboDelete->setFocus();
}

void TeacherEditController::windowModifyReload()
{
    selectCurrentIn(comboModify);
    textFirstName_Modify->clear();
    textLastName_Modify->clear();
    showDetails(textTitle_Modify, textPhone_Modify, matrixGender_Modify, textAddress_Modify);
    const bool shown = currentIndex() >= 0;
    titleBeforeModify = shown ? textTitle_Modify->text() : QString();
    phoneBeforeModify = shown ? textPhone_Modify->text() : QString();
    genderBeforeModify = shown ? matrixGender_Modify->selectedColumn() : 0;
    addressBeforeModify = shown ? textAddress_Modify->toPlainText() : QString();
    btnUpdate->setEnabled(false);
    if (shown)
        textFirstName_Modify->setFocus();
}

void TeacherEditController::addTextDidChange()
{
    btnAdd->setEnabled(!trimString(textFirstName_Add->text()).isEmpty() ||
                       !trimString(textLastName_Add->text()).isEmpty());
}

void TeacherEditController::modifyDidChange()
{
    const bool named = !trimString(textFirstName_Modify->text()).isEmpty() ||
                       !trimString(textLastName_Modify->text()).isEmpty();
    const bool changed = trimString(textTitle_Modify->text()) != trimString(titleBeforeModify) ||
                         trimString(textPhone_Modify->text()) != trimString(phoneBeforeModify) ||
                         trimString(textAddress_Modify->toPlainText()) != trimString(addressBeforeModify) ||
                         matrixGender_Modify->selectedColumn() != genderBeforeModify;
    btnUpdate->setEnabled(recordCount() > 0 && currentIndex() >= 0 && (named || changed));
}

void TeacherEditController::alertTaken(const QString &name, QLineEdit *first, QLineEdit *last)
{
    alert(tr("The teacher name : %1 already exists.").arg(name));
    last->selectAll();
    first->selectAll();
    first->setFocus();
}

void TeacherEditController::clearAddTab()
{
    for (QLineEdit *f : {textFirstName_Add, textLastName_Add, textTitle_Add, textPhone_Add})
        f->clear();
    textAddress_Add->clear();
    matrixGender_Add->selectCellAtColumn(0);
    btnAdd->setEnabled(false);
    textFirstName_Add->setFocus();
}

void TeacherEditController::doAdd()
{
    const QString first = trimString(textFirstName_Add->text());
    const QString last = trimString(textLastName_Add->text());
    if (first.isEmpty() && last.isEmpty())
        return;
    const QString name = mergeFirstLastString(first, last);
    auto *store = TovTeacherXmlDatabase::sharedUI();
    if (store->existTeacherWithName(name)) {
        alertTaken(name, textFirstName_Add, textLastName_Add);
        return;
    }
    TeacherEntity teacher;
    teacher.setFirstName(first);
    teacher.setLastName(last);
    teacher.setName(name);
    teacher.setTitle(textTitle_Add->text());
    teacher.setPhone(textPhone_Add->text());
    teacher.setGender(matrixGender_Add->gender());
    teacher.setAddress(trimString(textAddress_Add->toPlainText()));
    QString why;
    if (!store->addTeacherWithData(teacher, &why)) {
        alert(tr("The teacher could not be added."), why);
        return;
    }
    reload();
    setCurrentIndex(recordCount() - 1);
    clearAddTab();
    windowDeleteNeedReload = windowModifyNeedReload = true;
    manageControl();
    postChange(Notify::TeacherChanged, currentIndex());
}

void TeacherEditController::doUpdate()
{
    const int index = currentIndex();
    if (index < 0 || index >= m_arrTeachers.size())
        return;
    const Teacher current = m_arrTeachers.at(index);
    QString first = trimString(textFirstName_Modify->text());
    QString last = trimString(textLastName_Modify->text());
    auto *store = TovTeacherXmlDatabase::sharedUI();
    if (first.isEmpty() && last.isEmpty()) {
        // No new name typed: the teacher keeps its own.
        first = current.firstName();
        last = current.lastName();
    } else if (store->existTeacherWithName(mergeFirstLastString(first, last))) {
        alertTaken(mergeFirstLastString(first, last), textFirstName_Modify, textLastName_Modify);
        return;
    }
    TeacherEntity teacher;
    teacher.setFirstName(first);
    teacher.setLastName(last);
    teacher.setName(mergeFirstLastString(first, last));
    teacher.setTitle(textTitle_Modify->text());
    teacher.setPhone(textPhone_Modify->text());
    teacher.setGender(matrixGender_Modify->gender());
    teacher.setAddress(trimString(textAddress_Modify->toPlainText()));
    QString why;
    if (!store->updateTeacherWithData(current.teacherNo(), teacher, &why)) {
        // Nothing was written: what the teacher typed stays to be saved again or copied.
        alert(tr("The teacher could not be changed."), why);
        return;
    }
    reload();
    windowModifyReload();
    windowDeleteNeedReload = true;
    postChange(Notify::TeacherChanged, index);
}

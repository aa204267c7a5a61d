#include "NameListEditController.h"

#include "core/base/CommonFunc.h"
#include "ui/controls/MyEnterFormatter.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

NameListEditController::NameListEditController(const QString &objectName, const QString &title,
                                               const QString &addFieldName, const QString &caption,
                                               const QString &recordCaption, QWidget *parent)
    : RosterListEditController(objectName, title, parent)
{
    textName = new QLineEdit(this);
    textName->setObjectName(addFieldName);
    textNewName = new QLineEdit(this);
    textNewName->setObjectName(QStringLiteral("textNewName"));
    textNewName->setEnabled(false);
    for (QLineEdit *field : {textName, textNewName}) {
        limitTextField(field, 20);
        field->setMinimumWidth(220);
        connect(field, &QLineEdit::textChanged, this, &NameListEditController::controlTextDidChange);
    }
    buildWindow(formPage({{caption, textName}}, btnAdd), formPage({{recordCaption, comboDelete}}, btnDelete),
                formPage({{recordCaption, comboModify}, {tr("New Name:"), textNewName}}, btnUpdate));
}

void NameListEditController::controlTextDidChange()
{
    btnAdd->setEnabled(!trimString(textName->text()).isEmpty());
    btnUpdate->setEnabled(recordCount() > 0 && currentIndex() >= 0 && !trimString(textNewName->text()).isEmpty());
}

void NameListEditController::setModifyControlsEnabled(bool enabled)
{
    textNewName->setEnabled(enabled);
}

void NameListEditController::refreshModifyTab()
{
    selectCurrentIn(comboModify);
    textNewName->clear();
    btnUpdate->setEnabled(false);
    textNewName->setFocus();
}

void NameListEditController::recordChosenIn(QComboBox *combo)
{
    RosterListEditController::recordChosenIn(combo);
    if (combo == comboModify) {
        textNewName->clear();
        btnUpdate->setEnabled(false);
    }
}

void NameListEditController::doAdd()
{
    const QString name = trimString(textName->text());
    if (name.isEmpty())
        return;
    if (nameTaken(name, -1)) {
        alert(takenText().arg(name));
        textName->selectAll();
        textName->setFocus();
        return;
    }
    QString why;
    if (!addRecord(name, &why)) {
        alert(addFailedText(), why);
        return;
    }
    recordAdded();
}

void NameListEditController::takeLastAsCurrent()
{
    reload();
    setCurrentIndex(recordCount() - 1);
    textName->clear();
    btnAdd->setEnabled(false);
    windowDeleteNeedReload = windowModifyNeedReload = true;
    manageControl();
}

void NameListEditController::doUpdate()
{
    const int index = currentIndex();
    const QString name = trimString(textNewName->text());
    if (index < 0 || name.isEmpty())
        return;
    if (nameTaken(name, index)) {
        alert(takenText().arg(name));
        textNewName->selectAll();
        textNewName->setFocus();
        return;
    }
    QString why;
    if (!renameRecord(index, name, &why)) {
        alert(renameFailedText(), why);
        return;
    }
    reload();
    selectCurrentIn(comboModify);
    textNewName->clear();
    btnUpdate->setEnabled(false);
    windowDeleteNeedReload = true;
    postChange(changeNotification(), index);
}

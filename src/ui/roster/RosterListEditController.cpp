#include "RosterListEditController.h"

#include "core/app/Orvenda_AppDelegate.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "ui/controls/EditHold.h"
#include "ui/controls/PollixAlert.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>

RosterListEditController::RosterListEditController(const QString &objectName, const QString &title, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(objectName);
    setWindowTitle(title);
    appDelegate = Orvenda_AppDelegate::getAppDelegate();

    auto makeButton = [this](QPushButton *&b, const char *name, const QString &text) {
        b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setEnabled(false);
    };
    makeButton(btnAdd, "btnAdd", tr("Add"));
    makeButton(btnDelete, "btnDelete", tr("Delete"));
    makeButton(btnUpdate, "btnUpdate", tr("Update"));
    makeButton(btnCancel, "btnCancel", tr("Close"));
    btnCancel->setEnabled(true);
    for (QComboBox **combo : {&comboDelete, &comboModify}) {
        *combo = new QComboBox(this);
        (*combo)->setMinimumWidth(220);
        (*combo)->setEnabled(false);
    }
    comboDelete->setObjectName(QStringLiteral("comboDelete"));
    comboModify->setObjectName(QStringLiteral("comboModify"));
    tabView = new QTabWidget(this);
    tabView->setObjectName(QStringLiteral("tabView"));

    connect(btnAdd, &QPushButton::clicked, this, [this] { doAdd(); });
    connect(btnDelete, &QPushButton::clicked, this, &RosterListEditController::doDelete);
    connect(btnUpdate, &QPushButton::clicked, this, [this] { doUpdate(); });
    connect(btnCancel, &QPushButton::clicked, this, &RosterListEditController::doCancel);
    // A name typed for adding or renaming and not yet added is an edit every way out asks about.
    m_hold = new EditHold(this, [this] { return btnAdd->isEnabled() || btnUpdate->isEnabled(); }, [this] {
        return EditHold::askLeave(this, QStringLiteral("Pollix ARS"), tr("Are you sure to quit without saving?"),
                                  {tr("Yes"), tr("No")});
    });
    connect(tabView, &QTabWidget::currentChanged, this, &RosterListEditController::tabViewDidSelect);
    for (QComboBox *combo : {comboDelete, comboModify})
        connect(combo, &QComboBox::activated, this, [this, combo](int i) { comboBoxSelectionDidChange(combo, i); });
}

void RosterListEditController::buildWindow(QWidget *addPage, QWidget *deletePage, QWidget *modifyPage)
{
    tabView->addTab(addPage, tr("Add"));
    tabView->addTab(deletePage, tr("Delete"));
    tabView->addTab(modifyPage, tr("Modify"));
    auto *bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(btnCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tabView);
    layout->addLayout(bottom);
}

QWidget *RosterListEditController::formPage(const QList<std::pair<QString, QWidget *>> &rows, QPushButton *button)
{
    auto *w = new QWidget(this);
    auto *form = new QFormLayout;
    for (const auto &[label, control] : rows)
        form->addRow(label, control);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(button);
    auto *layout = new QVBoxLayout(w);
    layout->addLayout(form);
    layout->addStretch();
    layout->addLayout(buttons);
    return w;
}

void RosterListEditController::setPosition(double x, double y)
{
    pointLeftTop = QPointF(x, y);
    m_hasPosition = true;
}

int RosterListEditController::exec()
{
    awakeFromNib();
    return QDialog::exec();
}

void RosterListEditController::awakeFromNib()
{
    if (m_hasPosition)
        move(pointLeftTop.toPoint());
    const QStringList shownBefore = loadList();
    readStore();
    reload();
    if (m_index >= m_names.size())
        m_index = -1;
    // The windows that list the records follow what the file holds now.
    if (m_names != shownBefore)
        postChange(changeNotification(), m_index);
    if (!m_names.isEmpty() && m_index >= 0)
        windowDeleteNeedReload = windowModifyNeedReload = true;
    manageControl();
    tabViewDidSelect(tabView->currentIndex());
}

void RosterListEditController::reload()
{
    m_names = loadList();
    for (QComboBox *combo : {comboDelete, comboModify}) {
        const QSignalBlocker block(combo);
        combo->clear();
        combo->addItems(m_names);
        combo->setCurrentIndex(-1);
    }
}

void RosterListEditController::manageControl()
{
    comboDelete->setEnabled(comboDelete->count() > 0);
    const bool modifiable = comboModify->count() > 0;
    comboModify->setEnabled(modifiable);
    setModifyControlsEnabled(modifiable);
}

void RosterListEditController::selectCurrentIn(QComboBox *combo)
{
    const QSignalBlocker block(combo);
    combo->setCurrentIndex(m_index >= 0 && m_index < combo->count() ? m_index : -1);
}

void RosterListEditController::tabViewDidSelect(int tab)
{
    if (tab == 1 && windowDeleteNeedReload) {
        refreshDeleteTab();
        windowDeleteNeedReload = false;
    } else if (tab == 2 && windowModifyNeedReload) {
        refreshModifyTab();
        windowModifyNeedReload = false;
    }
}

void RosterListEditController::refreshDeleteTab()
{
    selectCurrentIn(comboDelete);
    btnDelete->setEnabled(m_index >= 0);
}

void RosterListEditController::comboBoxSelectionDidChange(QComboBox *combo, int index)
{
    if (index < 0 || index == m_index || index >= m_names.size())
        return;
    m_index = index;
    if (combo == comboDelete)
        windowModifyNeedReload = true;
    else
        windowDeleteNeedReload = true;
    recordChosenIn(combo);
    postChange(changeNotification(), m_index);
}

void RosterListEditController::recordChosenIn(QComboBox *combo)
{
    if (combo == comboDelete)
        btnDelete->setEnabled(true);
}

void RosterListEditController::doDelete()
{
    if (m_index < 0 || m_index >= m_names.size())
        return;
    const int answer = PollixAlert::show(this, QStringLiteral("Pollix"), deleteQuestion(), {tr("Yes"), tr("No")}, {},
                                         PollixAlert::Default::LeavesAsIs);
    if (answer != PollixAlert::AlertFirstButtonReturn)
        return;
    const QString name = storedName(m_index);
    QString why;
    // The record goes first: gradebook settings are dropped only for a record that is gone.
    if (!deleteRecord(m_index, &why))
        alert(deleteFailedText(), why);
    else if (!GradebookNameRecords::deleteAllOf(gradebookOwner(), name, &why))
        alert(tr("The gradebook settings of %1 could not be deleted.").arg(name), why);
    // The list as the store now holds it, whatever happened.
    reload();
    windowModifyNeedReload = true;
    if (m_index >= m_names.size())
        m_index = int(m_names.size()) - 1;
    refreshDeleteTab();
    postChange(changeNotification(), m_index);
    manageControl();
}

void RosterListEditController::doCancel()
{
    m_hold->leave(0);
}

void RosterListEditController::closeEvent(QCloseEvent *event)
{
    setResult(0);
    QDialog::closeEvent(event);
}

void RosterListEditController::postChange(const QString &name, int index)
{
    NotificationCenter::defaultCenter()->postNotification(name, {{Notify::Key::Index, index}}, this);
}

void RosterListEditController::alert(const QString &text, const QString &informativeText)
{
    PollixAlert::show(this, QStringLiteral("Pollix ARS"), text, {tr("OK")}, informativeText);
}

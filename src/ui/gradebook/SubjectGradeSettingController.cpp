#include "SubjectGradeSettingController.h"

#include "GradebookSettingsParent.h"
#include "SubjectGradeListTabs.h"
#include "SubjectGradeSettingInterface.h"

#include "core/gradebook/GradebookRosterRecords.h"
#include "core/gradebook/GradebookSettingRules.h"
#include "core/gradebook/SessionSelection.h"
#include "core/store/TovPeriodXmlDatabase.h"
#include "core/store/TovWeightAndSessionTypeXmlDatabase.h"
#include "core/store/StoreTransaction.h"
#include "core/store/GlobalFunctions.h"
#include "core/base/PrintfNumber.h"
#include "ui/controls/FieldLeave.h"
#include "ui/controls/MyComboBox.h"
#include "ui/controls/EditHold.h"
#include "ui/controls/PollixAlert.h"

#include <QCloseEvent>
#include <QDate>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>

namespace {
using Rules = GradebookSettingRules;
const QString kPollix = QStringLiteral("Pollix");

QString allText()
{
    return GlobalFunctions::allText();
}
} // namespace

SubjectGradeSettingController::SubjectGradeSettingController(int tabIndex, GradebookSettingsParent *parent,
                                                             QWidget *parentWidget)
    : QDialog(parentWidget), m_parent(parent), m_tabIndex(qBound(0, tabIndex, 3)),
      m_lists(std::make_unique<SubjectGradeListTabs>(this))
{
    setObjectName(QStringLiteral("SubjectGradeSetting"));
    setWindowTitle(tr("Gradebook Settings"));
    SubjectGradeSettingInterface::build(this);

    // The settings as the files hold them now: a save refused over another program's change
    // tells the teacher to close the window and open it again to see that change, and the saves
    // replace what this window showed.
    if (GradebookRosterRecords::reloadSettings() && m_parent) {
        // The lists that name the settings by their numbers follow.
        m_parent->refreshPeriod2();
        m_parent->refreshWeight2();
        m_parent->refreshConversion2();
        m_parent->refreshSessionTypes();
    }
    table1Array = SessionSelection::periods(TovPeriodXmlDatabase::sharedUI()->periodList());
    table4Array = TovWeightAndSessionTypeXmlDatabase::sharedUI()->sessionTypeList();
    m_lists->fillWeightLists();
    m_lists->fillConversionLists();
    letterArray = Rules::defaultLetters();
    awakeFromNib();
}

SubjectGradeSettingController::~SubjectGradeSettingController() = default;

void SubjectGradeSettingController::awakeFromNib()
{
    m_resetting = true;
    tabView->setCurrentIndex(m_tabIndex);
    m_resetting = false;
    fillPeriodTable();
    fillTypeTable();
    m_lists->fillSessionTypeRows();
    m_lists->fillWeightLists();
    m_lists->fillConversionLists();
    for (int tab = 0; tab < 4; ++tab)
        markClean(tab);
    selectRow(weightListTable2, 0);
    m_lists->showSelectedWeightList();
    selectRow(conversionListTable3, 0);
    m_lists->showSelectedScale();
    textTotal2->setText(QStringLiteral("0.0%"));
    for (QTableWidget *table : {table1, letterGradeTable3, table4})
        connect(table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                &SubjectGradeSettingController::updateSelectionButtons);
    updateSelectionButtons();

    // Typing in a title field marks its tab changed and clears the pending code; the first
    // keystroke opens the edit, Enter or leaving the field ends it.
    for (QLineEdit *field : {textWeightTitle2, textConversionTitle3}) {
        FieldLeave *&leave = m_titleLeave[field == textWeightTitle2 ? 0 : 1];
        leave = new FieldLeave(field);
        connect(field, &QLineEdit::textEdited, this, [this, field](const QString &text) {
            if (m_shouldChange) {
                m_editingString = text;
                m_shouldChange = false;
            }
            m_flag = 0;
            if (field == textWeightTitle2)
                weightListArray[m_weightRow].setWeightTitle(text);
            else
                conversionListArray[m_scaleRow].setConversionTitle(text);
            markChanged(field == textWeightTitle2 ? 1 : 2);
        });
        connect(leave, &FieldLeave::left, this, [this, field] {
            if (!m_shouldChange)
                titleShouldEnd(field);
        });
    }
}

// ---------------------------------------------------------------------------------------------
// Alerts, flags and the frame

int SubjectGradeSettingController::ask(const QString &title, const QString &text, const QStringList &buttons)
{
    return PollixAlert::show(this, title, text, buttons, {}, PollixAlert::Default::LeavesAsIs) - PollixAlert::AlertFirstButtonReturn;
}

void SubjectGradeSettingController::alert(const QString &text, const QString &why)
{
    PollixAlert::show(this, kPollix, text, {tr("OK")}, why);
}

void SubjectGradeSettingController::refuse(int code)
{
    m_flag = code;
    showMessage();
}

void SubjectGradeSettingController::showMessage()
{
    const QString text = Rules::errorText(m_flag, m_tmpStr);
    if (!text.isEmpty())
        alert(text);
}

bool SubjectGradeSettingController::gateOpen()
{
    if (m_shouldChange)
        return true;
    alert(tr("Please press Enter."));
    m_shouldClose = false;
    return false;
}

void SubjectGradeSettingController::markChanged(int tab)
{
    setChanged(tab, true);
}

void SubjectGradeSettingController::markClean(int tab)
{
    setChanged(tab, false);
}

void SubjectGradeSettingController::setChanged(int tab, bool changed)
{
    m_isChanged[tab] = changed;
    QPushButton *save[] = {btnSave1, btnSave2, btnSave3, btnSave4};
    QPushButton *saveClose[] = {btnSaveClose1, btnSaveClose2, btnSaveClose3, btnSaveClose4};
    save[tab]->setEnabled(changed);
    saveClose[tab]->setEnabled(changed);
}

// A Delete acts on the selection: with nothing selected (for a list, the template row shown) it
// has nothing to act on and is disabled rather than silent.
void SubjectGradeSettingController::updateSelectionButtons()
{
    btnDelete1->setEnabled(!SubjectGradeSettingInterface::selectedRows(table1).isEmpty());
    btnDelete2->setEnabled(m_weightRow != 0);
    btnDelete3->setEnabled(m_scaleRow != 0);
    btnDeleteRight3->setEnabled(!SubjectGradeSettingInterface::selectedRows(letterGradeTable3).isEmpty());
    btnDelete4->setEnabled(!SubjectGradeSettingInterface::selectedRows(table4).isEmpty());
}

QString SubjectGradeSettingController::tabQuestion(int tab) const
{
    switch (tab) {
    case 0: return tr("Do you want to save the changes to Grading Period setting?");
    case 1: return tr("Do you want to save the changes to Weight setting?");
    case 2: return tr("Do you want to save the changes to Letter setting?");
    default: return tr("Do you want to save the changes to contents?");
    }
}

PollixAlert::SaveAnswer SubjectGradeSettingController::askTabQuestion(int tab)
{
    return PollixAlert::askToSave(this, kPollix, tabQuestion(tab), {tr("Yes"), tr("No")});
}

bool SubjectGradeSettingController::saveTab(int tab)
{
    m_shouldClose = true;
    switch (tab) {
    case 0: doSave1(); break;
    case 1: doSave2(); break;
    case 2: doSave3(); break;
    default: doSave4(); break;
    }
    return m_shouldClose && !m_isChanged[tab];
}

void SubjectGradeSettingController::revertTab(int tab)
{
    switch (tab) {
    case 0:
        table1Array = SessionSelection::periods(TovPeriodXmlDatabase::sharedUI()->periodList());
        fillPeriodTable();
        break;
    case 1:
        m_lists->restoreWeightRow(m_weightRow);
        m_lists->showSelectedWeightList();
        break;
    case 2:
        m_lists->restoreScaleRow(m_scaleRow);
        m_lists->showSelectedScale();
        break;
    default:
        table4Array = TovWeightAndSessionTypeXmlDatabase::sharedUI()->sessionTypeList();
        fillTypeTable();
        break;
    }
    markClean(tab);
}

bool SubjectGradeSettingController::shouldSelectTab(int)
{
    if (m_flag != 0) {
        showMessage();
        return false;
    }
    if (!m_shouldChange) {
        alert(tr("Please press Enter."));
        return false;
    }
    const int tab = m_tabIndex;
    if (m_isChanged[tab]) {
        switch (askTabQuestion(tab)) {
        case PollixAlert::SaveAnswer::Save:
            // A save that did not go through keeps the tab and its edits.
            if (!saveTab(tab))
                return false;
            break;
        case PollixAlert::SaveAnswer::Discard:
            revertTab(tab);
            break;
        case PollixAlert::SaveAnswer::Cancel:
            return false;
        }
    }
    markClean(tab);
    m_shouldChange = true;
    m_flag = 0;
    return true;
}

void SubjectGradeSettingController::closeWindow()
{
    m_resetting = true;
    done(0);
    m_resetting = false;
}

void SubjectGradeSettingController::doClose()
{
    EditHold::commitOpenCell(this);
    for (int tab : {3, 0, 1, 2}) {
        if (!m_isChanged[tab])
            continue;
        const PollixAlert::SaveAnswer answer = askTabQuestion(tab);
        if (answer == PollixAlert::SaveAnswer::Cancel)
            return;
        if (answer == PollixAlert::SaveAnswer::Discard) {
            closeWindow();
            return;
        }
        if (m_flag != 0) {
            showMessage();
            return;
        }
        if (!saveTab(tab))
            return;
    }
    closeWindow();
}

void SubjectGradeSettingController::closeEvent(QCloseEvent *event)
{
    if (m_resetting) {
        QDialog::closeEvent(event);
        return;
    }
    // The close box asks as Close does; a refused save keeps the window.
    event->ignore();
    doClose();
}

void SubjectGradeSettingController::reject()
{
    if (m_resetting)
        QDialog::reject();
    else
        doClose();
}

bool SubjectGradeSettingController::cellShouldEnd(QTableWidget *table, const QModelIndex &index, QString &text)
{
    // A refused edit stays open, and an open edit holds every save and tab switch.
    const bool accepted = cellAccepted(table, index, text);
    m_shouldChange = accepted;
    return accepted;
}

bool SubjectGradeSettingController::cellAccepted(QTableWidget *table, const QModelIndex &index, QString &text)
{
    const int row = index.row();
    const int column = index.column();
    if (table == table1) {
        GradePeriod &period = table1Array[row];
        if (column == 0) {
            text = Rules::removeSpacesAround(text);
            if (text.isEmpty()) {
                m_shouldClose = false;
                markChanged(0);
                refuse(Rules::EmptyTitle);
                return false;
            }
            const bool taken = std::any_of(table1Array.begin(), table1Array.end(),
                                           [&](const GradePeriod &p) { return p.periodTitle() == text; });
            if (text != m_editingString && taken) {
                markChanged(0);
                refuse(Rules::DuplicateTitle);
                return false;
            }
            period.setPeriodTitle(text);
        } else {
            // A date typed only in part is no date.
            if (!QDate::fromString(text, QStringLiteral("yyyy-MM-dd")).isValid()) {
                alert(tr("Please enter the date as YYYY-MM-DD."));
                return false;
            }
            if (column == 1 && period.dateTo() < text) {
                markChanged(0);
                refuse(Rules::EndBeforeBeginning);
                return false;
            }
            if (column == 2 && period.dateFrom() > text) {
                markChanged(0);
                refuse(Rules::BeginningAfterEnd);
                return false;
            }
            if (column == 1)
                period.setDateFrom(text);
            else
                period.setDateTo(text);
        }
        m_flag = 0;
        markChanged(0);
        return true;
    }
    if (table == table4) {
        text = Rules::removeSpacesAround(text);
        if (text.isEmpty()) {
            refuse(Rules::EmptySessionType);
            return false;
        }
        const bool taken = std::any_of(table4Array.begin(), table4Array.end(), [&](const SessionTypeEntity &t) {
            return t.name().compare(text, Qt::CaseInsensitive) == 0;
        });
        if (text.compare(m_editingString, Qt::CaseInsensitive) != 0 && taken) {
            refuse(Rules::DuplicateSessionType);
            return false;
        }
        table4Array[row].setName(text);
        markChanged(3);
        return true;
    }
    if (table == selectSessionTable2) {
        sessionWeightArray[row].setWeight(text.toFloat());
        text = PrintfNumber::fixed(double(sessionWeightArray[row].weight()), 1);
        markChanged(1);
        calculateTotal2();
        return true;
    }
    // The letter table.
    ConversionLetter &letter = letterArray[row];
    if (column == 0) {
        text = Rules::removeSpacesAround(text);
        if (text.isEmpty()) {
            refuse(Rules::EmptyLetter);
            return false;
        }
        const bool taken = std::any_of(letterArray.begin(), letterArray.end(),
                                       [&](const ConversionLetter &l) { return l.letter() == text; });
        if (text != m_editingString && taken) {
            refuse(Rules::DuplicateLetter);
            return false;
        }
        letter.setLetter(text);
    } else if (column == 1) {
        letter.setPointFrom(GlobalFunctions::intValue(text));
        text = QString::number(letter.pointFrom());
    } else if (column == 2) {
        letter.setPointTo(GlobalFunctions::intValue(text));
        text = QString::number(letter.pointTo());
    } else {
        letter.setNotes(text);
    }
    m_flag = 0;
    markChanged(2);
    return true;
}

bool SubjectGradeSettingController::titleShouldEnd(QLineEdit *field)
{
    m_shouldChange = true;
    const QString text = Rules::removeSpacesAround(field->text());
    if (text != field->text())
        field->setText(text);
    if (field == textWeightTitle2)
        weightListArray[m_weightRow].setWeightTitle(text);
    else
        conversionListArray[m_scaleRow].setConversionTitle(text);
    if (!text.isEmpty())
        return true;
    m_shouldClose = false;
    refuse(Rules::EmptyTitle);
    m_shouldChange = false;
    m_titleLeave[field == textWeightTitle2 ? 0 : 1]->stay();
    return false;
}

int SubjectGradeSettingController::selectedRow(QTableWidget *table) const
{
    const QList<QTableWidgetSelectionRange> ranges = table->selectedRanges();
    return ranges.isEmpty() ? -1 : ranges.first().topRow();
}

void SubjectGradeSettingController::selectRow(QTableWidget *table, int row)
{
    const bool was = m_resetting;
    m_resetting = true;
    table->clearSelection();
    if (row >= 0 && row < table->rowCount()) {
        table->setCurrentCell(row, 0);
        table->selectRow(row);
    }
    m_resetting = was;
}

void SubjectGradeSettingController::fillChoice(MyComboBox *box, const QStringList &names, const QString &current)
{
    const bool was = m_resetting;
    m_resetting = true;
    box->setEditable(false);
    box->clear();
    box->addItem(allText());
    box->addItems(names);
    int at = box->findText(current, Qt::MatchExactly);
    if (at < 0 && !current.isEmpty()) {
        // A name the roster no longer has still shows what the record holds.
        box->addItem(current);
        at = box->count() - 1;
    }
    box->setCurrentIndex(qMax(0, at));
    box->setFit();
    m_resetting = was;
}

// ---------------------------------------------------------------------------------------------
// Tab 0: grading periods

void SubjectGradeSettingController::fillPeriodTable()
{
    const bool was = m_resetting;
    m_resetting = true;
    table1->setRowCount(0);
    for (const GradePeriod &p : table1Array) {
        const int r = table1->rowCount();
        table1->insertRow(r);
        table1->setItem(r, 0, SubjectGradeSettingInterface::item(p.periodTitle()));
        table1->setItem(r, 1, SubjectGradeSettingInterface::item(p.dateFrom()));
        table1->setItem(r, 2, SubjectGradeSettingInterface::item(p.dateTo()));
    }
    m_resetting = was;
    updateSelectionButtons();
}

void SubjectGradeSettingController::doAdd1()
{
    QStringList taken;
    for (const GradePeriod &p : table1Array)
        taken << p.periodTitle();
    GradePeriod row;
    row.setPeriodTitle(Rules::firstFreeName(tr("New Period"), taken));
    const QString today = GlobalFunctions::dayText(GlobalFunctions::currentDateTime());
    row.setDateFrom(today);
    row.setDateTo(today);
    table1Array << row;
    fillPeriodTable();
    selectRow(table1, int(table1Array.size()) - 1);
    markChanged(0);
}

void SubjectGradeSettingController::doDelete1()
{
    QList<int> rows = SubjectGradeSettingInterface::selectedRows(table1);
    if (rows.isEmpty())
        return;
    if (ask(QStringLiteral("Pollix ARS"),
            tr("Any previous Course Grade with this settings cannot be recreated. continue anyway?"),
            {tr("Yes"), tr("No")}) != 0)
        return;
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    for (int r : rows)
        table1Array.removeAt(r);
    fillPeriodTable();
    markChanged(0);
}

void SubjectGradeSettingController::doSave1()
{
    if (!gateOpen())
        return;
    TovPeriodXmlDatabase *store = TovPeriodXmlDatabase::sharedUI();
    QString why;
    QList<int> gone;
    for (const PeriodEntity &p : store->periodList())
        if (std::none_of(table1Array.begin(), table1Array.end(),
                         [&](const GradePeriod &row) { return row.periodNum() == p.no(); }))
            gone << p.no();
    // Every period lands, or none: a save cut short must not leave half the table in the file.
    QList<GradePeriod *> added;
    const bool ok = StoreTransaction::runAsOne(
        [&](QString *failure) {
            for (auto it = gone.crbegin(); it != gone.crend(); ++it)
                if (!store->deleteWithNo(*it, failure))
                    return false;
            for (GradePeriod &row : table1Array) {
                PeriodEntity p;
                p.setNo(row.periodNum());
                p.setTitle(row.periodTitle());
                p.setDateFrom(row.dateFrom());
                p.setDateTo(row.dateTo());
                if (row.periodNum() != -1) {
                    if (!store->updateWithData(p, failure))
                        return false;
                } else {
                    const int no = store->addWithData(p, failure);
                    if (no == -1)
                        return false;
                    row.setPeriodNum(no);
                    added << &row;
                }
            }
            return true;
        },
        &why, store);
    if (!ok)
        for (GradePeriod *row : added)
            row->setPeriodNum(-1);
    if (m_parent)
        m_parent->refreshPeriod2();
    if (!ok) {
        // Nothing was written; the whole table is offered again at the next save.
        m_shouldClose = false;
        alert(tr("The grading periods could not be saved."), why);
        return;
    }
    markClean(0);
    m_shouldClose = true;
}

void SubjectGradeSettingController::doSaveClose1()
{
    if (saveTab(0))
        closeWindow();
}

// ---------------------------------------------------------------------------------------------
// Tabs 1 and 2: weight lists and letter scales, in SubjectGradeListTabs

void SubjectGradeSettingController::doAdd2() { m_lists->doAdd2(); }
void SubjectGradeSettingController::doDelete2() { m_lists->doDelete2(); }
void SubjectGradeSettingController::doSave2() { m_lists->doSave2(); }
void SubjectGradeSettingController::doSaveClose2() { m_lists->doSaveClose2(); }
void SubjectGradeSettingController::selectASessionType(int row) { m_lists->selectASessionType(row); }
void SubjectGradeSettingController::calculateTotal2() { m_lists->calculateTotal2(); }
void SubjectGradeSettingController::sessionWeightTableReNew() { m_lists->sessionWeightTableReNew(); }
void SubjectGradeSettingController::doAdd3() { m_lists->doAdd3(); }
void SubjectGradeSettingController::doDelete3() { m_lists->doDelete3(); }
void SubjectGradeSettingController::doAddRight3() { m_lists->doAddRight3(); }
void SubjectGradeSettingController::doDeleteRight3() { m_lists->doDeleteRight3(); }
void SubjectGradeSettingController::doSave3() { m_lists->doSave3(); }
void SubjectGradeSettingController::doSaveClose3() { m_lists->doSaveClose3(); }

// ---------------------------------------------------------------------------------------------
// Tab 3: session types

void SubjectGradeSettingController::fillTypeTable()
{
    const bool was = m_resetting;
    m_resetting = true;
    table4->setRowCount(0);
    const int builtIns = int(TovWeightAndSessionTypeXmlDatabase::builtInSessionTypes().size());
    for (const SessionTypeEntity &t : table4Array) {
        const int r = table4->rowCount();
        table4->insertRow(r);
        // The built-in types keep their names.
        table4->setItem(r, 0, SubjectGradeSettingInterface::item(t.name(), t.no() == -1 || t.no() > builtIns));
    }
    m_resetting = was;
    updateSelectionButtons();
}

void SubjectGradeSettingController::doAdd4()
{
    QStringList taken;
    for (const SessionTypeEntity &t : table4Array)
        taken << t.name();
    SessionTypeEntity type;
    type.setName(Rules::firstFreeName(tr("New Type"), taken));
    table4Array << type;
    fillTypeTable();
    selectRow(table4, int(table4Array.size()) - 1);
    markChanged(3);
}

void SubjectGradeSettingController::doDelete4()
{
    QList<int> rows = SubjectGradeSettingInterface::selectedRows(table4);
    if (rows.isEmpty())
        return;
    if (rows.size() == table4Array.size()) {
        refuse(Rules::NoSessionTypeLeft);
        return;
    }
    std::sort(rows.begin(), rows.end());
    TovWeightAndSessionTypeXmlDatabase *store = TovWeightAndSessionTypeXmlDatabase::sharedUI();
    const int builtIns = int(TovWeightAndSessionTypeXmlDatabase::builtInSessionTypes().size());
    for (int r : rows) {
        const SessionTypeEntity &t = table4Array.at(r);
        if (t.no() != -1 && t.no() <= builtIns) {
            alert(tr("The Session Type '%1' is built in, cannot be deleted.").arg(t.name()));
            return;
        }
        if (t.no() != -1 && store->existSessionTypeInWeightWithNo(t.no())) {
            m_tmpStr = t.name();
            refuse(Rules::SessionTypeInUse);
            return;
        }
    }
    if (ask(kPollix, rows.size() == 1 ? tr("Are you sure you want to delete it?") : tr("Are you sure to delete it?"),
            {tr("OK"), tr("Cancel")}) != 0)
        return;
    for (auto it = rows.crbegin(); it != rows.crend(); ++it)
        table4Array.removeAt(*it);
    fillTypeTable();
    markChanged(3);
}

void SubjectGradeSettingController::doSave4()
{
    if (!gateOpen())
        return;
    TovWeightAndSessionTypeXmlDatabase *store = TovWeightAndSessionTypeXmlDatabase::sharedUI();
    QString why;
    // The types and the weight lists that name them are one file: every change lands, or none.
    QList<SessionTypeEntity *> added;
    const bool ok = StoreTransaction::runAsOne(
        [&](QString *failure) {
            const QList<SessionTypeEntity> stored = store->sessionTypeList();
            for (const SessionTypeEntity &t : stored) {
                const bool kept = std::any_of(table4Array.begin(), table4Array.end(),
                                              [&](const SessionTypeEntity &row) { return row.no() == t.no(); });
                if (!kept && !store->deleteSessionTypeWithNo(t.no(), failure))
                    return false;
            }
            // Renames go in one write: two types may swap names.
            QList<SessionTypeEntity> renames;
            for (const SessionTypeEntity &row : table4Array)
                if (row.no() != -1)
                    renames << row;
            if (!store->updateSessionTypesWithData(renames, failure))
                return false;
            for (SessionTypeEntity &row : table4Array) {
                if (row.no() != -1)
                    continue;
                if (store->addSessionTypeWithData(row, failure) == -1) {
                    if (failure->isEmpty())
                        *failure = tr("Failed to add type.");
                    return false;
                }
                added << &row;
            }
            return true;
        },
        &why, store);
    if (!ok)
        for (SessionTypeEntity *row : added)
            row->setNo(-1);
    if (m_parent)
        m_parent->refreshSessionTypes();
    m_lists->sessionWeightTableReNew();
    if (!ok) {
        m_shouldClose = false;
        alert(tr("The session types could not be saved."), why);
        return;
    }
    markClean(3);
    m_shouldClose = true;
}

void SubjectGradeSettingController::doSaveClose4()
{
    if (saveTab(3))
        closeWindow();
}

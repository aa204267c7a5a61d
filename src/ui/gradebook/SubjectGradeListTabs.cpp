#include "SubjectGradeListTabs.h"

#include "GradebookSettingsParent.h"
#include "SubjectGradeSettingController.h"
#include "SubjectGradeSettingInterface.h"

#include "core/base/PrintfNumber.h"
#include "core/gradebook/GradebookSettingRules.h"
#include "core/gradebook/SessionSelection.h"
#include "core/roster/RosterRecords.h"
#include "core/store/GlobalFunctions.h"
#include "core/store/TovClassXmlDatabase.h"
#include "core/store/TovGradeLetterXmlDatabase.h"
#include "core/store/TovSubjectXmlDatabase.h"
#include "core/store/TovWeightAndSessionTypeXmlDatabase.h"
#include "platform/Log.h"
#include "ui/controls/MyComboBox.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>

namespace {
using Rules = GradebookSettingRules;

QString tr(const char *text)
{
    return SubjectGradeSettingController::tr(text);
}

QString allText()
{
    return GlobalFunctions::allText();
}

// The title being edited and the store number of a list row (0: the template).
QString &editedTitle(WeightList &row)
{
    return row.weightTitle();
}
QString &editedTitle(ConversionList &row)
{
    return row.conversionTitle();
}
int numberOf(const WeightList &row)
{
    return row.weightNum();
}
int numberOf(const ConversionList &row)
{
    return row.conversionNum();
}

template <typename Row>
void setNames(Row &row, const QString &className, const QString &subjectName, const QString &teacherName)
{
    row.setClassName(className);
    row.setSubjectName(subjectName);
    row.setTeacherName(teacherName);
}

// The row new lists and scales are made from: no title, "All" three times.
template <typename Row>
Row templateRow()
{
    Row row;
    row.setOriginalTitle(QStringLiteral("Template"));
    setNames(row, allText(), allText(), allText());
    return row;
}

void setNumber(WeightList &row, int no)
{
    row.setWeightNum(no);
}
void setNumber(ConversionList &row, int no)
{
    row.setConversionNum(no);
}

// A row for a stored weight list or letter scale.
template <typename Row, typename Entity>
Row rowOf(const Entity &stored)
{
    Row row;
    setNumber(row, stored.no());
    row.setOriginalTitle(stored.title());
    editedTitle(row) = stored.title();
    setNames(row, stored.className(), stored.subjectName(), stored.teacherName());
    return row;
}

// Back to what is stored ("No" at a question): the template to empty, a stored row to its record.
template <typename Row, typename Entity>
void restoreRow(Row &row, const std::optional<Entity> &stored)
{
    if (numberOf(row) == 0) {
        editedTitle(row).clear();
        setNames(row, allText(), allText(), allText());
    } else if (stored) {
        editedTitle(row) = stored->title();
        setNames(row, stored->className(), stored->subjectName(), stored->teacherName());
    }
}

// After a save: a stored row keeps the saved title; a saved template becomes a new row, and the
// template is empty again.
template <typename Row, typename Entity>
void settleSavedRow(QList<Row> &rows, int shown, const Entity &saved)
{
    if (numberOf(rows.at(shown)) != 0) {
        rows[shown].setOriginalTitle(saved.title());
        editedTitle(rows[shown]) = saved.title();
        return;
    }
    rows << rowOf<Row>(saved);
    restoreRow(rows[0], std::optional<Entity>());
}

// The list column: the template row in italics, then each saved title.
template <typename Row>
void fillListTable(QTableWidget *table, const QList<Row> &rows, const QString &templateLabel)
{
    const QSignalBlocker quiet(table);
    table->setRowCount(int(rows.size()));
    for (int r = 0; r < rows.size(); ++r) {
        QTableWidgetItem *it = SubjectGradeSettingInterface::item(r == 0 ? templateLabel : rows.at(r).originalTitle(), false);
        if (r == 0) {
            QFont italic = it->font();
            italic.setItalic(true);
            it->setFont(italic);
        }
        table->setItem(r, 0, it);
    }
}

// A name to store for a choice box: 0 "All", else the roster's name for the number ("" none).
int numberOf(const QString &name, int (*lookup)(const QString &))
{
    return name == allText() ? 0 : lookup(name);
}
} // namespace

SubjectGradeListTabs::SubjectGradeListTabs(SubjectGradeSettingController *window) : win(window) {}

// ---------------------------------------------------------------------------------------------
// Tabs 1 and 2 alike

QString SubjectGradeListTabs::titleToSave(int tab, const QString &originalTitle,
                                          const std::function<bool(const QString &)> &stored)
{
    if (!win->gateOpen())
        return QString();
    QLineEdit *field = tab == 1 ? win->textWeightTitle2 : win->textConversionTitle3;
    const QString title = Rules::removeSpacesAround(field->text());
    field->setText(title);
    // A new one may not take a stored title; a stored one may keep its own.
    const int code = title.isEmpty() ? Rules::EmptyTitle
                     : stored(title) && (listRow(tab) == 0 || title != originalTitle) ? Rules::DuplicateTitle
                                                                                       : Rules::NoError;
    if (code == Rules::NoError)
        return title;
    win->m_shouldClose = false;
    win->refuse(code);
    return QString();
}

bool SubjectGradeListTabs::writeListRecord(int tab, int no, const std::function<bool(QString *)> &update,
                                           const std::function<bool(QString *)> &add)
{
    QString why;
    if (no != 0 ? update(&why) : add(&why))
        return true;
    win->m_shouldClose = false;
    win->alert(tab == 1 ? tr("The weight list could not be saved.") : tr("The letter scale could not be saved."), why);
    return false;
}

void SubjectGradeListTabs::listSaved(int tab)
{
    if (tab == 1)
        fillWeightLists();
    else
        fillConversionLists();
    showListRow(tab);
    win->markClean(tab);
    win->m_shouldClose = true;
    if (win->m_parent)
        tab == 1 ? win->m_parent->refreshWeight2() : win->m_parent->refreshConversion2();
}

int &SubjectGradeListTabs::listRow(int tab)
{
    return tab == 1 ? win->m_weightRow : win->m_scaleRow;
}

void SubjectGradeListTabs::showListRow(int tab)
{
    if (tab == 1)
        showSelectedWeightList();
    else
        showSelectedScale();
    win->updateSelectionButtons();
}

bool SubjectGradeListTabs::listSelectionShouldChange(int tab, int from)
{
    if (win->m_isChanged[tab]) {
        switch (win->askTabQuestion(tab)) {
        case PollixAlert::SaveAnswer::Save:
            // A save that did not go through keeps the list and its edits.
            if (!win->saveTab(tab))
                return false;
            break;
        case PollixAlert::SaveAnswer::Discard:
            if (tab == 1)
                restoreWeightRow(from);
            else
                restoreScaleRow(from);
            break;
        case PollixAlert::SaveAnswer::Cancel:
            return false;
        }
    }
    win->markClean(tab);
    return true;
}

void SubjectGradeListTabs::showTitleAndNames(int tab, const QString &title, const QString &className,
                                             const QString &subjectName, const QString &teacherName)
{
    const bool was = win->m_resetting;
    win->m_resetting = true;
    (tab == 1 ? win->textWeightTitle2 : win->textConversionTitle3)->setText(title);
    win->m_resetting = was;
    win->fillChoice(tab == 1 ? win->cboClass2 : win->cboClass3, RosterRecords::classNames(), className);
    win->fillChoice(tab == 1 ? win->cboSubject2 : win->cboSubject3, RosterRecords::subjectNames(), subjectName);
    win->fillChoice(tab == 1 ? win->cboTeacher2 : win->cboTeacher3, RosterRecords::teacherNames(), teacherName);
}

void SubjectGradeListTabs::selectTemplate(int tab)
{
    int &shown = listRow(tab);
    if (shown == 0 || listSelectionShouldChange(tab, shown)) {
        shown = 0;
        win->selectRow(tab == 1 ? win->weightListTable2 : win->conversionListTable3, 0);
        showListRow(tab);
    }
    if (win->m_parent)
        tab == 1 ? win->m_parent->refreshWeight2() : win->m_parent->refreshConversion2();
}

void SubjectGradeListTabs::deleteListRow(int tab, const std::function<bool(int no, QString *why)> &remove)
{
    int &shown = listRow(tab);
    if (shown == 0)
        return;
    const QString question = tab == 1
                                 ? tr("Any previous Course Grade with this settings cannot be recreated. continue anyway?")
                                 : tr("Any previous Course Grade with this settings cannot be recreated. Continue anyway?");
    if (win->ask(QStringLiteral("Pollix ARS"), question, {tr("Yes"), tr("No")}) != 0)
        return;
    QString why;
    const int no = tab == 1 ? win->weightListArray.at(shown).weightNum() : win->conversionListArray.at(shown).conversionNum();
    if (!remove(no, &why)) {
        win->alert(tab == 1 ? tr("The weight list could not be deleted.") : tr("The letter scale could not be deleted."), why);
        return;
    }
    if (tab == 1) {
        win->weightListArray.removeAt(shown);
        fillWeightLists();
    } else {
        win->conversionListArray.removeAt(shown);
        fillConversionLists();
    }
    shown = 0;
    win->selectRow(tab == 1 ? win->weightListTable2 : win->conversionListTable3, 0);
    win->markClean(tab);
    showListRow(tab);
    if (win->m_parent)
        tab == 1 ? win->m_parent->refreshWeight2() : win->m_parent->refreshConversion2();
}

// ---------------------------------------------------------------------------------------------
// Tab 1: weight lists

void SubjectGradeListTabs::fillWeightLists()
{
    if (win->weightListArray.isEmpty()) {
        win->weightListArray << templateRow<WeightList>();
        for (const WeightEntity &w : TovWeightAndSessionTypeXmlDatabase::sharedUI()->weightList()) {
            PollixLogf("WeightNo:%d", w.no());
            win->weightListArray << rowOf<WeightList>(w);
        }
    }
    if (win->weightListTable2)
        fillListTable(win->weightListTable2, win->weightListArray, tr("(New weight list)"));
}

void SubjectGradeListTabs::fillSessionTypeRows()
{
    win->sessionWeightArray.clear();
    for (const SessionTypeEntity &t : TovWeightAndSessionTypeXmlDatabase::sharedUI()->sessionTypeList()) {
        SelectSessionType row;
        row.setSessionNum(t.no());
        row.setSessionType(t.name());
        win->sessionWeightArray << row;
    }
}

void SubjectGradeListTabs::applyStoredWeights()
{
    for (SelectSessionType &row : win->sessionWeightArray) {
        row.setIsSelect(false);
        row.setWeight(0.0f);
    }
    win->havedSelectedRowsArray.clear();
    const int no = win->weightListArray.value(win->m_weightRow).weightNum();
    const QList<SessionTypeInWeight> stored =
        TovWeightAndSessionTypeXmlDatabase::sharedUI()->sessionTypeListInWeightWithNo(no).value_or(QList<SessionTypeInWeight>());
    for (const SessionTypeInWeight &st : stored) {
        PollixLogf("[st sessionNum]:%d", st.sessionTypeNo());
        for (SelectSessionType &row : win->sessionWeightArray) {
            if (row.sessionNum() != st.sessionTypeNo())
                continue;
            row.setIsSelect(st.isSelect());
            row.setWeight(st.weight());
            if (row.isSelect())
                win->havedSelectedRowsArray << row;
        }
    }
    const bool was = win->m_resetting;
    win->m_resetting = true;
    win->selectSessionTable2->setRowCount(int(win->sessionWeightArray.size()));
    for (int r = 0; r < win->sessionWeightArray.size(); ++r) {
        const SelectSessionType &row = win->sessionWeightArray.at(r);
        auto *check = SubjectGradeSettingInterface::item(QString(), false);
        check->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        check->setCheckState(row.isSelect() ? Qt::Checked : Qt::Unchecked);
        win->selectSessionTable2->setItem(r, 0, check);
        win->selectSessionTable2->setItem(r, 1, SubjectGradeSettingInterface::item(row.sessionType(), false));
        win->selectSessionTable2->setItem(r, 2, SubjectGradeSettingInterface::item(PrintfNumber::fixed(double(row.weight()), 1)));
    }
    win->m_resetting = was;
}

void SubjectGradeListTabs::showSelectedWeightList()
{
    const WeightList &row = win->weightListArray.at(win->m_weightRow);
    win->btnSave2->setText(win->m_weightRow == 0 ? tr("Add") : tr("Save"));
    showTitleAndNames(1, row.weightTitle(), row.className(), row.subjectName(), row.teacherName());
    applyStoredWeights();
    calculateTotal2();
}

void SubjectGradeListTabs::restoreWeightRow(int row)
{
    WeightList &w = win->weightListArray[row];
    restoreRow(w, TovWeightAndSessionTypeXmlDatabase::sharedUI()->weightByNo(w.weightNum()));
}

void SubjectGradeListTabs::selectASessionType(int row)
{
    if (row < 0 || row >= win->sessionWeightArray.size())
        return;
    win->sessionWeightArray[row].setIsSelect(win->selectSessionTable2->item(row, 0)->checkState() == Qt::Checked);
    calculateTotal2();
    win->markChanged(1);
}

void SubjectGradeListTabs::calculateTotal2()
{
    win->textTotal2->setText(Rules::weightTotalText(win->sessionWeightArray));
}

void SubjectGradeListTabs::sessionWeightTableReNew()
{
    fillSessionTypeRows();
    applyStoredWeights();
}

void SubjectGradeListTabs::doAdd2()
{
    selectTemplate(1);
}

void SubjectGradeListTabs::doDelete2()
{
    deleteListRow(1, [](int no, QString *why) {
        return TovWeightAndSessionTypeXmlDatabase::sharedUI()->deleteWeightWithNo(no, why);
    });
}

void SubjectGradeListTabs::doSave2()
{
    TovWeightAndSessionTypeXmlDatabase *store = TovWeightAndSessionTypeXmlDatabase::sharedUI();
    WeightList &row = win->weightListArray[win->m_weightRow];
    const QString title = titleToSave(1, row.originalTitle(), [store](const QString &t) { return store->existWeightWithName(t); });
    if (title.isEmpty())
        return;
    if (!Rules::weightsAddUpTo100(win->sessionWeightArray)) {
        win->m_shouldClose = false;
        win->alert(tr("The sum of Weights must be 100."));
        return;
    }
    const int classNo = numberOf(win->cboClass2->currentText(), [](const QString &n) {
        return TovClassXmlDatabase::sharedClassUI()->classNoByName(n);
    });
    const int subjectNo = numberOf(win->cboSubject2->currentText(), [](const QString &n) {
        return TovSubjectXmlDatabase::sharedSubjectUI()->subjectNoByName(n);
    });
    if (classNo < 0 || subjectNo < 0) {
        win->m_shouldClose = false;
        win->alert(classNo < 0 ? tr("Class does not exist") : tr("Subject does not exist"));
        return;
    }
    WeightEntity w;
    w.setTitle(title);
    setNames(w, win->cboClass2->currentText(), win->cboSubject2->currentText(), win->cboTeacher2->currentText());
    for (const SelectSessionType &t : win->sessionWeightArray) {
        SessionTypeInWeight entry;
        entry.setIsSelect(t.isSelect());
        entry.setWeight(t.weight());
        entry.setSessionTypeNo(t.sessionNum());
        entry.setSessionType(store->sessionTypeNameByNo(t.sessionNum()));
        w.sessionTypesInWeight() << entry;
    }
    const bool written = writeListRecord(
        1, row.weightNum(),
        [&](QString *why) {
            w.setNo(row.weightNum());
            PollixLogf("[weightList weightNum]:%d", row.weightNum());
            return store->updateWeightWithData(w, why);
        },
        [&](QString *why) {
            const bool added = store->addWeightWithData(w, why) >= 0;
            PollixLogf("weight count:%d", int(store->weightList().size()));
            return added;
        });
    if (!written)
        return;
    settleSavedRow(win->weightListArray, win->m_weightRow, w);
    listSaved(1);
}

void SubjectGradeListTabs::doSaveClose2()
{
    if (win->saveTab(1))
        win->closeWindow();
}

// ---------------------------------------------------------------------------------------------
// Tab 2: letter scales

void SubjectGradeListTabs::fillConversionLists()
{
    if (win->conversionListArray.isEmpty()) {
        win->conversionListArray << templateRow<ConversionList>();
        for (const LetterGradeEntity &scale : TovGradeLetterXmlDatabase::sharedUI()->gradeLetterList())
            win->conversionListArray << rowOf<ConversionList>(scale);
    }
    if (win->conversionListTable3)
        fillListTable(win->conversionListTable3, win->conversionListArray, tr("(New letter scale)"));
}

void SubjectGradeListTabs::fillLetterTable()
{
    const bool was = win->m_resetting;
    win->m_resetting = true;
    win->letterGradeTable3->setRowCount(0);
    for (const ConversionLetter &l : win->letterArray) {
        const int r = win->letterGradeTable3->rowCount();
        win->letterGradeTable3->insertRow(r);
        win->letterGradeTable3->setItem(r, 0, SubjectGradeSettingInterface::item(l.letter()));
        win->letterGradeTable3->setItem(r, 1, SubjectGradeSettingInterface::item(QString::number(l.pointFrom())));
        win->letterGradeTable3->setItem(r, 2, SubjectGradeSettingInterface::item(QString::number(l.pointTo())));
        win->letterGradeTable3->setItem(r, 3, SubjectGradeSettingInterface::item(l.notes()));
    }
    win->m_resetting = was;
    win->updateSelectionButtons();
}

void SubjectGradeListTabs::showSelectedScale()
{
    const ConversionList &row = win->conversionListArray.at(win->m_scaleRow);
    win->letterArray.clear();
    if (row.conversionNum() != 0) {
        win->btnSave3->setText(tr("Save"));
        if (const std::optional<LetterGradeEntity> stored =
                TovGradeLetterXmlDatabase::sharedUI()->letterGradeByNo(row.conversionNum()))
            win->letterArray = SessionSelection::letters(*stored);
    } else {
        win->btnSave3->setText(tr("Add"));
        win->letterArray = Rules::defaultLetters();
    }
    fillLetterTable();
    showTitleAndNames(2, row.conversionTitle(), row.className(), row.subjectName(), row.teacherName());
}

void SubjectGradeListTabs::restoreScaleRow(int row)
{
    ConversionList &scale = win->conversionListArray[row];
    restoreRow(scale, TovGradeLetterXmlDatabase::sharedUI()->letterGradeByNo(scale.conversionNum()));
}

void SubjectGradeListTabs::doAdd3()
{
    selectTemplate(2);
}

void SubjectGradeListTabs::doDelete3()
{
    deleteListRow(2, [](int no, QString *why) { return TovGradeLetterXmlDatabase::sharedUI()->deleteWithNo(no, why); });
}

void SubjectGradeListTabs::doAddRight3()
{
    QStringList taken;
    for (const ConversionLetter &l : win->letterArray)
        taken << l.letter();
    ConversionLetter letter;
    letter.setLetter(Rules::firstFreeName(QStringLiteral("Letter"), taken, QString()));
    win->letterArray << letter;
    fillLetterTable();
    win->markChanged(2);
    if (win->m_parent)
        win->m_parent->refreshConversion2();
}

void SubjectGradeListTabs::doDeleteRight3()
{
    QList<int> rows = SubjectGradeSettingInterface::selectedRows(win->letterGradeTable3);
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    for (int r : rows)
        win->letterArray.removeAt(r);
    fillLetterTable();
    win->markChanged(2);
    if (win->m_parent)
        win->m_parent->refreshConversion2();
}

void SubjectGradeListTabs::doSave3()
{
    TovGradeLetterXmlDatabase *store = TovGradeLetterXmlDatabase::sharedUI();
    ConversionList &row = win->conversionListArray[win->m_scaleRow];
    const QString title =
        titleToSave(2, row.originalTitle(), [store](const QString &t) { return store->existLetterGradeWithTitle(t); });
    if (title.isEmpty())
        return;
    if (const int code = Rules::checkLetterRanges(win->letterArray); code != Rules::NoError) {
        win->m_shouldClose = false;
        win->refuse(code);
        return;
    }
    LetterGradeEntity scale;
    scale.setTitle(title);
    setNames(scale, win->cboClass3->currentText(), win->cboSubject3->currentText(), win->cboTeacher3->currentText());
    for (const ConversionLetter &l : win->letterArray) {
        LetterEntity letter;
        letter.setLetter(l.letter());
        letter.setPointFrom(l.pointFrom());
        letter.setPointTo(l.pointTo());
        letter.setNotes(l.notes());
        scale.letterList() << letter;
    }
    const bool written = writeListRecord(
        2, row.conversionNum(),
        [&](QString *why) {
            scale.setNo(row.conversionNum());
            PollixLogf("[letter grade no]:%d", row.conversionNum());
            return store->updateWithData(scale, why);
        },
        [&](QString *why) { return store->addWithData(scale, why) >= 0; });
    if (!written)
        return;
    settleSavedRow(win->conversionListArray, win->m_scaleRow, scale);
    listSaved(2);
}

void SubjectGradeListTabs::doSaveClose3()
{
    if (win->saveTab(2))
        win->closeWindow();
}

#include "SubjectGradeSettingController.h"

#include "GradebookCellDelegate.h"
#include "GradebookSettingsParent.h"

#include "core/gradebook/GradebookSettingRules.h"
#include "core/gradebook/SessionSelection.h"
#include "core/store/TovGradeLetterXmlDatabase.h"
#include "core/store/TovPeriodXmlDatabase.h"
#include "core/store/TovWeightAndSessionTypeXmlDatabase.h"
#include "core/store/StoreTransaction.h"
#include "core/roster/RosterRecords.h"
#include "core/store/GlobalFunctions.h"
#include "core/base/PrintfNumber.h"
#include "core/store/TovClassXmlDatabase.h"
#include "core/store/TovSubjectXmlDatabase.h"
#include "platform/Log.h"
#include "ui/controls/MyComboBox.h"
#include "ui/controls/PMResolutionFormatter.h"
#include "ui/controls/PollixAlert.h"

#include <QCloseEvent>
#include <QDate>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {
using Rules = GradebookSettingRules;
const QString kPollix = QStringLiteral("Pollix");

QString allText()
{
    return GlobalFunctions::allText();
}

QTableWidget *makeTable(QWidget *parent, const char *name, const QStringList &headers)
{
    auto *table = new QTableWidget(0, int(headers.size()), parent);
    table->setObjectName(QString::fromLatin1(name));
    table->setHorizontalHeaderLabels(headers);
    table->verticalHeader()->hide();
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                           QAbstractItemView::EditKeyPressed);
    table->horizontalHeader()->setStretchLastSection(true);
    table->horizontalHeader()->setHighlightSections(false);
    return table;
}

QPushButton *makeButton(QWidget *parent, const char *name, const QString &text)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

QTableWidgetItem *item(const QString &text, bool editable = true)
{
    auto *it = new QTableWidgetItem(text);
    if (!editable)
        it->setFlags(it->flags() & ~Qt::ItemIsEditable);
    return it;
}

// The Save, Save-and-Close and Close row at the foot of a tab.
QHBoxLayout *footRow(QPushButton *save, QPushButton *saveClose, QPushButton *close)
{
    auto *row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(save);
    row->addWidget(saveClose);
    row->addWidget(close);
    return row;
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
        QTableWidgetItem *it = item(r == 0 ? templateLabel : rows.at(r).originalTitle(), false);
        if (r == 0) {
            QFont italic = it->font();
            italic.setItalic(true);
            it->setFont(italic);
        }
        table->setItem(r, 0, it);
    }
}

// The rows of a table the user selected, in no particular order.
QList<int> selectedRows(const QTableWidget *table)
{
    QList<int> rows;
    for (const QModelIndex &index : table->selectionModel()->selectedRows())
        rows << index.row();
    return rows;
}

// A name to store for a choice box: 0 "All", else the roster's name for the number ("" none).
int numberOf(const QString &name, int (*lookup)(const QString &))
{
    return name == allText() ? 0 : lookup(name);
}
} // namespace

SubjectGradeSettingController::SubjectGradeSettingController(int tabIndex, GradebookSettingsParent *parent,
                                                             QWidget *parentWidget)
    : QDialog(parentWidget), m_parent(parent), m_tabIndex(qBound(0, tabIndex, 3))
{
    setObjectName(QStringLiteral("SubjectGradeSetting"));
    setWindowTitle(tr("Gradebook Settings"));
    buildInterface();

    table1Array = SessionSelection::periods(TovPeriodXmlDatabase::sharedUI()->periodList());
    table4Array = TovWeightAndSessionTypeXmlDatabase::sharedUI()->sessionTypeList();
    fillWeightLists();
    fillConversionLists();
    letterArray = Rules::defaultLetters();
    awakeFromNib();
}

SubjectGradeSettingController::~SubjectGradeSettingController() = default;

// ---------------------------------------------------------------------------------------------
// Interface

void SubjectGradeSettingController::buildInterface()
{
    tabView = new QTabWidget(this);
    tabView->setObjectName(QStringLiteral("tabView"));
    tabView->addTab(buildPeriodTab(), tr("Grading Period"));
    tabView->addTab(buildWeightTab(), tr("Weight"));
    tabView->addTab(buildLetterTab(), tr("Letter Grade"));
    tabView->addTab(buildTypeTab(), tr("Session Type"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->addWidget(tabView);
    resize(820, 560);

    connect(tabView->tabBar(), &QTabBar::currentChanged, this, [this](int to) {
        if (m_resetting || to == m_tabIndex)
            return;
        if (!shouldSelectTab(to)) {
            m_resetting = true;
            tabView->setCurrentIndex(m_tabIndex);
            m_resetting = false;
            return;
        }
        m_tabIndex = to;
        m_shouldChange = true;
    });
}

GradebookCellDelegate *SubjectGradeSettingController::cellDelegate(QTableWidget *table)
{
    auto *delegate = new GradebookCellDelegate(
        [this, table](const QModelIndex &index) -> TextFormatter * {
            auto *f = new PMResolutionFormatter;
            if (table == table1 && index.column() > 0)
                f->setDate();
            else if (table == selectSessionTable2)
                f->setFloatWithDecimalDigits(1, 100, 5);
            else if (table == letterGradeTable3 && (index.column() == 1 || index.column() == 2))
                f->setDigitWithMaxNum(100);
            else
                f->setMaxLength(50);
            return f;
        },
        [this, table](const QModelIndex &index, QString &text) { return cellShouldEnd(table, index, text); }, table);
    delegate->began = [this](const QModelIndex &, const QString &text) {
        m_editingString = text;
        m_shouldChange = false;
    };
    delegate->cancelled = [this] { m_shouldChange = true; };
    table->setItemDelegate(delegate);
    return delegate;
}

QWidget *SubjectGradeSettingController::buildTablePage(int tab, QTableWidget *table, QPushButton *&add,
                                                      QPushButton *&remove, QPushButton *&save, QPushButton *&saveClose,
                                                      QPushButton *&close)
{
    QWidget *page = table->parentWidget();
    const QString n = QString::number(tab + 1);
    const auto button = [&](const char *stem, const QString &text) {
        return makeButton(page, (QString::fromLatin1(stem) + n).toLatin1().constData(), text);
    };
    add = button("btnAdd", tr("Add"));
    remove = button("btnDelete", tr("Delete"));
    save = button("btnSave", tr("Save"));
    saveClose = button("btnSaveClose", tr("Save and Close"));
    close = button("btnClose", tr("Close"));
    auto *side = new QVBoxLayout;
    side->addWidget(add);
    side->addWidget(remove);
    side->addStretch();
    auto *body = new QHBoxLayout;
    body->addWidget(table, 1);
    body->addLayout(side);
    auto *layout = new QVBoxLayout(page);
    layout->addLayout(body, 1);
    layout->addLayout(footRow(save, saveClose, close));
    connect(close, &QPushButton::clicked, this, &SubjectGradeSettingController::doClose);
    return page;
}

QWidget *SubjectGradeSettingController::buildPeriodTab()
{
    auto *page = new QWidget;
    table1 = makeTable(page, "table1", {tr("Title"), tr("From"), tr("To")});
    table1->setColumnWidth(0, 360);
    table1->setColumnWidth(1, 150);
    cellDelegate(table1);
    buildTablePage(0, table1, btnAdd1, btnDelete1, btnSave1, btnSaveClose1, btnClose1);
    connect(btnAdd1, &QPushButton::clicked, this, &SubjectGradeSettingController::doAdd1);
    connect(btnDelete1, &QPushButton::clicked, this, &SubjectGradeSettingController::doDelete1);
    connect(btnSave1, &QPushButton::clicked, this, &SubjectGradeSettingController::doSave1);
    connect(btnSaveClose1, &QPushButton::clicked, this, &SubjectGradeSettingController::doSaveClose1);
    return page;
}

QWidget *SubjectGradeSettingController::buildListPage(int tab, const char *listName, const QString &listHeader,
                                                     const char *titleName, QTableWidget *detail, QLayout *underDetail)
{
    auto *page = detail->parentWidget();
    const QString n = QString::number(tab + 1);
    const auto button = [&](const char *stem, const QString &text) {
        return makeButton(page, (QString::fromLatin1(stem) + n).toLatin1().constData(), text);
    };
    QTableWidget *list = makeTable(page, listName, {listHeader});
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    QPushButton *add = button("btnAdd", tr("Add"));
    QPushButton *remove = button("btnDelete", tr("Delete"));
    auto *title = new QLineEdit(page);
    title->setObjectName(QString::fromLatin1(titleName));
    auto *titleFormatter = new PMResolutionFormatter(title);
    titleFormatter->setMaxLength(50);
    titleFormatter->attachTo(title);
    MyComboBox *boxes[3];
    const char *boxStems[3] = {"cboClass", "cboSubject", "cboTeacher"};
    for (int i = 0; i < 3; ++i) {
        boxes[i] = new MyComboBox(page);
        boxes[i]->setObjectName(QString::fromLatin1(boxStems[i]) + n);
    }
    QPushButton *save = button("btnSave", tr("Add"));
    QPushButton *saveClose = button("btnSaveClose", tr("Save and Close"));
    QPushButton *close = button("btnClose", tr("Close"));
    // One width for "Add" and "Save": the button keeps its place when its title changes.
    save->setMinimumWidth(saveClose->sizeHint().width() * 2 / 3);

    auto *left = new QVBoxLayout;
    left->addWidget(list, 1);
    auto *leftButtons = new QHBoxLayout;
    leftButtons->addWidget(add);
    leftButtons->addWidget(remove);
    leftButtons->addStretch();
    left->addLayout(leftButtons);
    auto *form = new QFormLayout;
    form->addRow(tr("Title:"), title);
    form->addRow(tr("Class:"), boxes[0]);
    form->addRow(tr("Subject:"), boxes[1]);
    form->addRow(tr("Teacher:"), boxes[2]);
    auto *right = new QVBoxLayout;
    right->addLayout(form);
    right->addWidget(detail, 1);
    right->addLayout(underDetail);
    auto *body = new QHBoxLayout;
    body->addLayout(left, 2);
    body->addLayout(right, 3);
    auto *layout = new QVBoxLayout(page);
    layout->addLayout(body, 1);
    layout->addLayout(footRow(save, saveClose, close));

    if (tab == 1) {
        weightListTable2 = list;
        btnAdd2 = add;
        btnDelete2 = remove;
        textWeightTitle2 = title;
        cboClass2 = boxes[0];
        cboSubject2 = boxes[1];
        cboTeacher2 = boxes[2];
        btnSave2 = save;
        btnSaveClose2 = saveClose;
        btnClose2 = close;
    } else {
        conversionListTable3 = list;
        btnAdd3 = add;
        btnDelete3 = remove;
        textConversionTitle3 = title;
        cboClass3 = boxes[0];
        cboSubject3 = boxes[1];
        cboTeacher3 = boxes[2];
        btnSave3 = save;
        btnSaveClose3 = saveClose;
        btnClose3 = close;
    }
    connect(add, &QPushButton::clicked, this, [this, tab] { tab == 1 ? doAdd2() : doAdd3(); });
    connect(remove, &QPushButton::clicked, this, [this, tab] { tab == 1 ? doDelete2() : doDelete3(); });
    connect(save, &QPushButton::clicked, this, [this, tab] { tab == 1 ? doSave2() : doSave3(); });
    connect(saveClose, &QPushButton::clicked, this, [this, tab] { tab == 1 ? doSaveClose2() : doSaveClose3(); });
    connect(close, &QPushButton::clicked, this, &SubjectGradeSettingController::doClose);
    connect(list, &QTableWidget::currentCellChanged, this, [this, tab, list](int row, int, int previous, int) {
        int &shown = listRow(tab);
        if (m_resetting || row < 0 || row == shown)
            return;
        if (!listSelectionShouldChange(tab, previous < 0 ? shown : previous)) {
            selectRow(list, shown);
            return;
        }
        shown = row;
        showListRow(tab);
    });
    for (int i = 0; i < 3; ++i) {
        connect(boxes[i], &QComboBox::activated, this, [this, tab, i, box = boxes[i]] {
            const QString name = box->currentText();
            const auto set = [&](auto &row) {
                if (i == 0)
                    row.setClassName(name);
                else if (i == 1)
                    row.setSubjectName(name);
                else
                    row.setTeacherName(name);
            };
            if (tab == 1)
                set(weightListArray[m_weightRow]);
            else
                set(conversionListArray[m_scaleRow]);
            markChanged(tab);
        });
    }
    return page;
}

QWidget *SubjectGradeSettingController::buildWeightTab()
{
    auto *page = new QWidget;
    selectSessionTable2 = makeTable(page, "selectSessionTable2", {QString(), tr("Session Type"), tr("Weight (%)")});
    selectSessionTable2->setColumnWidth(0, 30);
    selectSessionTable2->setColumnWidth(1, 220);
    selectSessionTable2->setSelectionMode(QAbstractItemView::SingleSelection);
    cellDelegate(selectSessionTable2);
    textTotal2 = new QLabel(QStringLiteral("0.0%"), page);
    textTotal2->setObjectName(QStringLiteral("textTotal2"));
    textTotal2->setMinimumWidth(70);
    auto *total = new QHBoxLayout;
    total->addStretch();
    total->addWidget(new QLabel(tr("Total:"), page));
    total->addWidget(textTotal2);
    connect(selectSessionTable2, &QTableWidget::itemChanged, this, [this](QTableWidgetItem *it) {
        if (!m_resetting && it->column() == 0)
            selectASessionType(it->row());
    });
    return buildListPage(1, "weightListTable2", tr("Weight List"), "textWeightTitle2", selectSessionTable2, total);
}

QWidget *SubjectGradeSettingController::buildLetterTab()
{
    auto *page = new QWidget;
    letterGradeTable3 = makeTable(page, "letterGradeTable3", {tr("Letter"), tr("From"), tr("To"), tr("Notes")});
    letterGradeTable3->setColumnWidth(0, 110);
    letterGradeTable3->setColumnWidth(1, 60);
    letterGradeTable3->setColumnWidth(2, 60);
    cellDelegate(letterGradeTable3);
    btnAddRight3 = makeButton(page, "btnAddRight3", tr("Add Letter"));
    btnDeleteRight3 = makeButton(page, "btnDeleteRight3", tr("Delete Letter"));
    auto *letterButtons = new QHBoxLayout;
    letterButtons->addStretch();
    letterButtons->addWidget(btnAddRight3);
    letterButtons->addWidget(btnDeleteRight3);
    connect(btnAddRight3, &QPushButton::clicked, this, &SubjectGradeSettingController::doAddRight3);
    connect(btnDeleteRight3, &QPushButton::clicked, this, &SubjectGradeSettingController::doDeleteRight3);
    return buildListPage(2, "conversionListTable3", tr("Letter Grade"), "textConversionTitle3", letterGradeTable3,
                         letterButtons);
}

QWidget *SubjectGradeSettingController::buildTypeTab()
{
    auto *page = new QWidget;
    table4 = makeTable(page, "table4", {tr("Session Type")});
    cellDelegate(table4);
    buildTablePage(3, table4, btnAdd4, btnDelete4, btnSave4, btnSaveClose4, btnClose4);
    connect(btnAdd4, &QPushButton::clicked, this, &SubjectGradeSettingController::doAdd4);
    connect(btnDelete4, &QPushButton::clicked, this, &SubjectGradeSettingController::doDelete4);
    connect(btnSave4, &QPushButton::clicked, this, &SubjectGradeSettingController::doSave4);
    connect(btnSaveClose4, &QPushButton::clicked, this, &SubjectGradeSettingController::doSaveClose4);
    return page;
}

void SubjectGradeSettingController::awakeFromNib()
{
    m_resetting = true;
    tabView->setCurrentIndex(m_tabIndex);
    m_resetting = false;
    fillPeriodTable();
    fillTypeTable();
    fillSessionTypeRows();
    fillWeightLists();
    fillConversionLists();
    for (int tab = 0; tab < 4; ++tab)
        markClean(tab);
    selectRow(weightListTable2, 0);
    showSelectedWeightList();
    selectRow(conversionListTable3, 0);
    showSelectedScale();
    textTotal2->setText(QStringLiteral("0.0%"));
    for (QTableWidget *table : {table1, letterGradeTable3, table4})
        connect(table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                &SubjectGradeSettingController::updateSelectionButtons);
    updateSelectionButtons();

    // Typing in a title field marks its tab changed and clears the pending code; the first
    // keystroke opens the edit, Enter or leaving the field ends it.
    for (QLineEdit *field : {textWeightTitle2, textConversionTitle3}) {
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
        connect(field, &QLineEdit::editingFinished, this, [this, field] {
            if (!m_shouldChange)
                titleShouldEnd(field);
        });
    }
}

// ---------------------------------------------------------------------------------------------
// Alerts, flags and the frame

int SubjectGradeSettingController::ask(const QString &title, const QString &text, const QStringList &buttons)
{
    return PollixAlert::show(this, title, text, buttons) - PollixAlert::AlertFirstButtonReturn;
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
    btnDelete1->setEnabled(!selectedRows(table1).isEmpty());
    btnDelete2->setEnabled(m_weightRow != 0);
    btnDelete3->setEnabled(m_scaleRow != 0);
    btnDeleteRight3->setEnabled(!selectedRows(letterGradeTable3).isEmpty());
    btnDelete4->setEnabled(!selectedRows(table4).isEmpty());
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
        restoreWeightRow(m_weightRow);
        showSelectedWeightList();
        break;
    case 2:
        restoreScaleRow(m_scaleRow);
        showSelectedScale();
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
        if (ask(kPollix, tabQuestion(tab), {tr("Yes"), tr("No")}) == 0) {
            // A save that did not go through keeps the tab and its edits.
            if (!saveTab(tab))
                return false;
        } else {
            revertTab(tab);
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
    for (int tab : {3, 0, 1, 2}) {
        if (!m_isChanged[tab])
            continue;
        if (ask(kPollix, tabQuestion(tab), {tr("Yes"), tr("No")}) != 0) {
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
    field->setFocus();
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
// Tabs 1 and 2: lists of weight lists and letter scales, a template row first

QString SubjectGradeSettingController::titleToSave(int tab, const QString &originalTitle,
                                                  const std::function<bool(const QString &)> &stored)
{
    if (!gateOpen())
        return QString();
    QLineEdit *field = tab == 1 ? textWeightTitle2 : textConversionTitle3;
    const QString title = Rules::removeSpacesAround(field->text());
    field->setText(title);
    // A new one may not take a stored title; a stored one may keep its own.
    const int code = title.isEmpty() ? Rules::EmptyTitle
                     : stored(title) && (listRow(tab) == 0 || title != originalTitle) ? Rules::DuplicateTitle
                                                                                       : Rules::NoError;
    if (code == Rules::NoError)
        return title;
    m_shouldClose = false;
    refuse(code);
    return QString();
}

bool SubjectGradeSettingController::writeListRecord(int tab, int no, const std::function<bool(QString *)> &update,
                                                   const std::function<bool(QString *)> &add)
{
    QString why;
    if (no != 0 ? update(&why) : add(&why))
        return true;
    m_shouldClose = false;
    alert(tab == 1 ? tr("The weight list could not be saved.") : tr("The letter scale could not be saved."), why);
    return false;
}

void SubjectGradeSettingController::listSaved(int tab)
{
    if (tab == 1)
        fillWeightLists();
    else
        fillConversionLists();
    showListRow(tab);
    markClean(tab);
    m_shouldClose = true;
    if (m_parent)
        tab == 1 ? m_parent->refreshWeight2() : m_parent->refreshConversion2();
}

int &SubjectGradeSettingController::listRow(int tab)
{
    return tab == 1 ? m_weightRow : m_scaleRow;
}

void SubjectGradeSettingController::showListRow(int tab)
{
    if (tab == 1)
        showSelectedWeightList();
    else
        showSelectedScale();
    updateSelectionButtons();
}

bool SubjectGradeSettingController::listSelectionShouldChange(int tab, int from)
{
    if (m_isChanged[tab]) {
        if (ask(kPollix, tabQuestion(tab), {tr("Yes"), tr("No")}) == 0) {
            // A save that did not go through keeps the list and its edits.
            if (!saveTab(tab))
                return false;
        } else if (tab == 1) {
            restoreWeightRow(from);
        } else {
            restoreScaleRow(from);
        }
    }
    markClean(tab);
    return true;
}

void SubjectGradeSettingController::showTitleAndNames(int tab, const QString &title, const QString &className,
                                                      const QString &subjectName, const QString &teacherName)
{
    const bool was = m_resetting;
    m_resetting = true;
    (tab == 1 ? textWeightTitle2 : textConversionTitle3)->setText(title);
    m_resetting = was;
    fillChoice(tab == 1 ? cboClass2 : cboClass3, RosterRecords::classNames(), className);
    fillChoice(tab == 1 ? cboSubject2 : cboSubject3, RosterRecords::subjectNames(), subjectName);
    fillChoice(tab == 1 ? cboTeacher2 : cboTeacher3, RosterRecords::teacherNames(), teacherName);
}

void SubjectGradeSettingController::selectTemplate(int tab)
{
    int &shown = listRow(tab);
    if (shown == 0 || listSelectionShouldChange(tab, shown)) {
        shown = 0;
        selectRow(tab == 1 ? weightListTable2 : conversionListTable3, 0);
        showListRow(tab);
    }
    if (m_parent)
        tab == 1 ? m_parent->refreshWeight2() : m_parent->refreshConversion2();
}

void SubjectGradeSettingController::deleteListRow(int tab, const std::function<bool(int no, QString *why)> &remove)
{
    int &shown = listRow(tab);
    if (shown == 0)
        return;
    const QString question = tab == 1
                                 ? tr("Any previous Course Grade with this settings cannot be recreated. continue anyway?")
                                 : tr("Any previous Course Grade with this settings cannot be recreated. Continue anyway?");
    if (ask(QStringLiteral("Pollix ARS"), question, {tr("Yes"), tr("No")}) != 0)
        return;
    QString why;
    const int no = tab == 1 ? weightListArray.at(shown).weightNum() : conversionListArray.at(shown).conversionNum();
    if (!remove(no, &why)) {
        alert(tab == 1 ? tr("The weight list could not be deleted.") : tr("The letter scale could not be deleted."), why);
        return;
    }
    if (tab == 1) {
        weightListArray.removeAt(shown);
        fillWeightLists();
    } else {
        conversionListArray.removeAt(shown);
        fillConversionLists();
    }
    shown = 0;
    selectRow(tab == 1 ? weightListTable2 : conversionListTable3, 0);
    markClean(tab);
    showListRow(tab);
    if (m_parent)
        tab == 1 ? m_parent->refreshWeight2() : m_parent->refreshConversion2();
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
        table1->setItem(r, 0, item(p.periodTitle()));
        table1->setItem(r, 1, item(p.dateFrom()));
        table1->setItem(r, 2, item(p.dateTo()));
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
    QList<int> rows = selectedRows(table1);
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
// Tab 1: weight lists

void SubjectGradeSettingController::fillWeightLists()
{
    if (weightListArray.isEmpty()) {
        weightListArray << templateRow<WeightList>();
        for (const WeightEntity &w : TovWeightAndSessionTypeXmlDatabase::sharedUI()->weightList()) {
            PollixLogf("WeightNo:%d", w.no());
            weightListArray << rowOf<WeightList>(w);
        }
    }
    if (weightListTable2)
        fillListTable(weightListTable2, weightListArray, tr("(New weight list)"));
}

void SubjectGradeSettingController::fillSessionTypeRows()
{
    sessionWeightArray.clear();
    for (const SessionTypeEntity &t : TovWeightAndSessionTypeXmlDatabase::sharedUI()->sessionTypeList()) {
        SelectSessionType row;
        row.setSessionNum(t.no());
        row.setSessionType(t.name());
        sessionWeightArray << row;
    }
}

void SubjectGradeSettingController::applyStoredWeights()
{
    for (SelectSessionType &row : sessionWeightArray) {
        row.setIsSelect(false);
        row.setWeight(0.0f);
    }
    havedSelectedRowsArray.clear();
    const int no = weightListArray.value(m_weightRow).weightNum();
    const QList<SessionTypeInWeight> stored =
        TovWeightAndSessionTypeXmlDatabase::sharedUI()->sessionTypeListInWeightWithNo(no).value_or(QList<SessionTypeInWeight>());
    for (const SessionTypeInWeight &st : stored) {
        PollixLogf("[st sessionNum]:%d", st.sessionTypeNo());
        for (SelectSessionType &row : sessionWeightArray) {
            if (row.sessionNum() != st.sessionTypeNo())
                continue;
            row.setIsSelect(st.isSelect());
            row.setWeight(st.weight());
            if (row.isSelect())
                havedSelectedRowsArray << row;
        }
    }
    const bool was = m_resetting;
    m_resetting = true;
    selectSessionTable2->setRowCount(int(sessionWeightArray.size()));
    for (int r = 0; r < sessionWeightArray.size(); ++r) {
        const SelectSessionType &row = sessionWeightArray.at(r);
        auto *check = item(QString(), false);
        check->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        check->setCheckState(row.isSelect() ? Qt::Checked : Qt::Unchecked);
        selectSessionTable2->setItem(r, 0, check);
        selectSessionTable2->setItem(r, 1, item(row.sessionType(), false));
        selectSessionTable2->setItem(r, 2, item(PrintfNumber::fixed(double(row.weight()), 1)));
    }
    m_resetting = was;
}

void SubjectGradeSettingController::showSelectedWeightList()
{
    const WeightList &row = weightListArray.at(m_weightRow);
    btnSave2->setText(m_weightRow == 0 ? tr("Add") : tr("Save"));
    showTitleAndNames(1, row.weightTitle(), row.className(), row.subjectName(), row.teacherName());
    applyStoredWeights();
    calculateTotal2();
}

void SubjectGradeSettingController::restoreWeightRow(int row)
{
    WeightList &w = weightListArray[row];
    restoreRow(w, TovWeightAndSessionTypeXmlDatabase::sharedUI()->weightByNo(w.weightNum()));
}

void SubjectGradeSettingController::selectASessionType(int row)
{
    if (row < 0 || row >= sessionWeightArray.size())
        return;
    sessionWeightArray[row].setIsSelect(selectSessionTable2->item(row, 0)->checkState() == Qt::Checked);
    calculateTotal2();
    markChanged(1);
}

void SubjectGradeSettingController::calculateTotal2()
{
    textTotal2->setText(Rules::weightTotalText(sessionWeightArray));
}

void SubjectGradeSettingController::sessionWeightTableReNew()
{
    fillSessionTypeRows();
    applyStoredWeights();
}

void SubjectGradeSettingController::doAdd2()
{
    selectTemplate(1);
}

void SubjectGradeSettingController::doDelete2()
{
    deleteListRow(1, [](int no, QString *why) {
        return TovWeightAndSessionTypeXmlDatabase::sharedUI()->deleteWeightWithNo(no, why);
    });
}

void SubjectGradeSettingController::doSave2()
{
    TovWeightAndSessionTypeXmlDatabase *store = TovWeightAndSessionTypeXmlDatabase::sharedUI();
    WeightList &row = weightListArray[m_weightRow];
    const QString title = titleToSave(1, row.originalTitle(), [store](const QString &t) { return store->existWeightWithName(t); });
    if (title.isEmpty())
        return;
    if (!Rules::weightsAddUpTo100(sessionWeightArray)) {
        m_shouldClose = false;
        alert(tr("The sum of Weights must be 100."));
        return;
    }
    const int classNo = numberOf(cboClass2->currentText(), [](const QString &n) {
        return TovClassXmlDatabase::sharedClassUI()->classNoByName(n);
    });
    const int subjectNo = numberOf(cboSubject2->currentText(), [](const QString &n) {
        return TovSubjectXmlDatabase::sharedSubjectUI()->subjectNoByName(n);
    });
    if (classNo < 0 || subjectNo < 0) {
        m_shouldClose = false;
        alert(classNo < 0 ? tr("Class does not exist") : tr("Subject does not exist"));
        return;
    }
    WeightEntity w;
    w.setTitle(title);
    setNames(w, cboClass2->currentText(), cboSubject2->currentText(), cboTeacher2->currentText());
    for (const SelectSessionType &t : sessionWeightArray) {
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
    settleSavedRow(weightListArray, m_weightRow, w);
    listSaved(1);
}

void SubjectGradeSettingController::doSaveClose2()
{
    if (saveTab(1))
        closeWindow();
}

// ---------------------------------------------------------------------------------------------
// Tab 2: letter scales

void SubjectGradeSettingController::fillConversionLists()
{
    if (conversionListArray.isEmpty()) {
        conversionListArray << templateRow<ConversionList>();
        for (const LetterGradeEntity &scale : TovGradeLetterXmlDatabase::sharedUI()->gradeLetterList())
            conversionListArray << rowOf<ConversionList>(scale);
    }
    if (conversionListTable3)
        fillListTable(conversionListTable3, conversionListArray, tr("(New letter scale)"));
}

void SubjectGradeSettingController::fillLetterTable()
{
    const bool was = m_resetting;
    m_resetting = true;
    letterGradeTable3->setRowCount(0);
    for (const ConversionLetter &l : letterArray) {
        const int r = letterGradeTable3->rowCount();
        letterGradeTable3->insertRow(r);
        letterGradeTable3->setItem(r, 0, item(l.letter()));
        letterGradeTable3->setItem(r, 1, item(QString::number(l.pointFrom())));
        letterGradeTable3->setItem(r, 2, item(QString::number(l.pointTo())));
        letterGradeTable3->setItem(r, 3, item(l.notes()));
    }
    m_resetting = was;
    updateSelectionButtons();
}

void SubjectGradeSettingController::showSelectedScale()
{
    const ConversionList &row = conversionListArray.at(m_scaleRow);
    letterArray.clear();
    if (row.conversionNum() != 0) {
        btnSave3->setText(tr("Save"));
        if (const std::optional<LetterGradeEntity> stored =
                TovGradeLetterXmlDatabase::sharedUI()->letterGradeByNo(row.conversionNum()))
            letterArray = SessionSelection::letters(*stored);
    } else {
        btnSave3->setText(tr("Add"));
        letterArray = Rules::defaultLetters();
    }
    fillLetterTable();
    showTitleAndNames(2, row.conversionTitle(), row.className(), row.subjectName(), row.teacherName());
}

void SubjectGradeSettingController::restoreScaleRow(int row)
{
    ConversionList &scale = conversionListArray[row];
    restoreRow(scale, TovGradeLetterXmlDatabase::sharedUI()->letterGradeByNo(scale.conversionNum()));
}

void SubjectGradeSettingController::doAdd3()
{
    selectTemplate(2);
}

void SubjectGradeSettingController::doDelete3()
{
    deleteListRow(2, [](int no, QString *why) { return TovGradeLetterXmlDatabase::sharedUI()->deleteWithNo(no, why); });
}

void SubjectGradeSettingController::doAddRight3()
{
    QStringList taken;
    for (const ConversionLetter &l : letterArray)
        taken << l.letter();
    ConversionLetter letter;
    letter.setLetter(Rules::firstFreeName(QStringLiteral("Letter"), taken, QString()));
    letterArray << letter;
    fillLetterTable();
    markChanged(2);
    if (m_parent)
        m_parent->refreshConversion2();
}

void SubjectGradeSettingController::doDeleteRight3()
{
    QList<int> rows = selectedRows(letterGradeTable3);
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    for (int r : rows)
        letterArray.removeAt(r);
    fillLetterTable();
    markChanged(2);
    if (m_parent)
        m_parent->refreshConversion2();
}

void SubjectGradeSettingController::doSave3()
{
    TovGradeLetterXmlDatabase *store = TovGradeLetterXmlDatabase::sharedUI();
    ConversionList &row = conversionListArray[m_scaleRow];
    const QString title =
        titleToSave(2, row.originalTitle(), [store](const QString &t) { return store->existLetterGradeWithTitle(t); });
    if (title.isEmpty())
        return;
    if (const int code = Rules::checkLetterRanges(letterArray); code != Rules::NoError) {
        m_shouldClose = false;
        refuse(code);
        return;
    }
    LetterGradeEntity scale;
    scale.setTitle(title);
    setNames(scale, cboClass3->currentText(), cboSubject3->currentText(), cboTeacher3->currentText());
    for (const ConversionLetter &l : letterArray) {
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
    settleSavedRow(conversionListArray, m_scaleRow, scale);
    listSaved(2);
}

void SubjectGradeSettingController::doSaveClose3()
{
    if (saveTab(2))
        closeWindow();
}

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
        table4->setItem(r, 0, item(t.name(), t.no() == -1 || t.no() > builtIns));
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
    QList<int> rows = selectedRows(table4);
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
    sessionWeightTableReNew();
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

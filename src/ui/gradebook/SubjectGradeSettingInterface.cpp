#include "SubjectGradeSettingInterface.h"

#include "GradebookCellDelegate.h"
#include "SubjectGradeListTabs.h"
#include "SubjectGradeSettingController.h"

#include "ui/controls/MyComboBox.h"
#include "ui/controls/PMResolutionFormatter.h"
#include "ui/controls/TabSwitchGate.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {
QString tr(const char *text)
{
    return SubjectGradeSettingController::tr(text);
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
} // namespace

QTableWidgetItem *SubjectGradeSettingInterface::item(const QString &text, bool editable)
{
    auto *it = new QTableWidgetItem(text);
    if (!editable)
        it->setFlags(it->flags() & ~Qt::ItemIsEditable);
    return it;
}

QList<int> SubjectGradeSettingInterface::selectedRows(const QTableWidget *table)
{
    QList<int> rows;
    for (const QModelIndex &index : table->selectionModel()->selectedRows())
        rows << index.row();
    return rows;
}

void SubjectGradeSettingInterface::build(SubjectGradeSettingController *w)
{
    w->tabView = new QTabWidget(w);
    w->tabView->setObjectName(QStringLiteral("tabView"));
    w->tabView->addTab(buildPeriodTab(w), tr("Grading Period"));
    w->tabView->addTab(buildWeightTab(w), tr("Weight"));
    w->tabView->addTab(buildLetterTab(w), tr("Letter Grade"));
    w->tabView->addTab(buildTypeTab(w), tr("Session Type"));
    auto *layout = new QVBoxLayout(w);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->addWidget(w->tabView);
    w->resize(820, 560);

    w->m_tabGate = new TabSwitchGate(w->tabView, [w](int to) { return w->shouldSelectTab(to); });
    // Any other way the page turns (the arrow keys on the tab bar) is asked about once it has.
    QObject::connect(w->tabView->tabBar(), &QTabBar::currentChanged, w, [w](int to) {
        if (w->m_resetting || to == w->m_tabIndex)
            return;
        if (!w->m_tabGate->approved() && !w->shouldSelectTab(to)) {
            w->m_resetting = true;
            w->tabView->setCurrentIndex(w->m_tabIndex);
            w->m_resetting = false;
            return;
        }
        w->m_tabIndex = to;
        w->m_shouldChange = true;
    });
}

GradebookCellDelegate *SubjectGradeSettingInterface::cellDelegate(SubjectGradeSettingController *w,
                                                                   QTableWidget *table)
{
    auto *delegate = new GradebookCellDelegate(
        [w, table](const QModelIndex &index) -> TextFormatter * {
            auto *f = new PMResolutionFormatter;
            if (table == w->table1 && index.column() > 0)
                f->setDate();
            else if (table == w->selectSessionTable2)
                f->setFloatWithDecimalDigits(1, 100, 5);
            else if (table == w->letterGradeTable3 && (index.column() == 1 || index.column() == 2))
                f->setDigitWithMaxNum(100);
            else
                f->setMaxLength(50);
            return f;
        },
        [w, table](const QModelIndex &index, QString &text) { return w->cellShouldEnd(table, index, text); }, table);
    delegate->began = [w](const QModelIndex &, const QString &text) {
        w->m_editingString = text;
        w->m_shouldChange = false;
    };
    delegate->cancelled = [w] { w->m_shouldChange = true; };
    delegate->typed = [w] { w->m_flag = 0; };
    table->setItemDelegate(delegate);
    return delegate;
}

QWidget *SubjectGradeSettingInterface::buildTablePage(SubjectGradeSettingController *w, int tab, QTableWidget *table,
                                                      QPushButton *&add, QPushButton *&remove, QPushButton *&save,
                                                      QPushButton *&saveClose, QPushButton *&close)
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
    QObject::connect(close, &QPushButton::clicked, w, &SubjectGradeSettingController::doClose);
    return page;
}

QWidget *SubjectGradeSettingInterface::buildPeriodTab(SubjectGradeSettingController *w)
{
    auto *page = new QWidget;
    w->table1 = makeTable(page, "table1", {tr("Title"), tr("From"), tr("To")});
    w->table1->setColumnWidth(0, 360);
    w->table1->setColumnWidth(1, 150);
    cellDelegate(w, w->table1);
    buildTablePage(w, 0, w->table1, w->btnAdd1, w->btnDelete1, w->btnSave1, w->btnSaveClose1, w->btnClose1);
    QObject::connect(w->btnAdd1, &QPushButton::clicked, w, &SubjectGradeSettingController::doAdd1);
    QObject::connect(w->btnDelete1, &QPushButton::clicked, w, &SubjectGradeSettingController::doDelete1);
    QObject::connect(w->btnSave1, &QPushButton::clicked, w, &SubjectGradeSettingController::doSave1);
    QObject::connect(w->btnSaveClose1, &QPushButton::clicked, w, &SubjectGradeSettingController::doSaveClose1);
    return page;
}

QWidget *SubjectGradeSettingInterface::buildListPage(SubjectGradeSettingController *w, int tab, const char *listName,
                                                     const QString &listHeader, const char *titleName, QTableWidget *detail,
                                                     QLayout *underDetail)
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
        w->weightListTable2 = list;
        w->btnAdd2 = add;
        w->btnDelete2 = remove;
        w->textWeightTitle2 = title;
        w->cboClass2 = boxes[0];
        w->cboSubject2 = boxes[1];
        w->cboTeacher2 = boxes[2];
        w->btnSave2 = save;
        w->btnSaveClose2 = saveClose;
        w->btnClose2 = close;
    } else {
        w->conversionListTable3 = list;
        w->btnAdd3 = add;
        w->btnDelete3 = remove;
        w->textConversionTitle3 = title;
        w->cboClass3 = boxes[0];
        w->cboSubject3 = boxes[1];
        w->cboTeacher3 = boxes[2];
        w->btnSave3 = save;
        w->btnSaveClose3 = saveClose;
        w->btnClose3 = close;
    }
    QObject::connect(add, &QPushButton::clicked, w, [w, tab] { tab == 1 ? w->doAdd2() : w->doAdd3(); });
    QObject::connect(remove, &QPushButton::clicked, w, [w, tab] { tab == 1 ? w->doDelete2() : w->doDelete3(); });
    QObject::connect(save, &QPushButton::clicked, w, [w, tab] { tab == 1 ? w->doSave2() : w->doSave3(); });
    QObject::connect(saveClose, &QPushButton::clicked, w, [w, tab] { tab == 1 ? w->doSaveClose2() : w->doSaveClose3(); });
    QObject::connect(close, &QPushButton::clicked, w, &SubjectGradeSettingController::doClose);
    QObject::connect(list, &QTableWidget::currentCellChanged, w, [w, tab, list](int row, int, int previous, int) {
        int &shown = w->m_lists->listRow(tab);
        if (w->m_resetting || row < 0 || row == shown)
            return;
        if (!w->m_lists->listSelectionShouldChange(tab, previous < 0 ? shown : previous)) {
            w->selectRow(list, shown);
            // A click asks before the view selects the row clicked: once the press is through,
            // the row whose edits were kept is the selected one again.
            QTimer::singleShot(0, list, [w, list, tab] { w->selectRow(list, w->m_lists->listRow(tab)); });
            return;
        }
        shown = row;
        w->m_lists->showListRow(tab);
    });
    for (int i = 0; i < 3; ++i) {
        QObject::connect(boxes[i], &QComboBox::activated, w, [w, tab, i, box = boxes[i]] {
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
                set(w->weightListArray[w->m_weightRow]);
            else
                set(w->conversionListArray[w->m_scaleRow]);
            w->markChanged(tab);
        });
    }
    return page;
}

QWidget *SubjectGradeSettingInterface::buildWeightTab(SubjectGradeSettingController *w)
{
    auto *page = new QWidget;
    w->selectSessionTable2 = makeTable(page, "selectSessionTable2", {QString(), tr("Session Type"), tr("Weight (%)")});
    w->selectSessionTable2->setColumnWidth(0, 30);
    w->selectSessionTable2->setColumnWidth(1, 220);
    w->selectSessionTable2->setSelectionMode(QAbstractItemView::SingleSelection);
    cellDelegate(w, w->selectSessionTable2);
    w->textTotal2 = new QLabel(QStringLiteral("0.0%"), page);
    w->textTotal2->setObjectName(QStringLiteral("textTotal2"));
    w->textTotal2->setMinimumWidth(70);
    auto *total = new QHBoxLayout;
    total->addStretch();
    total->addWidget(new QLabel(tr("Total:"), page));
    total->addWidget(w->textTotal2);
    QObject::connect(w->selectSessionTable2, &QTableWidget::itemChanged, w, [w](QTableWidgetItem *it) {
        if (!w->m_resetting && it->column() == 0)
            w->m_lists->selectASessionType(it->row());
    });
    return buildListPage(w, 1, "weightListTable2", tr("Weight List"), "textWeightTitle2", w->selectSessionTable2, total);
}

QWidget *SubjectGradeSettingInterface::buildLetterTab(SubjectGradeSettingController *w)
{
    auto *page = new QWidget;
    w->letterGradeTable3 = makeTable(page, "letterGradeTable3", {tr("Letter"), tr("From"), tr("To"), tr("Notes")});
    w->letterGradeTable3->setColumnWidth(0, 110);
    w->letterGradeTable3->setColumnWidth(1, 60);
    w->letterGradeTable3->setColumnWidth(2, 60);
    cellDelegate(w, w->letterGradeTable3);
    w->btnAddRight3 = makeButton(page, "btnAddRight3", tr("Add Letter"));
    w->btnDeleteRight3 = makeButton(page, "btnDeleteRight3", tr("Delete Letter"));
    auto *letterButtons = new QHBoxLayout;
    letterButtons->addStretch();
    letterButtons->addWidget(w->btnAddRight3);
    letterButtons->addWidget(w->btnDeleteRight3);
    QObject::connect(w->btnAddRight3, &QPushButton::clicked, w, &SubjectGradeSettingController::doAddRight3);
    QObject::connect(w->btnDeleteRight3, &QPushButton::clicked, w, &SubjectGradeSettingController::doDeleteRight3);
    return buildListPage(w, 2, "conversionListTable3", tr("Letter Grade"), "textConversionTitle3", w->letterGradeTable3,
                         letterButtons);
}

QWidget *SubjectGradeSettingInterface::buildTypeTab(SubjectGradeSettingController *w)
{
    auto *page = new QWidget;
    w->table4 = makeTable(page, "table4", {tr("Session Type")});
    cellDelegate(w, w->table4);
    buildTablePage(w, 3, w->table4, w->btnAdd4, w->btnDelete4, w->btnSave4, w->btnSaveClose4, w->btnClose4);
    QObject::connect(w->btnAdd4, &QPushButton::clicked, w, &SubjectGradeSettingController::doAdd4);
    QObject::connect(w->btnDelete4, &QPushButton::clicked, w, &SubjectGradeSettingController::doDelete4);
    QObject::connect(w->btnSave4, &QPushButton::clicked, w, &SubjectGradeSettingController::doSave4);
    QObject::connect(w->btnSaveClose4, &QPushButton::clicked, w, &SubjectGradeSettingController::doSaveClose4);
    return page;
}

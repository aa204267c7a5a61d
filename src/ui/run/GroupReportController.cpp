#include "GroupReportController.h"

#include "QuizReportController.h"

#include "core/engine/QuizData.h"
#include "ui/controls/MyEnterFormatter.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

// The extra points: digits only, at most 999.
class AppendPointsDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &) const override
    {
        auto *edit = new QLineEdit(parent);
        auto *formatter = new MyEnterFormatter(edit);
        formatter->setNumberFormater();
        formatter->setMaxNum(999);
        formatter->setMaxLength(3);
        formatter->attachTo(edit);
        return edit;
    }
};

} // namespace

GroupReportController::GroupReportController(QWidget *parent)
    : RunChildWindow(QStringLiteral("GroupReport"), "QuizResult", parent)
{
    setWindowTitle(tr("Group Report"));
    setPostsLoginViewToNormal(true);
    resize(720, 480);
    tableview = new QTableWidget(0, 5, this);
    tableview->setObjectName(QStringLiteral("tableview"));
    const QStringList identifiers{QStringLiteral("Group NO.:"), QStringLiteral("Current Points"),
                                  QStringLiteral("Total Points"), QStringLiteral("Append Points"),
                                  QStringLiteral("Finally Points")};
    tableview->setHorizontalHeaderLabels(identifiers);
    tableview->verticalHeader()->hide();
    tableview->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    tableview->setItemDelegateForColumn(AppendPoints, new AppendPointsDelegate(tableview));
    tableview->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                               | QAbstractItemView::SelectedClicked);
    connect(tableview, &QTableWidget::cellChanged, this, &GroupReportController::appendEdited);

    btnDetail = new QPushButton(tr("\"F1\" Detail"), this);
    btnDetail->setObjectName(QStringLiteral("btnDetail"));
    btnOK = new QPushButton(tr("OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    btnCancel = new QPushButton(tr("\"F2\" Cancel"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    connect(btnDetail, &QPushButton::clicked, this, &GroupReportController::onDetail);
    connect(btnOK, &QPushButton::clicked, this, &GroupReportController::onOK);
    connect(btnCancel, &QPushButton::clicked, this, &GroupReportController::onCancel);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(btnDetail);
    buttons->addStretch();
    buttons->addWidget(btnCancel);
    buttons->addWidget(btnOK);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tableview, 1);
    layout->addLayout(buttons);
}

GroupReportController::~GroupReportController() = default;

void GroupReportController::windowDidLoad()
{
    m_points = std::make_unique<GroupPoints>(m_nMode, m_nQuestionNo);
    // Extra points live in the question's record: a question never run has none to keep.
    const bool recorded = m_nQuestionNo >= 1 && m_nQuestionNo <= QuizData::shareManager()->recordCount();
    m_filling = true;
    tableview->setRowCount(m_points->groupCount());
    m_openedAppend.clear();
    for (int r = 0; r < m_points->groupCount(); ++r) {
        const int g = r + 1;
        m_openedAppend.append(m_points->appendPoints(g));
        const QStringList cells{QString::number(g), m_points->currentText(g), m_points->totalText(g),
                                QString::number(m_points->appendPoints(g)), QString()};
        for (int c = 0; c < cells.size(); ++c) {
            auto *item = new QTableWidgetItem(cells[c]);
            item->setTextAlignment(Qt::AlignCenter);
            if (c != AppendPoints || !recorded)
                item->setFlags(item->flags() & ~Qt::ItemIsEditable);
            tableview->setItem(r, c, item);
        }
    }
    m_filling = false;
    refreshFinal();
}

void GroupReportController::refreshFinal()
{
    m_filling = true;
    for (int r = 0; r < tableview->rowCount(); ++r)
        tableview->item(r, FinallyPoints)->setText(QString::number(m_points->finalPoints(r + 1)));
    m_filling = false;
}

void GroupReportController::appendEdited(int row, int column)
{
    if (m_filling || m_done || column != AppendPoints || !m_points)
        return;
    const int value = qBound(0, TextFormatter::leadingInteger(tableview->item(row, column)->text()), 999);
    m_points->setAppendPoints(row + 1, value);
    m_filling = true;
    tableview->item(row, column)->setText(QString::number(value));
    m_filling = false;
    refreshFinal();
}

void GroupReportController::onOK()
{
    accept();
}

void GroupReportController::onCancel()
{
    reject();
}

void GroupReportController::done(int result)
{
    if (!m_done && m_points && result != QDialog::Accepted) {
        for (int g = 1; g <= m_openedAppend.size(); ++g)
            if (m_points->appendPoints(g) != m_openedAppend.at(g - 1))
                m_points->setAppendPoints(g, m_openedAppend.at(g - 1));
    }
    m_done = true;
    RunChildWindow::done(result);
}

void GroupReportController::onDetail()
{
    QuizReportController report(this);
    report.setNQuestionNo(m_nQuestionNo);
    report.setActMode(m_nMode);
    report.setBIsGroupMode(true);
    runChild(report);
}

void GroupReportController::teacherAction(TeacherKeyMap::Action action)
{
    switch (action) {
    case TeacherKeyMap::Action::Ok: onDetail(); break;
    case TeacherKeyMap::Action::Cancel: onCancel(); break;
    default: break;
    }
}

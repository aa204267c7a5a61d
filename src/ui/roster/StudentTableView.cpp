#include "StudentTableView.h"

#include "core/base/CommonFunc.h"
#include "ui/controls/ColumnFit.h"
#include "ui/controls/TableExtensions.h"

#include <QHeaderView>
#include <QItemSelectionModel>

#include <algorithm>

StudentTableView::StudentTableView(const QString &objectName, QWidget *parent) : QTableWidget(parent)
{
    setObjectName(objectName);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(22);
    horizontalHeader()->setSectionsClickable(true);
    // The lists stand narrow beside forms and buttons: the longest names would push the IDs out
    // of sight.
    m_columnFit = new ColumnFit(this, {});
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
        if (m_sortable && column >= 0 && column < m_identifiers.size())
            sortByColumn(m_identifiers.at(column));
    });
}

void StudentTableView::setColumns(const QList<Column> &columns)
{
    setColumnCount(0);
    m_identifiers.clear();
    QList<int> widths;
    for (const Column &c : columns) {
        addColumnWithTitle(this, c.title, c.identifier, c.width);
        m_identifiers << c.identifier;
        widths << fitWidth(c.identifier, c.width);
    }
    reloadData();
    m_columnFit->setWidths(widths);
}

int StudentTableView::fitWidth(const QString &identifier, int width)
{
    const bool name = identifier == QLatin1String("studentFullName") || identifier == QLatin1String("studentFirstName")
                      || identifier == QLatin1String("studentLastName");
    return name ? width : ColumnFit::Whole;
}

void StudentTableView::setStudents(const QList<StudentInClass> &students)
{
    m_students = students;
    reloadData();
}

QVariant StudentTableView::valueForKey(const StudentInClass &s, const QString &key)
{
    if (key == QLatin1String("studentID"))
        return s.studentID();
    if (key == QLatin1String("studentFullName"))
        return mergeFirstLastString(s.studentFirstName(), s.studentLastName());
    if (key == QLatin1String("studentFirstName"))
        return s.studentFirstName();
    if (key == QLatin1String("studentLastName"))
        return s.studentLastName();
    if (key == QLatin1String("studentNo"))
        return s.studentNo();
    if (key == QLatin1String("deviceNo"))
        return s.deviceNo();
    if (key == QLatin1String("groupNo"))
        return s.groupNo();
    if (key == QLatin1String("gender"))
        return s.gender();
    return {};
}

void StudentTableView::reloadData()
{
    setRowCount(int(m_students.size()));
    for (int r = 0; r < m_students.size(); ++r)
        for (int c = 0; c < m_identifiers.size(); ++c)
            setItem(r, c, new QTableWidgetItem(valueForKey(m_students.at(r), m_identifiers.at(c)).toString()));
}

QList<int> StudentTableView::selectedRows() const
{
    QList<int> rows;
    if (!selectionModel())
        return rows;
    for (const QModelIndex &index : selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

void StudentTableView::selectRows(const QList<int> &rows)
{
    clearSelection();
    for (int row : rows) {
        if (row < 0 || row >= rowCount())
            continue;
        selectionModel()->select(model()->index(row, 0),
                                 QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
}

void StudentTableView::sortByColumn(const QString &identifier)
{
    if (identifier != m_orderColumnIdentifier) {
        m_orderType = -1;
        m_orderColumnIdentifier = identifier;
    } else {
        m_orderType = m_orderType == -1 ? 1 : -1;
    }
    // The selected students, by position in the list, follow the sort.
    QList<qsizetype> order;
    for (qsizetype i = 0; i < m_students.size(); ++i)
        order << i;
    const QVariantMap context{{QStringLiteral("order"), m_orderType}, {QStringLiteral("key"), identifier}};
    auto values = [&](qsizetype i) {
        return QVariantMap{{identifier, valueForKey(m_students.at(i), identifier)}};
    };
    std::stable_sort(order.begin(), order.end(),
                     [&](qsizetype a, qsizetype b) { return MyCompareFunction(values(a), values(b), context) < 0; });
    const QList<int> wasSelected = selectedRows();
    QList<StudentInClass> sortedStudents;
    QList<int> nowSelected;
    for (qsizetype i = 0; i < order.size(); ++i) {
        sortedStudents << m_students.at(order.at(i));
        if (wasSelected.contains(int(order.at(i))))
            nowSelected << int(i);
    }
    m_students = sortedStudents;
    const int column = int(m_identifiers.indexOf(identifier));
    horizontalHeader()->setSortIndicatorShown(column >= 0);
    if (column >= 0)
        horizontalHeader()->setSortIndicator(column, m_orderType == -1 ? Qt::AscendingOrder : Qt::DescendingOrder);
    reloadData();
    selectRowsInSight(this, nowSelected);
    emit sorted();
}

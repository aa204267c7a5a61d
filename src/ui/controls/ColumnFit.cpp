#include "ColumnFit.h"

#include <QEvent>
#include <QHeaderView>
#include <QTableView>

#include <algorithm>
#include <numeric>

ColumnFit::ColumnFit(QTableView *table, QList<int> widths) : QObject(table), m_table(table), m_widths(std::move(widths))
{
    // The last column is given the rest here: a stretched section would not go below the size it
    // had when stretching began.
    m_table->horizontalHeader()->setStretchLastSection(false);
    m_table->viewport()->installEventFilter(this);
    fit();
}

void ColumnFit::fit()
{
    QHeaderView *header = m_table->horizontalHeader();
    const int last = header->count() - 1;
    const int sized = std::min(int(m_widths.size()), last);
    if (sized <= 0)
        return;
    const int designed = std::accumulate(m_widths.cbegin(), m_widths.cbegin() + sized, 0);
    // The last column needs its title and what its rows show (measured once the table is shown:
    // a hidden table would measure every row of a long list).
    const int rowsNeed = m_table->isVisible() ? static_cast<const QAbstractItemView *>(m_table)->sizeHintForColumn(last) : 0;
    const int lastNeeds = std::max(header->sectionSizeHint(last), rowsNeed);
    const int width = m_table->viewport()->width();
    const int room = width - lastNeeds;
    const double scale = designed > 0 && room < designed ? std::max(0.0, double(room) / designed) : 1.0;
    int used = 0;
    for (int c = 0; c < sized; ++c) {
        m_table->setColumnWidth(c, std::max(header->sectionSizeHint(c), int(m_widths[c] * scale)));
        used += m_table->columnWidth(c);
    }
    m_table->setColumnWidth(last, std::max(lastNeeds, width - used));
}

bool ColumnFit::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_table->viewport() && (event->type() == QEvent::Resize || event->type() == QEvent::Show))
        fit();
    return QObject::eventFilter(watched, event);
}

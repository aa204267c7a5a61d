#include "ColumnFit.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QHeaderView>
#include <QSet>
#include <QStyle>
#include <QTableView>

#include <algorithm>
#include <cmath>

ColumnFit::ColumnFit(QTableView *table, QList<int> widths)
    : QObject(table), m_table(table), m_viewport(table->viewport()), m_widths(std::move(widths))
{
    // The columns are given the whole width here: a stretched last section would not go below
    // the size it had when stretching began.
    QHeaderView *header = m_table->horizontalHeader();
    header->setStretchLastSection(false);
    // A row shows one line: a wrapped name would be cut at its first space ("Ben ...") where one
    // line shows as much of it as there is room for.
    m_table->setWordWrap(false);
    m_viewport->installEventFilter(this);
    m_table->installEventFilter(this);
    if (QAbstractItemModel *model = m_table->model()) {
        connect(model, &QAbstractItemModel::modelReset, this, &ColumnFit::rowsChanged);
        connect(model, &QAbstractItemModel::layoutChanged, this, &ColumnFit::rowsChanged);
        connect(model, &QAbstractItemModel::rowsInserted, this, &ColumnFit::rowsChanged);
        connect(model, &QAbstractItemModel::rowsRemoved, this, &ColumnFit::rowsChanged);
        connect(model, &QAbstractItemModel::columnsInserted, this, &ColumnFit::rowsChanged);
        connect(model, &QAbstractItemModel::columnsRemoved, this, &ColumnFit::rowsChanged);
        connect(model, &QAbstractItemModel::dataChanged, this, &ColumnFit::rowsChanged);
        connect(model, &QAbstractItemModel::headerDataChanged, this, &ColumnFit::rowsChanged);
    }
    // A sort indicator widens its column's title.
    connect(header, &QHeaderView::sortIndicatorChanged, this, &ColumnFit::rowsChanged);
    fit();
}

void ColumnFit::setWidths(QList<int> widths)
{
    m_widths = std::move(widths);
    rowsChanged();
    fit();
}

bool ColumnFit::isWhole(int column) const
{
    return column >= m_widths.size() || m_widths.at(column) <= Whole;
}

void ColumnFit::rowsChanged()
{
    m_measured.clear();
    if (m_fitPending)
        return;
    m_fitPending = true;
    QMetaObject::invokeMethod(this, &ColumnFit::fit, Qt::QueuedConnection);
}

int ColumnFit::valuesNeed(int column)
{
    if (const auto found = m_measured.constFind(column); found != m_measured.constEnd())
        return found.value();
    const QAbstractItemModel *model = m_table->model();
    const QModelIndex root = m_table->rootIndex();
    const QFontMetricsF metrics(m_table->font());
    // Values repeat (days, kinds): each is measured once.
    QSet<QString> seen;
    qreal widest = -1;
    int widestRow = -1;
    const int rows = model ? model->rowCount(root) : 0;
    for (int r = 0; r < rows; ++r) {
        if (m_table->isRowHidden(r))
            continue;
        const QString text = model->index(r, column, root).data(Qt::DisplayRole).toString();
        if (seen.contains(text))
            continue;
        seen.insert(text);
        if (const qreal advance = metrics.horizontalAdvance(text); advance > widest) {
            widest = advance;
            widestRow = r;
        }
    }
    int need = 0;
    if (widestRow >= 0) {
        // The cell draws its text inside a margin each side and cuts it where it is wider by a
        // fraction of a point; its delegate may want more (an icon, a check box).
        const int margin = m_table->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_table) + 1;
        need = std::max(int(std::ceil(widest)) + 2 * margin,
                        m_table->sizeHintForIndex(model->index(widestRow, column, root)).width());
        need += m_table->showGrid() ? 1 : 0;
    }
    m_measured.insert(column, need);
    return need;
}

void ColumnFit::fit()
{
    m_fitPending = false;
    QHeaderView *header = m_table->horizontalHeader();
    const int count = header->count();
    const int width = m_table->viewport()->width();
    QList<int> whole, text;
    // Per column: its size, and for a text column the least (its title) and what its values need.
    QList<int> sizes(count, 0), least(count, 0), need(count, 0);
    int wholeNeed = 0, titlesNeed = 0, textNeed = 0;
    for (int c = 0; c < count; ++c) {
        if (header->isSectionHidden(c))
            continue;
        least[c] = header->sectionSizeHint(c);
        need[c] = std::max(least[c], valuesNeed(c));
        if (isWhole(c)) {
            sizes[c] = need[c];
            wholeNeed += need[c];
            whole << c;
        } else {
            titlesNeed += least[c];
            textNeed += need[c];
            text << c;
        }
    }
    if (whole.isEmpty() && text.isEmpty())
        return;

    if (text.isEmpty()) {
        // Nothing gives way: the last column takes what is left over.
        sizes[whole.last()] += std::max(0, width - wholeNeed);
    } else if (wholeNeed + titlesNeed <= width) {
        const int rest = width - wholeNeed;
        qint64 shares = 0;
        for (int c : text)
            shares += m_widths.at(c);
        if (textNeed <= rest) {
            // Every text is whole; what is over is shared in proportion.
            for (int c : text)
                sizes[c] = need[c] + int(qint64(rest - textNeed) * m_widths.at(c) / shares);
        } else {
            // One level for all in proportion to the designed widths, each column held between its
            // title and what its values need: a column of short names gives what it does not need
            // to one of long names. The level that fills the rest exactly is found by halving.
            const auto at = [&](double level, int c) {
                return std::clamp(int(level * m_widths.at(c)), least[c], need[c]);
            };
            double low = 0, high = 1;
            for (int c : text)
                high = std::max(high, double(need[c]) / m_widths.at(c) + 1);
            for (int step = 0; step < 60; ++step) {
                const double middle = (low + high) / 2;
                int sum = 0;
                for (int c : text)
                    sum += at(middle, c);
                (sum <= rest ? low : high) = middle;
            }
            for (int c : text)
                sizes[c] = at(low, c);
        }
        // What rounding left goes to the text columns still cut, else to the last, so that the
        // columns end at the edge.
        int left = rest;
        for (int c : text)
            left -= sizes[c];
        for (int c : text)
            if (left > 0 && sizes[c] < need[c]) {
                const int more = std::min(left, need[c] - sizes[c]);
                sizes[c] += more;
                left -= more;
            }
        sizes[text.last()] += left;
    } else {
        // Narrower than the titles: the text columns keep their titles and the others give way
        // in proportion, cut rather than scrolled to.
        for (int c : text)
            sizes[c] = least[c];
        const int room = std::max(0, width - titlesNeed);
        for (int c : whole)
            sizes[c] = wholeNeed > 0 ? int(qint64(sizes[c]) * room / wholeNeed) : 0;
    }
    for (int c = 0; c < count; ++c)
        if (!header->isSectionHidden(c) && header->sectionSize(c) != sizes[c])
            header->resizeSection(c, sizes[c]);
}

bool ColumnFit::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_viewport && (event->type() == QEvent::Resize || event->type() == QEvent::Show))
        fit();
    else if (watched == m_table && (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange))
        rowsChanged();
    return QObject::eventFilter(watched, event);
}

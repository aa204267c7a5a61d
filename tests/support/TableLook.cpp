#include "TableLook.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QScrollBar>
#include <QTableView>
#include <QTest>

#include <limits>

namespace TableLook {

namespace {

// Keeps the texts painted on it, as the painter hands them on once laid out and cut to their room.
class TextsDrawn final : public QPaintEngine
{
public:
    TextsDrawn() : QPaintEngine(QPaintEngine::AllFeatures) {}
    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState &) override {}
    void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override {}
    void drawPolygon(const QPointF *, int, PolygonDrawMode) override {}
    void drawTextItem(const QPointF &, const QTextItem &item) override { texts << item.text(); }
    Type type() const override { return QPaintEngine::User; }

    QStringList texts;
};

// A page the size of a widget, of its resolution, that keeps only the texts drawn on it.
class TextPage final : public QPaintDevice
{
public:
    explicit TextPage(const QWidget *like) : m_like(like) {}
    QPaintEngine *paintEngine() const override { return &m_engine; }
    QStringList texts() const { return m_engine.texts; }

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        switch (metric) {
        case PdmWidth:
            return m_like->width();
        case PdmHeight:
            return m_like->height();
        case PdmWidthMM:
            return m_like->widthMM();
        case PdmHeightMM:
            return m_like->heightMM();
        case PdmDpiX:
            return m_like->logicalDpiX();
        case PdmDpiY:
            return m_like->logicalDpiY();
        case PdmPhysicalDpiX:
            return m_like->physicalDpiX();
        case PdmPhysicalDpiY:
            return m_like->physicalDpiY();
        case PdmDepth:
            return 32;
        case PdmNumColors:
            return std::numeric_limits<int>::max();
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(devicePixelRatioFScale());
        }
        return 0;
    }

private:
    const QWidget *m_like;
    mutable TextsDrawn m_engine;
};

// What the list draws in the cell, its row brought into sight (the scroll bars put back after);
// empty when the cell does not stand whole inside the list's edges.
QStringList drawnIn(QTableView *table, const QModelIndex &cell)
{
    const int across = table->horizontalScrollBar()->value(), down = table->verticalScrollBar()->value();
    table->scrollTo(cell);
    const QRect place = table->visualRect(cell);
    QStringList drawn;
    if (place.isValid() && table->viewport()->rect().contains(place)) {
        TextPage page(table->viewport());
        table->viewport()->render(&page, QPoint(), QRegion(place), QWidget::DrawChildren);
        drawn = page.texts();
    }
    table->horizontalScrollBar()->setValue(across);
    table->verticalScrollBar()->setValue(down);
    return drawn;
}

} // namespace

bool showsWhole(QTableView *table, const QModelIndex &cell)
{
    return drawnIn(table, cell).contains(cell.data(Qt::DisplayRole).toString());
}

QStringList cutIn(QTableView *table, int column)
{
    QStringList cut;
    for (int r = 0; r < table->model()->rowCount(table->rootIndex()); ++r) {
        const QModelIndex cell = table->model()->index(r, column, table->rootIndex());
        const QString value = cell.data(Qt::DisplayRole).toString();
        if (table->isRowHidden(r) || value.isEmpty())
            continue;
        if (const QStringList drawn = drawnIn(table, cell); !drawn.contains(value))
            cut << QStringLiteral("%1 (drawn: %2)").arg(value, drawn.isEmpty() ? QStringLiteral("nothing whole in sight") : drawn.join(QLatin1Char('|')));
    }
    return cut;
}

int clickAndScrolledBy(QTableView *table, const QModelIndex &cell)
{
    // Its row brought into sight as the teacher does, with the list's scroll bar up and down.
    table->scrollTo(cell);
    table->horizontalScrollBar()->setValue(0);
    const QRect shown = table->visualRect(cell).intersected(table->viewport()->rect());
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, shown.center());
    QCoreApplication::processEvents();
    // A moment after a click, once no double click can follow, the view scrolls the cell clicked
    // into view; that scroll is made here at once rather than waited for.
    if (table->currentIndex() == cell && table->hasAutoScroll())
        table->scrollTo(cell);
    return table->horizontalScrollBar()->value();
}

void clickTitle(QTableView *table, int column)
{
    QHeaderView *header = table->horizontalHeader();
    const QPoint middle(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, middle);
    QCoreApplication::processEvents();
}

bool rowInSightAndCurrent(const QTableView *table, int row)
{
    const QRect shown = table->visualRect(table->model()->index(row, 0));
    return table->currentIndex().row() == row && shown.isValid() && table->viewport()->rect().contains(shown.topLeft())
           && table->viewport()->rect().bottom() >= shown.bottom();
}

} // namespace TableLook

#pragma once

#include <QRectF>
#include <QSizeF>
#include <QString>

#include <optional>

// The zoom of a report window: the page's size for a choice of the zoom box, and where the page
// and the scrolled area holding it go in a visible area of a given size.
namespace ReportZoom {

// The zoom box's items in its order; "Page Width", "Whole Page" and "Customize..." are compared
// translated, the percentages as written.
QStringList items();
QString customizeItem();

QString pageWidthItem();
QString wholePageItem();

// The page size for item: "Page Width" the page's proportions at the visible width less 2, less
// the scroll bar too when the page is then higher than the area (so that the page's whole width
// is in view); "100%" and anything unknown the default size; "Whole Page" the visible height less
// 2 with the page's proportions; the percentages their factor. "Customize..." takes
// customPercent (none: the choice changes nothing, as a cancelled dialog).
std::optional<QSizeF> pageSize(const QString &item, const QSizeF &defaultSize, const QSizeF &visible,
                               std::optional<int> customPercent = std::nullopt, double scrollBar = 15);
// Whether item sizes the page from the visible area (it is sized again when the area changes).
bool followsArea(const QString &item);

struct Placement
{
    // The page in the holder, from its top left.
    QRectF page;
    // The holder (the scrolled area).
    QSizeF holder;
    // Page units to screen points.
    double scale = 1;
};
// The holder starts at the visible size less 2. A page lower than it is centred upright; a page
// higher than it makes it narrower by the scroll bar and as high as the page. Then a page
// narrower than the holder is centred across; a wider one makes it as wide as the page.
Placement place(const QSizeF &page, const QSizeF &defaultSize, const QSizeF &visible, double scrollBar = 15);

} // namespace ReportZoom

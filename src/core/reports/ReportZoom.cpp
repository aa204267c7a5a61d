#include "ReportZoom.h"

#include <QCoreApplication>
#include <QStringList>

#include <algorithm>

namespace ReportZoom {

namespace {
QString tr(const char *text)
{
    return QCoreApplication::translate("Report", text);
}
} // namespace

QString customizeItem()
{
    return tr("Customize...");
}

QString pageWidthItem()
{
    return tr("Page Width");
}

QString wholePageItem()
{
    return tr("Whole Page");
}

bool followsArea(const QString &item)
{
    return item == pageWidthItem() || item == wholePageItem();
}

QStringList items()
{
    return {pageWidthItem(), wholePageItem(), QStringLiteral("400%"), QStringLiteral("300%"),
            QStringLiteral("200%"),   QStringLiteral("100%"),   QStringLiteral("75%"),  QStringLiteral("50%"),
            QStringLiteral("25%"),    customizeItem()};
}

std::optional<QSizeF> pageSize(const QString &item, const QSizeF &defaultSize, const QSizeF &visible,
                               std::optional<int> customPercent, double scrollBar)
{
    if (item == pageWidthItem()) {
        const double ratio = defaultSize.height() / defaultSize.width();
        double w = visible.width() - 2;
        if (w * ratio > visible.height() - 2)
            w -= scrollBar;
        w = std::max(w, 1.0);
        return QSizeF(w, w * ratio);
    }
    if (item == wholePageItem()) {
        const double h = visible.height() - 2;
        return QSizeF(h / defaultSize.height() * defaultSize.width(), h);
    }
    if (item == customizeItem()) {
        if (!customPercent)
            return std::nullopt;
        return defaultSize * (*customPercent / 100.0);
    }
    static const struct
    {
        const char *text;
        double factor;
    } percentages[] = {{"400%", 4}, {"300%", 3}, {"200%", 2}, {"75%", 0.75}, {"50%", 0.5}, {"25%", 0.25}};
    for (const auto &p : percentages)
        if (item == QLatin1String(p.text))
            return defaultSize * p.factor;
    return defaultSize;
}

Placement place(const QSizeF &page, const QSizeF &defaultSize, const QSizeF &visible, double scrollBar)
{
    Placement result;
    QSizeF holder(visible.width() - 2, visible.height() - 2);
    double x = 0, y = 0;
    if (holder.height() > page.height()) {
        y = (holder.height() - page.height()) / 2;
    } else if (page.height() > holder.height()) {
        holder.setWidth(holder.width() - scrollBar);
        holder.setHeight(page.height());
    }
    if (holder.width() > page.width())
        x = (holder.width() - page.width()) / 2;
    else
        holder.setWidth(page.width());
    result.page = QRectF(QPointF(x, y), page);
    result.holder = holder;
    result.scale = page.height() / defaultSize.height();
    return result;
}

} // namespace ReportZoom

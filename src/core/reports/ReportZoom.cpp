#include "ReportZoom.h"

#include <QCoreApplication>
#include <QStringList>

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

QStringList items()
{
    return {tr("Page Width"), tr("Whole Page"), QStringLiteral("400%"), QStringLiteral("300%"),
            QStringLiteral("200%"),   QStringLiteral("100%"),   QStringLiteral("75%"),  QStringLiteral("50%"),
            QStringLiteral("25%"),    customizeItem()};
}

std::optional<QSizeF> pageSize(const QString &item, const QSizeF &defaultSize, const QSizeF &visible,
                               std::optional<int> customPercent)
{
    if (item == tr("Whole Page")) {
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

Placement place(const QSizeF &page, const QSizeF &defaultSize, const QSizeF &visible)
{
    Placement result;
    QSizeF holder(visible.width() - 2, visible.height() - 2);
    double x = 0, y = 0;
    if (holder.height() > page.height()) {
        y = (holder.height() - page.height()) / 2;
    } else if (page.height() > holder.height()) {
        holder.setWidth(holder.width() - 15);
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

#include "TextContrast.h"

#include "Shots.h"

#include <QColor>

#include <cmath>
#include <QDir>
#include <QHash>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QWidget>

namespace {

double relativeLuminance(const QColor &c)
{
    const auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

} // namespace

double TextContrast::between(const QColor &a, const QColor &b)
{
    const double la = relativeLuminance(a);
    const double lb = relativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QList<TextContrast> TextContrast::ofLabels(QWidget *window, const QString &name)
{
    const QImage image = window->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const double scale = image.width() / double(std::max(1, window->width()));
    const QString shots = Shots::folder();
    if (!shots.isEmpty() && !name.isEmpty()) {
        image.save(QDir(shots).filePath(name + QStringLiteral(".png")));
    }
    QList<TextContrast> out;
    for (QLabel *label : window->findChildren<QLabel *>()) {
        if (!label->isVisibleTo(window) || label->text().trimmed().isEmpty())
            continue;
        const QRect r(label->mapTo(window, QPoint(0, 0)) * scale, label->size() * scale);
        const QRect area = r.intersected(image.rect());
        if (area.isEmpty())
            continue;
        // The background is the colour most of the label's area has; the text is the pixel that
        // stands out from it most.
        QHash<QRgb, int> counts;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                ++counts[image.pixel(x, y)];
        QRgb background = 0;
        int most = -1;
        for (auto it = counts.cbegin(); it != counts.cend(); ++it)
            if (it.value() > most) {
                most = it.value();
                background = it.key();
            }
        double best = 1.0;
        for (auto it = counts.cbegin(); it != counts.cend(); ++it)
            best = std::max(best, between(QColor(it.key()), QColor(background)));
        const QFont font = label->font();
        const bool large = font.pointSizeF() >= 18 || (font.bold() && font.pointSizeF() >= 14);
        out << TextContrast{label->text(), best, large};
    }
    return out;
}

TextContrast TextContrast::worst(QWidget *window, const QString &name)
{
    const auto margin = [](const TextContrast &c) { return c.ratio / (c.large ? 3.0 : 4.5); };
    TextContrast worst;
    for (const TextContrast &c : ofLabels(window, name))
        if (margin(c) < margin(worst))
            worst = c;
    return worst;
}

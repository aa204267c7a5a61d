#include "AppIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace AppIcons {

QIcon icon(const QString &name)
{
    QPixmap pm(64, 64);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink(0x2b, 0x4f, 0x81);
    if (name == QLatin1String("lock.png")) {
        p.setPen(QPen(QColor(0x6b, 0x6b, 0x6b), 6));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRect(18, 8, 28, 34), 0, 180 * 16);
        p.drawLine(18, 25, 18, 30);
        p.drawLine(46, 25, 46, 30);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xd4, 0xa0, 0x17));
        p.drawRoundedRect(QRect(10, 28, 44, 30), 5, 5);
        p.setBrush(QColor(0x5a, 0x40, 0x00));
        p.drawEllipse(QPoint(32, 40), 4, 4);
        p.drawRect(30, 40, 4, 10);
    } else if (name == QLatin1String("Report.png")) {
        p.setPen(QPen(ink, 3));
        p.drawLine(8, 56, 58, 56);
        p.drawLine(8, 56, 8, 6);
        p.setPen(Qt::NoPen);
        const QColor bars[] = {QColor(0x4c, 0x9a, 0xd8), QColor(0xe8, 0x7d, 0x2f), QColor(0x5c, 0xb8, 0x5c)};
        const int heights[] = {26, 44, 34};
        for (int i = 0; i < 3; ++i) {
            p.setBrush(bars[i]);
            p.drawRect(15 + i * 15, 54 - heights[i], 11, heights[i]);
        }
    } else if (name == QLatin1String("channel.png")) {
        p.setPen(QPen(ink, 4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(32, 30, 32, 58);
        p.drawLine(22, 58, 42, 58);
        p.setBrush(ink);
        p.drawEllipse(QPoint(32, 26), 4, 4);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(0x4c, 0x9a, 0xd8), 4, Qt::SolidLine, Qt::RoundCap));
        for (int r = 12; r <= 24; r += 12) {
            p.drawArc(QRect(32 - r, 26 - r, 2 * r, 2 * r), 30 * 16, 120 * 16);
            p.drawArc(QRect(32 - r, 26 - r, 2 * r, 2 * r), 210 * 16, 120 * 16);
        }
    } else if (name == QLatin1String("database.png")) {
        const QColor body(0x4c, 0x9a, 0xd8);
        p.setPen(QPen(ink, 2));
        for (int y : {40, 26, 12}) {
            p.setBrush(body);
            QPainterPath path;
            path.addRect(12, y, 40, 12);
            p.drawPath(path);
            p.drawEllipse(QRect(12, y + 6, 40, 12));
            p.setBrush(body.lighter(130));
            p.drawEllipse(QRect(12, y - 6, 40, 12));
        }
    } else {
        p.setPen(QPen(ink, 3));
        p.setBrush(Qt::white);
        p.drawRect(14, 6, 36, 52);
        for (int y = 18; y <= 46; y += 9)
            p.drawLine(20, y, 44, y);
    }
    return QIcon(pm);
}

} // namespace AppIcons

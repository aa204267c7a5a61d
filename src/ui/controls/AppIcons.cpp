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
    } else if (name == QLatin1String("system.png")) {
        // A cog wheel.
        p.translate(32, 32);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x6b, 0x7b, 0x8c));
        for (int i = 0; i < 8; ++i) {
            p.drawRoundedRect(QRectF(-5, -29, 10, 14), 2, 2);
            p.rotate(45);
        }
        p.drawEllipse(QPointF(0, 0), 20, 20);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(0, 0), 8, 8);
    } else if (name == QLatin1String("Image.tiff")) {
        // A student: a head over shoulders, the row picture of the grouping outline.
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x4c, 0x9a, 0xd8));
        p.drawEllipse(QPoint(32, 20), 13, 13);
        QPainterPath shoulders;
        shoulders.moveTo(8, 60);
        shoulders.cubicTo(8, 36, 56, 36, 56, 60);
        shoulders.closeSubpath();
        p.drawPath(shoulders);
    } else if (name == QLatin1String("hardware.png")) {
        // A keypad: a display over a grid of keys.
        p.setPen(QPen(ink, 3));
        p.setBrush(QColor(0xe9, 0xee, 0xf4));
        p.drawRoundedRect(QRectF(14, 4, 36, 56), 6, 6);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x5c, 0xb8, 0x5c));
        p.drawRect(QRectF(20, 10, 24, 10));
        p.setBrush(ink);
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col < 3; ++col)
                p.drawRoundedRect(QRectF(20 + col * 9, 26 + row * 10, 6, 6), 1.5, 1.5);
    } else if (name == QLatin1String("addpage.png") || name == QLatin1String("delpage.png")) {
        p.setPen(QPen(ink, 3));
        p.setBrush(Qt::white);
        p.drawRect(10, 6, 34, 46);
        const bool add = name == QLatin1String("addpage.png");
        p.setPen(QPen(add ? QColor(0x2e, 0x9b, 0x4b) : QColor(0xc6, 0x28, 0x28), 7, Qt::SolidLine, Qt::RoundCap));
        if (add) {
            p.drawLine(46, 36, 46, 58);
            p.drawLine(35, 47, 57, 47);
        } else {
            p.drawLine(37, 38, 55, 56);
            p.drawLine(55, 38, 37, 56);
        }
    } else if (name == QLatin1String("align.png")) {
        p.setPen(QPen(ink, 3));
        p.drawLine(8, 6, 8, 58);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x4c, 0x9a, 0xd8));
        p.drawRect(12, 10, 40, 12);
        p.drawRect(12, 28, 26, 12);
        p.drawRect(12, 46, 46, 12);
    } else if (name == QLatin1String("info.png")) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x4c, 0x9a, 0xd8));
        p.drawEllipse(QRect(6, 6, 52, 52));
        p.setBrush(Qt::white);
        p.drawEllipse(QPoint(32, 19), 5, 5);
        p.drawRoundedRect(QRect(27, 28, 10, 22), 3, 3);
    } else if (name == QLatin1String("standard.png")) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xc6, 0x28, 0x28));
        QPainterPath ribbon;
        ribbon.moveTo(22, 34);
        ribbon.lineTo(16, 60);
        ribbon.lineTo(26, 54);
        ribbon.lineTo(32, 62);
        ribbon.lineTo(38, 54);
        ribbon.lineTo(48, 60);
        ribbon.lineTo(42, 34);
        p.drawPath(ribbon);
        p.setBrush(QColor(0xd4, 0xa0, 0x17));
        p.drawEllipse(QRect(12, 4, 40, 40));
        p.setBrush(QColor(0xf2, 0xd0, 0x5e));
        p.drawEllipse(QRect(20, 12, 24, 24));
    } else if (name == QLatin1String("picture.png") || name == QLatin1String("capture.png")) {
        p.setPen(QPen(ink, 3));
        p.setBrush(QColor(0xdf, 0xef, 0xfb));
        if (name == QLatin1String("picture.png")) {
            p.drawRect(6, 12, 52, 40);
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0x5c, 0xb8, 0x5c));
            QPainterPath hill;
            hill.moveTo(8, 50);
            hill.lineTo(26, 28);
            hill.lineTo(38, 42);
            hill.lineTo(46, 34);
            hill.lineTo(56, 50);
            p.drawPath(hill);
            p.setBrush(QColor(0xe8, 0x7d, 0x2f));
            p.drawEllipse(QPoint(46, 22), 5, 5);
        } else {
            p.drawRoundedRect(QRect(6, 18, 52, 36), 5, 5);
            p.drawRect(22, 10, 20, 8);
            p.setBrush(Qt::white);
            p.drawEllipse(QPoint(32, 36), 11, 11);
        }
    } else if (name == QLatin1String("font.png")) {
        QFont f(QStringLiteral("Liberation Serif"));
        f.setPixelSize(50);
        f.setBold(true);
        p.setFont(f);
        p.setPen(ink);
        p.drawText(QRect(0, 0, 64, 64), Qt::AlignCenter, QStringLiteral("A"));
    } else if (name == QLatin1String("colors.png")) {
        p.setPen(Qt::NoPen);
        const QColor wheel[] = {QColor(0xc6, 0x28, 0x28), QColor(0xe8, 0x7d, 0x2f), QColor(0xf2, 0xd0, 0x5e),
                                QColor(0x5c, 0xb8, 0x5c), QColor(0x4c, 0x9a, 0xd8), QColor(0x8e, 0x44, 0xad)};
        for (int i = 0; i < 6; ++i) {
            p.setBrush(wheel[i]);
            p.drawPie(QRect(6, 6, 52, 52), i * 60 * 16, 60 * 16);
        }
        p.setBrush(Qt::white);
        p.drawEllipse(QPoint(32, 32), 9, 9);
    } else if (name == QLatin1String("save.png") || name == QLatin1String("saveas.png")) {
        p.setPen(QPen(ink, 3));
        p.setBrush(QColor(0x4c, 0x9a, 0xd8));
        p.drawRoundedRect(QRect(8, 8, 48, 48), 4, 4);
        p.setBrush(Qt::white);
        p.drawRect(18, 8, 28, 16);
        p.drawRect(16, 34, 32, 22);
        if (name == QLatin1String("saveas.png")) {
            p.setPen(QPen(QColor(0xe8, 0x7d, 0x2f), 6, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(30, 52, 56, 26);
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

QIcon sized(const QIcon &icon, int side)
{
    const QSize size(side, side);
    QPixmap picture = icon.pixmap(size);
    if (picture.isNull())
        return icon;
    if (picture.size() != size)
        picture = picture.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    // A picture that is not square sits centred on a transparent square of the bar's size.
    QPixmap square(size);
    square.fill(Qt::transparent);
    QPainter p(&square);
    p.drawPixmap((side - picture.width()) / 2, (side - picture.height()) / 2, picture);
    p.end();
    return QIcon(square);
}

} // namespace AppIcons

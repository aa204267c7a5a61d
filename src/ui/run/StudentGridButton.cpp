#include "StudentGridButton.h"

#include <QHash>
#include <QPainter>
#include <QPixmap>

#include <cmath>

namespace {

constexpr qreal kRadius = 4.0;

struct FaceKey
{
    QRgb fill;
    QRgb ground;
    bool down;
    QSize size;
    int dprPercent;
    bool operator==(const FaceKey &o) const
    {
        return fill == o.fill && ground == o.ground && down == o.down && size == o.size && dprPercent == o.dprPercent;
    }
};

size_t qHash(const FaceKey &k, size_t seed = 0)
{
    return qHashMulti(seed, k.fill, k.ground, k.down, k.size.width(), k.size.height(), k.dprPercent);
}

// The tile's face without its title: the grid's background in the corners, the rounded colour
// field with a darker rim. Grids use a dozen colours at most, so the pictures are kept.
const QPixmap &face(const QColor &fill, const QColor &ground, bool down, QSize size, qreal dpr)
{
    static QHash<FaceKey, QPixmap> faces;
    const FaceKey key{fill.rgba(), ground.rgb(), down, size, qRound(dpr * 100)};
    auto it = faces.find(key);
    if (it != faces.end())
        return *it;
    QPixmap pixmap(size * dpr);
    pixmap.setDevicePixelRatio(dpr);
    pixmap.fill(ground);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor field = down ? fill.darker(115) : fill;
    p.setPen(QPen(fill.darker(140), 1.0));
    p.setBrush(field);
    p.drawRoundedRect(QRectF(0.5, 0.5, size.width() - 1.0, size.height() - 1.0), kRadius, kRadius);
    p.end();
    return *faces.insert(key, pixmap);
}

} // namespace

StudentGridButton::StudentGridButton(QWidget *parent) : QPushButton(parent)
{
    // Every pixel is painted here, the grid's background included.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QColor StudentGridButton::textColorOn(const QColor &background)
{
    // Whichever of black and white stands out more: on the group colours red and magenta white
    // would stay below what small bold text needs.
    const auto linear = [](float c) { return c <= 0.03928f ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    const double luminance = 0.2126 * linear(background.redF()) + 0.7152 * linear(background.greenF())
                             + 0.0722 * linear(background.blueF());
    const double onBlack = (luminance + 0.05) / 0.05;
    const double onWhite = 1.05 / (luminance + 0.05);
    return onBlack >= onWhite ? QColor(Qt::black) : QColor(Qt::white);
}

void StudentGridButton::setColor(const QColor &color)
{
    if (color == m_color)
        return;
    m_color = color;
    update();
}

QSize StudentGridButton::sizeHint() const
{
    return size();
}

void StudentGridButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QWidget *grid = parentWidget();
    const QColor ground = (grid ? grid->palette() : palette()).color(QPalette::Window);
    p.drawPixmap(0, 0, face(m_color, ground, isDown(), size(), devicePixelRatio()));
    // The title in bold: set on the painter, so that a style sheet of the window, which decides
    // the buttons' fonts under it, cannot take the weight away.
    QFont bold = font();
    bold.setBold(true);
    p.setFont(bold);
    p.setPen(textColorOn(m_color));
    p.drawText(rect(), Qt::AlignCenter, text());
}

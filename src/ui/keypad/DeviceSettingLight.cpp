#include "DeviceSettingLight.h"

#include <QPainter>

DeviceSettingLight::DeviceSettingLight(QWidget *parent) : QWidget(parent)
{
    setFixedSize(sizeHint());
}

void DeviceSettingLight::setGreen()
{
    setColor(Qt::green);
}

void DeviceSettingLight::setRed()
{
    setColor(Qt::red);
}

void DeviceSettingLight::setColor(const QColor &color)
{
    m_color = color;
    update();
}

void DeviceSettingLight::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF center(width() / 2.0, height() / 2.0);
    const qreal radius = height() / 2.0 - 1;
    p.setPen(QPen(m_color.darker(150), 1));
    p.setBrush(m_color);
    p.drawEllipse(center, radius, radius);
}

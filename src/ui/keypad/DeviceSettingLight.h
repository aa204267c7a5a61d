#pragma once

#include <QColor>
#include <QWidget>

// The round lamp of the keypad settings window: gray until an id is written, red while the
// keypad has not confirmed it, green once it has.
class DeviceSettingLight : public QWidget
{
    Q_OBJECT
public:
    explicit DeviceSettingLight(QWidget *parent = nullptr);

    QColor color() const { return m_color; }
    void setGreen();
    void setRed();

    QSize sizeHint() const override { return {20, 20}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void setColor(const QColor &color);

    QColor m_color = Qt::gray;
};

#include "ScreenShotView.h"

#include "ScreenShotCurtain.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QScreen>

namespace {
ScreenShotView::Source &source()
{
    static ScreenShotView::Source s;
    return s;
}
} // namespace

void ScreenShotView::setSource(Source s)
{
    source() = std::move(s);
}

QImage ScreenShotView::imageOfScreenShot()
{
    if (source())
        return source()();
    QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->grabWindow(0).toImage() : QImage();
}

ScreenShotView::ScreenShotView(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("ScreenShotView"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_picture = imageOfScreenShot();
    m_curtain = new ScreenShotCurtain(this);
    m_curtain->setImage(m_picture);
    connect(m_curtain, &ScreenShotCurtain::ended, this, &QWidget::close);
    if (QScreen *screen = QGuiApplication::primaryScreen())
        setGeometry(screen->geometry());
}

void ScreenShotView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (!m_picture.isNull())
        painter.drawImage(rect(), m_picture);
}

void ScreenShotView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_curtain->setGeometry(rect());
}

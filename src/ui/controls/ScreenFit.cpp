#include "ScreenFit.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace {

// A usual window manager's decoration, for a window not yet mapped when no other one tells.
constexpr QMargins kUsualFrame(4, 28, 4, 4);
constexpr const char *kLeftAt = "pollixLeftAt";
// The decoration of the last window seen framed: the window manager frames the next one alike,
// even when no other window is up to ask (the main window hides while a run opens).
QMargins g_lastFrame;

bool placesItself(const QWidget *w)
{
    const Qt::WindowType type = w->windowType();
    if (type == Qt::Popup || type == Qt::ToolTip || type == Qt::SplashScreen || type == Qt::Desktop
        || type == Qt::SubWindow || type == Qt::ForeignWindow)
        return true;
    if (w->windowFlags().testFlag(Qt::FramelessWindowHint) || w->windowFlags().testFlag(Qt::BypassWindowManagerHint))
        return true;
    return (w->windowState() & (Qt::WindowFullScreen | Qt::WindowMaximized | Qt::WindowMinimized)) != 0;
}

class WindowKeeper : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const QEvent::Type type = event->type();
        if ((type == QEvent::Show || type == QEvent::Hide) && watched->isWidgetType()) {
            auto *w = static_cast<QWidget *>(watched);
            if (w->isWindow() && !placesItself(w)) {
                if (type == QEvent::Hide) {
                    // The window system's own account of the frame: the widget's may lag behind
                    // when the window manager framed the window without moving it.
                    const QWindow *handle = w->windowHandle();
                    w->setProperty(kLeftAt, handle ? handle->framePosition() : w->pos());
                    if (handle && !handle->frameMargins().isNull())
                        g_lastFrame = handle->frameMargins();
                } else {
                    place(w);
                }
            }
        }
        return false;
    }

private:
    static void place(QWidget *w)
    {
        const QRect area = ScreenFit::availableArea(w);
        if (!area.isValid())
            return;
        const QMargins frame = ScreenFit::frameMargins(w);
        const QVariant leftAt = w->property(kLeftAt);
        // Where the frame goes: where it was left, or around the inside's place as set.
        QPoint at = w->geometry().topLeft() - QPoint(frame.left(), frame.top());
        if (leftAt.isValid()) {
            at = leftAt.toPoint();
        } else if (!w->testAttribute(Qt::WA_Moved)) {
            // A new window: over the middle of the window it belongs to, else of the screen.
            const QWidget *owner = w->parentWidget() ? w->parentWidget()->window() : nullptr;
            const QRect over = !owner || !owner->isVisible() ? area
                               : owner->windowHandle()  ? owner->windowHandle()->frameGeometry()
                                                        : owner->frameGeometry();
            at = over.center() - QRect(QPoint(), w->size().grownBy(frame)).center();
        }
        QSize size = w->size();
        at = ScreenFit::placeWithin(area, frame, at, &size);
        // The inside's place, which the window manager frames as it is: a position given for
        // the frame would be corrected by the toolkit whenever the frame's size becomes known,
        // early or late.
        const QRect inside(at + QPoint(frame.left(), frame.top()), size);
        if (inside != w->geometry() || !w->testAttribute(Qt::WA_Moved))
            w->setGeometry(inside);
    }
};

} // namespace

namespace ScreenFit {

void resize(QWidget *window, int width, int height)
{
    const QRect area = availableArea(window);
    if (area.isValid()) {
        // Room for a window manager's title bar and borders, before the window has any.
        constexpr int kFrameWidth = 16;
        constexpr int kFrameHeight = 48;
        width = std::min(width, area.width() - kFrameWidth);
        height = std::min(height, area.height() - kFrameHeight);
    }
    window->resize(width, height);
}

QRect availableArea(const QWidget *window)
{
    const QScreen *screen = window && window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

QMargins frameMargins(const QWidget *window)
{
    // No window manager draws around the windows of the offscreen platform.
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        return {};
    const auto marginsOf = [](const QWidget *w) {
        return w && w->windowHandle() && w->isVisible() ? w->windowHandle()->frameMargins() : QMargins();
    };
    QMargins m = marginsOf(window);
    if (!m.isNull())
        return g_lastFrame = m;
    // The window manager decorates every window alike; none at all draws nothing around them.
    for (const QWidget *other : QApplication::topLevelWidgets()) {
        if (other != window && !placesItself(other) && other->isVisible() && other->windowHandle()) {
            m = marginsOf(other);
            if (!m.isNull())
                return g_lastFrame = m;
            return g_lastFrame;
        }
    }
    return g_lastFrame.isNull() ? kUsualFrame : g_lastFrame;
}

void setFrameGeometry(QWidget *window, const QRect &frame)
{
    // A place the program gives the window is where it goes as it opens next, not where it was
    // left when it closed: what it stands beside may have moved meanwhile, and a frame noted as it
    // closed can be one title bar off where the window manager had already let go of it.
    window->setProperty(kLeftAt, QVariant());
    window->setGeometry(frame.marginsRemoved(frameMargins(window)));
}

QPoint placeWithin(const QRect &area, const QMargins &frame, QPoint framePos, QSize *size)
{
    const int horizontal = frame.left() + frame.right();
    const int vertical = frame.top() + frame.bottom();
    QSize client = *size;
    client.setWidth(std::max(1, std::min(client.width(), area.width() - horizontal)));
    client.setHeight(std::max(1, std::min(client.height(), area.height() - vertical)));
    *size = client;
    const int frameWidth = client.width() + horizontal;
    const int frameHeight = client.height() + vertical;
    framePos.setX(std::clamp(framePos.x(), area.left(), area.left() + area.width() - frameWidth));
    framePos.setY(std::clamp(framePos.y(), area.top(), area.top() + area.height() - frameHeight));
    return framePos;
}

void keepWindowsOnScreen()
{
    static WindowKeeper *keeper = nullptr;
    if (keeper || !qApp)
        return;
    keeper = new WindowKeeper(qApp);
    qApp->installEventFilter(keeper);
}

} // namespace ScreenFit

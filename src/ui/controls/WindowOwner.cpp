#include "WindowOwner.h"

#include "platform/WindowStacking.h"

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace {
constexpr char kOwnsNothing[] = "pollixOwnsNothing";

bool owns(const QWidget *owner, const QWidget *w)
{
    for (const QWidget *p = w; p; p = p->parentWidget())
        if (p == owner)
            return true;
    return false;
}

// A shown window or dialog of this program (the run bar and the show are tool windows).
bool canOwn(const QWidget *w, const QWidget *besides)
{
    if (!w || !w->isWindow() || !w->isVisible() || !w->windowHandle() || w->property(kOwnsNothing).toBool())
        return false;
    if (besides && owns(besides, w))
        return false;
    const Qt::WindowType type = w->windowType();
    return type == Qt::Window || type == Qt::Dialog || type == Qt::Tool;
}

int area(const QWidget *w)
{
    return w->width() * w->height();
}
} // namespace

namespace WindowOwner {

QWidget *front(const QWidget *besides)
{
    if (QWidget *modal = QApplication::activeModalWidget(); canOwn(modal, besides))
        return modal;
    if (QWidget *active = QApplication::activeWindow(); canOwn(active, besides))
        return active;
    QWidget *above = nullptr;
    QWidget *shown = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (!canOwn(w, besides))
            continue;
        if (!shown)
            shown = w;
        if (!w->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
            continue;
        // A window of the run before a small tool (a winner box, a reading panel) kept above too.
        if (!above || area(w) > area(above))
            above = w;
    }
    return above ? above : shown;
}

void adopt(QWidget *window)
{
    if (!window || window->parentWidget())
        return;
    QWidget *owner = front(window);
    if (!owner)
        return;
    window->setParent(owner, window->windowFlags());
    // destroyed comes before the owner deletes its children.
    QObject::connect(owner, &QObject::destroyed, window, [window, owner] {
        if (window->parentWidget() != owner)
            return;
        const bool shown = window->isVisible();
        window->setParent(nullptr, window->windowFlags());
        if (!shown)
            return;
        // Once the owner is gone: the front window may be going with it.
        QTimer::singleShot(0, window, [window] {
            adopt(window);
            window->show();
            window->raise();
            window->activateWindow();
        });
    });
}

void keepAbove(QWidget *window, bool above)
{
    Qt::WindowFlags flags = window->windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, above);
    window->overrideWindowFlags(flags);
    WindowStacking::setKeepAbove(window->windowHandle(), above);
}

void setOwnsNothing(QWidget *window)
{
    window->setProperty(kOwnsNothing, true);
}

} // namespace WindowOwner

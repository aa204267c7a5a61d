#include "WindowOwner.h"

#include "platform/WindowStacking.h"

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <utility>

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

// Whether the window system may give a window the keys (a click on it, its showing), changed in
// place: made anew (QWidget::setWindowFlags), it would flash and lose its ties.
void takesKeys(QWidget *w, bool takes)
{
    Qt::WindowFlags flags = w->windowFlags();
    if (flags.testFlag(Qt::WindowDoesNotAcceptFocus) != takes)
        return;
    flags.setFlag(Qt::WindowDoesNotAcceptFocus, !takes);
    w->overrideWindowFlags(flags);
    if (QWindow *handle = w->windowHandle())
        handle->setFlag(Qt::WindowDoesNotAcceptFocus, !takes);
}

// The windows of one run over a slide show as standRun last had them; a child of the run's bar,
// it goes with the run. Meanwhile it follows every window of the program that goes while it
// holds the keys: a window manager hands them on to a window of the ordinary kind only, and the
// run's bar and strip are tool windows over a backdrop that takes no keys.
class RunStand : public QObject
{
public:
    explicit RunStand(QWidget *bar) : QObject(bar), m_bar(bar)
    {
        setObjectName(QLatin1String(kName));
        qApp->installEventFilter(this);
        connect(qApp, &QGuiApplication::focusWindowChanged, this, &RunStand::keysCame);
    }

    static RunStand *of(QWidget *bar)
    {
        auto *stand = dynamic_cast<RunStand *>(bar->findChild<QObject *>(QLatin1String(kName), Qt::FindDirectChildrenOnly));
        return stand ? stand : new RunStand(bar);
    }

    // The stand that holds window among the run's windows; nullptr when no run does.
    static RunStand *holding(const QWidget *window)
    {
        for (QWidget *top : QApplication::topLevelWidgets())
            if (auto *stand = dynamic_cast<RunStand *>(top->findChild<QObject *>(QLatin1String(kName), Qt::FindDirectChildrenOnly)))
                if (stand->windows.contains(window))
                    return stand;
        return nullptr;
    }

    QList<QPointer<QWidget>> windows;
    QPointer<QWindow> show;
    QPointer<QWidget> backdrop;
    bool backdropLowered = false;
    bool opened = false;

    bool isRunWindow(const QWindow *window) const
    {
        for (QWidget *w : windows)
            if (w && w->windowHandle() == window)
                return true;
        return false;
    }

    QWindow *under() const
    {
        if (show && show->isVisible())
            return show;
        return backdrop && backdrop->isVisible() ? backdrop->windowHandle() : nullptr;
    }

    void stand() const
    {
        // Only the front of the run takes the keys from the window system: the bar, while no show
        // is on. Clicked, the strip, the list or the bar in front of the show would be given them
        // by the window manager and asked for them by the toolkit, each answer coming at the
        // window manager's own time, also after the click had sent them on to the front.
        const bool showOn = show && show->isVisible();
        for (QWidget *w : windows)
            if (w)
                takesKeys(w, w == m_bar && !showOn);
        QWindow *parent = under();
        for (QWidget *w : windows)
            if (w && w->isVisible() && (parent || w != m_bar))
                WindowStacking::setTransientFor(w->windowHandle(), parent ? parent : m_bar->windowHandle());
        // Without a window manager transients and the stay-on-top hint do nothing: the run's
        // windows are put back on top each time: over a show or a backdrop the bar last, over
        // the activity window (which is the bar) the others after it, in front of it.
        if (parent) {
            for (auto it = windows.crbegin(); it != windows.crend(); ++it)
                if (*it && (*it)->isVisible())
                    (*it)->raise();
        } else {
            for (QWidget *w : windows)
                if (w && w->isVisible())
                    w->raise();
        }
        raiseOpenedOver();
    }

    // A window that opened over the run (a question, the save, a report) stays in front of the
    // run's own windows as they come forward: a window manager raises a window above the others
    // of its layer, and one of the run's standing again over a question would hide it, modal,
    // with nothing left to click. Those opened over others come after them, a modal one last.
    void raiseOpenedOver() const
    {
        QList<std::pair<int, QWidget *>> over;
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (w->isVisible() && w->windowHandle() && w != backdrop && !isRunWindow(w->windowHandle()))
                if (const int depth = depthOver(w->windowHandle()))
                    over << std::pair{depth * 2 + (w->isModal() ? 1 : 0), w};
        }
        std::stable_sort(over.begin(), over.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
        for (const auto &[depth, w] : over)
            w->raise();
    }

    // How many windows deep window stands over the run (1: over one of its windows or the
    // show); 0 when it stands over none of them.
    int depthOver(const QWindow *window) const
    {
        int depth = 0;
        for (const QWindow *up = window->transientParent(); up && depth < kDeepest; up = up->transientParent()) {
            ++depth;
            if (up == show || isRunWindow(up))
                return depth;
        }
        return 0;
    }

    // The front of the run: the show while it is on, else the bar.
    void keysToFront() const
    {
        if (show && show->isVisible()) {
            WindowStacking::activate(show);
        } else if (m_bar && m_bar->isVisible()) {
            m_bar->raise();
            WindowStacking::activate(m_bar->windowHandle());
        }
    }

    // The keys came to a window of the run that is not its front (a window manager that gives
    // them to a window that says it takes none, or a stand not yet made as the show came or
    // went): they go on to the front, so that Escape reaches the run. What opened over the run
    // keeps them: a window it blocks does not take them.
    void keysCame(QWindow *window) const
    {
        if (!window || !isRunWindow(window) || QApplication::activeModalWidget())
            return;
        const bool showOn = show && show->isVisible();
        if (!showOn && m_bar && window == m_bar->windowHandle())
            return;
        keysToFront();
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // Sent once the window is off the screen, before the window system has moved the keys.
        if (event->type() != QEvent::Hide || !watched->isWindowType())
            return false;
        auto *gone = static_cast<QWindow *>(watched);
        if (gone == show)
            stand();
        if (QGuiApplication::focusWindow() != gone)
            return false;
        // A window opened over another of the program's (a question over a report) gives the
        // keys back to it; one over the run's own windows, to the front of the run.
        QWindow *over = gone->transientParent();
        if (over && over->isVisible() && !over->flags().testFlag(Qt::WindowDoesNotAcceptFocus) && !isRunWindow(over))
            WindowStacking::activate(over);
        else
            keysToFront();
        return false;
    }

private:
    static constexpr char kName[] = "pollixRunStand";
    static constexpr int kDeepest = 16;
    QPointer<QWidget> m_bar;
};
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

void toFrontOfRun(QWidget *window)
{
    if (RunStand *stand = RunStand::holding(window))
        stand->stand();
    else
        window->raise();
}

void setOwnsNothing(QWidget *window)
{
    window->setProperty(kOwnsNothing, true);
}

void standRun(const QList<QWidget *> &runWindows, QWindow *show, QWidget *backdrop)
{
    QWidget *bar = runWindows.value(0);
    if (!bar)
        return;
    RunStand *stand = RunStand::of(bar);
    stand->windows.clear();
    for (QWidget *w : runWindows)
        stand->windows << w;
    stand->show = show;
    stand->backdrop = backdrop;
    if (backdrop && backdrop->windowHandle()) {
        // Made with the bar as its parent, the backdrop would be the bar's transient, and the bar
        // the backdrop's: the backdrop stands over nothing.
        WindowStacking::setTransientFor(backdrop->windowHandle(), nullptr);
        if (backdrop->isVisible() && !std::exchange(stand->backdropLowered, true))
            backdrop->lower();
    }
    stand->stand();
    // As the run opens, the window that had the keys (the main window) has gone: with no show
    // on, the bar takes them, unless a window of this program holds them (a question asked
    // meanwhile). Later the teacher may be in another program: the run takes nothing back.
    if (bar->isVisible() && !std::exchange(stand->opened, true) && !(show && show->isVisible())) {
        const QWindow *keys = QGuiApplication::focusWindow();
        if (!keys || !keys->isVisible())
            stand->keysToFront();
    }
}

} // namespace WindowOwner

#include "WindowOnScreen.h"

#include "EventWait.h"
#include "Shots.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QPointer>
#include <QScreen>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QWindow>

// Xlib last: its macros (None, Bool, Status, ...) clash with Qt's names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <algorithm>
#include <cstdlib>

namespace WindowOnScreen {

QRect area()
{
    return QGuiApplication::primaryScreen()->availableGeometry();
}

QRect frameOf(const QWidget *w)
{
    return w->windowHandle() ? w->windowHandle()->frameGeometry() : w->frameGeometry();
}

namespace {
// The window that holds window on the server (0 when the server does not say), and the root.
Window parentOnServer(Display *display, Window window, Window *root)
{
    Window parent = 0, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, window, root, &parent, &children, &count))
        return 0;
    if (children)
        XFree(children);
    return parent;
}

// The window manager has put the window in a frame of its own and said how wide it is.
bool framedOnServer(const QWidget *w)
{
    Display *display = XOpenDisplay(nullptr);
    if (!display)
        return false;
    const Window window = w->winId();
    Window root = 0;
    const Window parent = parentOnServer(display, window, &root);
    bool framed = parent != 0 && parent != root;
    Atom type = 0;
    int format = 0;
    unsigned long n = 0, after = 0;
    unsigned char *data = nullptr;
    const Atom extents = XInternAtom(display, "_NET_FRAME_EXTENTS", True);
    framed = framed && extents != 0
             && XGetWindowProperty(display, window, extents, 0, 4, False, AnyPropertyType, &type, &format, &n, &after, &data) == Success
             && n == 4;
    if (data)
        XFree(data);
    XCloseDisplay(display);
    return framed;
}

// A configure event as a window manager sends one: the window's inside at client, on the screen.
void sayConfigured(Display *display, Window window, const QRect &client)
{
    XEvent event = {};
    event.xconfigure.type = ConfigureNotify;
    event.xconfigure.event = window;
    event.xconfigure.window = window;
    event.xconfigure.x = client.x();
    event.xconfigure.y = client.y();
    event.xconfigure.width = client.width();
    event.xconfigure.height = client.height();
    XSendEvent(display, window, False, StructureNotifyMask, &event);
    XFlush(display);
}

// Qt looks the frame up once per configure event of the window: one it looked up before the
// manager framed the window, with no configure event since (the manager framed it where it
// was), stays empty. A configure event of the window where it stands, as a manager sends one,
// makes it look again.
void sayConfiguredWhereItIs(const QWidget *w)
{
    Display *display = XOpenDisplay(nullptr);
    if (!display)
        return;
    const Window window = w->winId();
    XWindowAttributes attributes;
    int x = 0, y = 0;
    Window child = 0;
    if (XGetWindowAttributes(display, window, &attributes)
        && XTranslateCoordinates(display, window, attributes.root, 0, 0, &x, &y, &child))
        sayConfigured(display, window, QRect(x, y, attributes.width, attributes.height));
    XCloseDisplay(display);
}
} // namespace

bool settled(QWidget *w)
{
    if (!QTest::qWaitForWindowExposed(w, kEventWaitMs)) {
        qWarning("settled: %s never exposed: %s", qPrintable(w->windowTitle()), describe(w).c_str());
        return false;
    }
    // A window the window manager does not decorate only has to stand still.
    const bool decorated = !w->windowFlags().testFlag(Qt::FramelessWindowHint);
    const bool onX11 = QGuiApplication::platformName() == QLatin1String("xcb");
    QRect last;
    int same = 0, unseenFrame = 0, looks = 0;
    QStringList seen;
    const bool stood = QTest::qWaitFor(
        [w, decorated, onX11, &last, &same, &unseenFrame, &looks, &seen] {
            QTest::qWait(50);
            const QRect now = frameOf(w);
            const bool framed = !decorated || now.size() != w->geometry().size();
            // Framed on the server for a while, and still not to Qt: Qt is made to look again.
            if (!framed && onX11 && framedOnServer(w) && ++unseenFrame % 10 == 0)
                sayConfiguredWhereItIs(w);
            if (now != last || seen.isEmpty())
                seen << QStringLiteral("%1:%2,%3 %4x%5%6").arg(looks).arg(now.x()).arg(now.y()).arg(now.width()).arg(now.height())
                            .arg(framed ? QString() : QStringLiteral(" unframed"));
            ++looks;
            same = framed && now == last ? same + 1 : 0;
            last = now;
            return same >= 4;
        },
        kEventWaitMs);
    if (!stood)
        qWarning("settled: %s did not settle in %d looks; frames seen (look:frame): %s; now %s", qPrintable(w->windowTitle()), looks,
                 qPrintable(seen.mid(std::max<qsizetype>(0, seen.size() - 20)).join(QStringLiteral("; "))), describe(w).c_str());
    return stood;
}

namespace {
// _NET_CLIENT_LIST_STACKING, bottom to top.
QList<unsigned long> stackingOrder()
{
    Display *display = XOpenDisplay(nullptr);
    if (!display)
        return {};
    QList<unsigned long> order;
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char *data = nullptr;
    const Atom stacking = XInternAtom(display, "_NET_CLIENT_LIST_STACKING", False);
    if (XGetWindowProperty(display, DefaultRootWindow(display), stacking, 0, 4096, False, XA_WINDOW, &type, &format,
                           &count, &after, &data) == Success && data) {
        const auto *ids = reinterpret_cast<const unsigned long *>(data);
        for (unsigned long i = 0; i < count; ++i)
            order << ids[i];
        XFree(data);
    }
    XCloseDisplay(display);
    return order;
}
// The window the X server knows: a widget's own id stays behind when its platform window is made
// anew.
unsigned long xIdOf(const QWidget *w)
{
    return (unsigned long)(w->windowHandle() ? w->windowHandle()->winId() : w->winId());
}
} // namespace

namespace {
bool idStackedAbove(unsigned long upper, unsigned long lower)
{
    const QList<unsigned long> order = stackingOrder();
    const qsizetype up = order.indexOf(upper);
    const qsizetype low = order.indexOf(lower);
    return up >= 0 && low >= 0 && up > low;
}
} // namespace

bool stackedAbove(const QWidget *upper, const QWidget *lower)
{
    return idStackedAbove(xIdOf(upper), xIdOf(lower));
}

bool stackedAbove(const QWidget *upper, const QWindow *lower)
{
    return lower && idStackedAbove(xIdOf(upper), (unsigned long)lower->winId());
}

QRect serverFrameOf(const QWidget *w)
{
    Display *display = XOpenDisplay(nullptr);
    if (!display)
        return {};
    // Up from the window to the one the root holds: the manager's frame, or the window itself.
    Window window = Window(xIdOf(w));
    for (;;) {
        Window root = 0;
        const Window parent = parentOnServer(display, window, &root);
        if (parent == root || parent == 0)
            break;
        window = parent;
    }
    QRect frame;
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, window, &attributes))
        frame = QRect(attributes.x, attributes.y, attributes.width + 2 * attributes.border_width,
                      attributes.height + 2 * attributes.border_width);
    XCloseDisplay(display);
    return frame;
}

void answerLate(const QWidget *w, const QRect &client)
{
    Display *display = XOpenDisplay(nullptr);
    if (!display)
        return;
    sayConfigured(display, Window(xIdOf(w)), client);
    XCloseDisplay(display);
}

QRect serverRectOf(const QWidget *control)
{
    const QWidget *window = control->window();
    Display *display = XOpenDisplay(nullptr);
    if (!display)
        return {};
    int x = 0, y = 0;
    Window child = 0;
    const bool placed = XTranslateCoordinates(display, Window(xIdOf(window)), DefaultRootWindow(display), 0, 0, &x, &y, &child);
    XCloseDisplay(display);
    if (!placed)
        return {};
    return QRect(QPoint(x, y) + control->mapTo(window, QPoint(0, 0)), control->size());
}

void pressKey(const char *keyName)
{
    Display *display = XOpenDisplay(nullptr);
    if (!display)
        return;
    const KeyCode code = XKeysymToKeycode(display, XStringToKeysym(keyName));
    if (code != 0) {
        XTestFakeKeyEvent(display, code, True, CurrentTime);
        XTestFakeKeyEvent(display, code, False, CurrentTime);
    }
    XFlush(display);
    XCloseDisplay(display);
}

QPoint closeBoxOf(const QWidget *w)
{
    // The manager's title bar runs along the frame's top, its close box at the right end.
    const QRect frame = serverFrameOf(w);
    const QMargins extents = w->windowHandle() ? w->windowHandle()->frameMargins() : QMargins();
    constexpr int kCloseBoxFromRight = 10;
    return {frame.right() - extents.right() - kCloseBoxFromRight, frame.top() + std::max(1, extents.top() / 2)};
}

bool hasKeys(const QWindow *w)
{
    if (!w || QGuiApplication::focusWindow() != w)
        return false;
    Display *display = XOpenDisplay(nullptr);
    if (!display)
        return false;
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(display, &focus, &revert);
    XCloseDisplay(display);
    return focus == Window(w->winId());
}

std::string describeStacking(const QList<const QWidget *> &windows)
{
    QStringList names;
    for (const unsigned long id : stackingOrder()) {
        QString name = QStringLiteral("?");
        for (const QWidget *w : windows) {
            if (w && xIdOf(w) == id) {
                name = w->objectName().isEmpty() ? w->windowTitle() : w->objectName();
                if (const QWindow *parent = w->windowHandle() ? w->windowHandle()->transientParent() : nullptr)
                    name += QStringLiteral(" (over %1)").arg(parent->title());
            }
        }
        names << name;
    }
    return QStringLiteral("stacking, bottom to top: %1").arg(names.join(QStringLiteral(", "))).toStdString();
}

namespace {
// How the X server has the window: the window it stands in (the manager's frame, or the root when
// no manager took it), its WM_STATE and _NET_FRAME_EXTENTS as the manager set them.
QString serverSays(const QWidget *w)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb") || !w->windowHandle())
        return {};
    Display *display = XOpenDisplay(nullptr);
    if (!display)
        return QStringLiteral("(no display)");
    const Window window = w->winId();
    Window root = 0;
    QString out;
    if (const Window parent = parentOnServer(display, window, &root))
        out = parent == root ? QStringLiteral("in the root window") : QStringLiteral("in window 0x%1").arg(parent, 0, 16);
    const auto cardinals = [display, window](const char *name, int most) {
        QStringList values;
        Atom type = 0;
        int format = 0;
        unsigned long n = 0, after = 0;
        unsigned char *data = nullptr;
        const Atom atom = XInternAtom(display, name, True);
        if (atom != 0 && XGetWindowProperty(display, window, atom, 0, most, False, AnyPropertyType, &type, &format, &n, &after, &data) == Success
            && data) {
            for (unsigned long i = 0; i < n && format == 32; ++i)
                values << QString::number(reinterpret_cast<const long *>(data)[i]);
            XFree(data);
        }
        return values.isEmpty() ? QStringLiteral("none") : values.join(QLatin1Char(','));
    };
    out += QStringLiteral(", WM_STATE %1, _NET_FRAME_EXTENTS %2").arg(cardinals("WM_STATE", 2), cardinals("_NET_FRAME_EXTENTS", 4));
    XCloseDisplay(display);
    const QMargins m = w->windowHandle()->frameMargins();
    return QStringLiteral(" (X: %1; Qt's frame margins %2,%3,%4,%5)").arg(out).arg(m.left()).arg(m.top()).arg(m.right()).arg(m.bottom());
}
} // namespace

std::string describe(const QWidget *w)
{
    const QRect f = frameOf(w);
    const QRect a = area();
    return QStringLiteral("%1 frame %2,%3 %4x%5 in %6,%7 %8x%9")
               .arg(w->objectName())
               .arg(f.x())
               .arg(f.y())
               .arg(f.width())
               .arg(f.height())
               .arg(a.x())
               .arg(a.y())
               .arg(a.width())
               .arg(a.height())
               .toStdString()
           + (w->windowHandle() && w->windowHandle()->frameMargins().isNull() ? " (no frame)" : "") + serverSays(w).toStdString();
}

void shot(const QString &name)
{
    const QSize size = QGuiApplication::primaryScreen()->size();
    saveScreenShot(QStringLiteral("%1-%2x%3").arg(name).arg(size.width()).arg(size.height()));
}

namespace {

QString nameOf(const QObject *o)
{
    if (!o->objectName().isEmpty())
        return o->objectName();
    if (const auto *b = qobject_cast<const QAbstractButton *>(o); b && !b->text().isEmpty())
        return QLatin1Char('"') + b->text() + QLatin1Char('"');
    return QString::fromLatin1(o->metaObject()->className());
}

// The part of w that its window shows, in w's coordinates: w's rectangle cut by each parent's.
QRect shownPart(const QWidget *w)
{
    QRect part = w->rect();
    QPoint offset; // w's origin in the coordinates of the parent reached so far
    for (const QWidget *p = w; !p->isWindow(); p = p->parentWidget()) {
        offset += p->pos();
        const QWidget *parent = p->parentWidget();
        part &= parent->rect().translated(-offset);
    }
    return part;
}

// Inside the scrolled contents of a scroll area or a list below window: such a control may be
// scrolled into view.
bool scrolls(const QWidget *w)
{
    for (const QWidget *p = w; p && !p->isWindow(); p = p->parentWidget()) {
        const auto *area = qobject_cast<const QAbstractScrollArea *>(p->parentWidget());
        if (area && p == area->viewport())
            return true;
    }
    return false;
}

// Controls that a widget of Qt's own makes and places (a tab bar's arrows, a toolbar's overflow,
// a line edit's clear button): the widget they belong to is looked at instead.
bool partOfQtWidget(const QWidget *w)
{
    const QWidget *parent = w->parentWidget();
    return w->objectName().startsWith(QLatin1String("qt_")) || qobject_cast<const QTabBar *>(parent)
           || (parent && (parent->inherits("QLineEdit") || parent->inherits("QAbstractSpinBox")));
}

QString cut(const QWidget *w)
{
    const QRect part = shownPart(w);
    if (part == w->rect())
        return QString();
    return QStringLiteral("%1 is cut: %2 x %3 of %4 x %5 shown")
        .arg(nameOf(w))
        .arg(part.isValid() ? part.width() : 0)
        .arg(part.isValid() ? part.height() : 0)
        .arg(w->width())
        .arg(w->height());
}

// A head kept apart from its rows: a view of the same columns, starting where it starts, shows
// the scroll bar that moves both.
bool scrolledByAnother(const QAbstractItemView *view, const QHeaderView *header)
{
    const QWidget *window = view->window();
    const QRect place(view->mapTo(window, QPoint()), view->size());
    for (const QAbstractItemView *other : window->findChildren<QAbstractItemView *>()) {
        const auto *table = qobject_cast<const QTableView *>(other);
        if (other == view || !table || !other->horizontalScrollBar()->isVisible())
            continue;
        const QRect otherPlace(other->mapTo(window, QPoint()), other->size());
        if (std::abs(otherPlace.left() - place.left()) <= 2 && table->horizontalHeader()->length() == header->length())
            return true;
    }
    return false;
}

void lookAtControls(QWidget *window, QStringList &out)
{
    for (QAbstractButton *b : window->findChildren<QAbstractButton *>()) {
        if (b->window() != window || !b->isVisible() || scrolls(b) || partOfQtWidget(b))
            continue;
        const QString problem = cut(b);
        if (!problem.isEmpty())
            out << problem;
    }
    for (QToolBar *bar : window->findChildren<QToolBar *>()) {
        if (bar->window() != window || !bar->isVisible())
            continue;
        QStringList hidden;
        for (QAction *a : bar->actions()) {
            QWidget *tool = bar->widgetForAction(a);
            if (a->isVisible() && !a->isSeparator() && tool && !tool->isVisible())
                hidden << (a->objectName().isEmpty() ? (a->text().isEmpty() ? nameOf(tool) : a->text()) : a->objectName());
        }
        if (!hidden.isEmpty())
            out << QStringLiteral("%1 keeps %2 in its overflow").arg(nameOf(bar), hidden.join(QStringLiteral(", ")));
    }
    for (QTabBar *tabs : window->findChildren<QTabBar *>()) {
        if (tabs->window() != window || !tabs->isVisible())
            continue;
        for (int i = 0; i < tabs->count(); ++i)
            if (!tabs->rect().contains(tabs->tabRect(i)))
                out << QStringLiteral("the tab \"%1\" of %2 is behind the tab bar's edge")
                           .arg(tabs->tabText(i), nameOf(tabs->parentWidget() ? tabs->parentWidget() : tabs));
    }
    for (QAbstractItemView *view : window->findChildren<QAbstractItemView *>()) {
        if (view->window() != window || !view->isVisible() || view->horizontalScrollBarPolicy() != Qt::ScrollBarAlwaysOff)
            continue;
        const QHeaderView *header = nullptr;
        if (const auto *table = qobject_cast<const QTableView *>(view))
            header = table->horizontalHeader();
        else if (const auto *tree = qobject_cast<const QTreeView *>(view))
            header = tree->header();
        if (header && header->length() > view->viewport()->width() && !scrolledByAnother(view, header))
            out << QStringLiteral("%1's columns take %2 of its %3 points, with no scroll bar")
                       .arg(nameOf(view))
                       .arg(header->length())
                       .arg(view->viewport()->width());
    }
}

void lookAtMainActions(QWidget *window, const QStringList &mainActions, QStringList &out)
{
    for (const QString &name : mainActions) {
        QWidget *control = window->findChild<QWidget *>(name);
        if (!control) {
            // A toolbar action: the tool that shows it.
            for (QToolBar *bar : window->findChildren<QToolBar *>())
                for (QAction *a : bar->actions())
                    if (a->objectName() == name)
                        control = bar->widgetForAction(a);
        }
        if (!control)
            out << name + QStringLiteral(" is not there");
        else if (!control->isVisible())
            out << name + QStringLiteral(" is not shown");
        else if (const QString problem = cut(control); !problem.isEmpty())
            out << problem;
    }
}

} // namespace

QStringList problems(QWidget *window, const QStringList &mainActions, const QString &shotName)
{
    QStringList out;
    const auto lookAtFrame = [&](const QString &where) {
        if (!area().contains(frameOf(window)))
            out << where + QStringLiteral("the frame is off the screen: ") + QString::fromStdString(describe(window));
    };
    lookAtFrame(QString());
    lookAtControls(window, out);
    lookAtMainActions(window, mainActions, out);

    // Every other page of each tab widget: a page may need more room than the one shown first.
    QList<QPointer<QTabWidget>> tabWidgets;
    for (QTabWidget *t : window->findChildren<QTabWidget *>())
        if (t->window() == window && t->isVisible())
            tabWidgets << t;
    for (const QPointer<QTabWidget> &tabs : tabWidgets) {
        if (!tabs)
            continue;
        const int shown = tabs->currentIndex();
        for (int i = 0; i < tabs->count(); ++i) {
            if (i == shown || !tabs->isTabEnabled(i))
                continue;
            tabs->setCurrentIndex(i);
            if (tabs->currentIndex() != i)
                continue;
            settled(window);
            if (!shotName.isEmpty())
                shot(QStringLiteral("%1-tab%2").arg(shotName).arg(i));
            const QString where = QStringLiteral("on the page \"%1\": ").arg(tabs->tabText(i));
            QStringList page;
            lookAtControls(window, page);
            lookAtFrame(where);
            for (const QString &p : page)
                if (!out.contains(p))
                    out << where + p;
        }
        tabs->setCurrentIndex(shown);
        settled(window);
    }
    out.removeDuplicates();
    return out;
}

} // namespace WindowOnScreen

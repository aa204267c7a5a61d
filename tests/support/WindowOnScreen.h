#pragma once

#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>

#include <string>

class QWidget;
class QWindow;

// How a top-level window stands on a real screen under a window manager (the X11 halves of the
// window tests): its frame as the window system has it, and what of it a teacher cannot reach.
namespace WindowOnScreen {

// The screen's available area (without panels).
QRect area();
// The frame as the window system has it (a widget's own account may lag behind).
QRect frameOf(const QWidget *w);
// Shown, decorated by the window manager (unless frameless) and no longer moving (the same frame
// for a fifth of a second).
bool settled(QWidget *w);
// "name frame x,y wxh in x,y wxh" for a failure message.
std::string describe(const QWidget *w);
// Whether the window manager stacks upper's window above lower's (_NET_CLIENT_LIST_STACKING, bottom
// to top); false when either is not in its list.
bool stackedAbove(const QWidget *upper, const QWidget *lower);
bool stackedAbove(const QWidget *upper, const QWindow *lower);
// The window's frame as the X server has it (the window manager's frame window, else the window).
QRect serverFrameOf(const QWidget *w);
// A window manager's late answer to a place asked before: a configure event, as a manager sends
// one, that tells the window its inside stands at client on the screen, wherever it stands.
void answerLate(const QWidget *w, const QRect &client);
// A control of a window where the X server has that window (its place in the window as Qt lays
// it out).
QRect serverRectOf(const QWidget *control);
// A real key press and release through XTest, the key named as X names it ("F2").
void pressKey(const char *keyName);
// Where the window manager's close box of w is on the screen (openbox: the title bar's right end).
QPoint closeBoxOf(const QWidget *w);
// Whether the X server sends the keys to w (its input focus), and Qt has w as its focus window.
// Qt may take a window as focused a moment before the window manager has settled where the keys go.
bool hasKeys(const QWindow *w);
// The window manager's stacking, bottom to top, each of the given windows by name (others as "?"),
// and whom each stands over as transient: for a failure message of stackedAbove.
std::string describeStacking(const QList<const QWidget *> &windows);
// The whole screen as a picture in Shots::folder(), as name-WxH.png; nothing when no picture
// folder is set.
void shot(const QString &name);

// What keeps the window from being whole on the screen, each as a short sentence naming the
// control: its frame off the screen's available area; a push or tool button cut by the window's
// edge or a parent's (buttons inside a scrolled area may scroll into view and are left alone); a
// toolbar with tools in its overflow; a tab of a tab bar behind its scroll arrows; a table whose
// columns run past its edge with no scroll bar to reach them. mainActions name (objectName)
// controls or toolbar actions that must be shown and whole wherever they are. Every page of
// each tab widget is looked at (and shot, as shotName-tabN, when shotName is given), and the page
// shown before is shown again.
QStringList problems(QWidget *window, const QStringList &mainActions = {}, const QString &shotName = {});

} // namespace WindowOnScreen

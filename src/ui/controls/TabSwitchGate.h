#pragma once

#include <QObject>

#include <functional>

class QTabBar;
class QTabWidget;

// Asks a window before its tab widget shows another page, while the page shown is still in sight:
// a click on a tab and Ctrl+Tab (Ctrl+Shift+Tab backwards), wherever the focus is in the window,
// come here first, so that an edit open on the page (a cell, a field being typed in) can hold the
// switch and keep the focus. Showing the other page first would hide the edit and end it before
// the window could hold it. A wheel over the tabs, which would turn pages unasked, turns none.
class TabSwitchGate : public QObject
{
    Q_OBJECT
public:
    // mayLeave is asked with the page the teacher wants; false keeps the page shown.
    TabSwitchGate(QTabWidget *tabs, std::function<bool(int to)> mayLeave);

    // Shows page `to` when the window agrees; false when the shown page stays.
    bool switchTo(int to);
    // True while a switch the window agreed to is being made (its currentChanged comes then).
    bool approved() const { return m_approved; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The next enabled page in that direction, round the end; -1 when there is none.
    int neighbour(int step) const;

    QTabWidget *m_tabs;
    // Compared with what the filter is handed, never asked of m_tabs: a tab widget being destroyed
    // hands its bar's last events on when it is no tab widget any more.
    QTabBar *m_bar;
    std::function<bool(int)> m_mayLeave;
    bool m_approved = false;
};

#pragma once

#include "ui/controls/DialogHooks.h"

#include <QList>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <functional>

class PollixAlert;
class QAbstractButton;
class QWidget;

// Lets the program's alerts come up for real while it lives (the hook that answers them in the
// other tests is put aside meanwhile) and works each one as the teacher does, in the order
// queued: Escape or Return pressed on it, its close box, or a click on one of its buttons. An alert with
// nothing queued for it gets its first button, and one that stays up after Escape or its close
// box its last; both are counted, so that no test hangs on an alert.
class RealAlerts
{
public:
    enum class Way { Escape, CloseBox, Return };

    RealAlerts();
    ~RealAlerts();

    void leave(Way way) { m_steps << Step{true, way, -1, {}}; }
    void click(int button) { m_steps << Step{false, Way::Escape, button, {}}; }
    // A click on the button that bears this title, wherever it stands; an alert without one
    // counts as unanswered.
    void click(const QString &title) { m_steps << Step{false, Way::Escape, -1, title}; }

    // The text of every alert that came up (the informative text after a bar), in order.
    const QStringList &seen() const { return m_seen; }
    int unanswered() const { return m_unanswered; }
    // Alerts that Escape or the close box did not take down.
    int stuck() const { return m_stuck; }
    bool allTaken() const { return m_steps.isEmpty(); }

    // The teacher's ways out of a window: Escape pressed where the keys go (the focused control,
    // which passes it on), and the close box (the window system asks the window to close; false
    // when the window refused).
    static void pressEscape(QWidget *window);
    // Return pressed where the keys go: on an alert, its default button has them.
    static void pressReturn(QWidget *window);
    static bool closeBox(QWidget *window);
    // Each way out of window, as a step: its own Close button (when given), its close box, Escape.
    static QList<std::function<void()>> waysOut(QWidget *window, QAbstractButton *closeButton = nullptr);

private:
    struct Step
    {
        bool leave;
        Way way;
        int button;
        QString title;
    };
    void answer(PollixAlert *alert);

    DialogHooks::AlertResponder m_putAside;
    QTimer m_poll;
    QPointer<PollixAlert> m_last;
    QList<Step> m_steps;
    QStringList m_seen;
    int m_unanswered = 0;
    int m_stuck = 0;
};

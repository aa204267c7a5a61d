#include "RealAlerts.h"

#include "ui/controls/PollixAlert.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QTest>
#include <QWindow>

RealAlerts::RealAlerts() : m_putAside(DialogHooks::alertResponder())
{
    DialogHooks::setAlertResponder({});
    QObject::connect(&m_poll, &QTimer::timeout, [this] {
        auto *alert = qobject_cast<PollixAlert *>(QApplication::activeModalWidget());
        if (!alert || alert == m_last || !alert->isVisible())
            return;
        m_last = alert;
        m_seen << (alert->informativeText().isEmpty() ? alert->text() : alert->text() + " | " + alert->informativeText());
        // Answered from the alert's own loop, once it is up.
        QTimer::singleShot(0, alert, [this, alert] { answer(alert); });
    });
    m_poll.start(5);
}

RealAlerts::~RealAlerts()
{
    m_poll.stop();
    DialogHooks::setAlertResponder(m_putAside);
}

void RealAlerts::answer(PollixAlert *alert)
{
    const auto button = [alert](int index) {
        return alert->findChild<QAbstractButton *>(QStringLiteral("alertButton%1").arg(index));
    };
    if (m_steps.isEmpty()) {
        ++m_unanswered;
        QTest::mouseClick(button(0), Qt::LeftButton);
        return;
    }
    const Step step = m_steps.takeFirst();
    if (!step.leave) {
        QTest::mouseClick(button(step.button), Qt::LeftButton);
    } else if (step.way == Way::Escape) {
        // The key goes where the teacher's keys go: the alert's focused button, which passes it on.
        QWidget *focus = alert->focusWidget();
        QTest::keyClick(focus ? focus : alert, Qt::Key_Escape);
    } else {
        // The close box: the window system asks the alert's window to close.
        QCloseEvent close;
        QCoreApplication::sendEvent(alert->windowHandle(), &close);
    }
    if (alert->isVisible()) {
        // Still up: noted, and its last button ends it so that the test goes on to fail.
        ++m_stuck;
        QTest::mouseClick(button(alert->buttonCount() - 1), Qt::LeftButton);
    }
}

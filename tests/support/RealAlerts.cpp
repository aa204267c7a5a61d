#include "RealAlerts.h"

#include "support/Shots.h"
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
    // Every alert a test meets for real is one a teacher meets: its picture is kept to be looked at.
    saveShot(alert, QStringLiteral("alert %1").arg(m_seen.size(), 2, 10, QLatin1Char('0')));
    if (m_steps.isEmpty()) {
        ++m_unanswered;
        QTest::mouseClick(button(0), Qt::LeftButton);
        return;
    }
    const Step step = m_steps.takeFirst();
    int index = step.button;
    for (int i = 0; !step.title.isEmpty() && i < alert->buttonCount(); ++i)
        if (alert->buttonTitles().value(i) == step.title)
            index = i;
    if (!step.leave && index < 0) {
        ++m_unanswered;
        QTest::mouseClick(button(0), Qt::LeftButton);
        return;
    }
    if (!step.leave) {
        QTest::mouseClick(button(index), Qt::LeftButton);
    } else if (step.way == Way::Escape) {
        pressEscape(alert);
    } else if (step.way == Way::Return) {
        pressReturn(alert);
    } else {
        closeBox(alert);
    }
    if (alert->isVisible()) {
        // Still up: noted, and its last button ends it so that the test goes on to fail.
        ++m_stuck;
        QTest::mouseClick(button(alert->buttonCount() - 1), Qt::LeftButton);
    }
}

void RealAlerts::pressEscape(QWidget *window)
{
    QWidget *focus = window->focusWidget();
    QTest::keyClick(focus ? focus : window, Qt::Key_Escape);
}

void RealAlerts::pressReturn(QWidget *window)
{
    QWidget *focus = window->focusWidget();
    QTest::keyClick(focus ? focus : window, Qt::Key_Return);
}

bool RealAlerts::closeBox(QWidget *window)
{
    QCloseEvent close;
    QCoreApplication::sendEvent(window->windowHandle(), &close);
    return close.isAccepted();
}

QList<std::function<void()>> RealAlerts::waysOut(QWidget *window, QAbstractButton *closeButton)
{
    QList<std::function<void()>> out;
    if (closeButton)
        out << [closeButton] { QTest::mouseClick(closeButton, Qt::LeftButton); };
    out << [window] { closeBox(window); } << [window] { pressEscape(window); };
    return out;
}

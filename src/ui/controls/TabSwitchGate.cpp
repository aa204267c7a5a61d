#include "TabSwitchGate.h"

#include <QMouseEvent>
#include <QShortcut>
#include <QTabBar>
#include <QTabWidget>

TabSwitchGate::TabSwitchGate(QTabWidget *tabs, std::function<bool(int to)> mayLeave)
    : QObject(tabs), m_tabs(tabs), m_bar(tabs->tabBar()), m_mayLeave(std::move(mayLeave))
{
    m_bar->installEventFilter(this);
    // A window shortcut is offered the keys before the focused control (an open cell editor, a
    // line field) and before the tab widget, which would turn the page itself.
    const auto bind = [this, tabs](const QKeySequence &keys, int step) {
        auto *shortcut = new QShortcut(keys, tabs);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, [this, step] {
            const int to = neighbour(step);
            if (to >= 0)
                switchTo(to);
        });
    };
    bind(QKeySequence(Qt::CTRL | Qt::Key_Tab), 1);
    bind(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), -1);
    bind(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), -1);
}

bool TabSwitchGate::switchTo(int to)
{
    if (to < 0 || to >= m_tabs->count() || to == m_tabs->currentIndex())
        return false;
    if (m_mayLeave && !m_mayLeave(to))
        return false;
    m_approved = true;
    m_tabs->setCurrentIndex(to);
    m_approved = false;
    return m_tabs->currentIndex() == to;
}

int TabSwitchGate::neighbour(int step) const
{
    const int count = m_tabs->count();
    for (int i = 1; i < count; ++i) {
        const int page = ((m_tabs->currentIndex() + step * i) % count + count) % count;
        if (m_tabs->isTabEnabled(page))
            return page;
    }
    return -1;
}

bool TabSwitchGate::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_bar)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        const auto *press = static_cast<QMouseEvent *>(event);
        if (press->button() != Qt::LeftButton)
            break;
        const int to = m_bar->tabAt(press->position().toPoint());
        if (to < 0 || to == m_tabs->currentIndex() || !m_tabs->isTabEnabled(to))
            break;
        switchTo(to);
        return true;
    }
    case QEvent::Wheel:
        return true;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

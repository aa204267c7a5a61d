#include "ControlPresser.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QTabBar>
#include <QTimer>
#include <QWidget>

ControlPresser::ControlPresser(std::function<QString()> extraState) : m_extraState(std::move(extraState)) {}

QString ControlPresser::state(QWidget *window) const
{
    QStringList out{window->windowTitle(), QString::number(window->isVisible())};
    for (QWidget *w : window->findChildren<QWidget *>()) {
        QString line = w->objectName() + QLatin1Char(':') + QString::number(w->isEnabled());
        if (auto *b = qobject_cast<QAbstractButton *>(w))
            line += b->text() + QString::number(b->isChecked());
        else if (auto *c = qobject_cast<QComboBox *>(w))
            line += c->currentText() + QString::number(c->count());
        else if (auto *t = qobject_cast<QTabBar *>(w))
            line += QString::number(t->currentIndex());
        out << line;
    }
    for (QWidget *top : QApplication::topLevelWidgets())
        if (top->isVisible())
            out << QStringLiteral("shown:") + top->objectName();
    if (m_extraState)
        out << m_extraState();
    out << m_dialogs;
    return out.join(QLatin1Char('\n'));
}

void ControlPresser::press(QWidget *window, const QString &name, const std::function<void()> &action)
{
    const QString before = state(window);
    // A dialog run modally by the press is noted and closed, so that the press returns.
    QTimer closer;
    closer.setInterval(5);
    QObject::connect(&closer, &QTimer::timeout, [this, window] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || modal == window)
            return;
        m_dialogs << modal->objectName();
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->reject();
        else
            modal->close();
    });
    closer.start();
    action();
    closer.stop();
    QApplication::processEvents();
    m_pressed << name;
    if (state(window) == before)
        m_inert << name;
}

void ControlPresser::pressAll(QWidget *window, const QStringList &last)
{
    QList<QWidget *> controls;
    QList<QWidget *> atTheEnd;
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (!qobject_cast<QAbstractButton *>(w) && !qobject_cast<QComboBox *>(w) && !qobject_cast<QTabBar *>(w))
            continue;
        // The parts of composite controls (a tab bar's scroll arrows, a table's corner) are not
        // controls of their own.
        if (qobject_cast<QTabBar *>(w->parentWidget()) || (w->objectName().isEmpty() && !qobject_cast<QTabBar *>(w)))
            continue;
        (last.contains(w->objectName()) ? atTheEnd : controls) << w;
    }
    controls << atTheEnd;
    for (QWidget *w : controls) {
        if (!w->isEnabled())
            continue;
        // A teacher presses what is on the screen: a window a press closed comes back first.
        if (!window->isVisible())
            window->show();
        if (auto *b = qobject_cast<QAbstractButton *>(w)) {
            press(window, b->objectName(), [b] { b->click(); });
        } else if (auto *c = qobject_cast<QComboBox *>(w)) {
            if (c->count() < 2)
                continue;
            press(window, c->objectName(), [c] {
                const int next = (c->currentIndex() + 1) % c->count();
                c->setCurrentIndex(next);
                emit c->activated(next);
            });
        } else if (auto *t = qobject_cast<QTabBar *>(w)) {
            const int start = t->currentIndex();
            for (int i = 0; i < t->count(); ++i) {
                if (i == start || !t->isTabEnabled(i))
                    continue;
                press(window, QStringLiteral("tab:") + t->tabText(i), [t, i] { t->setCurrentIndex(i); });
            }
            if (t->isTabEnabled(start))
                t->setCurrentIndex(start);
        }
    }
}

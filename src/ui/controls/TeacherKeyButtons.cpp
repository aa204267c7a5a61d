#include "TeacherKeyButtons.h"

#include <QAbstractButton>
#include <QEvent>
#include <QRegularExpression>
#include <QShortcut>
#include <QWidget>

namespace {

constexpr const char *kBoundProperty = "pollixTeacherKeyBound";

// Binds the window's buttons each time it is shown.
class ShowWatcher : public QObject
{
public:
    explicit ShowWatcher(QWidget *window) : QObject(window), m_window(window) { window->installEventFilter(this); }

    static void bindAll(QWidget *window)
    {
        for (QAbstractButton *button : window->findChildren<QAbstractButton *>())
            TeacherKeyButtons::bind(button);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_window && event->type() == QEvent::Show)
            bindAll(m_window);
        return false;
    }

private:
    QWidget *m_window;
};

} // namespace

namespace TeacherKeyButtons {

int keyOfTitle(const QString &title)
{
    static const QRegularExpression keyed(QStringLiteral("^\\s*\"F([12])\""));
    const QRegularExpressionMatch m = keyed.match(title);
    if (!m.hasMatch())
        return 0;
    return m.captured(1) == QLatin1String("1") ? Qt::Key_F1 : Qt::Key_F2;
}

void bind(QAbstractButton *button)
{
    const int key = keyOfTitle(button->text());
    if (!key || button->property(kBoundProperty).toInt() == key)
        return;
    button->setProperty(kBoundProperty, key);
    // Owned by the button: the shortcut is live only while the button is shown and enabled in
    // the active window.
    auto *shortcut = new QShortcut(QKeySequence(key), button);
    shortcut->setContext(Qt::WindowShortcut);
    shortcut->setAutoRepeat(false);
    QObject::connect(shortcut, &QShortcut::activated, button, [button, key] {
        // A title changed since no longer names the key.
        if (keyOfTitle(button->text()) == key && button->isEnabled() && button->isVisible())
            button->click();
    });
}

void watch(QWidget *window)
{
    if (window->property(kBoundProperty).toBool())
        return;
    window->setProperty(kBoundProperty, true);
    new ShowWatcher(window);
    ShowWatcher::bindAll(window);
}

} // namespace TeacherKeyButtons

#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

// Presses every enabled control of a window once (buttons are clicked, a combo box chooses its next
// item, a tab bar selects each other enabled tab) and tells which presses were followed by nothing
// a teacher could see: no window opened (a dialog run modally is noted and closed), and the
// window's state did not change. The state is every control's text, check mark, choice and
// enabled flag, the window's title, visibility and selected tab, the top-level windows shown, plus
// whatever `extraState` describes (alerts asked, file panels asked, runs started, ...).
class ControlPresser
{
public:
    explicit ControlPresser(std::function<QString()> extraState = {});

    // Controls named in `last` are pressed after all the others (OK, Cancel, ...).
    void pressAll(QWidget *window, const QStringList &last = {});

    const QStringList &pressed() const { return m_pressed; }
    const QStringList &inert() const { return m_inert; }
    // objectName of every dialog that ran modally during a press.
    const QStringList &dialogsOpened() const { return m_dialogs; }

private:
    QString state(QWidget *window) const;
    void press(QWidget *window, const QString &name, const std::function<void()> &action);

    std::function<QString()> m_extraState;
    QStringList m_pressed;
    QStringList m_inert;
    QStringList m_dialogs;
};

#include "PollixAlert.h"

#include "DialogHooks.h"

#include <QAbstractButton>
#include <QPushButton>

PollixAlert::PollixAlert(const QString &title, const QString &text, const QStringList &buttons,
                         const QString &informativeText, QWidget *parent)
    : QMessageBox(parent), m_titles(buttons.isEmpty() ? QStringList{QStringLiteral("OK")} : buttons)
{
    setObjectName(QStringLiteral("PollixAlert"));
    setWindowTitle(title);
    setText(text);
    setInformativeText(informativeText);
    for (int i = 0; i < m_titles.size(); ++i) {
        QPushButton *b = addButton(m_titles.at(i), i == 0 ? QMessageBox::AcceptRole : QMessageBox::RejectRole);
        b->setObjectName(QStringLiteral("alertButton%1").arg(i));
        m_buttons << b;
        connect(b, &QAbstractButton::clicked, this, [this, i] { m_pressed = i; });
    }
    if (!m_buttons.isEmpty())
        setDefaultButton(static_cast<QPushButton *>(m_buttons.first()));
}

int PollixAlert::runModal()
{
    if (const auto &responder = DialogHooks::alertResponder()) {
        const int index = responder(AlertRequest{windowTitle(), text(), informativeText(), m_titles});
        return AlertFirstButtonReturn + qBound(0, index, int(m_titles.size()) - 1);
    }
    m_pressed = -1;
    exec();
    // Closing the window without a button counts as the last button (the cancel-like one).
    const int index = m_pressed >= 0 ? m_pressed : int(m_titles.size()) - 1;
    return AlertFirstButtonReturn + index;
}

int PollixAlert::show(QWidget *parent, const QString &title, const QString &text, const QStringList &buttons,
                      const QString &informativeText)
{
    PollixAlert alert(title, text, buttons, informativeText, parent);
    return alert.runModal();
}

void PollixAlert::pressButton(int index)
{
    if (index < 0 || index >= m_buttons.size())
        return;
    m_buttons.at(index)->click();
}

void PollixAlert::handleMachMessage()
{
    // Completed by the receiver link: maps the teacher keypad's F1/F2 to the first two buttons.
}

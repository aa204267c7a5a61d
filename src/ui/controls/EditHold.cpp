#include "EditHold.h"

#include "PollixAlert.h"

#include <QAbstractItemView>
#include <QCloseEvent>
#include <QDialog>
#include <QKeyEvent>
#include <QVariant>

namespace {
const char *const kHoldProperty = "pollixEditHold";
}

EditHold::EditHold(QWidget *window, Edits edits, Ask ask)
    : QObject(window), m_window(window), m_edits(std::move(edits)), m_ask(std::move(ask))
{
    window->setProperty(kHoldProperty, QVariant::fromValue<QObject *>(this));
    window->installEventFilter(this);
}

EditHold *EditHold::of(const QWidget *window)
{
    return window ? qobject_cast<EditHold *>(window->property(kHoldProperty).value<QObject *>()) : nullptr;
}

void EditHold::commitOpenCell(QWidget *window)
{
    QWidget *focus = window ? window->focusWidget() : nullptr;
    for (QWidget *w = focus; w && w != window; w = w->parentWidget()) {
        const auto *view = qobject_cast<QAbstractItemView *>(w->parentWidget() ? w->parentWidget()->parentWidget() : nullptr);
        // An editor sits on its view's viewport; the delegate ends the edit when it loses the focus.
        if (view && w->parentWidget() == view->viewport()) {
            focus->clearFocus();
            return;
        }
    }
}

bool EditHold::mayLeave()
{
    // A question already up answers for every way out pressed meanwhile.
    if (m_asking)
        return false;
    commitOpenCell(m_window);
    if (!m_edits || !m_edits())
        return true;
    m_asking = true;
    const Answer answer = m_ask ? m_ask() : Answer::Leave;
    m_asking = false;
    return answer == Answer::Leave;
}

bool EditHold::leave(int result)
{
    if (!m_window || !mayLeave())
        return false;
    m_passing = true;
    if (auto *dialog = qobject_cast<QDialog *>(m_window.data()))
        dialog->done(result);
    else
        m_window->close();
    m_passing = false;
    return true;
}

bool EditHold::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_window || m_passing)
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::Close && !mayLeave()) {
        event->ignore();
        return true;
    }
    // Only an Escape that no control inside took (a cell being edited, an open menu) reaches the
    // window and is a way out of it.
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->matches(QKeySequence::Cancel)
        && !mayLeave())
        return true;
    // Left: the window's own handling closes it, without asking again.
    return QObject::eventFilter(watched, event);
}

EditHold::Answer EditHold::askLeave(QWidget *window, const QString &title, const QString &text, const QStringList &buttons)
{
    // Return, Escape and the close box on the question keep the edits, as its second button does.
    return PollixAlert::askWithWayBack(window, title, text, buttons, {}, PollixAlert::Default::LeavesAsIs) == 0
               ? Answer::Leave
               : Answer::Stay;
}

EditHold::Answer EditHold::askSave(QWidget *window, const QString &title, const QString &text, const QStringList &buttons,
                                   const std::function<bool()> &save)
{
    switch (PollixAlert::askToSave(window, title, text, buttons)) {
    case PollixAlert::SaveAnswer::Save: return save && save() ? Answer::Leave : Answer::Stay;
    case PollixAlert::SaveAnswer::Discard: return Answer::Leave;
    case PollixAlert::SaveAnswer::Cancel: break;
    }
    return Answer::Stay;
}

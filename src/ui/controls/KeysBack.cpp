#include "KeysBack.h"

#include "ProposedText.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace {
constexpr char kLastField[] = "pollixLastField";
// Where a line field's cursor and selection were as it lost the keys: its text, the selection's
// fixed end and the cursor. A click elsewhere clears the selection as the keys go.
constexpr char kLeftAt[] = "pollixLeftAt";

bool isField(const QWidget *w)
{
    if (const auto *line = qobject_cast<const QLineEdit *>(w))
        return !line->isReadOnly();
    if (const auto *text = qobject_cast<const QTextEdit *>(w))
        return !text->isReadOnly();
    if (const auto *plain = qobject_cast<const QPlainTextEdit *>(w))
        return !plain->isReadOnly();
    if (const auto *box = qobject_cast<const QComboBox *>(w))
        return box->isEditable();
    return qobject_cast<const QAbstractSpinBox *>(w) != nullptr;
}

bool canTakeKeys(const QWidget *w, const QWidget *window)
{
    return w && w->window() == window && w->isVisible() && w->isEnabled();
}

void noteWhereLeft(QLineEdit *line)
{
    if (!line)
        return;
    const int cursor = line->cursorPosition();
    const int anchor = !line->hasSelectedText()             ? cursor
                       : cursor == line->selectionStart() ? line->selectionEnd()
                                                          : line->selectionStart();
    line->setProperty(kLeftAt, QVariantList{line->text(), anchor, cursor});
}

// Notes on its window each field that takes the keys (a combo box's line passes them on to it).
class FieldFollower : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // Seen before the line itself takes it.
        if (event->type() == QEvent::FocusOut)
            noteWhereLeft(qobject_cast<QLineEdit *>(watched));
        if (event->type() == QEvent::FocusIn && watched->isWidgetType()) {
            auto *w = static_cast<QWidget *>(watched);
            if (isField(w) || (w->focusProxy() && isField(w->focusProxy())))
                w->window()->setProperty(kLastField, QVariant::fromValue(QPointer<QWidget>(w)));
        }
        return false;
    }
};

void followFields()
{
    qApp->installEventFilter(new FieldFollower(qApp));
}
} // namespace

Q_COREAPP_STARTUP_FUNCTION(followFields)

KeysBack::KeysBack(QWidget *window) : m_window(window), m_keys(window ? window->focusWidget() : nullptr)
{
    noteWhereLeft(qobject_cast<QLineEdit *>(m_keys.data()));
}

QWidget *KeysBack::lastField(const QWidget *window)
{
    return window ? window->property(kLastField).value<QPointer<QWidget>>().data() : nullptr;
}

void KeysBack::giveBack()
{
    if (!m_window || !m_window->isVisible())
        return;
    QWidget *keys = m_keys;
    if (!canTakeKeys(keys, m_window) || qobject_cast<QAbstractButton *>(keys)) {
        // A dialog without a field takes them itself, where Return presses its default button as
        // before any button had the keys: not the button that began what was asked, which Return
        // would begin again, nor its first control, where they go when work done meanwhile (the
        // dialog disabled under a progress window) took them from it.
        if (QWidget *field = lastField(m_window); canTakeKeys(field, m_window))
            keys = field;
        else if (qobject_cast<QDialog *>(m_window.data()))
            keys = m_window;
    }
    if (!canTakeKeys(keys, m_window))
        return;
    keys->setFocus(Qt::OtherFocusReason);
    auto *line = qobject_cast<QLineEdit *>(keys);
    if (!line)
        return;
    if (ProposedText::proposes(line)) {
        line->selectAll();
        return;
    }
    // The teacher's own text: the cursor, and the selection, where the teacher left them.
    const QVariantList leftAt = line->property(kLeftAt).toList();
    if (leftAt.size() == 3 && leftAt.at(0).toString() == line->text()) {
        const int anchor = leftAt.at(1).toInt();
        line->setSelection(anchor, leftAt.at(2).toInt() - anchor);
    }
}

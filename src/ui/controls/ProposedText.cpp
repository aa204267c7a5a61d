#include "ProposedText.h"

#include <QEvent>
#include <QLineEdit>

namespace {
const QString kWatcherName = QStringLiteral("proposedText");

ProposedText *watcherOf(const QLineEdit *field)
{
    return field ? field->findChild<ProposedText *>(kWatcherName, Qt::FindDirectChildrenOnly) : nullptr;
}
} // namespace

ProposedText::ProposedText(QLineEdit *field) : QObject(field), m_field(field)
{
    setObjectName(kWatcherName);
    field->installEventFilter(this);
    connect(field, &QLineEdit::textEdited, this, [this] { m_touched = true; });
}

void ProposedText::propose(QLineEdit *field, const QString &text)
{
    ProposedText *watcher = watcherOf(field);
    if (!watcher)
        watcher = new ProposedText(field);
    watcher->m_text = text;
    watcher->m_touched = false;
    field->setText(text);
    field->selectAll();
}

bool ProposedText::proposes(const QLineEdit *field)
{
    const ProposedText *watcher = watcherOf(field);
    return watcher && !watcher->m_touched && field->text() == watcher->m_text;
}

bool ProposedText::eventFilter(QObject *watched, QEvent *event)
{
    // The field is shown as its window opens (the first time or again). A page of a window
    // already in front that shows the field leaves the keys where they are.
    if (watched == m_field && event->type() == QEvent::Show && m_field->isEnabled() && !m_field->isReadOnly()
        && !m_field->window()->isActiveWindow()) {
        m_field->setFocus(Qt::OtherFocusReason);
        m_field->selectAll();
    }
    return QObject::eventFilter(watched, event);
}

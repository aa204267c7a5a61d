#include "ProposedText.h"

#include <QEvent>
#include <QLineEdit>

namespace {
const QString kWatcherName = QStringLiteral("proposedText");
} // namespace

ProposedText::ProposedText(QLineEdit *field) : QObject(field), m_field(field)
{
    setObjectName(kWatcherName);
    field->installEventFilter(this);
}

void ProposedText::propose(QLineEdit *field, const QString &text)
{
    field->setText(text);
    field->selectAll();
    if (!proposes(field))
        new ProposedText(field);
}

bool ProposedText::proposes(const QLineEdit *field)
{
    return field && field->findChild<ProposedText *>(kWatcherName, Qt::FindDirectChildrenOnly);
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

#include "FieldLeave.h"

#include <QFocusEvent>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>

FieldLeave::FieldLeave(QLineEdit *field) : QObject(field), m_field(field)
{
    field->installEventFilter(this);
    connect(field, &QLineEdit::returnPressed, this, &FieldLeave::left);
}

void FieldLeave::stay()
{
    if (m_field->hasFocus()) {
        m_field->selectAll();
        return;
    }
    // The focus is on its way elsewhere (the leaving click or Tab): taking it back at once
    // would leave the field focused but without its cursor.
    QTimer::singleShot(0, m_field, [field = QPointer<QLineEdit>(m_field)] {
        if (!field || !field->isVisible())
            return;
        field->setFocus(Qt::OtherFocusReason);
        field->selectAll();
    });
}

bool FieldLeave::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_field && event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        // Hidden: its page or its window went, which is no choice of the teacher's.
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason && m_field->isVisible())
            emit left();
    }
    return QObject::eventFilter(watched, event);
}

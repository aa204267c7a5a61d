#include "AddressTextView.h"

#include <QKeyEvent>
#include <QMimeData>

AddressTextView::AddressTextView(int maxLength, QWidget *parent) : LimitedTextView(parent), m_maxLength(maxLength) {}

bool AddressTextView::acceptsInsertion(const QString &text) const
{
    const qsizetype kept = toPlainText().size() - textCursor().selectedText().size();
    return kept + text.size() <= m_maxLength && !text.contains(QLatin1Char('\''));
}

void AddressTextView::keyPressEvent(QKeyEvent *event)
{
    const QString typed = event->text();
    if (!typed.isEmpty() && typed.at(0).isPrint() && !acceptsInsertion(typed)) {
        event->accept();
        return;
    }
    LimitedTextView::keyPressEvent(event);
}

void AddressTextView::insertFromMimeData(const QMimeData *source)
{
    if (source && source->hasText() && !acceptsInsertion(singleLine(source->text())))
        return;
    LimitedTextView::insertFromMimeData(source);
}

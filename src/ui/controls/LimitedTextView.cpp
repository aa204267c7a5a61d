#include "LimitedTextView.h"

#include <QKeyEvent>
#include <QMimeData>

LimitedTextView::LimitedTextView(QWidget *parent) : QPlainTextEdit(parent)
{
    setTabChangesFocus(true);
}

void LimitedTextView::insertText(const QString &text)
{
    if (text == QLatin1String("\n"))
        return;
    insertPlainText(singleLine(text));
}

QString LimitedTextView::singleLine(const QString &text)
{
    // A carriage return would start a second line in this view just as a line feed does, so a
    // pasted CR LF, CR or LF each becomes one blank.
    QString out = text;
    out.replace(QLatin1String("\r\n"), QLatin1String(" "));
    out.replace(QLatin1Char('\r'), QLatin1Char(' '));
    out.replace(QLatin1Char('\n'), QLatin1Char(' '));
    out.replace(QChar::ParagraphSeparator, QLatin1Char(' '));
    out.replace(QChar::LineSeparator, QLatin1Char(' '));
    return out;
}

void LimitedTextView::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void LimitedTextView::insertFromMimeData(const QMimeData *source)
{
    if (!source || !source->hasText())
        return;
    insertPlainText(singleLine(source->text()));
}

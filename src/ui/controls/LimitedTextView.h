#pragma once

#include <QPlainTextEdit>

// A text view that holds one line: Return inserts nothing and pasted line breaks become blanks.
// The address fields of the class, student and teacher editors use it.
class LimitedTextView : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit LimitedTextView(QWidget *parent = nullptr);

    // Typed text: a lone line feed (Return) is dropped; line breaks inside a text become blanks.
    void insertText(const QString &text);
    // Plain text as pasted: every line break becomes one blank.
    static QString singleLine(const QString &text);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void insertFromMimeData(const QMimeData *source) override;
};

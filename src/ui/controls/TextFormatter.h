#pragma once

#include <QString>
#include <QValidator>

// Base of the text-field formatters. A field's formatter sees each edit as the proposed whole text
// plus the characters just typed; it accepts, rejects, or rejects and puts a replacement text in
// the field. As a QValidator it remembers the field's committed text (kept current by
// attachTo()) to tell the typed characters from the ones already there.
class TextFormatter : public QValidator
{
    Q_OBJECT
public:
    struct Verdict
    {
        bool accepted = true;
        QString replacement; // non-null: the field shows this text instead
        QString error;       // why the edit was refused, when the formatter says
    };

    using QValidator::QValidator;

    // The partial-text check: proposed is the whole text after the edit; typed the characters
    // from the start of the old selection to the caret after the edit (empty for a deletion).
    virtual Verdict isPartialStringValid(const QString &proposed, const QString &typed) const = 0;

    State validate(QString &input, int &pos) const override;
    // The error text of the last refused edit ("" when none was given).
    QString lastError() const { return m_lastError; }

    // Makes this the formatter of field (replacing any other) and follows its committed text.
    void attachTo(class QLineEdit *field);

    // Value of the text read as a decimal integer after optional blanks and a sign, stopping at
    // the first other character; 0 without digits; clamped to the 32-bit range.
    static int leadingInteger(const QString &text);
    // The characters typed by an edit from committed to proposed with the caret at pos.
    static QString typedCharacters(const QString &committed, const QString &proposed, int pos);

protected:
    // The field's text before the edit being judged (empty until attachTo()).
    const QString &committedText() const { return m_committed; }

private:
    mutable QString m_lastError;
    QString m_committed;
};

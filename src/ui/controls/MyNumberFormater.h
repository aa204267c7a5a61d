#pragma once

#include <QValidator>

// Accepts an edit only when the text typed holds decimal digits; deleting is always accepted.
class MyNumberFormater : public QValidator
{
    Q_OBJECT
public:
    using QValidator::QValidator;
    State validate(QString &input, int &pos) const override;
    // The error text shown when an edit is refused.
    static QString errorDescription() { return QStringLiteral("not decimal"); }
};

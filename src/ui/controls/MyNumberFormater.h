#pragma once

#include "ui/controls/TextFormatter.h"

// Accepts an edit only when the characters typed are decimal digits; deleting is always accepted.
class MyNumberFormater : public TextFormatter
{
    Q_OBJECT
public:
    using TextFormatter::TextFormatter;
    Verdict isPartialStringValid(const QString &proposed, const QString &typed) const override;
    // The error text of a refused edit.
    static QString errorDescription() { return QStringLiteral("not decimal"); }
};

#include "TextFormatter.h"

#include "core/store/GlobalFunctions.h"

#include <QLineEdit>

#include <algorithm>

int TextFormatter::leadingInteger(const QString &text)
{
    return GlobalFunctions::intValue(text);
}

QString TextFormatter::typedCharacters(const QString &committed, const QString &proposed, int pos)
{
    qsizetype prefix = 0;
    const qsizetype n = std::min(committed.size(), proposed.size());
    while (prefix < n && committed.at(prefix) == proposed.at(prefix))
        ++prefix;
    const qsizetype start = std::min<qsizetype>(prefix, pos);
    if (pos <= start)
        return QString();
    return proposed.mid(start, pos - start);
}

QValidator::State TextFormatter::validate(QString &input, int &pos) const
{
    const Verdict v = isPartialStringValid(input, typedCharacters(m_committed, input, pos));
    m_lastError = v.error;
    if (v.accepted)
        return Acceptable;
    if (!v.replacement.isNull()) {
        input = v.replacement;
        pos = int(input.size());
        return Acceptable;
    }
    return Invalid;
}

void TextFormatter::attachTo(QLineEdit *field)
{
    if (!parent())
        setParent(field);
    m_committed = field->text();
    field->setValidator(this);
    connect(field, &QLineEdit::textChanged, this, [this](const QString &t) { m_committed = t; });
}

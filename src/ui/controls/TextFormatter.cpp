#include "TextFormatter.h"

#include <QLineEdit>

#include <algorithm>
#include <limits>

int TextFormatter::leadingInteger(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && (text.at(i) == QLatin1Char(' ') || text.at(i) == QLatin1Char('\t')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text.at(i) >= QLatin1Char('0') && text.at(i) <= QLatin1Char('9'); ++i) {
        value = value * 10 + (text.at(i).unicode() - '0');
        if (value > (1LL << 32))
            value = 1LL << 32; // far enough past the range to clamp either way
    }
    if (negative)
        value = -value;
    value = std::clamp<long long>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    return int(value);
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

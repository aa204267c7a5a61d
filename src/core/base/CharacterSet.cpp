#include "CharacterSet.h"

#include <QChar>
#include <QList>

bool CharacterSet::contains(char32_t c) const
{
    bool in = false;
    switch (m_kind) {
    case Literal: in = m_chars.toUcs4().contains(uint(c)); break;
    case DecimalDigits: in = QChar::category(c) == QChar::Number_DecimalDigit; break;
    case Alphanumerics: in = QChar::isLetterOrNumber(c) || QChar::isMark(c); break;
    }
    return in != m_inverted;
}

bool CharacterSet::intersects(const QString &text) const
{
    for (uint c : text.toUcs4())
        if (contains(c))
            return true;
    return false;
}

bool CharacterSet::containsAll(const QString &text) const
{
    for (uint c : text.toUcs4())
        if (!contains(c))
            return false;
    return true;
}

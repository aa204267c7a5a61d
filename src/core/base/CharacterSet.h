#pragma once

#include <QString>

// A set of characters for the text-field formatters and the import rules: a literal list, the
// decimal digits (Unicode Nd) or the alphanumerics (Unicode L, M and N), possibly complemented.
class CharacterSet
{
public:
    enum Kind { Literal, DecimalDigits, Alphanumerics };

    CharacterSet() = default;
    static CharacterSet characters(const QString &chars) { return CharacterSet(Literal, chars, false); }
    static CharacterSet decimalDigits() { return CharacterSet(DecimalDigits, {}, false); }
    static CharacterSet alphanumerics() { return CharacterSet(Alphanumerics, {}, false); }
    CharacterSet inverted() const { return CharacterSet(m_kind, m_chars, !m_inverted); }

    bool contains(char32_t c) const;
    // True when any character of text is in the set.
    bool intersects(const QString &text) const;
    // True when every character of text is in the set.
    bool containsAll(const QString &text) const;

    bool operator==(const CharacterSet &o) const = default;

private:
    CharacterSet(Kind kind, const QString &chars, bool inverted) : m_kind(kind), m_chars(chars), m_inverted(inverted) {}
    Kind m_kind = Literal;
    QString m_chars;
    bool m_inverted = false;
};

#include "TextBytes.h"

#include <utility>

namespace {

using Kind = TextBytes::Kind;

// UTF-16 without a byte-order mark is taken where at least one character in this many lies
// below U+0100: the files imported (CSV, XML) hold a separator, a line end or markup among every
// few characters, whatever their language.
constexpr qsizetype kMostCharactersPerLatin = 8;

int unitBytes(Kind kind)
{
    return kind == Kind::Utf32LE || kind == Kind::Utf32BE ? 4 : 2;
}

// The code units of the bytes, each of unit bytes in the kind's byte order.
char32_t unitAt(const QByteArrayView bytes, qsizetype at, Kind kind)
{
    const int unit = unitBytes(kind);
    const bool bigEndian = kind == Kind::Utf16BE || kind == Kind::Utf32BE;
    char32_t value = 0;
    for (int i = 0; i < unit; ++i) {
        const char32_t byte = uchar(bytes.at(at + (bigEndian ? i : unit - 1 - i)));
        value = (value << 8) | byte;
    }
    return value;
}

// Characters that text holds: no NUL or other control character but tab, line feed, form feed and
// carriage return (C1 controls included), surrogates only in pairs, no noncharacter U+FFFE or
// U+FFFF (the reversed byte-order mark).
bool holdsOnlyText(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (c < 0x20 && c != u'\t' && c != u'\n' && c != u'\f' && c != u'\r')
            return false;
        if ((c >= 0x7F && c <= 0x9F) || c == 0xFFFE || c == 0xFFFF)
            return false;
        if (QChar::isLowSurrogate(c))
            return false;
        if (QChar::isHighSurrogate(c)) {
            if (i + 1 >= text.size() || !text.at(i + 1).isLowSurrogate())
                return false;
            ++i;
        }
    }
    return true;
}

// Decoded here rather than by QStringDecoder, which takes a UTF-32 unit past U+10FFFF or a
// surrogate without an error.
bool decodesAsText(const QByteArray &bytes, int from, Kind kind, QString *text = nullptr)
{
    const QByteArrayView body = QByteArrayView(bytes).sliced(from);
    const int unit = unitBytes(kind);
    if (body.size() % unit != 0)
        return false;
    QString decoded;
    decoded.reserve(body.size() / unit);
    for (qsizetype at = 0; at < body.size(); at += unit) {
        const char32_t c = unitAt(body, at, kind);
        if (unit == 2) {
            decoded.append(QChar(char16_t(c)));
            continue;
        }
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            return false;
        if (QChar::requiresSurrogates(c))
            decoded.append(QChar(QChar::highSurrogate(c))).append(QChar(QChar::lowSurrogate(c)));
        else
            decoded.append(QChar(char16_t(c)));
    }
    if (!holdsOnlyText(decoded))
        return false;
    if (text)
        *text = std::move(decoded);
    return true;
}

// UTF-16 of Latin text holds its zeros in the high byte of each unit: at odd offsets in little
// endian, at even ones in big endian.
Kind likelierUtf16(const QByteArray &bytes)
{
    qsizetype even = 0, odd = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i)
        if (bytes.at(i) == '\0')
            ++((i % 2) ? odd : even);
    return odd >= even ? Kind::Utf16LE : Kind::Utf16BE;
}

// Pairs of 8-bit characters read as UTF-16 are mostly valid characters too: UTF-8 text with a
// stray NUL in it would pass. UTF-16 text holds its zero bytes in the characters below U+0100
// (blanks, digits, punctuation, line ends), and a file of lines and fields holds many of them.
bool zerosAreItsCharacters(const QString &text)
{
    qsizetype below = 0;
    for (QChar c : text)
        below += c.unicode() < 0x100;
    return below > 0 && below * kMostCharactersPerLatin >= text.size();
}

} // namespace

TextBytes::Look TextBytes::lookAt(const QByteArray &bytes)
{
    const auto marked = [&bytes](Kind kind, int markBytes) {
        return decodesAsText(bytes, markBytes, kind) ? Look{kind, markBytes} : Look{Kind::NotText, 0};
    };
    // UTF-32's little-endian mark begins as UTF-16's does.
    if (bytes.startsWith(QByteArray("\xFF\xFE\x00\x00", 4)))
        return marked(Kind::Utf32LE, 4);
    if (bytes.startsWith(QByteArray("\x00\x00\xFE\xFF", 4)))
        return marked(Kind::Utf32BE, 4);
    if (bytes.startsWith("\xFF\xFE"))
        return marked(Kind::Utf16LE, 2);
    if (bytes.startsWith("\xFE\xFF"))
        return marked(Kind::Utf16BE, 2);
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return bytes.contains('\0') ? Look{Kind::NotText, 0} : Look{Kind::EightBit, 3};
    if (!bytes.contains('\0'))
        return {Kind::EightBit, 0};
    QString text;
    if (decodesAsText(bytes, 0, likelierUtf16(bytes), &text) && zerosAreItsCharacters(text))
        return {likelierUtf16(bytes), 0};
    for (Kind kind : {Kind::Utf32LE, Kind::Utf32BE})
        if (decodesAsText(bytes, 0, kind))
            return {kind, 0};
    return {Kind::NotText, 0};
}

QString TextBytes::decoded(const QByteArray &bytes, const Look &look)
{
    if (look.kind == Kind::EightBit || look.kind == Kind::NotText)
        return QString();
    QString text;
    decodesAsText(bytes, look.markBytes, look.kind, &text);
    return text;
}

QString TextBytes::encodingName(Kind kind)
{
    switch (kind) {
    case Kind::Utf16LE:
    case Kind::Utf16BE: return QStringLiteral("UTF-16");
    case Kind::Utf32LE:
    case Kind::Utf32BE: return QStringLiteral("UTF-32");
    default: return QString();
    }
}

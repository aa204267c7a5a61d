#include "TextBytes.h"

#include <QCoreApplication>

#include <algorithm>

namespace {

using Kind = TextBytes::Kind;
using Fault = TextBytes::Fault;

int unitBytes(Kind kind)
{
    return kind == Kind::Utf32LE || kind == Kind::Utf32BE ? 4 : 2;
}

// The code unit of unit bytes at the offset, in the kind's byte order.
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

// Line and column as an editor counts them, moved on one character at a time. A carriage return
// followed by a line feed ends one line.
class Place
{
public:
    void pass(char32_t c)
    {
        if (c == u'\n' && m_afterCR) {
            m_afterCR = false;
            return;
        }
        m_afterCR = c == u'\r';
        if (c == u'\n' || c == u'\r') {
            ++m_line;
            m_column = 1;
        } else {
            ++m_column;
        }
    }
    TextBytes::Look fail(Kind readAs, Fault fault, char32_t code) const
    {
        return {.kind = Kind::NotText, .readAs = readAs, .fault = fault, .code = code, .line = m_line, .column = m_column};
    }

private:
    qsizetype m_line = 1;
    qsizetype m_column = 1;
    bool m_afterCR = false;
};

// The length of the UTF-8 sequence at the offset, or 0 where the bytes there are no UTF-8 (an
// 8-bit code page's letter: the editor shows it as one character).
int utf8Length(const QByteArrayView bytes, qsizetype at)
{
    const uchar lead = uchar(bytes.at(at));
    int length = 0;
    uchar low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (at + length > bytes.size())
        return 0;
    for (int i = 1; i < length; ++i) {
        const uchar next = uchar(bytes.at(at + i));
        if (next < (i == 1 ? low : 0x80) || next > (i == 1 ? high : 0xBF))
            return 0;
    }
    return length;
}

// 8-bit text: no byte of a control character no text holds. Such a byte is never part of a
// multi-byte character, so the bytes are only walked character by character for the column.
TextBytes::Look checkEightBit(const QByteArrayView bytes, int from)
{
    Place place;
    for (qsizetype at = from; at < bytes.size();) {
        const uchar b = uchar(bytes.at(at));
        if (TextBytes::isForeignControl(b))
            return place.fail(Kind::EightBit, b == 0 ? Fault::Zero : Fault::Control, b);
        if (b < 0x80) {
            place.pass(b);
            ++at;
            continue;
        }
        const int length = utf8Length(bytes, at);
        place.pass(0xFFFD);
        at += std::max(length, 1);
    }
    return {Kind::EightBit, from};
}

// UTF-16 or UTF-32: every unit decodes to a character that text holds. The text is kept when asked.
TextBytes::Look checkWide(const QByteArrayView bytes, int from, Kind kind, QString *text = nullptr)
{
    const int unit = unitBytes(kind);
    Place place;
    const qsizetype end = bytes.size() - (bytes.size() - from) % unit;
    for (qsizetype at = from; at < end; at += unit) {
        char32_t c = unitAt(bytes, at, kind);
        if (unit == 2 && QChar::isHighSurrogate(c) && at + 2 < end && QChar::isLowSurrogate(unitAt(bytes, at + 2, kind))) {
            c = QChar::surrogateToUcs4(char16_t(c), char16_t(unitAt(bytes, at + 2, kind)));
            at += 2;
        }
        if (c == 0 || TextBytes::isForeignControl(c))
            return place.fail(kind, c == 0 ? Fault::Zero : Fault::Control, c);
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF) || c == 0xFFFE || c == 0xFFFF)
            return place.fail(kind, Fault::Undecodable, c);
        place.pass(c);
        if (text) {
            if (QChar::requiresSurrogates(c))
                text->append(QChar(QChar::highSurrogate(c))).append(QChar(QChar::lowSurrogate(c)));
            else
                text->append(QChar(char16_t(c)));
        }
    }
    // A file that ends inside a unit.
    if (end < bytes.size())
        return place.fail(kind, Fault::Undecodable, 0);
    return {kind, from};
}

// Read in units of the kind, the characters below U+0100 but NUL, whose high bytes are the file's
// zeros when it is text in that encoding.
qsizetype latinCharacters(const QByteArrayView bytes, Kind kind)
{
    const int unit = unitBytes(kind);
    qsizetype latin = 0;
    for (qsizetype at = 0; at + unit <= bytes.size(); at += unit) {
        const char32_t c = unitAt(bytes, at, kind);
        latin += c != 0 && c < 0x100;
    }
    return latin;
}

bool enoughEvidence(const QByteArrayView bytes, Kind kind, qsizetype latin)
{
    const qsizetype units = bytes.size() / unitBytes(kind);
    return latin >= TextBytes::kLeastLatinCharacters && latin * TextBytes::kMostCharactersPerLatin >= units;
}

// The encoding that zero bytes without a byte-order mark stand for: UTF-32 (whose characters hold
// two zero bytes or more), else UTF-16 in the byte order whose high bytes hold the zeros, each only
// with enough evidence; otherwise 8-bit text with zero bytes in it, which is no text.
Kind encodingOfZeros(const QByteArrayView bytes)
{
    for (Kind kind : {Kind::Utf32LE, Kind::Utf32BE})
        if (enoughEvidence(bytes, kind, latinCharacters(bytes, kind)))
            return kind;
    const qsizetype little = latinCharacters(bytes, Kind::Utf16LE);
    const qsizetype big = latinCharacters(bytes, Kind::Utf16BE);
    const Kind kind = little >= big ? Kind::Utf16LE : Kind::Utf16BE;
    return enoughEvidence(bytes, kind, std::max(little, big)) ? kind : Kind::EightBit;
}

QString tr(const char *text)
{
    return QCoreApplication::translate("TextBytes", text);
}

} // namespace

TextBytes::Look TextBytes::lookAt(const QByteArray &bytes)
{
    const QByteArrayView view(bytes);
    // UTF-32's little-endian mark begins as UTF-16's does.
    if (bytes.startsWith(QByteArray("\xFF\xFE\x00\x00", 4)))
        return checkWide(view, 4, Kind::Utf32LE);
    if (bytes.startsWith(QByteArray("\x00\x00\xFE\xFF", 4)))
        return checkWide(view, 4, Kind::Utf32BE);
    if (bytes.startsWith("\xFF\xFE"))
        return checkWide(view, 2, Kind::Utf16LE);
    if (bytes.startsWith("\xFE\xFF"))
        return checkWide(view, 2, Kind::Utf16BE);
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return checkEightBit(view, 3);
    if (!bytes.contains('\0'))
        return checkEightBit(view, 0);
    const Kind kind = encodingOfZeros(view);
    return kind == Kind::EightBit ? checkEightBit(view, 0) : checkWide(view, 0, kind);
}

QString TextBytes::decoded(const QByteArray &bytes, const Look &look)
{
    if (look.kind == Kind::EightBit || look.kind == Kind::NotText)
        return QString();
    QString text;
    checkWide(QByteArrayView(bytes), look.markBytes, look.kind, &text);
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

QString TextBytes::faultText(const Look &look)
{
    const QString where = tr("line %1, column %2").arg(look.line).arg(look.column);
    const bool wide = look.readAs != Kind::EightBit;
    const QString code = (wide ? QStringLiteral("U+") : QStringLiteral("0x"))
                         + QStringLiteral("%1").arg(uint(look.code), wide ? 4 : 2, 16, QLatin1Char('0')).toUpper();
    switch (look.fault) {
    case Fault::Zero:
        return wide ? tr("%1 holds the character U+0000, which no text holds (the file is read as %2)")
                          .arg(where, encodingName(look.readAs))
                    : tr("%1 holds a zero byte, which no text holds").arg(where);
    case Fault::Control:
        return wide ? tr("%1 holds the control character %2, which no text holds (the file is read as %3)")
                          .arg(where, code, encodingName(look.readAs))
                    : tr("%1 holds the control character %2, which no text holds").arg(where, code);
    case Fault::Undecodable:
        return tr("%1 holds bytes that are no %2 character").arg(where, encodingName(look.readAs));
    case Fault::None: break;
    }
    return QString();
}

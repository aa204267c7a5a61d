#pragma once

#include <QByteArray>
#include <QString>

// What a file's bytes are as text, told before an importer decodes them: the one rule by which the
// roster's CSV import and the session import tell a text written in UTF-16 or UTF-32 from a file
// that is no text at all (a workbook, an archive, a picture, a compressed file).
//
// A byte-order mark names its encoding. Without one, a file that holds no zero byte is taken as
// 8-bit text (UTF-8 or a code page: its reader decides). Zero bytes are text only where UTF-16 or
// UTF-32 explains them: the UTF-16 byte order is the one whose high bytes hold the zeros, and the
// whole file must then decode in that encoding to characters that text holds (no NUL, no control
// character but tab, line feed, form feed and carriage return, no lone surrogate, no noncharacter),
// of which, for UTF-16, at least one in 8 lies below U+0100 (the characters whose zero bytes they
// are: the separators, line ends and markup of a CSV or XML file, in any language), so that 8-bit
// text with a stray NUL is not taken for UTF-16.
// A file whose mark names an encoding its bytes do not decode in is no text either.
class TextBytes
{
public:
    enum class Kind { EightBit, Utf16LE, Utf16BE, Utf32LE, Utf32BE, NotText };
    struct Look
    {
        Kind kind = Kind::EightBit;
        int markBytes = 0; // the byte-order mark's length; 0 without one
    };

    static Look lookAt(const QByteArray &bytes);
    // The text of a file in one of the UTF-16 and UTF-32 kinds, without its mark; empty for the
    // other kinds.
    static QString decoded(const QByteArray &bytes, const Look &look);
    // "UTF-16" or "UTF-32" for those kinds, "" for the others.
    static QString encodingName(Kind kind);
};

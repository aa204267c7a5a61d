#pragma once

#include <QByteArray>
#include <QString>

// What a file's bytes are as text, told before an importer decodes them: the one rule by which the
// roster's CSV import and the session import tell the encoding of a text, and a text from a file
// that is no text at all (a workbook, an archive, a picture, a compressed file, or a text damaged by
// a stray byte).
//
// The encoding: a byte-order mark names it (UTF-8, UTF-16 or UTF-32, either byte order). Without
// one, a file whose zero bytes UTF-32 or UTF-16 explains is taken in that encoding only with enough
// evidence: at least kLeastLatinCharacters characters below U+0100 (the separators, line ends and
// markup of a CSV or XML file, whose high bytes are the zeros), and at least one character in
// kMostCharactersPerLatin; every other file is 8-bit text (UTF-8 or a code page: its reader
// decides). So one stray zero byte never turns a short file into garbled UTF-16.
//
// The characters text holds, the same in every encoding: no control character but tab, line feed,
// form feed and carriage return (no NUL, no vertical tab, no Ctrl-Z). DEL is text: XML takes it, and
// Pollix's own session files and CSV exports hold it where a keypad's text did. In UTF-16 and UTF-32
// the text must also decode: surrogates only in pairs, no noncharacter U+FFFE or U+FFFF, no unit
// past U+10FFFF, no unit cut off by the file's end. Characters U+0080 to U+009F are left to the
// reader, since bytes 0x80 to 0x9F are letters and signs in the Windows code page.
//
// A file that fails is NotText, with the first byte or character that fails and its place: the
// line (lines end at a line feed, a carriage return, or both together) and the column, counted in
// characters from 1 as an editor shows them (a tab is one; the byte-order mark is none; an 8-bit
// byte that is no UTF-8 is one).
class TextBytes
{
public:
    enum class Kind { EightBit, Utf16LE, Utf16BE, Utf32LE, Utf32BE, NotText };
    enum class Fault { None, Zero, Control, Undecodable };
    struct Look
    {
        Kind kind = Kind::EightBit;
        int markBytes = 0; // the byte-order mark's length; 0 without one
        // For NotText: the encoding the bytes were read in, what failed first and where.
        Kind readAs = Kind::EightBit;
        Fault fault = Fault::None;
        char32_t code = 0; // the byte (8-bit) or the character's code
        qsizetype line = 0;
        qsizetype column = 0;
    };

    static constexpr qsizetype kLeastLatinCharacters = 4;
    static constexpr qsizetype kMostCharactersPerLatin = 8;

    static Look lookAt(const QByteArray &bytes);
    // A control character that text holds: tab, line feed, form feed, carriage return.
    static bool isTextControl(char32_t c) { return c == u'\t' || c == u'\n' || c == u'\f' || c == u'\r'; }
    // A character no text holds: any other control character below U+0020.
    static bool isForeignControl(char32_t c) { return c < 0x20 && !isTextControl(c); }
    // The text of a file in one of the UTF-16 and UTF-32 kinds, without its mark; empty for the
    // other kinds.
    static QString decoded(const QByteArray &bytes, const Look &look);
    // "UTF-16" or "UTF-32" for those kinds, "" for the others.
    static QString encodingName(Kind kind);
    // Where a NotText file fails and why, for a teacher to mend it: "line 2, column 4 holds a zero
    // byte, which no text holds"; "" for a file that is text.
    static QString faultText(const Look &look);
};

#include "core/base/TextBytes.h"
#include "core/reports/SessionImport.h"
#include "core/roster/CSVOperator.h"
#include "core/roster/ImportItemsForStudent.h"
#include "core/roster/ImportPreviewState.h"
#include "core/store/GlobalFunctions.h"
#include "support/PollixTest.h"
#include "support/ZipFixture.h"

#include <QBuffer>
#include <QFile>
#include <QImage>

#include <zlib.h>

#include <functional>

namespace {

// text in UTF-16 or UTF-32, in the byte order asked, with its byte-order mark or without.
QByteArray encoded(const QString &text, int unit, bool bigEndian, bool mark)
{
    QByteArray out;
    const auto put = [&](char32_t c) {
        for (int i = 0; i < unit; ++i) {
            const int shift = 8 * (bigEndian ? unit - 1 - i : i);
            out.append(char((c >> shift) & 0xFF));
        }
    };
    if (mark)
        put(0xFEFF);
    if (unit == 2) {
        for (QChar c : text)
            put(c.unicode());
    } else {
        for (char32_t c : text.toUcs4())
            put(c);
    }
    return out;
}

QByteArray gzipped(const QByteArray &bytes)
{
    z_stream stream{};
    // 16 over the window bits: a gzip member, as the gzip command writes it.
    EXPECT_EQ(deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY), Z_OK);
    QByteArray out(int(deflateBound(&stream, uLong(bytes.size()))) + 32, '\0');
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(bytes.constData()));
    stream.avail_in = uInt(bytes.size());
    stream.next_out = reinterpret_cast<Bytef *>(out.data());
    stream.avail_out = uInt(out.size());
    EXPECT_EQ(deflate(&stream, Z_FINISH), Z_STREAM_END);
    out.resize(qsizetype(stream.total_out));
    deflateEnd(&stream);
    return out;
}

QByteArray picture()
{
    QImage image(64, 48, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x * 4, y * 5, (x * y) % 256));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, "PNG"));
    return png;
}

// The text with one NUL put in past its first line, as a damaged file holds it, at an odd offset
// and in a file of even length: where UTF-16 little endian holds its zero bytes.
QByteArray strayNul(QByteArray utf8)
{
    const qsizetype at = (utf8.indexOf('\n') + 2) | 1;
    utf8.insert(at, '\0');
    if (utf8.size() % 2)
        utf8.append('\n');
    return utf8;
}

// A literal's bytes, zero bytes in it included.
template <qsizetype N>
QByteArray bytesOf(const char (&text)[N])
{
    return QByteArray(text, N - 1);
}

class TextBytesTest : public PollixTest
{
};
} // namespace

// One rule tells text from other bytes for both importers that take a file a teacher chooses: the
// session import (UTF-8 XML only, every other text refused with advice that works) and the roster's
// CSV import (which reads UTF-8, UTF-16 and UTF-32). A file that is no text is told as such by both.
TEST_F(TextBytesTest, BothImportersTellTextFromOtherBytesByOneRule)
{
    const QByteArray session = testData(QStringLiteral("reports/student-session/input.xml"));
    const QString roster = QString::fromUtf8("Device NO.,Student ID,First Name\r\n1,S1,Łucja\r\n2,S2,李\r\n");
    enum class Is { Utf8, Utf16, Utf32, NotText };
    struct Case
    {
        const char *name;
        std::function<QByteArray(const QByteArray &utf8)> bytes;
        Is is;
    };
    QTemporaryDir folder;
    const auto zipped = [&folder](const QByteArray &utf8) {
        return readFile(makeZipArchive(folder.filePath(QStringLiteral("packed.zip")), {{"session.xml", utf8}}));
    };
    const auto utf = [](int unit, bool bigEndian, bool mark) {
        return [=](const QByteArray &utf8) { return encoded(QString::fromUtf8(utf8), unit, bigEndian, mark); };
    };
    const QList<Case> cases{
        {"UTF-8", [](const QByteArray &utf8) { return utf8; }, Is::Utf8},
        {"UTF-8 with its mark", [](const QByteArray &utf8) { return "\xEF\xBB\xBF" + utf8; }, Is::Utf8},
        {"UTF-16 LE with its mark", utf(2, false, true), Is::Utf16},
        {"UTF-16 BE with its mark", utf(2, true, true), Is::Utf16},
        {"UTF-16 LE", utf(2, false, false), Is::Utf16},
        {"UTF-16 BE", utf(2, true, false), Is::Utf16},
        {"UTF-32 LE with its mark", utf(4, false, true), Is::Utf32},
        {"UTF-32 BE", utf(4, true, false), Is::Utf32},
        {"zip", zipped, Is::NotText},
        {"picture", [](const QByteArray &) { return picture(); }, Is::NotText},
        {"gzip", [](const QByteArray &utf8) { return gzipped(utf8); }, Is::NotText},
        {"UTF-16 cut to an odd length", [&](const QByteArray &utf8) { return utf(2, false, false)(utf8).chopped(1); },
         Is::NotText},
        {"UTF-8 with a stray NUL", [](const QByteArray &utf8) { return strayNul(utf8); }, Is::NotText},
    };
    const QString noText = QStringLiteral("This is not a session file: it holds bytes that no text holds, as an archive, "
                                          "a picture or a compressed file does. Choose the session file itself; one "
                                          "packed in an archive or compressed is unpacked first.");
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString sessionFile = folder.filePath(QStringLiteral("session.xml"));
        const QString csvFile = folder.filePath(QStringLiteral("roster.csv"));
        for (const auto &[path, bytes] : {std::pair{sessionFile, c.bytes(session)}, std::pair{csvFile, c.bytes(roster.toUtf8())}}) {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(bytes);
        }

        QString reason;
        const std::optional<SessionImport::Checked> checked = SessionImport::check(sessionFile, &reason);
        EXPECT_EQ(checked.has_value(), c.is == Is::Utf8) << reason.toStdString();
        if (c.is == Is::Utf16 || c.is == Is::Utf32) {
            EXPECT_EQ(reason, QStringLiteral("The file is written in %1; session files are UTF-8 text. Save it as UTF-8 and "
                                             "import it again.")
                                  .arg(c.is == Is::Utf16 ? "UTF-16" : "UTF-32"))
                << reason.toStdString();
        }
        if (c.is == Is::NotText) {
            EXPECT_TRUE(reason.startsWith(noText)) << reason.toStdString();
        }

        CSVOperator grid;
        QString why;
        const bool read = grid.loadCSVFrom(csvFile, &why);
        EXPECT_EQ(read, c.is != Is::NotText) << why.toStdString();
        if (read) {
            ASSERT_EQ(grid.numOfRows(), 3);
            EXPECT_EQ(grid.stringAtRow(2, 3), QString::fromUtf8("Łucja"));
            EXPECT_EQ(grid.stringAtRow(3, 3), QString::fromUtf8("李"));
            EXPECT_TRUE(grid.undecodedRows().isEmpty());
        } else {
            EXPECT_EQ(why, QStringLiteral("File is not a text file.")) << why.toStdString();
        }
    }
}

// One rule for every width: the encoding is told by a byte-order mark, or by zero bytes only with
// enough evidence; the same control characters are refused in 8-bit and in 16-bit text; the first
// byte or character no text holds is placed by line and column in characters, as an editor shows it.
TEST_F(TextBytesTest, TheEncodingAndTheControlCharactersAreOneRuleInEveryWidth)
{
    using Kind = TextBytes::Kind;
    using Fault = TextBytes::Fault;
    const auto le16 = [](const QString &text, bool mark = false) { return encoded(text, 2, false, mark); };
    const auto be16 = [](const QString &text, bool mark = false) { return encoded(text, 2, true, mark); };
    const auto le32 = [](const QString &text, bool mark = false) { return encoded(text, 4, false, mark); };
    struct Case
    {
        const char *name;
        QByteArray bytes;
        Kind kind;
        Fault fault = Fault::None;
        qsizetype line = 0;
        qsizetype column = 0;
    };
    const Case cases[] = {
        // 8-bit text, and a file of 16 bytes or fewer with one zero byte: never UTF-16.
        {"8 bytes with one zero", bytesOf("abc\0defg"), Kind::NotText, Fault::Zero, 1, 4},
        {"16 bytes with one zero", bytesOf("abc\0defghijklmn"), Kind::NotText, Fault::Zero, 1, 4},
        {"a stray zero in a roster", bytesOf("Device NO.,Student ID\r\n1,S\0 1,Ann\r\n"), Kind::NotText, Fault::Zero,
         2, 4},
        {"a zero at the end", bytesOf("a,b\r\nc,d\r\n\0"), Kind::NotText, Fault::Zero, 3, 1},
        {"8-bit vertical tab", "S1,Ann\x0BLee\n", Kind::NotText, Fault::Control, 1, 7},
        {"8-bit DEL is text", "S1,Ann\x7F\n", Kind::EightBit},
        {"8-bit Ctrl-Z", "a,b\r\n\x1A", Kind::NotText, Fault::Control, 2, 1},
        {"8-bit tab and form feed", "a\tb\fc\r\n", Kind::EightBit},
        {"columns count UTF-8 characters", "\xC5\x81ucja,\xE6\x9D\x8E\x0B", Kind::NotText, Fault::Control, 1, 8},
        {"a code page's letter is one column", "Ren\xE9\x0B", Kind::NotText, Fault::Control, 1, 5},
        {"a lone carriage return ends a line", "a\rb\r\nc\x1A", Kind::NotText, Fault::Control, 3, 2},
        {"the UTF-8 mark is no column", bytesOf("\xEF\xBB\xBF" "ab\0"), Kind::NotText, Fault::Zero, 1, 3},
        // 16-bit and 32-bit text: the same characters refused.
        {"UTF-16 with its mark", le16("S1,Ann\r\n", true), Kind::Utf16LE},
        {"UTF-16 vertical tab", le16("S1,Ann\x0BLee\r\n", true), Kind::NotText, Fault::Control, 1, 7},
        {"UTF-16 DEL is text", be16("S1,Ann\r\nS2,Bo\x7F\r\n"), Kind::Utf16BE},
        {"UTF-16 vertical tab without a mark", be16("S1,Ann\r\nS2,Bo\x0B\r\n"), Kind::NotText, Fault::Control, 2, 6},
        {"UTF-16 Ctrl-Z without a mark", le16("S1,Ann\r\n\x1A"), Kind::NotText, Fault::Control, 2, 1},
        {"UTF-16 tab and form feed", le16("S1\tAnn\f\r\n", true), Kind::Utf16LE},
        {"UTF-16 cut inside a character", le16("S1,Ann", true).chopped(1), Kind::NotText, Fault::Undecodable, 1, 6},
        {"UTF-16 with a lone surrogate", le16(QStringLiteral("S1,") + QChar(0xD800) + QLatin1Char('x'), true), Kind::NotText,
         Fault::Undecodable, 1, 4},
        {"a surrogate pair is one column", le16(QString::fromUtf8("\xF0\x9F\x98\x80\x0B"), true), Kind::NotText,
         Fault::Control, 1, 2},
        {"short UTF-16 without a mark", le16("S1,Ann\r\n"), Kind::Utf16LE},
        {"UTF-16 of Chinese names without a mark", be16(QString::fromUtf8("1,S1,\xE7\x8E\x8B\xE5\xB0\x8F\xE6\x98\x8E\r\n")),
         Kind::Utf16BE},
        {"UTF-32 without a mark", le32("S1,Ann\r\n"), Kind::Utf32LE},
        {"UTF-32 vertical tab", le32("S1\x0B", true), Kind::NotText, Fault::Control, 1, 3},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const TextBytes::Look look = TextBytes::lookAt(c.bytes);
        EXPECT_EQ(int(look.kind), int(c.kind));
        EXPECT_EQ(int(look.fault), int(c.fault));
        if (c.kind == Kind::NotText) {
            EXPECT_EQ(look.line, c.line);
            EXPECT_EQ(look.column, c.column);
        }
    }
}

// Each importer names where its file fails, so that the teacher can mend it: the roster's CSV import
// beside "File is not a text file.", the session import after its advice. A session file Pollix
// wrote with a DEL in a keypad's text (written as the character itself) is still taken.
TEST_F(TextBytesTest, BothImportersNameTheFirstByteNoTextHolds)
{
    ImportPreviewState roster(ImportItemsForStudent(3).allImportItems());
    QString why;
    EXPECT_EQ(roster.loadFile(writeFile("stray.csv", bytesOf("Device NO.,Student ID,First Name\r\n1,S1,Ann\0\r\n")), &why),
              TovImportPreviewData::Unreadable);
    EXPECT_EQ(why, "File is not a text file. (line 2, column 9 holds a zero byte, which no text holds)");
    EXPECT_EQ(roster.loadFile(writeFile("tab.csv", encoded(QStringLiteral("S1,Ann\x0B\r\n"), 2, false, true)), &why),
              TovImportPreviewData::Unreadable);
    EXPECT_EQ(why, "File is not a text file. (line 1, column 7 holds the control character U+000B, which no text holds "
                   "(the file is read as UTF-16))");

    QByteArray session = testData(QStringLiteral("reports/student-session/input.xml"));
    const qsizetype line2 = session.indexOf('\n') + 1;
    const qsizetype at = session.indexOf("-session-id");
    ASSERT_GT(at, line2);
    session.insert(at, '\0');
    QString reason;
    EXPECT_FALSE(SessionImport::check(writeFile("stray.xml", session), &reason));
    EXPECT_TRUE(reason.endsWith(QStringLiteral(" unpacked first. Line 2, column %1 holds a zero byte, which no text holds.")
                                    .arg(at - line2 + 1)))
        << reason.toStdString();

    pugi::xml_document doc;
    const QByteArray sound = testData(QStringLiteral("reports/student-session/input.xml"));
    ASSERT_TRUE(doc.load_buffer(sound.constData(), size_t(sound.size())));
    doc.document_element().child("Name").text().set("Quiz \x7F one");
    const QByteArray written = GlobalFunctions::xmlData(doc);
    EXPECT_TRUE(written.contains("Quiz \x7F one")) << written.left(400).toStdString();
    EXPECT_TRUE(SessionImport::check(writeFile("written.xml", written), &reason)) << reason.toStdString();
}

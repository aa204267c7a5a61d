#include "core/reports/SessionImport.h"
#include "core/roster/CSVOperator.h"
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
            EXPECT_EQ(reason, noText) << reason.toStdString();
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

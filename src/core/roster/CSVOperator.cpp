#include "CSVOperator.h"

#include "core/base/CommonFunc.h"
#include "core/base/TextBytes.h"
#include "core/store/GlobalFunctions.h"
#include "platform/AtomicFile.h"
#include "platform/Log.h"
#include "platform/RegularFile.h"

#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QStringDecoder>

#include <unistd.h>

namespace {
const QString kCreateFailed = QStringLiteral("Create file failed");
const QString kNotWritable = QStringLiteral("File is not writable.");
const QString kNoHandle = QStringLiteral("Get file handle failed.");

bool failWith(QString *errorText, const QString &text, QString *reason, const QString &why)
{
    if (errorText)
        *errorText = text;
    if (reason)
        *reason = why;
    return false;
}

bool writableFolder(const QString &folder)
{
    return QFileInfo(folder).isDir() && ::access(QFile::encodeName(folder).constData(), W_OK | X_OK) == 0;
}

// The message for a file that could not be opened for the write: the folder refuses a new
// file, the file there refuses to be replaced, or no file handle was to be had.
QString openFailureText(const QString &path)
{
    const QFileInfo target(path);
    if (!writableFolder(target.absolutePath()))
        return kCreateFailed;
    if (target.exists() && ::access(QFile::encodeName(path).constData(), W_OK) != 0)
        return kNotWritable;
    return kNoHandle;
}
} // namespace

CSVOperator CSVOperator::CSVWithColumns(int columns)
{
    CSVOperator grid;
    grid.m_numOfColumns = columns;
    return grid;
}

CSVOperator::CSVOperator(const QList<QStringList> &rows, int columns) : arrRows(rows), m_numOfColumns(columns) {}

void CSVOperator::setString(const QString &text, int row, int column)
{
    if (column > m_numOfColumns || column < 1 || row < 1 || text.isNull())
        return;
    QString cell = text;
    cell.replace(QLatin1Char(','), QLatin1Char(' '));
    while (arrRows.size() < row)
        arrRows.append(QStringList());
    QStringList &r = arrRows[row - 1];
    while (r.size() < column)
        r.append(QString());
    r[column - 1] = cell;
}

QString CSVOperator::stringAtRow(int row, int column) const
{
    if (row < 1 || row > arrRows.size())
        return QString();
    const QStringList &r = arrRows.at(row - 1);
    if (column < 1 || column > r.size())
        return QString();
    return r.at(column - 1);
}

QString CSVOperator::encodeStringToCSV(const QString &text)
{
    QString doubled = text;
    doubled.replace(QLatin1String("\""), QLatin1String("\"\""));
    const bool edgeBlank = !doubled.isEmpty() && (doubled.front() == QLatin1Char(' ') || doubled.back() == QLatin1Char(' '));
    if (edgeBlank || text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('"')))
        return QLatin1Char('"') + doubled + QLatin1Char('"');
    return doubled;
}

QString CSVOperator::decodeStringFromCSV(const QString &text)
{
    return TrimString(text);
}

QByteArray CSVOperator::csvData() const
{
    QString out;
    for (int row = 1; row <= numOfRows(); ++row) {
        for (int column = 1; column <= m_numOfColumns; ++column) {
            out += encodeStringToCSV(stringAtRow(row, column));
            if (column < m_numOfColumns)
                out += QLatin1Char(',');
        }
        out += QLatin1String("\r\n");
    }
    QByteArray bytes = out.toUtf8();
    if (bytes.isNull())
        bytes = QByteArray("");
    return bytes;
}

bool CSVOperator::writeCSVTo(QIODevice &device, QString *errorText, QString *reason) const
{
    if (!device.isOpen() || !device.isWritable())
        return failWith(errorText, kNoHandle, reason, device.errorString());
    const QByteArray bytes = csvData();
    if (device.write(bytes) != bytes.size())
        return failWith(errorText, kNotWritable, reason, device.errorString());
    return true;
}

bool CSVOperator::saveCSVTo(const QString &path, QString *errorText, QString *reason) const
{
    if (QFileInfo(path).isDir())
        return failWith(errorText, kCreateFailed, reason, QStringLiteral("%1 is a folder").arg(path));
    // Written whole through a temporary file, so an export that fails never destroys the
    // teacher's previous file of the same name.
    QString why;
    AtomicFile::Failure step = AtomicFile::Failure::None;
    if (AtomicFile::write(path, csvData(), &why, &step))
        return true;
    return failWith(errorText, step == AtomicFile::Failure::Open ? openFailureText(path) : kNotWritable, reason, why);
}

QString CSVOperator::fromWindows1252(QByteArrayView bytes)
{
    // Qt without ICU has no decoder for the code page: Latin-1 but for the printable 0x80-0x9F
    // block.
    static const char16_t high[32] = {0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD,
                                      0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};
    QString out;
    out.reserve(bytes.size());
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        out += (b >= 0x80 && b < 0xA0) ? QChar(high[b - 0x80]) : QChar(b);
    }
    return out;
}

namespace {
// Splits at the separator outside double quotes, then drops the quotes themselves, so a quoted
// "Lee, Ann" (or "Lee; Ann" in a file of semicolons) stays one field. False, with nothing split,
// past the field limit.
bool splitLine(const QString &line, QChar separator, QStringList *fields)
{
    int separators = 0;
    bool quoted = false;
    for (QChar c : line) {
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        else if (c == separator && !quoted && ++separators >= CSVOperator::kMostFieldsPerRow)
            return false;
    }
    QString current;
    quoted = false;
    for (QChar c : line) {
        if (c == QLatin1Char('"')) {
            quoted = !quoted;
            continue;
        }
        if (c == separator && !quoted) {
            *fields << CSVOperator::decodeStringFromCSV(current);
            current.clear();
            continue;
        }
        current += c;
    }
    *fields << CSVOperator::decodeStringFromCSV(current);
    return true;
}

QChar separatorCharacter(CSVOperator::Separator separator)
{
    switch (separator) {
    case CSVOperator::Separator::Semicolon: return QLatin1Char(';');
    case CSVOperator::Separator::Tab: return QLatin1Char('\t');
    default: return QLatin1Char(',');
    }
}

// The header line decides: a roster's first line names its fields, so it holds the separator
// once per column and nothing else that looks like one.
CSVOperator::Separator recognisedSeparator(const QStringList &lines)
{
    using Separator = CSVOperator::Separator;
    for (const QString &line : lines) {
        int commas = 0, semicolons = 0, tabs = 0;
        bool quoted = false;
        for (QChar c : line) {
            if (c == QLatin1Char('"'))
                quoted = !quoted;
            else if (quoted)
                continue;
            else if (c == QLatin1Char(','))
                ++commas;
            else if (c == QLatin1Char(';'))
                ++semicolons;
            else if (c == QLatin1Char('\t'))
                ++tabs;
        }
        if (commas + semicolons + tabs == 0)
            continue;
        if (commas >= semicolons && commas >= tabs)
            return Separator::Comma;
        return semicolons >= tabs ? Separator::Semicolon : Separator::Tab;
    }
    return Separator::Comma;
}

// The lines of a text decoded whole (UTF-16, UTF-32), split at CR LF, CR or LF.
QStringList linesOf(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text.split(QLatin1Char('\n'));
}

// The lines of 8-bit text, split as linesOf splits. UTF-8 is decoded line by line, so that one
// stray byte marks its own line and no other; undecodable bytes become U+FFFD.
QStringList decodedLines(const QByteArrayView bytes, bool windows1252, QList<bool> *undecoded)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = bytes.size();
    while (start <= n) {
        qsizetype end = start;
        while (end < n && bytes.at(end) != '\n' && bytes.at(end) != '\r')
            ++end;
        const QByteArrayView line = bytes.sliced(start, end - start);
        if (windows1252) {
            lines << CSVOperator::fromWindows1252(line);
            *undecoded << false;
        } else {
            QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
            lines << utf8(line);
            *undecoded << utf8.hasError();
        }
        if (end >= n)
            break;
        start = end + ((bytes.at(end) == '\r' && end + 1 < n && bytes.at(end + 1) == '\n') ? 2 : 1);
        if (start == n)
            break;
    }
    return lines;
}
} // namespace

bool CSVOperator::loadCSVFrom(const QString &path, QString *errorText, QString *reason)
{
    auto fail = [&](const char *why, const QString &system = {}) {
        return failWith(errorText, QString::fromLatin1(why), reason, system);
    };
    const QFileInfo info(path);
    if (!info.exists() || info.isDir())
        return fail("File is not exist.", (info.isDir() ? QStringLiteral("%1 is a folder") : QStringLiteral("%1: no such file")).arg(path));
    if (::access(QFile::encodeName(path).constData(), R_OK) != 0)
        return fail("File is not readable.", QStringLiteral("%1: permission denied").arg(path));
    QFile file;
    if (QString why; !RegularFile::open(file, path, &why))
        return fail("Get file handle failed.", QStringLiteral("%1: %2").arg(path, why));
    if (file.size() > kMostFileBytes)
        return fail("File is not a text file.", QStringLiteral("%1 is larger than %2 MB").arg(path).arg(kMostFileBytes / (1024 * 1024)));
    QByteArray bytes = RegularFile::readAtMost(file, kMostFileBytes);
    if (file.error() != QFileDevice::NoError)
        return fail("File is not readable.", file.errorString());
    if (bytes.size() > kMostFileBytes)
        return fail("File is not a text file.", QStringLiteral("%1 is larger than %2 MB").arg(path).arg(kMostFileBytes / (1024 * 1024)));

    // A workbook, an archive or a picture chosen by mistake is no text; UTF-16 and UTF-32 are. The
    // reason names the first byte no text holds, so that a text with a stray one can be mended.
    const TextBytes::Look look = TextBytes::lookAt(bytes);
    if (look.kind == TextBytes::Kind::NotText)
        return fail("File is not a text file.", TextBytes::faultText(look));
    QList<bool> undecoded;
    QStringList lines;
    if (look.kind == TextBytes::Kind::EightBit) {
        lines = decodedLines(QByteArrayView(bytes).sliced(look.markBytes), m_encoding == TextEncoding::Windows1252,
                             &undecoded);
    } else {
        lines = linesOf(TextBytes::decoded(bytes, look));
        undecoded.fill(false, lines.size());
    }

    const Separator separator = m_separator == Separator::Recognised ? recognisedSeparator(lines) : m_separator;
    const QChar splitAt = separatorCharacter(separator);
    QList<QStringList> rows;
    QList<int> undecodedRows;
    int columns = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = lines.at(i);
        if (line.isEmpty())
            continue;
        // Between commas a tab stands for a semicolon, as it always has.
        if (separator == Separator::Comma)
            line.replace(QLatin1Char('\t'), QLatin1Char(';'));
        if (rows.size() >= kMostRows)
            return fail("File is not a text file.", QStringLiteral("more than %1 rows").arg(kMostRows));
        QStringList fields;
        if (!splitLine(line, splitAt, &fields))
            return fail("File is not a text file.",
                        QStringLiteral("row %1 has more than %2 fields").arg(rows.size() + 1).arg(kMostFieldsPerRow));
        columns = std::max(columns, int(fields.size()));
        rows << fields;
        if (undecoded.value(i))
            undecodedRows << int(rows.size());
    }
    arrRows = rows;
    m_numOfColumns = columns;
    m_undecodedRows = undecodedRows;
    m_separatorRead = separator;
    return true;
}

#include "CSVOperator.h"

#include "core/app/CommonFunc.h"
#include "platform/AtomicFile.h"
#include "platform/Log.h"

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

QString CSVOperator::decodeFileBytes(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    // A spreadsheet may mark its file as UTF-8 and still hold code-page bytes in it.
    const QByteArray body = bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes;
    // Spreadsheets on school machines often save CSV in the Windows code page. Qt without ICU
    // has no decoder for it, so map it here: Latin-1 but for the printable 0x80-0x9F block.
    static const char16_t high[32] = {0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD,
                                      0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};
    QString out;
    out.reserve(body.size());
    for (char ch : body) {
        const auto b = static_cast<unsigned char>(ch);
        out += (b >= 0x80 && b < 0xA0) ? QChar(high[b - 0x80]) : QChar(b);
    }
    return out;
}

namespace {
// Splits at commas outside double quotes, then drops the quotes themselves, so a quoted
// "Lee, Ann" stays one field.
QStringList splitLine(const QString &line)
{
    QStringList fields;
    QString current;
    bool quoted = false;
    for (QChar c : line) {
        if (c == QLatin1Char('"')) {
            quoted = !quoted;
            continue;
        }
        if (c == QLatin1Char(',') && !quoted) {
            fields << current;
            current.clear();
            continue;
        }
        current += c;
    }
    fields << current;
    return fields;
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
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail("Get file handle failed.", file.errorString());
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return fail("File is not readable.", file.errorString());
    // No text file holds a NUL byte; a workbook or a picture chosen by mistake does.
    if (bytes.contains('\0'))
        return fail("File is not a text file.", QStringLiteral("%1 holds binary data").arg(path));

    QString text = decodeFileBytes(bytes);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    text.replace(QLatin1Char('\t'), QLatin1Char(';'));

    QList<QStringList> rows;
    int columns = 0;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        PollixLog(line);
        if (line.isEmpty())
            continue;
        QStringList fields = splitLine(line);
        for (QString &f : fields)
            f = decodeStringFromCSV(f);
        columns = std::max(columns, int(fields.size()));
        rows << fields;
    }
    arrRows = rows;
    m_numOfColumns = columns;
    return true;
}

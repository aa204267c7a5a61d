#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class QIODevice;

// A grid of text cells written and read as CSV: every CSV export fills one and saves it, and the
// roster import reads the chosen file through it. Rows and columns are numbered from 1.
class CSVOperator
{
public:
    static CSVOperator CSVWithColumns(int columns);
    CSVOperator() = default;
    CSVOperator(const QList<QStringList> &rows, int columns);

    // Commas become blanks, since the writer never quotes a cell for a comma of its own.
    void setString(const QString &text, int row, int column);
    QString stringAtRow(int row, int column) const;
    int numOfRows() const { return int(arrRows.size()); }
    int numOfColumns() const { return m_numOfColumns; }
    void setNumOfColumns(int n) { m_numOfColumns = n; }
    const QList<QStringList> &rows() const { return arrRows; }

    // The file's bytes: every row padded to numOfColumns fields, CR LF after each row, UTF-8.
    QByteArray csvData() const;
    // Writes csvData() to an open device; false with "File is not writable." (or "Get file
    // handle failed." for a device not open for writing) in errorText and the device's own
    // words in reason.
    bool writeCSVTo(QIODevice &device, QString *errorText = nullptr, QString *reason = nullptr) const;
    // Replaces the file whole; false when it cannot, with "Create file failed" (no folder to
    // make it in, or the path is a folder), "File is not writable." (a read-only file, a disk
    // that is full) or "Get file handle failed." (no file could be opened) in errorText, and
    // the system's words (disk full, read-only, permission) in reason.
    bool saveCSVTo(const QString &path, QString *errorText = nullptr, QString *reason = nullptr) const;
    // Replaces the grid with the file's rows; a failed read leaves the grid as it was, with
    // "File is not exist.", "File is not readable.", "Get file handle failed." or "File is not a
    // text file." (bytes no text holds, as in a spreadsheet's own format) in errorText and the
    // system's words in reason.
    bool loadCSVFrom(const QString &path, QString *errorText = nullptr, QString *reason = nullptr);

    static QString encodeStringToCSV(const QString &text);
    static QString decodeStringFromCSV(const QString &text);
    // The file's text: UTF-8, or Windows-1252 when the bytes are not valid UTF-8; a leading
    // byte-order mark is dropped either way.
    static QString decodeFileBytes(const QByteArray &bytes);

private:
    QList<QStringList> arrRows;
    int m_numOfColumns = 0;
};

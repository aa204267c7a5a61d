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
    // What the reader accepts: a roster file is a few hundred kilobytes; these bounds keep a
    // damaged or hostile file from taking the machine's memory.
    static constexpr qint64 kMostFileBytes = 16 * 1024 * 1024;
    static constexpr int kMostRows = 10000;
    static constexpr int kMostFieldsPerRow = 256;

    // Replaces the grid with the file's rows; a failed read leaves the grid as it was, with
    // "File is not exist.", "File is not readable.", "Get file handle failed." or "File is not a
    // text file." (bytes no text holds, as in a spreadsheet's own format, or a file past the
    // limits above) in errorText and the system's words, the limit passed, or where the first byte
    // no text holds is (TextBytes::faultText), in reason.
    // The file is UTF-8 (a byte-order mark is dropped), or UTF-16 or UTF-32 as TextBytes tells
    // them (by a byte-order mark, or by the zero bytes of their characters). A line of a UTF-8
    // file that does not decode keeps the character U+FFFD where its bytes did not, and its row
    // number is listed in undecodedRows(): no 8-bit encoding is guessed for it.
    bool loadCSVFrom(const QString &path, QString *errorText = nullptr, QString *reason = nullptr);
    // The 1-based rows of the last read that held bytes that are not UTF-8 text.
    const QList<int> &undecodedRows() const { return m_undecodedRows; }

    // What separates the fields of a line the reader takes: commas, or the semicolons and tabs
    // that spreadsheets set to French, German and other languages write. Recognised (the
    // default) takes the one the file's first line with any of them holds most often outside
    // double quotes, commas on a tie and for a file with none. The writer always writes commas.
    enum class Separator { Recognised, Comma, Semicolon, Tab };
    void setSeparator(Separator separator) { m_separator = separator; }
    Separator separator() const { return m_separator; }
    // The separator the last read split its lines at; never Recognised.
    Separator separatorRead() const { return m_separatorRead; }

    // How the reader takes the file's bytes: Unicode (UTF-8, or UTF-16 or UTF-32) unless
    // the teacher chose the Windows code page for a file written in it.
    enum class TextEncoding { Unicode, Windows1252 };
    void setEncoding(TextEncoding encoding) { m_encoding = encoding; }
    TextEncoding encoding() const { return m_encoding; }
    static QString fromWindows1252(QByteArrayView bytes);

    static QString encodeStringToCSV(const QString &text);
    static QString decodeStringFromCSV(const QString &text);

private:
    QList<QStringList> arrRows;
    int m_numOfColumns = 0;
    QList<int> m_undecodedRows;
    TextEncoding m_encoding = TextEncoding::Unicode;
    Separator m_separator = Separator::Recognised;
    Separator m_separatorRead = Separator::Comma;
};

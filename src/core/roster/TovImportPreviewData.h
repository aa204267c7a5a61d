#pragma once

#include "CSVOperator.h"

#include <QList>
#include <QString>
#include <QStringList>

// The rows of one import file as the preview shows them. A row record holds the texts of its
// columns by key: index 0 the row's 1-based number, index k the cell of file column k (empty
// beyond the row's end); an error record has the same shape with each cell's message ("" when
// valid). The preview is the run of file rows startRow..endRow; every change to the rows keeps
// the file's list as the rows before the preview, the preview, the rows after it.
class TovImportPreviewData
{
public:
    using Row = QStringList;

    enum LoadResult { Loaded = 0, NoRows = 1, Unreadable = 2 };

    explicit TovImportPreviewData(int importingColumnCount);

    // Loaded, NoRows or Unreadable; the reader's message (and the system's reason) in errorText.
    int loadDataFromFile(const QString &path, QString *errorText);

    int numOfImportItems() const { return m_numOfImportItems; }
    int numOfFileColumns() const { return m_numOfFileColumns; }
    // The larger of the file's and the items' column counts, plus the row-number column.
    int numOfColumns() const { return m_numOfColumns; }
    int startRow() const { return m_startRow; }
    int endRow() const { return m_endRow; }
    int numOfRows() const { return int(arrAllData.size()); }

    Row newRowData() const;
    Row newErrorRowData() const;

    // The preview rows, counted from 0.
    int previewRowCount() const;
    const Row &previewRow(int i) const { return arrAllData.at(m_startRow - 1 + i); }
    const Row &previewErrorRow(int i) const { return arrAllErrors.at(m_startRow - 1 + i); }
    QString cell(int previewIndex, int column) const;
    QString error(int previewIndex, int column) const;
    void setCell(int previewIndex, int column, const QString &text);
    void setError(int previewIndex, int column, const QString &message);

    // A new first or last row: refused (false, nothing changes) when it would leave the file's
    // rows or pass the other end.
    bool setStartRow(int row);
    bool setEndRow(int row);
    // Inserts an empty row after the preview row given (-1: at the preview's end); returns the
    // new row's preview index.
    int insertRow(int afterPreviewIndex);
    // Takes the preview rows given out of the file's rows.
    void removeRows(const QList<int> &previewIndexes);

    CSVOperator csvObj;
    QList<Row> arrAllData;
    QList<Row> arrAllErrors;

private:
    void renumber();

    int m_numOfImportItems = 0;
    int m_numOfFileColumns = 0;
    int m_numOfColumns = 0;
    int m_startRow = -1;
    int m_endRow = -1;
};

#include "TovImportPreviewData.h"

#include "platform/Log.h"

#include <algorithm>

TovImportPreviewData::TovImportPreviewData(int importingColumnCount) : m_numOfImportItems(importingColumnCount) {}

int TovImportPreviewData::loadDataFromFile(const QString &path, QString *errorText)
{
    arrAllData.clear();
    arrAllErrors.clear();
    QString message, reason;
    if (!csvObj.loadCSVFrom(path, &message, &reason)) {
        if (errorText)
            *errorText = reason.isEmpty() ? message : QStringLiteral("%1 (%2)").arg(message, reason);
        PollixLog(QStringLiteral("%1: %2 %3").arg(path, message, reason));
        return Unreadable;
    }
    if (csvObj.numOfRows() == 0)
        return NoRows;
    m_startRow = 1;
    m_endRow = csvObj.numOfRows();
    m_numOfFileColumns = csvObj.numOfColumns();
    m_numOfColumns = std::max(m_numOfFileColumns, m_numOfImportItems) + 1;
    arrAllData.reserve(csvObj.numOfRows());
    arrAllErrors.reserve(csvObj.numOfRows());
    for (int r = 1; r <= csvObj.numOfRows(); ++r) {
        Row row = newRowData();
        const QStringList &cells = csvObj.rows().at(r - 1);
        for (int k = 1; k < m_numOfColumns && k <= cells.size(); ++k)
            row[k] = cells.at(k - 1);
        row[0] = QString::number(r);
        Row errors = newErrorRowData();
        errors[0] = row[0];
        arrAllData << row;
        arrAllErrors << errors;
    }
    return Loaded;
}

TovImportPreviewData::Row TovImportPreviewData::newRowData() const
{
    return Row(m_numOfColumns, QStringLiteral(""));
}

TovImportPreviewData::Row TovImportPreviewData::newErrorRowData() const
{
    return newRowData();
}

int TovImportPreviewData::previewRowCount() const
{
    if (arrAllData.isEmpty() || m_startRow < 1)
        return 0;
    return m_endRow - m_startRow + 1;
}

QString TovImportPreviewData::cell(int previewIndex, int column) const
{
    return previewRow(previewIndex).value(column);
}

QString TovImportPreviewData::error(int previewIndex, int column) const
{
    return previewErrorRow(previewIndex).value(column);
}

void TovImportPreviewData::setCell(int previewIndex, int column, const QString &text)
{
    if (column > 0 && column < m_numOfColumns)
        arrAllData[m_startRow - 1 + previewIndex][column] = text;
}

void TovImportPreviewData::setError(int previewIndex, int column, const QString &message)
{
    if (column > 0 && column < m_numOfColumns)
        arrAllErrors[m_startRow - 1 + previewIndex][column] = message;
}

bool TovImportPreviewData::setStartRow(int row)
{
    if (row < 1 || row > m_endRow || row > numOfRows())
        return false;
    m_startRow = row;
    return true;
}

bool TovImportPreviewData::setEndRow(int row)
{
    if (row < m_startRow || row > numOfRows())
        return false;
    m_endRow = row;
    return true;
}

int TovImportPreviewData::insertRow(int afterPreviewIndex)
{
    if (m_startRow < 1)
        m_startRow = 1;
    const int count = previewRowCount();
    const int at = afterPreviewIndex < 0 || afterPreviewIndex >= count ? count : afterPreviewIndex + 1;
    arrAllData.insert(m_startRow - 1 + at, newRowData());
    arrAllErrors.insert(m_startRow - 1 + at, newErrorRowData());
    m_endRow = m_startRow + count;
    renumber();
    return at;
}

void TovImportPreviewData::removeRows(const QList<int> &previewIndexes)
{
    const int count = previewRowCount();
    QList<int> doomed;
    for (int i : previewIndexes)
        if (i >= 0 && i < count && !doomed.contains(i))
            doomed << i;
    if (doomed.isEmpty())
        return;
    std::sort(doomed.begin(), doomed.end(), std::greater<int>());
    for (int i : doomed) {
        arrAllData.removeAt(m_startRow - 1 + i);
        arrAllErrors.removeAt(m_startRow - 1 + i);
    }
    const int remaining = count - int(doomed.size());
    if (arrAllData.isEmpty()) {
        m_startRow = m_endRow = 1;
    } else if (remaining == 0) {
        // The preview never stands empty while the file has rows: it shows the row before the
        // removed ones, or the first row when they were at the top.
        m_startRow = std::max(1, m_startRow - 1);
        m_endRow = m_startRow;
    } else {
        m_endRow = m_startRow + remaining - 1;
    }
    renumber();
}

void TovImportPreviewData::renumber()
{
    for (qsizetype i = 0; i < arrAllData.size(); ++i) {
        const QString number = QString::number(i + 1);
        arrAllData[i][0] = number;
        arrAllErrors[i][0] = number;
    }
}

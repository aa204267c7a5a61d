#include "ImportPreviewTableModel.h"

#include "core/roster/ImportPreviewState.h"

#include <QColor>

ImportPreviewTableModel::ImportPreviewTableModel(ImportPreviewState *state, Kind kind, QObject *parent)
    : QAbstractTableModel(parent), m_state(state), m_kind(kind)
{
}

QString ImportPreviewTableModel::columnTitle(int column)
{
    if (column < 1 || column > 18954)
        return {};
    QString title;
    for (int k = column; k > 0; k = (k - 1) / 26)
        title.prepend(QChar(u'A' + (k - 1) % 26));
    return title;
}

int ImportPreviewTableModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return m_kind == MappingRow ? 1 : m_state->previewData().previewRowCount();
}

int ImportPreviewTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_state->headerItemList().size());
}

QVariant ImportPreviewTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const int column = index.column();
    if (m_kind == MappingRow) {
        if (role == Qt::DisplayRole || role == Qt::EditRole)
            return m_state->mappedName(column);
        if (role == MenuRole && column > 0)
            return m_state->headerMenuItemList();
        return {};
    }
    const TovImportPreviewData &data = m_state->previewData();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return data.cell(index.row(), column);
    case ErrorRole:
        return column > 0 ? data.error(index.row(), column) : QString();
    case Qt::ToolTipRole: {
        const QString error = column > 0 ? data.error(index.row(), column) : QString();
        return error.isEmpty() ? data.cell(index.row(), column) : error;
    }
    case Qt::ForegroundRole:
        if (column > 0 && !data.error(index.row(), column).isEmpty())
            return QColor(255, 0, 0);
        return {};
    case Qt::TextAlignmentRole:
        return column == 0 ? QVariant(Qt::AlignCenter) : QVariant();
    default:
        return {};
    }
}

bool ImportPreviewTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || index.column() == 0)
        return false;
    if (m_kind == MappingRow) {
        const QList<int> changed = m_state->setMapping(index.column(), value.toString());
        columnsChanged(changed);
    } else {
        m_state->editCell(index.row(), index.column(), value.toString());
        columnsChanged({index.column()});
    }
    emit edited();
    return true;
}

Qt::ItemFlags ImportPreviewTableModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled;
    if (m_kind == PreviewRows)
        f |= Qt::ItemIsSelectable;
    if (index.column() > 0)
        f |= Qt::ItemIsEditable;
    return f;
}

QVariant ImportPreviewTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return columnTitle(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

void ImportPreviewTableModel::reload()
{
    beginResetModel();
    endResetModel();
}

void ImportPreviewTableModel::columnsChanged(const QList<int> &columns)
{
    const int rows = rowCount();
    if (rows == 0)
        return;
    for (int column : columns)
        emit dataChanged(index(0, column), index(rows - 1, column));
}

void ImportPreviewTableModel::allChanged()
{
    if (rowCount() > 0 && columnCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

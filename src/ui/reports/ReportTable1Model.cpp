#include "ReportTable1Model.h"

#include <QBrush>
#include <QColor>

ReportTable1Model::ReportTable1Model(QObject *parent) : QAbstractTableModel(parent) {}

void ReportTable1Model::setRows(const QList<ReportTable1Element> &rows)
{
    beginResetModel();
    m_rows = rows;
    endResetModel();
}

int ReportTable1Model::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int ReportTable1Model::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString ReportTable1Model::unreadableText(const ReportTable1Element &row)
{
    return tr("Cannot be read: %1").arg(row.unreadable());
}

QVariant ReportTable1Model::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const ReportTable1Element &row = m_rows.at(index.row());
    if (!row.unreadable().isEmpty()) {
        // A damaged file: its name and why it cannot be read, in red across the row.
        if (role == Qt::ForegroundRole)
            return QBrush(QColor(0xB0, 0x00, 0x00));
        if (role == Qt::ToolTipRole)
            return QStringLiteral("%1\n%2").arg(row.filePath(), unreadableText(row));
        if (role != Qt::DisplayRole)
            return {};
        switch (index.column()) {
        case Session: return row.session();
        case Title: return unreadableText(row);
        case Kind: return row.flagStr();
        default: return {};
        }
    }
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    switch (index.column()) {
    case Session: return row.session();
    case Title: return row.testTitle();
    case Activity: return row.activityMode();
    case Class: return row.className();
    case Subject: return row.subjectName();
    case Teacher: return row.teacherName();
    case Date: return role == Qt::ToolTipRole ? row.dateZone().left(19) : row.date();
    case Type: return row.type();
    case Kind: return row.flagStr();
    default: return {};
    }
}

QVariant ReportTable1Model::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case Session: return tr("Session");
    case Title: return tr("Test Title");
    case Activity: return tr("Activity");
    case Class: return tr("Class");
    case Subject: return tr("Subject");
    case Teacher: return tr("Teacher");
    case Date: return tr("Date");
    case Type: return tr("Type");
    case Kind: return tr("Kind");
    default: return {};
    }
}

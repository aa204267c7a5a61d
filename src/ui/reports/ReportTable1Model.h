#pragma once

#include "core/reports/ReportTable1Element.h"

#include <QAbstractTableModel>
#include <QList>

// The session list of the Report window: one row per ReportTable1Element, in the list's order.
// A file whose header cannot be read shows its name and why, in red.
class ReportTable1Model : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { Session, Title, Activity, Class, Subject, Teacher, Date, Type, Kind, ColumnCount };

    explicit ReportTable1Model(QObject *parent = nullptr);

    void setRows(const QList<ReportTable1Element> &rows);
    const QList<ReportTable1Element> &rows() const { return m_rows; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // What the row of a file whose header cannot be read says about it, in the Title column and
    // across the empty ones after it up to Type.
    static QString unreadableText(const ReportTable1Element &row);

private:
    QList<ReportTable1Element> m_rows;
};

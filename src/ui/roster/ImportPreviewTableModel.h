#pragma once

#include <QAbstractTableModel>

class ImportPreviewState;

// The import preview's two tables over one ImportPreviewState: the mapping row above the data
// (one menu cell per file column, titled A, B, ... AA, ...) and the preview rows themselves.
// Column 0 holds the row numbers and is never edited.
class ImportPreviewTableModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Kind { MappingRow, PreviewRows };
    enum Role {
        ErrorRole = Qt::UserRole + 1, // the cell's error message, "" when valid
        MenuRole                      // a mapping cell's menu entries
    };

    ImportPreviewTableModel(ImportPreviewState *state, Kind kind, QObject *parent = nullptr);

    // Spreadsheet column letters: 1 A ... 26 Z, 27 AA ... 702 ZZ, then three and four letters;
    // beyond column 18954 no title.
    static QString columnTitle(int column);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The rows or columns changed in number: everything is read anew.
    void reload();
    // Cells whose texts or marks changed.
    void columnsChanged(const QList<int> &columns);
    void allChanged();

signals:
    // A cell or a mapping entry was changed by the teacher and checked.
    void edited();

private:
    ImportPreviewState *m_state;
    Kind m_kind;
};

#pragma once

#include <QStyledItemDelegate>

#include <functional>

// The cells of a table whose texts have a longest length. A cell's editor refuses typing past it
// through the shared formatter; a longer text already in the cell (read from a file) shows whole
// and never grows, so that opening and leaving a cell changes nothing.
class LimitedCellDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    // The longest text of the cell at that index; 0 for a cell without a limit.
    using Limit = std::function<int(const QModelIndex &)>;
    LimitedCellDelegate(Limit limit, QObject *parent);

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;

private:
    Limit m_limit;
};

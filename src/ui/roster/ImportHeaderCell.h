#pragma once

#include <QStyledItemDelegate>

// A mapping cell of the import preview: drawn as a borderless pop-up menu showing the item its
// column feeds; a click opens the menu of items (the model's menu role), and a choice is set
// at once.
class ImportHeaderCell : public QStyledItemDelegate
{
    Q_OBJECT
public:
    explicit ImportHeaderCell(int menuRole, QObject *parent = nullptr);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;
    void updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    int m_menuRole;
};

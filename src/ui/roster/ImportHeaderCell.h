#pragma once

#include <QStyledItemDelegate>

class QMenu;

// A mapping cell of the import preview: drawn as a borderless pop-up menu showing the item its
// column feeds. A press opens the menu of items (the model's menu role) right under the cell,
// as a menu of its own rather than an editor inside the table: an editor's list opened before
// the window manager placed it came up empty and away from the cell. A choice is set at once.
class ImportHeaderCell : public QStyledItemDelegate
{
    Q_OBJECT
public:
    explicit ImportHeaderCell(int menuRole, QObject *parent = nullptr);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QWidget *createEditor(QWidget *, const QStyleOptionViewItem &, const QModelIndex &) const override { return nullptr; }

    // The menu of the cell, open under it; closes itself when done.
    QMenu *popUpMenu(QWidget *view, const QRect &cellRect, QAbstractItemModel *model, const QModelIndex &index);

protected:
    bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                     const QModelIndex &index) override;

private:
    int m_menuRole;
};

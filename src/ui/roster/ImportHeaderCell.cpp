#include "ImportHeaderCell.h"

#include <QApplication>
#include <QAbstractItemView>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

ImportHeaderCell::ImportHeaderCell(int menuRole, QObject *parent) : QStyledItemDelegate(parent), m_menuRole(menuRole) {}

void ImportHeaderCell::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    if (!(index.flags() & Qt::ItemIsEditable)) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    const QWidget *widget = option.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();
    QStyleOptionComboBox box;
    box.rect = option.rect.adjusted(1, 1, -1, -1);
    box.state = option.state | QStyle::State_Enabled;
    box.state &= ~QStyle::State_HasFocus;
    box.palette = option.palette;
    box.fontMetrics = option.fontMetrics;
    box.frame = false;
    box.editable = false;
    box.currentText = index.data(Qt::DisplayRole).toString();
    style->drawComplexControl(QStyle::CC_ComboBox, &box, painter, widget);
    style->drawControl(QStyle::CE_ComboBoxLabel, &box, painter, widget);
}

bool ImportHeaderCell::editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                                   const QModelIndex &index)
{
    if (event->type() != QEvent::MouseButtonPress || !(index.flags() & Qt::ItemIsEditable))
        return false;
    if (static_cast<QMouseEvent *>(event)->button() != Qt::LeftButton)
        return false;
    auto *view = qobject_cast<const QAbstractItemView *>(option.widget);
    if (!view)
        return false;
    popUpMenu(view->viewport(), option.rect, model, index);
    return true;
}

QMenu *ImportHeaderCell::popUpMenu(QWidget *viewport, const QRect &cellRect, QAbstractItemModel *model,
                                   const QModelIndex &index)
{
    auto *menu = new QMenu(viewport);
    menu->setObjectName(QStringLiteral("headerMenu%1").arg(index.column()));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->setMinimumWidth(cellRect.width());
    const QString current = index.data(Qt::EditRole).toString();
    const QPersistentModelIndex cell(index);
    QPointer<QAbstractItemModel> target(model);
    for (const QString &entry : index.data(m_menuRole).toStringList()) {
        QAction *action = menu->addAction(entry);
        action->setCheckable(true);
        action->setChecked(entry == current);
        connect(action, &QAction::triggered, menu, [target, cell, entry] {
            if (target && cell.isValid() && cell.data(Qt::EditRole).toString() != entry)
                target->setData(cell, entry, Qt::EditRole);
        });
    }
    menu->popup(viewport->mapToGlobal(cellRect.bottomLeft()));
    return menu;
}

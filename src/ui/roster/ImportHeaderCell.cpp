#include "ImportHeaderCell.h"

#include "ui/controls/MyComboBox.h"

#include <QApplication>
#include <QComboBox>
#include <QPainter>
#include <QTimer>

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

QWidget *ImportHeaderCell::createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &index) const
{
    auto *menu = new MyComboBox(parent);
    menu->setEditable(false);
    menu->setObjectName(QStringLiteral("headerMenu%1").arg(index.column()));
    menu->setFrame(false);
    menu->addItems(index.data(m_menuRole).toStringList());
    auto *self = const_cast<ImportHeaderCell *>(this);
    connect(menu, &QComboBox::activated, self, [self, menu] {
        emit self->commitData(menu);
        emit self->closeEditor(menu);
    });
    // The click that opened the cell opens its menu as well.
    QTimer::singleShot(0, menu, &QComboBox::showPopup);
    return menu;
}

void ImportHeaderCell::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    if (auto *menu = qobject_cast<QComboBox *>(editor))
        menu->setCurrentText(index.data(Qt::EditRole).toString());
}

void ImportHeaderCell::setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    auto *menu = qobject_cast<QComboBox *>(editor);
    if (menu && menu->currentText() != index.data(Qt::EditRole).toString())
        model->setData(index, menu->currentText(), Qt::EditRole);
}

void ImportHeaderCell::updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option, const QModelIndex &) const
{
    editor->setGeometry(option.rect);
}

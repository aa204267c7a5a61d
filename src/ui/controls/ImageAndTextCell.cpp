#include "ImageAndTextCell.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>

#include <cmath>

QImage ImageAndTextCell::imageOf(const QModelIndex &index)
{
    const QVariant v = index.data(Qt::DecorationRole);
    if (v.metaType() == QMetaType::fromType<QImage>())
        return v.value<QImage>();
    if (v.metaType() == QMetaType::fromType<QPixmap>())
        return v.value<QPixmap>().toImage();
    return {};
}

QRect ImageAndTextCell::imageRectForBounds(const QRect &bounds, const QSize &image)
{
    if (image.isEmpty())
        return {};
    const int dy = int(std::ceil((bounds.height() - image.height()) / 2.0));
    return QRect(QPoint(bounds.x() + kImageMargin, bounds.y() + dy), image);
}

QRect ImageAndTextCell::titleRectForBounds(const QRect &bounds, const QSize &image)
{
    if (image.isEmpty())
        return bounds;
    return bounds.adjusted(image.width() + kImageMargin, 0, 0, 0);
}

namespace {

// The item as a plain text cell: the icon, when there is one, is not the style's to draw.
QStyleOptionViewItem textOnly(QStyleOptionViewItem option)
{
    option.features &= ~QStyleOptionViewItem::HasDecoration;
    option.icon = QIcon();
    option.decorationSize = QSize();
    option.textElideMode = Qt::ElideRight;
    return option;
}

QStyle *styleOf(const QStyleOptionViewItem &option)
{
    return option.widget ? option.widget->style() : QApplication::style();
}

} // namespace

void ImageAndTextCell::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem full = option;
    initStyleOption(&full, index);
    QStyleOptionViewItem text = textOnly(full);
    QStyle *style = styleOf(option);
    const QImage image = imageOf(index);
    if (!image.isNull()) {
        // The strip takes the row's background (selection included) so the icon sits on it.
        QStyleOptionViewItem strip = text;
        strip.rect = QRect(option.rect.topLeft(), QSize(image.width() + kImageMargin, option.rect.height()));
        strip.text.clear();
        style->drawPrimitive(QStyle::PE_PanelItemViewItem, &strip, painter, option.widget);
        painter->drawImage(imageRectForBounds(option.rect, image.size()), image);
        text.rect = titleRectForBounds(option.rect, image.size());
    }
    style->drawControl(QStyle::CE_ItemViewItem, &text, painter, option.widget);
}

QSize ImageAndTextCell::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem full = option;
    initStyleOption(&full, index);
    const QStyleOptionViewItem text = textOnly(full);
    const QSize textSize = styleOf(option)->sizeFromContents(QStyle::CT_ItemViewItem, &text, QSize(), option.widget);
    const QImage image = imageOf(index);
    return QSize(textSize.width() + image.width() + kImageMargin, std::max(textSize.height(), image.height()));
}

void ImageAndTextCell::updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                                            const QModelIndex &index) const
{
    QStyleOptionViewItem textOption = option;
    textOption.rect = titleRectForBounds(option.rect, imageOf(index).size());
    QStyledItemDelegate::updateEditorGeometry(editor, textOption, index);
}

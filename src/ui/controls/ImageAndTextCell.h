#pragma once

#include <QStyledItemDelegate>

// Draws an outline row as an icon 3 points from the left edge, centred in height, and the text
// after it (the item's DecorationRole image, a QImage or QPixmap). Editing happens beside the icon.
class ImageAndTextCell : public QStyledItemDelegate
{
    Q_OBJECT
public:
    static constexpr int kImageMargin = 3;

    using QStyledItemDelegate::QStyledItemDelegate;

    // With an image: an image-sized rectangle 3 points right of the left edge, centred in height
    // (rounded up); without one, the null rectangle.
    static QRect imageRectForBounds(const QRect &bounds, const QSize &image);
    // The bounds less a strip of the image's width + 3 on the left (the whole bounds without one).
    static QRect titleRectForBounds(const QRect &bounds, const QSize &image);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const override;

    static QImage imageOf(const QModelIndex &index);
};

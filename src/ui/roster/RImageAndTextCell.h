#pragma once

#include <QImage>
#include <QStyledItemDelegate>

// A text cell that can carry an image at its right end: the text keeps the left part, as wide as
// the cell less the image's width and 3 points, and is cut at its tail; the image sits at the
// start of the right part, 1 point to the left, centred in height. The import preview marks a
// wrong cell with it (the text in red with the "info.png" mark); which cells carry the image is
// told by the model's error role.
class RImageAndTextCell : public QStyledItemDelegate
{
    Q_OBJECT
public:
    explicit RImageAndTextCell(int errorRole, QObject *parent = nullptr);

    const QImage &image() const { return m_image; }
    void setImage(const QImage &image) { m_image = image; }

    // The parts of a cell's bounds: the text's and the image's (null without an image).
    QRect titleRectForBounds(const QRect &bounds, bool withImage) const;
    QRect imageRectForBounds(const QRect &bounds) const;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    bool hasImage(const QModelIndex &index) const;

    int m_errorRole;
    QImage m_image;
};

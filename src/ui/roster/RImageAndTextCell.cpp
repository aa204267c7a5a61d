#include "RImageAndTextCell.h"

#include <QApplication>
#include <QLineEdit>
#include <QPainter>

namespace {
constexpr int kImageGap = 3;
constexpr int kTextInset = 3;
} // namespace

RImageAndTextCell::RImageAndTextCell(int errorRole, QObject *parent) : QStyledItemDelegate(parent), m_errorRole(errorRole) {}

bool RImageAndTextCell::hasImage(const QModelIndex &index) const
{
    return !m_image.isNull() && !index.data(m_errorRole).toString().isEmpty();
}

QRect RImageAndTextCell::titleRectForBounds(const QRect &bounds, bool withImage) const
{
    if (!withImage || m_image.isNull())
        return bounds;
    QRect text = bounds;
    text.setWidth(std::max(0, bounds.width() - (m_image.width() + kImageGap)));
    return text;
}

QRect RImageAndTextCell::imageRectForBounds(const QRect &bounds) const
{
    if (m_image.isNull())
        return {};
    const QRect text = titleRectForBounds(bounds, true);
    const int x = text.right() + 1 - 1;
    const int y = bounds.top() + (bounds.height() - m_image.height() + 1) / 2;
    return QRect(x, y, m_image.width(), m_image.height());
}

void RImageAndTextCell::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QWidget *widget = option.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();
    const QString text = opt.text;
    opt.text.clear();
    // Background and selection as the view draws them, then the text and the mark on top.
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);

    const bool withImage = hasImage(index);
    const QRect textRect = titleRectForBounds(option.rect, withImage).adjusted(kTextInset, 0, -kTextInset, 0);
    const bool selected = option.state & QStyle::State_Selected;
    QColor ink = option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
    const QVariant foreground = index.data(Qt::ForegroundRole);
    if (!selected && foreground.canConvert<QColor>())
        ink = foreground.value<QColor>();
    painter->save();
    painter->setPen(ink);
    painter->setFont(opt.font);
    const Qt::Alignment align = opt.displayAlignment & Qt::AlignHorizontal_Mask ? opt.displayAlignment
                                                                                 : Qt::AlignLeft | Qt::AlignVCenter;
    painter->drawText(textRect, int(align | Qt::AlignVCenter),
                      opt.fontMetrics.elidedText(text, Qt::ElideRight, std::max(0, textRect.width())));
    if (withImage)
        painter->drawImage(imageRectForBounds(option.rect).topLeft(), m_image);
    painter->restore();
}

QSize RImageAndTextCell::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    if (hasImage(index)) {
        size.rwidth() += m_image.width() + kImageGap;
        size.setHeight(std::max(size.height(), m_image.height()));
    }
    return size;
}

void RImageAndTextCell::updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option, const QModelIndex &) const
{
    editor->setGeometry(option.rect.adjusted(1, 0, 0, 0));
}

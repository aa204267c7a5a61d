#include "LimitedCellDelegate.h"

#include "PMResolutionFormatter.h"

#include <QLineEdit>

LimitedCellDelegate::LimitedCellDelegate(Limit limit, QObject *parent)
    : QStyledItemDelegate(parent), m_limit(std::move(limit))
{
}

QWidget *LimitedCellDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                           const QModelIndex &index) const
{
    QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
    auto *line = qobject_cast<QLineEdit *>(editor);
    const int limit = line && m_limit ? m_limit(index) : 0;
    if (limit > 0) {
        // Not QLineEdit's own maximum: that would cut a longer text as the cell opens.
        auto *formatter = new PMResolutionFormatter(line);
        formatter->setMaxLength(limit);
    }
    return editor;
}

void LimitedCellDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    auto *line = qobject_cast<QLineEdit *>(editor);
    auto *formatter = line ? line->findChild<PMResolutionFormatter *>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
    if (!formatter) {
        QStyledItemDelegate::setEditorData(editor, index);
        return;
    }
    // The cell's text is there before the formatter judges anything: judged as typed, a longer
    // text would count as refused and let the next keystroke through.
    line->setValidator(nullptr);
    QStyledItemDelegate::setEditorData(editor, index);
    formatter->attachTo(line);
}

#include "GradebookCellDelegate.h"

#include "ui/controls/TextFormatter.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>

GradebookCellDelegate::GradebookCellDelegate(FormatterFor formatterFor, ShouldEnd shouldEnd, QObject *parent)
    : QStyledItemDelegate(parent), m_formatterFor(std::move(formatterFor)), m_shouldEnd(std::move(shouldEnd))
{
}

QWidget *GradebookCellDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &index) const
{
    auto *field = new QLineEdit(parent);
    field->setFrame(false);
    if (TextFormatter *formatter = m_formatterFor ? m_formatterFor(index) : nullptr)
        formatter->attachTo(field);
    m_editor = field;
    m_index = index;
    connect(field, &QLineEdit::textEdited, this, [this] {
        if (typed)
            typed();
    });
    connect(field, &QObject::destroyed, this, [this, field] {
        if (m_editor == field)
            m_editor = nullptr;
    });
    return field;
}

void GradebookCellDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    auto *field = static_cast<QLineEdit *>(editor);
    // A refused edit reopens with the text it was refused with; only a fresh one takes the cell.
    if (field->property("opened").toBool())
        return;
    field->setProperty("opened", true);
    field->setText(index.data(Qt::EditRole).toString());
    field->selectAll();
    if (began)
        began(index, field->text());
}

void GradebookCellDelegate::setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    model->setData(index, static_cast<QLineEdit *>(editor)->text(), Qt::EditRole);
}

bool GradebookCellDelegate::tryToEnd(QWidget *editor)
{
    auto *field = static_cast<QLineEdit *>(editor);
    if (m_asking)
        return false;
    m_asking = true;
    QString text = field->text();
    const bool accepted = !m_shouldEnd || m_shouldEnd(m_index, text);
    m_asking = false;
    if (field->text() != text)
        field->setText(text);
    if (!accepted) {
        // Stay in the cell, text selected, once the alert has gone.
        QTimer::singleShot(0, field, [field] {
            field->setFocus();
            field->selectAll();
        });
        return false;
    }
    emit commitData(editor);
    emit closeEditor(editor, QAbstractItemDelegate::NoHint);
    return true;
}

bool GradebookCellDelegate::eventFilter(QObject *object, QEvent *event)
{
    auto *editor = qobject_cast<QWidget *>(object);
    if (!editor || editor != m_editor)
        return QStyledItemDelegate::eventFilter(object, event);
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Tab || key == Qt::Key_Backtab) {
            tryToEnd(editor);
            return true;
        }
        if (key == Qt::Key_Escape) {
            emit closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
            if (cancelled)
                cancelled();
            return true;
        }
    } else if (event->type() == QEvent::FocusOut) {
        // Only the teacher going to another control ends the edit: not an alert (the editor's
        // own or the window's), not a menu, not the editor's page going out of sight.
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (!m_asking && reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason
            && editor->isVisible() && !editor->isAncestorOf(QApplication::focusWidget()))
            tryToEnd(editor);
        return true;
    }
    return QStyledItemDelegate::eventFilter(object, event);
}

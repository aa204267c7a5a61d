#pragma once

#include <QStyledItemDelegate>

#include <functional>

class TextFormatter;

// The cell editor of the gradebook tables: a line field with the column's formatter, whose edit
// ends only when the window accepts the text. Enter, Tab or leaving the cell asks shouldEnd with
// the typed text (which it may change, such as trimming it); a refused edit stays open with that
// text, so the teacher corrects it or presses Escape. began tells the window that an edit is open.
// Another window coming to the front (an alert) or the table being hidden leaves the edit open.
class GradebookCellDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using FormatterFor = std::function<TextFormatter *(const QModelIndex &index)>;
    using ShouldEnd = std::function<bool(const QModelIndex &index, QString &text)>;

    GradebookCellDelegate(FormatterFor formatterFor, ShouldEnd shouldEnd, QObject *parent = nullptr);

    std::function<void(const QModelIndex &index, const QString &text)> began;
    // Every keystroke that changes the text of the open editor.
    std::function<void()> typed;
    // An edit ended by Escape (nothing stored).
    std::function<void()> cancelled;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;

    // The editor open now, if any.
    QWidget *openEditor() const { return m_editor; }

protected:
    bool eventFilter(QObject *object, QEvent *event) override;

private:
    // Asks the window; commits and closes the editor when it agrees. False: the edit stays open.
    bool tryToEnd(QWidget *editor);

    FormatterFor m_formatterFor;
    ShouldEnd m_shouldEnd;
    mutable QWidget *m_editor = nullptr;
    mutable QPersistentModelIndex m_index;
    bool m_asking = false;
};

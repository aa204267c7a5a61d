#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <functional>

// The one way every window that holds unsaved edits is left: Escape, the close box and the
// window's own Cancel or Close button all come to mayLeave(), which asks the window's question
// while there are edits. Escape and the close box are caught on the window itself, so a way out
// added later cannot forget the question.
class EditHold : public QObject
{
    Q_OBJECT
public:
    enum class Answer { Leave, Stay };
    // True while the window holds edits that leaving would lose.
    using Edits = std::function<bool()>;
    // Asked only while there are edits; a window that offers to save saves inside it and answers
    // Stay when the save did not complete.
    using Ask = std::function<Answer()>;

    EditHold(QWidget *window, Edits edits, Ask ask);

    // False when the teacher chose to keep editing.
    bool mayLeave();
    // mayLeave(), then ends the window with the result (QDialog::done, or close() for a plain
    // window); false when the window stays.
    bool leave(int result = 0);

    // The hold of a window, or none.
    static EditHold *of(const QWidget *window);

    // The close box leaves the focus where it is: a cell of the window still being typed into is
    // committed first, as a click on the window's Close button does by taking the focus, so that
    // what was typed is among the edits asked about (and checked as the cell's own end checks it).
    static void commitOpenCell(QWidget *window);

    // The usual questions; Escape and the close box on either stay. A yes/no question ("Are you
    // sure to quit without saving?"): the first button leaves, the second stays, and so does
    // Return, as leaving drops the edits.
    static Answer askLeave(QWidget *window, const QString &title, const QString &text, const QStringList &buttons);
    // Save, leave without saving, keep editing: the buttons in that order (PollixAlert::askToSave);
    // the first runs save, which says whether the save completed.
    static Answer askSave(QWidget *window, const QString &title, const QString &text, const QStringList &buttons,
                          const std::function<bool()> &save);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<QWidget> m_window;
    Edits m_edits;
    Ask m_ask;
    bool m_asking = false;
    bool m_passing = false;
};

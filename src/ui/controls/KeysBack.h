#pragma once

#include <QPointer>
#include <QWidget>

// Where the keys go when the teacher comes back from a question to the window it was asked over
// (Cancel on "Are you sure to exit without saving exam report?", No on a closing question): to
// the control that had them, or, where the teacher clicked a button to be asked (the click took
// the keys to it) or work done meanwhile took them from the window, to the field last typed in,
// and in a dialog without one to the dialog itself, where Return presses its default button (a
// Close, an OK); a text Pollix proposes that the teacher has not touched is selected again, as
// when its window opened, and the teacher's own text keeps its cursor and selection, so that
// typing on goes on from there. Left on the button that asked, the
// keys made Return ask again and the next Return take the question's default, which leaves the
// window and loses what it holds.
class KeysBack
{
public:
    // Notes where window's keys are, before the question.
    explicit KeysBack(QWidget *window);
    // The question is answered: the keys go back, unless the window has gone or is hidden.
    void giveBack();

    // The text field of window the teacher was last in (a line, a text, a number box, an editable
    // list); nullptr when none. Followed for every window from the application's start.
    static QWidget *lastField(const QWidget *window);

private:
    QPointer<QWidget> m_window;
    QPointer<QWidget> m_keys;
};

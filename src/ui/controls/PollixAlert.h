#pragma once

#include <QMessageBox>

class DataOfFrame;
#include <QStringList>

#include <functional>

// The program's alert panel: a fixed English text, a title ("Pollix ARS" or "Pollix") and up to
// three buttons, the first being the default unless it harms (see Default). While it is the frame
// listener the teacher keypad can press its first two buttons (see handleMachMessage).
class PollixAlert : public QMessageBox
{
    Q_OBJECT
public:
    enum { AlertFirstButtonReturn = 1000, AlertSecondButtonReturn = 1001, AlertThirdButtonReturn = 1002 };
    // What runModal() answers when an alert whose way out goes back (setWayOutGoesBack) was left
    // by Escape or its close box.
    enum { AlertWentBackReturn = 999 };

    // What the teacher chose at a question about edits not yet saved.
    enum class SaveAnswer { Save, Discard, Cancel };

    // Which button Return presses. A question whose first button does what cannot be taken back
    // (deletes, clears, overwrites, drops what was typed, saves a second copy) has its last one,
    // which leaves everything as it is, as its default (LeavesAsIs), so that a Return pressed out
    // of habit harms nothing. A click and the teacher keypad's F1 and F2 press the buttons they
    // name, as on every alert, and Escape and the close box do what they do there.
    enum class Default { First, LeavesAsIs };

    PollixAlert(const QString &title, const QString &text, const QStringList &buttons,
                const QString &informativeText = {}, QWidget *parent = nullptr);

    // Runs the alert modally (or asks the test hook) and returns AlertFirstButtonReturn + index.
    // Without a parent it is owned by the window the teacher is on (WindowOwner); answered, the
    // keys go back to the window it was asked over (KeysBack).
    int runModal();

    // A one-call alert; returns AlertFirstButtonReturn + index of the button pressed.
    static int show(QWidget *parent, const QString &title, const QString &text,
                    const QStringList &buttons = {QStringLiteral("OK")}, const QString &informativeText = {},
                    Default byDefault = Default::First);
    // A question about unsaved edits: the first button saves, the second leaves the edits unsaved
    // and a third, where there is one, goes back to the window. Escape and the close box go back
    // too, whatever the buttons: on a question about edits they never discard them.
    static SaveAnswer askToSave(QWidget *parent, const QString &title, const QString &text, const QStringList &buttons,
                                const QString &informativeText = {});
    // A question whose way out (Escape, the close box) goes back to the window: the 0-based
    // index of the button pressed, or -1 when the alert was left that way.
    static int askWithWayBack(QWidget *parent, const QString &title, const QString &text, const QStringList &buttons,
                              const QString &informativeText = {}, Default byDefault = Default::First);

    // Escape and the close box leave the alert without pressing any button (runModal answers
    // AlertWentBackReturn). Otherwise they press the last button, as a plain message box does.
    void setWayOutGoesBack(bool on) { m_wayOutGoesBack = on; }
    // Return presses the button byDefault names (the last for LeavesAsIs).
    void setDefault(Default byDefault);

    // A notice that waits for nothing: shown at once, without a modal loop and without taking the
    // keyboard from the window in use, so that whatever runs goes on (a run the teacher keypad
    // steers, a window being typed in). It stands over the window of the program the teacher is
    // on and follows the teacher from window to window until answered, so that no window kept
    // above the others (the main window, a run) hides it, and a modal dialog there does not
    // keep its buttons from the teacher. Return, Escape and its close box press its first button,
    // the one to keep to. answered gets the index of the button pressed, or -1 when it was closed
    // by the program; it deletes itself once closed. With a test's alert responder set, the
    // responder answers at once instead and no window opens (nullptr).
    static PollixAlert *notice(const QString &title, const QString &text, const QStringList &buttons,
                               const QString &informativeText = {}, std::function<void(int)> answered = {});
    // The informative text of an alert that tells of a file written: where it went.
    static QString savedTo(const QString &path);
    // Reasons as an alert shows them: each line a sentence, ending with a full stop.
    static QString sentences(const QString &reasons);
    // The informative text of a refused save: why, and where another program changed the file
    // since Pollix read it, howToSeeIt (the other program's version stays, and what the teacher
    // typed is still in the window; empty: close the window and open it again); why as it is
    // otherwise, and once told. Every alert shows its informative text through it.
    static QString refusedSave(const QString &why, const QString &howToSeeIt = {});

    QStringList buttonTitles() const { return m_titles; }
    int buttonCount() const { return int(m_buttons.size()); }
    // Presses the button as the teacher would; ignored when there is no such button.
    void pressButton(int index);

    // F1 presses the first button and F2 the second; false for any other frame. The window an
    // alert is opened over passes the frames it receives meanwhile.
    bool runTeacherKey(const DataOfFrame &frame);
    // Teacher keypad key press on an alert that listens for frames.
    Q_INVOKABLE void handleMachMessage();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // Over the window of this program the teacher is on (see notice); with none shown, above
    // every window (a start alert, over another program's window that may be kept above).
    void standOverFrontWindow();

    QStringList m_titles;
    QList<QAbstractButton *> m_buttons;
    int m_pressed = -1;
    bool m_wayOutGoesBack = false;
    bool m_isNotice = false;
};

#pragma once

#include "core/keypad/TeacherKeyMap.h"

#include <QDialog>
#include <QHash>
#include <QPointer>

class DataOfFrame;
class Orvenda_AppDelegate;
class RunFrameSink;
class QGridLayout;
class QLabel;
class QPushButton;
class QTableWidget;
class QTextEdit;

// Base of the windows a run opens modally over the activity window (results, reports, details,
// hand-raise marking). While one is up it is the frame listener: it signals every frame handled
// exactly once, acts on the teacher keypad's keys itself, and passes every other frame (students'
// logins and answers) on to the run, so nothing is lost while the teacher looks at the figures.
class RunChildWindow : public QDialog
{
    Q_OBJECT
public:
    // logName: the name in the frame log lines ("data receive in <logName> : ...").
    RunChildWindow(const QString &objectName, const char *logName, QWidget *parent = nullptr);
    ~RunChildWindow() override;

    // Opened from the teacher keypad over a slide show: once loaded, the window moves the pointer
    // to the main screen's lower left corner and clicks there, so the keypad's mouse starts from
    // a known place.
    bool bIsRunForTeacherControl() const { return m_bIsRunForTeacherControl; }
    // MouseFunction's click at the main screen's lower left corner, once the event loop runs.
    static void clickBottomLeftLater(QObject *context);
    void setBIsRunForTeacherControl(bool v) { m_bIsRunForTeacherControl = v; }

    // Where the frames this window does not handle go; windows it opens get the same.
    void setRun(RunFrameSink *run) { m_run = run; }
    RunFrameSink *run() const { return m_run; }

    // Makes the window the frame listener, fills it (once) and runs it modally; the listener
    // role goes back to whoever had it. Returns the dialog's result.
    int runModal();
    // Fills the window from the run's data; runModal() does it first. Once only.
    void load();

    Q_INVOKABLE void handleMachMessage();

protected:
    virtual void windowDidLoad() {}
    // A teacher key, mapped as a window of the run's figures takes it (F1 Ok, F2 and Exit
    // Cancel, Previous, Next); mouse frames are handled before.
    virtual void teacherAction(TeacherKeyMap::Action action) = 0;
    // How the window takes the teacher keypad's keys.
    virtual TeacherKeyMap::Context teacherContext() const { return TeacherKeyMap::Context::ResultWindow; }
    // Runs a window opened from this one, as this one runs: the same run, the listener role.
    int runChild(RunChildWindow &child);
    // Posts "LOGINVIEW_TONORMAL" when the window closes: the activity window gives its floating
    // student strip its size back.
    void setPostsLoginViewToNormal(bool v) { m_postsLoginViewToNormal = v; }
    void done(int result) override;
    // A caption or figure of the window, named for the tests.
    QLabel *addField(const char *name, const QString &text = QString());
    // The window of one question's figures: the question's text (read only) at its head, the
    // captions and figures in one row of fixed cells (a hidden pair leaves the others where they
    // are), the chart taking the room left and the buttons at the right of the foot.
    QTextEdit *addQuestionTitle(const char *name);
    QPushButton *addButton(const char *name, const QString &text);
    void layOutFigures(QTextEdit *title, const QList<std::pair<QLabel *, QLabel *>> &figures, QWidget *chart,
                       const QList<QPushButton *> &buttons);
    // Keeps the table's columns at these shares of its width whenever its size changes.
    void keepColumnShares(QTableWidget *table, const QList<double> &shares);
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void handleDataReceiveArvel(const DataOfFrame &frame);
    void handleDataReceiveCorvel_Dravel(const DataOfFrame &frame);
    void runTeacherKey(const DataOfFrame &frame);

    Orvenda_AppDelegate *appDelegate = nullptr;
    RunFrameSink *m_run = nullptr;
    QByteArray m_logName;
    bool m_postsLoginViewToNormal = false;
    bool m_closed = false;
    bool m_loaded = false;
    bool m_bIsRunForTeacherControl = false;
    QHash<QTableWidget *, QList<double>> m_shares;
};

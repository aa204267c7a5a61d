#pragma once

#include "ui/controls/DialogHooks.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QStringList>

#include <atomic>
#include <cstdio>
#include <functional>
#include <random>

class QWidget;

namespace keypadsim {
class SimReceiver;
}

// A seeded random walk over whatever windows the program shows, as a teacher and a classroom
// would go: clicks and keys on the visible, enabled controls of the window in front, text typed
// into its fields (long and odd text too), Escape, its close box, menu items; file panels
// answered with a path in a folder of the walk's own or cancelled; the receiver pulled out and
// put back; keypads logging in and answering; teacher-keypad keys. Each step runs from a timer of
// its own, so it runs inside whatever event loop is current (a dialog's exec() included).
//
// Each step is written to the steps file as it is taken (flushed, so that a crash leaves every
// step before it there), and the walk's end with the count of steps taken ("walk: N steps taken
// in T ms"), however it ends: its steps or time spent, or its owner letting go of it (a step that
// ended the program counts as taken). Only a walk that never ended (a crash) leaves no count. The
// choices come from the seed alone; the same seed over the same windows takes the same steps.
class RandomWalk : public QObject
{
    Q_OBJECT
public:
    struct Options
    {
        quint32 seed = 1;
        int steps = 200;
        qint64 budgetMs = 60000; // the walk ends after this long, even with steps left
        QString stepsFile;
        QString filesFolder; // where file panels are answered
        keypadsim::SimReceiver *receiver = nullptr; // none: no receiver and no keypad steps
        QList<int> keypads;
        int family = 1; // the teacher keypad's family (0 small, 1 large)
        // Names of the walk's data, typed now and then into fields among the other text.
        QStringList wellKnownText;
        // The teacher's login, typed into login windows (a field for a password and those beside it).
        QString account;
        QString password;
        // Called as each step begins, before it acts (a check of what the steps before did).
        std::function<void()> beforeStep;
    };

    explicit RandomWalk(const Options &options);
    ~RandomWalk() override;

    // Steps until the steps or the time are spent, then calls finished (once). Letting go of the
    // walk before then calls nothing.
    void start(std::function<void()> finished);
    // No further step is taken (a step under way ends as it would).
    void pause();
    void resume();
    int stepsTaken() const { return m_taken; }
    // Whether a step is acting now (on the stack, maybe under a dialog it opened); any thread.
    bool acting() const { return m_acting > 0; }
    bool spent() const;
    // A line in the steps file (and nowhere else), for what the walk's owner does.
    void note(const QString &line) const;
    QString stepsFile() const { return m_options.stepsFile; }
    // The steps a walk took, as its steps file says at its end; -1 when it noted no end.
    static int stepsNoted(const QString &stepsFile);

    // The window a teacher would act on now: a popup, the modal window, the active window, else
    // one of the visible windows.
    static QWidget *frontWindow(std::mt19937 *rng = nullptr);

private:
    void scheduleNext(int delayMs);
    void step();
    void noteEnd();
    void actOnWindow(QWidget *window);
    void actOnControl(QWidget *window, QWidget *control);
    void typeInto(QWidget *field);
    void keyOnWindow(QWidget *window);
    void classroomStep();
    void teacherKeyStep();
    void receiverStep();
    QString answerFilePanel(const FileDialogRequest &request);
    QString randomText();
    int pick(int count);

    Options m_options;
    std::mt19937 m_rng;
    QElapsedTimer m_clock;
    std::function<void()> m_finished;
    FILE *m_log = nullptr;
    int m_taken = 0;
    int m_nextFile = 0;
    QString m_lastWindow;
    int m_sameWindow = 0;
    bool m_paused = true;
    bool m_scheduled = false;
    bool m_told = false;
    std::atomic<int> m_acting{0};
};

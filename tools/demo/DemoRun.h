#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QProcess>
#include <QSet>
#include <QString>
#include <QTimer>

#include <functional>

class TabController;

// A whole normal quiz with nobody at the computer: the program's own windows, a simulated Dravel
// receiver whose keypads play along, and its teacher keypad steering the run from the main window
// to the saved session. Then a second run starts, which the keypads, logged out at the end of the
// first, join again; it is left without a question. Only the two things a teacher does with the
// mouse before a run (OK in the class set-up, the question file in the open panel) are done here;
// the rest goes over the keypad.
class DemoRun : public QObject
{
    Q_OBJECT
public:
    DemoRun(const QString &folder, const QString &simPath, quint32 seed);

    // Starts the simulated receiver and names its port for the program; false with why.
    bool startReceiver(QString *why);
    // Opens the program's main window and steers the run from there.
    void openProgram(const QString &quizPath);
    // The saved session's path once the run is over.
    QString savedSession() const { return m_saved; }

signals:
    void finished(bool ok);

private:
    enum Step
    {
        WaitReceiver,
        ClassSetUp,
        LoadFile,
        StartRun,
        WaitLogins,
        StartQuestion,
        Answering,
        Stopped,
        Results,
        Exiting,
        Saving,
        NextRun,
        LeavingSecondRun,
        Done
    };

    void tick();
    void teacher(const QString &command);
    // A teacher keypad key, pressed again while what it does has not happened (done() false): a
    // key the program missed while it was slow leaves its step waiting, as it would leave a
    // teacher pressing the key once more.
    void press(const QString &command, std::function<bool()> done);
    // True while the last key has not done its work yet (pressing it again now and then).
    bool pressAgainWhileNotDone();
    // The question on the run window's strip, and whether it runs (0 and false without the window).
    int questionShown() const;
    bool questionRuns() const;
    void goTo(Step step);
    bool stepTookLongerThan(int ms) const { return m_stepClock.elapsed() > ms; }
    QWidget *runWindow() const;
    void fail(const QString &why);
    // After the saved session: the main window starts the second run.
    void startSecondRun();
    // After the first question: the result, its histogram and the report, from the keypad.
    void showResults();
    // With POLLIX_SHOTS set to a folder, the screen is saved there as "demo-<name>.png".
    static void shot(const QString &name);

    QString m_folder;
    QString m_quiz;
    QString m_simPath;
    quint32 m_seed;
    QProcess m_sim;
    QTimer m_timer;
    QElapsedTimer m_stepClock;
    QElapsedTimer m_total;
    QString m_key; // the last key pressed, while what it does has not happened
    std::function<bool()> m_keyDone;
    QElapsedTimer m_keyClock;
    Step m_step = WaitReceiver;
    int m_run = 1;
    int m_question = 1;
    int m_questions = 0;
    int m_askedAgain = 0;
    int m_resultStep = -1; // -1: the results were not shown yet
    QString m_saved;
    QSet<std::pair<int, int>> m_answersShown; // (question, keypad) printed as they came
    QStringList m_before; // session files there before the run
    TabController *m_tab = nullptr;
    class MainwndController *m_main = nullptr;
};

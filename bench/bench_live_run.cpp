// The live run end to end: the simulated receiver on a pseudo-terminal, the real link, the
// activity object and the activity window with its student grid, as a teacher sees them. A class
// of 999 (Dravel) and one of 400 (Arvel) are made through the program's own stores; every keypad
// logs in (Dravel) and answers at once, with the simulator keeping to the serial line's speed
// (paced) and without (unpaced).
//
// For each burst it prints the line's own time for the frames, the time from the first frame on
// the line until the window has painted the grid and the answered count showing every one of
// them, and their ratio (above 1: the screen drains faster than the line fills). Paced, it also
// prints how far the screen fell behind the line at worst; for both, the longest time the event
// loop went without turning (a window that does not answer a click meanwhile) and the peak memory.
//
// Run: ./dev bench, or build/bench/bench_live_run [dravel|arvel] [paced|unpaced]. Without a
// display it runs itself under xvfb-run on a 1280 x 1024 screen (offscreen when that is missing).
#include "core/app/Orvenda_AppDelegate.h"
#include "core/authoring/ExamPaperInfo.h"
#include "core/authoring/MyTextView.h"
#include "core/authoring/QuestionSetView.h"
#include "core/engine/QuizData.h"
#include "core/engine/QuizParticipantData.h"
#include "core/keypad/DeviceController.h"
#include "core/keypad/LinkTiming.h"
#include "core/store/TovClassXmlDatabase.h"
#include "core/store/TovConfigXmlDatabase.h"
#include "platform/Singleton.h"
#include "ui/app/ActivityWindowOpener.h"
#include "ui/run/QuizStateWindowController.h"
#include "ui/run/StudentLoginView.h"

#include "SimReceiver.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using keypadsim::Model;
using keypadsim::SimFrame;
using keypadsim::SimReceiver;

namespace {

// Sees every repaint of the watched window when it is done, and every event-loop turn.
class BenchApp : public QApplication
{
public:
    using QApplication::QApplication;
    bool notify(QObject *receiver, QEvent *event) override
    {
        const bool repaint = event->type() == QEvent::UpdateRequest && receiver == watched;
        const bool handled = QApplication::notify(receiver, event);
        if (repaint && painted)
            painted();
        return handled;
    }
    QPointer<QWidget> watched;
    std::function<void()> painted;
};

struct Goal
{
    static constexpr double ratio = 3.0;   // unpaced: drained at three times the line's rate
    static constexpr double behindMs = 50; // paced: the screen at most this far behind the line
    static constexpr double gapMs = 50;    // the longest the event loop may go without turning
};

long peakMemoryMB()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss / 1024;
}

// One run window over one simulated receiver, in an application folder of its own.
class LiveRun
{
public:
    LiveRun(BenchApp *app, Model model, int keypads, bool paced) : m_app(app), m_model(model), m_keypads(keypads), m_paced(paced)
    {
    }
    ~LiveRun()
    {
        if (m_window)
            delete m_window.data();
        m_app->watched = nullptr;
        m_app->painted = nullptr;
        if (m_sim)
            m_sim->unplug();
        DeviceController::ShareDeviceController()->waitUntilIdle(5000);
        SingletonRegistry::resetAll();
        Orvenda_AppDelegate::setAppDelegate(nullptr);
        m_delegate.reset();
        m_sim.reset();
    }

    bool open(QString *why);
    // Every keypad logs in (Dravel) at once; returns false when the burst did not drain.
    bool loginBurst() { return burst(QStringLiteral("logins"), true); }
    bool answerBurst() { return burst(QStringLiteral("answers"), false); }
    bool startQuestion();

private:
    bool burst(const QString &what, bool logins);
    bool waitUntil(const std::function<bool()> &done, int timeoutMs);
    int shownCount(bool logins) const;
    QString studentID(int i) const { return QStringLiteral("S%1").arg(i, 4, 10, QLatin1Char('0')); }
    bool dravel() const { return m_model == Model::Dravel; }

    BenchApp *m_app;
    Model m_model;
    int m_keypads;
    bool m_paced;
    QTemporaryDir m_home;
    std::unique_ptr<Orvenda_AppDelegate> m_delegate;
    std::unique_ptr<SimReceiver> m_sim;
    QPointer<QuizStateWindowController> m_window;
    QLabel *m_answered = nullptr;
};

bool LiveRun::waitUntil(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    QTimer poll;
    QEventLoop loop;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done() || t.elapsed() > timeoutMs)
            loop.quit();
    });
    poll.start(2);
    if (!done())
        loop.exec();
    return done();
}

bool LiveRun::open(QString *why)
{
    if (!m_home.isValid()) {
        *why = QStringLiteral("no temporary folder");
        return false;
    }
    SingletonRegistry::resetAll();
    qputenv("POLLIX_HOME", m_home.path().toUtf8());
    m_delegate = std::make_unique<Orvenda_AppDelegate>(m_home.path());
    Orvenda_AppDelegate::setAppDelegate(m_delegate.get());

    SimReceiver::Options o;
    o.model = m_model;
    o.paceLine = true; // set per burst
    o.seed = 11;
    m_sim = std::make_unique<SimReceiver>(o);
    if (!m_sim->start()) {
        *why = QStringLiteral("cannot start the simulator: %1").arg(m_sim->errorString());
        return false;
    }
    DeviceController *ctrl = DeviceController::ShareDeviceController();
    ctrl->scanPorts({m_sim->portPath()});
    if (!waitUntil([&] { return m_delegate->getBHaveDevice() && !ctrl->isBusy(); }, 10000)) {
        *why = QStringLiteral("the receiver was not found");
        return false;
    }

    // The class, as the roster windows store it, and read back as the class set-up reads it.
    auto *classes = TovClassXmlDatabase::sharedClassUI();
    QString error;
    const int classNo = classes->addClassWithName(QStringLiteral("Hall %1").arg(m_keypads), &error);
    QList<StudentEntity> entities;
    for (int i = 1; i <= m_keypads; ++i) {
        StudentEntity s;
        s.setId(studentID(i));
        s.setFirstName(QStringLiteral("First%1").arg(i));
        s.setLastName(QStringLiteral("Last%1").arg(i));
        s.setDeviceNo(dravel() ? 0 : i);
        s.setGroupNo(1);
        entities << s;
    }
    if (classNo <= 0 || !classes->addSomeStudents(entities, classNo, &error)) {
        *why = QStringLiteral("cannot store the class: %1").arg(error);
        return false;
    }
    QList<StudentInClassPtr> students;
    for (const StudentEntity &e : classes->getStudentListByClassNo(classNo)) {
        auto s = std::make_shared<StudentInClass>();
        s->setStudentNo(e.no());
        s->setStudentID(e.id());
        s->setStudentFirstName(e.firstName());
        s->setStudentLastName(e.lastName());
        s->setStudentFullName(e.firstName() + QLatin1Char(' ') + e.lastName());
        s->setDeviceNo(e.deviceNo());
        s->setGroupNo(e.groupNo());
        students << s;
    }
    auto *qpd = QuizParticipantData::shareManager();
    qpd->setClassNo(classNo);
    qpd->setClassName(QStringLiteral("Hall %1").arg(m_keypads));
    qpd->setArrayClassStudents(students);
    qpd->setMaxGroupNo(1);
    qpd->resetRandomTeacherID();
    qpd->resetRandomQuizID();
    // The question's text is not broadcast: Start tells the keypads to answer.
    TovConfigXmlDatabase::sharedConfigUI()->updateSendQuestionState(0);

    ExamPaperInfo paper;
    auto page = QuestionSetView::createTemplate(4, QSizeF(794, 560));
    page->setNQuestionType(0);
    page->setNOptionNum(4);
    page->setStrAnswer(QStringLiteral("B"));
    page->setNQuestionTimeLimit(600);
    page->getQuestionTitle()->textview()->setString(QStringLiteral("Which planet is closest to the Sun?"));
    paper.setArrayQuestionsInfo({page});
    paper.setNExamPaperID(7);
    paper.setStrExamPaperTitle(QStringLiteral("Hall"));
    const QString path = m_home.filePath(QStringLiteral("hall.px"));
    if (!paper.writeToFile(path, &error)) {
        *why = QStringLiteral("cannot write the question file: %1").arg(error);
        return false;
    }

    const int id = 7;
    m_window = ActivityWindowOpener::open(nullptr, dravel() ? 3 : 1, 0, 0, false, 0, path, &id);
    if (!m_window) {
        *why = QStringLiteral("the activity window did not open");
        return false;
    }
    m_answered = m_window->findChild<QLabel *>(QStringLiteral("txtLoginAndAnswered"));
    m_app->watched = m_window;
    // Let the opening frames pass and the window settle.
    QElapsedTimer settle;
    settle.start();
    waitUntil([&] { return settle.elapsed() > 300; }, 1000);
    m_sim->waitForOutputDrained(2000);
    return true;
}

bool LiveRun::startQuestion()
{
    QPushButton *start = m_window->findChild<QPushButton *>(QStringLiteral("btnStart"));
    if (!start || !start->isEnabled())
        return false;
    start->click();
    QElapsedTimer settle;
    settle.start();
    waitUntil([&] { return settle.elapsed() > 300; }, 1000);
    return m_window->bStartFlag();
}

// What the answered field shows: the logged-in count for logins, the answered count for answers.
int LiveRun::shownCount(bool logins) const
{
    const QString text = m_answered ? m_answered->text() : QString();
    return text.section(QLatin1Char('/'), logins ? 1 : 0, logins ? 1 : 0).trimmed().toInt();
}

bool LiveRun::burst(const QString &what, bool logins)
{
    const int target = m_keypads;
    m_sim->setLinePacing(m_paced);
    m_sim->clearLogs();

    // Per repaint: the time and how many of the burst's frames the screen shows by then.
    QList<qint64> shownAt(target + 1, -1);
    int shown = shownCount(logins) >= target ? 0 : shownCount(logins);
    const int before = shown;
    qint64 doneAt = -1;
    m_app->painted = [&] {
        const int now = std::min(shownCount(logins) - before, target);
        const qint64 t = m_sim->elapsedNs();
        for (int k = shown + 1; k <= now; ++k)
            shownAt[k] = t;
        shown = std::max(shown, now);
        if (shown >= target && doneAt < 0)
            doneAt = t;
    };
    // The event loop's turns: a timer that should tick every millisecond.
    qint64 lastTick = m_sim->elapsedNs();
    qint64 longestGap = 0;
    QTimer heartbeat;
    heartbeat.setTimerType(Qt::PreciseTimer);
    QObject::connect(&heartbeat, &QTimer::timeout, [&] {
        const qint64 t = m_sim->elapsedNs();
        if (doneAt < 0)
            longestGap = std::max(longestGap, t - lastTick);
        lastTick = t;
    });
    heartbeat.start(1);

    for (int i = 1; i <= target; ++i) {
        if (logins)
            m_sim->login(0x0100 + i, studentID(i), QStringLiteral("First%1").arg(i));
        else if (dravel())
            m_sim->answer(0x0100 + i, QString(QChar('A' + i % 4)));
        else
            m_sim->answer(i, QString(QChar('A' + i % 4)));
    }
    const bool ok = waitUntil([&] { return doneAt >= 0; }, 60000);
    heartbeat.stop();
    m_app->painted = nullptr;

    // The frames as they went onto the line, in order.
    QList<qint64> wroteAt;
    qint64 bytes = 0;
    for (const SimFrame &f : m_sim->byteLog()) {
        if (f.direction != SimFrame::ToProgram)
            continue;
        wroteAt << f.timeNs;
        bytes += f.bytes.size();
    }
    const int baud = keypadsim::modelInfo(m_model).baud;
    const double lineMs = bytes * 10.0 * 1000.0 / baud;
    double drainMs = 0;
    double behindMs = 0;
    if (!wroteAt.isEmpty() && ok) {
        const qint64 first = wroteAt.first();
        drainMs = (doneAt - first) / 1e6;
        // Behind the line: when the screen showed frame k, against when the line delivered it
        // (its write when paced; its place in the line's own schedule when not).
        qint64 cumulative = 0;
        const QList<SimFrame> log = m_sim->byteLog();
        int k = 0;
        for (const SimFrame &f : log) {
            if (f.direction != SimFrame::ToProgram)
                continue;
            cumulative += f.bytes.size();
            ++k;
            if (k > target || shownAt[k] < 0)
                break;
            const qint64 onLine = m_paced ? f.timeNs : first + qint64(cumulative * 10.0 * 1e9 / baud);
            behindMs = std::max(behindMs, (shownAt[k] - onLine) / 1e6);
        }
    }
    const double ratio = drainMs > 0 ? lineMs / drainMs : 0;
    const double gapMs = longestGap / 1e6;
    // Every tile in the state the burst left it in.
    int right = 0;
    if (StudentLoginView *grid = m_window->studentLoginView()) {
        const int expected = logins ? StudentLoginView::StateLogined : StudentLoginView::StateAnswered;
        for (const StudentInfo &s : grid->students())
            right += s.state() == expected ? 1 : 0;
    }
    const bool gridRight = right == target;
    QStringList missed;
    if (!ok || !gridRight)
        missed << QStringLiteral("NOT ALL SHOWN (%1 tiles right)").arg(right);
    if (!m_paced && ratio < Goal::ratio)
        missed << QStringLiteral("ratio below %1").arg(Goal::ratio);
    if (m_paced && behindMs > Goal::behindMs)
        missed << QStringLiteral("behind more than %1 ms").arg(Goal::behindMs);
    if (gapMs > Goal::gapMs)
        missed << QStringLiteral("gap above %1 ms").arg(Goal::gapMs);
    std::printf("%-6s %4d %-7s %-8s line %7.1f ms  shown %7.1f ms  ratio %5.2f  behind %6.1f ms  gap %5.1f ms  "
                "peak %4ld MB  %s\n",
                keypadsim::modelInfo(m_model).name, target, qPrintable(what), m_paced ? "paced" : "unpaced", lineMs,
                drainMs, ratio, behindMs, gapMs, peakMemoryMB(),
                missed.isEmpty() ? "goal met" : qPrintable(missed.join(QStringLiteral("; "))));
    std::fflush(stdout);
    return ok && gridRight;
}

bool runOne(BenchApp *app, Model model, bool paced)
{
    const int keypads = model == Model::Dravel ? 999 : 400;
    LiveRun run(app, model, keypads, paced);
    QString why;
    if (!run.open(&why)) {
        std::printf("%s: %s\n", keypadsim::modelInfo(model).name, qPrintable(why));
        return false;
    }
    bool ok = true;
    if (model == Model::Dravel)
        ok = run.loginBurst() && ok;
    if (!run.startQuestion()) {
        std::printf("%s: the question did not start\n", keypadsim::modelInfo(model).name);
        return false;
    }
    return run.answerBurst() && ok;
}

// Without a display the run goes on a virtual X server of a classroom screen's size, so that the
// window is as large and drawn the same way as on a real one; without xvfb-run, offscreen.
void onAScreen(int argc, char *argv[])
{
    if (!qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")
        || !qEnvironmentVariableIsEmpty("POLLIX_BENCH_ON_XVFB"))
        return;
    qputenv("POLLIX_BENCH_ON_XVFB", "1");
    std::vector<char *> args{const_cast<char *>("xvfb-run"), const_cast<char *>("-a"), const_cast<char *>("-s"),
                             const_cast<char *>("-screen 0 1280x1024x24")};
    for (int i = 0; i < argc; ++i)
        args.push_back(argv[i]);
    args.push_back(nullptr);
    execvp("xvfb-run", args.data());
    qputenv("QT_QPA_PLATFORM", "offscreen");
}

} // namespace

int main(int argc, char *argv[])
{
    onAScreen(argc, argv);
    qputenv("POLLIX_NO_UDEV", "1");
    qunsetenv("POLLIX_SERIAL_PORTS");
    // As the program runs for a teacher: its diagnostic lines filtered out by the logging rules.
    if (qEnvironmentVariableIsEmpty("QT_LOGGING_RULES"))
        qputenv("QT_LOGGING_RULES", "pollix.info=false");
    BenchApp app(argc, argv);
    LinkTiming::setCurrent(LinkTiming::fast());
    ActivityWindowOpener::install();

    // Arguments narrow the runs: a model (dravel, arvel) and a pacing (paced, unpaced).
    const QStringList args = app.arguments().mid(1);
    const auto chosen = [&](const QString &word, const QString &other) {
        return args.contains(word) || !args.contains(other);
    };
    const QSize screen = app.primaryScreen() ? app.primaryScreen()->size() : QSize();
    std::printf("Live run (%s, %dx%d): simulator -> pty -> link -> activity object -> activity window, until the "
                "grid and the answered count show every frame\n",
                qPrintable(QGuiApplication::platformName()), screen.width(), screen.height());
    std::printf("(ratio: line time / shown time; goals: unpaced ratio >= %.0f, paced behind <= %.0f ms, gaps <= %.0f ms)\n",
                Goal::ratio, Goal::behindMs, Goal::gapMs);
    bool ok = true;
    for (const Model model : {Model::Dravel, Model::Arvel}) {
        const bool dravel = model == Model::Dravel;
        if (!chosen(dravel ? QStringLiteral("dravel") : QStringLiteral("arvel"),
                    dravel ? QStringLiteral("arvel") : QStringLiteral("dravel")))
            continue;
        for (const bool paced : {true, false}) {
            if (chosen(paced ? QStringLiteral("paced") : QStringLiteral("unpaced"),
                       paced ? QStringLiteral("unpaced") : QStringLiteral("paced")))
                ok = runOne(&app, model, paced) && ok;
        }
    }
    return ok ? 0 : 1;
}

#include "DemoRun.h"

#include "DemoData.h"

#include "core/app/Orvenda_AppDelegate.h"
#include "core/engine/QuizData.h"
#include "core/engine/QuizParticipantData.h"
#include "core/store/TovQuizXmlDatabase.h"
#include "ui/app/MainwndController.h"
#include "ui/app/TabController.h"
#include "ui/authoring/SmallQuestions.h"
#include "ui/controls/DialogHooks.h"
#include "ui/controls/ElidedLabel.h"
#include "ui/run/QuizStateWindowController.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QScreen>

#include <cstdio>

namespace {
constexpr int kStepTimeoutMs = 30000;
constexpr int kTotalTimeoutMs = 240000;
// Long enough that a key the program took is seen to work first, even on a busy machine.
constexpr int kKeyAgainMs = 4000;

QWidget *modal()
{
    return QApplication::activeModalWidget();
}

bool modalIs(const char *name)
{
    QWidget *w = modal();
    return w && w->objectName() == QLatin1String(name);
}

// Done when the window that waits for an answer now is not the one up at the press.
std::function<bool()> modalAnswered()
{
    return [was = QPointer<QWidget>(modal())] { return !was || modal() != was.data(); };
}
} // namespace

DemoRun::DemoRun(const QString &folder, const QString &simPath, quint32 seed)
    : m_folder(folder), m_simPath(simPath), m_seed(seed)
{
    m_questions = int(DemoData::answers().size());
    connect(&m_timer, &QTimer::timeout, this, &DemoRun::tick);
}

bool DemoRun::startReceiver(QString *why)
{
    m_sim.setProgram(m_simPath);
    m_sim.setArguments({QStringLiteral("--model"), QStringLiteral("dravel"), QStringLiteral("--keypads"),
                        QString::number(DemoData::kStudents), QStringLiteral("--seed"), QString::number(m_seed),
                        QStringLiteral("--auto"), QStringLiteral("--answers"), DemoData::answers().join(QLatin1Char(',')),
                        QStringLiteral("--quiet")});
    m_sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_sim.start();
    if (!m_sim.waitForStarted(5000) || !m_sim.waitForReadyRead(10000)) {
        *why = QStringLiteral("the simulated receiver did not start (%1)").arg(m_simPath);
        return false;
    }
    const QString port = QString::fromUtf8(m_sim.readLine()).trimmed();
    if (port.isEmpty()) {
        *why = QStringLiteral("the simulated receiver gave no port");
        return false;
    }
    std::printf("Simulated Dravel receiver with %d keypads on %s\n", DemoData::kStudents, qPrintable(port));
    std::fflush(stdout);
    qputenv("POLLIX_SERIAL_PORTS", port.toUtf8());
    return true;
}

void DemoRun::openProgram(const QString &quizPath)
{
    m_quiz = quizPath;
    // The open panel is the one place a teacher would pick the file with the mouse.
    DialogHooks::setFileResponder([this](const FileDialogRequest &r) { return r.save ? QString() : m_quiz; });

    // The folder may hold sessions of earlier runs: the run's own is the one that is new.
    if (const Orvenda_AppDelegate *app = Orvenda_AppDelegate::getAppDelegate())
        m_before = QDir(app->strQuizXmlDataFilePath()).entryList({QStringLiteral("*.xml")}, QDir::Files);
    m_main = new MainwndController;
    m_main->initWindow();
    m_main->showWindow();
    m_tab = m_main->window();
    m_total.start();
    goTo(WaitReceiver);
    m_timer.start(200);
}

void DemoRun::teacher(const QString &command)
{
    std::printf("teacher keypad: %s\n", qPrintable(command));
    std::fflush(stdout);
    m_sim.write(command.toUtf8() + '\n');
}

void DemoRun::press(const QString &command, std::function<bool()> done)
{
    teacher(command);
    m_key = command;
    m_keyDone = std::move(done);
    m_keyClock.start();
}

bool DemoRun::pressAgainWhileNotDone()
{
    if (!m_keyDone)
        return false;
    if (m_keyDone()) {
        m_keyDone = nullptr;
        return false;
    }
    if (m_keyClock.elapsed() > kKeyAgainMs) {
        std::printf("nothing happened: again\n");
        teacher(m_key);
        m_keyClock.start();
    }
    return true;
}

int DemoRun::questionShown() const
{
    const SmallQuestions *strip = runWindow() ? runWindow()->findChild<SmallQuestions *>() : nullptr;
    return strip ? strip->nCurrentQuNo() : 0;
}

bool DemoRun::questionRuns() const
{
    const auto *run = qobject_cast<QuizStateWindowController *>(runWindow());
    return run && run->bStartFlag();
}

void DemoRun::goTo(Step step)
{
    m_step = step;
    m_stepClock.start();
}

QWidget *DemoRun::runWindow() const
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("QuizState") && w->isVisible())
            return w;
    return nullptr;
}

void DemoRun::fail(const QString &why)
{
    m_timer.stop();
    std::fprintf(stderr, "pollix-demo: %s\n", qPrintable(why));
    emit finished(false);
}

void DemoRun::startSecondRun()
{
    m_run = 2;
    // The question file may still be loaded, and then the same key starts the run.
    if (m_tab->bIsLoaded()) {
        press(QStringLiteral("tlogin"), [this] { return runWindow() != nullptr; });
        goTo(StartRun);
    } else {
        press(QStringLiteral("tlogin"), [this] { return m_tab->bIsLoaded() || modal(); });
        goTo(LoadFile);
    }
}

void DemoRun::shot(const QString &name)
{
    const QString folder = qEnvironmentVariable("POLLIX_SHOTS");
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    if (QScreen *screen = QGuiApplication::primaryScreen())
        screen->grabWindow(0).save(QDir(folder).filePath(QStringLiteral("demo-%1.png").arg(name)));
}

void DemoRun::showResults()
{
    // Each window is given a moment on the screen; the keypads' late answers keep arriving.
    const bool settled = stepTookLongerThan(1200);
    const auto next = [this](const char *key, std::function<bool()> done) {
        press(QStringLiteral("teacher %1").arg(QLatin1String(key)), std::move(done));
        ++m_resultStep;
        goTo(Results);
    };
    switch (m_resultStep) {
    case 0: // Result: the summary of the question
        if (modalIs("QuizResult") && settled) {
            shot(QStringLiteral("result"));
            next("81", [] { return modalIs("QuizReportHistogram"); });
        }
        break;
    case 1: // F1: the histogram, the right option's bar in green
        if (modalIs("QuizReportHistogram") && settled) {
            shot(QStringLiteral("histogram"));
            next("82", modalAnswered());
        }
        break;
    case 2: // F2 closes the histogram, F2 again the summary
        if (modalIs("QuizResult"))
            next("82", modalAnswered());
        break;
    case 3: // Report: the students' answers with their points
        if (!modal() && stepTookLongerThan(300))
            next("8C", [] { return modalIs("QuizReport"); });
        break;
    case 4:
        if (modalIs("QuizReport") && settled) {
            shot(QStringLiteral("report"));
            next("82", modalAnswered());
        }
        break;
    default:
        if (!modal()) {
            std::printf("result, histogram and report shown\n");
            std::fflush(stdout);
            goTo(Stopped);
        }
        break;
    }
}

void DemoRun::tick()
{
    if (m_total.elapsed() > kTotalTimeoutMs)
        return fail(QStringLiteral("the run did not finish in time"));
    if (m_step != Answering && stepTookLongerThan(kStepTimeoutMs))
        return fail(QStringLiteral("stuck at step %1").arg(int(m_step)));
    auto *app = Orvenda_AppDelegate::getAppDelegate();
    // A step goes on only from what the last key did.
    if (pressAgainWhileNotDone())
        return;

    switch (m_step) {
    case WaitReceiver:
        // The splash and, briefly, the system choice may still be up.
        if (app && app->getBHaveDevice() && app->currentDeviceType() == 3 && !modal() && m_tab && m_tab->isVisible()) {
            press(QStringLiteral("tlogin"), [this] { return modalIs("ClassSet") || m_tab->bIsClassSetted(); });
            goTo(ClassSetUp);
        }
        break;
    case ClassSetUp:
        if (modalIs("ClassSet")) {
            if (auto *ok = modal()->findChild<QPushButton *>(QStringLiteral("buttonOk")))
                ok->click();
        } else if (m_tab->bIsClassSetted() && !modal()) {
            press(QStringLiteral("tlogin"), [this] { return m_tab->bIsLoaded() || modal(); });
            goTo(LoadFile);
        }
        break;
    case LoadFile:
        if (m_tab->bIsLoaded() && !m_tab->isRun() && !modal()) {
            press(QStringLiteral("tlogin"), [this] { return runWindow() != nullptr; });
            goTo(StartRun);
        }
        break;
    case StartRun:
        if (runWindow())
            goTo(WaitLogins);
        break;
    case WaitLogins: {
        const int logged = QuizParticipantData::shareManager()->getSumOfLoginStudents();
        if (m_run == 2) {
            // The keypads logged out at the end of the first run; every one of them comes back.
            if (logged >= DemoData::kStudents) {
                std::printf("second run: %d of %d keypads logged in again\n", logged, DemoData::kStudents);
                press(QStringLiteral("teacher 85"), [] { return modal() != nullptr; });
                goTo(LeavingSecondRun);
            } else if (stepTookLongerThan(15000)) {
                return fail(QStringLiteral("second run: %1 of %2 keypads logged in").arg(logged).arg(DemoData::kStudents));
            }
        } else if (logged >= DemoData::kStudents || stepTookLongerThan(15000)) {
            goTo(StartQuestion);
        }
        break;
    }
    case StartQuestion:
        if (stepTookLongerThan(500)) {
            press(QStringLiteral("teacher 8A"), [this] { return questionRuns(); });
            goTo(Answering);
        }
        break;
    case Answering: {
        const QList<int> asked = QuizData::shareManager()->arrayAlreadyTestQuestionNo();
        const int current = asked.isEmpty() ? 0 : asked.last();
        int answered = 0;
        for (int d : QuizParticipantData::shareManager()->loginDeviceNos()) {
            const QString answer = current > 0 ? QuizData::shareManager()->getStudentAnswer(current, d) : QString();
            if (answer.isEmpty())
                continue;
            ++answered;
            // Each answer as it reaches the run, for whoever watches the demo (or checks it).
            const StudentInClassPtr student = QuizParticipantData::shareManager()->loginStudentWithDeviceNo(d);
            if (student && !m_answersShown.contains({current, d})) {
                m_answersShown.insert({current, d});
                std::printf("answer: question %d, student %s: %s\n", m_question, qPrintable(student->studentID()),
                            qPrintable(answer));
                std::fflush(stdout);
            }
        }
        const int expected = QuizParticipantData::shareManager()->getSumOfLoginStudents();
        // Most keypads answer within a few seconds; a few never do, as in a real class.
        if ((current > 0 && answered >= expected * 9 / 10 && stepTookLongerThan(5000)) || stepTookLongerThan(12000)) {
            std::printf("question %d: %d of %d answered\n", m_question, answered, expected);
            press(QStringLiteral("teacher 8B"), [this] { return !questionRuns(); });
            goTo(Stopped);
        }
        break;
    }
    case Stopped:
        if (stepTookLongerThan(1500) && !questionRuns()) {
            if (m_resultStep < 0) {
                m_resultStep = 0;
                press(QStringLiteral("teacher 8D"), [] { return modalIs("QuizResult"); });
                goTo(Results);
            } else if (m_question < m_questions) {
                ++m_question;
                press(QStringLiteral("teacher 86"), [this, was = questionShown()] { return was == 0 || questionShown() != was; });
                goTo(StartQuestion);
            } else {
                press(QStringLiteral("teacher 85"), [] { return modal() != nullptr; });
                goTo(Exiting);
            }
        }
        break;
    case Results:
        showResults();
        break;
    case Exiting:
        // The exit question is an alert that listens to the keypad: F1 is its OK.
        if (modal() && !modalIs("SaveToData")) {
            if (stepTookLongerThan(800)) {
                press(QStringLiteral("teacher 81"), modalAnswered());
                goTo(Saving);
            }
        }
        break;
    case Saving:
        if (modalIs("SaveToData") && stepTookLongerThan(800) && m_askedAgain == 0) {
            ++m_askedAgain;
            press(QStringLiteral("teacher 81"), modalAnswered());
        }
        // The save asks nothing more: the main window's status line says where it went.
        if (m_askedAgain == 1 && modal() && !modalIs("SaveToData"))
            return fail(QStringLiteral("a window waits for an answer after the save: %1").arg(modal()->objectName()));
        {
            const QDir quizDir(app->strQuizXmlDataFilePath());
            QFileInfoList files = quizDir.entryInfoList({QStringLiteral("*.xml")}, QDir::Files, QDir::Time);
            files.removeIf([this](const QFileInfo &f) { return m_before.contains(f.fileName()); });
            if (!files.isEmpty() && !modal()) {
                m_saved = files.first().absoluteFilePath();
                // The session is read back as the report window would read it.
                const auto session = TovQuizXmlDatabase().getQuizInfoAll(m_saved);
                if (!session || session->allQuestions().size() != m_questions || session->allStudentsAns().isEmpty())
                    return fail(QStringLiteral("the saved session %1 does not hold the run").arg(m_saved));
                int right = 0;
                for (const ResponseDataEntity &r : session->allStudentsAns())
                    right += r.studentPoint().toInt() > 0 ? 1 : 0;
                std::printf("%lld questions, %lld answers, %d right\n", qlonglong(session->allQuestions().size()),
                            qlonglong(session->allStudentsAns().size()), right);
                const QString line = m_tab->txtSessionSaved->fullText();
                if (!line.endsWith(QDir::toNativeSeparators(m_saved)))
                    return fail(QStringLiteral("the main window says \"%1\", not where the session went").arg(line));
                std::printf("main window: %s\n", qPrintable(line));
                std::fflush(stdout);
                goTo(NextRun);
            }
        }
        break;
    case NextRun:
        if (!modal() && !runWindow() && !m_tab->isRun() && stepTookLongerThan(800)) {
            shot(QStringLiteral("saved"));
            startSecondRun();
        }
        break;
    case LeavingSecondRun:
        // No question was run: the exit question is the last window of the run.
        if (modal() && stepTookLongerThan(800)) {
            press(QStringLiteral("teacher 81"), modalAnswered());
            goTo(Done);
        }
        break;
    case Done:
        if (m_run == 2 && !modal() && !runWindow()) {
            m_timer.stop();
            m_sim.write("quit\n");
            m_sim.waitForFinished(3000);
            emit finished(true);
        }
        break;
    }
}

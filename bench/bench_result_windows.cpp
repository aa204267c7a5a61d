// The result windows of a 400-student run: how long the question report and the histogram take
// to open (figures, table, first drawing) and to draw again, and whether answers arriving at the
// serial line's speed while the histogram is up keep the run's student grid current.
// Run: ./dev bench (or build/bench/bench_result_windows).
#include "core/app/Orvenda_AppDelegate.h"
#include "core/authoring/ExamPaperInfo.h"
#include "core/authoring/QuestionSetView.h"
#include "core/engine/QuizData.h"
#include "core/engine/QuizParticipantData.h"
#include "core/engine/QuizQuestions.h"
#include "core/keypad/DeviceController.h"
#include "core/keypad/LinkTiming.h"
#include "platform/NotificationCenter.h"
#include "ui/app/ActivityWindowOpener.h"
#include "ui/controls/DialogHooks.h"
#include "ui/run/QuizReportController.h"
#include "ui/run/QuizReportHistogramController.h"
#include "ui/run/QuizStateWindowController.h"
#include "ui/run/StudentLoginView.h"

#include "BenchReceiver.h"
#include "BenchTiming.h"
#include "SimReceiver.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>

using keypadsim::Model;
using keypadsim::SimFrame;
using keypadsim::SimReceiver;

namespace {

constexpr int kStudents = 400;
constexpr int kQuestions = 100;

// 400 logged-in students, 100 questions asked, every student answering every question.
void fillRun()
{
    QList<StudentInClassPtr> students;
    for (int i = 1; i <= kStudents; ++i) {
        auto s = std::make_shared<StudentInClass>();
        s->setStudentNo(i);
        s->setStudentID(QStringLiteral("S%1").arg(i, 4, 10, QLatin1Char('0')));
        s->setStudentFullName(QStringLiteral("First%1 Last%1").arg(i));
        s->setDeviceNo(i);
        s->setGroupNo(i % 8 + 1);
        students << s;
    }
    auto *qpd = QuizParticipantData::shareManager();
    qpd->setArrayClassStudents(students);
    qpd->setArrayLoginStudents(students);
    QList<QuizQuestionsElement> set;
    for (int q = 1; q <= kQuestions; ++q) {
        QuizQuestionsElement e;
        e.setStrTitle(QStringLiteral("Question %1: which of these is right?").arg(q));
        for (int k = 0; k < 4; ++k)
            e.setStrOption(k, QStringLiteral("Option %1").arg(QChar('A' + k)));
        e.setNOptionNum(4);
        e.setStrAnswer(QStringLiteral("B"));
        set << e;
    }
    QuizQuestions::shareManager()->setArrayQuestions(set);
    auto *qd = QuizData::shareManager();
    QList<int> asked;
    for (int q = 1; q <= kQuestions; ++q) {
        qd->clearQuestionRecord(q);
        for (int d = 1; d <= kStudents; ++d) {
            qd->setStudentAnswer(q, d, QString(QChar('A' + (d * 7 + q) % 5)));
            qd->setStudentAnswerTime(q, d, d % 9);
        }
        asked << q;
    }
    qd->setArrayAlreadyTestQuestionNo(asked);
}

template <typename Window>
void openAndRedraw(const char *what, const std::function<void(Window &)> &setUp)
{
    QList<double> open, redraw;
    for (int round = 0; round < 9; ++round) {
        QElapsedTimer t;
        t.start();
        Window w;
        setUp(w);
        w.load();
        w.resize(900, 640);
        w.show();
        w.grab();
        open << t.nsecsElapsed() / 1e6;
        t.restart();
        w.grab();
        redraw << t.nsecsElapsed() / 1e6;
    }
    std::printf("%-18s %d students, %d questions asked: open %6.1f ms, redraw %6.1f ms (median of %lld)\n", what,
                kStudents, kQuestions, median(open), median(redraw), qlonglong(open.size()));
}

QString questionFile(const QString &folder)
{
    ExamPaperInfo set;
    auto page = QuestionSetView::createTemplate(4, QSizeF(800, 600));
    page->getQuestionTitle()->textview()->setString(QStringLiteral("Which planet is closest to the Sun?"));
    page->setNQuestionType(0);
    page->setStrAnswer(QStringLiteral("B"));
    page->setNQuestionTimeLimit(30);
    page->setNOptionNum(4);
    set.setArrayQuestionsInfo({page});
    set.setNExamPaperID(7);
    const QString path = folder + QStringLiteral("/bench.px");
    set.writeToFile(path);
    return path;
}

// A Dravel run: 400 keypads log in, a question runs and stops; with the histogram up, every
// keypad answers at the line's pace. The grid must follow each answer as it arrives.
void answersWhileTheHistogramIsUp(const QString &folder)
{
    SimReceiver::Options o;
    o.model = Model::Dravel;
    o.paceLine = true;
    SimReceiver sim(o);
    if (!plugInBenchReceiver(sim))
        return;
    auto *qpd = QuizParticipantData::shareManager();
    qpd->removeActivityRecord();
    QuizData::shareManager()->removeActivityRecord();
    QList<StudentInClassPtr> students = qpd->arrayClassStudents();
    for (const StudentInClassPtr &s : students)
        s->setDeviceNo(0);
    const int id = 0;
    QuizStateWindowController *run = ActivityWindowOpener::open(nullptr, 3, 0, 0, false, 0, questionFile(folder), &id);
    spin([&] { return !sim.framesFromProgram().isEmpty(); }, 5000);
    for (int i = 1; i <= kStudents; ++i)
        sim.login(0x1000 + i, QStringLiteral("S%1").arg(i, 4, 10, QLatin1Char('0')));
    if (!spin([&] { return run->studentLoginView()->count() == kStudents && sim.keypad(0x1000 + kStudents).loggedIn; }, 30000)) {
        std::printf("the keypads did not all log in (%d)\n", run->studentLoginView()->count());
        return;
    }
    run->findChild<QPushButton *>(QStringLiteral("btnStart"))->click();
    run->findChild<QPushButton *>(QStringLiteral("btnStop"))->click();

    // Each answer's arrival on the grid, against the moment its bytes went onto the line.
    QHash<int, qint64> shown;
    QObject context;
    NotificationCenter::defaultCenter()->addObserver(&context, QStringLiteral("STUDENTANSWERMESSAGE"), [&](const Notification &n) {
        shown.insert(n.userInfo.value(QStringLiteral("DEVICENO")).toInt(), sim.elapsedNs());
    });
    bool current = false;
    double seconds = 0;
    DialogHooks::setModalResponder([&](QDialog *) {
        sim.clearLogs();
        QElapsedTimer wall;
        wall.start();
        for (int i = 1; i <= kStudents; ++i)
            sim.answer(0x1000 + i, QString(QChar('A' + i % 4)));
        current = spin([&] {
            int answered = 0;
            for (const StudentInfo &s : run->studentLoginView()->students())
                answered += s.state() == StudentLoginView::StateAnswered ? 1 : 0;
            return answered == kStudents;
        }, 60000);
        seconds = wall.nsecsElapsed() / 1e9;
        return 0;
    });
    {
        QuizReportHistogramController histogram(run);
        histogram.setNQuestionNo(1);
        histogram.setRun(run);
        histogram.runModal();
    }
    DialogHooks::setModalResponder({});

    QList<double> latency;
    for (const SimFrame &f : sim.byteLog()) {
        if (f.direction != SimFrame::ToProgram || f.bytes.size() < 3)
            continue;
        const int device = quint8(f.bytes[1]) | (quint8(f.bytes[2]) << 8);
        if (shown.contains(device))
            latency << (shown.value(device) - f.timeNs) / 1e6;
    }
    std::sort(latency.begin(), latency.end());
    const int frameBytes = sim.framesToProgram().isEmpty() ? 0 : int(sim.framesToProgram().first().bytes.size());
    const double lineSeconds = double(kStudents) * frameBytes * 10 / 115200;
    std::printf("histogram up: %d answers at line speed (%d-byte frames, %.0f ms on the line) %s in %.0f ms; "
                "line to grid p50 %.2f ms p99 %.2f ms max %.2f ms\n",
                kStudents, frameBytes, lineSeconds * 1000, current ? "all on the grid" : "GRID BEHIND", seconds * 1000,
                latency.isEmpty() ? 0 : latency.at(latency.size() / 2),
                latency.isEmpty() ? 0 : latency.at(qMin<qsizetype>(latency.size() - 1, latency.size() * 99 / 100)),
                latency.isEmpty() ? 0 : latency.last());
    delete run;
    unplugBenchReceiver(sim);
}

} // namespace

int main(int argc, char *argv[])
{
    benchReceiverEnvironment();
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir home;
    qputenv("POLLIX_HOME", home.path().toUtf8());
    Orvenda_AppDelegate delegate(home.path());
    Orvenda_AppDelegate::setAppDelegate(&delegate);
    LinkTiming::setCurrent(LinkTiming::fast());

    std::printf("Result windows of a run\n");
    fillRun();
    openAndRedraw<QuizReportController>("question report", [](QuizReportController &w) {
        w.setActMode(0);
        w.setNQuestionNo(kQuestions);
    });
    openAndRedraw<QuizReportHistogramController>("histogram", [](QuizReportHistogramController &w) {
        w.setNQuestionNo(kQuestions);
    });
    answersWhileTheHistogramIsUp(home.path());
    Orvenda_AppDelegate::setAppDelegate(nullptr);
    return 0;
}

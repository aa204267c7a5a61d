// The windows a run opens for its figures, on runs with the simulated receiver: opened from the
// activity window and the teacher keypad, closed by the keypad, and never in the way of the
// students' logins and answers, which reach the run once each while any of them is up.
#include "RunWindowFixture.h"

#include "core/engine/QuizComputeMethod.h"
#include "core/engine/ForceLoginEnrolment.h"
#include "core/keypad/DeviceController.h"
#include "core/presentation/MouseFunction.h"
#include "core/reports/GroupResultReport.h"
#include "core/store/DataManager.h"
#include "core/store/TovClassXmlDatabase.h"
#include "platform/Log.h"
#include "platform/NotificationCenter.h"
#include "support/DialogAnswers.h"
#include "support/LogLines.h"
#include "support/PointerClicks.h"
#include "ui/run/AnswerDetailsController.h"
#include "ui/run/ForceLoginController.h"
#include "ui/run/GroupReportController.h"
#include "ui/run/HandRaiseMarkingController.h"
#include "ui/run/QuickGroupingResultController.h"
#include "ui/run/QuizReportController.h"
#include "ui/run/QuizReportHistogramController.h"
#include "ui/run/QuizResultController.h"
#include "ui/run/ResultDetailsController.h"
#include "ui/run/ResultView.h"
#include "ui/run/RollCallResultsController.h"
#include "ui/reports/GroupResultController.h"

#include <QCheckBox>
#include <QDir>
#include <QHeaderView>
#include <QLineEdit>
#include <QMap>
#include <QRegularExpression>
#include <QTableWidget>
#include <QApplication>
#include <QTest>

using keypadsim::Model;
using keypadsim::SimReceiver;

namespace {

QString sid(int i)
{
    return QStringLiteral("S%1").arg(i, 3, 10, QLatin1Char('0'));
}

class ResultWindowsTest : public RunWindowFixture
{
protected:
    void SetUp() override
    {
        RunWindowFixture::SetUp();
        NotificationCenter::defaultCenter()->addObserver(&m_context, QString(), [this](const Notification &n) {
            if (n.name == QLatin1String("QUIZSTATESTUDENTLOGIN"))
                ++logins[n.userInfo.value(QStringLiteral("STUDENTINCLASS")).value<StudentInClassPtr>()->studentID()];
            else if (n.name == QLatin1String("STUDENTANSWERMESSAGE"))
                ++answers[n.userInfo.value(QStringLiteral("DEVICENO")).toInt()];
            else if (n.name == QLatin1String("LOGINVIEW_TONORMAL"))
                ++toNormal;
        });
    }
    void TearDown() override
    {
        NotificationCenter::defaultCenter()->removeObserver(&m_context);
        RunWindowFixture::TearDown();
    }

    // A Dravel run of a normal quiz on two questions whose keypads 0x0101.. log in as S001..;
    // the first `logged` of them are in when it returns.
    SimReceiver *dravelRun(int logged, int classSize = 12)
    {
        SimReceiver *sim = plugIn(Model::Dravel);
        if (!sim || !waitFor([&] { return app()->getBHaveDevice(); }))
            return nullptr;
        makeClass(classSize);
        open(0, 3, questionFile({{0, QStringLiteral("B"), 10}, {0, QStringLiteral("C"), 10}}));
        EXPECT_TRUE(waitFor([&] { return !sim->framesFromProgram().isEmpty(); }));
        for (int i = 1; i <= logged; ++i)
            sim->login(0x0100 + i, sid(i));
        EXPECT_TRUE(waitFor([&] { return keypadsLoggedIn(sim, 0x0101, logged) && grid()->count() == logged; }));
        return sim;
    }
    int deviceOf(int i) const
    {
        for (const StudentInfo &s : grid()->students())
            if (s.student()->studentID() == sid(i))
                return s.student()->deviceNo();
        return 0;
    }
    // Four students in, in groups 1, 2, 1, 2 on keypads 1 to 4.
    void groupClass()
    {
        makeClass(4, 1);
        auto *qpd = QuizParticipantData::shareManager();
        qpd->setArrayLoginStudents(qpd->arrayClassStudents());
        qpd->setMaxGroupNo(2);
        for (int i = 0; i < 4; ++i)
            qpd->arrayClassStudents()[i]->setGroupNo(i % 2 + 1);
    }
    // A run by group, as the main window opens one, of one question (B right, 10 points) asked
    // and stopped, answered rightly on keypad `device` alone.
    void groupRunAnswered(int device)
    {
        groupClass();
        const int id = 42;
        window = ActivityWindowOpener::open(nullptr, 4, 0, 1, false, 1, questionFile({{0, QStringLiteral("B"), 10}}), &id);
        button("btnStart")->click();
        QuizData::shareManager()->setStudentAnswer(1, device, QStringLiteral("B"));
        button("btnStop")->click();
    }
    // Exit, its question answered, and the save dialog's OK: the one session saved, read back.
    std::optional<QuizEntity> exitAndReadSaved()
    {
        if (!exitAndSave())
            return std::nullopt;
        const QDir sessions(app()->strQuizXmlDataFilePath());
        const QStringList files = sessions.entryList({QStringLiteral("*.xml")}, QDir::Files);
        EXPECT_EQ(files.size(), 1);
        return files.size() == 1 ? DataManager::getQuizAtPath(sessions.filePath(files.first())) : std::nullopt;
    }
    // Types points into the extra points of group g as a teacher does: a double click on the
    // cell, the digits over what it held, Return. The final points the window then shows.
    static QString typeExtraPoints(GroupReportController *group, int g, const QString &points)
    {
        QTableWidget *t = group->tableview;
        const QRect cell = t->visualItemRect(t->item(g - 1, GroupReportController::AppendPoints));
        QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(t->viewport(), Qt::LeftButton, {}, cell.center());
        auto *editor = t->findChild<QLineEdit *>();
        if (!editor)
            return QStringLiteral("no editor");
        QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(editor, points);
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents(); // the table takes the edit on its next turn
        return t->item(g - 1, GroupReportController::FinallyPoints)->text();
    }
    // Runs every child window through `inside` instead of its own event loop; records its name.
    void whileUp(const std::function<void(QDialog *)> &inside)
    {
        DialogHooks::setModalResponder([this, inside](QDialog *d) {
            childWindows << d->objectName();
            inside(d);
            return d->result();
        });
    }
    // True once the dialog was closed (by a key or a button).
    static bool closes(QDialog *d)
    {
        return waitFor([d] { return !d->isVisible() && d->property("closedOnce").toBool(); });
    }
    static void watchClose(QDialog *d)
    {
        QObject::connect(d, &QDialog::finished, d, [d] { d->setProperty("closedOnce", true); });
    }

    QMap<QString, int> logins;
    QMap<int, int> answers;
    int toNormal = 0;

private:
    QObject m_context;
};

} // namespace

TEST_F(ResultWindowsTest, LoginsAndAnswersReachTheRunOnceWhileEachWindowIsUp)
{
    SimReceiver *sim = dravelRun(1);
    ASSERT_TRUE(sim);
    button("btnStart")->click();
    ASSERT_TRUE(window->bStartFlag());
    button("btnStop")->click();
    ASSERT_FALSE(window->bStartFlag());

    // Each window in turn, opened over the run as the run opens it; while it is up a new keypad
    // logs in and answers (a late answer to the question that stopped), then the teacher keypad
    // closes it.
    using Make = std::function<std::unique_ptr<RunChildWindow>()>;
    const QList<std::pair<Make, quint8>> windows{
        {[] { auto w = std::make_unique<QuizResultController>(); w->setNQuestionNo(1); return w; }, 0x82},
        {[] { auto w = std::make_unique<QuizReportHistogramController>(); w->setNQuestionNo(1); return w; }, 0x85},
        {[] { auto w = std::make_unique<QuizReportController>(); w->setNQuestionNo(1); return w; }, 0x82},
        {[] { auto w = std::make_unique<QuizReportController>(); w->setBIsGroupMode(true); return w; }, 0x82},
        {[] { auto w = std::make_unique<ResultDetailsController>(); w->setNQuestionNo(1); return w; }, 0x82},
        {[] { return std::make_unique<AnswerDetailsController>(); }, 0x82},
        {[] { auto w = std::make_unique<GroupReportController>(); w->setNQuestionNo(1); return w; }, 0x85},
        {[] { return std::make_unique<RollCallResultsController>(); }, 0x82},
        {[] { return std::make_unique<QuickGroupingResultController>(); }, 0x82},
        {[] { return std::make_unique<HandRaiseMarkingController>(); }, 0x81},
    };
    int student = 1;
    for (const auto &[make, closeKey] : windows) {
        ++student;
        std::unique_ptr<RunChildWindow> w = make();
        w->setParent(window, Qt::Dialog);
        w->setRun(window);
        watchClose(w.get());
        bool wasListener = false;
        bool landed = false;
        bool closed = false;
        whileUp([&](QDialog *d) {
            wasListener = app()->objectToReceiveCommData() == d;
            sim->login(0x0100 + student, sid(student));
            // The keypad answers once the receiver has told it its number.
            landed = waitFor([&] {
                return grid()->count() == student && deviceOf(student) > 0 && sim->keypad(0x0100 + student).loggedIn;
            });
            if (landed) {
                sim->answer(0x0100 + student, QStringLiteral("B"));
                landed = waitFor([&] { return QuizData::shareManager()->getStudentAnswer(1, deviceOf(student)) == "B"; });
            }
            sim->pressTeacherKey(closeKey);
            closed = closes(d);
        });
        w->runModal();
        const QString name = w->objectName();
        EXPECT_TRUE(wasListener) << name.toStdString();
        EXPECT_TRUE(landed) << name.toStdString() << ": the login and the answer reach the run";
        EXPECT_TRUE(closed) << name.toStdString() << ": the teacher keypad closes it";
        EXPECT_EQ(logins.value(sid(student)), 1) << name.toStdString();
        EXPECT_EQ(answers.value(deviceOf(student)), 1) << name.toStdString();
        EXPECT_EQ(grid()->students().last().state(), StudentLoginView::StateAnswered) << name.toStdString();
        EXPECT_EQ(app()->objectToReceiveCommData(), window.data()) << "the role goes back to the run";
    }
    EXPECT_EQ(window->studentLoginView()->count(), 11);
    EXPECT_EQ(QuizParticipantData::shareManager()->getSumOfLoginStudents(), 11);
    // The summary, report, group report and the two roll-call windows tell the run's strip.
    EXPECT_EQ(toNormal, 5);
}

TEST_F(ResultWindowsTest, TheTeacherKeypadOpensTheResultAndReportWindowsAndTheirDetails)
{
    SimReceiver *sim = dravelRun(3);
    ASSERT_TRUE(sim);
    sim->pressTeacherKey(0x8A);
    ASSERT_TRUE(waitFor([&] { return window->bStartFlag(); }));
    sim->answer(0x0101, QStringLiteral("B"));
    sim->answer(0x0102, QStringLiteral("A"));
    ASSERT_TRUE(waitFor([&] { return answers.size() == 2; }));
    sim->pressTeacherKey(0x8B);
    ASSERT_TRUE(waitFor([&] { return !window->bStartFlag(); }));

    // Result (key 8D): the summary; its F1 the histogram, whose F2 closes it; F2 the summary.
    QMap<QString, QString> seen;
    whileUp([&](QDialog *d) {
        watchClose(d);
        EXPECT_FALSE(window->isStatusLevel()) << "the run steps below its window";
        if (auto *result = qobject_cast<QuizResultController *>(d)) {
            seen["figures"] = QStringLiteral("%1/%2/%3 of %4")
                                  .arg(result->rv->correctCount())
                                  .arg(result->rv->errorCount())
                                  .arg(result->rv->noResponseCount())
                                  .arg(result->rv->totalCount());
            sim->pressTeacherKey(0x81);
            EXPECT_TRUE(waitFor([&] { return childWindows.contains("QuizReportHistogram"); }));
            sim->pressTeacherKey(0x82);
        } else if (auto *histogram = qobject_cast<QuizReportHistogramController *>(d)) {
            seen["bars"] = QString::number(histogram->figures().counts.size());
            seen["green"] = QString::number(histogram->figures().correctBar);
            sim->pressTeacherKey(0x82);
        } else if (auto *report = qobject_cast<QuizReportController *>(d)) {
            seen["points"] = report->tblReport->item(0, 5)->text() + QLatin1Char(',') + report->tblReport->item(1, 5)->text();
            seen["average"] = report->textAveragePoint->text();
            sim->pressTeacherKey(0x81);
            EXPECT_TRUE(waitFor([&] { return childWindows.contains("ResultDetails"); }));
            sim->pressTeacherKey(0x85);
        } else if (auto *details = qobject_cast<ResultDetailsController *>(d)) {
            sim->pressTeacherKey(0x81);
            EXPECT_TRUE(waitFor([&] { return details->bFlag(); })) << "F1 reveals the correct answer";
            seen["revealed"] = details->tableview1->item(0, 2)->foreground().color().name();
            sim->pressTeacherKey(0x82);
        }
        EXPECT_TRUE(closes(d)) << d->objectName().toStdString();
    });
    sim->pressTeacherKey(0x8D);
    ASSERT_TRUE(waitFor([&] { return childWindows.contains("QuizReportHistogram") && !window->childWindowUp(); }));
    EXPECT_EQ(childWindows, (QStringList{"QuizResult", "QuizReportHistogram"}));
    EXPECT_EQ(seen["figures"], QStringLiteral("1/1/1 of 3"));
    EXPECT_EQ(seen["bars"], QStringLiteral("5"));
    EXPECT_EQ(seen["green"], QStringLiteral("2"));
    EXPECT_TRUE(window->isStatusLevel());

    childWindows.clear();
    sim->pressTeacherKey(0x8C);
    ASSERT_TRUE(waitFor([&] { return childWindows.contains("ResultDetails") && !window->childWindowUp(); }));
    EXPECT_EQ(childWindows, (QStringList{"QuizReport", "ResultDetails"}));
    EXPECT_EQ(seen["points"], QStringLiteral("10,0"));
    EXPECT_EQ(seen["average"], QStringLiteral("3.3"));
    EXPECT_EQ(seen["revealed"], QColor(Qt::blue).name());
    EXPECT_EQ(app()->objectToReceiveCommData(), window.data());
    // Afterwards the keypad steers the run again.
    sim->pressTeacherKey(0x86);
    EXPECT_TRUE(waitFor([&] { return label("txtPageAndTotalPage") == QStringLiteral("2/2"); }));
}

// Over the question report the large family's Result key (8D), and over the result summary its
// Report key (8C), are noted in the log and do nothing else: the window stays up and opens nothing,
// and each window leaves the other key unnoted.
TEST_F(ResultWindowsTest, TheResultKeyOverTheReportAndTheReportKeyOverTheResultAreNoted)
{
    SimReceiver *sim = dravelRun(2);
    ASSERT_TRUE(sim);
    const QString resultInReport = QStringLiteral("teacher result in report.");
    const QString reportInResult = QStringLiteral("teacher report in result.");
    QuizReportController report(window);
    report.setNQuestionNo(1);
    QuizResultController result(window);
    result.setNQuestionNo(1);
    for (RunChildWindow *w : {static_cast<RunChildWindow *>(&report), static_cast<RunChildWindow *>(&result)}) {
        const QString name = w->objectName();
        w->setRun(window);
        watchClose(w);
        childWindows.clear();
        LogLines log;
        bool stayed = false;
        const bool isReport = w == &report;
        const quint8 noted = isReport ? 0x8D : 0x8C, other = isReport ? 0x8C : 0x8D;
        const QString line = isReport ? resultInReport : reportInResult;
        whileUp([&](QDialog *d) {
            // Keys are taken in order: once the second noted key is in the log, all three were taken.
            sim->pressTeacherKey(other);
            sim->pressTeacherKey(noted);
            sim->pressTeacherKey(noted);
            stayed = waitFor([&] { return log.lines().count(line) == 2; }) && !d->property("closedOnce").toBool();
            sim->pressTeacherKey(0x82);
            EXPECT_TRUE(closes(d)) << name.toStdString();
        });
        w->runModal();
        EXPECT_TRUE(stayed) << name.toStdString();
        EXPECT_EQ(childWindows, QStringList{name}) << "nothing opened over it";
        EXPECT_EQ(log.lines().count(line), 2) << name.toStdString();
        EXPECT_EQ(log.lines().count(isReport ? reportInResult : resultInReport), 0) << name.toStdString();
    }
    EXPECT_EQ(app()->objectToReceiveCommData(), window.data());
    EXPECT_FALSE(window->childWindowUp());
}

TEST_F(ResultWindowsTest, ThreeByteStudentKeysReachTheRunThroughAWindow)
{
    SimReceiver *sim = plugIn(Model::Arvel);
    ASSERT_TRUE(sim && waitFor([&] { return app()->getBHaveDevice(); }));
    makeClass(3, 1);
    open(0, 1, questionFile({{0, QStringLiteral("B"), 10}}));
    button("btnStart")->click();
    ASSERT_TRUE(window->bStartFlag());
    QuizResultController result(window);
    result.setRun(window);
    watchClose(&result);
    bool landed = false;
    whileUp([&](QDialog *d) {
        // Keypad 2 presses "B": 0x20, nibble ("B" - 0x39) & 0x0F = 9, keypad 2.
        sim->sendFrame(SimReceiver::smallFrame(0x20, 0x92));
        landed = waitFor([] { return QuizData::shareManager()->getStudentAnswer(1, 2) == QStringLiteral("B"); });
        sim->pressTeacherKey(0x89); // F2
        EXPECT_TRUE(closes(d));
    });
    // The frames the window takes are traced with every other frame, where the rules turn that
    // trace on, and never among the program's own lines.
    QLoggingCategory::setFilterRules(QStringLiteral("pollix.frames.debug=true"));
    QStringList lines, frameLines;
    {
        LogLines log;
        result.runModal();
        lines = log.lines();
        frameLines = log.frameLines();
    }
    QLoggingCategory::setFilterRules(QString());
    EXPECT_TRUE(lines.filter("data receive in").isEmpty()) << lines.join('\n').toStdString();
    EXPECT_EQ(frameLines.filter(QRegularExpression("^data receive in QuizResult : 20\t92\t")).size(), 1)
        << frameLines.join('\n').toStdString();
    EXPECT_TRUE(landed);
    EXPECT_EQ(answers.value(2), 1);
    EXPECT_TRUE(window->bStartFlag()) << "the run's own keys stayed with the window";
}

TEST_F(ResultWindowsTest, TheThreeByteKeypadsOkKeyTakesThePointsAndClosesTheGroupCounts)
{
    SimReceiver *sim = plugIn(Model::Arvel);
    ASSERT_TRUE(sim && waitFor([&] { return app()->getBHaveDevice(); }));
    makeClass(3, 1);
    open(0, 1, questionFile({{0, QStringLiteral("B"), 10}}));

    // The marking: Previous moves up a row (+2), OK takes it.
    HandRaiseMarkingController marking(window);
    marking.setRun(window);
    watchClose(&marking);
    whileUp([&](QDialog *d) {
        sim->pressTeacherKey(0x80);
        EXPECT_TRUE(waitFor([&] { return marking.selectedRow() == 4; }));
        sim->pressTeacherKey(0x81);
        EXPECT_TRUE(closes(d));
    });
    marking.runModal();
    EXPECT_EQ(marking.nPoint(), 2);

    QuickGroupingResultController grouping(window);
    grouping.setRun(window);
    watchClose(&grouping);
    bool closed = false;
    whileUp([&](QDialog *d) {
        sim->pressTeacherKey(0x81);
        closed = closes(d);
    });
    grouping.runModal();
    EXPECT_TRUE(closed);
    EXPECT_EQ(app()->objectToReceiveCommData(), window.data());
}

TEST_F(ResultWindowsTest, TheKeyboardsFOneAndFTwoPressTheButtonsTheyName)
{
    makeClass(3, 1);
    open(8, 4, QString());
    // Each window shown as the run shows it, the keys pressed in it.
    const auto press = [](QDialog *d, const QList<Qt::Key> &keys) {
        d->show();
        ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == d; }, kEventWaitMs));
        for (Qt::Key key : keys)
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : d, key);
    };
    // The attendance figures: F1 the absentees, F2 OK.
    RollCallResultsController attendance(window);
    attendance.setRun(window);
    bool listed = false;
    whileUp([&](QDialog *d) {
        press(d, {Qt::Key_F1});
        listed = attendance.bListIsOpen() && attendance.drawer->isVisible();
        press(d, {Qt::Key_F2});
    });
    attendance.runModal();
    EXPECT_TRUE(listed);
    EXPECT_FALSE(attendance.isVisible());
    EXPECT_EQ(toNormal, 1) << "closed as its OK closes it";

    // The marking takes its points with F1.
    HandRaiseMarkingController marking(window);
    marking.setRun(window);
    whileUp([&](QDialog *d) {
        marking.up();
        press(d, {Qt::Key_F1});
    });
    marking.runModal();
    EXPECT_FALSE(marking.isVisible());
    EXPECT_EQ(marking.nPoint(), 2);
}

TEST_F(ResultWindowsTest, TheResultShowsTheSummaryOfTheQuestionShown)
{
    makeClass(4, 1);
    QuizParticipantData::shareManager()->setArrayLoginStudents(QuizParticipantData::shareManager()->arrayClassStudents());
    open(0, 4, questionFile({{0, QStringLiteral("B"), 10}, {1, QStringLiteral("AC"), 10}}));
    button("btnStart")->click();
    for (int d : {1, 2, 3})
        QuizData::shareManager()->setStudentAnswer(1, d, d == 1 ? QStringLiteral("B") : QStringLiteral("C"));
    QuizData::shareManager()->setStudentAnswerTime(1, 1, 4);
    QuizData::shareManager()->setStudentAnswerTime(1, 2, 3);
    button("btnStop")->click();
    QuizResultController *shown = nullptr;
    QString avg, attend, absent;
    bool details = false;
    whileUp([&](QDialog *d) {
        shown = qobject_cast<QuizResultController *>(d);
        if (!shown)
            return;
        avg = shown->txtAvgTime->text();
        attend = shown->txtAttendants->text();
        absent = shown->txtAbsentees->isVisibleTo(shown) ? shown->txtAbsentees->text() : QStringLiteral("hidden");
        details = shown->btnDetails->isEnabled();
        EXPECT_FALSE(shown->txtRetainedCount->isVisibleTo(shown));
        EXPECT_EQ(shown->rv->correctCount(), 1);
        EXPECT_EQ(shown->rv->errorCount(), 2);
        EXPECT_EQ(shown->rv->noResponseCount(), 1);
    });
    button("btnResult")->click();
    ASSERT_EQ(childWindows, QStringList{"QuizResult"});
    EXPECT_EQ(avg, QStringLiteral("1.75"));
    EXPECT_EQ(attend, QStringLiteral("4"));
    EXPECT_EQ(absent, QStringLiteral("0"));
    EXPECT_TRUE(details);

    // A multiple-answer question has no histogram: its details button and F1 open nothing.
    button("btnNext")->click();
    button("btnStart")->click();
    button("btnStop")->click();
    childWindows.clear();
    whileUp([&](QDialog *d) {
        if (auto *r = qobject_cast<QuizResultController *>(d)) {
            EXPECT_FALSE(r->btnDetails->isEnabled());
            r->onDetail();
        }
    });
    button("btnResult")->click();
    EXPECT_EQ(childWindows, QStringList{"QuizResult"});
}

TEST_F(ResultWindowsTest, OpenedFromTheKeypadOverASlideShowThePointerStartsAtTheLowerLeft)
{
    auto sink = std::make_shared<PointerClicks>();
    MouseFunction::shareManager()->setSink(sink);
    QuizReportHistogramController plain;
    plain.runModal();
    QCoreApplication::processEvents();
    EXPECT_TRUE(sink->clicks.isEmpty());
    QuizReportHistogramController keypad;
    keypad.setBIsRunForTeacherControl(true);
    keypad.runModal();
    QCoreApplication::processEvents();
    ASSERT_FALSE(sink->clicks.isEmpty());
    EXPECT_EQ(sink->clicks.first(), QPoint(0, 768)) << "the lower left corner of the main screen";
    MouseFunction::shareManager()->setSink(nullptr);
}

TEST_F(ResultWindowsTest, ResultDetailsPageByTwentyFive)
{
    makeClass(50, 1);
    auto *qpd = QuizParticipantData::shareManager();
    qpd->setArrayLoginStudents(qpd->arrayClassStudents());
    QuizQuestions::shareManager()->setArrayQuestions({QuizQuestionsElement()});
    QuizData::shareManager()->clearQuestionRecord(1);
    QuizData::shareManager()->setStudentAnswer(1, 1, QStringLiteral("__"));
    QuizData::shareManager()->setStudentAnswer(1, 27, QStringLiteral("A"));

    ResultDetailsController details;
    details.setNQuestionNo(1);
    details.setStrCorrectAnswer(QStringLiteral("A"));
    details.load();
    EXPECT_EQ(details.tableview1->rowCount(), 25);
    EXPECT_EQ(details.tableview1->item(0, 0)->text(), QStringLiteral("S001"));
    EXPECT_EQ(details.tableview1->item(0, 1)->text(), QStringLiteral("First1 Last1"));
    EXPECT_EQ(details.tableview1->item(0, 2)->text(), QString()) << "no answer shows blank";
    EXPECT_EQ(details.tableview1->item(0, 2)->foreground().color(), QColor(Qt::black));
    EXPECT_TRUE(details.btnNext->isEnabled());
    EXPECT_FALSE(details.btnPrevious->isEnabled());
    EXPECT_FALSE(details.textfieldCorrectAnswer->isVisibleTo(&details));
    details.onNext();
    EXPECT_EQ(details.nBeginNo(), 25);
    EXPECT_EQ(details.tableview1->item(0, 0)->text(), QStringLiteral("S026"));
    EXPECT_FALSE(details.btnNext->isEnabled()) << "25 + 25 is not below 50";
    details.onNext();
    EXPECT_EQ(details.nBeginNo(), 25);
    details.onCorrectAnswer();
    EXPECT_TRUE(details.textfieldCorrectAnswer->isVisibleTo(&details));
    EXPECT_EQ(details.tableview1->item(1, 2)->foreground().color(), QColor(Qt::blue));
    EXPECT_EQ(details.tableview1->item(0, 2)->foreground().color(), QColor(Qt::red));
    details.onPrevious();
    EXPECT_EQ(details.nBeginNo(), 0);
    EXPECT_FALSE(details.btnPrevious->isEnabled());
    EXPECT_TRUE(details.btnNext->isEnabled());
    EXPECT_EQ(details.tableview1->item(0, 2)->foreground().color(), QColor(Qt::red)) << "\"__\" is not the answer";

    // 26 students: the second page holds one row.
    qpd->setArrayLoginStudents(qpd->arrayClassStudents().mid(0, 26));
    ResultDetailsController few;
    few.load();
    few.onNext();
    EXPECT_EQ(few.tableview1->rowCount(), 1);
    EXPECT_FALSE(few.btnNext->isEnabled());
}

TEST_F(ResultWindowsTest, TheReportLaysOutEachActivityAndOpensTheStudentsAnswers)
{
    makeClass(3, 1);
    QuizParticipantData::shareManager()->setArrayLoginStudents(QuizParticipantData::shareManager()->arrayClassStudents());
    const QString path = questionFile({{0, QStringLiteral("B"), 10}, {0, QStringLiteral("C"), 10}});
    open(3, 4, path); // a rush quiz, on keypads that keep their numbers
    auto *qd = QuizData::shareManager();
    qd->clearQuestionRecord(1);
    qd->setArrayAlreadyTestQuestionNo({1});
    qd->setStudentAnswer(1, 1, QStringLiteral("B"));
    qd->setStudentAnswer(1, 2, QStringLiteral("__N"));

    QuizReportController report(window);
    report.setActMode(Activity::RushQuiz);
    report.setNQuestionNo(1);
    report.setRun(window);
    report.load();
    ASSERT_EQ(report.tblReport->columnCount(), 8);
    ASSERT_EQ(report.tblReport->rowCount(), 3);
    const auto cell = [&](int row, const char *id) {
        for (int c = 0; c < report.tblReport->columnCount(); ++c)
            if (report.tblReport->horizontalHeaderItem(c)->text() == QLatin1String(id))
                return report.tblReport->item(row, c)->text();
        return QStringLiteral("no column");
    };
    EXPECT_EQ(cell(1, "Points"), QStringLiteral("-10"));
    EXPECT_EQ(cell(1, "Answer"), QStringLiteral("__N"));
    EXPECT_EQ(cell(0, "Total Points"), QStringLiteral("10"));
    EXPECT_TRUE(report.textAveragePoint->isVisibleTo(&report));
    EXPECT_EQ(report.textAveragePoint->text(), QStringLiteral("0.0"));
    QString detailPoints;
    whileUp([&](QDialog *d) {
        if (auto *details = qobject_cast<AnswerDetailsController *>(d)) {
            EXPECT_EQ(details->studentID->text(), QStringLiteral("S002"));
            detailPoints = details->tableView->item(0, 2)->text();
        }
    });
    report.tableViewDoubleClick(1);
    report.tableViewDoubleClick(-1);
    EXPECT_EQ(childWindows, QStringList{"AnswerDetails"});
    EXPECT_EQ(detailPoints, QStringLiteral("-10"));

    // A paper quiz has no result details: F1 opens nothing.
    QuizReportController paper(window);
    paper.setActMode(Activity::PaperQuiz);
    paper.setRun(window);
    paper.load();
    EXPECT_EQ(paper.tblReport->columnCount(), 6);
    EXPECT_FALSE(paper.btnHistogram->isVisibleTo(&paper));
    paper.doHistogram();
    EXPECT_EQ(childWindows, QStringList{"AnswerDetails"});
}

TEST_F(ResultWindowsTest, GroupExtraPointsAreDigitsUpTo999AndCountAtOnce)
{
    groupClass();
    open(0, 4, questionFile({{0, QStringLiteral("B"), 10}}), 1);
    button("btnStart")->click();
    QuizData::shareManager()->setStudentAnswer(1, 2, QStringLiteral("B"));
    button("btnStop")->click();

    GroupReportController *group = nullptr;
    QString finalBefore, finalAfter, typed, current;
    whileUp([&](QDialog *d) {
        group = qobject_cast<GroupReportController *>(d);
        if (!group)
            return;
        QTableWidget *t = group->tableview;
        current = t->item(1, GroupReportController::CurrentPoints)->text();
        finalBefore = t->item(1, GroupReportController::FinallyPoints)->text();
        d->show();
        t->setCurrentCell(1, GroupReportController::AppendPoints);
        t->editItem(t->item(1, GroupReportController::AppendPoints));
        auto *editor = t->findChild<QLineEdit *>();
        ASSERT_TRUE(editor);
        editor->selectAll();
        QTest::keyClicks(editor, QStringLiteral("-2x5"));
        typed = editor->text();
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents(); // the table takes the edit on its next turn
        finalAfter = t->item(1, GroupReportController::FinallyPoints)->text();
    });
    button("btnReport")->click();
    EXPECT_EQ(childWindows, QStringList{"GroupReport"});
    EXPECT_EQ(current, QStringLiteral("10"));
    EXPECT_EQ(finalBefore, QStringLiteral("10"));
    EXPECT_EQ(typed, QStringLiteral("25")) << "letters and a minus sign cannot be typed";
    EXPECT_EQ(finalAfter, QStringLiteral("35"));
    EXPECT_EQ(QuizData::shareManager()->getQuestionAppend(1, 2), 25);
}

// What the teacher types in the points window goes with the saved session: the session opened
// again gives the group its extra points in the Group Result and in its CSV.
TEST_F(ResultWindowsTest, GroupExtraPointsTypedInTheRunAreKeptWithTheSessionForItsReports)
{
    DialogAnswers answers;
    groupRunAnswered(2);

    QString finalShown;
    whileUp([&](QDialog *d) {
        auto *group = qobject_cast<GroupReportController *>(d);
        ASSERT_TRUE(group);
        d->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(d));
        finalShown = typeExtraPoints(group, 2, QStringLiteral("25"));
        QTest::mouseClick(group->btnOK, Qt::LeftButton);
    });
    button("btnReport")->click();
    ASSERT_EQ(finalShown, QStringLiteral("35"));

    // Saved, and opened again as the Report window opens it.
    const std::optional<QuizEntity> quiz = exitAndReadSaved();
    ASSERT_TRUE(quiz);
    GroupResultController report(*quiz);
    QList<std::tuple<int, int, int, int>> groups;
    for (const GroupAndStudentsPoint &g : report.groupResultReport()->groupArray())
        groups << std::make_tuple(g.groupNo(), g.point(), g.appendPoint(), g.totalPoint());
    EXPECT_EQ(groups, (QList<std::tuple<int, int, int, int>>{{1, 0, 0, 0}, {2, 10, 25, 35}}));
    const QString csv = home() + QStringLiteral("group.csv");
    answers.answerFile(csv);
    QTest::mouseClick(report.btnSaveToCSV, Qt::LeftButton);
    const QStringList lines = QString::fromUtf8(readFile(csv)).split(QRegularExpression(QStringLiteral("\\r?\\n")));
    EXPECT_TRUE(lines.contains(QStringLiteral(",2,10,25,35"))) << lines.join(QLatin1Char('|')).toStdString();
}

// Cancel takes back what was typed in the Group Report, by every way out at the computer that
// means Cancel; OK keeps it. The session saved holds the points as the window last kept them.
TEST_F(ResultWindowsTest, GroupReportCancelGivesBackTheExtraPointsTheWindowOpenedWith)
{
    DialogAnswers answers;
    groupRunAnswered(1);

    using Way = std::function<void(GroupReportController *)>;
    const struct
    {
        const char *name;
        QString typed;
        Way way;
        int kept;
    } rows[] = {
        {"OK", "2", [](GroupReportController *g) { QTest::mouseClick(g->btnOK, Qt::LeftButton); }, 2},
        {"Cancel", "4", [](GroupReportController *g) { QTest::mouseClick(g->btnCancel, Qt::LeftButton); }, 2},
        {"F2", "4", [](GroupReportController *g) { QTest::keyClick(g->focusWidget(), Qt::Key_F2); }, 2},
        {"Escape", "4", [](GroupReportController *g) { QTest::keyClick(g->focusWidget(), Qt::Key_Escape); }, 2},
        {"the close box", "4", [](GroupReportController *g) { g->close(); }, 2},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        QString shown;
        bool closed = false;
        whileUp([&](QDialog *d) {
            auto *group = qobject_cast<GroupReportController *>(d);
            ASSERT_TRUE(group);
            d->show();
            d->activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(d));
            shown = typeExtraPoints(group, 1, row.typed);
            row.way(group);
            closed = waitFor([d] { return !d->isVisible(); });
        });
        button("btnReport")->click();
        EXPECT_TRUE(closed);
        EXPECT_EQ(shown, QString::number(10 + row.typed.toInt())) << "what is typed counts at once";
        EXPECT_EQ(QuizData::shareManager()->getQuestionAppend(1, 1), row.kept);
    }

    const std::optional<QuizEntity> quiz = exitAndReadSaved();
    ASSERT_TRUE(quiz);
    EXPECT_EQ(quiz->groupAppendPoints(), (QMap<int, int>{{1, 2}}));
}

// The teacher keypad's F2 and Exit are the window's Cancel too.
TEST_F(ResultWindowsTest, TheTeacherKeypadsCancelKeysGiveBackTheExtraPointsTyped)
{
    SimReceiver *sim = dravelRun(2);
    ASSERT_TRUE(sim);
    auto *qpd = QuizParticipantData::shareManager();
    qpd->setMaxGroupNo(2);
    for (const StudentInClassPtr &s : qpd->arrayLoginStudents())
        s->setGroupNo(1);
    button("btnStart")->click();
    button("btnStop")->click();
    for (const quint8 key : {quint8(0x82), quint8(0x85)}) {
        SCOPED_TRACE(key);
        GroupReportController group(window);
        group.setNQuestionNo(1);
        group.setRun(window);
        QString shown;
        bool closed = false;
        whileUp([&](QDialog *d) {
            d->show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(d));
            shown = typeExtraPoints(&group, 1, QStringLiteral("4"));
            sim->pressTeacherKey(key);
            closed = waitFor([d] { return !d->isVisible(); });
        });
        group.runModal();
        EXPECT_EQ(shown, QStringLiteral("4"));
        EXPECT_TRUE(closed);
        EXPECT_EQ(QuizData::shareManager()->getQuestionAppend(1, 1), 0);
    }
}

TEST_F(ResultWindowsTest, HandRaiseMarkingRecordsThePointsGiven)
{
    makeClass(3, 1);
    open(14, 4, questionFile({{0, QStringLiteral("A"), 30}}));
    auto *qpd = QuizParticipantData::shareManager();
    for (int i = 0; i < 3; ++i) {
        qpd->setArrayLoginStudents(qpd->arrayLoginStudents() << qpd->arrayClassStudents()[i]);
        NotificationCenter::defaultCenter()->postNotification(
            QStringLiteral("QUIZSTATESTUDENTLOGIN"),
            {{QStringLiteral("STUDENTINCLASS"), QVariant::fromValue(qpd->arrayClassStudents()[i])}});
    }
    button("btnStart")->click();
    ASSERT_TRUE(window->bStartFlag());
    whileUp([](QDialog *d) {
        auto *marking = qobject_cast<HandRaiseMarkingController *>(d);
        ASSERT_TRUE(marking);
        EXPECT_EQ(marking->selectedRow(), 5) << "no points until the teacher says";
        marking->up();
        marking->up();
        marking->OK();
    });
    grid()->button(1)->click();
    EXPECT_FALSE(window->bStartFlag()) << "picking a student stops the question";
    EXPECT_EQ(QuizData::shareManager()->getStudentPoint(1, 2), 4);
    EXPECT_EQ(QuizData::shareManager()->getStudentAnswer(1, 2), QStringLiteral("A"));

    // Closed without OK: the student gets nothing. Up from the top goes round to the bottom.
    whileUp([](QDialog *d) {
        auto *marking = qobject_cast<HandRaiseMarkingController *>(d);
        for (int i = 0; i < 6; ++i)
            marking->up();
        EXPECT_EQ(marking->selectedRow(), 10);
        marking->reject();
    });
    grid()->button(2)->click();
    EXPECT_EQ(QuizData::shareManager()->getStudentPoint(1, 3), 0);
    EXPECT_EQ(QuizData::shareManager()->getStudentAnswer(1, 3), QStringLiteral("A"));
    EXPECT_EQ(childWindows, (QStringList{"HandRaiseMarking", "HandRaiseMarking"}));
}

TEST_F(ResultWindowsTest, ForceLoginAtTheClassLimit)
{
    // A class one short of the Dravel limit of 999.
    auto *classes = TovClassXmlDatabase::sharedClassUI();
    const int classNo = classes->addClassWithName(QStringLiteral("Big"));
    ASSERT_GT(classNo, 0);
    QList<StudentEntity> members;
    for (int i = 1; i <= 998; ++i) {
        StudentEntity e;
        e.setId(QStringLiteral("M%1").arg(i, 4, 10, QLatin1Char('0')));
        e.setFirstName(QStringLiteral("M"));
        e.setLastName(QString::number(i));
        members << e;
    }
    ASSERT_TRUE(classes->addSomeStudents(members, classNo));
    SimReceiver *sim = plugIn(Model::Dravel);
    ASSERT_TRUE(sim && waitFor([&] { return app()->getBHaveDevice(); }));
    auto *qpd = QuizParticipantData::shareManager();
    qpd->setClassNo(classNo);
    qpd->setArrayClassStudents(ForceLoginEnrolment::classList(classNo, {}));
    open(0, 3, questionFile({{0, QStringLiteral("B"), 10}}));
    ASSERT_TRUE(waitFor([&] { return !sim->framesFromProgram().isEmpty(); }));

    // Two keypads log in with IDs the class lacks; the first twice, in another letter case.
    sim->login(0x0201, QStringLiteral("NEW1"), QStringLiteral("Ann"));
    sim->login(0x0202, QStringLiteral("NEW2"), QStringLiteral("Bob"));
    sim->login(0x0203, QStringLiteral("new1"), QStringLiteral("Ann"));
    // Two in the window already holds before the third login is handled: each keypad's refusal
    // is the sign that its login went through the run.
    ASSERT_TRUE(waitFor([&] {
        for (int keypad : {0x0201, 0x0202, 0x0203})
            if (!sim->keypad(keypad).loginRefused)
                return false;
        return window->forceLoginController() && window->forceLoginController()->arrayForceLoginStudents().size() == 2;
    }));
    ForceLoginController *force = window->forceLoginController();
    EXPECT_TRUE(force->isVisible());
    EXPECT_EQ(force->tableView->item(1, 1)->text(), QStringLiteral("Bob"));
    EXPECT_EQ(force->arrayForceLoginStudents()[0]->deviceNo(), 0) << "a Dravel keypad logs in by ID alone";

    DialogAnswers alerts;
    force->btnSelectAll->click();
    force->btnLogin->click();
    ASSERT_EQ(alerts.alerts().size(), 1);
    EXPECT_EQ(alerts.alerts()[0].text, QStringLiteral("Cannot add more than 999 students to a class."));
    EXPECT_EQ(classes->studentCountInClass(classNo), 999);
    ASSERT_EQ(force->arrayForceLoginStudents().size(), 1);
    EXPECT_EQ(force->arrayForceLoginStudents()[0]->studentID(), QStringLiteral("NEW2"));
    EXPECT_EQ(force->arrayIsSelect(), QList<int>{1}) << "the one left out stays ticked";
    EXPECT_EQ(classes->getStudentListByClassNo(classNo).last().deviceNo(), 1) << "stored with keypad 1, never 0";
    EXPECT_EQ(qpd->getSumOfClassStudents(), 999);

    // The added student's keypad now logs in as a member of the class.
    sim->login(0x0201, QStringLiteral("NEW1"), QStringLiteral("Ann"));
    EXPECT_TRUE(waitFor([&] { return logins.value(QStringLiteral("NEW1")) == 1; }));
    EXPECT_EQ(grid()->count(), 1);
}

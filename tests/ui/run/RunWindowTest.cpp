#include "RunWindowFixture.h"

#include "core/engine/Arvel_QuickGroup.h"
#include "core/engine/Corvel_RollCall.h"
#include "core/engine/RushInfoShow.h"
#include "ui/authoring/Questions.h"
#include "ui/authoring/SmallQuestions.h"
#include "core/keypad/DeviceController.h"
#include "core/store/TovConfigXmlDatabase.h"
#include "platform/Log.h"
#include "platform/NotificationCenter.h"
#include "platform/SoundPlayer.h"
#include "support/DialogAnswers.h"
#include "ui/run/RunSounds.h"

#include <QApplication>
#include <QFile>
#include <QMediaPlayer>
#include <QSignalSpy>
#include <QTimer>

#include <mutex>

namespace {

// The window with no receiver: the activity object's frames are captured.
class RunWindowTest : public RunWindowFixture
{
protected:
    void SetUp() override
    {
        RunWindowFixture::SetUp();
        QuizMode::setFrameSink([this](const QByteArray &f) {
            std::lock_guard lock(m_mutex);
            m_sent << f;
            return true;
        });
    }
    QList<QByteArray> sent()
    {
        std::lock_guard lock(m_mutex);
        return m_sent;
    }
    static void post(const char *name, const QVariantMap &info)
    {
        NotificationCenter::defaultCenter()->postNotification(QString::fromLatin1(name), info);
    }
    StudentInClassPtr classStudent(int i) const { return QuizParticipantData::shareManager()->arrayClassStudents().at(i); }
    // Logs student i in as the activity object does: keypad number i + 1, then the notification.
    void login(int i)
    {
        auto *qpd = QuizParticipantData::shareManager();
        const StudentInClassPtr s = classStudent(i);
        s->setDeviceNo(i + 1);
        if (!qpd->arrayLoginStudents().contains(s))
            qpd->setArrayLoginStudents(qpd->arrayLoginStudents() << s);
        post("QUIZSTATESTUDENTLOGIN", {{QStringLiteral("STUDENTINCLASS"), QVariant::fromValue(s)}});
    }
    void loginAll()
    {
        for (int i = 0; i < QuizParticipantData::shareManager()->arrayClassStudents().size(); ++i)
            login(i);
    }

private:
    std::mutex m_mutex;
    QList<QByteArray> m_sent;
};

} // namespace

TEST_F(RunWindowTest, QuestionsEnterTheRunWithTheirAnswersAndModes)
{
    const QString path = questionFile({{5, QStringLiteral("B"), 10},
                                       {5, QStringLiteral("A"), 10},
                                       {5, QStringLiteral("C"), 10},
                                       {0, QStringLiteral("D"), 20, 1},
                                       {0, QStringLiteral("A"), 20, 2},
                                       {0, QStringLiteral("A"), 20, 7}});
    open(0, 3, path);
    auto *qq = QuizQuestions::shareManager();
    ASSERT_EQ(qq->count(), 6);
    EXPECT_EQ(qq->answer(1), QStringLiteral("False"));
    EXPECT_EQ(qq->answer(2), QStringLiteral("True"));
    EXPECT_EQ(qq->answer(3), QStringLiteral("nocorrect"));
    EXPECT_EQ(qq->optionNum(1), 2);
    // A saved page keeps no option count of its own: the run counts its option boxes.
    EXPECT_EQ(qq->optionNum(4), 4);
    EXPECT_EQ(qq->questionTitle(1), QStringLiteral("Question 1"));
    EXPECT_EQ(qq->actionMode(4), 3) << "rush";
    EXPECT_EQ(qq->actionMode(5), 4) << "elimination";
    EXPECT_EQ(qq->answer(6), QStringLiteral("nocorrect")) << "a vote page outside a vote";
    EXPECT_EQ(qq->nTestID(), 42);
    delete window.data();

    open(7, 3, path);
    EXPECT_EQ(QuizQuestions::shareManager()->answer(6), QStringLiteral("A"));
}

TEST_F(RunWindowTest, PaperQuizOnDravelKeepsSixtyQuestions)
{
    QList<PageSpec> many;
    for (int i = 0; i < 75; ++i)
        many << PageSpec{};
    const QString path = questionFile(many);
    open(1, 3, path);
    EXPECT_EQ(QuizQuestions::shareManager()->count(), 60);
    EXPECT_FALSE(button("btnNext")->isEnabled());
    EXPECT_TRUE(button("btnSendQuestions")->isVisibleTo(window));
    EXPECT_EQ(label("txtMessage"), QStringLiteral("ID:42     Title:quiz"));
    EXPECT_EQ(timeShown(), 600) << "the sum of the question times";
    delete window.data();
    open(0, 3, path);
    EXPECT_EQ(QuizQuestions::shareManager()->count(), 75);
    EXPECT_FALSE(button("btnSendQuestions")->isVisibleTo(window));
}

TEST_F(RunWindowTest, CountDownPausesResumesAndStopsOneSecondPastOne)
{
    open(0, 3, questionFile({{0, QStringLiteral("B"), 10}, {0, QStringLiteral("A"), 10}}));
    button("btnStart")->click();
    ASSERT_TRUE(window->bStartFlag());
    EXPECT_EQ(timeShown(), 10);
    seconds(2);
    EXPECT_EQ(timeShown(), 9);
    seconds(4);
    EXPECT_EQ(timeShown(), 5);
    button("btnStart")->click(); // pause at 5
    EXPECT_EQ(button("btnStart")->property("imageName").toString(), QStringLiteral("start_normal.png"));
    seconds(5);
    EXPECT_EQ(timeShown(), 5);
    button("btnStart")->click(); // resume
    seconds(2);
    EXPECT_EQ(timeShown(), 4);
    seconds(3);
    EXPECT_EQ(timeShown(), 1);
    EXPECT_TRUE(window->bStartFlag());
    seconds(1);
    EXPECT_FALSE(window->bStartFlag());
    EXPECT_EQ(window->nTimeElapsed(), 9);
    // Stopped: the field shows the question's time again and the next question may be chosen.
    EXPECT_EQ(timeShown(), 10);
    EXPECT_TRUE(button("btnNext")->isEnabled());
    EXPECT_EQ(QuizData::shareManager()->arrayAlreadyTestQuestionNo(), QList<int>{1});
}

TEST_F(RunWindowTest, TimeButtonsStayBetweenOneAndNineHundred)
{
    open(0, 3, questionFile({{0, QStringLiteral("B"), 898}}));
    button("btnTimeUp")->click();
    EXPECT_EQ(timeShown(), 900);
    button("btnTimeUp")->click();
    EXPECT_EQ(timeShown(), 900);
    window->txtQuizTime->setText(QStringLiteral("6"));
    button("btnTimeDown")->click();
    EXPECT_EQ(timeShown(), 1);
    window->txtQuizTime->setText(QStringLiteral("5"));
    button("btnTimeDown")->click();
    EXPECT_EQ(timeShown(), 5);
}

TEST_F(RunWindowTest, QuestionsThatCannotRunAreRefused)
{
    DialogAnswers answers;
    // No correct answer: refused outside a vote, run in a vote.
    const QString noAnswer = questionFile({{5, QStringLiteral("C"), 10}}, QStringLiteral("tf.px"));
    open(0, 3, noAnswer);
    button("btnStart")->click();
    EXPECT_FALSE(window->bStartFlag());
    EXPECT_FALSE(button("btnStart")->isChecked());
    ASSERT_EQ(answers.alerts().size(), 1);
    EXPECT_EQ(answers.alerts().first().text, QStringLiteral("Warning"));
    delete window.data();
    open(7, 3, noAnswer);
    button("btnStart")->click();
    EXPECT_TRUE(window->bStartFlag());
    button("btnStop")->click();
    delete window.data();

    // Several answers: the three-byte keypads cannot give them, the large family can.
    const QString multi = questionFile({{1, QStringLiteral("AC"), 10}}, QStringLiteral("multi.px"));
    open(0, 1, multi);
    button("btnStart")->click();
    EXPECT_FALSE(window->bStartFlag());
    EXPECT_EQ(answers.alerts().size(), 2);
    delete window.data();
    open(0, 3, multi);
    button("btnStart")->click();
    EXPECT_TRUE(window->bStartFlag());
    EXPECT_EQ(answers.alerts().size(), 2);
}

// An Arvel receiver reads three-byte commands and drops a part of one after a short silence: its
// null byte and the five-byte wake leave as one piece, so a busy machine cannot part them and put
// the receiver two bytes out of step with the run's first command.
TEST_F(RunWindowTest, AnArvelRunOpensWithItsNullByteAndTheWakeInOneWrite)
{
    open(0, 1, questionFile({{0, QStringLiteral("B"), 10}}));
    ASSERT_FALSE(sent().isEmpty());
    EXPECT_EQ(sent().first(), QByteArray::fromHex("00F400C00135"));
}

TEST_F(RunWindowTest, SaveIsOfferedOnlyAfterAQuestionRanAndNeverWhileOneRuns)
{
    int offered = 0;
    QuizStateWindowController::SaveRequest request;
    QStringList quizTime;
    int records = 0;
    QuizStateWindowController::hooks().runSaveDialog = [&](QuizStateWindowController *, const auto &r) {
        ++offered;
        request = r;
        quizTime = *r.arrQuizTime;
        records = int(r.arrStuLoginContentTime->size());
    };
    makeClass(2, 1);
    const QString path = questionFile({{0, QStringLiteral("B"), 5}});
    open(0, 3, path);
    {
        DialogAnswers answers;
        EXPECT_TRUE(closeBoxLeaves());
        EXPECT_EQ(answers.alerts().size(), 1) << "the exit question";
    }
    EXPECT_EQ(offered, 0) << "nothing ran";

    open(0, 3, path);
    loginAll();
    loginAll(); // a second login of the same students keeps one record each
    button("btnStart")->click();
    DialogAnswers answers; // the close box says why it does not close
    EXPECT_FALSE(window->close()) << "a question is running";
    EXPECT_FALSE(window.isNull());
    seconds(2);
    button("btnStop")->click();
    EXPECT_TRUE(closeBoxLeaves());
    EXPECT_EQ(offered, 1);
    EXPECT_EQ(request.strFileName, QStringLiteral("quiz.px"));
    EXPECT_EQ(request.curDeviceType, 3);
    EXPECT_EQ(request.curActivityMode, 0);
    ASSERT_EQ(quizTime.size(), 3);
    EXPECT_EQ(quizTime[2], QStringLiteral("1"));
    EXPECT_EQ(records, 2);
}

// The teacher clicked on the page (it holds the keys) and presses Escape between questions: the
// page has no use for it, so it is the window's Exit all the same; arrow keys stay the page's.
TEST_F(RunWindowTest, EscapeOnThePageIsTheWindowsExit)
{
    makeClass(2, 1);
    open(0, 3, questionFile({{0, QStringLiteral("B"), 5}, {0, QStringLiteral("A"), 5}}));
    window->show();
    window->bigQuestions->setFocus();
    {
        DialogAnswers answers;
        answers.answerAlert(1); // "F2" Cancel
        QTest::keyClick(window->bigQuestions, Qt::Key_Escape);
        ASSERT_EQ(answers.alerts().size(), 1) << "Escape on the page did nothing";
        EXPECT_EQ(answers.alerts().first().informativeText, QStringLiteral("Are you sure to exit this Activity?"));
        QTest::keyClick(window->bigQuestions, Qt::Key_Down);
        EXPECT_EQ(answers.alerts().size(), 1);
    }
    EXPECT_FALSE(window.isNull());
    DialogAnswers answers; // OK: the run ends as Exit ends it
    QTest::keyClick(window->bigQuestions, Qt::Key_Escape);
    EXPECT_TRUE(QTest::qWaitFor([this] { return window.isNull(); }, kEventWaitMs));
}

// The close box while a question runs: the window stays and says why. Nobody need answer at the
// computer: the notice goes by itself once the question stops (here its time runs out).
TEST_F(RunWindowTest, TheCloseBoxDuringAQuestionTellsToStopItFirst)
{
    makeClass(2, 1);
    open(0, 3, questionFile({{0, QStringLiteral("B"), 5}}));
    button("btnStart")->click();
    ASSERT_TRUE(window->bStartFlag());
    {
        DialogAnswers answers;
        EXPECT_FALSE(window->close());
        ASSERT_EQ(answers.alerts().size(), 1);
        EXPECT_EQ(answers.alerts().first().informativeText,
                  QStringLiteral("A question is running. Stop it before closing this window."));
        EXPECT_EQ(answers.alerts().first().buttons.size(), 1);
    }
    EXPECT_FALSE(window.isNull());
    EXPECT_TRUE(window->bStartFlag());

    QTimer::singleShot(0, [] { seconds(10); });
    EXPECT_TRUE(closeBoxNoticeGoesByItself()) << "the notice stayed up after the question stopped";
    EXPECT_FALSE(window->bStartFlag());
    int offered = 0;
    QuizStateWindowController::hooks().runSaveDialog = [&offered](QuizStateWindowController *, const auto &) { ++offered; };
    DialogAnswers answers;
    EXPECT_TRUE(closeBoxLeaves());
    EXPECT_EQ(offered, 1);
}

// Escape while something runs: the notice names it as the activity does, whatever the activity
// sets running with its Start (a question, the question set the keypads hold, a roll call).
TEST_F(RunWindowTest, EscapeWhileSomethingRunsNamesWhatRunsAsTheActivityDoes)
{
    const struct
    {
        int activity;
        const char *notice;
    } cases[] = {
        {0, "A question is running. Stop it before closing this window."},
        {2, "A question set is running. Stop it before closing this window."},
        {1, "A question set is running. Stop it before closing this window."},
        {8, "A roll call is running. Stop it before closing this window."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.activity);
        makeClass(2, 1);
        open(c.activity, 3, questionFile({{0, QStringLiteral("B"), 30}, {0, QStringLiteral("A"), 30}}));
        ASSERT_TRUE(window);
        window->show();
        button("btnStart")->click();
        ASSERT_TRUE(window->bStartFlag());
        {
            DialogAnswers answers; // OK
            window->activateWindow();
            window->setFocus();
            QTest::keyClick(window, Qt::Key_Escape);
            ASSERT_EQ(answers.alerts().size(), 1) << "Escape did nothing";
            EXPECT_EQ(answers.alerts().first().informativeText, QString::fromLatin1(c.notice))
                << answers.alerts().first().informativeText.toStdString();
        }
        EXPECT_FALSE(window.isNull()) << "the run goes on";
        EXPECT_TRUE(window->bStartFlag());
        button("btnStop")->click();
        delete window.data();
    }
}

TEST_F(RunWindowTest, RunEventsMarkTheGrid)
{
    makeClass(3, 1);
    open(0, 3, questionFile({{0, QStringLiteral("B"), 10}}));
    loginAll();
    ASSERT_EQ(grid()->count(), 3);
    EXPECT_EQ(label("txtLoginAndAnswered"), QStringLiteral("0 / 3"));
    post("STUDENT_LOGOUT", {{QStringLiteral("STUDENTDEVICE"), 2}});
    EXPECT_EQ(grid()->students()[1].state(), StudentLoginView::StateExited);
    post("STUDENTHAVEQUESTION", {{QStringLiteral("COUNT"), 4}});
    EXPECT_EQ(label("txtHandRaise"), QStringLiteral("4"));

    // Quick grouping: "C" is group 3; a letter past "G" or no letter names no group.
    post("STUDENTQUICKGROUPING", {{QStringLiteral("DEVICENO"), 1}, {QStringLiteral("ANSWER"), QStringLiteral("C")},
                                  {QStringLiteral("SUM"), 1}});
    EXPECT_EQ(grid()->buttonColor(0), StudentLoginView::colorOfGroup(3));
    const QColor before = grid()->buttonColor(2);
    for (const char *bad : {"H", "Z", "", "a"})
        post("STUDENTQUICKGROUPING", {{QStringLiteral("DEVICENO"), 3}, {QStringLiteral("ANSWER"), QString::fromLatin1(bad)},
                                      {QStringLiteral("SUM"), 2}});
    EXPECT_EQ(grid()->buttonColor(2), before);
    EXPECT_EQ(label("txtLoginAndAnswered"), QStringLiteral("2 / 3"));
}

TEST_F(RunWindowTest, RushWinnerStartsTheCountDownAndTheAnswerStopsIt)
{
    makeClass(2, 1);
    open(3, 3, questionFile({{0, QStringLiteral("B"), 10, 1}}));
    loginAll();
    button("btnStart")->click();
    ASSERT_TRUE(window->bStartFlag());
    EXPECT_FALSE(button("btnStart")->isEnabled()) << "no count-down before someone wins";
    seconds(3);
    EXPECT_EQ(timeShown(), 10);
    post("RUSHMODE_STUDENTRUSH", {{QStringLiteral("DEVICENO"), 2}, {QStringLiteral("TYPE"), 0}, {QStringLiteral("ANS"), QString()}});
    EXPECT_EQ(grid()->students()[1].state(), StudentLoginView::StateRushed);
    EXPECT_TRUE(button("btnStart")->isEnabled());
    seconds(2);
    EXPECT_EQ(timeShown(), 9);
    post("RUSHMODE_STUDENTRUSH", {{QStringLiteral("DEVICENO"), 2}, {QStringLiteral("TYPE"), 1}, {QStringLiteral("ANS"), QStringLiteral("B")}});
    EXPECT_FALSE(window->bStartFlag());
    EXPECT_EQ(grid()->students()[1].state(), StudentLoginView::StateAnswered);
    EXPECT_EQ(label("txtLoginAndAnswered"), QStringLiteral("1 / 2"));
}

TEST_F(RunWindowTest, EliminationIgnoresLoginsOnceStarted)
{
    makeClass(3, 1);
    open(4, 3, questionFile({{0, QStringLiteral("B"), 10}, {0, QStringLiteral("A"), 10}}));
    login(0);
    button("btnStart")->click();
    login(1);
    EXPECT_EQ(grid()->count(), 1);
    post("ELIMINATIONMODE_STUDENTELIMINATION", {{QStringLiteral("DEVICENO"), 1}, {QStringLiteral("TYPE"), 1}});
    EXPECT_EQ(grid()->students()[0].state(), StudentLoginView::StateEliminateWrong);
    button("btnStop")->click();
    EXPECT_FALSE(button("btnStart")->isEnabled()) << "an elimination question runs once";
}

TEST_F(RunWindowTest, StartAndStopCuesAreCutAfterThreeSeconds)
{
    auto *config = TovConfigXmlDatabase::sharedConfigUI();
    for (const QString &name : {QStringLiteral("Start Answer"), QStringLiteral("Stop Answer")}) {
        auto music = config->musicByName(name);
        ASSERT_TRUE(music);
        music->setState(1);
        ASSERT_TRUE(config->updateMusic(*music));
    }
    open(0, 3, questionFile({{0, QStringLiteral("B"), 30}}));
    button("btnStart")->click();
    EXPECT_EQ(window->nPlaySoundtype(), 2);
    EXPECT_TRUE(window->bCloseTimerisValid());
    seconds(2);
    EXPECT_TRUE(window->bCloseTimerisValid());
    seconds(1);
    EXPECT_FALSE(window->bCloseTimerisValid());
    button("btnStop")->click();
    EXPECT_EQ(window->nPlaySoundtype(), 3);
}

namespace {
QStringList s_logLines;
void keepLogLine(QtMsgType, const QMessageLogContext &, const QString &line)
{
    s_logLines << line;
}

// The program's log lines while it lives.
struct LogLines
{
    LogLines()
    {
        s_logLines.clear();
        const_cast<QLoggingCategory &>(lcPollix()).setEnabled(QtInfoMsg, true);
        previous = qInstallMessageHandler(keepLogLine);
    }
    ~LogLines()
    {
        qInstallMessageHandler(previous);
        const_cast<QLoggingCategory &>(lcPollix()).setEnabled(QtInfoMsg, false);
    }
    static bool has(const QString &start)
    {
        return std::any_of(s_logLines.cbegin(), s_logLines.cend(), [&](const QString &l) { return l.startsWith(start); });
    }
    QtMessageHandler previous;
};
} // namespace

// A teacher's MP3 cue reaches the system's media player, which reads it and is asked to play it
// (with or without a sound card); a sound switched on that cannot be played is named in the log.
TEST_F(RunWindowTest, AnMp3CuePlaysAndASoundThatCannotBePlayedIsNamedInTheLog)
{
    ASSERT_TRUE(QFile::copy(testDataPath("run/mp3-sound/Bell.mp3"), home() + "Bell.mp3"));
    QFile fake(home() + "Buzz.mp3");
    ASSERT_TRUE(fake.open(QIODevice::WriteOnly));
    fake.write(QByteArray("ID3\x03\0\0\0\0\0\0", 10) + QByteArray(2000, 'x'));
    fake.close();
    auto *config = TovConfigXmlDatabase::sharedConfigUI();
    const QList<std::pair<QString, QString>> chosen{
        {"Enter Activity", home() + "gone.wav"}, {"Start Answer", home() + "Bell.mp3"}, {"Stop Answer", home() + "Buzz.mp3"}};
    for (const auto &[name, path] : chosen) {
        auto music = config->musicByName(name);
        ASSERT_TRUE(music);
        music->setPath(path);
        music->setState(1);
        ASSERT_TRUE(config->updateMusic(*music));
    }
    LogLines log;

    open(0, 3, questionFile({{0, QStringLiteral("B"), 30}}));
    SoundPlayer *bell = window->findChild<RunSounds *>()->sound(RunSounds::Start);
    ASSERT_NE(bell->mediaPlayer(), nullptr);
    EXPECT_EQ(bell->mediaPlayer()->source(), QUrl::fromLocalFile(home() + "Bell.mp3"));
    EXPECT_TRUE(waitFor([&] { return bell->isLoaded(); })) << bell->error().toStdString();
    QSignalSpy states(bell->mediaPlayer(), &QMediaPlayer::playbackStateChanged);
    button("btnStart")->click();
    EXPECT_EQ(window->nPlaySoundtype(), 2);
    EXPECT_TRUE(waitFor([&] {
        return std::any_of(states.cbegin(), states.cend(), [](const QList<QVariant> &args) {
            return args.value(0).value<QMediaPlayer::PlaybackState>() == QMediaPlayer::PlayingState;
        });
    })) << "the MP3 was started";
    EXPECT_TRUE(waitFor([&] { return log.has("The sound \"Stop Answer\" (" + home() + "Buzz.mp3) cannot be played: "); }));
    EXPECT_TRUE(log.has("The sound \"Enter Activity\" (" + home() + "gone.wav) cannot be played: No such file"))
        << s_logLines.join("\n").toStdString();
    EXPECT_FALSE(log.has("The sound \"Start Answer\"")) << s_logLines.join("\n").toStdString();
    button("btnStop")->click();
}

TEST_F(RunWindowTest, GridPagesOnlyPastFortyFiveStudents)
{
    makeClass(46, 1);
    open(0, 3, questionFile({{0, QStringLiteral("B"), 30}}));
    for (int i = 0; i < 45; ++i)
        login(i);
    button("btnStart")->click();
    const int height = window->nMoveHeight();
    seconds(2);
    EXPECT_EQ(window->nMoveHeight(), height) << "45 students: no paging";
    login(45);
    EXPECT_EQ(window->nMoveHeight(), 0) << "((45 - 43) / 3) * 44";
    seconds(1);
    EXPECT_EQ(window->nMoveHeight(), 660);
    seconds(1);
    EXPECT_EQ(window->nMoveHeight(), 0) << "past the limit it pages back";
}

TEST_F(RunWindowTest, TheAnsweredFieldKeepsItsPlaceAsTheCountsGrow)
{
    makeClass(120, 1);
    open(0, 3, questionFile({{0, QStringLiteral("B"), 30}}));
    window->resize(1280, 900);
    auto *answered = window->findChild<QLabel *>(QStringLiteral("txtLoginAndAnswered"));
    auto *next = window->findChild<QLabel *>(QStringLiteral("txtHandRaiseTitle"));
    login(0);
    QApplication::processEvents();
    const QRect field = answered->geometry();
    const QRect beside = next->geometry();
    for (int i = 1; i < 120; ++i)
        login(i);
    QApplication::processEvents();
    EXPECT_EQ(label("txtLoginAndAnswered"), QStringLiteral("0 / 120"));
    EXPECT_EQ(answered->geometry(), field);
    EXPECT_EQ(next->geometry(), beside) << "the field beside it stays put";
    // The widest counts a class can reach still fit.
    EXPECT_GE(answered->width(), answered->fontMetrics().horizontalAdvance(QStringLiteral("999 / 999")));
}

TEST_F(RunWindowTest, RushWinnerBoxShowsTheWinnerAndTheWindowStepsBelowItMeanwhile)
{
    ActivityWindowOpener::install();
    open(3, 3, questionFile({{0, QStringLiteral("B"), 10, 1}}));
    EXPECT_TRUE(window->isStatusLevel());
    std::unique_ptr<RushInfoShow> box = RushInfoShow::create();
    ASSERT_TRUE(box);
    box->setStrStudentID(QStringLiteral("S007"));
    box->setStrStudentName(QStringLiteral("Ann Lee"));
    box->showWindow();
    auto *widget = dynamic_cast<QWidget *>(box.get());
    ASSERT_TRUE(widget);
    EXPECT_EQ(widget->objectName(), QStringLiteral("RushInfoShow"));
    EXPECT_EQ(widget->findChild<QLabel *>(QStringLiteral("textfieldStudentID"))->text(), QStringLiteral("S007"));
    EXPECT_EQ(widget->findChild<QLabel *>(QStringLiteral("textfieldStudentName"))->text(), QStringLiteral("Ann Lee"));
    EXPECT_FALSE(window->isStatusLevel());
    box->closeWindow();
    EXPECT_TRUE(window->isStatusLevel());
    box.reset();
    RushInfoShow::setFactory({});
}

TEST_F(RunWindowTest, TeacherKeysOfTheLargeFamily)
{
    auto *ctrl = DeviceController::ShareDeviceController();
    const auto offer = [&](int deviceType, const QByteArray &frame) {
        ctrl->setCurDeviceType(deviceType);
        ctrl->parser().setFamily(deviceType <= 1 ? 0 : 1);
        const quint64 before = ctrl->framesDelivered();
        ctrl->receiveBytes(frame);
        EXPECT_TRUE(QTest::qWaitFor([&] { return ctrl->framesDelivered() > before && ctrl->queuedFrameCount() == 0; }, kEventWaitMs));
        QCoreApplication::processEvents();
    };
    int sendWindows = 0;
    auto &h = QuizStateWindowController::hooks();
    h.runSendQuestions = [&](QuizStateWindowController *w, bool ask) {
        EXPECT_FALSE(ask);
        EXPECT_FALSE(w->isStatusLevel()) << "the window steps below its child";
        app()->setObjectToReceiveCommData(nullptr); // the child takes the frames while it runs
        ++sendWindows;
    };
    const QString path = questionFile({{0, QStringLiteral("B"), 10}});

    // Dravel paper quiz: F1 of the teacher keypad sends the questions.
    open(1, 3, path);
    offer(3, QByteArray::fromHex("F401EF819B"));
    EXPECT_EQ(sendWindows, 1);
    EXPECT_EQ(app()->objectToReceiveCommData(), window.data()) << "the role comes back afterwards";
    EXPECT_TRUE(window->isStatusLevel());
    // Stop while nothing runs, and a student's short frame: nothing happens.
    offer(3, QByteArray::fromHex("F401EF8B91"));
    offer(3, QByteArray::fromHex("F405008A7B"));
    EXPECT_FALSE(window->bStartFlag());
    delete window.data();

    // Corvel: the same key sends nothing.
    open(1, 2, path);
    offer(2, QByteArray::fromHex("F401EF819B"));
    EXPECT_EQ(sendWindows, 1);
}

TEST_F(RunWindowTest, TheRunningQuestionCannotBeSwappedFromTheThumbnails)
{
    open(0, 3, questionFile({{0, QStringLiteral("B"), 10}, {0, QStringLiteral("C"), 20}}));
    const QPoint second = window->smallQuestions->thumbnailRect(2).center();
    button("btnStart")->click();
    ASSERT_TRUE(window->bStartFlag());
    QTest::mouseClick(window->smallQuestions, Qt::LeftButton, {}, second);
    EXPECT_EQ(window->nCurrentQuestionNo(), 1);
    EXPECT_EQ(timeShown(), 10);
    button("btnStop")->click();
    EXPECT_EQ(window->arryAlreadTestQuetionNum(), QList<int>{1}) << "the stop belongs to the question that ran";
    QTest::mouseClick(window->smallQuestions, Qt::LeftButton, {}, second);
    EXPECT_EQ(window->nCurrentQuestionNo(), 2);
    EXPECT_EQ(label("txtPageAndTotalPage"), QStringLiteral("2/2"));
}

TEST_F(RunWindowTest, ReadAloudTextFollowsTheQuestionType)
{
    open(0, 3, questionFile({{0, QStringLiteral("B"), 10, 0, 3}, {5, QStringLiteral("A")}, {2, QStringLiteral("x")},
                             {0, QStringLiteral("A"), 10, 0, 1}}));
    auto *qq = QuizQuestions::shareManager();
    QList<QuizQuestionsElement> list = qq->arrayQuestions();
    ASSERT_EQ(list.size(), 4);
    const QStringList words{QStringLiteral("red"), QStringLiteral("green"), QStringLiteral("blue")};
    for (QuizQuestionsElement &e : list)
        for (int k = 0; k < words.size(); ++k)
            e.setStrOption(k, words[k]);
    list[3].setStrTitle(QString());
    qq->setArrayQuestions(list);

    EXPECT_EQ(window->setMessageToPlayMusic(),
              QStringLiteral("Question 1\n OptionA: red \n\n OptionB: green \n\n OptionC: blue \n"));
    button("btnNext")->click();
    EXPECT_EQ(window->setMessageToPlayMusic(), QStringLiteral("Question 2\n OptionA: red \n\n OptionB: green \n"))
        << "true or false: options A and B";
    button("btnNext")->click();
    EXPECT_EQ(window->setMessageToPlayMusic(), QStringLiteral("Question 3")) << "cloze: the title alone";
    button("btnNext")->click();
    EXPECT_EQ(window->setMessageToPlayMusic(), QStringLiteral(" ")) << "one option and no title: one blank";
}

TEST_F(RunWindowTest, OnlyRollCallGroupingAndHandRaiseRunWithoutARadioReceiver)
{
    const QString path = questionFile({{0, QStringLiteral("B"), 10}});
    open(0, 0, path);
    EXPECT_EQ(window->modeObject(), nullptr) << "infrared keypads take no normal quiz";
    delete window.data();
    open(8, 0, QString());
    EXPECT_NE(dynamic_cast<Corvel_RollCall *>(window->modeObject()), nullptr);
    delete window.data();
    open(13, -1, QString());
    EXPECT_NE(dynamic_cast<Arvel_QuickGroup *>(window->modeObject()), nullptr);
    delete window.data();
    open(8, 3, QString());
    EXPECT_NE(dynamic_cast<Corvel_RollCall *>(window->modeObject()), nullptr) << "attendance on a Dravel receiver";
}

TEST_F(RunWindowTest, MultipleModeRestoresEveryoneAfterAnEliminationQuestion)
{
    makeClass(3, 1);
    // Stored action modes: 2 elimination, 0 normal, 1 rush.
    open(5, 3, questionFile({{0, QStringLiteral("B"), 10, 2}, {0, QStringLiteral("A"), 10, 0}, {0, QStringLiteral("C"), 15, 1}}));
    EXPECT_EQ(label("txtMultipleModeString"), QStringLiteral("Multiple Mode: Elimination"));
    loginAll();
    button("btnStart")->click();
    post("ELIMINATIONMODE_STUDENTELIMINATION", {{QStringLiteral("DEVICENO"), 2}, {QStringLiteral("TYPE"), 1}});
    EXPECT_EQ(grid()->students()[1].state(), StudentLoginView::StateEliminateWrong);
    button("btnStop")->click();
    EXPECT_FALSE(button("btnStart")->isEnabled()) << "a run elimination question";

    button("btnNext")->click();
    EXPECT_EQ(label("txtMultipleModeString"), QStringLiteral("Multiple Mode: Normal Quiz"));
    EXPECT_TRUE(button("btnStart")->isEnabled());
    for (const StudentInfo &s : grid()->students())
        EXPECT_EQ(s.state(), StudentLoginView::StateNormal) << "everyone takes part again";

    // A rush question shows its rush time and waits for a winner before counting down.
    button("btnNext")->click();
    EXPECT_EQ(label("txtMultipleModeString"), QStringLiteral("Multiple Mode: Rush Quiz"));
    EXPECT_EQ(timeShown(), 15);
    button("btnStart")->click();
    EXPECT_FALSE(button("btnStart")->isEnabled());
    seconds(3);
    EXPECT_EQ(timeShown(), 15);

    // Back to the elimination question: it cannot run again.
    button("btnStop")->click();
    button("btnPrevious")->click();
    button("btnPrevious")->click();
    EXPECT_EQ(label("txtMultipleModeString"), QStringLiteral("Multiple Mode: Elimination"));
    EXPECT_FALSE(button("btnStart")->isEnabled());
    EXPECT_EQ(label("txtDone"), QStringLiteral("Done"));
}

TEST_F(RunWindowTest, HomeworkKeepsReceivingAfterAPause)
{
    open(2, 3, questionFile({{0, QStringLiteral("B"), 10}, {0, QStringLiteral("A"), 10}}));
    EXPECT_EQ(label("txtQuizTime"), QStringLiteral("Assigning"));
    button("btnStart")->click();
    EXPECT_EQ(label("txtQuizTime"), QStringLiteral("Receiving..."));
    button("btnStart")->click(); // pause
    button("btnStart")->click(); // resume
    seconds(5);
    EXPECT_TRUE(window->bStartFlag()) << "the keypads are still handing in";
    EXPECT_EQ(label("txtQuizTime"), QStringLiteral("Receiving..."));
    button("btnStop")->click();
    EXPECT_EQ(label("txtQuizTime"), QStringLiteral("Assigning"));
    EXPECT_TRUE(button("btnReport")->isEnabled());
    EXPECT_FALSE(button("btnResult")->isEnabled());
}

// A run window that has closed lingers until the event loop deletes it. Meanwhile it hears no
// notification: a receiver plugged in, a late login or the next run's events change nothing of
// it, and it sends the keypads nothing more.
TEST_F(RunWindowTest, AClosedRunWindowHearsNothingWhileItWaitsToBeDeleted)
{
    makeClass(3, 1);
    open(0, 3, questionFile({{0, QStringLiteral("B"), 10}}));
    login(0);
    login(1);
    ASSERT_EQ(grid()->count(), 2);
    DialogAnswers answers;
    button("btnExit")->click();
    for (int pass = 0; pass < 100 && window && window->isVisible(); ++pass)
        QCoreApplication::processEvents();
    ASSERT_TRUE(window) << "deleted at once: nothing left to check";
    ASSERT_FALSE(window->isVisible());
    EXPECT_EQ(app()->objectToReceiveCommData(), nullptr) << "the opener listens again";
    const qsizetype before = sent().size();
    post("DeviceChanged", {});
    login(2);
    post("STUDENTANSWERMESSAGE", {{QStringLiteral("DEVICENO"), 1}, {QStringLiteral("ANSNUM"), QStringLiteral("B")}});
    EXPECT_EQ(grid()->count(), 2);
    EXPECT_EQ(sent().size(), before);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
}

TEST_F(RunWindowTest, AQuestionAskedAgainSaysNothingDoneWhileItRuns)
{
    makeClass(2, 1);
    open(0, 3, questionFile({{0, QStringLiteral("B"), 10}}));
    loginAll();
    QTest::mouseClick(button("btnStart"), Qt::LeftButton);
    ASSERT_TRUE(window->bStartFlag());
    QTest::mouseClick(button("btnStop"), Qt::LeftButton);
    EXPECT_EQ(label("txtDone"), QStringLiteral("All Done"));

    QTest::mouseClick(button("btnStart"), Qt::LeftButton);
    ASSERT_TRUE(window->bStartFlag());
    EXPECT_EQ(label("txtDone"), QString()) << "the question asked again runs";
    QTest::mouseClick(button("btnStop"), Qt::LeftButton);
    EXPECT_EQ(label("txtDone"), QStringLiteral("All Done"));
}

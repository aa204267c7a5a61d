#include "EngineFixture.h"

#include "core/engine/QuizModeFactory.h"
#include "core/keypad/DeviceController.h"
#include "platform/NotificationNames.h"
#include "support/ReceiverTest.h"
#include "support/RecordingListener.h"

#include "SimActivity.h"
#include "SimAutoPilot.h"
#include "SimRunPlay.h"

using namespace keypadsim;

// Every activity besides the normal quiz on every model that offers it, through the real serial
// code against the simulated receiver: first scripted keypads for the rush and the elimination,
// then a class that plays along by itself in each activity, as `./dev run` shows it.
namespace {
constexpr int kKeypads = 6;

struct Pair
{
    Model model;
    int deviceType;
    int activity;
};

std::string pairName(const ::testing::TestParamInfo<Pair> &info)
{
    static const char *models[] = {"Envel", "Arvel", "Corvel", "Dravel", "Brevel"};
    static const char *activities[] = {"Normal",   "Paper",   "Homework", "Rush",         "Elimination",
                                       "Multiple", "Survey",  "Vote",     "RollCall",     "FreeNormal",
                                       "FreeRush", "FreeElim", "FreeVote", "QuickGrouping", "HandRaise"};
    return std::string(activities[info.param.activity]) + "On" + models[info.param.deviceType];
}

class ActivityOnReceiver : public ReceiverTest, public ::testing::WithParamInterface<Pair>
{
protected:
    void TearDown() override
    {
        pilot.reset();
        listener.reset();
        mode.reset();
        ReceiverTest::TearDown();
    }

    bool largeFamily() const { return GetParam().deviceType >= 2; }
    bool keypadsLogIn() const { return GetParam().deviceType == 2 || GetParam().deviceType == 3; }

    // Plugs in the receiver, fills the class and makes the activity object the frame listener.
    void startRun(const QList<QuizQuestionsElement> &questions)
    {
        const Pair p = GetParam();
        sim = plugIn(p.model);
        ASSERT_TRUE(sim);
        ASSERT_EQ(app()->currentDeviceType(), p.deviceType);
        sim->addKeypads(1, kKeypads);
        keypads = std::make_unique<SimActivity>(*sim);
        fillClass(kKeypads, !keypadsLogIn());
        for (const QuizQuestionsElement &q : questions)
            QuizQuestions::shareManager()->addQuestion(q);
        mode = QuizModeFactory::create(p.activity, p.deviceType);
        ASSERT_TRUE(mode);
        listener = std::make_unique<RecordingListener>();
        listener->onFrame = [this](const DataOfFrame &f) {
            mode->setFrameToHandle(f);
            if (f.type() == 1)
                mode->handleDataReceiveCorvel_Dravel();
            else
                mode->handleStudentCommandArvel();
        };
        app()->setObjectToReceiveCommData(listener.get());
        NotificationCenter::defaultCenter()->addObserver(listener.get(), QString(),
                                                         [this](const Notification &n) { notes << n; });
    }

    // Corvel and Dravel keypads log in as students of the same number when the class is announced.
    void logInEveryone(bool keypadsAnswerTheWake = true)
    {
        if (!keypadsLogIn())
            return;
        mode->setWakeUpMode(0);
        mode->sendWakeFrame();
        if (keypadsAnswerTheWake) {
            ASSERT_TRUE(waitFor([&] { return keypads->wakeFrames() == 1; }));
            sim->wakeUpReply(1);
            ASSERT_TRUE(waitFor([&] { return keypads->runState() == 2; }));
            keypads->loginAll(1, kKeypads);
        }
        ASSERT_TRUE(waitFor([&] { return QuizParticipantData::shareManager()->getSumOfLoginStudents() == kKeypads; }));
    }

    // Question q starts as the activity window starts it on this model.
    void begin(int q, bool keypadsAnswerTheWake = true)
    {
        // Only what the receiver takes from here on starts the question: the stop of the question
        // before may still be on its way to it.
        const qsizetype before = programFrames(sim).size();
        mode->modeStart(q);
        mode->setQuizStateScreenTimer(0);
        switch (GetParam().deviceType) {
        case 1:
            mode->openReceiveArvel();
            break;
        case 4: {
            const int wakes = keypads->wakeFrames();
            mode->setWakeUpMode(1);
            mode->sendWakeFrame();
            if (!keypadsAnswerTheWake)
                break;
            for (int round = 1; round <= 2; ++round) {
                ASSERT_TRUE(waitFor([&] { return keypads->wakeFrames() >= wakes + round; }));
                sim->wakeUpReply(1);
            }
            break;
        }
        default:
            mode->sendPCState(3);
            break;
        }
        ASSERT_TRUE(waitFor([&] { return SimRunPlay::running(programFrames(sim).mid(before), sim->model()).has_value(); }));
        ASSERT_TRUE(waitFor([&] { return !mode->hasPendingSends(); }));
    }

    void end()
    {
        mode->modeStop();
        if (largeFamily())
            mode->sendPCState(2);
        else
            mode->closeReceiveArvel();
    }

    // The device number of simulated keypad id.
    int deviceOf(int id) const { return keypadsLogIn() ? sim->keypad(id).deviceNo : id; }
    static QString answerOf(int q, int d) { return QuizData::shareManager()->getStudentAnswer(q, d); }
    QList<Notification> posted(const QString &name) const
    {
        QList<Notification> out;
        for (const Notification &n : notes)
            if (n.name == name)
                out << n;
        return out;
    }
    QStringList teacherScreens() const
    {
        QStringList out;
        for (const QByteArray &f : keypads->teacherReplies())
            if (!SimRunPlay::teacherScreen(f).isEmpty())
                out << SimRunPlay::teacherScreen(f);
        return out;
    }

    // The class plays along by itself, quickly, every keypad taking part.
    void selfPlayingClass(SimRunPlay::Kind smallFamilyActivity)
    {
        SimAutoPilot::Options options = SimAutoPilot::Options::brisk(kKeypads, {QStringLiteral("C"), QStringLiteral("C")});
        options.smallFamilyActivity = smallFamilyActivity;
        pilot = std::make_unique<SimAutoPilot>(*sim, options);
        pilot->start();
    }

    SimReceiver *sim = nullptr;
    std::unique_ptr<SimActivity> keypads;
    std::unique_ptr<QuizMode> mode;
    std::unique_ptr<RecordingListener> listener;
    std::unique_ptr<SimAutoPilot> pilot;
    QList<Notification> notes;
};

class RushOnReceiver : public ActivityOnReceiver {};
class EliminationOnReceiver : public ActivityOnReceiver {};
class SelfPlayingClass : public ActivityOnReceiver {};

} // namespace

TEST_P(RushOnReceiver, TheFirstBuzzWinsAndOnlyTheWinnerAnswers)
{
    ASSERT_NO_FATAL_FAILURE(startRun({question(0, 4, QStringLiteral("B"))}));
    ASSERT_NO_FATAL_FAILURE(logInEveryone());
    ASSERT_NO_FATAL_FAILURE(begin(1));
    const int framesBefore = int(sim->framesFromProgram().size());
    sim->buzz(2);
    ASSERT_TRUE(waitFor([&] { return !posted(Notify::StudentRush).isEmpty(); }));
    sim->buzz(3);
    sim->answer(3, QStringLiteral("B"));
    const int winner = deviceOf(2);
    EXPECT_EQ(posted(Notify::StudentRush)[0].userInfo.value(Notify::Key::DeviceNo).toInt(), winner);
    if (largeFamily()) {
        // The keypad is told it won: the permission to answer, or Brevel's success three times.
        ASSERT_TRUE(waitFor([&] { return SimRunPlay::rushWinnerAddress(programFrames(sim), framesBefore) == winner; }));
        if (GetParam().deviceType == 4) {
            QList<qint64> times;
            ASSERT_TRUE(waitFor([&] {
                times.clear();
                for (const SimFrame &f : sim->framesFromProgram().mid(framesBefore))
                    if (f.bytes.size() == 9 && quint8(f.bytes[7]) == 0xF5)
                        times << f.timeNs;
                return times.size() == 3;
            }));
            EXPECT_GE(times[1] - times[0], 650'000'000) << "0.7 s apart";
            EXPECT_GE(times[2] - times[1], 650'000'000);
        }
    }
    sim->answer(2, GetParam().deviceType == 1 ? QStringLiteral("B") : QStringLiteral("b"));
    ASSERT_TRUE(waitFor([&] { return posted(Notify::StudentRush).size() == 2; }));
    EXPECT_EQ(answerOf(1, winner), QStringLiteral("B"));
    EXPECT_EQ(answerOf(1, deviceOf(3)), QStringLiteral("__"));
    EXPECT_EQ(answerOf(1, deviceOf(1)), QStringLiteral("__"));
    end();
    if (GetParam().deviceType == 2 || GetParam().deviceType == 3) {
        sim->teacherQuery(6);
        ASSERT_TRUE(waitFor([&] { return !teacherScreens().isEmpty(); }));
        EXPECT_EQ(teacherScreens().last(), QStringLiteral("rush won by First2 Last2 (of 6), answer \"B\", right \"B\": right"));
    }
}

INSTANTIATE_TEST_SUITE_P(EveryModel, RushOnReceiver,
                         ::testing::Values(Pair{Model::Arvel, 1, 3}, Pair{Model::Corvel, 2, 3}, Pair{Model::Dravel, 3, 3},
                                           Pair{Model::Brevel, 4, 3}),
                         pairName);

TEST_P(EliminationOnReceiver, WrongAndMissingAnswersDropOut)
{
    ASSERT_NO_FATAL_FAILURE(startRun({question(0, 4, QStringLiteral("B")), question(0, 4, QStringLiteral("A"))}));
    ASSERT_NO_FATAL_FAILURE(logInEveryone());
    ASSERT_NO_FATAL_FAILURE(begin(1));
    const bool lower = keypadsLogIn();
    sim->answer(1, lower ? QStringLiteral("b") : QStringLiteral("B"));
    sim->answer(2, QStringLiteral("C"));
    sim->answer(4, QStringLiteral("B"));
    ASSERT_TRUE(waitFor([&] { return posted(Notify::StudentAnswer).size() == 3; }));
    end();
    QList<int> out;
    for (int id : {2, 3, 5, 6})
        out << deviceOf(id);
    EXPECT_EQ(QuizData::shareManager()->arrayEliminationStudentsDeviceNo(), out);
    EXPECT_EQ(posted(Notify::StudentElimination).size(), kKeypads);

    ASSERT_NO_FATAL_FAILURE(begin(2));
    sim->answer(2, QStringLiteral("A")); // out: not heard
    sim->answer(1, QStringLiteral("A"));
    ASSERT_TRUE(waitFor([&] { return posted(Notify::StudentAnswer).size() == 4; }));
    EXPECT_EQ(answerOf(2, deviceOf(2)), QString());
    EXPECT_EQ(answerOf(2, deviceOf(1)), QStringLiteral("A"));
    end();
    EXPECT_EQ(posted(Notify::StudentElimination).size(), kKeypads + 2) << "only the two still in";
}

INSTANTIATE_TEST_SUITE_P(EveryModel, EliminationOnReceiver,
                         ::testing::Values(Pair{Model::Arvel, 1, 4}, Pair{Model::Corvel, 2, 4}, Pair{Model::Dravel, 3, 4},
                                           Pair{Model::Brevel, 4, 4}),
                         pairName);

// The class plays one question of the activity by itself; what reached the run must be what the
// activity asks of the keypads.
TEST_P(SelfPlayingClass, PlaysTheActivity)
{
    const Pair p = GetParam();
    QuizQuestionsElement q = question(0, 4, QStringLiteral("C"));
    if (p.activity == 5)
        q.setNActionMode(3); // multiple mode's rush question
    if (p.activity == 7)
        q.setStrAnswer(QString());
    ASSERT_NO_FATAL_FAILURE(startRun({q}));
    const SimRunPlay::Kind kind = p.activity == 3   ? SimRunPlay::Kind::Rush
                                  : p.activity == 7 ? SimRunPlay::Kind::Vote
                                  : p.activity == 8 ? SimRunPlay::Kind::RollCall
                                                    : SimRunPlay::Kind::Quiz;
    selfPlayingClass(kind);
    ASSERT_NO_FATAL_FAILURE(logInEveryone(false));
    ASSERT_NO_FATAL_FAILURE(begin(1, false));
    auto *qd = QuizData::shareManager();
    const QList<int> devices = QuizParticipantData::shareManager()->loginDeviceNos();
    ASSERT_EQ(devices.size(), kKeypads) << "the class once, whether its keypads log in or not";
    const auto count = [&](const std::function<bool(const QString &)> &pred) {
        int n = 0;
        for (int d : devices)
            n += pred(qd->getStudentAnswer(1, d)) ? 1 : 0;
        return n;
    };
    const auto isLetter = [](const QString &a) { return a.size() == 1 && a[0] >= u'A' && a[0] <= u'J'; };
    switch (p.activity) {
    case 3:
    case 5:
        // One keypad won and answered right; everybody else kept no right to answer.
        ASSERT_TRUE(waitFor([&] { return count([](const QString &a) { return a == QLatin1String("C"); }) == 1; }));
        EXPECT_EQ(count([](const QString &a) { return a == QLatin1String("__"); }), kKeypads - 1);
        // Multiple mode's buzz on Corvel and Dravel is an answer frame, told apart by its type.
        EXPECT_EQ(posted(Notify::StudentRush).first().userInfo.value(Notify::Key::Type).toInt(),
                  p.activity == 5 && p.deviceType != 4 ? 2 : 0);
        break;
    case 7:
        ASSERT_TRUE(waitFor([&] { return count(isLetter) == kKeypads; }));
        break;
    case 8:
        ASSERT_TRUE(waitFor([&] { return count([](const QString &a) { return a == QLatin1String("1"); }) == kKeypads; }));
        break;
    case 13:
        ASSERT_TRUE(waitFor([&] { return count(isLetter) == kKeypads; }));
        if (p.deviceType == 1) {
            EXPECT_EQ(posted(Notify::StudentQuickGrouping).last().userInfo.value(Notify::Key::Sum).toInt(), kKeypads);
        }
        break;
    case 14:
        ASSERT_TRUE(waitFor([&] { return posted(Notify::StudentAnswer).size() >= kKeypads; }));
        break;
    default:
        FAIL();
    }
    end();
    // After a vote or a rush the teacher keypad asks for the result and shows it.
    if (largeFamily() && (p.activity == 3 || p.activity == 7)) {
        ASSERT_TRUE(waitFor([&] { return !pilot->teacherScreens().isEmpty(); }));
        const QString screen = pilot->teacherScreens().last();
        if (p.activity == 7)
            EXPECT_TRUE(screen.startsWith(QStringLiteral("vote of 6:"))) << qPrintable(screen);
        else if (p.deviceType != 4)
            EXPECT_TRUE(screen.startsWith(QStringLiteral("rush won by First"))) << qPrintable(screen);
        else
            EXPECT_TRUE(screen.startsWith(QStringLiteral("right C, of 6:"))) << qPrintable(screen);
    }
}

INSTANTIATE_TEST_SUITE_P(
    EveryModelThatOffersIt, SelfPlayingClass,
    ::testing::Values(Pair{Model::Arvel, 1, 3}, Pair{Model::Corvel, 2, 3}, Pair{Model::Dravel, 3, 3}, Pair{Model::Brevel, 4, 3},
                      Pair{Model::Corvel, 2, 5}, Pair{Model::Dravel, 3, 5}, Pair{Model::Brevel, 4, 5},
                      Pair{Model::Arvel, 1, 7}, Pair{Model::Corvel, 2, 7}, Pair{Model::Dravel, 3, 7}, Pair{Model::Brevel, 4, 7},
                      Pair{Model::Arvel, 1, 8}, Pair{Model::Corvel, 2, 8}, Pair{Model::Dravel, 3, 8}, Pair{Model::Brevel, 4, 8},
                      Pair{Model::Arvel, 1, 13}, Pair{Model::Dravel, 3, 13}, Pair{Model::Brevel, 4, 13},
                      Pair{Model::Arvel, 1, 14}, Pair{Model::Corvel, 2, 14}),
    pairName);

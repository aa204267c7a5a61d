#include "RunWindowFixture.h"

#include "core/store/TovConfigXmlDatabase.h"
#include "platform/NotificationCenter.h"
#include "support/DialogAnswers.h"
#include "ui/controls/PollixAlert.h"
#include "ui/run/SaveToDataController.h"

#include <QApplication>
#include <QDir>

#include <QTimer>

using keypadsim::Model;
using keypadsim::SimFrame;
using keypadsim::SimReceiver;

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

QByteArray withXor(const QByteArray &head)
{
    char crc = 0;
    for (char c : head)
        crc ^= c;
    return head + crc;
}

int indexOf(const QList<SimFrame> &frames, const QByteArray &bytes, int from = 0)
{
    for (int i = from; i < frames.size(); ++i)
        if (frames[i].bytes == bytes)
            return i;
    return -1;
}

// PC-state frames (F5, quiz ID 0x1234) the program sent, by their state byte.
QList<int> pcStates(const QList<SimFrame> &frames)
{
    QList<int> out;
    for (const SimFrame &f : frames)
        if (f.bytes.size() > 4 && quint8(f.bytes[0]) == 0xF5 && quint8(f.bytes[1]) == 0x34 && quint8(f.bytes[2]) == 0x12)
            out << quint8(f.bytes[4]);
    return out;
}

class RunLifecycleTest : public RunWindowFixture
{
protected:
    // Answers the window's alert with the teacher keypad's key as soon as one is up, from inside
    // the alert's own event loop; records the alert's text.
    void answerAlertsWith(SimReceiver *sim, quint8 key)
    {
        QObject::disconnect(&m_poll, nullptr, nullptr, nullptr);
        connect_([this, sim, key] {
            if (!window || !window->currentAlert() || m_answeredAlert == window->currentAlert())
                return;
            m_answeredAlert = window->currentAlert();
            alertTexts << window->currentAlert()->informativeText();
            sim->pressTeacherKey(key);
        });
    }
    void connect_(std::function<void()> fn)
    {
        QObject::connect(&m_poll, &QTimer::timeout, fn);
        m_poll.start(5);
    }
    QStringList alertTexts;

private:
    QTimer m_poll;
    QPointer<PollixAlert> m_answeredAlert;
};

} // namespace

TEST_F(RunLifecycleTest, NormalQuizOnADravelReceiver)
{
    SimReceiver *sim = plugIn(Model::Dravel);
    ASSERT_TRUE(sim);
    ASSERT_TRUE(waitFor([&] { return app()->getBHaveDevice(); }));
    // Question texts are not broadcast: Start sends the question's PC state.
    ASSERT_TRUE(TovConfigXmlDatabase::sharedConfigUI()->updateSendQuestionState(0));
    makeClass(4);
    const QString path = questionFile({{0, QStringLiteral("B"), 10}, {4, QString(), 10}, {5, QStringLiteral("A"), 5}});
    sim->clearLogs();

    // Opening: the idle PC state, then the login wake frame.
    open(0, 3, path);
    const QByteArray idle = withXor(hex("F5 34 12 05 02 00 00 00 00"));
    const QByteArray wake = hex("F4 00 C0 01 35");
    ASSERT_TRUE(waitFor([&] { return indexOf(sim->framesFromProgram(), wake) >= 0; }));
    EXPECT_LT(indexOf(sim->framesFromProgram(), idle), indexOf(sim->framesFromProgram(), wake));
    EXPECT_EQ(app()->objectToReceiveCommData(), window.data());
    EXPECT_EQ(label("txtMultipleModeString"), QStringLiteral("Normal Quiz"));
    EXPECT_EQ(label("txtPageAndTotalPage"), QStringLiteral("1/3"));
    EXPECT_EQ(timeShown(), 10);
    EXPECT_TRUE(button("btnStart")->isEnabled());
    EXPECT_TRUE(button("btnNext")->isEnabled());
    EXPECT_FALSE(button("btnStop")->isEnabled());
    EXPECT_FALSE(button("btnPrevious")->isEnabled());

    // Logins fill the grid.
    for (int i = 1; i <= 3; ++i)
        sim->login(0x0100 + i, QStringLiteral("S%1").arg(i, 3, 10, QLatin1Char('0')), QStringLiteral("First%1").arg(i));
    ASSERT_TRUE(waitFor([&] { return grid()->count() == 3 && keypadsLoggedIn(sim, 0x0101, 3); }));
    EXPECT_EQ(label("txtLoginAndAnswered"), QStringLiteral("0 / 3"));
    for (const StudentInfo &s : grid()->students())
        EXPECT_EQ(s.state(), StudentLoginView::StateLogined);
    const int d1 = grid()->students()[0].student()->deviceNo();
    const int d2 = grid()->students()[1].student()->deviceNo();
    ASSERT_GT(d1, 0);

    // Start from the teacher keypad: buttons, the question's PC state, the count-down.
    sim->clearLogs();
    sim->pressTeacherKey(0x8A);
    ASSERT_TRUE(waitFor([&] { return window->bStartFlag(); }));
    EXPECT_EQ(button("btnStart")->text(), QStringLiteral("Pause"));
    EXPECT_EQ(button("btnStart")->property("imageName").toString(), QStringLiteral("pause_normal.png"));
    EXPECT_TRUE(button("btnStop")->isEnabled());
    for (const char *name : {"btnNext", "btnPrevious", "btnResult", "btnReport", "btnExit"})
        EXPECT_FALSE(button(name)->isEnabled()) << name;
    EXPECT_TRUE(waitFor([&] { return pcStates(sim->framesFromProgram()).contains(3); }));
    EXPECT_EQ(label("txtQuNo"), QStringLiteral("1"));
    EXPECT_EQ(timeShown(), 10);
    seconds(1);
    EXPECT_EQ(timeShown(), 10);
    seconds(1);
    EXPECT_EQ(timeShown(), 9);

    // Answers colour the grid; a second answer of the same student turns it yellow.
    sim->answer(0x0101, QStringLiteral("B"));
    ASSERT_TRUE(waitFor([&] { return grid()->students()[0].state() == StudentLoginView::StateAnswered; }));
    EXPECT_EQ(grid()->buttonColor(0), StudentLoginView::colorOfState(1));
    EXPECT_EQ(label("txtLoginAndAnswered"), QStringLiteral("1 / 3"));
    sim->answer(0x0101, QStringLiteral("C"));
    sim->answer(0x0102, QStringLiteral("B"));
    ASSERT_TRUE(waitFor([&] { return grid()->students()[1].state() == StudentLoginView::StateAnswered; }));
    EXPECT_EQ(grid()->students()[0].state(), StudentLoginView::StateAnsweredAgain);
    EXPECT_EQ(label("txtLoginAndAnswered"), QStringLiteral("2 / 3"));
    EXPECT_EQ(QuizData::shareManager()->getStudentAnswer(1, d2), QStringLiteral("B"));

    // Pause and resume from the teacher keypad.
    sim->pressTeacherKey(0x8A);
    ASSERT_TRUE(waitFor([&] { return !button("btnStart")->isChecked(); }));
    EXPECT_EQ(button("btnStart")->text(), QStringLiteral("Start"));
    EXPECT_TRUE(window->bStartFlag());
    seconds(3);
    EXPECT_EQ(timeShown(), 9);
    sim->pressTeacherKey(0x8A);
    ASSERT_TRUE(waitFor([&] { return button("btnStart")->isChecked(); }));
    seconds(2);
    EXPECT_EQ(timeShown(), 8);

    // Time out: the question stops one second after the field shows 1.
    seconds(7);
    EXPECT_EQ(timeShown(), 1);
    EXPECT_TRUE(window->bStartFlag());
    sim->clearLogs();
    seconds(1);
    EXPECT_FALSE(window->bStartFlag());
    EXPECT_TRUE(waitFor([&] { return pcStates(sim->framesFromProgram()).contains(2); }));
    EXPECT_EQ(label("txtDone"), QStringLiteral("Done"));
    EXPECT_EQ(timeShown(), 10);
    for (const char *name : {"btnNext", "btnResult", "btnReport", "btnExit", "btnStart"})
        EXPECT_TRUE(button(name)->isEnabled()) << name;
    EXPECT_FALSE(button("btnStop")->isEnabled());

    // Next: a teaching-plan page cannot be started; the teacher keypad's F1 closes the warning,
    // and a login that arrives meanwhile still reaches the grid.
    sim->pressTeacherKey(0x86);
    ASSERT_TRUE(waitFor([&] { return label("txtPageAndTotalPage") == QStringLiteral("2/3"); }));
    EXPECT_EQ(label("txtDone"), QString());
    bool loginSent = false;
    answerAlertsWith(sim, 0x81);
    connect_([&] {
        if (window && window->currentAlert() && !loginSent) {
            loginSent = true;
            sim->login(0x0104, QStringLiteral("S004"), QStringLiteral("First4"));
        }
    });
    sim->pressTeacherKey(0x8A);
    ASSERT_TRUE(waitFor([&] { return alertTexts.size() == 1 && !window->currentAlert(); }));
    EXPECT_EQ(alertTexts.first(), QStringLiteral("Currently in the teaching plan mode, cannot start testing"));
    EXPECT_FALSE(window->bStartFlag());
    EXPECT_FALSE(button("btnStart")->isChecked());
    EXPECT_TRUE(waitFor([&] { return grid()->count() == 4; })) << "a login while the warning was up";
    EXPECT_EQ(app()->objectToReceiveCommData(), window.data());

    // Previous returns to the question run.
    sim->pressTeacherKey(0x84);
    ASSERT_TRUE(waitFor([&] { return label("txtPageAndTotalPage") == QStringLiteral("1/3"); }));
    EXPECT_EQ(label("txtDone"), QStringLiteral("Done"));

    // Exit from the teacher keypad: F1 confirms, the keypads are told, the save dialog opens and
    // the teacher keypad's F1 saves the session; nothing more is asked after it.
    bool saveDialogSeen = false;
    QStringList afterSave;
    connect_([&] {
        auto *dialog = qobject_cast<SaveToDataController *>(QApplication::activeModalWidget());
        if (dialog && !saveDialogSeen) {
            saveDialogSeen = true;
            EXPECT_EQ(app()->objectToReceiveCommData(), dialog);
            sim->pressTeacherKey(0x81);
        }
        auto *alert = qobject_cast<PollixAlert *>(QApplication::activeModalWidget());
        if (alert && saveDialogSeen) {
            afterSave << alert->text();
            alert->reject();
        }
    });
    sim->clearLogs();
    sim->pressTeacherKey(0x85);
    ASSERT_TRUE(waitFor([&] { return saveDialogSeen && window.isNull(); }));
    EXPECT_EQ(alertTexts.last(), QStringLiteral("Are you sure to exit this Activity?"));
    ASSERT_TRUE(waitFor([&] { return sim->framesFromProgram().size() >= 2; }));
    const QList<SimFrame> out = sim->framesFromProgram();
    const int told = indexOf(out, withXor(hex("F3 56 EF E3")));
    EXPECT_GE(told, 0);
    EXPECT_GT(indexOf(out, wake, told), told) << "the logout wake frame follows";
    const QStringList sessions = QDir(app()->strQuizXmlDataFilePath()).entryList(QDir::Files);
    ASSERT_EQ(sessions.size(), 1);
    EXPECT_TRUE(afterSave.isEmpty()) << afterSave.join(" / ").toStdString();
    EXPECT_EQ(app()->objectToReceiveCommData(), nullptr) << "given back to the opener (none here)";
    EXPECT_TRUE(QuizParticipantData::shareManager()->arrayLoginStudents().isEmpty());
    EXPECT_EQ(QuizQuestions::shareManager()->count(), 0);
    (void)d1;
}

TEST_F(RunLifecycleTest, NormalQuizOnAnArvelReceiver)
{
    SimReceiver *sim = plugIn(Model::Arvel);
    ASSERT_TRUE(sim);
    ASSERT_TRUE(waitFor([&] { return app()->getBHaveDevice(); }));
    makeClass(3, 1);
    const QString path = questionFile({{0, QStringLiteral("B"), 10}, {1, QStringLiteral("AB"), 10}});
    bool saved = false;
    QuizStateWindowController::hooks().runSaveDialog = [&](QuizStateWindowController *, const auto &) { saved = true; };
    sim->clearLogs();

    // The three-byte keypads do not log in: the whole class is on the grid at once.
    open(0, 1, path);
    EXPECT_EQ(grid()->count(), 3);
    EXPECT_EQ(label("txtLoginAndAnswered"), QStringLiteral("0 / 3"));
    EXPECT_FALSE(window->findChild<QLabel *>(QStringLiteral("txtHandRaise"))->isVisible());

    // Teacher key 0x85 starts, pauses and resumes; the receiver is switched on.
    sim->pressTeacherKey(0x85);
    ASSERT_TRUE(waitFor([&] { return window->bStartFlag(); }));
    EXPECT_TRUE(waitFor([&] { return indexOf(sim->framesFromProgram(), hex("5A 80 DA")) >= 0; }));
    seconds(2);
    EXPECT_EQ(timeShown(), 9);
    sim->answer(2, QStringLiteral("B"));
    ASSERT_TRUE(waitFor([&] { return grid()->students()[1].state() == StudentLoginView::StateAnswered; }));
    EXPECT_EQ(QuizData::shareManager()->getStudentAnswer(1, 2), QStringLiteral("B"));
    EXPECT_EQ(label("txtLoginAndAnswered"), QStringLiteral("1 / 3"));
    sim->pressTeacherKey(0x85);
    ASSERT_TRUE(waitFor([&] { return !button("btnStart")->isChecked(); }));
    seconds(2);
    EXPECT_EQ(timeShown(), 9);
    sim->pressTeacherKey(0x85);
    ASSERT_TRUE(waitFor([&] { return button("btnStart")->isChecked(); }));
    sim->answer(3, QStringLiteral("A"));
    ASSERT_TRUE(waitFor([&] { return grid()->students()[2].state() == StudentLoginView::StateAnswered; }));

    // 0x86 stops; the receiver is switched off.
    sim->pressTeacherKey(0x86);
    ASSERT_TRUE(waitFor([&] { return !window->bStartFlag(); }));
    EXPECT_TRUE(waitFor([&] { return indexOf(sim->framesFromProgram(), hex("5B 80 DB")) >= 0; }));
    EXPECT_EQ(label("txtDone"), QStringLiteral("Done"));

    // The next page asks for several answers, which these keypads cannot give. The teacher keypad
    // turns to it: the receiver still passes its keys after stop input.
    DialogAnswers answers;
    sim->pressTeacherKey(0x87);
    ASSERT_TRUE(waitFor([&] { return label("txtPageAndTotalPage") == QStringLiteral("2/2"); }));
    button("btnStart")->click();
    ASSERT_EQ(answers.alerts().size(), 1);
    EXPECT_EQ(answers.alerts().first().informativeText,
              QStringLiteral("Currently in the teaching plan mode, cannot start testing"));
    EXPECT_EQ(answers.alerts().first().buttons, QStringList{QStringLiteral("  \"F1\" OK  ")});
    EXPECT_FALSE(window->bStartFlag());

    // Exit, confirmed: the run is offered for saving.
    button("btnExit")->click();
    ASSERT_TRUE(waitFor([&] { return saved && window.isNull(); }));
    EXPECT_EQ(answers.alerts().last().buttons,
              (QStringList{QStringLiteral("  \"F1\" OK  "), QStringLiteral("\"F2\" Cancel")}));
}

TEST_F(RunLifecycleTest, AChildWindowLeavesStudentFramesToTheRunAndTakesTheTeacherKeys)
{
    SimReceiver *sim = plugIn(Model::Dravel);
    ASSERT_TRUE(sim);
    ASSERT_TRUE(waitFor([&] { return app()->getBHaveDevice(); }));
    makeClass(3);
    open(0, 3, questionFile({{0, QStringLiteral("B"), 10}}));
    ASSERT_TRUE(waitFor([&] { return indexOf(sim->framesFromProgram(), hex("F4 00 C0 01 35")) >= 0; }));

    // The question-sending window comes up while a login frame is being handled (the keypads'
    // request arrives with it): it must not hold the receiver's next frames back.
    QObject context;
    bool asked = false;
    NotificationCenter::defaultCenter()->addObserver(&context, QStringLiteral("QUIZSTATESTUDENTLOGIN"),
                                                     [&](const Notification &) {
                                                         if (!asked) {
                                                             asked = true;
                                                             NotificationCenter::defaultCenter()->postNotification(
                                                                 QStringLiteral("SENDQUESTIONREADY"), {});
                                                         }
                                                     });
    int childRuns = 0;
    bool loginWhileUp = false;
    bool startedWhileUp = true;
    QuizStateWindowController::hooks().runSendQuestions = [&](QuizStateWindowController *w, bool ask) {
        ++childRuns;
        EXPECT_TRUE(ask);
        EXPECT_TRUE(w->childWindowUp());
        sim->pressTeacherKey(0x8A);
        sim->login(0x0102, QStringLiteral("S002"), QStringLiteral("First2"));
        loginWhileUp = waitFor([&] { return w->studentLoginView()->count() == 2; });
        startedWhileUp = w->bStartFlag();
    };
    sim->login(0x0101, QStringLiteral("S001"), QStringLiteral("First1"));
    ASSERT_TRUE(waitFor([&] { return childRuns == 1; }));
    EXPECT_TRUE(loginWhileUp) << "a login while the child was up";
    EXPECT_FALSE(startedWhileUp) << "Start belongs to the child's keys meanwhile";
    EXPECT_FALSE(window->childWindowUp());

    // Afterwards the teacher keypad steers the window again.
    sim->pressTeacherKey(0x8A);
    EXPECT_TRUE(waitFor([&] { return window->bStartFlag(); }));
}

// Someone at the computer presses the close box while a question runs: its notice holds up
// nothing of the teacher keypad's road. The keypad's Stop stops the question and the notice goes
// with it.
TEST_F(RunLifecycleTest, TheCloseBoxNoticeLetsTheTeacherKeypadStopTheQuestion)
{
    SimReceiver *sim = plugIn(Model::Dravel);
    ASSERT_TRUE(sim);
    ASSERT_TRUE(waitFor([&] { return app()->getBHaveDevice(); }));
    makeClass(3);
    open(0, 3, questionFile({{0, QStringLiteral("B"), 60}, {0, QStringLiteral("C"), 60}}));
    sim->login(1, QStringLiteral("S001"));
    ASSERT_TRUE(waitFor([&] { return keypadsLoggedIn(sim, 1, 1); }));
    sim->pressTeacherKey(0x8A);
    ASSERT_TRUE(waitFor([&] { return window->bStartFlag(); }));

    QString notice;
    QTimer::singleShot(0, [&] {
        if (window && window->currentAlert())
            notice = window->currentAlert()->informativeText();
        sim->pressTeacherKey(0x8B);
    });
    EXPECT_TRUE(closeBoxNoticeGoesByItself()) << "the keypad's Stop was held up by the notice";
    EXPECT_EQ(notice, QStringLiteral("A question is running. Stop it before closing this window."));
    EXPECT_FALSE(window->bStartFlag());
    EXPECT_EQ(window->currentAlert(), nullptr);
}

#include "RunWindowFixture.h"

#include "core/store/TovQuizXmlDatabase.h"
#include "ui/controls/PollixAlert.h"
#include "ui/run/SaveToDataController.h"

#include <QApplication>
#include <QDir>
#include <QTimer>

using keypadsim::Model;
using keypadsim::SimFrame;
using keypadsim::SimReceiver;

// A run on a Dravel receiver whose line loses and damages frames: the keypads' answer to a
// question's wake frame, a student's answer, frames right in front of the teacher's keys. The
// teacher still stops, goes on, exits and saves, from the keypad or from the window, and every
// answer that arrived whole is kept.
namespace {

constexpr int kStudents = 6;

// The question announcements (PC state 3, quiz ID 0x1234) the program sent, by question number.
QList<int> announcedQuestions(const QList<SimFrame> &frames)
{
    QList<int> out;
    for (const SimFrame &f : frames) {
        const QByteArray &b = f.bytes;
        if (b.size() > 5 && quint8(b[0]) == 0xF5 && quint8(b[1]) == 0x34 && quint8(b[2]) == 0x12 && quint8(b[4]) == 3)
            out << quint8(b[5]);
    }
    return out;
}

int wakeFrames(const QList<SimFrame> &frames)
{
    return int(std::count_if(frames.begin(), frames.end(),
                             [](const SimFrame &f) { return f.bytes == QByteArray::fromHex("F400C00135"); }));
}

class DamagedFramesRun : public RunWindowFixture
{
protected:
    void SetUp() override
    {
        RunWindowFixture::SetUp();
        // The run's own save dialog, not a stand-in.
        QuizStateWindowController::hooks().runSaveDialog = {};
    }

    // Teacher actions, from the keypad or with the mouse.
    void press(quint8 key, const char *button)
    {
        if (byKeypad)
            sim->pressTeacherKey(key);
        else
            this->button(button)->click();
    }

    void startRun()
    {
        sim = plugIn(Model::Dravel);
        ASSERT_TRUE(sim);
        ASSERT_TRUE(waitFor([&] { return app()->getBHaveDevice(); }));
        makeClass(kStudents);
        open(0, 3, questionFile({{0, QStringLiteral("A"), 30}, {0, QStringLiteral("B"), 30}}));
        for (int i = 1; i <= kStudents; ++i)
            sim->login(i, QStringLiteral("S%1").arg(i, 3, 10, QLatin1Char('0')));
        ASSERT_TRUE(waitFor([&] { return grid()->count() == kStudents && keypadsLoggedIn(sim, 1, kStudents); }));
    }

    int deviceNo(int keypad) const { return sim->keypad(keypad).deviceNo; }
    QString answerOf(int q, int keypad) const { return QuizData::shareManager()->getStudentAnswer(q, deviceNo(keypad)); }

    // A student's answer whose length byte was damaged on the line: it reaches over what follows.
    QByteArray damagedAnswer(int keypad, const QString &text) const
    {
        QByteArray f = SimReceiver::longFrame(0xF7, sim->keypad(keypad).address(), QByteArray(2, '\x11') + text.toLatin1());
        f[3] = char(quint8(f[3]) | 0x20);
        return f;
    }

    // Answers the exit question, the save dialog and the alert of the save as the teacher would.
    void answerExitAndSave()
    {
        QObject::connect(&m_poll, &QTimer::timeout, [this] {
            if (window && window->currentAlert() && m_stage == 0) {
                m_stage = 1;
                if (byKeypad)
                    sim->pressTeacherKey(0x81);
                else
                    window->currentAlert()->pressButton(0);
            } else if (auto *save = qobject_cast<SaveToDataController *>(QApplication::activeModalWidget()); save && m_stage == 1) {
                m_stage = 2;
                if (byKeypad)
                    sim->pressTeacherKey(0x81);
                else // later, as a click is: the save's alert must not hold up this poll
                    QMetaObject::invokeMethod(save->findChild<QPushButton *>(QStringLiteral("buttonOK")),
                                              &QPushButton::click, Qt::QueuedConnection);
            } else if (auto *saved = qobject_cast<PollixAlert *>(QApplication::activeModalWidget()); saved && m_stage == 2) {
                // Where the session went: F1 answers it too.
                m_stage = 3;
                if (byKeypad)
                    sim->pressTeacherKey(0x81);
                else
                    saved->pressButton(0);
            }
        });
        m_poll.start(5);
    }

    void wholeRun();

    SimReceiver *sim = nullptr;
    bool byKeypad = true;

private:
    QTimer m_poll;
    int m_stage = 0;
};

void DamagedFramesRun::wholeRun()
{
    ASSERT_NO_FATAL_FAILURE(startRun());

    // Question 1: the keypads' answer to its wake frame is lost.
    sim->clearLogs();
    press(0x8A, "btnStart");
    ASSERT_TRUE(waitFor([&] { return window->bStartFlag() && wakeFrames(sim->framesFromProgram()) == 1; }));
    sim->dropNextFrames(1);
    sim->wakeUpReply(1);
    ASSERT_TRUE(waitFor([&] { return !sim->framesToProgram().isEmpty() && sim->framesToProgram().last().dropped; }));
    QCoreApplication::processEvents();
    EXPECT_TRUE(announcedQuestions(sim->framesFromProgram()).isEmpty());
    seconds(1);
    EXPECT_TRUE(waitFor([&] { return wakeFrames(sim->framesFromProgram()) == 2; })) << "the wake frame goes out again";
    seconds(2);
    EXPECT_TRUE(waitFor([&] { return announcedQuestions(sim->framesFromProgram()) == QList<int>{1}; }))
        << "the question is announced without the lost answer";

    // Keypad 1's answer is damaged and reaches over the others' answers and the teacher's stop.
    sim->sendRaw(damagedAnswer(1, QStringLiteral("A")));
    for (int i = 2; i <= kStudents; ++i)
        sim->answer(i, QStringLiteral("A"));
    if (byKeypad) {
        sim->pressTeacherKey(0x8B);
    } else {
        ASSERT_TRUE(waitFor([&] { return answerOf(1, kStudents) == QStringLiteral("A"); }));
        button("btnStop")->click();
    }
    ASSERT_TRUE(waitFor([&] { return !window->bStartFlag(); }));
    for (int i = 2; i <= kStudents; ++i)
        EXPECT_EQ(answerOf(1, i), QStringLiteral("A")) << "keypad " << i;
    EXPECT_EQ(answerOf(1, 1), QString()) << "the damaged answer did not arrive whole";

    // Question 2: the answer to its wake frame is damaged somewhere.
    press(0x86, "btnNext");
    ASSERT_TRUE(waitFor([&] { return label("txtPageAndTotalPage") == QStringLiteral("2/2"); }));
    press(0x8A, "btnStart");
    ASSERT_TRUE(waitFor([&] { return window->bStartFlag(); }));
    sim->corruptNextFrames(1);
    sim->wakeUpReply(1);
    ASSERT_TRUE(waitFor([&] { return !sim->framesToProgram().isEmpty() && sim->framesToProgram().last().corrupted; }));
    seconds(3);
    EXPECT_TRUE(waitFor([&] { return announcedQuestions(sim->framesFromProgram()).contains(2); }));
    for (int i = 1; i <= kStudents; ++i)
        sim->answer(i, QStringLiteral("B"));
    ASSERT_TRUE(waitFor([&] { return answerOf(2, kStudents) == QStringLiteral("B"); }));
    press(0x8B, "btnStop");
    ASSERT_TRUE(waitFor([&] { return !window->bStartFlag(); }));
    for (int i = 1; i <= kStudents; ++i)
        EXPECT_EQ(answerOf(2, i), QStringLiteral("B")) << "keypad " << i;

    // Exit and save.
    QList<int> devices;
    for (int i = 1; i <= kStudents; ++i)
        devices << deviceNo(i);
    answerExitAndSave();
    press(0x85, "btnExit");
    ASSERT_TRUE(waitFor([&] { return window.isNull(); }));
    int kept = 0;
    for (const QString &response : savedResponses())
        if (response == QLatin1String("A") || response == QLatin1String("B"))
            ++kept;
    EXPECT_EQ(kept, 2 * kStudents - 1) << "every answer that arrived whole is in the session";
}

} // namespace

TEST_F(DamagedFramesRun, TheTeacherKeypadCarriesTheRunThroughLostAndDamagedFrames)
{
    byKeypad = true;
    wholeRun();
}

TEST_F(DamagedFramesRun, TheWindowCarriesTheRunThroughLostAndDamagedFrames)
{
    byKeypad = false;
    wholeRun();
}

#include "support/PollixTest.h"
#include "support/Unavailable.h"

#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "platform/QtSpeechSynthesizer.h"
#include "platform/SpeechSynthesizer.h"
#include "ui/run/PlayMusic.h"
#include "ui/run/RunTimer.h"
#include "ui/run/RushInfoShowController.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTextToSpeech>
#include <QTimer>

namespace {

// An engine that records what it is told and finishes when the test says so.
class FakeSpeech : public SpeechSynthesizer
{
public:
    explicit FakeSpeech(QStringList *log, int voiceCount) : m_log(log), m_voiceCount(voiceCount) {}
    QString engineName() const override { return QStringLiteral("fake"); }
    QStringList voices() const override
    {
        QStringList v;
        for (int i = 0; i < m_voiceCount; ++i)
            v << QStringLiteral("voice%1").arg(i);
        return v;
    }
    void setVoice(int index) override
    {
        *m_log << (index >= 0 && index < m_voiceCount ? QStringLiteral("voice %1").arg(index) : QStringLiteral("voice default"));
    }
    void setRate(double wpm) override
    {
        m_rate = wpm;
        *m_log << QStringLiteral("rate %1").arg(wpm);
    }
    double rate() const override { return m_rate; }
    void say(const QString &text) override { *m_log << QStringLiteral("say %1").arg(text); }
    void pause() override { *m_log << QStringLiteral("pause"); }
    void resume() override { *m_log << QStringLiteral("resume"); }
    void stop() override { *m_log << QStringLiteral("stop"); }
    void finish() { emit finishedSpeaking(); }
    void fail() { emit failed(QStringLiteral("no sound device")); }

private:
    QStringList *m_log;
    int m_voiceCount;
    double m_rate = 180;
};

class PlayMusicTest : public PollixTest
{
protected:
    void SetUp() override
    {
        PollixTest::SetUp();
        RunTimer::setManualClock(true);
        SpeechSynthesizer::setFactory([this]() -> std::unique_ptr<SpeechSynthesizer> {
            if (!withEngine)
                return nullptr;
            auto s = std::make_unique<FakeSpeech>(&log, voices);
            fake = s.get();
            return s;
        });
        // The window asks for its text before it speaks, as the activity window answers.
        NotificationCenter::defaultCenter()->addObserver(&m_owner, Notify::GetReadContent, [this](const Notification &n) {
            ++asked;
            QMetaObject::invokeMethod(n.object, "setStrContent", Qt::DirectConnection, Q_ARG(QString, text));
        });
    }
    void TearDown() override
    {
        SpeechSynthesizer::setFactory({});
        RunTimer::setManualClock(false);
        PollixTest::TearDown();
    }
    QString icon(const PlayMusic &w) const { return w.btnRead->property("imageName").toString(); }

    QStringList log;
    FakeSpeech *fake = nullptr;
    bool withEngine = true;
    int voices = 5;
    int asked = 0;
    QString text = QStringLiteral("Two plus two?");
    QObject m_owner;
};

} // namespace

TEST_F(PlayMusicTest, ReadPauseResumeAndStop)
{
    PlayMusic w;
    log.clear();
    w.btnRead->click();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(log, QStringList{QStringLiteral("say Two plus two?")});
    EXPECT_EQ(w.nSpeedState(), 1);
    EXPECT_EQ(icon(w), QStringLiteral("playmusic_pause.png"));
    EXPECT_FALSE(w.roleFirst->isEnabled()) << "the voice is chosen before reading";
    // Again: paused at a word; a third time: on from there, with fresh text asked for each time.
    w.btnRead->click();
    EXPECT_EQ(log.last(), QStringLiteral("pause"));
    EXPECT_EQ(w.nSpeedState(), 2);
    EXPECT_EQ(icon(w), QStringLiteral("playmusic_start.png"));
    w.btnRead->click();
    EXPECT_EQ(log.last(), QStringLiteral("resume"));
    EXPECT_EQ(w.nSpeedState(), 1);
    EXPECT_EQ(asked, 3);
    // The end of the text brings the window back to idle.
    fake->finish();
    EXPECT_EQ(w.nSpeedState(), 0);
    EXPECT_EQ(icon(w), QStringLiteral("playmusic_start.png"));
    EXPECT_TRUE(w.roleFirst->isEnabled());
    w.btnRead->click();
    w.btnStop->click();
    EXPECT_EQ(log.last(), QStringLiteral("stop"));
    EXPECT_EQ(w.nSpeedState(), 0);
}

TEST_F(PlayMusicTest, SpeedChangesWhileSpeakingPauseThenGoOn)
{
    PlayMusic w;
    EXPECT_EQ(w.slideSpeed->value(), 0) << "180 words a minute sits in the middle";
    w.btnRead->click();
    log.clear();
    w.slideSpeed->setValue(50);
    EXPECT_EQ(log, (QStringList{QStringLiteral("rate 200"), QStringLiteral("pause")}));
    QCoreApplication::processEvents(); // the pause is over at once on the test clock
    EXPECT_EQ(log.last(), QStringLiteral("resume"));
    // While paused, a change only sets the speed.
    w.btnRead->click();
    log.clear();
    w.slideSpeed->setValue(-100);
    QCoreApplication::processEvents(); // the pause is over at once on the test clock
    EXPECT_EQ(log, QStringList{QStringLiteral("rate 140")});
    EXPECT_EQ(w.nSpeedState(), 2);
}

TEST_F(PlayMusicTest, VoicesTheEngineLacksFallBackToItsDefault)
{
    voices = 2;
    PlayMusic w;
    log.clear();
    w.roleFirst->setChecked(true);
    EXPECT_EQ(log, QStringList{QStringLiteral("voice default")}) << "there is no third voice";
    w.roleSecond->setChecked(true);
    EXPECT_EQ(log.last(), QStringLiteral("voice 0"));
    voices = 5;
    PlayMusic five;
    log.clear();
    five.roleFirst->setChecked(true);
    EXPECT_EQ(log, QStringList{QStringLiteral("voice 2")});
    EXPECT_EQ(five.roleFirst->text(), QStringLiteral("voice2"));
}

TEST_F(PlayMusicTest, NoEngineIsSaidAndAFailedEngineLeavesTheWindowIdle)
{
    withEngine = false;
    PlayMusic none;
    EXPECT_FALSE(none.btnRead->isEnabled());
    EXPECT_FALSE(none.slideSpeed->isEnabled());
    EXPECT_TRUE(none.txtStatus->text().contains(QStringLiteral("No speech engine")));

    withEngine = true;
    PlayMusic w;
    w.show();
    QCoreApplication::processEvents();
    const QRect readAt = w.btnRead->geometry();
    w.btnRead->click();
    fake->fail();
    EXPECT_EQ(w.nSpeedState(), 0);
    EXPECT_EQ(icon(w), QStringLiteral("playmusic_start.png"));
    EXPECT_TRUE(w.txtStatus->text().contains(QStringLiteral("no sound device")));
    // The longer message takes the room kept for it: the buttons stay where they were.
    QCoreApplication::processEvents();
    EXPECT_EQ(w.btnRead->geometry(), readAt);
    // Closing drops the text and stops nothing that is not speaking.
    w.btnRead->click();
    log.clear();
    w.close();
    EXPECT_EQ(log, QStringList{QStringLiteral("stop")});
    EXPECT_TRUE(w.strReadContent().isEmpty());
}

TEST(SpeechEngine, TheInstalledEngineListsItsVoices)
{
    if (QTextToSpeech::availableEngines().isEmpty())
        POLLIX_SKIP_UNAVAILABLE() << "no speech engine installed";
    auto speech = QtSpeechSynthesizer::createFirstWorking();
    ASSERT_TRUE(speech) << "an engine is installed but none works";
    EXPECT_FALSE(speech->voices().isEmpty());
    EXPECT_DOUBLE_EQ(QtSpeechSynthesizer::engineRate(180), 0.0);
    EXPECT_DOUBLE_EQ(QtSpeechSynthesizer::engineRate(100), -1.0);
    EXPECT_DOUBLE_EQ(QtSpeechSynthesizer::engineRate(400), 1.0);
}

TEST(RushWinnerBox, ClosingTheBoxEndsTheModalSessionItRunsIn)
{
    RushInfoShowController box;
    box.setStrStudentID(QStringLiteral("S004"));
    box.setStrStudentName(QStringLiteral("Bo Chen"));
    QEventLoop session;
    box.setModalsession(&session);
    box.showWindow();
    QTimer::singleShot(0, &box, [&] { box.closeWindow(); });
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, &session, [&] { session.exit(1); });
    guard.start(5000);
    EXPECT_EQ(session.exec(), 0) << "the session ended with the box, not by the guard";
    EXPECT_EQ(box.modalsession(), nullptr);
    EXPECT_EQ(box.textfieldStudentID->text(), QStringLiteral("S004"));
}

#include "platform/SoundPlayer.h"
#include "support/EventWait.h"

#include <QFile>
#include <QMediaPlayer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>

// The event sounds a teacher chooses play whether WAV or MP3, on a machine with or without a sound
// card: what is checked is what reaches the player (its source, what it read, that it was asked to
// play), not what is heard.
namespace {
const QString kBell = QStringLiteral(POLLIX_TEST_DATA_DIR "/run/mp3-sound/Bell.mp3");
const QString kEnter = QStringLiteral(POLLIX_SOURCE_DIR "/resources/Pollix/Enter.WAV");

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return path;
}
} // namespace

TEST(SoundPlayer, AnMp3GoesToTheMediaPlayerWhichReadsItAndStartsIt)
{
    SoundPlayer player;
    QSignalSpy failed(&player, &SoundPlayer::failed);
    player.setSource(kBell);
    ASSERT_NE(player.mediaPlayer(), nullptr) << "an MP3 is no sound effect";
    EXPECT_EQ(player.mediaPlayer()->source(), QUrl::fromLocalFile(kBell));
    ASSERT_TRUE(QTest::qWaitFor([&] { return player.isLoaded() || !player.error().isEmpty(); }, kEventWaitMs));
    ASSERT_TRUE(player.error().isEmpty()) << player.error().toStdString();
    EXPECT_TRUE(player.mediaPlayer()->hasAudio());

    // The bell is short: whether it still sounds when looked at depends on the machine's load, so
    // each start is taken from the player's own report.
    QSignalSpy states(player.mediaPlayer(), &QMediaPlayer::playbackStateChanged);
    const auto startedTimes = [&] {
        return std::count_if(states.cbegin(), states.cend(), [](const QList<QVariant> &args) {
            return args.value(0).value<QMediaPlayer::PlaybackState>() == QMediaPlayer::PlayingState;
        });
    };
    player.play();
    EXPECT_TRUE(QTest::qWaitFor([&] { return startedTimes() == 1; }, kEventWaitMs));
    player.stop();
    EXPECT_FALSE(player.isPlaying());
    EXPECT_EQ(player.mediaPlayer()->playbackState(), QMediaPlayer::StoppedState);
    // Given again (the next question's cue), it starts again.
    player.play();
    EXPECT_TRUE(QTest::qWaitFor([&] { return startedTimes() == 2; }, kEventWaitMs));
    EXPECT_TRUE(failed.isEmpty());
    EXPECT_TRUE(SoundPlayer::whyNotPlayable(kBell).isEmpty());
}

TEST(SoundPlayer, AWavPlaysAsASoundEffect)
{
    SoundPlayer player;
    player.setSource(kEnter);
    EXPECT_EQ(player.mediaPlayer(), nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return player.isLoaded() || !player.error().isEmpty(); }, kEventWaitMs));
    EXPECT_TRUE(player.error().isEmpty()) << player.error().toStdString();
    player.play();
    EXPECT_TRUE(player.isPlaying());
    player.stop();
    EXPECT_TRUE(SoundPlayer::whyNotPlayable(kEnter).isEmpty());
}

// What cannot be played is told, with the reason, once: a file that starts as an MP3 but holds
// none, a WAV header over no sound data, a missing file.
TEST(SoundPlayer, ASoundThatCannotBePlayedSaysWhy)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QByteArray notMp3("ID3\x03\0\0\0\0\0\0", 10);
    notMp3 += QByteArray(2000, 'x');
    const QString fake = writeFile(dir, "bell.mp3", notMp3);
    // A frame's start and then no sound: the back-end gives up on the stream in a sentence of its own.
    const QString junk = writeFile(dir, "gong.mp3", QByteArray("\xFF\xFB\x90\x64", 4) + QByteArray(3000, '\x5A'));
    const QString emptyWav = writeFile(dir, "ding.wav", QByteArray("RIFF\x04\0\0\0WAVE", 12));
    for (const QString &path : {fake, junk, emptyWav, dir.filePath("gone.mp3")}) {
        SoundPlayer player;
        QSignalSpy failed(&player, &SoundPlayer::failed);
        player.setSource(path);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !failed.isEmpty(); }, kEventWaitMs)) << path.toStdString();
        QTest::qWait(50); // a back-end that says it twice is heard once
        EXPECT_EQ(failed.size(), 1) << path.toStdString();
        EXPECT_FALSE(player.error().isEmpty());
        EXPECT_FALSE(player.error().endsWith('.')) << "a reason is told inside a sentence: " << player.error().toStdString();
        EXPECT_FALSE(player.isLoaded());
        player.play();
        EXPECT_FALSE(player.isPlaying());
        if (path != emptyWav) { // a WAV is not tried before its run (see SoundPlayer::whyNotPlayable)
            EXPECT_FALSE(SoundPlayer::whyNotPlayable(path).isEmpty()) << path.toStdString();
        }
    }
}

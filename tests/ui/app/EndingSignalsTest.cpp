#include "core/store/TovQuizXmlDatabase.h"
#include "platform/InstanceLock.h"
#include "support/PollixTest.h"
#include "support/RunningPollix.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>

// A logout, a shutdown, a kill or Ctrl+C ends the real program through its event loop: nothing a
// run received is lost and the folder is free again.
using EndingSignalsTest = PollixTest;

TEST_F(EndingSignalsTest, WithNoRunEachEndingSignalEndsPollixCleanlyAndFreesTheFolder)
{
    for (int signalNumber : {SIGTERM, SIGHUP, SIGINT}) {
        QTemporaryDir folder;
        RunningPollix pollix(folder.path());
        ASSERT_TRUE(pollix.process.waitForStarted(10000));
        ASSERT_TRUE(QTest::qWaitFor([&] { return pollix.holds(folder.path()); }, 15000)) << pollix.output.toStdString();
        EXPECT_TRUE(pollix.endsCleanlyOn(signalNumber)) << signalNumber << ": " << pollix.output.toStdString();
        EXPECT_FALSE(QFile::exists(folder.path() + QLatin1Char('/') + InstanceLock::lockFileName())) << signalNumber;
        InstanceLock next(folder.path());
        EXPECT_EQ(next.take(), InstanceLock::Outcome::Taken) << signalNumber;
    }
}

// The demo plays a quiz in the program's own windows on a simulated receiver whose keypads answer
// by themselves, and prints each answer as it reaches the run. SIGTERM in the middle of the first
// question: the session is in the data folder, under the name the save would propose, with every
// one of those answers.
TEST_F(EndingSignalsTest, SigtermDuringARunSavesTheRunWithEveryAnswerReceived)
{
    const QString folder = home() + QStringLiteral("demo");
    RunningPollix demo(folder, QStringLiteral(POLLIX_BINARY_DIR "/tools/demo/pollix-demo"),
                       {QStringLiteral("run"), folder, QStringLiteral("--sim"),
                        QStringLiteral(POLLIX_BINARY_DIR "/tools/keypad-sim/pollix-keypad-sim"), QStringLiteral("--archive"),
                        QStringLiteral(POLLIX_BINARY_DIR "/src/Pollix")});
    ASSERT_TRUE(demo.process.waitForStarted(10000));
    const QRegularExpression answerLine(QStringLiteral("answer: question (\\d+), student (\\S+): (\\S+)"));
    ASSERT_TRUE(demo.waitFor([&](const QByteArray &out) { return QString::fromUtf8(out).count(answerLine) >= 5; }, 90000))
        << demo.output.toStdString();
    ASSERT_TRUE(demo.endsCleanlyOn(SIGTERM)) << demo.output.toStdString();
    EXPECT_TRUE(demo.output.contains("The run was saved as Pollix ended")) << demo.output.toStdString();
    EXPECT_FALSE(QFile::exists(folder + QLatin1Char('/') + InstanceLock::lockFileName()));

    // The demo folder holds its past sessions too ("Demo Quiz, week 1" and on); the run's is the
    // one under the name the save proposes.
    std::optional<QuizEntity> session;
    int runs = 0;
    for (const QFileInfo &file :
         QDir(folder + QStringLiteral("/Data/Quiz")).entryInfoList({QStringLiteral("*.xml")}, QDir::Files)) {
        std::optional<QuizEntity> read = TovQuizXmlDatabase().getQuizInfoAll(file.absoluteFilePath());
        if (read && read->name() == QStringLiteral("Demo Quiz")) {
            session = read;
            ++runs;
        }
    }
    ASSERT_EQ(runs, 1);
    const auto stored = [&](const QString &question, const QString &student) {
        for (const ResponseDataEntity &r : session->allStudentsAns())
            if (r.questionID() == question && r.studentID() == student)
                return r.response();
        return QStringLiteral("missing");
    };
    int answers = 0;
    for (auto it = answerLine.globalMatch(QString::fromUtf8(demo.output)); it.hasNext(); ++answers) {
        const QRegularExpressionMatch m = it.next();
        EXPECT_EQ(stored(m.captured(1), m.captured(2)), m.captured(3)) << m.captured(0).toStdString();
    }
    EXPECT_GE(answers, 5);
}

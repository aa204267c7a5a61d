// Send Questions clicked in a Paper Quiz over keypads that already hold a question set: none,
// the run's own, or another set under the run's exam ID (a question file made on another
// computer, or after the exam IDs came round again). The simulated keypads are given what they
// hold through the real serial code before the click; the window must leave every keypad with the
// run's set, or end by itself naming the keypads that did not take it.

#include "MainWindowRun.h"

#include "core/authoring/ExamPaperInfo.h"
#include "core/authoring/QuestionSetView.h"
#include "core/engine/QuestionText.h"
#include "core/keypad/DeviceController.h"
#include "core/keypad/TovDevice.h"
#include "support/SessionOwners.h"
#include "ui/keypad/SendQuestions.h"

#include "SimQuestionSet.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <cctype>

using namespace keypadsim;

namespace {

enum class Earlier { Nothing, TheSame, AnotherUnderItsID, AnotherLikeIt };

struct HeldCase
{
    const char *name;
    Earlier earlier;
    QList<int> takeNothing; // keypads that answer every poll that they have nothing
    QString status;         // the window's heading once the sending is over
};

void PrintTo(const HeldCase &c, std::ostream *os)
{
    *os << c.name;
}

const QString kDone = QStringLiteral("Done: every keypad has all 2 questions.");

const HeldCase kCases[] = {
    {"keypads holding nothing", Earlier::Nothing, {}, kDone},
    {"keypads holding the same set", Earlier::TheSame, {}, kDone},
    // As the demo quiz and a deck made later both under exam ID 1: four questions, another title,
    // and a first question of more frames than the run's.
    {"keypads holding another set under the same exam ID", Earlier::AnotherUnderItsID, {}, kDone},
    {"keypads holding another set under the same exam ID, title and count", Earlier::AnotherLikeIt, {}, kDone},
    {"a keypad that keeps the other set it holds", Earlier::AnotherUnderItsID, {2},
     QStringLiteral("Sending is over, but keypad 2 did not confirm every question.")},
};

// A question as the keypads show it, line by line, from the frame texts that carry it.
QStringList shownLines(const QStringList &texts)
{
    QStringList lines;
    for (const QString &text : texts) {
        const QStringList pair = text.split(QuestionText::kLineEnd);
        for (qsizetype i = 0; i < pair.size(); ++i) {
            QString line;
            for (QChar ch : pair[i])
                line += ch.unicode() > 0x20 && ch.unicode() < 0x7F ? ch : QLatin1Char(' ');
            while (line.endsWith(QLatin1Char(' ')))
                line.chop(1);
            if (i == 0 || !line.isEmpty())
                lines << line;
        }
    }
    return lines;
}

class SendQuestionsOverHeldSets : public MainWindowRun, public ::testing::WithParamInterface<HeldCase>
{
protected:
    void TearDown() override
    {
        if (run)
            delete run.data();
        keypads.reset();
        MainWindowRun::TearDown();
    }

    // Two short two-option questions under exam ID 42.
    QString questionFile()
    {
        ExamPaperInfo set;
        QList<QuestionSetViewPtr> pages;
        const QStringList titles{QStringLiteral("Is the deck title shown beside the list?"), QStringLiteral("Which one?")};
        for (const QString &title : titles) {
            auto page = QuestionSetView::createTemplate(2, QSizeF(800, 600));
            page->getQuestionTitle()->textview()->setString(title);
            page->setNQuestionType(0);
            page->setNOptionNum(2);
            page->setOptionA(QStringLiteral("True"));
            page->setOptionB(QStringLiteral("False"));
            page->setStrAnswer(QStringLiteral("A"));
            page->setNQuestionTimeLimit(600);
            pages << page;
        }
        set.setArrayQuestionsInfo(pages);
        set.setNExamPaperID(42);
        set.setStrExamPaperTitle(QStringLiteral("Quiz"));
        const QString path = home() + QStringLiteral("quiz.px");
        EXPECT_TRUE(set.writeToFile(path));
        return path;
    }

    // What the keypads were given before: the run's set as it goes out, changed as the case says.
    static QuestionSetSender::Set earlierSet(Earlier earlier)
    {
        QuestionSetSender::Set set = QuestionSetSender::setFromRun(3, {});
        const QStringList planets{QStringLiteral("Venus"), QStringLiteral("Mercury"), QStringLiteral("Mars"),
                                  QStringLiteral("Earth")};
        const QStringList first = QuestionSetSender::questionTexts(QStringLiteral("Which planet is closest to the Sun?"), 0, planets);
        if (earlier == Earlier::AnotherUnderItsID) {
            set.title = QStringLiteral("Demo Quiz");
            set.questions = {first, first, first, first};
        } else if (earlier == Earlier::AnotherLikeIt) {
            set.questions = {first, QuestionSetSender::questionTexts(QStringLiteral("Which is no planet?"), 0, planets)};
        }
        return set;
    }

    // Sends a set to every keypad once, as an earlier run did, and waits until it has gone out.
    bool giveKeypads(const QuestionSetSender::Set &set)
    {
        QuestionSetSender::Timing once = quickSending();
        once.bigRounds = 0; // nobody polled: the passes and the end of the set
        QuestionSetSender earlier(
            set,
            [](const QByteArray &frame) {
                const std::shared_ptr<TovDevice> device = DeviceController::ShareDeviceController()->currentDevice();
                return device && device->sendData(frame);
            },
            [](const QString &) {}, once);
        earlier.wakeReplied();
        return waitFor([&] { return !earlier.isRunning(); }, 30000);
    }

    std::unique_ptr<SimQuestionSet> keypads;
};

TEST_P(SendQuestionsOverHeldSets, EveryKeypadGetsTheRunsSetOrIsNamed)
{
    const HeldCase c = GetParam();
    SimReceiver *sim = plugIn(Model::Dravel);
    ASSERT_TRUE(sim);
    ASSERT_TRUE(waitFor([&] { return app()->getBHaveDevice(); }));
    sim->addKeypads(1, 3);
    ASSERT_TRUE(addTeacherSubjectAndKeypadClass(QStringLiteral("7B"), 3));
    keypads = std::make_unique<SimQuestionSet>(*sim, SimQuestionSet::Options{});
    const QString path = questionFile();

    // The main window: the class, the question file, Paper Quiz, Start.
    ASSERT_TRUE(startFromMainWindow(path, QStringLiteral("Paper Quiz")));
    for (int k = 1; k <= 3; ++k)
        sim->login(k, QStringLiteral("S%1").arg(k, 3, 10, QLatin1Char('0')));
    ASSERT_TRUE(waitFor([&] { return keypadsLoggedIn(sim, 1, 3); }));

    const QuestionSetSender::Set runs = QuestionSetSender::setFromRun(3, {});
    ASSERT_EQ(runs.testID, 42);
    if (c.earlier != Earlier::Nothing) {
        const QuestionSetSender::Set earlier = earlierSet(c.earlier);
        ASSERT_TRUE(giveKeypads(earlier));
        for (int k = 1; k <= 3; ++k)
            ASSERT_EQ(keypads->questions(k).size(), earlier.questions.size()) << "keypad " << k << " holds the earlier set";
    }
    // Keypads that keep what they hold answer every poll that they lack the whole set.
    const SimReceiver::CommandHandler keypadsOwn = sim->commandHandler(0xF8);
    sim->setCommandHandler(0xF8, [keypadsOwn, stubborn = c.takeNothing](SimReceiver &r, const QByteArray &f) {
        const int polled = f.size() > 6 && quint8(f[4]) == 0x03 ? quint8(f[5]) | (quint8(f[6]) << 8) : 0;
        for (int k : stubborn) {
            if (polled == r.keypad(k).address()) {
                r.keypadFrame(k, 0xF8, QByteArray::fromHex("E05A00"));
                return;
            }
        }
        keypadsOwn(r, f);
    });

    bool over = false;
    modals->on("SendQuestions", [&](QWidget *w) {
        auto *window = qobject_cast<SendQuestions *>(w);
        ASSERT_TRUE(window);
        over = waitFor([&] { return window->btnOK->text() == QStringLiteral("OK"); }, 60000);
        EXPECT_EQ(window->statusText->text().toStdString(), c.status.toStdString());
        EXPECT_LE(window->sender()->resendPasses(), 3) << "passes of what a keypad never takes";
        EXPECT_TRUE(waitFor([&] { return window->messages().contains(QStringLiteral("Send Questions Over")); }));
        EXPECT_EQ(window->messages().contains(QStringLiteral("Keypad 2 did not confirm every question.")),
                  !c.takeNothing.isEmpty());
        QTest::mouseClick(window->btnOK, Qt::LeftButton);
    });
    QTest::mouseClick(run->btnSendQuestions, Qt::LeftButton);
    ASSERT_TRUE(over) << "the sending did not end by itself";
    sim->setCommandHandler(0xF8, keypadsOwn);

    for (int k = 1; k <= 3; ++k) {
        if (c.takeNothing.contains(k))
            continue;
        SCOPED_TRACE(k);
        EXPECT_EQ(keypads->announcedCount(k), 2);
        const QMap<int, QStringList> held = keypads->questions(k);
        ASSERT_EQ(held.size(), 2);
        for (int q = 1; q <= 2; ++q)
            EXPECT_EQ(held.value(q).join(QLatin1Char('/')).toStdString(),
                      shownLines(runs.questions[q - 1]).join(QLatin1Char('/')).toStdString())
                << "question " << q;
    }
}

INSTANTIATE_TEST_SUITE_P(Sets, SendQuestionsOverHeldSets, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<HeldCase> &info) {
                             std::string name;
                             for (const char *p = info.param.name; *p; ++p)
                                 if (std::isalnum(static_cast<unsigned char>(*p)))
                                     name += *p;
                             return name;
                         });

} // namespace

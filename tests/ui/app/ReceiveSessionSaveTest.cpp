// Receive Session opened from the main window as the teacher opens it, a session sent from the
// simulated teacher keypad through the real serial code and saved with a click on Save: the save
// says where the session went, in the window and on the main window's status line, and the same
// session received again is saved again only when the teacher says so (a Return is no say-so).

#include "support/DialogAnswers.h"
#include "support/MainWindowForRuns.h"
#include "support/ModalDriver.h"
#include "support/RealAlerts.h"
#include "support/ReceiverTest.h"
#include "support/SessionOwners.h"
#include "ui/app/MainwndController.h"
#include "ui/app/PollixProgram.h"
#include "ui/app/TabController.h"
#include "ui/controls/ElidedLabel.h"
#include "ui/keypad/ReceiveReportController.h"

#include "SimTeacherSession.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QScopeGuard>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace keypadsim;

namespace {

class ReceiveSessionSave : public ReceiverTest
{
protected:
    void SetUp() override
    {
        ReceiverTest::SetUp();
        useMainWindowForRuns();
        PollixProgram::installServices();
        TabController::hooks().runLogin = [](QWidget *) { return true; };
        app()->setIsLogin(true);
    }
    void TearDown() override
    {
        main.reset();
        TabController::resetHooks();
        ReceiverTest::TearDown();
    }

    QStringList sessionFiles() const
    {
        return QDir(app()->strQuizXmlDataFilePath()).entryList({QStringLiteral("*.xml")}, QDir::Files, QDir::Name);
    }

    // What the keypad sends: the session recorded on it, received and ready to save.
    bool send(ReceiveReportController *window, const SimTeacherSession::Recorded &recorded)
    {
        QTest::mouseClick(window->btnStart, Qt::LeftButton);
        SimTeacherSession keypad(*sim, recorded, 150);
        keypad.start();
        return waitFor([&] { return keypad.done() && window->btnSave->isEnabled(); });
    }

    static SimTeacherSession::Recorded recordedQuiz()
    {
        SimTeacherSession::Recorded r;
        r.examID = 0x0102;
        r.examTitle = QStringLiteral("Unit 4");
        r.mode = 1;
        r.sessionID = 7;
        r.sessionName = QStringLiteral("Friday");
        r.className = QStringLiteral("7B");
        r.students = {{QStringLiteral("S001"), QStringLiteral("Kid1")}, {QStringLiteral("S002"), QStringLiteral("Kid2")}};
        r.present = {true, true};
        r.questions = {{0, 4, "B"}, {0, 4, "C"}};
        r.answers.insert({1, 1}, QStringLiteral("B"));
        r.answers.insert({2, 1}, QStringLiteral("A"));
        r.answers.insert({1, 2}, QStringLiteral("C"));
        return r;
    }

    SimReceiver *sim = nullptr;
    std::unique_ptr<MainwndController> main;
};

} // namespace

TEST_F(ReceiveSessionSave, EachSaveSaysWhereItWentAndTheSameSessionAgainIsSavedOnlyWhenTheTeacherSaysSo)
{
    ASSERT_TRUE(addTeacherAndSubject());
    sim = plugIn(Model::Dravel);
    ASSERT_TRUE(sim && waitFor([&] { return app()->getBHaveDevice(); }));
    main = std::make_unique<MainwndController>();
    main->initWindow();
    main->showWindow();
    TabController *tab = main->window();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(tab));
    tab->sessionSaved(QStringLiteral("/elsewhere/Earlier run.xml"));

    DialogAnswers answers;
    const auto alertTexts = [&] {
        QStringList texts;
        for (const AlertRequest &a : answers.alerts())
            texts << a.text;
        return texts;
    };
    const auto told = [&] { return alertTexts().join(QStringLiteral(" | ")).toStdString(); };
    const QString saved = QStringLiteral("Saved successfully.");
    const QString again = QStringLiteral("This session from the teacher keypad is saved already.");
    QString first, second, other;
    bool walked = false;
    ModalDriver modals;
    modals.on(QStringLiteral("ReceiveReport"), [&](QWidget *w) {
        walked = true;
        auto *window = qobject_cast<ReceiveReportController *>(w);
        ASSERT_TRUE(window);
        const auto cleanUp = qScopeGuard([&] { QTest::mouseClick(window->btnExit, Qt::LeftButton); });

        // Received and saved: the window says where it went.
        ASSERT_TRUE(send(window, recordedQuiz()));
        QTest::mouseClick(window->btnSave, Qt::LeftButton);
        first = window->savedPath();
        ASSERT_EQ(sessionFiles().size(), 1);
        ASSERT_EQ(alertTexts(), QStringList{saved}) << told();
        EXPECT_EQ(answers.alerts().last().informativeText,
                  "The session is saved as " + QDir::toNativeSeparators(first));

        // The same session sent again: Save asks; Escape, the close box and Cancel save nothing and
        // keep what was received.
        ASSERT_TRUE(send(window, recordedQuiz()));
        for (int way : {-1, 1}) {
            answers.answerAlert(way);
            const qsizetype before = answers.alerts().size();
            QTest::mouseClick(window->btnSave, Qt::LeftButton);
            ASSERT_EQ(alertTexts().mid(before), QStringList{again}) << "way out " << way << ": " << told();
            EXPECT_TRUE(answers.alerts().last().informativeText.contains(QDir::toNativeSeparators(first)));
            EXPECT_EQ(answers.alerts().last().buttons, (QStringList{QStringLiteral("Save Again"), QStringLiteral("Cancel")}));
            EXPECT_EQ(sessionFiles().size(), 1) << "way out " << way;
            EXPECT_TRUE(window->btnSave->isEnabled());
        }
        // The question up for real: Return on it saves nothing either (its default is Cancel),
        // and Escape leaves it as before.
        modals.on(QStringLiteral("PollixAlert"), [](QWidget *) {});
        for (RealAlerts::Way way : {RealAlerts::Way::Return, RealAlerts::Way::Escape}) {
            RealAlerts real;
            real.leave(way);
            QTest::mouseClick(window->btnSave, Qt::LeftButton);
            EXPECT_EQ(real.seen().size(), 1) << "way " << int(way);
            EXPECT_TRUE(real.allTaken() && real.stuck() == 0) << "way " << int(way);
            EXPECT_EQ(sessionFiles().size(), 1) << "way " << int(way);
            EXPECT_TRUE(window->btnSave->isEnabled());
        }
        // Save Again saves it once more, and says where.
        answers.answerAlert(0);
        QTest::mouseClick(window->btnSave, Qt::LeftButton);
        second = window->savedPath();
        EXPECT_NE(second, first);
        ASSERT_EQ(sessionFiles().size(), 2);
        EXPECT_EQ(alertTexts().mid(1), (QStringList{again, again, again, saved})) << told();

        // Another session of that class (one answer differs) is saved without a question.
        SimTeacherSession::Recorded changed = recordedQuiz();
        changed.answers.insert({2, 2}, QStringLiteral("C"));
        ASSERT_TRUE(send(window, changed));
        const qsizetype before = answers.alerts().size();
        QTest::mouseClick(window->btnSave, Qt::LeftButton);
        other = window->savedPath();
        EXPECT_EQ(sessionFiles().size(), 3);
        EXPECT_EQ(alertTexts().mid(before), QStringList{saved}) << told();
    });
    QTabBar *bar = tab->tabView->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(2).center());
    QTest::mouseClick(tab->btnSession, Qt::LeftButton);
    ASSERT_TRUE(walked);

    // The main window's status line names the last save, not the run saved before.
    EXPECT_EQ(tab->txtSessionSaved->fullText(), "Session saved to " + QDir::toNativeSeparators(other))
        << tab->txtSessionSaved->fullText().toStdString();
}

// The sessions' folder made a link while Receive Session holds a session from the teacher keypad:
// Save (a click) keeps what was received and says how to put the folder right and press Save
// again, never to quit Pollix, which loses what the window received; the folder put back, the
// next Save saves it.
TEST_F(ReceiveSessionSave, AFolderGoneThroughNoMoreIsAdvisedAwayKeepingWhatWasReceivedAndTheNextSaveSaves)
{
    ASSERT_TRUE(addTeacherAndSubject());
    sim = plugIn(Model::Dravel);
    ASSERT_TRUE(sim && waitFor([&] { return app()->getBHaveDevice(); }));
    ReceiveReportController window;
    window.show();
    app()->setObjectToReceiveCommData(&window);
    const auto unlisten = qScopeGuard([&] { app()->setObjectToReceiveCommData(nullptr); });
    ASSERT_TRUE(send(&window, recordedQuiz()));
    QTemporaryDir disk;
    const QString quiz = QDir::cleanPath(app()->strQuizXmlDataFilePath()), moved = disk.path() + "/Quiz";
    ASSERT_TRUE(QDir().mkpath(quiz) && QDir().rename(quiz, moved) && QFile::link(moved, quiz));

    DialogAnswers answers;
    QTest::mouseClick(window.btnSave, Qt::LeftButton);
    ASSERT_EQ(answers.alerts().size(), 1);
    EXPECT_EQ(answers.alerts()[0].text, "The session could not be saved.");
    const QString why = answers.alerts()[0].informativeText;
    EXPECT_EQ(why, quiz + " became a link to another folder while Pollix was running, and Pollix goes through no link that "
                          "was not there when it started. Put the folder back in the link's place and press Save again. "
                          "Quitting Pollix now loses what this window received from the teacher keypad, which only this "
                          "window holds until a save.");
    EXPECT_TRUE(window.btnSave->isEnabled());
    EXPECT_TRUE(QDir(moved).isEmpty());

    ASSERT_TRUE(QFile::remove(quiz) && QDir().rename(moved, quiz));
    QTest::mouseClick(window.btnSave, Qt::LeftButton);
    EXPECT_EQ(sessionFiles().size(), 1);
    EXPECT_EQ(answers.alerts().last().text, "Saved successfully.");
    EXPECT_FALSE(window.btnSave->isEnabled());
}

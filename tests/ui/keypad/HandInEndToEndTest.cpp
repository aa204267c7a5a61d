// Homework and paper quiz as a teacher runs them, through the program's own windows on a
// simulated receiver whose keypads play along by themselves (the simulator's automatic mode): the
// activity started from the main window, the question set sent from the activity window, the
// keypads working offline and handing their answers in, and the session saved through the save
// dialog. With POLLIX_SHOT_DIR set, the windows are saved there as pictures on the way.

#include "MainWindowRun.h"

#include "core/engine/AnswerUploadMode.h"
#include "core/store/TovQuizXmlDatabase.h"
#include "support/SessionOwners.h"
#include "support/Shots.h"
#include "ui/controls/ElidedLabel.h"
#include "ui/run/StudentLoginView.h"

#include "SimAutoPilot.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>

using namespace keypadsim;

namespace {

struct HandIn
{
    const char *name;
    Model model;
    const char *activity;
    int keypads;
    int questions;
    int lossPercent;
};

void PrintTo(const HandIn &c, std::ostream *os)
{
    *os << c.name;
}

class HandInEndToEnd : public MainWindowRun, public ::testing::WithParamInterface<HandIn>
{
protected:
    void SetUp() override
    {
        MainWindowRun::SetUp();
        TovQuizXmlDatabase::setUuidGeneratorForTesting([] { return QStringLiteral("a1b2c3d4-e5f6-a7b8-c9d0-e1f2a3b4c5d6"); });
    }
    void TearDown() override
    {
        if (run)
            delete run.data();
        pilot.reset();
        TovQuizXmlDatabase::setUuidGeneratorForTesting({});
        MainWindowRun::TearDown();
    }

    std::unique_ptr<SimAutoPilot> pilot;
};

TEST_P(HandInEndToEnd, TheKeypadsHandInEveryAnswerAndTheSavedSessionHoldsThem)
{
    const HandIn c = GetParam();
    SimReceiver *sim = plugIn(c.model);
    ASSERT_TRUE(sim);
    ASSERT_TRUE(waitFor([&] { return app()->getBHaveDevice(); }));
    sim->addKeypads(1, c.keypads);
    ASSERT_TRUE(addTeacherSubjectAndKeypadClass(QStringLiteral("7B"), c.keypads));
    const QString path = home() + QStringLiteral("Animals.px");
    const QStringList right = questionFile(c.questions, path);

    SimAutoPilot::Options o;
    o.keypads = c.keypads;
    o.answers = right;
    o.silentPercent = 0;
    o.minDelayMs = 50;
    o.maxDelayMs = 800;
    o.handInRetryMs = 1500;
    o.lossPercent = c.lossPercent;
    o.seed = 11;
    pilot = std::make_unique<SimAutoPilot>(*sim, o);
    pilot->start();

    // The main window: the class, the question file, the activity, Start.
    ASSERT_TRUE(startFromMainWindow(path, QLatin1String(c.activity)));
    auto *upload = dynamic_cast<AnswerUploadMode *>(run->modeObject());
    ASSERT_TRUE(upload);
    // The line's pauses between keypads, shortened: thirty keypads take long enough.
    AnswerUploadMode::Timing t;
    t.signalWaitMs = 150;
    t.frameWaitMs = 200;
    t.pauseMs = 30;
    upload->setUploadTiming(t);
    ASSERT_TRUE(waitFor([&] { return run->studentLoginView()->count() == c.keypads; }, 20000));

    // Dravel keypads take the set from the activity window; Corvel keypads have it already.
    auto *send = run->findChild<QPushButton *>(QStringLiteral("btnSendQuestions"));
    ASSERT_TRUE(send);
    if (c.model == Model::Dravel) {
        ASSERT_TRUE(send->isVisible() && send->isEnabled());
        modals->on("SendQuestions", [&](QWidget *w) {
            auto *window = qobject_cast<SendQuestions *>(w);
            ASSERT_TRUE(window);
            // While the set goes out the button stops it; once every keypad has it, it reads OK.
            EXPECT_EQ(window->btnOK->text(), QStringLiteral("Stop"));
            EXPECT_TRUE(waitFor([&] { return window->btnOK->text() == QStringLiteral("OK"); }, 60000));
            EXPECT_EQ(window->statusText->text(), QStringLiteral("Done: every keypad has all %1 questions.").arg(c.questions));
            EXPECT_TRUE(waitFor([&] { return window->messages().contains(QStringLiteral("Send Questions Over")); }));
            saveShot(window, QStringLiteral("%1-SendQuestions").arg(c.name));
            window->btnOK->click();
        });
        saveShot(run, QStringLiteral("%1-Run-before").arg(c.name));
        send->click();
        ASSERT_EQ(modals->opened().count(QStringLiteral("SendQuestions")), 1);
        for (int id = 1; id <= c.keypads; ++id)
            EXPECT_TRUE(pilot->questionSet()->hasWholeSet(id)) << "keypad " << id;
    } else {
        EXPECT_FALSE(send->isVisible());
    }

    // Start: the keypads work offline and hand in; the grid counts them.
    run->findChild<QPushButton *>(QStringLiteral("btnStart"))->click();
    const auto allIn = [&] {
        for (int id = 1; id <= c.keypads; ++id)
            if (!sim->keypad(id).uploadComplete)
                return false;
        return upload->studentsWaitForSendAnswer().isEmpty();
    };
    ASSERT_TRUE(waitFor(allIn, 120000));
    EXPECT_EQ(upload->nAnsweredNum(), c.keypads);
    saveShot(run, QStringLiteral("%1-Run-handedIn").arg(c.name));
    run->findChild<QPushButton *>(QStringLiteral("btnStop"))->click();

    // Exit through the save dialog.
    modals->on("SaveToData", [&](QWidget *w) {
        saveShot(w, QStringLiteral("%1-SaveToData").arg(c.name));
        w->findChild<QPushButton *>(QStringLiteral("buttonOK"))->click();
    });
    run->findChild<QPushButton *>(QStringLiteral("btnExit"))->click();
    ASSERT_TRUE(waitFor([&] { return run.isNull(); }));
    ASSERT_EQ(answers->alerts().size(), 1);
    EXPECT_EQ(answers->alerts().first().informativeText, QStringLiteral("Are you sure to exit this Activity?"));

    const QStringList files = QDir(app()->strQuizXmlDataFilePath()).entryList({QStringLiteral("*.xml")}, QDir::Files);
    ASSERT_EQ(files.size(), 1);
    // The main window's status line says where the session went, without asking anything.
    EXPECT_EQ(tab->txtSessionSaved->fullText(),
              "Session saved to " + QDir::toNativeSeparators(QDir(app()->strQuizXmlDataFilePath()).filePath(files.first())));
    const auto session = TovQuizXmlDatabase().getQuizInfoAll(QDir(app()->strQuizXmlDataFilePath()).filePath(files.first()));
    ASSERT_TRUE(session);
    QMap<QPair<QString, int>, QString> saved;
    for (const ResponseDataEntity &r : session->allStudentsAns())
        saved.insert({r.studentID(), r.questionID().toInt()}, r.response());
    int checked = 0;
    for (int id = 1; id <= c.keypads; ++id) {
        const QString student = QStringLiteral("S%1").arg(id, 3, 10, QLatin1Char('0'));
        const QMap<int, QString> handedIn = sim->keypad(id).uploadAnswers;
        ASSERT_EQ(handedIn.size(), c.questions) << student.toStdString();
        for (auto it = handedIn.cbegin(); it != handedIn.cend(); ++it, ++checked)
            EXPECT_EQ(saved.value({student, it.key()}), it.value()) << student.toStdString() << " question " << it.key();
    }
    EXPECT_EQ(checked, c.keypads * c.questions);
}

INSTANTIATE_TEST_SUITE_P(
    Transfers, HandInEndToEnd,
    ::testing::Values(HandIn{"DravelHomework", Model::Dravel, "Homework", 8, 6, 0},
                      HandIn{"CorvelHomework", Model::Corvel, "Homework", 8, 6, 0},
                      HandIn{"DravelPaperQuizLossy", Model::Dravel, "Paper Quiz", 30, 20, 10}),
    [](const ::testing::TestParamInfo<HandIn> &info) { return std::string(info.param.name); });

} // namespace

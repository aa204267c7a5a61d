// A morning as a teacher at the back of the room has it: two quizzes in a row through the main
// window, steered by the teacher keypad alone on a simulated Dravel receiver whose keypads play
// along. Before the lesson the class is chosen and the first question file loaded at the
// computer; from then on no key is pressed and nothing is clicked there: the keypad asks for the
// quiz, starts, stops and steps the questions, leaves, confirms and saves, and asks for the next
// quiz (whose question file is picked in the open panel its request opens).

#include "core/authoring/ExamPaperInfo.h"
#include "core/authoring/QuestionSetView.h"
#include "core/engine/QuizData.h"
#include "core/engine/QuizParticipantData.h"
#include "core/store/TovQuizXmlDatabase.h"
#include "platform/InstanceLock.h"
#include "support/DialogAnswers.h"
#include "support/MainWindowForRuns.h"
#include "support/ModalDriver.h"
#include "support/ReceiverTest.h"
#include "support/SessionOwners.h"
#include "ui/app/PollixProgram.h"
#include "ui/app/TabController.h"
#include "ui/controls/DialogHooks.h"
#include "ui/controls/ElidedLabel.h"
#include "ui/controls/PollixAlert.h"
#include "ui/run/QuizStateWindowController.h"
#include "ui/run/SaveToDataController.h"

#include "SimAutoPilot.h"

#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <functional>

using namespace keypadsim;

namespace {

constexpr int kKeypads = 6;
const QStringList kRight{QStringLiteral("B"), QStringLiteral("C")};

// Whether the program sent a frame starting with head since the first `from` frames. (The
// simulator's log is never cleared here: the keypads playing along read it.)
bool sentSince(const SimReceiver *sim, qsizetype from, const QByteArray &head)
{
    const QList<SimFrame> frames = sim->framesFromProgram();
    for (qsizetype i = from; i < frames.size(); ++i)
        if (frames[i].bytes.startsWith(head))
            return true;
    return false;
}

class KeypadMorningTest : public ReceiverTest
{
protected:
    void SetUp() override
    {
        ReceiverTest::SetUp();
        useMainWindowForRuns();
    }
    void TearDown() override
    {
        pilot.reset();
        DialogHooks::setFileResponder({});
        QuizStateWindowController::hooks() = {};
        TabController::resetHooks();
        ReceiverTest::TearDown();
    }

    // A Dravel receiver plugged in, and class 7B of its keypads, which log in and answer by
    // themselves; null (and a failure) when that could not be set up.
    SimReceiver *classWithKeypads()
    {
        SimReceiver *sim = plugIn(Model::Dravel);
        EXPECT_TRUE(sim);
        if (!sim)
            return nullptr;
        EXPECT_TRUE(waitFor([&] { return app()->getBHaveDevice(); }));
        sim->addKeypads(1, kKeypads);
        if (!addTeacherSubjectAndKeypadClass(QStringLiteral("7B"), kKeypads)) {
            ADD_FAILURE() << "class 7B of the keypads";
            return nullptr;
        }
        pilot = std::make_unique<SimAutoPilot>(*sim, SimAutoPilot::Options::brisk(kKeypads, kRight));
        pilot->start();
        return sim;
    }

    // The class set up and a question file loaded in the main window, as at the computer.
    static bool classAndFileSet(TabController &tab, const QString &file)
    {
        ModalDriver prepare;
        DialogAnswers answers;
        prepare.on("ClassSet", [&](QWidget *w) { w->findChild<QPushButton *>("buttonOk")->click(); });
        tab.btnClassSet->click();
        answers.answerFile(file);
        tab.btnLoad->click();
        return tab.bIsClassSetted() && tab.bIsLoaded();
    }

    // Pollix holds the folder and ends on an ending signal as the program does; *ended says when
    // it would end.
    std::unique_ptr<InstanceLock> endOnSignals(bool *ended) const
    {
        // As a start from any parent would find it, whatever this suite was started under.
        std::signal(SIGTERM, SIG_DFL);
        auto lock = std::make_unique<InstanceLock>(home());
        EXPECT_EQ(lock->take(), InstanceLock::Outcome::Taken);
        PollixProgram::endOnSignals(*lock, [ended] { *ended = true; });
        return lock;
    }

    // The class set up and Attendance chosen in the main window, as at the computer.
    static bool classSetForRollCall(TabController &tab)
    {
        ModalDriver prepare;
        prepare.on("ClassSet", [&](QWidget *w) { w->findChild<QPushButton *>("buttonOk")->click(); });
        tab.btnClassSet->click();
        const int attendance = tab.cboActivityMode->findText(QStringLiteral("Attendance"));
        if (attendance < 0)
            return false;
        tab.cboActivityMode->setCurrentIndex(attendance);
        emit tab.cboActivityMode->activated(attendance);
        return tab.bIsClassSetted() && tab.btnStart->isEnabled();
    }

    // The name a roll call's save proposes: the activity and the minute the run started.
    static QString rollCallName(const QuizEntity &session)
    {
        const QDateTime started = QDateTime::fromString(session.startTime(), Qt::ISODate);
        return QStringLiteral("Attendance ") + started.toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    }

    QString questionFile(const QString &name)
    {
        ExamPaperInfo set;
        QList<QuestionSetViewPtr> pages;
        for (const QString &right : kRight) {
            auto page = QuestionSetView::createTemplate(4, QSizeF(800, 600));
            page->getQuestionTitle()->textview()->setString(name + QStringLiteral(": which one?"));
            page->setNQuestionType(0);
            page->setStrAnswer(right);
            page->setNOptionNum(4);
            page->setNQuestionTimeLimit(60);
            page->setNQuestionPoint(10);
            pages << page;
        }
        set.setArrayQuestionsInfo(pages);
        set.setNExamPaperID(77);
        set.setStrExamPaperTitle(name);
        const QString path = home() + name + QStringLiteral(".px");
        EXPECT_TRUE(set.writeToFile(path));
        return path;
    }

    // The main window as the teacher meets it, logged in.
    void showMainWindow(TabController &tab) const
    {
        app()->setIsLogin(true);
        tab.awakeFromNib();
        tab.show();
    }

    // A window that waits for an answer the test did not expect is noted and closed, so that the
    // test goes on to say so.
    static void closeAnyOther(ModalDriver &modals, QStringList &unexpected)
    {
        modals.otherwise([&unexpected](QWidget *w) {
            unexpected << w->objectName();
            if (auto *dialog = qobject_cast<QDialog *>(w))
                dialog->reject();
        });
    }

    // The teacher keypad's F1 answers the exit question and the save dialog (whose proposed name
    // is noted); any other window that waits for an answer is noted and left.
    static void leaveAndSaveFromTheKeypad(ModalDriver &modals, SimReceiver *sim, QStringList &proposed,
                                          QStringList &unexpected)
    {
        modals.on("PollixAlert", [sim, &unexpected](QWidget *w) {
            auto *alert = qobject_cast<PollixAlert *>(w);
            if (alert->informativeText().contains(QStringLiteral("Are you sure to exit this Activity?"))) {
                sim->pressTeacherKey(0x81);
            } else {
                unexpected << alert->text() + QLatin1Char('|') + alert->informativeText();
                alert->reject();
                // A save dialog the keypad cannot get past (F1 refused, say) would hold the test
                // in its modal loop: it is left, so that the test goes on to say so.
                QTimer::singleShot(0, [] {
                    for (QWidget *top : QApplication::topLevelWidgets())
                        if (auto *save = qobject_cast<SaveToDataController *>(top); save && save->isVisible())
                            save->done(QDialog::Rejected);
                });
            }
        });
        modals.on("SaveToData", [sim, &proposed](QWidget *w) {
            proposed << w->findChild<QLineEdit *>(QStringLiteral("txtSaveSession"))->text();
            sim->pressTeacherKey(0x81);
        });
        closeAnyOther(modals, unexpected);
    }

    // Roll calls steered by the keypad alone: the main window (made once the receiver is in)
    // with the class set for a roll call, and what the keypad answers (leaveAndSaveFromTheKeypad).
    struct RollCallMorning
    {
        QStringList proposed, unexpected;
        TabController tab;
        std::unique_ptr<ModalDriver> modals; // once the class is set, which answers a driver of its own
    };
    std::unique_ptr<RollCallMorning> rollCallMorning(SimReceiver *sim) const
    {
        auto morning = std::make_unique<RollCallMorning>();
        showMainWindow(morning->tab);
        if (!classSetForRollCall(morning->tab))
            return nullptr;
        morning->modals = std::make_unique<ModalDriver>();
        leaveAndSaveFromTheKeypad(*morning->modals, sim, morning->proposed, morning->unexpected);
        return morning;
    }

    // The morning's two quizzes.
    std::pair<QString, QString> twoQuestionFiles()
    {
        return {questionFile(QStringLiteral("Planets")), questionFile(QStringLiteral("Numbers"))};
    }

    static QuizStateWindowController *runWindow()
    {
        for (QWidget *top : QApplication::topLevelWidgets())
            if (auto *w = qobject_cast<QuizStateWindowController *>(top); w && w->isVisible())
                return w;
        return nullptr;
    }

    // A run window up, with every keypad logged in to it: the run counted their logins and the
    // keypads took its replies. The keypads' own word alone is not enough: keypads left in by the
    // last run say so before this one has counted any.
    static bool runWithClassIn(const SimReceiver *sim)
    {
        return runWindow() && QuizParticipantData::shareManager()->getSumOfLoginStudents() == kKeypads
               && keypadsLoggedIn(sim, 1, kKeypads);
    }

    static bool everyoneAnswered()
    {
        const QList<int> asked = QuizData::shareManager()->arrayAlreadyTestQuestionNo();
        // The receiver may have told the keypads of their login before the run counted them all.
        const QList<int> in = QuizParticipantData::shareManager()->loginDeviceNos();
        if (asked.isEmpty() || in.size() < kKeypads)
            return false;
        for (int d : in)
            if (QuizData::shareManager()->getStudentAnswer(asked.last(), d).isEmpty())
                return false;
        return true;
    }

    // One whole quiz from the teacher keypad once its window is up: the keypads log in, each
    // question is started, answered by all and stopped, then the run is left and saved. Returns
    // the new session file. beforeExit runs once the last question stopped.
    QString playQuiz(SimReceiver *sim, int questionCount = int(kRight.size()),
                     const std::function<void()> &beforeExit = {})
    {
        const QStringList before = sessionFiles();
        EXPECT_TRUE(waitFor([&] { return runWithClassIn(sim); })) << "keypads logged in";
        QPointer<QuizStateWindowController> run = runWindow();
        if (!run)
            return {};
        for (int q = 1; q <= questionCount; ++q) {
            sim->pressTeacherKey(0x8A); // Start
            EXPECT_TRUE(waitFor([&] { return run->bStartFlag() && everyoneAnswered(); })) << "question " << q;
            sim->pressTeacherKey(0x8B); // Stop
            EXPECT_TRUE(waitFor([&] { return !run->bStartFlag(); }));
            if (q < questionCount) {
                sim->pressTeacherKey(0x86); // Next
                EXPECT_TRUE(waitFor([&] { return run->nCurrentQuestionNo() == q + 1; }));
            }
        }
        if (beforeExit)
            beforeExit();
        sim->pressTeacherKey(0x85); // Exit: the question and the save dialog take F1 (the driver)
        EXPECT_TRUE(waitFor([&] { return run.isNull() && !QApplication::activeModalWidget(); }));
        QStringList added = sessionFiles();
        for (const QString &f : before)
            added.removeAll(f);
        EXPECT_EQ(added.size(), 1);
        return added.isEmpty() ? QString() : QDir(app()->strQuizXmlDataFilePath()).filePath(added.first());
    }

    QStringList sessionFiles() const
    {
        return QDir(app()->strQuizXmlDataFilePath()).entryList({QStringLiteral("*.xml")}, QDir::Files);
    }

    std::unique_ptr<SimAutoPilot> pilot;
};

} // namespace

TEST_F(KeypadMorningTest, TwoQuizzesInARowFromTheTeacherKeypadAloneEachSavedAndAnsweredAtOnce)
{
    SimReceiver *sim = classWithKeypads();
    ASSERT_TRUE(sim);
    const auto [planets, numbers] = twoQuestionFiles();

    TabController tab;
    showMainWindow(tab);
    // Before the lesson, at the computer: the class and the first question file.
    ASSERT_TRUE(classAndFileSet(tab, planets));

    // From now on the keypad alone. The exit question takes the keypad's F1, as does the save
    // dialog; any other window that waits for an answer is a fault (and is closed, so that the
    // test goes on to say so).
    QStringList questions, unexpected;
    ModalDriver modals;
    modals.on("PollixAlert", [&](QWidget *w) {
        auto *alert = qobject_cast<PollixAlert *>(w);
        const QString said = alert->text() + QLatin1Char('|') + alert->informativeText();
        if (said.contains(QStringLiteral("Are you sure to exit this Activity?"))) {
            questions << said;
            sim->pressTeacherKey(0x81);
        } else {
            unexpected << said;
            alert->reject();
        }
    });
    modals.on("SaveToData", [&](QWidget *) { sim->pressTeacherKey(0x81); });
    closeAnyOther(modals, unexpected);
    int panels = 0;
    DialogHooks::setFileResponder([&](const FileDialogRequest &r) {
        ++panels;
        return r.save ? QString() : numbers;
    });

    // First quiz: the keypad asks for the quiz, which starts at once.
    qsizetype mark = sim->framesFromProgram().size();
    sim->teacherLogin();
    ASSERT_TRUE(waitFor([&] { return runWindow() != nullptr; }));
    EXPECT_TRUE(waitFor([&] { return sentSince(sim, mark, QByteArray::fromHex("F900EF")); }, 5000))
        << "the quiz information reached the teacher keypad";
    const QString first = playQuiz(sim);
    ASSERT_FALSE(first.isEmpty());
    EXPECT_TRUE(unexpected.isEmpty()) << unexpected.join(" / ").toStdString();
    EXPECT_EQ(questions.size(), 1);

    // Back at the main window, which listens again and says where the session went.
    EXPECT_EQ(app()->objectToReceiveCommData(), &tab);
    EXPECT_TRUE(tab.isVisible());
    EXPECT_EQ(tab.txtSessionSaved->fullText(), "Session saved to " + QDir::toNativeSeparators(first));

    // Every request is answered at once: a student's class information, then the teacher's
    // request for the next quiz, which says no file is loaded and opens the open panel.
    mark = sim->framesFromProgram().size();
    QElapsedTimer answered;
    answered.start();
    sim->keypadFrame(3, 0xF9, QByteArray(1, '\0'));
    ASSERT_TRUE(waitFor([&] { return sentSince(sim, mark, QByteArray::fromHex("F90300")); }, 5000)) << "class information for keypad 3";
    sim->teacherLogin();
    ASSERT_TRUE(waitFor([&] { return tab.bIsLoaded(); }, 5000));
    EXPECT_TRUE(waitFor([&] { return sentSince(sim, mark, QByteArray::fromHex("F300EF0B")); }, 5000))
        << "\"no file loaded\" to the teacher keypad";
    EXPECT_LT(answered.elapsed(), 5000);
    EXPECT_EQ(panels, 1);

    // Second quiz: the same key starts it; the keypads, logged out by the first, log in again.
    mark = sim->framesFromProgram().size();
    sim->teacherLogin();
    ASSERT_TRUE(waitFor([&] { return runWindow() != nullptr; }, 5000));
    EXPECT_TRUE(waitFor([&] { return sentSince(sim, mark, QByteArray::fromHex("F900EF")); }, 5000));
    EXPECT_TRUE(tab.txtSessionSaved->fullText().isEmpty()) << "the line is the last run's until the next starts";
    const QString second = playQuiz(sim);
    ASSERT_FALSE(second.isEmpty());
    EXPECT_TRUE(unexpected.isEmpty()) << unexpected.join(" / ").toStdString();
    EXPECT_EQ(questions.size(), 2);
    EXPECT_EQ(tab.txtSessionSaved->fullText(), "Session saved to " + QDir::toNativeSeparators(second));
    EXPECT_EQ(app()->objectToReceiveCommData(), &tab);

    // The second run's answers are in its session: every keypad, every question, right.
    const auto session = TovQuizXmlDatabase().getQuizInfoAll(second);
    ASSERT_TRUE(session);
    EXPECT_EQ(session->name(), "Numbers");
    ASSERT_EQ(session->allQuestions().size(), kRight.size());
    int right = 0;
    for (const ResponseDataEntity &r : session->allStudentsAns())
        right += r.response() == kRight.value(r.questionID().toInt() - 1) && r.studentPoint() == "10";
    EXPECT_EQ(right, kKeypads * kRight.size());
}

// The first quiz of the morning ends by the activity window's close box (answered at the
// computer), as Exit would end it: the class is logged out, so that in the next quiz the keypads
// log in again and every answer counts.
TEST_F(KeypadMorningTest, ARunEndedByItsCloseBoxLogsTheClassOutAndTheNextRunCountsEveryKeypad)
{
    SimReceiver *sim = classWithKeypads();
    ASSERT_TRUE(sim);
    const auto [planets, numbers] = twoQuestionFiles();

    TabController tab;
    showMainWindow(tab);
    QStringList files{planets, numbers};
    DialogHooks::setFileResponder([&](const FileDialogRequest &) { return files.isEmpty() ? QString() : files.takeFirst(); });
    QStringList asked, unexpected;
    ModalDriver modals;
    modals.on("ClassSet", [&](QWidget *w) { w->findChild<QPushButton *>("buttonOk")->click(); });
    modals.on("PollixAlert", [&](QWidget *w) {
        auto *alert = qobject_cast<PollixAlert *>(w);
        asked << alert->informativeText();
        if (alert->informativeText() == QStringLiteral("Are you sure to exit this Activity?"))
            alert->findChild<QPushButton *>(QStringLiteral("alertButton0"))->click();
        else
            alert->reject();
    });
    modals.on("SaveToData", [&](QWidget *) { sim->pressTeacherKey(0x81); });
    closeAnyOther(modals, unexpected);
    tab.btnClassSet->click();
    ASSERT_TRUE(tab.bIsClassSetted());

    // One question, then the close box.
    const auto askOneQuestion = [&](QuizStateWindowController *run) {
        run->findChild<QPushButton *>("btnStart")->click();
        EXPECT_TRUE(waitFor([&] { return run->bStartFlag() && everyoneAnswered(); }));
        run->findChild<QPushButton *>("btnStop")->click();
        EXPECT_TRUE(waitFor([&] { return !run->bStartFlag(); }));
    };
    tab.btnLoad->click();
    tab.btnStart->click();
    ASSERT_TRUE(waitFor([&] { return runWithClassIn(sim); }));
    QPointer<QuizStateWindowController> first = runWindow();
    ASSERT_EQ(QuizParticipantData::shareManager()->getSumOfLoginStudents(), kKeypads);
    askOneQuestion(first);
    const qsizetype mark = sim->framesFromProgram().size();
    EXPECT_FALSE(first->close());
    ASSERT_TRUE(waitFor([&] { return first.isNull() && !QApplication::activeModalWidget(); }));
    EXPECT_EQ(asked, QStringList{"Are you sure to exit this Activity?"});
    EXPECT_TRUE(sentSince(sim, mark, QByteArray::fromHex("F400C001"))) << "the logout wake frame";
    EXPECT_TRUE(waitFor([&] {
        for (int id = 1; id <= kKeypads; ++id)
            if (sim->keypad(id).loggedIn)
                return false;
        return true;
    })) << "the class logged out";
    EXPECT_TRUE(tab.isVisible());

    // The next quiz: every keypad logs in again and every answer is counted.
    tab.btnLoad->click();
    tab.btnStart->click();
    ASSERT_TRUE(waitFor([&] { return runWithClassIn(sim); }));
    QPointer<QuizStateWindowController> second = runWindow();
    ASSERT_TRUE(waitFor([&] { return QuizParticipantData::shareManager()->getSumOfLoginStudents() == kKeypads; }));
    askOneQuestion(second);
    EXPECT_EQ(second->findChild<QLabel *>("txtLoginAndAnswered")->text(),
              QStringLiteral("%1 / %1").arg(kKeypads));
    EXPECT_EQ(QuizParticipantData::shareManager()->loginDeviceNos().size(), kKeypads);
    EXPECT_TRUE(unexpected.isEmpty()) << unexpected.join(" / ").toStdString();

    // This one ends by Escape, which asks the same.
    asked.clear();
    QTest::keyClick(second, Qt::Key_Escape);
    ASSERT_TRUE(waitFor([&] { return second.isNull() && !QApplication::activeModalWidget(); }));
    EXPECT_EQ(asked, QStringList{"Are you sure to exit this Activity?"});
}

// The session ends in the middle of a quiz (a logout, a shutdown): the run is saved, and the
// class is logged out as Exit would log it out, before Pollix lets go of the receiver and the
// folder.
TEST_F(KeypadMorningTest, AnEndingSignalDuringAQuizSavesItAndLogsTheClassOutBeforeTheReceiverIsLetGo)
{
    bool ended = false;
    const std::unique_ptr<InstanceLock> lock = endOnSignals(&ended);
    SimReceiver *sim = classWithKeypads();
    ASSERT_TRUE(sim);
    const QString planets = questionFile(QStringLiteral("Planets"));

    TabController tab;
    showMainWindow(tab);
    ASSERT_TRUE(classAndFileSet(tab, planets));
    tab.btnStart->click();
    ASSERT_TRUE(waitFor([&] { return runWithClassIn(sim); }));
    QPointer<QuizStateWindowController> run = runWindow();
    sim->pressTeacherKey(0x8A); // Start
    ASSERT_TRUE(waitFor([&] { return run->bStartFlag() && everyoneAnswered(); }));

    const qsizetype mark = sim->framesFromProgram().size();
    ASSERT_EQ(::raise(SIGTERM), 0);
    ASSERT_TRUE(waitFor([&] { return ended; }, 5000));
    EXPECT_FALSE(lock->isHeld()) << "Pollix let go of the folder";
    EXPECT_EQ(sessionFiles().size(), 1) << "the run was saved";
    EXPECT_TRUE(sentSince(sim, mark, QByteArray::fromHex("F400C001"))) << "the logout wake frame";
    EXPECT_TRUE(sentSince(sim, mark, QByteArray::fromHex("F60000"))) << "the class logged out";
    for (int id = 1; id <= kKeypads; ++id)
        EXPECT_FALSE(sim->keypad(id).loggedIn) << id;
    EXPECT_FALSE(app()->getBHaveDevice()) << "the receiver let go of";
    // The program would end here; the test closes what it leaves.
    delete run.data();
}

// A roll call has no question file to name its session after: its save proposes the activity and
// the minute the run started, so that the teacher keypad's F1 saves it as it saves a quiz; the
// next roll call, steered by the same keypad, is proposed a name of its own.
TEST_F(KeypadMorningTest, TwoRollCallsInARowFromTheTeacherKeypadAloneEachSavedUnderTheProposedName)
{
    SimReceiver *sim = classWithKeypads();
    ASSERT_TRUE(sim);
    const auto morning = rollCallMorning(sim);
    ASSERT_TRUE(morning);
    QStringList &proposed = morning->proposed, &unexpected = morning->unexpected;

    QList<QuizEntity> sessions;
    for (int run = 1; run <= 2; ++run) {
        sim->pressTeacherKey(0x8A); // Start, at the main window: the roll call opens
        ASSERT_TRUE(waitFor([&] { return runWindow() != nullptr; }, 5000)) << "roll call " << run;
        const QString saved = playQuiz(sim, 1);
        ASSERT_FALSE(saved.isEmpty()) << "roll call " << run;
        EXPECT_TRUE(unexpected.isEmpty()) << unexpected.join(" / ").toStdString();
        EXPECT_EQ(morning->tab.txtSessionSaved->fullText(), "Session saved to " + QDir::toNativeSeparators(saved));
        EXPECT_EQ(app()->objectToReceiveCommData(), &morning->tab);
        const auto session = TovQuizXmlDatabase().getQuizInfoAll(saved);
        ASSERT_TRUE(session);
        EXPECT_EQ(session->actionType(), "13");
        ASSERT_EQ(session->allRollCall().size(), 1);
        EXPECT_EQ(session->allRollCall()[0].AbsenceStu(), "|") << "every keypad pressed";
        sessions << *session;
    }
    ASSERT_EQ(proposed.size(), 2);
    EXPECT_EQ(sessions[0].name(), proposed[0]);
    EXPECT_EQ(sessions[1].name(), proposed[1]);
    EXPECT_EQ(sessions[0].name(), rollCallName(sessions[0]));
    // Two roll calls of one minute are told apart.
    const QString second = rollCallName(sessions[1]);
    EXPECT_EQ(sessions[1].name(), second == sessions[0].name() ? second + " (2)" : second);
}

// The keypads answer the first roll call's logout wake only once the teacher, quicker than they,
// has saved it and opened the next (or their answer is lost on the way). Their answer must not
// pass for the answer to the next run's login call, and they must not stay in under the first
// run's device numbers: the next run logs the class out as it opens, the keypads log in to it,
// and every press counts.
TEST_F(KeypadMorningTest, KeypadsAnsweringTheLastRunsLogoutLateAreLoggedOutAndCountedInTheNextRollCall)
{
    SimReceiver *sim = classWithKeypads();
    ASSERT_TRUE(sim);
    const auto morning = rollCallMorning(sim);
    ASSERT_TRUE(morning);
    const QStringList &unexpected = morning->unexpected;
    const QByteArray wake = QByteArray::fromHex("F400C00135");
    const QByteArray logout = QByteArray::fromHex("F600000301FFFFF4");

    sim->pressTeacherKey(0x8A); // the first roll call opens
    ASSERT_TRUE(waitFor([&] { return runWindow() != nullptr; }, 5000));
    qsizetype mark = 0;
    const QString first = playQuiz(sim, 1, [&] {
        pilot->holdWakeAnswers(true);
        mark = sim->framesFromProgram().size();
    });
    ASSERT_FALSE(first.isEmpty());
    EXPECT_TRUE(sentSince(sim, mark, wake)) << "the logout wake frame";
    EXPECT_FALSE(sentSince(sim, mark, logout)) << "no answer, no logout yet";
    EXPECT_TRUE(keypadsLoggedIn(sim, 1, kKeypads)) << "the keypads are still in";

    mark = sim->framesFromProgram().size();
    sim->pressTeacherKey(0x8A); // the next roll call opens before the keypads answer
    ASSERT_TRUE(waitFor([&] { return runWindow() != nullptr; }, 5000));
    pilot->holdWakeAnswers(false);
    const QString second = playQuiz(sim, 1);
    ASSERT_FALSE(second.isEmpty());
    EXPECT_TRUE(unexpected.isEmpty()) << unexpected.join(" / ").toStdString();

    // The logout went out before the keypads were called to log in to the second run.
    qsizetype logoutAt = -1, wakeAt = -1;
    const QList<SimFrame> frames = sim->framesFromProgram();
    for (qsizetype i = mark; i < frames.size(); ++i) {
        if (logoutAt < 0 && frames[i].bytes == logout)
            logoutAt = i;
        if (wakeAt < 0 && frames[i].bytes == wake)
            wakeAt = i;
    }
    ASSERT_GE(logoutAt, 0) << "the first run's logout";
    EXPECT_LT(logoutAt, wakeAt) << "before the second run's login call";
    const auto session = TovQuizXmlDatabase().getQuizInfoAll(second);
    ASSERT_TRUE(session);
    ASSERT_EQ(session->allRollCall().size(), 1);
    EXPECT_EQ(session->allRollCall()[0].AbsenceStu(), "|") << "every keypad pressed and counted";
}

// The session ends during a roll call (a logout, a shutdown): the run is saved under the name its
// save would have proposed.
TEST_F(KeypadMorningTest, AnEndingSignalDuringARollCallSavesItUnderTheProposedName)
{
    bool ended = false;
    const std::unique_ptr<InstanceLock> lock = endOnSignals(&ended);
    SimReceiver *sim = classWithKeypads();
    ASSERT_TRUE(sim);

    TabController tab;
    showMainWindow(tab);
    ASSERT_TRUE(classSetForRollCall(tab));
    sim->pressTeacherKey(0x8A); // Start: the roll call opens
    ASSERT_TRUE(waitFor([&] { return runWithClassIn(sim); }));
    QPointer<QuizStateWindowController> run = runWindow();
    sim->pressTeacherKey(0x8A); // Start: the keypads press
    ASSERT_TRUE(waitFor([&] { return run->bStartFlag() && everyoneAnswered(); }));

    ASSERT_EQ(::raise(SIGTERM), 0);
    ASSERT_TRUE(waitFor([&] { return ended; }, 5000));
    ASSERT_EQ(sessionFiles().size(), 1) << "the run was saved";
    const auto session =
        TovQuizXmlDatabase().getQuizInfoAll(QDir(app()->strQuizXmlDataFilePath()).filePath(sessionFiles().first()));
    ASSERT_TRUE(session);
    EXPECT_EQ(session->name(), rollCallName(*session));
    EXPECT_EQ(session->actionType(), "13");
    // The program would end here; the test closes what it leaves.
    delete run.data();
}

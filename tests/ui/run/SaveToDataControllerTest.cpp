#include "core/engine/QuizData.h"
#include "core/engine/QuizParticipantData.h"
#include "core/engine/QuizQuestions.h"
#include "core/keypad/DeviceController.h"
#include "core/store/TovQuizXmlDatabase.h"
#include "platform/AtomicFile.h"
#include "support/DialogAnswers.h"
#include "support/FailingFolder.h"
#include "support/ModalDriver.h"
#include "support/RealAlerts.h"
#include "support/ReceiverTest.h"
#include "support/SmallDisk.h"
#include "ui/run/SaveToDataController.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {
StudentInClassPtr pupil(const QString &id, int device)
{
    auto s = std::make_shared<StudentInClass>();
    s->setStudentID(id);
    s->setStudentFirstName(id);
    s->setDeviceNo(device);
    return s;
}

QuizQuestionsElement question(int type, const QString &answer, int points, const QString &title = "Q")
{
    QuizQuestionsElement e;
    e.setNQuestionType(type);
    e.setStrAnswer(answer);
    e.setNPoint(points);
    e.setNQuizTime(30);
    e.setNOptionNum(4);
    e.setNDiffcult(2);
    e.setStrTitle(title);
    e.setStrOptionA("first\toption");
    e.setNActionMode(0);
    return e;
}
} // namespace

class SaveToDataTest : public ReceiverTest
{
protected:
    void SetUp() override
    {
        ReceiverTest::SetUp();
        readyTheClass();
    }

    // A class of three, all logged in, for the run to come (again after a new start).
    void readyTheClass()
    {
        auto *qpd = QuizParticipantData::shareManager();
        qpd->setClassName("7A");
        qpd->setSubjectName("Math");
        qpd->setTeacherName("Ann Lee");
        qpd->setMaxGroupNo(3);
        const QList<StudentInClassPtr> cls{pupil("S1", 1), pupil("S2", 2), pupil("S3", 3)};
        qpd->setArrayClassStudents(cls);
        qpd->setArrayLoginStudents(cls);
        times = {"2026-12-06T09:00:00", "2026-12-06T09:10:00", "600"};
        StudentEntity s;
        s.setId("S1");
        students = {s};
    }

    // Questions 1 (single, A, 10 points) and 2 (multiple, BC, 5 points) asked in the order 2, 1.
    void runTwoQuestions(int activity)
    {
        auto *qqs = QuizQuestions::shareManager();
        QuizQuestionsElement q1 = question(0, " A ", 10), q2 = question(1, "BC", 5);
        q1.setNActionMode(activity);
        q2.setNActionMode(activity);
        qqs->setArrayQuestions({q1, q2});
        auto *qd = QuizData::shareManager();
        qd->clearQuestionRecord(1);
        qd->clearQuestionRecord(2);
        qd->setStudentAnswer(1, 1, "a");
        qd->setStudentAnswerTime(1, 1, 4);
        qd->setStudentAnswer(1, 2, "C");
        qd->setStudentAnswer(2, 1, "bc");
        qd->setArrayAlreadyTestQuestionNo({2, 1});
    }

    std::unique_ptr<SaveToDataController> dialog(int activity, const QString &file = "Week 3.px")
    {
        auto d = std::make_unique<SaveToDataController>();
        d->setStrFileName(file);
        d->setCurDeviceType(3);
        d->setCurActivityMode(activity);
        d->setArrStuLoginContentTime(&students);
        d->setArrQuizTime(&times);
        d->awakeFromNib();
        return d;
    }

    // An attendance of one student at 07:10 on a Dravel receiver, ready for its save.
    SaveToDataController::Request attendanceRun()
    {
        auto *qd = QuizData::shareManager();
        qd->clearQuestionRecord(1);
        qd->setStudentAnswer(1, 1, "A");
        qd->setArrayAlreadyTestQuestionNo({1});
        times = {"2026-12-08T07:10:00", "2026-12-08T07:15:00", "300"};
        SaveToDataController::Request r;
        r.curDeviceType = 3;
        r.curActivityMode = 8;
        r.arrStuLoginContentTime = &students;
        r.arrQuizTime = &times;
        return r;
    }

    // What the teacher finds in the save dialog on going back from its question, and what was saved.
    struct WentBack
    {
        std::string focus, text, selected, saved;
        int questions = 0;
    };
    // An attendance's save: `before` done in the name, the dialog asked to leave by `ask`, `back`
    // on the question, then `typed` where the keys are and Return.
    WentBack goBackAndType(const std::function<void(QLineEdit *)> &before, const std::function<void(QWidget *)> &ask,
                           const std::function<void(QWidget *)> &back, const QString &typed)
    {
        const SaveToDataController::Request r = attendanceRun();
        WentBack seen;
        bool answered = false;
        ModalDriver modals;
        modals.on("SaveToData", [&](QWidget *w) {
            auto *field = w->findChild<QLineEdit *>("txtSaveSession");
            EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == field; }, kEventWaitMs));
            before(field);
            ask(w);
            EXPECT_TRUE(QTest::qWaitFor([&] { return answered && QApplication::activeModalWidget() == w; }, kEventWaitMs));
            // The window manager hands the keys back to the dialog.
            w->activateWindow();
            if (!QTest::qWaitFor([&] { return QApplication::activeWindow() == w; }, kEventWaitMs)) {
                ADD_FAILURE() << "the dialog is not the teacher's again";
                static_cast<QDialog *>(w)->done(0);
                return;
            }
            QWidget *keys = QApplication::focusWidget();
            seen.focus = keys ? keys->objectName().toStdString() : "(none)";
            seen.selected = field->selectedText().toStdString();
            seen.text = field->text().toStdString();
            QTest::keyClicks(keys, typed);
            QTest::keyClick(keys, Qt::Key_Return);
            if (w->isVisible())
                static_cast<QDialog *>(w)->done(0);
        });
        modals.on("PollixAlert", [&](QWidget *alert) {
            EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == alert; }, kEventWaitMs));
            answered = true;
            ++seen.questions;
            back(alert);
        });
        const auto stored = TovQuizXmlDatabase().getQuizInfoAll(SaveToDataController::runForRun(nullptr, r));
        seen.saved = stored ? stored->name().toStdString() : "(nothing saved)";
        return seen;
    }

    static QString answerOf(const QuizEntity &q, const QString &student, int questionNo)
    {
        for (const ResponseDataEntity &r : q.allStudentsAns())
            if (r.studentID() == student && r.questionID() == QString::number(questionNo))
                return r.response() + "=" + r.studentPoint();
        return "missing";
    }

    QStringList sessionFiles() const
    {
        return QDir(app()->strQuizXmlDataFilePath()).entryList(QDir::Files);
    }

    QStringList times;
    QList<StudentEntity> students;
};

TEST_F(SaveToDataTest, NormalQuizBecomesOneSessionInAskingOrder)
{
    runTwoQuestions(0);
    auto d = dialog(0);
    EXPECT_EQ(d->txtSaveSession->text(), "Week 3");
    const QuizEntity q = d->NormalSave();
    EXPECT_EQ(q.actionType(), "1");
    EXPECT_EQ(q.sessionType(), "Exam");
    EXPECT_EQ(q.title(), "Week 3.px");
    EXPECT_EQ(q.className(), "7A");
    EXPECT_EQ(q.teacherName(), "Ann Lee");
    EXPECT_EQ(q.group(), 1);
    EXPECT_EQ(q.totalMark(), "15");
    EXPECT_EQ(q.startTime(), "2026-12-06T09:00:00");
    EXPECT_EQ(q.timeElapsed(), 600);
    ASSERT_EQ(q.allQuestions().size(), 2);
    EXPECT_EQ(q.allQuestions()[0].quNo(), 1);
    EXPECT_EQ(q.allQuestions()[0].rightAns(), "BC");
    EXPECT_EQ(q.allQuestions()[0].quType(), "2");
    EXPECT_EQ(q.allQuestions()[1].rightAns(), "A");
    EXPECT_EQ(q.allQuestions()[1].allOptions()[0].text(), "first option");
    // Session question 1 is file question 2.
    EXPECT_EQ(answerOf(q, "S1", 1), "BC=5");
    EXPECT_EQ(answerOf(q, "S1", 2), "A=10");
    EXPECT_EQ(answerOf(q, "S2", 2), "C=0");
    EXPECT_EQ(answerOf(q, "S3", 2), "__=0");

    DialogAnswers answers;
    d->onOK();
    EXPECT_EQ(d->result(), 1);
    ASSERT_EQ(sessionFiles().size(), 1);
    // Nothing more is asked: the window the run goes back to shows where the session went.
    EXPECT_TRUE(answers.alerts().isEmpty()) << answers.alertTexts().join(" / ").toStdString();
    EXPECT_EQ(d->savedPath(), QDir(app()->strQuizXmlDataFilePath()).filePath(sessionFiles().first()));
    const auto stored = TovQuizXmlDatabase().getQuizInfoAll(d->savedPath());
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(stored->name(), "Week 3");
    EXPECT_EQ(stored->allStudentsAns().size(), 6);
    EXPECT_TRUE(QuizData::shareManager()->arrayAlreadyTestQuestionNo().isEmpty());
    EXPECT_EQ(QuizQuestions::shareManager()->count(), 0);
    EXPECT_TRUE(times.isEmpty()) << "the opener's lists are emptied on close";
}

TEST_F(SaveToDataTest, RushDeductsForWrongAnswersButNotForNoAnswer)
{
    runTwoQuestions(3);
    const QuizEntity q = dialog(3)->NormalSave();
    EXPECT_EQ(q.actionType(), "4");
    EXPECT_EQ(q.sessionType(), "Game");
    EXPECT_EQ(answerOf(q, "S2", 2), "C=-10");
    EXPECT_EQ(answerOf(q, "S3", 2), "__=0");
    EXPECT_EQ(answerOf(q, "S1", 2), "A=10");
}

TEST_F(SaveToDataTest, FreeStyleRunsAreStoredAsTheirBaseActivity)
{
    runTwoQuestions(0);
    auto rush = dialog(10);
    rush->setBIsFreeStyle(true);
    rush->txtSaveSession->setText("Warm-up");
    QuizEntity q = rush->NormalSave();
    EXPECT_EQ(q.actionType(), "4");
    EXPECT_EQ(q.sessionType(), "Game");
    EXPECT_EQ(q.title(), "");

    auto vote = dialog(12);
    vote->setBIsFreeStyle(true);
    q = vote->NormalSave();
    EXPECT_EQ(q.actionType(), "15");
    EXPECT_EQ(q.sessionType(), "Other");
}

TEST_F(SaveToDataTest, LongTitlesAreCut)
{
    EXPECT_EQ(SaveToDataController::getMaxLengString(QString(230, 'x')).size(), 230);
    const QString cut = SaveToDataController::getMaxLengString(QString(231, 'x'));
    EXPECT_EQ(cut, QString(227, 'x') + "...");
}

TEST_F(SaveToDataTest, AnswerSlotsBeyondTheLoggedInListAreIgnored)
{
    runTwoQuestions(0);
    // A student left the logged-in list after the answers were recorded.
    QuizParticipantData::shareManager()->setArrayLoginStudents({pupil("S1", 1)});
    const QuizEntity q = dialog(0)->NormalSave();
    EXPECT_EQ(q.allStudentsAns().size(), 2);
}

TEST_F(SaveToDataTest, AttendanceStoresTheAbsentStudents)
{
    auto *qd = QuizData::shareManager();
    qd->clearQuestionRecord(1);
    qd->setStudentAnswer(1, 1, "A");
    qd->setStudentAnswer(1, 3, "A");
    qd->setArrayAlreadyTestQuestionNo({1});
    auto d = dialog(8);
    EXPECT_EQ(d->txtSaveSession->text(), "Attendance 2026-12-06 09:00") << "OK saves a roll call at once";
    d->txtSaveSession->setText("Monday");
    QuizEntity q = d->RollCallSave();
    EXPECT_EQ(q.actionType(), "13");
    EXPECT_EQ(q.machineName(), "3");
    ASSERT_EQ(q.allRollCall().size(), 1);
    EXPECT_EQ(q.allRollCall()[0].AbsenceStu(), "|S2|");
    EXPECT_EQ(q.allRollCall()[0].rollCallTime(), "2026-12-06T09:00:00");

    qd->setStudentAnswer(1, 2, "B");
    q = d->RollCallSave();
    EXPECT_EQ(q.allRollCall()[0].AbsenceStu(), "|");
}

TEST_F(SaveToDataTest, QuickGroupingWritesNothingAndClearsTheRun)
{
    runTwoQuestions(13);
    auto d = dialog(13);
    EXPECT_EQ(d->txtSaveSession->text(), "Quick Grouping");
    EXPECT_FALSE(d->txtSaveSession->isEnabled());
    d->onOK();
    EXPECT_TRUE(sessionFiles().isEmpty());
    EXPECT_TRUE(QuizData::shareManager()->arrayAlreadyTestQuestionNo().isEmpty());
}

TEST_F(SaveToDataTest, EmptyNameIsRefusedAndNothingIsLost)
{
    runTwoQuestions(0);
    auto d = dialog(0);
    d->txtSaveSession->clear();
    DialogAnswers answers;
    d->onOK();
    EXPECT_EQ(answers.alertTexts(), QStringList{"The activity name should not be empty."});
    EXPECT_TRUE(sessionFiles().isEmpty());
    EXPECT_EQ(QuizData::shareManager()->arrayAlreadyTestQuestionNo().size(), 2);
    EXPECT_EQ(times.size(), 3);
}

TEST_F(SaveToDataTest, FailedWriteKeepsTheDialogAndTheRunForARetry)
{
    runTwoQuestions(0);
    auto d = dialog(0);
    AtomicFile::setFailureHook([](const QString &) { return true; });
    DialogAnswers answers;
    d->onOK();
    ASSERT_EQ(answers.alerts().size(), 1);
    EXPECT_TRUE(answers.alerts()[0].text.startsWith("The session could not be saved."));
    EXPECT_EQ(QuizData::shareManager()->arrayAlreadyTestQuestionNo().size(), 2);
    EXPECT_EQ(times.size(), 3);
    EXPECT_NE(d->result(), 1);

    AtomicFile::setFailureHook({});
    d->onOK();
    EXPECT_EQ(d->result(), 1);
    EXPECT_EQ(sessionFiles().size(), 1);
}

TEST_F(SaveToDataTest, CancelAsksAndOnlyAConfirmedCancelDropsTheRun)
{
    runTwoQuestions(0);
    auto d = dialog(0);
    DialogAnswers answers;
    answers.answerAlert(1);
    d->onCancel();
    EXPECT_EQ(answers.alertTexts(), QStringList{"Are you sure to exit without saving exam report?"});
    EXPECT_EQ(answers.alerts()[0].buttons, (QStringList{"  \"F1\" OK  ", "\"F2\" Cancel"}));
    EXPECT_EQ(QuizData::shareManager()->arrayAlreadyTestQuestionNo().size(), 2);

    answers.answerAlert(0);
    d->onCancel();
    EXPECT_EQ(d->result(), 0);
    EXPECT_TRUE(sessionFiles().isEmpty());
    EXPECT_TRUE(QuizData::shareManager()->arrayAlreadyTestQuestionNo().isEmpty());
    EXPECT_TRUE(times.isEmpty());
}

TEST_F(SaveToDataTest, EscapeAndTheCloseBoxAskLikeCancel)
{
    runTwoQuestions(0);
    const std::function<void(SaveToDataController &)> waysOut[] = {
        [](SaveToDataController &d) { QTest::keyClick(&d, Qt::Key_Escape); },
        [](SaveToDataController &d) { d.close(); },
    };
    for (const auto &leave : waysOut) {
        auto d = dialog(0);
        d->show();
        DialogAnswers answers;
        answers.answerAlert(1); // "F2" Cancel: stay
        leave(*d);
        EXPECT_EQ(answers.alertTexts(), QStringList{"Are you sure to exit without saving exam report?"});
        EXPECT_TRUE(d->isVisible());
        EXPECT_EQ(QuizData::shareManager()->arrayAlreadyTestQuestionNo().size(), 2);
        EXPECT_EQ(times.size(), 3);
    }

    auto d = dialog(0);
    d->show();
    DialogAnswers answers;
    answers.answerAlert(0); // "F1" OK: leave without saving
    d->close();
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(d->result(), 0);
    EXPECT_TRUE(sessionFiles().isEmpty());
    EXPECT_TRUE(QuizData::shareManager()->arrayAlreadyTestQuestionNo().isEmpty());
    EXPECT_TRUE(times.isEmpty());
}

TEST_F(SaveToDataTest, TheKeyboardsFTwoAsksAndFOneSaves)
{
    runTwoQuestions(0);
    auto d = dialog(0);
    d->show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == d.get(); }, kEventWaitMs));
    DialogAnswers answers;
    answers.answerAlert(1); // stay
    QTest::keyClick(d->txtSaveSession, Qt::Key_F2);
    EXPECT_EQ(answers.alertTexts(), QStringList{"Are you sure to exit without saving exam report?"});
    ASSERT_TRUE(d->isVisible());
    QTest::keyClick(d->txtSaveSession, Qt::Key_F1);
    EXPECT_EQ(d->result(), 1);
    EXPECT_EQ(sessionFiles().size(), 1);
}

TEST_F(SaveToDataTest, OnAFullDiskTheAlertSaysWhyAndTheRunStaysForARetry)
{
    POLLIX_ON_SMALL_DISK(.kilobytes = 256);
    runTwoQuestions(0);
    auto d = dialog(0);
    ASSERT_TRUE(SmallDisk::fill());
    DialogAnswers answers;
    d->onOK();
    ASSERT_EQ(answers.alerts().size(), 1);
    EXPECT_TRUE(answers.alerts()[0].text.startsWith("The session could not be saved."));
    EXPECT_TRUE(answers.alerts()[0].informativeText.contains("No space left", Qt::CaseInsensitive))
        << answers.alerts()[0].informativeText.toStdString();
    EXPECT_TRUE(sessionFiles().isEmpty());
    EXPECT_EQ(QuizData::shareManager()->arrayAlreadyTestQuestionNo().size(), 2);
    EXPECT_NE(d->result(), 1);
}

// The sessions folder's disk went away at the run's end: F1 says why and keeps the dialog and the
// run, and once the folder answers again the teacher's next F1 saves the session, once. The search
// for a free name took the error for a name taken and held the window for ever.
TEST_F(SaveToDataTest, AFolderThatAnswersWithAnErrorKeepsTheRunAndTheNextFOneSavesOnceItAnswers)
{
    runTwoQuestions(0);
    auto d = dialog(0);
    d->show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == d.get(); }, kEventWaitMs));
    const QString folder = app()->strQuizXmlDataFilePath();
    FailingFolder failing(folder, ENOTCONN);
    DialogAnswers answers;
    QTest::keyClick(d->txtSaveSession, Qt::Key_F1);
    EXPECT_LT(failing.looks(), FailingFolder::kMostLooks) << "the search took the error for a name taken";
    failing.answerAgain();
    ASSERT_EQ(answers.alerts().size(), 1);
    EXPECT_TRUE(answers.alerts()[0].text.startsWith("The session could not be saved."));
    EXPECT_TRUE(answers.alerts()[0].informativeText.contains(folder)) << answers.alerts()[0].informativeText.toStdString();
    EXPECT_TRUE(answers.alerts()[0].informativeText.contains(failing.reason()))
        << answers.alerts()[0].informativeText.toStdString();
    EXPECT_TRUE(d->isVisible());
    EXPECT_NE(d->result(), 1);
    EXPECT_TRUE(sessionFiles().isEmpty());
    EXPECT_EQ(QuizData::shareManager()->arrayAlreadyTestQuestionNo().size(), 2);
    EXPECT_EQ(times.size(), 3);

    QTest::keyClick(d->txtSaveSession, Qt::Key_F1);
    EXPECT_EQ(d->result(), 1);
    EXPECT_EQ(answers.alerts().size(), 1);
    ASSERT_EQ(sessionFiles().size(), 1);
    const auto stored = TovQuizXmlDatabase().getQuizInfoAll(d->savedPath());
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(stored->allStudentsAns().size(), 6);
}

// The sessions' folder is one Pollix goes through no more at the run's end: made a link while
// Pollix runs; linked from the start and then pointed elsewhere, its folder gone, or another folder
// put where it led; or linked from the start to no folder at all. F1 keeps the dialog and the run,
// and the alert's way out keeps the run too: never a new start, which loses the run's answers
// (nothing else holds them), and no promise a new start alone could keep. Followed, it lets the
// teacher's next F1 save the session, once.
TEST_F(SaveToDataTest, AFolderGoneThroughNoMoreIsAdvisedAwayWithoutLosingTheRunAndTheNextFOneSaves)
{
    using Step = std::function<bool(const QString &quiz, const QString &disk)>;
    const auto nothing = [](const QString &, const QString &) { return true; };
    // The sessions' folder moved aside and a link to the one on the disk put in its place.
    const auto linkTo = [](const QString &quiz, const QString &disk) {
        return QDir().rename(quiz, quiz + ".moved") && QFile::link(disk, quiz);
    };
    const struct
    {
        const char *what;
        Step beforeTheStart; // with the folder moved to disk
        Step whileRunning;
        QStringList said;
        Step advice;
        bool savedOnDisk; // else in the sessions' folder
    } rows[] = {
        {"made a link while Pollix runs", nothing,
         linkTo,
         {"%1 became a link to another folder while Pollix was running", "Put the folder back in the link's place and "
                                                                          "press OK (or F1) again."},
         [](const QString &quiz, const QString &) { return QFile::remove(quiz) && QDir().rename(quiz + ".moved", quiz); }, false},
        {"linked from the start, pointed elsewhere since", linkTo,
         [](const QString &quiz, const QString &disk) {
             return QFile::remove(quiz) && QDir().mkpath(disk + ".other") && QFile::link(disk + ".other", quiz);
         },
         {"%1 is a link that led to %2 when Pollix started, and it leads to %2.other now.",
          "Point the link back to %2 and press OK (or F1) again."},
         [](const QString &quiz, const QString &disk) { return QFile::remove(quiz) && QFile::link(disk, quiz); }, true},
        {"linked from the start, its folder gone", linkTo,
         [](const QString &, const QString &disk) { return QDir().rename(disk, disk + ".unplugged"); },
         {"(%2) cannot be reached now (No such file or directory).",
          "Plug the disk it lies on back in, or make the folder reachable again, and press OK (or F1) again."},
         [](const QString &, const QString &disk) { return QDir().rename(disk + ".unplugged", disk); }, true},
        {"linked from the start, another folder put where it led", linkTo,
         [](const QString &, const QString &disk) { return QDir().rename(disk, disk + ".moved") && QDir().mkdir(disk); },
         {"(%2) is not there now: another folder was put at %2 in its place.",
          "Put that folder back at %2 (the other one moved aside) and press OK (or F1) again."},
         [](const QString &, const QString &disk) {
             return QDir().rename(disk, disk + ".other") && QDir().rename(disk + ".moved", disk);
         },
         true},
        // Reachable now, the link still leads nowhere while this Pollix runs.
        {"linked from the start to no folder", [&](const QString &quiz, const QString &disk) {
             return linkTo(quiz, disk) && QDir().rename(disk, disk + ".later");
         },
         [](const QString &, const QString &disk) { return QDir().rename(disk + ".later", disk); },
         {"%1 is a link that led to no folder when Pollix started (it leads to %2)",
          "the run's answers cannot be saved in that folder while this Pollix runs, even once it is reachable.",
          "move the link aside, make an empty folder named Quiz in its place and press OK (or F1) again"},
         [](const QString &quiz, const QString &) { return QDir().rename(quiz, quiz + ".link") && QDir().mkdir(quiz); }, false},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        QTemporaryDir rootDir, diskDir;
        const QString root = QFileInfo(rootDir.path()).canonicalFilePath(), quiz = root + "/Data/Quiz";
        const QString disk = QFileInfo(diskDir.path()).canonicalFilePath() + "/Quiz";
        ASSERT_TRUE(QDir().mkpath(quiz) && QDir().mkpath(disk));
        ASSERT_TRUE(row.beforeTheStart(quiz, disk));
        startOn(root);
        readyTheClass();
        runTwoQuestions(0);
        auto d = dialog(0);
        d->show();
        ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == d.get(); }, kEventWaitMs));
        ASSERT_TRUE(row.whileRunning(quiz, disk));
        DialogAnswers answers;
        QTest::keyClick(d->txtSaveSession, Qt::Key_F1);
        ASSERT_EQ(answers.alerts().size(), 1);
        const QString why = answers.alerts()[0].informativeText;
        for (QString said : row.said) {
            said.replace("%1", quiz).replace("%2", disk);
            EXPECT_TRUE(why.contains(said)) << said.toStdString() << "\nin: " << why.toStdString();
        }
        EXPECT_TRUE(why.contains("Quitting Pollix now loses the run's answers, which only this window holds until a save."))
            << why.toStdString();
        EXPECT_FALSE(why.contains("start it again")) << why.toStdString();
        EXPECT_TRUE(d->isVisible());
        EXPECT_EQ(QuizData::shareManager()->arrayAlreadyTestQuestionNo().size(), 2);
        EXPECT_EQ(times.size(), 3);

        ASSERT_TRUE(row.advice(quiz, disk));
        QTest::keyClick(d->txtSaveSession, Qt::Key_F1);
        EXPECT_EQ(d->result(), 1);
        EXPECT_EQ(answers.alerts().size(), 1);
        EXPECT_EQ(QFileInfo(d->savedPath()).absolutePath(), quiz);
        EXPECT_EQ(QDir(row.savedOnDisk ? disk : quiz).entryList(QDir::Files).size(), 1);
    }
}

TEST_F(SaveToDataTest, TeacherKeypadCancelsOnArvelAndConfirmsOnDravel)
{
    runTwoQuestions(0);
    auto *arvel = plugIn(keypadsim::Model::Arvel);
    ASSERT_EQ(app()->currentDeviceType(), 1);
    auto d = dialog(0);
    app()->setObjectToReceiveCommData(d.get());
    DialogAnswers answers;
    answers.answerAlert(1);
    arvel->pressTeacherKey(0x89);
    ASSERT_TRUE(waitFor([&] { return answers.alerts().size() == 1; }));
    EXPECT_EQ(answers.alertTexts().first(), "Are you sure to exit without saving exam report?");
    app()->setObjectToReceiveCommData(nullptr);
}

TEST_F(SaveToDataTest, TeacherKeypadF1SavesOnDravel)
{
    runTwoQuestions(0);
    auto *dravel = plugIn(keypadsim::Model::Dravel);
    ASSERT_EQ(app()->currentDeviceType(), 3);
    auto d = dialog(0);
    app()->setObjectToReceiveCommData(d.get());
    DialogAnswers answers;
    dravel->pressTeacherKey(0x81);
    ASSERT_TRUE(waitFor([&] { return d->result() == 1; }));
    EXPECT_EQ(sessionFiles().size(), 1);
    app()->setObjectToReceiveCommData(nullptr);
}

// The dialog as the run window opens it, the teacher's keys going where the focus is: the proposed
// name is selected, so what is typed replaces it, and Return or F1 (the keyboard's or the teacher
// keypad's) saves under it with nothing more asked.
TEST_F(SaveToDataTest, WhatTheTeacherTypesReplacesTheProposedNameAndReturnOrFOneKeepsIt)
{
    auto *dravel = plugIn(keypadsim::Model::Dravel);
    ASSERT_TRUE(dravel);
    ASSERT_TRUE(waitFor([&] { return app()->getBHaveDevice(); }));
    struct Seen
    {
        std::string proposed, selected;
    };
    // Runs an attendance to its save; keys answers the dialog from the field that has the focus.
    const auto saveWith = [&](const std::function<void(QWidget *field)> &keys, Seen *seen) -> std::string {
        const SaveToDataController::Request r = attendanceRun();
        ModalDriver modals;
        modals.on("SaveToData", [&](QWidget *w) {
            EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == w; }, kEventWaitMs))
                << "the dialog never became the window with the keys";
            auto *field = qobject_cast<QLineEdit *>(QApplication::focusWidget());
            if (!field || field->objectName() != "txtSaveSession") {
                ADD_FAILURE() << "the name field does not take the keys";
                static_cast<QDialog *>(w)->done(0);
                return;
            }
            *seen = {field->text().toStdString(), field->selectedText().toStdString()};
            keys(field);
        });
        const QString path = SaveToDataController::runForRun(nullptr, r);
        const auto stored = TovQuizXmlDatabase().getQuizInfoAll(path);
        return stored ? stored->name().toStdString() : "(nothing saved)";
    };
    DialogAnswers answers;
    Seen seen;

    EXPECT_EQ(saveWith([](QWidget *field) {
                  QTest::keyClicks(field, "Roll A");
                  QTest::keyClick(field, Qt::Key_Return);
              }, &seen),
              "Roll A");
    EXPECT_EQ(seen.proposed, "Attendance 2026-12-08 07:10");
    EXPECT_EQ(seen.selected, seen.proposed);

    // Return, the keyboard's F1 and the teacher keypad's F1 keep the proposed name (with " (2)"
    // and on once a session has it).
    const std::pair<std::function<void(QWidget *)>, std::string> keeping[] = {
        {[](QWidget *field) { QTest::keyClick(field, Qt::Key_Return); }, "Attendance 2026-12-08 07:10"},
        {[](QWidget *field) { QTest::keyClick(field, Qt::Key_F1); }, "Attendance 2026-12-08 07:10 (2)"},
        {[&](QWidget *) { dravel->pressTeacherKey(0x81); }, "Attendance 2026-12-08 07:10 (3)"},
    };
    for (const auto &[keys, proposed] : keeping) {
        EXPECT_EQ(saveWith(keys, &seen), proposed);
        EXPECT_EQ(seen.selected, proposed);
    }

    // Tab away and back selects the whole name again.
    EXPECT_EQ(saveWith([](QWidget *field) {
                  QTest::keyClick(field, Qt::Key_Tab);
                  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
                  QTest::keyClicks(QApplication::focusWidget(), "Roll B");
                  QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
              }, &seen),
              "Roll B");
    EXPECT_TRUE(answers.alerts().isEmpty()) << answers.alertTexts().join(" / ").toStdString();
    EXPECT_EQ(sessionFiles().size(), 5);
}

// The program is ending (a logout, a shutdown): the run is saved as OK saves it, with nobody
// there to answer a dialog.
TEST_F(SaveToDataTest, AtTheProgramsEndTheRunIsSavedUnaskedUnderTheTypedOrTheProposedName)
{
    SaveToDataController::Request r;
    r.strFileName = "Week 3.px";
    r.curDeviceType = 3;
    r.arrStuLoginContentTime = &students;
    r.arrQuizTime = &times;
    DialogAnswers answers;
    const auto saved = [&](int activity, const QString &typed) -> std::optional<QuizEntity> {
        runTwoQuestions(activity);
        r.curActivityMode = activity;
        QString path, why;
        if (!SaveToDataController::saveUnasked(nullptr, r, typed, &path, &why)) {
            EXPECT_TRUE(why.isEmpty()) << why.toStdString();
            return std::nullopt;
        }
        EXPECT_TRUE(QuizData::shareManager()->arrayAlreadyTestQuestionNo().isEmpty()) << "nothing is saved twice";
        return TovQuizXmlDatabase().getQuizInfoAll(path);
    };

    const std::optional<QuizEntity> quiz = saved(0, {});
    ASSERT_TRUE(quiz.has_value());
    EXPECT_EQ(quiz->name(), "Week 3");
    EXPECT_EQ(quiz->allStudentsAns().size(), 6);
    EXPECT_EQ(answerOf(*quiz, "S1", 1), "BC=5");
    EXPECT_EQ(saved(0, "Period 2")->name(), "Period 2");
    EXPECT_EQ(saved(6, {})->name(), "Survey 2026-12-06 09:00") << "a survey is named after the minute it started";
    EXPECT_FALSE(saved(13, {}).has_value()) << "a quick grouping saves nothing";
    EXPECT_TRUE(answers.alerts().isEmpty());
    EXPECT_EQ(sessionFiles().size(), 3);

    // A file that cannot be written says why and keeps the run.
    runTwoQuestions(0);
    r.curActivityMode = 0;
    AtomicFile::setFailureHook([](const QString &) { return true; });
    QString why;
    EXPECT_FALSE(SaveToDataController::saveUnasked(nullptr, r, {}, nullptr, &why));
    AtomicFile::setFailureHook({});
    EXPECT_FALSE(why.isEmpty());
    EXPECT_EQ(QuizData::shareManager()->arrayAlreadyTestQuestionNo().size(), 2);
}

// "F2" Cancel, then "F2" Cancel on its question to go back: the keys are in the name again with
// the proposed name selected, whichever way the teacher asked and went back. The keys left on the button
// that asked made Return ask again, and the next Return left without saving the run.
TEST_F(SaveToDataTest, GoingBackFromTheQuestionPutsTheKeysInTheNameSelected)
{
    auto *dravel = plugIn(keypadsim::Model::Dravel);
    ASSERT_TRUE(dravel);
    ASSERT_TRUE(waitFor([&] { return app()->getBHaveDevice(); }));
    constexpr uint8_t kF2 = 0x82;
    const std::pair<const char *, std::function<void(QWidget *)>> asking[] = {
        {"a click on Cancel", [](QWidget *w) { QTest::mouseClick(w->findChild<QPushButton *>("buttonCancel"), Qt::LeftButton); }},
        {"the keyboard's F2", [](QWidget *) { QTest::keyClick(QApplication::focusWidget(), Qt::Key_F2); }},
        {"Escape", [](QWidget *) { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape); }},
        {"the teacher keypad's F2", [&](QWidget *) { dravel->pressTeacherKey(kF2); }},
    };
    const std::pair<const char *, std::function<void(QWidget *)>> goingBack[] = {
        {"its F2", [](QWidget *alert) { QTest::keyClick(alert, Qt::Key_F2); }},
        {"Escape", [](QWidget *alert) { QTest::keyClick(alert, Qt::Key_Escape); }},
        {"a click on \"F2\" Cancel", [](QWidget *alert) { QTest::mouseClick(alert->findChild<QPushButton *>("alertButton1"), Qt::LeftButton); }},
        {"the teacher keypad's F2", [&](QWidget *) { dravel->pressTeacherKey(kF2); }},
    };
    int saved = 0, round = 0;
    for (const auto &[askWay, ask] : asking) {
        for (const auto &[backWay, back] : goingBack) {
            SCOPED_TRACE(std::string("asked by ") + askWay + ", back by " + backWay);
            const QString name = QStringLiteral("Roll %1").arg(++round);
            const WentBack seen = goBackAndType([](QLineEdit *) {}, ask, back, name);
            EXPECT_EQ(seen.focus, "txtSaveSession");
            EXPECT_EQ(seen.text, "Attendance 2026-12-08 07:10");
            EXPECT_EQ(seen.selected, seen.text);
            EXPECT_EQ(seen.questions, 1) << "Return asked again";
            EXPECT_EQ(seen.saved, name.toStdString());
            saved += seen.saved == name.toStdString() ? 1 : 0;
        }
    }
    EXPECT_EQ(sessionFiles().size(), saved);
}

// A name the teacher typed is the teacher's own: back from the question, the cursor and the
// selection are where the teacher left them. Selected whole, the first key typed after going back
// threw the typed name away.
TEST_F(SaveToDataTest, GoingBackFromTheQuestionLeavesTheTeachersOwnNameAsItWas)
{
    const auto typed = [](QLineEdit *f) { QTest::keyClicks(f, "Math quiz"); };
    const auto lastWordSelected = [&](QLineEdit *f) {
        typed(f);
        for (int i = 0; i < 4; ++i)
            QTest::keyClick(f, Qt::Key_Left, Qt::ShiftModifier);
    };
    const auto escape = [](QWidget *w) { RealAlerts::pressEscape(w); };
    const auto cancelOnQuestion = [](QWidget *alert) { QTest::mouseClick(alert->findChild<QPushButton *>("alertButton1"), Qt::LeftButton); };
    // A click on Cancel takes the keys, and the selection with them.
    const auto clickCancel = [](QWidget *w) { QTest::mouseClick(w->findChild<QPushButton *>("buttonCancel"), Qt::LeftButton); };
    EXPECT_EQ(goBackAndType(typed, escape, cancelOnQuestion, " week 3").saved, "Math quiz week 3");
    EXPECT_EQ(goBackAndType(lastWordSelected, clickCancel, escape, "test").saved, "Math test");
}

// Every window that listens for the receiver, opened from the main window as the teacher opens
// it, with the receiver pulled out and put back while it is open: once before the teacher typed
// or sent anything in it, once after. Each time the window says where the receiver is, keeps what
// the teacher typed, and afterwards still does its work with the receiver that came back and
// closes by its own button. The receiver is the simulator behind a link named in
// POLLIX_SERIAL_PORTS, found again on that path as a USB receiver is.

#include "core/engine/QuizData.h"
#include "core/engine/QuizParticipantData.h"
#include "core/keypad/DeviceController.h"
#include "core/store/TovConfigXmlDatabase.h"
#include "support/DialogAnswers.h"
#include "support/MainWindowForRuns.h"
#include "support/ModalDriver.h"
#include "support/ReceiverTest.h"
#include "support/SessionOwners.h"
#include "support/TransferTiming.h"
#include "ui/app/MainwndController.h"
#include "platform/UsbSerialDriver.h"
#include "ui/app/PollixProgram.h"
#include "ui/app/SelectASystem.h"
#include "ui/app/TabController.h"
#include "ui/keypad/DeviceSettingCtrl.h"
#include "ui/keypad/DeviceSettingLight.h"
#include "ui/keypad/HardwareTestCtrl.h"
#include "ui/keypad/ReceiveReportController.h"
#include "ui/keypad/SendQuestions.h"
#include "ui/keypad/SetChannelCtrl.h"
#include "ui/keypad/VersionInfoCtrl.h"
#include "ui/presentation/PPTQuizStateWindowController.h"
#include "ui/run/QuizStateWindowController.h"

#include "SimActivity.h"
#include "SimAutoPilot.h"
#include "SimQuestionSet.h"
#include "SimSetup.h"
#include "SimTeacherSession.h"

#include "core/authoring/ExamPaperInfo.h"
#include "core/authoring/QuestionSetView.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPointer>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace keypadsim;

namespace {

class ReceiverWindows;

// One window and what the teacher does in it.
struct WindowWalk
{
    std::string name;
    Model model = Model::Dravel;
    // Opens the window from the main window, a click as the teacher's, and hands it to walk
    // (called while it is open, from its own event loop when it is modal).
    std::function<void(ReceiverWindows &, const std::function<void(QWidget *)> &walk)> open;
    // Checks that the window shows the receiver as out or back (waiting for the receiver's answers).
    std::function<void(ReceiverWindows &, QWidget *, bool out)> shows;
    // What the teacher types or sends in it.
    std::function<void(ReceiverWindows &, QWidget *)> typeOrSend;
    // Its work, done with the receiver that came back, then closed by its own button.
    std::function<void(ReceiverWindows &, QWidget *)> useAndClose;
};

void PrintTo(const WindowWalk &walk, std::ostream *out)
{
    *out << walk.name;
}

// The main window over the receiver, with the ways into the windows that listen for it.
class ReceiverWindows : public ReceiverTest
{
public:
    using ReceiverTest::keypadsLoggedIn;
    using ReceiverTest::waitFor;
    using ReceiverTest::waitIdle;

    void SetUp() override
    {
        ReceiverTest::SetUp();
        useMainWindowForRuns();
        PollixProgram::installServices();
        TabController::hooks().runLogin = [](QWidget *) { return true; };
        DeviceSettingCtrl::hooks().runLogin = [](QWidget *) { return true; };
        app()->setIsLogin(true);
    }
    void TearDown() override
    {
        questionSet.reset();
        main.reset();
        SendQuestions::resetTimingForTesting();
        DeviceSettingCtrl::hooks() = {};
        QuizStateWindowController::hooks() = {};
        PPTQuizStateWindowController::hooks() = {};
        TabController::resetHooks();
        ReceiverTest::TearDown();
    }

    // The receiver plugged in at start, and the main window over it.
    void start(Model model, SimReceiver::Options o = {})
    {
        o.linkPath = home() + QStringLiteral("ttyReceiver");
        sim = makeReceiver(model, o);
        ASSERT_TRUE(sim && restartLinkNaming({sim->portPath()}) && app()->getBHaveDevice());
        main = std::make_unique<MainwndController>();
        main->initWindow();
        main->showWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(tab()));
    }
    TabController *tab() const { return main->window(); }

    void pullOut()
    {
        sim->unplug();
        ASSERT_TRUE(waitFor([&] { return !app()->getBHaveDevice(); }));
    }
    void putBack()
    {
        ASSERT_TRUE(sim->plug());
        ASSERT_TRUE(waitFor([&] { return app()->getBHaveDevice(); }));
    }

    // A click on a tab of the main window, then on one of its buttons.
    void clickOnTab(int index, QPushButton *button)
    {
        QTabBar *bar = tab()->tabView->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
        ASSERT_EQ(tab()->tabView->currentIndex(), index);
        QTest::mouseClick(button, Qt::LeftButton);
    }
    // Opens the modal window named objectName with a click on button (on that tab) and walks it;
    // it is closed by force when the walk did not close it, so that the test goes on to say so.
    void walkModal(int tabIndex, QPushButton *button, const QString &objectName, const std::function<void(QWidget *)> &walk)
    {
        ModalDriver modals;
        bool walked = false;
        modals.on(objectName, [&](QWidget *w) {
            walked = true;
            QPointer<QWidget> window(w);
            walk(w);
            if (window && window->isVisible()) {
                ADD_FAILURE() << objectName.toStdString() << " is still open";
                qobject_cast<QDialog *>(window.data())->reject();
            }
        });
        modals.otherwise([&](QWidget *w) {
            ADD_FAILURE() << "unexpected window " << w->objectName().toStdString();
            if (auto *d = qobject_cast<QDialog *>(w))
                d->reject();
        });
        clickOnTab(tabIndex, button);
        EXPECT_TRUE(walked) << objectName.toStdString() << " did not open";
        EXPECT_EQ(app()->objectToReceiveCommData(), tab()) << "the main window listens again";
    }

    // Real keys: the field's text selected and typed over.
    static void typeInto(QLineEdit *field, const QString &text)
    {
        field->setFocus();
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(field, text);
    }

    // The activity the main window starts, as the teacher picks it from the list.
    void chooseActivity(const QString &name)
    {
        QComboBox *activities = tab()->cboActivityMode;
        const int index = activities->findText(name);
        ASSERT_GE(index, 0) << name.toStdString();
        activities->setCurrentIndex(index);
        emit activities->activated(index);
    }
    // A run started from the main window over class 7B of three keypads and the file loaded.
    void startRun(const QString &file)
    {
        ASSERT_TRUE(addTeacherSubjectAndKeypadClass(QStringLiteral("7B"), 3));
        sim->addKeypads(1, 3);
        {
            ModalDriver prepare;
            prepare.on("ClassSet", [](QWidget *w) { w->findChild<QPushButton *>("buttonOk")->click(); });
            QTest::mouseClick(tab()->btnClassSet, Qt::LeftButton);
        }
        answers.answerFile(file);
        QTest::mouseClick(tab()->btnLoad, Qt::LeftButton);
        ASSERT_TRUE(tab()->bIsClassSetted() && tab()->bIsLoaded());
        QTest::mouseClick(tab()->btnStart, Qt::LeftButton);
    }
    QString questionFile(const QString &name)
    {
        ExamPaperInfo set;
        auto page = QuestionSetView::createTemplate(4, QSizeF(800, 600));
        page->getQuestionTitle()->textview()->setString(QStringLiteral("Which one?"));
        page->setNQuestionType(0);
        page->setStrAnswer(QStringLiteral("B"));
        page->setNOptionNum(4);
        page->setNQuestionTimeLimit(600);
        set.setArrayQuestionsInfo({page, page});
        set.setNExamPaperID(42);
        set.setStrExamPaperTitle(QStringLiteral("Quiz"));
        const QString path = home() + name;
        EXPECT_TRUE(set.writeToFile(path));
        return path;
    }
    // Exit, its question answered (F1 OK) and, for a run that asked questions, the save dialog's
    // OK: the run window goes (the session saved) and the main window is back.
    void leaveRun(QPushButton *exit, QWidget *runWindow, bool asked = true)
    {
        QPointer<QWidget> window(runWindow);
        ModalDriver save;
        save.on("SaveToData", [](QWidget *w) { w->findChild<QPushButton *>("buttonOK")->click(); });
        QTest::mouseClick(exit, Qt::LeftButton);
        EXPECT_TRUE(waitFor([&] { return window.isNull() || !window->isVisible(); }));
        EXPECT_TRUE(waitFor([&] { return tab()->isVisible(); }));
        EXPECT_EQ(tab()->txtSessionSaved->fullText().startsWith(QStringLiteral("Session saved to")), asked);
    }
    // The receiver that came back is told the running question, a keypad's answer through it
    // counts, and Stop stops the question.
    template <typename RunWindow>
    void answerAfterReplug(RunWindow *w)
    {
        const SimActivity told(*sim);
        EXPECT_TRUE(waitFor([&] { return told.runState() == 3; })) << "the question is told to the receiver back";
        sim->login(1, QStringLiteral("S001"));
        ASSERT_TRUE(waitFor([&] { return keypadsLoggedIn(sim, 1, 1); }));
        sim->answer(1, QStringLiteral("B"));
        EXPECT_TRUE(waitFor([&] {
            return QuizData::shareManager()->getStudentAnswer(1, sim->keypad(1).deviceNo) == QStringLiteral("B");
        })) << "the answer through the receiver that came back counts";
        QTest::mouseClick(w->btnStop, Qt::LeftButton);
        EXPECT_FALSE(w->bStartFlag());
    }

    // The run window Start opened, once it shows.
    template <typename RunWindow>
    static RunWindow *runWindow()
    {
        RunWindow *run = nullptr;
        ReceiverWindows::waitFor([&] {
            for (QWidget *top : QApplication::topLevelWidgets())
                if (auto *w = qobject_cast<RunWindow *>(top); w && w->isVisible())
                    run = w;
            return run != nullptr;
        });
        return run;
    }

    SimReceiver *sim = nullptr;
    std::unique_ptr<SimQuestionSet> questionSet;
    std::unique_ptr<MainwndController> main;
    DialogAnswers answers;
    QString typed; // what the teacher typed last, which the window must keep
};

class ReceiverPulledOut : public ReceiverWindows, public ::testing::WithParamInterface<WindowWalk>
{
};

const QString kChannelOk = QStringLiteral("Channel setup successful.");

template <typename W>
W *as(QWidget *w)
{
    auto *window = qobject_cast<W *>(w);
    EXPECT_TRUE(window) << "not the window walked: " << (w ? w->metaObject()->className() : "none");
    return window;
}

// A run started from the main window over a question file (the activity window) or an answer
// sheet (the run bar over the show): Start sends the question; once the receiver is back a
// keypad's answer counts, Stop stops, and Exit saves the session.
template <typename RunWindow>
WindowWalk runWalk(const std::string &name, const QString &file)
{
    return {name, Model::Dravel,
            [file](ReceiverWindows &t, const auto &walk) {
                ASSERT_TRUE(TovConfigXmlDatabase::sharedConfigUI()->updateSendQuestionState(0));
                ASSERT_NO_FATAL_FAILURE(t.startRun(t.questionFile(file)));
                RunWindow *run = t.runWindow<RunWindow>();
                ASSERT_TRUE(run);
                walk(run);
            },
            [](ReceiverWindows &, QWidget *w, bool out) {
                auto *r = as<RunWindow>(w);
                EXPECT_TRUE(ReceiverWindows::waitFor([&] { return r->receiverLost() == out; }));
                EXPECT_EQ(r->template findChild<QLabel *>(QStringLiteral("txtReceiverState"))->isVisibleTo(r), out);
            },
            [](ReceiverWindows &t, QWidget *w) {
                auto *r = as<RunWindow>(w);
                // A question starts once a student is in to answer it.
                t.sim->login(1, QStringLiteral("S001"));
                ASSERT_TRUE(ReceiverWindows::waitFor([&] { return ReceiverWindows::keypadsLoggedIn(t.sim, 1, 1); }));
                QTest::mouseClick(r->btnStart, Qt::LeftButton);
                EXPECT_TRUE(r->bStartFlag());
            },
            [](ReceiverWindows &t, QWidget *w) {
                auto *r = as<RunWindow>(w);
                t.answerAfterReplug(r);
                t.leaveRun(r->btnExit, r);
            }};
}

const QList<WindowWalk> &walks()
{
    static const QList<WindowWalk> list{
        {"SetChannel", Model::Dravel,
         [](ReceiverWindows &t, const auto &walk) {
             t.walkModal(3, t.tab()->btnChannelSet, QStringLiteral("SetChannel"), walk);
         },
         [](ReceiverWindows &t, QWidget *w, bool out) {
             auto *c = as<SetChannelCtrl>(w);
             // Out, the field holds what was typed, else nothing of the receiver gone; back, the
             // receiver's channel: 21, or the one typed and sent.
             const QString expected = !t.typed.isEmpty() ? t.typed : out ? QStringLiteral("0") : QStringLiteral("21");
             EXPECT_TRUE(ReceiverWindows::waitFor([&] { return c->channelNo->text() == expected; }))
                 << c->channelNo->text().toStdString() << " instead of " << expected.toStdString();
             EXPECT_TRUE(c->isVisible());
         },
         [](ReceiverWindows &t, QWidget *w) {
             auto *c = as<SetChannelCtrl>(w);
             t.typed = QStringLiteral("12");
             ReceiverWindows::typeInto(c->channelNo, t.typed);
             QTest::mouseClick(c->btnSend, Qt::LeftButton);
             EXPECT_TRUE(ReceiverWindows::waitFor([&] { return t.answers.alertTexts().count(kChannelOk) == 1; }));
             EXPECT_TRUE(t.waitIdle());
         },
         [](ReceiverWindows &t, QWidget *w) {
             auto *c = as<SetChannelCtrl>(w);
             t.typed = QStringLiteral("14");
             ReceiverWindows::typeInto(c->channelNo, t.typed);
             QTest::keyClick(c->channelNo, Qt::Key_Return);
             EXPECT_TRUE(ReceiverWindows::waitFor([&] { return t.answers.alertTexts().count(kChannelOk) == 2; }));
             EXPECT_EQ(t.sim->options().channel, 14);
             EXPECT_TRUE(t.waitIdle());
             QTest::mouseClick(c->btnClose, Qt::LeftButton);
         }},
        {"KeypadSettings", Model::Arvel,
         [](ReceiverWindows &t, const auto &walk) {
             t.walkModal(3, t.tab()->btnChannelSet, QStringLiteral("DeviceSettingCtrl"), [walk](QWidget *w) {
                 auto *d = as<DeviceSettingCtrl>(w);
                 QTabBar *bar = d->tabview->tabBar();
                 const auto choose = [bar](int page) { QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(page).center()); };
                 choose(d->channelPageIndex());
                 EXPECT_EQ(d->curState(), 2);
                 // The receiver's channel takes the keys selected: a digit typed replaces it.
                 // Chosen again, the page shows the receiver's channel over it.
                 ASSERT_TRUE(ReceiverWindows::waitFor([&] { return d->textChannelNo->text() == QStringLiteral("23"); }));
                 ASSERT_EQ(QApplication::focusWidget(), d->textChannelNo);
                 QTest::keyClick(d->textChannelNo, Qt::Key_5);
                 EXPECT_EQ(d->textChannelNo->text(), QStringLiteral("5"));
                 choose(0);
                 choose(d->channelPageIndex());
                 walk(w);
             });
         },
         [](ReceiverWindows &t, QWidget *w, bool out) {
             auto *d = as<DeviceSettingCtrl>(w);
             // Out, the fields keep what was typed (else 0); back, the receiver is asked again
             // and its own channel and band show.
             const QString channel = !out ? QStringLiteral("23") : !t.typed.isEmpty() ? t.typed : QStringLiteral("0");
             const QString band = !out ? QStringLiteral("1") : !t.typed.isEmpty() ? QStringLiteral("3") : QStringLiteral("0");
             EXPECT_TRUE(ReceiverWindows::waitFor([&] { return d->textChannelNo->text() == channel && d->textBand->text() == band; }))
                 << d->textChannelNo->text().toStdString() << " " << d->textBand->text().toStdString() << " instead of "
                 << channel.toStdString() << " " << band.toStdString();
         },
         [](ReceiverWindows &t, QWidget *w) {
             auto *d = as<DeviceSettingCtrl>(w);
             t.typed = QStringLiteral("7");
             ReceiverWindows::typeInto(d->textChannelNo, t.typed);
             ReceiverWindows::typeInto(d->textBand, QStringLiteral("3"));
         },
         [](ReceiverWindows &t, QWidget *w) {
             auto *d = as<DeviceSettingCtrl>(w);
             ReceiverWindows::typeInto(d->textChannelNo, t.typed);
             QTest::mouseClick(d->btnSetChannelNo, Qt::LeftButton);
             EXPECT_TRUE(ReceiverWindows::waitFor([&] { return t.answers.alertTexts().contains(kChannelOk); }));
             EXPECT_EQ(t.sim->options().channel, 7) << "the channel typed is the one set";
             QTest::mouseClick(d->btnClose, Qt::LeftButton);
         }},
        {"HardwareTest", Model::Dravel,
         [](ReceiverWindows &t, const auto &walk) {
             t.walkModal(3, t.tab()->btnHardware, QStringLiteral("HardwareTest"), walk);
         },
         [](ReceiverWindows &, QWidget *w, bool out) {
             auto *h = as<HardwareTestCtrl>(w);
             const QString shown = out ? QStringLiteral("No Host") : QStringLiteral("21");
             EXPECT_TRUE(ReceiverWindows::waitFor([&] { return h->teacherKey->text() == shown; }))
                 << h->teacherKey->text().toStdString();
         },
         [](ReceiverWindows &t, QWidget *w) {
             auto *h = as<HardwareTestCtrl>(w);
             SimSetup setup(*t.sim);
             setup.registerName(1, QStringLiteral("Ann"));
             EXPECT_TRUE(ReceiverWindows::waitFor([&] { return setup.registration(1).number == 1; }));
             EXPECT_EQ(h->keyValues().entryText(1), QStringLiteral("Ann"));
         },
         [](ReceiverWindows &t, QWidget *w) {
             auto *h = as<HardwareTestCtrl>(w);
             EXPECT_EQ(h->keyValues().entryText(1), QStringLiteral("Ann")) << "what the test showed stays";
             QTest::mouseClick(h->btnReset, Qt::LeftButton);
             SimSetup setup(*t.sim);
             setup.registerName(1, QStringLiteral("Bob"));
             EXPECT_TRUE(ReceiverWindows::waitFor([&] { return h->keyValues().entryText(1) == QStringLiteral("Bob"); }));
             t.sim->clearLogs();
             QTest::mouseClick(h->btnOK, Qt::LeftButton);
             EXPECT_TRUE(ReceiverWindows::waitFor([&] { return setup.pcState() == 1; })) << "the keypads leave the test";
         }},
        {"Version", Model::Dravel,
         [](ReceiverWindows &t, const auto &walk) {
             t.walkModal(3, t.tab()->btnVersion, QStringLiteral("VersionInfo"), walk);
         },
         [](ReceiverWindows &, QWidget *w, bool out) {
             auto *v = as<VersionInfoCtrl>(w);
             const QString shown = out ? QStringLiteral("No Host") : QStringLiteral("TovDravel Host V2.07");
             EXPECT_TRUE(ReceiverWindows::waitFor([&] { return v->textHostVersion->text() == shown; }))
                 << v->textHostVersion->text().toStdString();
         },
         [](ReceiverWindows &, QWidget *) {}, // the version is asked as the window opens
         [](ReceiverWindows &, QWidget *w) {
             auto *v = as<VersionInfoCtrl>(w);
             QTest::keyClick(v, Qt::Key_Return);
         }},
        {"ReceiveSession", Model::Dravel,
         [](ReceiverWindows &t, const auto &walk) {
             ASSERT_TRUE(addTeacherAndSubject());
             t.walkModal(2, t.tab()->btnSession, QStringLiteral("ReceiveReport"), walk);
         },
         [](ReceiverWindows &, QWidget *w, bool out) {
             auto *r = as<ReceiveReportController>(w);
             EXPECT_EQ(r->receiveView->toPlainText().contains(QStringLiteral("Receiver disconnected")), out);
         },
         [](ReceiverWindows &, QWidget *w) {
             auto *r = as<ReceiveReportController>(w);
             QTest::mouseClick(r->btnStart, Qt::LeftButton);
             EXPECT_EQ(r->btnStart->text(), QStringLiteral("Stop"));
         },
         [](ReceiverWindows &t, QWidget *w) {
             auto *r = as<ReceiveReportController>(w);
             SimTeacherSession::Recorded recorded;
             recorded.examID = 0x0102;
             recorded.examTitle = QStringLiteral("Unit 4");
             recorded.sessionID = 7;
             recorded.sessionName = QStringLiteral("Friday");
             recorded.className = QStringLiteral("7B");
             recorded.students = {{QStringLiteral("S001"), QStringLiteral("Kid1")}};
             recorded.present = {true};
             recorded.questions = {{0, 4, "B"}};
             recorded.answers.insert({1, 1}, QStringLiteral("B"));
             SimTeacherSession keypad(*t.sim, recorded, 150);
             keypad.start();
             EXPECT_TRUE(ReceiverWindows::waitFor([&] { return keypad.done() && r->btnSave->isEnabled(); }));
             QTest::mouseClick(r->btnSave, Qt::LeftButton);
             EXPECT_FALSE(r->savedPath().isEmpty());
             QTest::mouseClick(r->btnExit, Qt::LeftButton);
         }},
        runWalk<QuizStateWindowController>("ActivityWindow", QStringLiteral("quiz.px")),
        runWalk<PPTQuizStateWindowController>("SlideShowRun", QStringLiteral("sheet.sep")),
        {"SendQuestions", Model::Dravel,
         [](ReceiverWindows &t, const auto &walk) {
             ASSERT_TRUE(TovConfigXmlDatabase::sharedConfigUI()->updateSendQuestionState(0));
             SendQuestions::setTimingForTesting(quickSending());
             ASSERT_NO_FATAL_FAILURE(t.chooseActivity(QStringLiteral("Paper Quiz")));
             ASSERT_NO_FATAL_FAILURE(t.startRun(t.questionFile(QStringLiteral("quiz.px"))));
             QuizStateWindowController *run = t.runWindow<QuizStateWindowController>();
             ASSERT_TRUE(run);
             for (int id = 1; id <= 3; ++id)
                 t.sim->login(id, QStringLiteral("S00%1").arg(id));
             ASSERT_TRUE(ReceiverWindows::waitFor([&] { return ReceiverWindows::keypadsLoggedIn(t.sim, 1, 3); }));
             t.questionSet = std::make_unique<SimQuestionSet>(*t.sim, SimQuestionSet::Options{});
             ModalDriver modals;
             bool walked = false;
             modals.on(QStringLiteral("SendQuestions"), [&](QWidget *w) {
                 walked = true;
                 walk(w);
             });
             QTest::mouseClick(run->btnSendQuestions, Qt::LeftButton);
             EXPECT_TRUE(walked);
             t.leaveRun(run->btnExit, run, false);
         },
         [](ReceiverWindows &, QWidget *w, bool out) {
             auto *s = as<SendQuestions>(w);
             // Out while the set goes: said so; once it is over, the window says how it ended.
             if (out) {
                 EXPECT_TRUE(ReceiverWindows::waitFor([&] {
                     return s->statusText->text().startsWith(QStringLiteral("Receiver disconnected"))
                            || s->btnOK->text() == QStringLiteral("OK");
                 })) << s->statusText->text().toStdString();
             }
         },
         [](ReceiverWindows &, QWidget *) {}, // the set goes out as the window opens
         [](ReceiverWindows &t, QWidget *w) {
             auto *s = as<SendQuestions>(w);
             EXPECT_TRUE(ReceiverWindows::waitFor([&] { return s->btnOK->text() == QStringLiteral("OK"); }))
                 << s->statusText->text().toStdString();
             for (int id = 1; id <= 3; ++id)
                 EXPECT_TRUE(t.questionSet->hasWholeSet(id)) << id;
             QTest::mouseClick(s->btnOK, Qt::LeftButton);
         }},
        {"MainWindow", Model::Dravel,
         [](ReceiverWindows &t, const auto &walk) { walk(t.tab()); },
         [](ReceiverWindows &t, QWidget *w, bool out) {
             EXPECT_TRUE(w->windowTitle().contains(out ? QStringLiteral("No Host") : QStringLiteral("Connected")))
                 << w->windowTitle().toStdString();
             // Without a receiver the teacher may name the system; with one, the receiver names it.
             EXPECT_EQ(t.main->menuSelectSystem->isEnabled(), out);
             EXPECT_EQ(t.tab()->curDeviceType(), 3);
         },
         [](ReceiverWindows &t, QWidget *) {
             t.tab()->cboParticipationMode->setFocus();
             QTest::keyClick(t.tab()->cboParticipationMode, Qt::Key_Down);
             EXPECT_EQ(t.tab()->curParticipationMode(), 1);
         },
         [](ReceiverWindows &t, QWidget *w) {
             EXPECT_EQ(t.tab()->curParticipationMode(), 1) << "the choice stays";
             // The main window hears the keypads through the receiver that came back.
             t.sim->clearLogs();
             t.sim->addKeypad(2);
             t.sim->wakeUpReply(2);
             EXPECT_TRUE(ReceiverWindows::waitFor([&] { return !t.sim->framesFromProgram().isEmpty(); }));
             w->close();
         }},
    };
    return list;
}

} // namespace

TEST_P(ReceiverPulledOut, TheWindowStaysUsableBeforeAndAfterTheTeacherTypedOrSent)
{
    const WindowWalk &walk = GetParam();
    SimReceiver::Options o;
    o.channel = walk.model == Model::Arvel ? 23 : 21;
    o.band = 1;
    ASSERT_NO_FATAL_FAILURE(start(walk.model, o));
    bool walked = false;
    walk.open(*this, [&](QWidget *w) {
        walked = true;
        QPointer<QWidget> window(w);
        walk.shows(*this, w, false);
        for (bool typedOrSent : {false, true}) {
            if (typedOrSent)
                walk.typeOrSend(*this, w);
            ASSERT_NO_FATAL_FAILURE(pullOut());
            ASSERT_TRUE(window) << "the window went with the receiver";
            walk.shows(*this, w, true);
            ASSERT_NO_FATAL_FAILURE(putBack());
            walk.shows(*this, w, false);
        }
        walk.useAndClose(*this, w);
        EXPECT_TRUE(waitFor([&] { return window.isNull() || !window->isVisible(); })) << "closed by its own button";
    });
    EXPECT_TRUE(walked);
    if (walk.name != "MainWindow") {
        EXPECT_TRUE(tab()->isVisible());
    }
}

INSTANTIATE_TEST_SUITE_P(EveryWindowThatListensForTheReceiver, ReceiverPulledOut, ::testing::ValuesIn(walks()),
                         [](const ::testing::TestParamInfo<WindowWalk> &info) { return info.param.name; });

// The system choice is there while the receiver is out. Its driver notice tells the teacher to
// plug the receiver in; the receiver plugged in while the notice is up names the system, not the
// model chosen before it came, and the main window goes on with it.
TEST_F(ReceiverWindows, AReceiverPluggedInDuringTheSystemChoiceNamesTheSystem)
{
    QTemporaryDir noDrivers;
    UsbSerialDriver::setRootsForTesting(noDrivers.path() + "/sys", noDrivers.path() + "/modules");
    ASSERT_NO_FATAL_FAILURE(start(Model::Dravel));
    TabController::hooks().runSystemChoice = {}; // the real choice from here on
    ASSERT_NO_FATAL_FAILURE(pullOut());
    EXPECT_TRUE(tab()->windowTitle().contains(QStringLiteral("No Host")));
    ASSERT_TRUE(main->menuSelectSystem->isEnabled());

    QStringList notices;
    DialogHooks::setAlertResponder([&](const AlertRequest &r) {
        notices << r.text;
        putBack();
        return 0;
    });
    ModalDriver modals;
    modals.on(QStringLiteral("SelectASystem"), [](QWidget *w) {
        auto *choice = as<SelectASystem>(w);
        QTest::keyClick(choice->cboDeviceType, Qt::Key_Home); // Arvel
        ASSERT_EQ(SelectASystem::deviceTypeForIndex(choice->cboDeviceType->currentIndex()), 1);
        QTest::mouseClick(choice->btnOK, Qt::LeftButton);
    });
    main->menuSelectSystem->trigger();
    UsbSerialDriver::setRootsForTesting({}, {});
    ASSERT_EQ(notices.size(), 1);
    EXPECT_TRUE(notices.first().contains(QStringLiteral("cp210x")));
    EXPECT_EQ(modals.opened(), QStringList{QStringLiteral("SelectASystem")});

    EXPECT_TRUE(app()->getBHaveDevice());
    EXPECT_EQ(app()->currentDeviceType(), 3);
    EXPECT_EQ(tab()->curDeviceType(), 3);
    EXPECT_TRUE(tab()->windowTitle().contains(QStringLiteral("TovDravel Connected"))) << tab()->windowTitle().toStdString();
    EXPECT_FALSE(main->menuSelectSystem->isEnabled());
    EXPECT_TRUE(main->menuDravel->isChecked());
}

// In a Homework a keypad asks for the set and the teacher sends it; the receiver is out while the
// keypad is polled, so the whole set goes on the list again, and is put back. Once the keypad
// has every question, no pass of the set begins any more and the heading says it is done.
TEST_F(ReceiverWindows, SendQuestionsEndsOnceEveryKeypadHasTheSetAfterTheReceiverWasOut)
{
    ASSERT_NO_FATAL_FAILURE(start(Model::Dravel));
    QuestionSetSender::Timing timing = quickSending();
    timing.pollRounds = 2;  // a polling phase nobody answers ends soon
    timing.bigRounds = 100; // and the sending waits for the receiver to be found again
    SendQuestions::setTimingForTesting(timing);
    ASSERT_NO_FATAL_FAILURE(chooseActivity(QStringLiteral("Homework")));
    ASSERT_NO_FATAL_FAILURE(startRun(questionFile(QStringLiteral("quiz.px"))));
    auto *run = runWindow<QuizStateWindowController>();
    ASSERT_TRUE(run);
    sim->login(1, QStringLiteral("S001"));
    ASSERT_TRUE(waitFor([&] { return keypadsLoggedIn(sim, 1, 1); }));
    // The keypad's replies to the polls are held back until the receiver is out.
    questionSet = std::make_unique<SimQuestionSet>(*sim, SimQuestionSet::Options{0, 10 * kEventWaitMs});
    ModalDriver modals;
    modals.on(QStringLiteral("GetRequestQuesStus"),
              [](QWidget *w) { QTest::mouseClick(w->findChild<QPushButton *>(QStringLiteral("btnSend")), Qt::LeftButton); });
    int passes = -1; // resend passes begun when every keypad had the set
    modals.on(QStringLiteral("SendQuestions"), [&](QWidget *w) {
        auto *s = as<SendQuestions>(w);
        ASSERT_TRUE(waitFor([&] { return s->sender()->state() == QuestionSetSender::Poll; }));
        ASSERT_NO_FATAL_FAILURE(pullOut());
        ASSERT_TRUE(waitFor([&] { return s->sender()->bigCount() >= 1; }));
        questionSet->setReplyDelayMs(0);
        ASSERT_NO_FATAL_FAILURE(putBack());
        QString headings; // while the window says every keypad has the set
        EXPECT_TRUE(waitFor(
            [&] {
                if (const auto p = s->sender()->progress(); p.keypadsComplete == p.keypads && passes < 0)
                    passes = p.resendPass;
                if (s->keypadsText->text() == QStringLiteral("Keypads with every question: 1 of 1"))
                    headings += s->statusText->text();
                return s->btnOK->text() == QStringLiteral("OK");
            },
            60000));
        EXPECT_EQ(s->sender()->resendPasses(), passes) << "a pass begun after";
        EXPECT_FALSE(headings.contains(QStringLiteral("Sending again"))) << headings.toStdString();
        EXPECT_EQ(s->statusText->text(), QStringLiteral("Done: every keypad has all 2 questions."));
        QTest::mouseClick(s->btnOK, Qt::LeftButton);
    });
    sim->askForQuestion(1);
    EXPECT_TRUE(waitFor([&] { return passes >= 1 && QApplication::activeModalWidget() == nullptr; }));
    leaveRun(run->btnExit, run, false);
}

// Keypads of students not in the class are about: refused, they log in again at every wake,
// while the class's keypads answer it. The set goes out at once, to the class.
TEST_F(ReceiverWindows, SendQuestionsGoesToTheClassWhileKeypadsOfStudentsNotInItAreAbout)
{
    ASSERT_NO_FATAL_FAILURE(start(Model::Dravel));
    SendQuestions::setTimingForTesting(quickSending());
    ASSERT_NO_FATAL_FAILURE(chooseActivity(QStringLiteral("Paper Quiz")));
    // Keypads 4 to 8 carry students S004 to S008, whom class 7B of three does not hold.
    SimAutoPilot pilot(*sim, SimAutoPilot::Options::brisk(8, {}));
    pilot.start();
    ASSERT_NO_FATAL_FAILURE(startRun(questionFile(QStringLiteral("quiz.px"))));
    auto *run = runWindow<QuizStateWindowController>();
    ASSERT_TRUE(run);
    ASSERT_TRUE(waitFor([&] { return keypadsLoggedIn(sim, 1, 3) && sim->keypad(8).loginRefused; }));
    ModalDriver modals;
    bool done = false;
    modals.on(QStringLiteral("SendQuestions"), [&](QWidget *w) {
        auto *s = as<SendQuestions>(w);
        done = waitFor([&] { return s->btnOK->text() == QStringLiteral("OK"); }, 30000);
        EXPECT_EQ(s->statusText->text(), QStringLiteral("Done: every keypad has all 2 questions."));
        EXPECT_EQ(s->keypadsText->text(), QStringLiteral("Keypads with every question: 3 of 3"));
        QTest::mouseClick(s->btnOK, Qt::LeftButton);
    });
    QTest::mouseClick(run->btnSendQuestions, Qt::LeftButton);
    EXPECT_TRUE(done);
    EXPECT_GE(pilot.loginRounds(), 2) << "the keypads refused logged in again";
    leaveRun(run->btnExit, run, false);
}

#include "RunStandingFixture.h"

#include "core/presentation/MouseFunction.h"
#include "support/PointerClicks.h"
#include "ui/keypad/SendQuestions.h"
#include "ui/run/FreeStyleRun.h"

#include <QScrollArea>
#include <QTableWidget>

// What stands in front over a run, looked at under a real window manager with real keys and
// clicks: the list of students not in the class among the run's windows, whatever opens over the
// run in front of it, the show a teacher ended staying ended, and where the keys go after a click
// on the run.
// The students not in the class are one of the run's windows, over the activity window and over
// a deck alike: whatever opens over the run (the exit question, a result, Send Questions, the
// save) stands in front of their list with the keys, and the list stands in front of the run
// again once it has gone. Clicked and looked at under a real window manager.
TEST_F(RunStanding, UnderAWindowManagerNothingOverARunHidesBehindTheStudentsNotInTheClass)
{
    EXPECT_EQ(XvfbRun::run(QStringLiteral("RunStanding.OnX11WindowsOverARun*"), {QSize(1024, 768), true}), 0);
}

// Run on a private Xvfb by UnderAWindowManagerNothingOverARunHidesBehindTheStudentsNotInTheClass.
TEST_F(RunStanding, OnX11WindowsOverARunStandInFrontOfTheStudentsNotInTheClass)
{
    // The run's windows come up for real, the save dialog among them.
    SimReceiver *sim = onX11(2, Windows::Real);
    ASSERT_TRUE(sim);
    PPTQuizStateWindowController::hooks() = {};
    SendQuestions::installForRunWindows();
    const QString deck = home() + "Lesson.pptx";
    ASSERT_TRUE(SlideDecks::writeDeck({questionSlide("First", "Single Answer", "B", 10)}, deck));
    const QString file = questionFile({{0, QStringLiteral("B"), 10}});

    struct Case
    {
        bool overDeck;
        int mode;
        // What the teacher clicks, in turn (Start and Stop between them ask the question), and the
        // windows that open over the run, in order.
        QStringList clicks;
        QStringList opened;
    };
    const QList<Case> cases = {
        {false, Activity::NormalQuiz, {"btnExit", "btnResult", "btnExit"}, {"PollixAlert", "QuizResult", "PollixAlert", "SaveToData"}},
        {false, Activity::HomeWork, {"btnSendQuestions", "btnExit"}, {"SendQuestions", "PollixAlert"}},
        {true, Activity::NormalQuiz, {"btnExit", "btnResult", "btnExit"}, {"PollixAlert", "QuizResult", "PollixAlert", "SaveToData"}},
        {true, Activity::HomeWork, {"btnSendQuestions", "btnExit"}, {"SendQuestions", "PollixAlert"}},
    };
    for (const Case &c : cases) {
        const QString name = QStringLiteral("%1 %2").arg(ActivityRules::AllActivityMode().value(c.mode),
                                                         c.overDeck ? QStringLiteral("over a deck") : QStringLiteral("over the activity window"));
        SCOPED_TRACE(name.toStdString());
        QWidget *runWindow = openQuizOrHomework(c.overDeck, c.mode, deck, file);
        ASSERT_TRUE(runWindow);
        const auto control = [&](const QString &name) { return runWindow->findChild<QPushButton *>(name); };
        const auto list = [&]() -> QWidget * {
            return c.overDeck ? static_cast<QWidget *>(run->forceLoginController()) : window->forceLoginController();
        };
        // The list in front of the run: of the activity window, or of the show (else the backdrop).
        const auto listInFront = [&] {
            if (!c.overDeck)
                return WindowOnScreen::stackedAbove(list(), runWindow);
            SlideShowWindow *show = ppt->showWindow();
            return WindowOnScreen::stackedAbove(list(), run->backdrop())
                   && (!show || !show->isVisible() || WindowOnScreen::stackedAbove(list(), show));
        };
        ASSERT_TRUE(WindowOnScreen::settled(runWindow));
        // One student of the class in, so that Start asks the question.
        sim->login(0x0101, sid(1));
        ASSERT_TRUE(waitFor([&] { return keypadsLoggedIn(sim, 0x0101, 1); }));
        sim->login(0x0201, QStringLiteral("NEW1"), QStringLiteral("Ann"));
        ASSERT_TRUE(waitFor([&] { return list() && WindowOnScreen::settled(list()); }));
        ASSERT_TRUE(waitFor(listInFront)) << WindowOnScreen::describeStacking({runWindow, list()});

        // Each window that opens: what keeps it from standing in front of the list with the keys.
        QStringList seen;
        // The last Exit leaves (OK); those before it stay (Escape).
        QList<int> alertAnswers;
        for (qsizetype i = 0; i < c.clicks.size(); ++i)
            if (c.clicks[i] == QLatin1String("btnExit"))
                alertAnswers << (c.clicks.indexOf(QStringLiteral("btnExit"), i + 1) < 0 ? 0 : -1);
        const auto look = [&](QWidget *w) {
            std::string problem;
            if (!WindowOnScreen::settled(w))
                problem = "not on the screen";
            else if (!waitFor([&] { return WindowOnScreen::stackedAbove(w, list()); }))
                problem = "behind the list: " + WindowOnScreen::describeStacking({runWindow, list(), w});
            else if (!waitFor([&] { return WindowOnScreen::hasKeys(w->windowHandle()); }))
                problem = "without the keys";
            EXPECT_EQ(problem, "") << w->objectName().toStdString();
            seen << w->objectName();
            WindowOnScreen::shot(QStringLiteral("over-the-list-%1-%2").arg(seen.size()).arg(c.overDeck ? "deck" : "window"));
        };
        ModalDriver modals;
        modals.on("PollixAlert", [&](QWidget *w) {
            look(w);
            if (alertAnswers.value(0, 0) < 0)
                input().key(InputEventSink::Key::Escape);
            else
                static_cast<PollixAlert *>(w)->pressButton(0);
            alertAnswers.removeFirst();
        });
        modals.on("QuizResult", [&](QWidget *w) {
            look(w);
            static_cast<QDialog *>(w)->done(0);
        });
        modals.on("SendQuestions", [&](QWidget *w) {
            look(w);
            static_cast<QDialog *>(w)->done(0);
        });
        modals.on("SaveToData", [&](QWidget *w) {
            look(w);
            w->findChild<QPushButton *>(QStringLiteral("buttonOK"))->click();
        });
        for (const QString &click : c.clicks) {
            if (click == QLatin1String("btnResult")) {
                control("btnStart")->click();
                control("btnStop")->click();
            }
            const qsizetype before = seen.size();
            ASSERT_TRUE(clickUntil(input(), control(click), [&] { return seen.size() > before; }, 1000))
                << click.toStdString() << " took no click";
            ASSERT_TRUE(waitFor([&] { return !QApplication::activeModalWidget(); }));
            // The last click leaves the run, which goes a moment later.
            if (&click != &c.clicks.last()) {
                EXPECT_TRUE(waitFor(listInFront)) << "after " << click.toStdString() << ": "
                                                  << WindowOnScreen::describeStacking({runWindow, list()});
            }
        }
        ASSERT_TRUE(waitFor([&] { return c.overDeck ? run.isNull() : window.isNull(); }));
        EXPECT_EQ(seen.join(QStringLiteral(", ")).toStdString(), c.opened.join(QStringLiteral(", ")).toStdString());
        ppt->quitPPT();
    }
}

// The teacher who ended the show and then stays in the run (the exit question left by any of its
// ways back) finds the show still ended and the keys on the bar, whose next Escape asks again:
// only Start, Next or Previous bring the show back. Real keys and clicks under a window manager.
TEST_F(RunStanding, UnderAWindowManagerStayingInTheRunLeavesAnEndedShowEnded)
{
    EXPECT_EQ(XvfbRun::run(QStringLiteral("RunStanding.OnX11StayingInTheRun*"), {QSize(1024, 768), true}), 0);
}

// Run on a private Xvfb by UnderAWindowManagerStayingInTheRunLeavesAnEndedShowEnded.
TEST_F(RunStanding, OnX11StayingInTheRunKeepsAnEndedShowEndedAndTheKeysOnTheBar)
{
    SimReceiver *sim = onX11(2, Windows::RealAlerts);
    ASSERT_TRUE(sim);
    const auto click = [&](const QPoint &at) {
        input().moveTo(at);
        input().button(InputEventSink::Button::Left, true, at);
        input().button(InputEventSink::Button::Left, false, at);
    };
    // Each way back from the question, as the teacher takes it.
    const QList<std::pair<QString, std::function<void(PollixAlert *)>>> waysBack = {
        {"Cancel clicked",
         [&](PollixAlert *alert) {
             for (QAbstractButton *b : alert->buttons())
                 if (b->text().contains(QLatin1String("Cancel")))
                     click(b->mapToGlobal(b->rect().center()));
         }},
        {"Escape", [&](PollixAlert *) { input().key(InputEventSink::Key::Escape); }},
        {"F2", [&](PollixAlert *) { WindowOnScreen::pressKey("F2"); }},
        {"the close box", [&](PollixAlert *alert) { click(WindowOnScreen::closeBoxOf(alert)); }},
    };
    for (const int mode : {Activity::NormalQuiz, Activity::Elimination}) {
        SCOPED_TRACE(ActivityRules::AllActivityMode().value(mode).toStdString());
        const QString deck = home() + "Saved.pptx";
        ASSERT_TRUE(SlideDecks::writeDeck({questionSlide("First", "Single Answer", "B", 10), questionSlide("Second", "Single Answer", "C", 10)},
                                          deck));
        ASSERT_TRUE(ppt->openPPT(deck) && ppt->setPPT(1));
        openRun(mode, deck);
        ASSERT_TRUE(run && WindowOnScreen::settled(run));
        logIn(sim, 1);
        ASSERT_TRUE(waitFor([&] { return WindowOnScreen::hasKeys(ppt->showWindow()); }));
        bar("btnStart")->click();
        bar("btnStop")->click();
        ASSERT_TRUE(waitFor([&] { return WindowOnScreen::hasKeys(ppt->showWindow()); }));
        input().key(InputEventSink::Key::Escape);
        ASSERT_TRUE(waitFor([&] { return !ppt->isShowRunning() && WindowOnScreen::hasKeys(run->windowHandle()); }));

        // What went wrong after each way back; "" when the show stayed ended and the bar kept the keys.
        QStringList after;
        for (const auto &[way, leave] : waysBack) {
            int asked = 0;
            bool left = false;
            {
                ModalDriver modals;
                modals.on("PollixAlert", [&](QWidget *w) {
                    ++asked;
                    auto *alert = static_cast<PollixAlert *>(w);
                    if (!WindowOnScreen::settled(alert) || !waitFor([&] { return WindowOnScreen::hasKeys(alert->windowHandle()); })) {
                        alert->reject();
                        return;
                    }
                    WindowOnScreen::shot(QStringLiteral("exit-question-%1").arg(after.size()));
                    leave(alert);
                    left = waitFor([&] { return !alert->isVisible(); });
                    if (!left)
                        alert->reject();
                });
                input().key(InputEventSink::Key::Escape);
                waitFor([&] { return asked > 0 && !QApplication::activeModalWidget(); });
            }
            std::string problem;
            if (asked != 1)
                problem = "the bar's Escape did not ask";
            else if (!left)
                problem = "the question stayed";
            else if (!run)
                problem = "the run ended";
            else if (ppt->isShowRunning())
                problem = "the show came back";
            else if (!waitFor([&] { return WindowOnScreen::hasKeys(run->windowHandle()); }))
                problem = "the keys left the bar";
            after << way + QStringLiteral(": ") + QString::fromStdString(problem);
            ASSERT_TRUE(run);
            // Put back as it was for the next way: the show ended, the bar with the keys.
            if (ppt->isShowRunning()) {
                ASSERT_TRUE(waitFor([&] { return WindowOnScreen::hasKeys(ppt->showWindow()); }));
                input().key(InputEventSink::Key::Escape);
                ASSERT_TRUE(waitFor([&] { return !ppt->isShowRunning() && WindowOnScreen::hasKeys(run->windowHandle()); }));
            }
        }
        QStringList expected;
        for (const auto &way : waysBack)
            expected << way.first + QStringLiteral(": ");
        EXPECT_EQ(after.join(QStringLiteral("; ")).toStdString(), expected.join(QStringLiteral("; ")).toStdString());

        // Next brings the show back on its question; Exit, confirmed, leaves.
        ASSERT_TRUE(bar("btnNext")->isEnabled());
        bar("btnNext")->click();
        EXPECT_TRUE(ppt->isShowRunning()) << "Next brings the show back";
        ModalDriver leaving;
        leaving.on("PollixAlert", [](QWidget *alert) { static_cast<PollixAlert *>(alert)->pressButton(0); });
        ASSERT_TRUE(clickUntil(input(), bar("btnExit"), [&] { return run.isNull(); }, 1000));
        ppt->quitPPT();
    }
}

// The list of students not in the class stands beside what the teacher reads, never over it: the
// deck's title on the backdrop of a paper quiz, and the slide, fitted again whenever the list
// appears (here after a rush's winner box). Judged from the frames the X server has, on the
// screens schools project on.
TEST_F(RunStanding, UnderAWindowManagerTheStudentsNotInTheClassCoverNeitherTitleNorSlide)
{
    onSchoolScreens(QStringLiteral("RunStanding.OnX11TheStudentsNotInTheClassStandBeside*"));
}

// Run on a private Xvfb by UnderAWindowManagerTheStudentsNotInTheClassCoverNeitherTitleNorSlide.
TEST_F(RunStanding, OnX11TheStudentsNotInTheClassStandBesideTheTitleAndTheSlide)
{
    SimReceiver *sim = dravel(2);
    ASSERT_TRUE(sim);
    ActivityWindowOpener::install(); // the winner box
    const auto noWinnerBox = qScopeGuard([] { RushInfoShow::setFactory({}); });
    qputenv("POLLIX_SOFFICE", QByteArray("/nonexistent/soffice"));
    const QString pages = home() + "slides.pdf";
    ASSERT_TRUE(writeSlidePages(pages, 2));
    // The longest title the backdrop shows.
    const QString deck = home() + "Biology Unit Seven Review.pptx";
    ASSERT_TRUE(SlideDecks::writeDeck({questionSlide("First", "Single Answer", "B", 10), questionSlide("Second", "Single Answer", "C", 10)},
                                      deck));
    // What of the run's windows covers the part of the screen the teacher reads; "" when nothing.
    const auto coveredBy = [&](const QRect &read) -> std::string {
        if (read.isEmpty() || !QGuiApplication::primaryScreen()->geometry().contains(read))
            return "off the screen at " + where(read);
        QWidget *list = run->forceLoginController();
        for (QWidget *w : {list, static_cast<QWidget *>(run->studentStrip()), static_cast<QWidget *>(run.data())})
            if (w && w->isVisible() && WindowOnScreen::serverFrameOf(w).intersects(read))
                return w->objectName().toStdString() + " at " + where(WindowOnScreen::serverFrameOf(w)) + " covers " + where(read);
        return {};
    };
    // The title's text as the backdrop draws it, on the screen.
    const auto title = [&] {
        const QLabel *line = run->backdrop()->txtMessage;
        const QRect text = line->fontMetrics().boundingRect(line->contentsRect(), int(line->alignment()) | Qt::TextWordWrap, line->text());
        if (!line->isVisible() || !line->contentsRect().contains(text))
            return QRect();
        return text.translated(line->mapToGlobal(QPoint(0, 0)));
    };
    const auto slide = [&] {
        SlideShowWindow *show = ppt->showWindow();
        return show->pageRect().translated(show->geometry().topLeft());
    };

    for (const int mode : {Activity::PaperQuiz, Activity::RushQuiz}) {
        SCOPED_TRACE(ActivityRules::AllActivityMode().value(mode).toStdString());
        const bool onShow = mode != Activity::PaperQuiz;
        ASSERT_TRUE(openOverDeck(mode, deck, onShow));
        if (onShow) {
            ASSERT_TRUE(ppt->showWindow()->setPdf(pages));
            // The winner box comes and goes before the keypad logs in.
            std::unique_ptr<RushInfoShow> winner = RushInfoShow::create();
            winner->showWindow();
            ASSERT_TRUE(WindowOnScreen::settled(dynamic_cast<QWidget *>(winner.get())));
            winner->closeWindow();
        } else {
            ppt->quitPPT();
        }
        ASSERT_TRUE(WindowOnScreen::settled(run) && WindowOnScreen::settled(run->studentStrip()));
        sim->login(0x0201, QStringLiteral("NEW1"), QStringLiteral("Ann"));
        ASSERT_TRUE(waitFor([&] { return run->forceLoginController() && WindowOnScreen::settled(run->forceLoginController()); }));
        std::string covered;
        EXPECT_TRUE(waitFor([&] { return (covered = coveredBy(onShow ? slide() : title())).empty(); }))
            << (onShow ? "the slide: " : "the title: ") << covered;
        WindowOnScreen::shot(QStringLiteral("beside-the-list-%1").arg(mode));

        answers.answerAlert(0);
        run->findChild<QPushButton *>(QStringLiteral("btnExit"))->click();
        ASSERT_TRUE(waitFor([&] { return run.isNull(); }));
        ppt->quitPPT();
    }
}

// A show the teacher ended (its Escape) comes back with Start, Next or Previous only, each on its
// question; every other road of the run (a keypad logging in, the students not in the class,
// Stop, Result and Report and their teacher keys, the time and strip buttons, hiding the bar,
// reading aloud, a click on the bar) leaves it ended, the question where it was and the keys on
// the bar. Real keys and clicks under a window manager.
TEST_F(RunStanding, UnderAWindowManagerOnlyStartNextAndPreviousBringAnEndedShowBack)
{
    EXPECT_EQ(XvfbRun::run(QStringLiteral("RunStanding.OnX11AnEndedShowComesBack*"), {QSize(1024, 768), true}), 0);
}

// Run on a private Xvfb by UnderAWindowManagerOnlyStartNextAndPreviousBringAnEndedShowBack.
TEST_F(RunStanding, OnX11AnEndedShowComesBackOnlyWithStartNextOrPrevious)
{
    SimReceiver *sim = onX11(3, Windows::Real);
    ASSERT_TRUE(sim);
    const QString deck = home() + "Saved.pptx";
    ASSERT_TRUE(SlideDecks::writeDeck({questionSlide("First", "Single Answer", "B", 30), questionSlide("Second", "Single Answer", "C", 30),
                                       questionSlide("Third", "Single Answer", "D", 30)},
                                      deck));
    ASSERT_TRUE(ppt->openPPT(deck) && ppt->setPPT(1));
    openRun(Activity::NormalQuiz, deck);
    ASSERT_TRUE(run && WindowOnScreen::settled(run));
    SlideShowWindow *show = ppt->showWindow();
    ASSERT_TRUE(waitFor([&] { return WindowOnScreen::hasKeys(show); }));
    logIn(sim, 2);
    // Clicks that reach the bar itself, not one of its buttons.
    int barPresses = 0;
    EventCounter onBar(run, QEvent::MouseButtonPress, &barPresses);
    // The keypad's pointer, noted rather than moved: the real pointer is the test's own.
    auto keypadPointer = std::make_shared<PointerClicks>();
    MouseFunction::shareManager()->setSink(keypadPointer);
    const auto realPointer = qScopeGuard([] { MouseFunction::shareManager()->setSink(nullptr); });
    // The run's windows closed by the teacher's Escape as they come up.
    QStringList opened;
    int pointerAtClose = 0;
    ModalDriver modals;
    modals.otherwise([&](QWidget *w) {
        opened << w->objectName();
        if (WindowOnScreen::settled(w) && waitFor([&] { return WindowOnScreen::hasKeys(w->windowHandle()); }))
            input().key(InputEventSink::Key::Escape);
        if (!waitFor([&] { return !w->isVisible(); }, 2000))
            static_cast<QDialog *>(w)->reject();
        pointerAtClose = int(keypadPointer->clicks.size());
    });
    const auto clickOn = [&](const char *name, const std::function<bool()> &done) {
        QWidget *w = run->findChild<QWidget *>(QLatin1String(name));
        return w && clickUntil(input(), w, done, 1000);
    };
    // The show ended by its own Escape, the keys on the bar; where a road left the show on
    // without the keys, or the keys elsewhere, put so all the same for the next road.
    const auto endShow = [&] {
        if (ppt->isShowRunning()) {
            if (waitFor([&] { return WindowOnScreen::hasKeys(show); }, 2000))
                input().key(InputEventSink::Key::Escape);
            else
                ppt->setPPT(0);
        }
        ASSERT_TRUE(waitFor([&] { return !ppt->isShowRunning(); }));
        if (!waitFor([&] { return WindowOnScreen::hasKeys(run->windowHandle()); }, 2000))
            run->activateWindow();
        ASSERT_TRUE(waitFor([&] { return WindowOnScreen::hasKeys(run->windowHandle()); }));
    };
    // The second question has run, so that Result and Report serve it.
    ASSERT_TRUE(clickOn("btnNext", [&] { return run->nCurrentQuestionNo() == 1; }));
    ASSERT_TRUE(clickOn("btnStart", [&] { return run->bStartFlag(); }));
    ASSERT_TRUE(clickOn("btnStop", [&] { return !run->bStartFlag(); }));

    struct Road
    {
        QString name;
        int at;            // the question (from 0) on which the show was ended
        bool running;      // the question runs while the show is ended
        std::function<bool()> take; // the road, true once it has been taken
        int backOnSlide;   // 0: the show stays ended
    };
    const int timeBefore = run->txtQuizTime->text().toInt();
    const QList<Road> roads = {
        {"a keypad of the class logs in", 1, false,
         [&] {
             sim->login(0x0103, sid(3));
             return waitFor([&] { return run->studentStrip()->nLoginStudentSum() == 3; });
         }, 0},
        {"a keypad of a student not in the class logs in", 1, false,
         [&] {
             sim->login(0x0201, QStringLiteral("NEW1"), QStringLiteral("Maximiliana Wolkenstein-Rodenegg"));
             return waitFor([&] { return run->forceLoginController() && WindowOnScreen::settled(run->forceLoginController()); });
         }, 0},
        {"Stop clicked", 1, true, [&] { return clickOn("btnStop", [&] { return !run->bStartFlag(); }); }, 0},
        {"Result clicked", 1, false,
         [&] { return clickOn("btnResult", [&] { return opened.endsWith("QuizResult") && !QApplication::activeModalWidget(); }); }, 0},
        {"Report clicked", 1, false,
         [&] { return clickOn("btnReport", [&] { return opened.endsWith("QuizReport") && !QApplication::activeModalWidget(); }); }, 0},
        {"Result on the teacher keypad", 1, false,
         [&] {
             const qsizetype windows = opened.size();
             sim->pressTeacherKey(0x8D);
             // Closed, the keypad's pointer starts again from the bar's corner.
             return waitFor([&] { return opened.size() > windows && keypadPointer->clicks.size() > pointerAtClose; });
         }, 0},
        {"-5 clicked", 1, false, [&] { return clickOn("btnTimeUp", [&] { return run->txtQuizTime->text().toInt() == timeBefore - 5; }); }, 0},
        {"+5 clicked", 1, false, [&] { return clickOn("btnTimeDown", [&] { return run->txtQuizTime->text().toInt() == timeBefore; }); }, 0},
        {"the strip's button clicked", 1, false,
         [&] {
             const int before = run->nLoginViewState();
             return clickOn("btnUpHide", [&] { return run->nLoginViewState() != before; });
         }, 0},
        {"the bar hidden and brought back", 1, false,
         [&] {
             Show *button = run->findChild<Show *>();
             return clickOn("btnDownHide", [&] { return button->isVisible() && WindowOnScreen::settled(button); })
                    && clickUntil(input(), button, [&] { return !button->isVisible() && run->height() > 1; }, 1000);
         }, 0},
        {"Read aloud clicked", 1, false,
         [&] {
             return clickOn("btnSpeed", [&] {
                 auto *panel = run->findChild<QWidget *>(QStringLiteral("PlayMusic"));
                 return panel && WindowOnScreen::settled(panel);
             });
         }, 0},
        {"a click on the bar", 1, false,
         [&] {
             const int before = barPresses;
             return clickOn("txtMultipleModeString", [&] { return barPresses > before; });
         }, 0},
        {"Start clicked", 1, false, [&] { return clickOn("btnStart", [&] { return run->bStartFlag(); }); }, 2},
        {"Next clicked", 1, false, [&] { return clickOn("btnNext", [&] { return run->nCurrentQuestionNo() == 2; }); }, 3},
        {"Previous clicked", 2, false, [&] { return clickOn("btnPrevious", [&] { return run->nCurrentQuestionNo() == 1; }); }, 2},
    };

    // What each road did that the teacher would not expect; "" when nothing.
    QStringList after;
    for (const Road &road : roads) {
        SCOPED_TRACE(road.name.toStdString());
        // The show ended on the road's question, the question running or not.
        for (int steps = 0; run->nCurrentQuestionNo() != road.at && steps < 3; ++steps)
            bar(run->nCurrentQuestionNo() < road.at ? "btnNext" : "btnPrevious")->click();
        ASSERT_EQ(run->nCurrentQuestionNo(), road.at);
        if (road.running)
            bar("btnStart")->click();
        endShow();
        ASSERT_EQ(run->bStartFlag(), road.running);

        std::string problem;
        if (!road.take()) {
            problem = "the road was not taken";
        } else if (!road.backOnSlide) {
            if (ppt->isShowRunning())
                problem = "the show came back on slide " + std::to_string(show->slideIndex() + 1);
            else if (!waitFor([&] { return WindowOnScreen::hasKeys(run->windowHandle()); }))
                problem = "the keys left the bar";
        } else if (!ppt->isShowRunning()) {
            problem = "the show stayed ended";
        } else if (show->slideIndex() + 1 != road.backOnSlide) {
            problem = "the show came back on slide " + std::to_string(show->slideIndex() + 1);
        } else if (!waitFor([&] { return WindowOnScreen::hasKeys(show); })) {
            problem = "the show came back without the keys";
        }
        const int question = road.backOnSlide ? road.backOnSlide - 1 : road.at;
        if (problem.empty() && run->nCurrentQuestionNo() != question)
            problem = "the run went to question " + std::to_string(run->nCurrentQuestionNo() + 1);
        WindowOnScreen::shot(QStringLiteral("ended-show-%1").arg(after.size()));
        after << road.name + QStringLiteral(": ") + QString::fromStdString(problem);
        if (run->bStartFlag())
            bar("btnStop")->click();
    }
    QStringList expected;
    for (const Road &road : roads)
        expected << road.name + QStringLiteral(": ");
    EXPECT_EQ(after.join(QStringLiteral("\n")).toStdString(), expected.join(QStringLiteral("\n")).toStdString());

    modals.on("PollixAlert", [](QWidget *alert) { static_cast<PollixAlert *>(alert)->pressButton(0); });
    ASSERT_TRUE(clickOn("btnExit", [&] { return run.isNull(); }));
    ppt->quitPPT();
}

// Without a deck the list of students not in the class stands where it covers nothing the
// teacher reads over the run: neither the figures at the head of the activity window (question
// number, counts, the class), nor its bar (the time, the buttons), nor the student grid, whose
// column gives the list room; over a free-style strip at the foot of the screen, above it. Judged
// from the frames and places the X server has, on the screens schools project on, with long names.
TEST_F(RunStanding, UnderAWindowManagerTheStudentsNotInTheClassCoverNothingOfTheActivityWindow)
{
    onSchoolScreens(QStringLiteral("RunStanding.OnX11TheStudentsNotInTheClassStandClear*"));
}

// Run on a private Xvfb by UnderAWindowManagerTheStudentsNotInTheClassCoverNothingOfTheActivityWindow.
TEST_F(RunStanding, OnX11TheStudentsNotInTheClassStandClearOfTheActivityWindow)
{
    SimReceiver *sim = onX11(40);
    ASSERT_TRUE(sim);
    nameTheClassLong();
    const QString file = questionFile({{0, QStringLiteral("B"), 10}, {0, QStringLiteral("C"), 10}});
    const QStringList head = {"txtMultipleModeString", "txtMessage", "txtQuNoTitle", "txtQuNo", "txtPageAndTotalPageTitle", "txtPageAndTotalPage",
                              "txtLoginAndAnsweredTitle", "txtLoginAndAnswered", "txtHandRaiseTitle", "txtHandRaise", "txtDone",
                              "txtClassName", "txtReceiverState", "txtQuizTime"};

    struct Case
    {
        int mode;
        bool strip; // the free-style window down to a strip at the foot of the screen
    };
    for (const Case &c : {Case{Activity::NormalQuiz, false}, Case{Activity::HomeWork, false}, Case{Activity::Attendance, false},
                          Case{Activity::FreeNormalQuiz, true}}) {
        const QString name = ActivityRules::AllActivityMode().value(c.mode) + (c.strip ? QStringLiteral(" as a strip") : QString());
        SCOPED_TRACE(name.toStdString());
        ASSERT_TRUE(open(c.mode, 3, file));
        ASSERT_TRUE(WindowOnScreen::settled(window));
        ASSERT_TRUE(waitFor([&] { return !sim->framesFromProgram().isEmpty(); }));
        for (int i = 1; i <= 30; ++i)
            sim->login(0x0100 + i, sid(i));
        ASSERT_TRUE(waitFor([&] { return grid()->count() == 30 && keypadsLoggedIn(sim, 0x0101, 30); }));
        // A free-style run opens as a strip, the pages hidden.
        ASSERT_EQ(WindowOnScreen::serverFrameOf(window).height() < WindowOnScreen::area().height() / 2, c.strip);
        sim->login(0x0201, QStringLiteral("NEW1"), QStringLiteral("Maximiliana Wolkenstein-Rodenegg"));
        ASSERT_TRUE(waitFor([&] { return window->forceLoginController() && WindowOnScreen::settled(window->forceLoginController()); }));
        QWidget *list = window->forceLoginController();

        // What the list's frame meets of what the teacher reads; "" when nothing.
        const auto covered = [&]() -> std::string {
            const QRect frame = WindowOnScreen::serverFrameOf(list);
            if (!WindowOnScreen::area().contains(frame))
                return "the list is off the screen at " + where(frame);
            QList<std::pair<QString, QRect>> read;
            const auto readOn = [&](QWidget *w) {
                if (w && w->isVisible())
                    read << std::pair{w->objectName(), w->isWindow() ? WindowOnScreen::serverFrameOf(w) : WindowOnScreen::serverRectOf(w)};
            };
            for (const QString &name : head)
                readOn(window->findChild<QWidget *>(name));
            for (const QuizStateInterface::RunButton &row : QuizStateInterface::runButtons())
                readOn(window.data()->*row.outlet);
            // The grid where its tiles show.
            if (window->loginViewSV->isVisible())
                read << std::pair{QStringLiteral("the student grid"),
                                  WindowOnScreen::serverRectOf(window->loginViewSV->viewport()) & WindowOnScreen::serverRectOf(grid())};
            if (FreeStyleRun *freeStyle = window->freeStyle())
                readOn(freeStyle->pptStudentLoginView());
            for (const auto &[name, at] : read)
                if (frame.intersects(at))
                    return "the list at " + where(frame) + " covers " + name.toStdString() + " at " + where(at);
            return {};
        };
        std::string problem;
        EXPECT_TRUE(waitFor([&] { return (problem = covered()).empty(); })) << problem;
        WindowOnScreen::shot(QStringLiteral("list-over-the-activity-window-%1%2").arg(c.mode).arg(c.strip ? "-strip" : ""));

        answers.answerAlert(0);
        ASSERT_TRUE(closeBoxLeaves());
    }
}

// A click anywhere on a run acts as it does and then leaves the keys where Escape reaches the run:
// with the show on, Escape ends it; with the show ended, or without a deck, Escape asks "Are you
// sure to exit this Activity?". Clicked on a tile and on an empty spot of the student strip, on the
// list of students not in the class, on an empty part of the bar and on a greyed button of it (the
// bar's clicks many times over: the window manager's own answer to a click comes at its own
// time). Real clicks and keys under a window manager.
TEST_F(RunStanding, UnderAWindowManagerAClickAnywhereOnARunLeavesTheKeysWhereEscapeReachesIt)
{
    EXPECT_EQ(XvfbRun::run(QStringLiteral("RunStanding.OnX11AClickOnARunLeavesTheKeys*"), {QSize(1024, 768), true}), 0);
}

// Run on a private Xvfb by UnderAWindowManagerAClickAnywhereOnARunLeavesTheKeysWhereEscapeReachesIt.
TEST_F(RunStanding, OnX11AClickOnARunLeavesTheKeysWhereEscapeReachesTheRun)
{
    SimReceiver *sim = onX11(2, Windows::Real);
    ASSERT_TRUE(sim);
    const QString deck = home() + "Saved.pptx";
    ASSERT_TRUE(SlideDecks::writeDeck({questionSlide("First", "Single Answer", "B", 10), questionSlide("Second", "Single Answer", "C", 10)},
                                      deck));
    const QString file = questionFile({{0, QStringLiteral("B"), 10}, {0, QStringLiteral("C"), 10}});

    // The exit question: stayed in (its Escape), or, once leaving, left (its OK).
    int asked = 0;
    bool leaving = false;
    ModalDriver modals;
    modals.on("PollixAlert", [&](QWidget *w) {
        ++asked;
        if (leaving) {
            static_cast<PollixAlert *>(w)->pressButton(0);
            return;
        }
        if (WindowOnScreen::settled(w) && waitFor([&] { return WindowOnScreen::hasKeys(w->windowHandle()); }))
            input().key(InputEventSink::Key::Escape);
        if (!waitFor([&] { return !w->isVisible(); }, 2000))
            static_cast<QDialog *>(w)->reject();
    });
    // The window of the program that has the keys, by name, for a failure message.
    const auto keysAt = [] {
        const QWindow *focus = QGuiApplication::focusWindow();
        for (QWidget *w : QApplication::topLevelWidgets())
            if (focus && w->windowHandle() == focus)
                return w->objectName().toStdString();
        return std::string(focus ? "the show" : "no window of Pollix");
    };

    struct Target
    {
        QString name;
        std::function<QWidget *()> control; // clicked in its middle
        int times;
    };
    // What one click and the Escape after it did that the teacher would not expect; "" when
    // nothing. front: the window that holds the keys after the click; showOn: Escape ends the
    // show, else it asks to exit.
    const auto clickThenEscape = [&](const Target &t, const QWindow *front, bool showOn) -> std::string {
        QWidget *control = t.control();
        if (!control || !control->isVisible())
            return "nothing to click";
        // In front of the show brought back for the click before, as the teacher sees it.
        if (showOn && !waitFor([&] { return WindowOnScreen::stackedAbove(control->window(), ppt->showWindow()); }))
            return "behind the show: " + WindowOnScreen::describeStacking({control->window()});
        if (!clickOnce(input(), control))
            return "the click did not come";
        std::string problem;
        if (!waitFor([&] { return WindowOnScreen::hasKeys(front); }, 5000))
            problem = "the keys stayed on " + keysAt() + "; ";
        const int before = asked;
        input().key(InputEventSink::Key::Escape);
        if (showOn) {
            if (!waitFor([&] { return !ppt->isShowRunning() || asked > before; }, 5000))
                return problem + "Escape did nothing";
            if (asked > before)
                return problem + "Escape asked to exit instead of ending the show";
        } else {
            if (!waitFor([&] { return asked > before && !QApplication::activeModalWidget(); }, 5000))
                return problem + "Escape did not ask to exit";
            if (!waitFor([&] { return WindowOnScreen::hasKeys(front); }, 5000))
                return problem + "after the question the keys went to " + keysAt();
        }
        return problem;
    };
    QStringList after, expected;
    const auto note = [&](const QString &where, const Target &t, int time, const std::string &problem) {
        const QString road = QStringLiteral("%1, %2 (%3)").arg(where, t.name).arg(time + 1);
        after << road + QStringLiteral(": ") + QString::fromStdString(problem);
        expected << road + QStringLiteral(": ");
    };

    // Over a deck, the show on and then ended by its own Escape.
    ASSERT_TRUE(ppt->openPPT(deck) && ppt->setPPT(1));
    openRun(Activity::NormalQuiz, deck);
    ASSERT_TRUE(run && WindowOnScreen::settled(run));
    SlideShowWindow *show = ppt->showWindow();
    logIn(sim, 2);
    sim->login(0x0201, QStringLiteral("NEW1"), QStringLiteral("Maximiliana Wolkenstein-Rodenegg"));
    ASSERT_TRUE(waitFor([&] { return run->forceLoginController() && WindowOnScreen::settled(run->forceLoginController()); }));
    ASSERT_TRUE(waitFor([&] { return WindowOnScreen::hasKeys(show); })) << keysAt();
    PPTStudentLoginView *strip = run->studentStrip();
    const auto tile = [&]() -> QWidget * { return strip->studentLoginView->button(0); };
    // The grid's right end, where no tile stands with two students in (marked by a widget that
    // lets the clicks through).
    QPointer<QWidget> emptySpot = new QWidget(strip->LoginSV->viewport());
    emptySpot->setAttribute(Qt::WA_TransparentForMouseEvents);
    emptySpot->setGeometry(strip->LoginSV->viewport()->width() - 60, 0, 40, strip->LoginSV->viewport()->height());
    emptySpot->show();
    const auto emptyStrip = [&]() -> QWidget * { return emptySpot.data(); };
    const auto list = [&]() -> QWidget * { return run->forceLoginController()->tableView->viewport(); };
    const auto emptyBar = [&]() -> QWidget * { return run->txtMultipleModeString; };
    const auto greyed = [&]() -> QWidget * { return bar("btnStop")->isEnabled() ? nullptr : bar("btnStop"); };
    const QList<Target> onTheShow = {
        {"a tile of the strip", tile, 2},
        {"an empty spot of the strip", emptyStrip, 2},
        {"the list of students not in the class", list, 2},
        {"an empty part of the bar", emptyBar, 8},
        {"a greyed button of the bar", greyed, 8},
    };
    for (const Target &t : onTheShow) {
        for (int time = 0; time < t.times; ++time) {
            note(QStringLiteral("the show on"), t, time, clickThenEscape(t, show, true));
            // The show on again, with the keys (on the other question where it ended).
            if (ppt->isShowRunning())
                ppt->setPPT(-1);
            else
                bar(run->nCurrentQuestionNo() == 0 ? "btnNext" : "btnPrevious")->click();
            ASSERT_TRUE(waitFor([&] { return ppt->isShowRunning() && WindowOnScreen::hasKeys(show); })) << keysAt();
        }
    }
    // The show ended by its own Escape: the bar holds the keys.
    input().key(InputEventSink::Key::Escape);
    ASSERT_TRUE(waitFor([&] { return !ppt->isShowRunning() && WindowOnScreen::hasKeys(run->windowHandle()); })) << keysAt();
    const QList<Target> showEnded = {
        {"a tile of the strip", tile, 1},
        {"an empty spot of the strip", emptyStrip, 1},
        {"the list of students not in the class", list, 1},
        {"an empty part of the bar", emptyBar, 2},
    };
    for (const Target &t : showEnded) {
        for (int time = 0; time < t.times; ++time) {
            note(QStringLiteral("the show ended"), t, time, clickThenEscape(t, run->windowHandle(), false));
            if (!WindowOnScreen::hasKeys(run->windowHandle()))
                run->activateWindow();
            ASSERT_TRUE(waitFor([&] { return WindowOnScreen::hasKeys(run->windowHandle()); })) << keysAt();
            EXPECT_FALSE(ppt->isShowRunning()) << "the show came back";
        }
    }
    leaving = true;
    ASSERT_TRUE(clickUntil(input(), bar("btnExit"), [&] { return run.isNull(); }, 1000));
    ppt->quitPPT();

    // A hand raise over the deck: a tile still opens the marking, which takes the keys; once it
    // is closed (its Escape), the show has them again.
    leaving = false;
    QStringList marked;
    modals.on("HandRaiseMarking", [&](QWidget *w) {
        marked << (WindowOnScreen::settled(w) && waitFor([&] { return WindowOnScreen::hasKeys(w->windowHandle()); })
                       ? QStringLiteral("with the keys")
                       : QStringLiteral("without the keys (on %1)").arg(QString::fromStdString(keysAt())));
        input().key(InputEventSink::Key::Escape);
        if (!waitFor([&] { return !w->isVisible(); }, 2000))
            static_cast<QDialog *>(w)->reject();
    });
    ASSERT_TRUE(ppt->openPPT(deck) && ppt->setPPT(1));
    openRun(Activity::HandRaise, deck);
    ASSERT_TRUE(run && WindowOnScreen::settled(run));
    logIn(sim, 2);
    ASSERT_TRUE(waitFor([&] { return WindowOnScreen::hasKeys(ppt->showWindow()); })) << keysAt();
    const Target handRaiseTile{"a tile of the strip", [&]() -> QWidget * { return run->studentStrip()->studentLoginView->button(0); }, 1};
    note(QStringLiteral("a hand raise"), handRaiseTile, 0, clickThenEscape(handRaiseTile, ppt->showWindow(), true));
    EXPECT_EQ(marked.join(QStringLiteral(", ")).toStdString(), "with the keys") << "the marking opened by the tile";
    leaving = true;
    ASSERT_TRUE(clickUntil(input(), bar("btnExit"), [&] { return run.isNull(); }, 1000));
    ppt->quitPPT();

    // The activity window, without a deck.
    leaving = false;
    ASSERT_TRUE(open(Activity::NormalQuiz, 3, file));
    ASSERT_TRUE(WindowOnScreen::settled(window));
    ASSERT_TRUE(waitFor([&] { return !sim->framesFromProgram().isEmpty(); }));
    sim->login(0x0101, sid(1));
    sim->login(0x0201, QStringLiteral("NEW1"), QStringLiteral("Maximiliana Wolkenstein-Rodenegg"));
    ASSERT_TRUE(waitFor([&] { return window->forceLoginController() && WindowOnScreen::settled(window->forceLoginController()); }));
    ASSERT_TRUE(waitFor([&] { return grid()->count() == 1 && WindowOnScreen::hasKeys(window->windowHandle()); })) << keysAt();
    const QList<Target> activityWindow = {
        {"the list of students not in the class", [&]() -> QWidget * { return window->forceLoginController()->tableView->viewport(); }, 2},
        {"a tile of the grid", [&]() -> QWidget * { return grid()->button(0); }, 1},
    };
    for (const Target &t : activityWindow) {
        for (int time = 0; time < t.times; ++time) {
            note(QStringLiteral("the activity window"), t, time, clickThenEscape(t, window->windowHandle(), false));
            if (!WindowOnScreen::hasKeys(window->windowHandle()))
                window->activateWindow();
            ASSERT_TRUE(waitFor([&] { return WindowOnScreen::hasKeys(window->windowHandle()); })) << keysAt();
        }
    }
    leaving = true;
    ASSERT_TRUE(closeBoxLeaves());

    // A free-style run, the window down to a strip at the foot of the screen and its students in
    // the strip at the head of it.
    leaving = false;
    ASSERT_TRUE(open(Activity::FreeNormalQuiz, 3, file));
    FreeStyleRun *freeStyle = window->freeStyle();
    ASSERT_TRUE(freeStyle && WindowOnScreen::settled(window) && WindowOnScreen::settled(freeStyle->pptStudentLoginView()));
    sim->login(0x0101, sid(1));
    ASSERT_TRUE(waitFor([&] { return freeStyle->pptStudentLoginView()->studentLoginView->count() == 1; }));
    ASSERT_TRUE(waitFor([&] { return WindowOnScreen::hasKeys(window->windowHandle()); })) << keysAt();
    const Target freeStyleTile{"a tile of the strip", [&]() -> QWidget * { return freeStyle->pptStudentLoginView()->studentLoginView->button(0); }, 1};
    note(QStringLiteral("a free-style run"), freeStyleTile, 0, clickThenEscape(freeStyleTile, window->windowHandle(), false));

    EXPECT_EQ(after.join(QStringLiteral("\n")).toStdString(), expected.join(QStringLiteral("\n")).toStdString());
    leaving = true;
    ASSERT_TRUE(closeBoxLeaves());
}

// Escape while a question runs, when Exit is greyed: it answers as the close box does, with the
// alert that says to stop the question first, in front with the keys; the question runs on and
// the keys come back to the run. Once the question stops, Escape asks to exit as before. Over a
// deck (the show's own Escape first ends the show; the next reaches the bar) and on the activity
// window. Real keys under a window manager.
TEST_F(RunStanding, UnderAWindowManagerEscapeWhileAQuestionRunsSaysWhyTheRunStays)
{
    EXPECT_EQ(XvfbRun::run(QStringLiteral("RunStanding.OnX11EscapeWhileAQuestionRuns*"), {QSize(1024, 768), true}), 0);
}

// Run on a private Xvfb by UnderAWindowManagerEscapeWhileAQuestionRunsSaysWhyTheRunStays.
TEST_F(RunStanding, OnX11EscapeWhileAQuestionRunsSaysToStopItFirst)
{
    SimReceiver *sim = onX11(2, Windows::Real);
    ASSERT_TRUE(sim);
    const QString deck = twoQuestionDeck(QStringLiteral("Lesson.pptx"), 60);
    ASSERT_FALSE(deck.isEmpty());
    const QString file = questionFile({{0, QStringLiteral("B"), 60}, {0, QStringLiteral("C"), 60}});
    // It names what runs as the activity does: a homework runs the question set the keypads hold.
    const auto refusalIn = [](int mode) {
        return mode == Activity::HomeWork ? QStringLiteral("A question set is running. Stop it before closing this window.")
                                          : QStringLiteral("A question is running. Stop it before closing this window.");
    };

    // Every alert as the teacher met it; the refusal is answered by a real Return (its OK), the
    // exit question by OK only when leaving.
    QStringList said;
    ModalDriver modals;
    modals.on("PollixAlert", [&](QWidget *w) {
        auto *alert = static_cast<PollixAlert *>(w);
        QString seen = alert->informativeText();
        if (!WindowOnScreen::settled(w) || !waitFor([&] { return WindowOnScreen::hasKeys(w->windowHandle()); }))
            seen += QStringLiteral(" (without the keys)");
        said << seen;
        if (alert->informativeText() == refusalIn(Activity::NormalQuiz) || alert->informativeText() == refusalIn(Activity::HomeWork))
            input().key(InputEventSink::Key::Return);
        else
            alert->pressButton(0);
        if (!waitFor([&] { return !w->isVisible(); }, 2000))
            alert->reject();
    });

    struct Case
    {
        bool overDeck;
        int mode;
    };
    QStringList after, expected;
    for (const Case &c : {Case{true, Activity::NormalQuiz}, Case{true, Activity::HomeWork}, Case{false, Activity::NormalQuiz},
                          Case{false, Activity::HomeWork}}) {
        const QString name = QStringLiteral("%1 %2").arg(ActivityRules::AllActivityMode().value(c.mode),
                                                         c.overDeck ? QStringLiteral("over a deck") : QStringLiteral("on the activity window"));
        SCOPED_TRACE(name.toStdString());
        const bool onShow = c.overDeck && c.mode == Activity::NormalQuiz;
        QWidget *runWindow = openQuizOrHomework(c.overDeck, c.mode, deck, file);
        ASSERT_TRUE(runWindow && WindowOnScreen::settled(runWindow));
        const auto started = [&] { return c.overDeck ? run->bStartFlag() : window->bStartFlag(); };
        const auto control = [&](const char *name) { return runWindow->findChild<QPushButton *>(QLatin1String(name)); };
        ASSERT_TRUE(waitFor([&] { return !sim->framesFromProgram().isEmpty(); }));
        sim->login(0x0101, sid(1));
        ASSERT_TRUE(waitFor([&] { return keypadsLoggedIn(sim, 0x0101, 1); }));
        control("btnStart")->click();
        ASSERT_TRUE(waitFor(started));
        if (onShow) {
            ASSERT_TRUE(waitFor([&] { return WindowOnScreen::hasKeys(ppt->showWindow()); }));
            input().key(InputEventSink::Key::Escape);
            ASSERT_TRUE(waitFor([&] { return !ppt->isShowRunning(); }));
        }
        ASSERT_TRUE(waitFor([&] { return WindowOnScreen::hasKeys(runWindow->windowHandle()); }));
        ASSERT_FALSE(control("btnExit")->isEnabled());

        // What the teacher would not expect of Escape while the question runs; "" when nothing.
        std::string problem;
        const qsizetype before = said.size();
        input().key(InputEventSink::Key::Escape);
        if (!waitFor([&] { return said.size() > before && !QApplication::activeModalWidget(); }, 5000))
            problem = "Escape said nothing";
        else if (said.mid(before) != QStringList{refusalIn(c.mode)})
            problem = "Escape said: " + said.mid(before).join(QStringLiteral(" / ")).toStdString();
        else if (!started())
            problem = "the question stopped";
        else if (!waitFor([&] { return WindowOnScreen::hasKeys(runWindow->windowHandle()); }, 5000))
            problem = "the keys did not come back to the run";
        else if (c.overDeck && ppt->isShowRunning())
            problem = "the show came back";
        WindowOnScreen::shot(QStringLiteral("escape-while-running-%1%2").arg(c.mode).arg(c.overDeck ? "-deck" : ""));
        after << name + QStringLiteral(": ") + QString::fromStdString(problem);
        expected << name + QStringLiteral(": ");

        // Stopped, the question no longer holds the run: Escape asks to exit, and OK leaves.
        control("btnStop")->click();
        ASSERT_TRUE(waitFor([&] { return !started(); }));
        ASSERT_TRUE(waitFor([&] { return WindowOnScreen::hasKeys(runWindow->windowHandle()); }));
        const qsizetype beforeExit = said.size();
        input().key(InputEventSink::Key::Escape);
        EXPECT_TRUE(waitFor([&] { return c.overDeck ? run.isNull() : window.isNull(); }));
        // (The activity window's save question comes after it.)
        EXPECT_EQ(said.value(beforeExit).toStdString(), "Are you sure to exit this Activity?");
        if (c.overDeck ? !run.isNull() : !window.isNull()) {
            ASSERT_TRUE(clickUntil(input(), control("btnExit"), [&] { return c.overDeck ? run.isNull() : window.isNull(); }, 1000));
        }
        ppt->quitPPT();
    }
    EXPECT_EQ(after.join(QStringLiteral("\n")).toStdString(), expected.join(QStringLiteral("\n")).toStdString());
}

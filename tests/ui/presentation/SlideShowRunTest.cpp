#include "SlideShowRunFixture.h"

// The run over a slide show on a simulated Dravel receiver: the slide on show is the question,
// the teacher keypad steps the show and the run, and the run ends in the save with the deck's
// file name. Seconds run on the manual clock.

TEST_F(SlideShowRun, TheSlideOnShowIsTheQuestionAndTheTeacherKeypadStepsBoth)
{
    SimReceiver *sim = dravel(3);
    ASSERT_TRUE(sim);
    const QString deck = home() + "Lesson.pptx";
    ASSERT_TRUE(SlideDecks::writeDeck({questionSlide("First", "Single Answer", "B", 10),
                                       questionSlide("Notes", "Teaching Plan", "nocorrect", 10),
                                       questionSlide("Third", "Single Answer", "C", 20)},
                                      deck));
    ASSERT_TRUE(ppt->openPPT(deck));
    ASSERT_TRUE(ppt->setPPT(1));
    openRun(0, deck);
    ASSERT_TRUE(run);

    // The bar at the foot of the screen, the strip at its head, the backdrop behind the show.
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(run->geometry().bottom(), screen.bottom());
    EXPECT_EQ(run->studentStrip()->geometry().top(), screen.top());
    ASSERT_TRUE(run->backdrop());
    EXPECT_TRUE(run->backdrop()->isVisible());
    EXPECT_EQ(QuizQuestions::shareManager()->count(), 3);
    EXPECT_EQ(field("txtPageAndTotalPage"), "1/3");
    EXPECT_TRUE(bar("btnNext")->isEnabled());
    EXPECT_FALSE(bar("btnPrevious")->isEnabled());
    logIn(sim, 3);
    EXPECT_EQ(field("txtLoginAndAnswered"), "0 / 3");

    // Start from the keypad: two seconds of lead-in, then one a second.
    sim->pressTeacherKey(0x8A);
    ASSERT_TRUE(waitFor([&] { return run->bStartFlag(); }));
    EXPECT_EQ(field("txtQuizTime"), "10");
    seconds(2);
    EXPECT_EQ(field("txtQuizTime"), "10");
    seconds(1);
    EXPECT_EQ(field("txtQuizTime"), "9");
    sim->answer(0x0101, "B");
    sim->answer(0x0102, "A");
    ASSERT_TRUE(waitFor([&] { return field("txtLoginAndAnswered") == "2 / 3"; }));
    // The teacher steps the show by its own keys meanwhile: the question that runs stays the one stopped.
    ppt->setPPT(3);
    sim->pressTeacherKey(0x86); // Next is off while a question runs
    sim->pressTeacherKey(0x8B);
    ASSERT_TRUE(waitFor([&] { return !run->bStartFlag(); }));
    EXPECT_EQ(ppt->showWindow()->slideIndex(), 1) << "the show stays where the teacher put it";
    EXPECT_EQ(QuizData::shareManager()->arrayAlreadyTestQuestionNo(), QList<int>{1});
    EXPECT_EQ(QuizData::shareManager()->getStudentAnswer(1, QuizParticipantData::shareManager()->isStudentLogin(sid(1))), "B");
    EXPECT_EQ(field("txtDone"), "Done");

    // Result from the keypad: the question that ran, in a window of its own.
    sim->pressTeacherKey(0x8D);
    ASSERT_TRUE(waitFor([&] { return childWindows.size() == 1; }));
    EXPECT_EQ(app()->objectToReceiveCommData(), run.data());

    // Next from the keypad moves the show on from where it is, and the run with it.
    sim->pressTeacherKey(0x86);
    ASSERT_TRUE(waitFor([&] { return run->nCurrentQuestionNo() == 2; }));
    EXPECT_EQ(ppt->showWindow()->slideIndex(), 2);
    EXPECT_EQ(field("txtPageAndTotalPage"), "3/3");
    EXPECT_EQ(field("txtQuNo"), "2") << "the teaching plan is no question";
    EXPECT_EQ(field("txtQuizTime"), "20");
    // Back to the teaching plan: it cannot start.
    bar("btnPrevious")->click();
    EXPECT_EQ(run->nCurrentQuestionNo(), 1);
    bar("btnStart")->click();
    ASSERT_FALSE(answers.alerts().isEmpty());
    EXPECT_EQ(answers.alerts().last().informativeText, "Currently in the teaching plan mode, cannot start testing");
    EXPECT_FALSE(run->bStartFlag());
    EXPECT_FALSE(bar("btnStart")->isChecked());

    // The strip key: too few students for a large strip, so small, then normal.
    sim->pressTeacherKey(0x81);
    ASSERT_TRUE(waitFor([&] { return run->nLoginViewState() == 1; }));
    EXPECT_EQ(run->studentStrip()->height(), 20);
    sim->pressTeacherKey(0x81);
    ASSERT_TRUE(waitFor([&] { return run->nLoginViewState() == 0; }));

    // The last question, then Exit: F2 stays, F1 leaves, closes the deck and saves the run.
    bar("btnNext")->click();
    bar("btnStart")->click();
    ASSERT_TRUE(run->bStartFlag());
    sim->answer(0x0103, "C");
    ASSERT_TRUE(waitFor([&] { return field("txtLoginAndAnswered") == "1 / 3"; }));
    bar("btnStop")->click();
    EXPECT_EQ(field("txtDone"), "All Done");
    answers.answerAlert(1);
    bar("btnExit")->click();
    EXPECT_TRUE(run->isVisible());
    answers.answerAlert(0);
    bar("btnExit")->click();
    ASSERT_TRUE(waitFor([&] { return run.isNull(); }));
    EXPECT_EQ(saved, QStringList{"Lesson.pptx"});
    EXPECT_EQ(savedMode, 0);
    EXPECT_FALSE(ppt->hasPresentation());
    EXPECT_EQ(app()->objectToReceiveCommData(), nullptr);
}

TEST_F(SlideShowRun, AnAnswerSheetRunsWithoutShowOrBackdrop)
{
    ASSERT_TRUE(dravel(2));
    const QString sheet = questionFile({{0, "B", 10}, {5, "A", 15}}, "sheet.sep");
    openRun(0, sheet);
    ASSERT_TRUE(run);
    EXPECT_TRUE(run->bIsAnsSheet());
    EXPECT_EQ(run->backdrop(), nullptr);
    EXPECT_FALSE(ppt->isShowRunning());
    EXPECT_EQ(QuizQuestions::shareManager()->nTestID(), 42);
    EXPECT_EQ(QuizQuestions::shareManager()->answer(2), "True");
    bar("btnNext")->click();
    EXPECT_EQ(run->nCurrentQuestionNo(), 1);
    EXPECT_EQ(field("txtQuizTime"), "15");
    EXPECT_FALSE(bar("btnNext")->isEnabled());
    EXPECT_FALSE(ppt->isShowRunning());
}

TEST_F(SlideShowRun, ExitHandsTheScreenBackAndTheDeckButtonsFollowOnlyForADeck)
{
    ASSERT_TRUE(dravel(2));
    const QString deck = home() + "Lesson.pptx";
    ASSERT_TRUE(SlideDecks::writeDeck({questionSlide("First", "Single Answer", "B", 10)}, deck));
    ASSERT_TRUE(ppt->openPPT(deck) && ppt->setPPT(1));
    OpeningWindow father;
    openRun(0, deck);
    ASSERT_TRUE(run);
    run->setFather(&father);
    answers.answerAlert(0);
    bar("btnExit")->click();
    ASSERT_TRUE(waitFor([&] { return run.isNull(); }));
    EXPECT_FALSE(ppt->hasPresentation());
    EXPECT_EQ(father.states, QList<int>{0});
    EXPECT_TRUE(father.isVisible());
    EXPECT_EQ(app()->objectToReceiveCommData(), &father);

    // An answer sheet leaves the presentation buttons as they are.
    OpeningWindow sheetFather;
    openRun(0, questionFile({{0, "B", 10}}, "sheet.sep"));
    ASSERT_TRUE(run);
    run->setFather(&sheetFather);
    answers.answerAlert(0);
    bar("btnExit")->click();
    ASSERT_TRUE(waitFor([&] { return run.isNull(); }));
    EXPECT_TRUE(sheetFather.states.isEmpty());
    EXPECT_TRUE(sheetFather.isVisible());
}

// A deck given its exam ID as its run starts, whose file cannot take it as the run ends (its show
// on, or ended by the show's own Escape): the run ends all the same, and the deck stays open with
// the ID, its show over, for the main window's Save.
TEST_F(SlideShowRun, ADeckThatCannotBeSavedAsTheRunEndsStaysOpenWithItsExamId)
{
    ASSERT_TRUE(dravel(2));
    const QString deck = home() + "Lesson.pptx";
    for (const bool escaped : {false, true}) {
        SCOPED_TRACE(escaped ? "show escaped" : "show on");
        ASSERT_TRUE(SlideDecks::writeDeck({questionSlide("First", "Single Answer", "B", 10)}, deck));
        ASSERT_TRUE(ppt->openPPT(deck) && ppt->setPPT(1));
        const QByteArray before = readFile(deck);
        // As the main window's Start does, when the deck holds no exam ID yet.
        bool changed = false;
        ASSERT_TRUE(QuestionSlideFormat::applyExamIdRule(*ppt, &changed));
        ASSERT_TRUE(changed && ppt->isModified());
        openRun(0, deck);
        ASSERT_TRUE(run);
        if (escaped) {
            QTest::keyClick(ppt->showWindow(), Qt::Key_Escape);
            ASSERT_FALSE(ppt->isShowRunning());
        }
        AtomicFile::setFailureHook([&](const QString &path) { return path == deck; });
        const auto unhook = qScopeGuard([] { AtomicFile::setFailureHook({}); });
        {
            // The alerts as they come up: the exit question waits for its OK, the failure does
            // not hold the run's end up (a notice, over no show).
            RealAlerts real;
            real.click(0);
            bar("btnExit")->click();
            ASSERT_TRUE(waitFor([&] { return run.isNull(); }));
            EXPECT_EQ(real.seen().size(), 1) << real.seen().join(" / ").toStdString();
            PollixAlert *notice = nullptr;
            ASSERT_TRUE(waitFor([&] {
                for (QWidget *w : QApplication::topLevelWidgets())
                    if (auto *alert = qobject_cast<PollixAlert *>(w); alert && alert->isVisible())
                        notice = alert;
                return notice != nullptr;
            }));
            EXPECT_EQ(notice->text(), "The presentation could not be saved.");
            EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
            QTest::mouseClick(notice->findChild<QPushButton *>("alertButton0"), Qt::LeftButton);
        }
        EXPECT_TRUE(ppt->hasPresentation() && ppt->isModified());
        EXPECT_FALSE(ppt->isShowRunning());
        EXPECT_EQ(readFile(deck), before);

        AtomicFile::setFailureHook({});
        QString why;
        ASSERT_EQ(ppt->savePPT(&why), PPTEditor::SaveResult::Saved) << why.toStdString();
        EXPECT_NE(readFile(deck), before);
        ppt->quitPPT();
    }
}

// Escape and the close box are the bar's Exit: its question, and on OK the receiver and the
// keypads are told as Exit tells them (the teacher left, then the logout wake frame).
TEST_F(SlideShowRun, EscapeAndTheCloseBoxAskAsExitAndLeaveAsExitDoes)
{
    SimReceiver *sim = twoQuestionRunLoggedIn("Lesson.pptx");
    ASSERT_TRUE(sim);

    answers.answerAlert(1); // F2: the teacher stays
    run->activateWindow();
    QTest::keyClick(run, Qt::Key_Escape);
    answers.answerAlert(1);
    EXPECT_FALSE(run->close());
    QCoreApplication::processEvents();
    ASSERT_TRUE(run);
    EXPECT_TRUE(run->isVisible());
    ASSERT_EQ(answers.alerts().size(), 2);
    for (const AlertRequest &asked : answers.alerts())
        EXPECT_EQ(asked.informativeText, "Are you sure to exit this Activity?");
    EXPECT_TRUE(ppt->isShowRunning());

    sim->clearLogs();
    answers.answerAlert(0);
    EXPECT_FALSE(run->close());
    ASSERT_TRUE(waitFor([&] { return run.isNull(); }));
    EXPECT_FALSE(ppt->hasPresentation());
    // The teacher left (receive state E3), then the logout wake frame.
    const auto toldInOrder = [sim] {
        const QList<QByteArray> sent = programFrames(sim);
        qsizetype left = -1;
        for (qsizetype i = 0; i < sent.size(); ++i) {
            if (left < 0 && sent[i].size() >= 4 && quint8(sent[i][0]) == 0xF3 && quint8(sent[i][3]) == 0xE3)
                left = i;
            else if (left >= 0 && sent[i].startsWith(QByteArray::fromHex("F400C001")))
                return true;
        }
        return false;
    };
    EXPECT_TRUE(waitFor(toldInOrder)) << programFrames(sim).size();
}

// The show's own ways out during a run, its Escape and the window system's close (Alt+F4), end
// the show and nothing else: the show keeps its native window (the bar and the strip are its
// transients), the run goes on with its bar and strip, and the next step brings the show back.
TEST_F(SlideShowRun, TheShowsEscapeAndCloseEndOnlyTheShow)
{
    SimReceiver *sim = twoQuestionRunLoggedIn("Lesson.pptx");
    ASSERT_TRUE(sim);
    SlideShowWindow *show = ppt->showWindow();
    for (const bool byClose : {true, false}) {
        const QPlatformWindow *native = show->handle();
        ASSERT_TRUE(native && show->isVisible());
        if (byClose) {
            QCloseEvent close;
            QSpontaneKeyEvent::setSpontaneous(&close); // as the window system sends it
            qApp->notify(show, &close);
            EXPECT_FALSE(close.isAccepted());
        } else {
            QTest::keyClick(show, Qt::Key_Escape);
        }
        EXPECT_FALSE(ppt->isShowRunning());
        EXPECT_FALSE(show->isVisible());
        EXPECT_EQ(show->handle(), native) << "the show's window was destroyed";
        ASSERT_TRUE(run);
        EXPECT_TRUE(run->isVisible());
        EXPECT_TRUE(run->studentStrip()->isVisible());
        EXPECT_TRUE(answers.alerts().isEmpty()) << answers.alertTexts().join(';').toStdString();
        bar("btnStart")->click();
        ASSERT_TRUE(run->bStartFlag());
        EXPECT_TRUE(ppt->isShowRunning()) << "Start brings the show back on its question";
        EXPECT_TRUE(show->isVisible());
        bar("btnStop")->click();
    }
    // The application's own close of the window (its quit) is no presenter's: it closes.
    QCloseEvent quitting;
    QCoreApplication::sendEvent(show, &quitting);
    EXPECT_TRUE(quitting.isAccepted());
}

TEST_F(SlideShowRun, APaperQuizTakesTheSlidesButNotTheShow)
{
    ASSERT_TRUE(dravel(2));
    const QString deck = home() + "Biology Unit Seven Review.pptx";
    ASSERT_TRUE(SlideDecks::writeDeck({questionSlide("First", "Single Answer", "B", 10),
                                       questionSlide("Notes", "Teaching Plan", "nocorrect", 10),
                                       questionSlide("Third", "Single Answer", "C", 20)},
                                      deck));
    ASSERT_TRUE(ppt->openPPT(deck));
    openRun(1, deck);
    ASSERT_TRUE(run);
    EXPECT_FALSE(ppt->isShowRunning()) << "the keypads hold the set";
    EXPECT_EQ(QuizQuestions::shareManager()->count(), 2) << "no teaching plan in a paper quiz";
    EXPECT_EQ(field("txtQuizTime"), "30");
    ASSERT_TRUE(run->backdrop());
    EXPECT_EQ(run->backdrop()->txtMessage->text(), "ID:42     Title:Biology Unit Seven R...");
    EXPECT_FALSE(bar("btnNext")->isEnabled());
    EXPECT_FALSE(bar("btnUpHide")->isEnabled());
}

TEST_F(SlideShowRun, AQuestionWhoseWakeReplyIsLostStillReachesTheKeypads)
{
    SimReceiver *sim = dravel(2);
    ASSERT_TRUE(sim);
    const QString deck = home() + "Lesson.pptx";
    ASSERT_TRUE(SlideDecks::writeDeck({questionSlide("First", "Single Answer", "B", 10)}, deck));
    ASSERT_TRUE(ppt->openPPT(deck));
    ASSERT_TRUE(ppt->setPPT(1));
    openRun(0, deck);
    ASSERT_TRUE(run);
    logIn(sim, 2);

    sim->clearLogs();
    const SimActivity told(*sim);
    sim->pressTeacherKey(0x8A);
    ASSERT_TRUE(waitFor([&] { return run->bStartFlag() && told.wakeFrames() == 1; }));
    sim->dropNextFrames(1);
    sim->wakeUpReply(0x0101);
    ASSERT_TRUE(waitFor([&] { return !sim->framesToProgram().isEmpty() && sim->framesToProgram().last().dropped; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(told.runState(), -1);
    seconds(1);
    EXPECT_TRUE(waitFor([&] { return told.wakeFrames() == 2; })) << "the wake frame goes out again";
    seconds(2);
    ASSERT_TRUE(waitFor([&] { return told.runState() == 3 && told.runQuestionNo() == 1; }))
        << "the question is announced without the lost reply";

    sim->answer(0x0101, "B");
    sim->answer(0x0102, "A");
    ASSERT_TRUE(waitFor([&] { return field("txtLoginAndAnswered") == "2 / 2"; }));
    sim->pressTeacherKey(0x8B);
    ASSERT_TRUE(waitFor([&] { return !run->bStartFlag(); }));
    EXPECT_EQ(QuizData::shareManager()->getStudentAnswer(1, QuizParticipantData::shareManager()->isStudentLogin(sid(2))), "A");
}

// The slide is drawn whole in the room the strip and the bar leave, and again when the teacher's
// strip key changes the strip or the students-not-in-the-class window stands at the side.
TEST_F(SlideShowRun, EverySlideStandsWholeBetweenTheStripAndTheBar)
{
    SimReceiver *sim = dravel(3);
    ASSERT_TRUE(sim);
    // The pages are the test's own: no office program converts the deck meanwhile.
    qputenv("POLLIX_SOFFICE", QByteArray("/nonexistent/soffice"));
    const auto restore = qScopeGuard([] { qunsetenv("POLLIX_SOFFICE"); });
    SlideShowWindow *show = openTwoQuestionRun("Slides.pptx");
    ASSERT_TRUE(show);
    const QString pages = home() + "slides.pdf";
    ASSERT_TRUE(writeSlidePages(pages, 2));
    ASSERT_TRUE(show->setPdf(pages));
    const QRect screen = QGuiApplication::primaryScreen()->geometry();

    // The page on the screen: inside the free room, as large as the room allows, and the picture
    // drawn is that size.
    const auto expectWhole = [&](const QString &when, int right) -> QRect {
        QCoreApplication::processEvents();
        const QRect page = show->pageRect().translated(show->geometry().topLeft());
        const int top = run->studentStrip()->geometry().bottom() + 1;
        const int bottom = run->geometry().top();
        EXPECT_FALSE(page.isEmpty()) << when.toStdString();
        EXPECT_GE(page.top(), top) << when.toStdString();
        EXPECT_LE(page.bottom(), bottom - 1) << when.toStdString();
        EXPECT_GE(page.left(), screen.left()) << when.toStdString();
        EXPECT_LE(page.right(), right) << when.toStdString();
        EXPECT_TRUE(page.height() >= bottom - top - 1 || page.width() >= right - screen.left()) << when.toStdString();
        EXPECT_EQ(show->currentPage().size(), page.size()) << when.toStdString();
        return page;
    };
    const QRect normal = expectWhole("normal strip", screen.right());
    EXPECT_EQ(run->studentStrip()->height(), 125);

    // The strip key: small, then normal again; the page grows into the room and back.
    sim->pressTeacherKey(0x81);
    ASSERT_TRUE(waitFor([&] { return run->nLoginViewState() == 1; }));
    const QRect small = expectWhole("small strip", screen.right());
    EXPECT_GT(small.height(), normal.height());
    sim->pressTeacherKey(0x81);
    ASSERT_TRUE(waitFor([&] { return run->nLoginViewState() == 0; }));
    EXPECT_EQ(expectWhole("normal again", screen.right()), normal);

    // A keypad the class does not know: its window stands beside the slide, between strip and bar.
    sim->login(0x0201, QStringLiteral("NEW1"), QStringLiteral("Ann"));
    ASSERT_TRUE(waitFor([&] { return run->forceLoginController() && run->forceLoginController()->isVisible(); }));
    ForceLoginController *force = run->forceLoginController();
    QCoreApplication::processEvents();
    const QRect side = force->frameGeometry();
    EXPECT_EQ(side.right(), screen.right());
    EXPECT_GE(side.top(), run->studentStrip()->geometry().bottom() + 1);
    EXPECT_LE(side.bottom(), run->geometry().top() - 1);
    expectWhole("beside the students not in the class", side.left() - 1);
    // Dragged elsewhere by the teacher, it is where the teacher wants it: the slide takes its room back.
    force->move(screen.left() + 100, screen.top() + 200);
    EXPECT_EQ(expectWhole("the window dragged away", screen.right()), normal);
    force->close();
    EXPECT_EQ(expectWhole("that window closed", screen.right()), normal);

    // After the run the show has the whole screen again.
    answers.answerAlert(0);
    bar("btnExit")->click();
    ASSERT_TRUE(waitFor([&] { return run.isNull(); }));
    if (SlideShowWindow *after = ppt->showWindow()) {
        EXPECT_EQ(after->reservedMargins(), QMargins());
    }
}

// The bar's own buttons: the strip button makes the strip small and its picture says so; Hide
// takes the bar down to a line, the slide gets the foot of the screen and the button that brings
// the bar back keeps its corner; that button puts the bar back at the foot, above the slide.
TEST_F(SlideShowRun, TheBarHidesToAButtonThatBringsItBackAndTheSlideMakesRoom)
{
    SimReceiver *sim = dravel(2);
    ASSERT_TRUE(sim);
    qputenv("POLLIX_SOFFICE", QByteArray("/nonexistent/soffice"));
    const auto restore = qScopeGuard([] { qunsetenv("POLLIX_SOFFICE"); });
    SlideShowWindow *show = openTwoQuestionRun("Hide.pptx");
    ASSERT_TRUE(show);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QCoreApplication::processEvents();
    const QRect barAtFoot = run->geometry();
    EXPECT_EQ(barAtFoot.bottom(), screen.bottom());
    EXPECT_EQ(show->reservedMargins().bottom(), barAtFoot.height());

    QTest::mouseClick(bar("btnUpHide"), Qt::LeftButton);
    EXPECT_EQ(run->nLoginViewState(), 1);
    EXPECT_EQ(bar("btnUpHide")->property("imageName").toString(), "mini_normal.png");

    QTest::mouseClick(bar("btnDownHide"), Qt::LeftButton);
    QCoreApplication::processEvents();
    auto *back = run->findChild<QWidget *>(QStringLiteral("Show"));
    ASSERT_TRUE(back);
    EXPECT_TRUE(back->isVisible());
    EXPECT_LE(run->height(), 1);
    EXPECT_LE(show->reservedMargins().bottom(), 1);
    EXPECT_GE(show->reservedMargins().right(), screen.right() + 1 - Show::place(screen).left());

    QTest::mouseClick(back->findChild<QPushButton *>(QStringLiteral("btnShow")), Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_FALSE(back->isVisible());
    EXPECT_EQ(run->geometry().bottom(), screen.bottom());
    EXPECT_GE(run->height(), 75);
    EXPECT_EQ(show->reservedMargins().bottom(), run->height());
    EXPECT_EQ(show->reservedMargins().right(), 0);
}

// A projector may be no wider than 1024 points, or 800: the bar is the teacher's only way out of
// the run, so every button of it must be on the screen, whole, and take a click there. Only a
// real window system with a window manager shows what the teacher sees.
TEST_F(SlideShowRun, UnderAWindowManagerTheBarFitsEveryScreen)
{
    for (const QSize screen : {QSize(1366, 768), QSize(1024, 768), QSize(800, 600)}) {
        EXPECT_EQ(XvfbRun::run(QStringLiteral("SlideShowRun.OnX11EveryButton*"), {screen, true}), 0)
            << screen.width() << "x" << screen.height();
    }
}

// Run on a private Xvfb by UnderAWindowManagerTheBarFitsEveryScreen.
TEST_F(SlideShowRun, OnX11EveryButtonOfTheBarIsWholeOnTheScreenAndTakesARealClick)
{
    SlideShowWindow *show = openRunOnX11(3);
    ASSERT_TRUE(show);
    const QString pages = home() + "slides.pdf";
    ASSERT_TRUE(writeSlidePages(pages, 2));
    ASSERT_TRUE(show->setPdf(pages));

    QScreen *screen = QGuiApplication::primaryScreen();
    const QRect area = screen->availableGeometry();
    const QString size = QStringLiteral("%1x%2").arg(screen->size().width()).arg(screen->size().height());
    // Where the window system has the bar: every shown button inside the screen's free area, at
    // its full size (its text and picture whole) and clear of its neighbours.
    const auto expectWholeButtons = [&](const QString &when) {
        ASSERT_TRUE(waitFor([&] { return run->windowHandle()->geometry() == run->geometry() && area.contains(run->windowHandle()->geometry()); }))
            << when.toStdString() << ": bar at " << where(run->windowHandle()->geometry()) << " on " << size.toStdString();
        QList<QRect> taken;
        int shown = 0;
        for (QPushButton *b : run->findChildren<QPushButton *>()) {
            if (!b->isVisible() || b->window() != run.data())
                continue;
            ++shown;
            const QRect onScreen(b->mapToGlobal(QPoint(0, 0)), b->size());
            EXPECT_TRUE(area.contains(onScreen)) << when.toStdString() << ": " << b->objectName().toStdString() << " at " << where(onScreen);
            EXPECT_GE(b->width(), b->sizeHint().width()) << when.toStdString() << ": " << b->objectName().toStdString() << " cut";
            EXPECT_GE(b->height(), b->minimumSizeHint().height()) << b->objectName().toStdString();
            for (const QRect &other : taken)
                EXPECT_FALSE(onScreen.intersects(other)) << when.toStdString() << ": " << b->objectName().toStdString() << " overlaps";
            taken << onScreen;
        }
        EXPECT_EQ(shown, 12) << "Previous to Exit, but no Send in a normal quiz";
    };
    const auto clickUntil = [&](QWidget *w, const std::function<bool()> &done) { return this->clickUntil(input(), w, done); };
    // The screen as the teacher sees it, when pictures are asked for.
    const auto screenShot = [&](const QString &name) { saveScreenShot(name + QLatin1Char('-') + size); };
    expectWholeButtons(QStringLiteral("opened"));
    saveShot(run.data(), QStringLiteral("slide-show-bar-") + size);
    screenShot(QStringLiteral("slide-show"));

    // The strip small and the bar down to a line, the slide takes nearly the whole screen; the
    // button that brings the bar back stands beside it, not on it.
    ASSERT_TRUE(clickUntil(bar("btnUpHide"), [&] { return run->nLoginViewState() == 1; }));
    QWidget *showBar = run->findChild<QWidget *>(QStringLiteral("Show"));
    ASSERT_TRUE(showBar);
    ASSERT_TRUE(clickUntil(bar("btnDownHide"), [&] { return showBar->isVisible() && run->height() <= 1; }));
    ASSERT_TRUE(show->setPdf(pages)); // the show in front again looked for its pages anew
    // Where the window system has put it, on a busy machine some time after it was shown.
    QRect button;
    EXPECT_TRUE(waitFor([&] {
        button = showBar->geometry();
        return button.left() > area.center().x();
    })) << where(button);
    QCoreApplication::processEvents();
    const QRect page = show->pageRect().translated(show->geometry().topLeft());
    EXPECT_FALSE(page.isEmpty());
    EXPECT_FALSE(page.intersects(button)) << "slide " << where(page) << ", button " << where(button);
    EXPECT_TRUE(area.contains(button)) << where(button);
    screenShot(QStringLiteral("slide-show-bar-hidden"));
    ASSERT_TRUE(clickUntil(showBar->findChild<QPushButton *>(QStringLiteral("btnShow")),
                           [&] { return !showBar->isVisible() && run->height() > 1; }));
    expectWholeButtons(QStringLiteral("back"));

    // Exit, clicked where the teacher sees it, ends the run once it is confirmed.
    answers.answerAlert(0);
    ASSERT_TRUE(clickUntil(bar("btnExit"), [&] { return run.isNull(); })) << "Exit took no click on " << size.toStdString();
    EXPECT_FALSE(ppt->hasPresentation());
}

// The presenter's Escape ends the show in the middle of a run: under a window manager the bar and
// the strip stay in front of the grey backdrop, and the bar takes a real click (Exit, whose
// Cancel leaves the show ended and the bar in front with the keys).
TEST_F(SlideShowRun, UnderAWindowManagerTheBarOutlivesTheShowsEscape)
{
    EXPECT_EQ(XvfbRun::run(QStringLiteral("SlideShowRun.OnX11TheBarStaysInFront*"), {QSize(1024, 768), true}), 0);
}

// Run on a private Xvfb by UnderAWindowManagerTheBarOutlivesTheShowsEscape.
TEST_F(SlideShowRun, OnX11TheBarStaysInFrontOfTheBackdropOnceTheShowHasEnded)
{
    SlideShowWindow *show = openRunOnX11(2);
    ASSERT_TRUE(show);
    ASSERT_TRUE(waitFor([&] { return show->isActive(); })) << "the show has the keys";

    input().key(InputEventSink::Key::Escape);
    ASSERT_TRUE(waitFor([&] { return !ppt->isShowRunning(); }));
    // The keys go to the bar, which the window manager restacks a moment after the show has gone.
    ASSERT_TRUE(waitFor([&] { return WindowOnScreen::hasKeys(run->windowHandle()); }));
    saveScreenShot(QStringLiteral("slide-show-ended-by-escape"));
    answers.answerAlert(1); // F2: the teacher stays
    ASSERT_TRUE(clickUntil(input(), bar("btnExit"), [&] { return !answers.alerts().isEmpty(); }, 1000))
        << "the bar is lost behind the backdrop";
    EXPECT_FALSE(ppt->isShowRunning()) << "staying brought the ended show back";
    EXPECT_TRUE(waitFor([&] { return WindowOnScreen::hasKeys(run->windowHandle()); })) << "the keys left the bar";
    answers.answerAlert(0);
    ASSERT_TRUE(clickUntil(input(), bar("btnExit"), [&] { return run.isNull(); }, 1000)) << "the bar is lost behind the backdrop";
}

// Every activity that runs over a deck, opened as the main window's Start opens it (the main
// window, which had the keys, hidden as the run comes): the bar and the strip stand in front of
// the grey backdrop, and the keys are the show's while it is on, else the bar's; whatever window
// goes with the keys (the show by its Escape, the exit question) hands them on, never to nothing.
TEST_F(SlideShowRun, UnderAWindowManagerEveryRunOverADeckStandsInFrontWithTheKeys)
{
    EXPECT_EQ(XvfbRun::run(QStringLiteral("SlideShowRun.OnX11EveryActivityOverADeck*"), {QSize(1024, 768), true}), 0);
}

// Run on a private Xvfb by UnderAWindowManagerEveryRunOverADeckStandsInFrontWithTheKeys.
TEST_F(SlideShowRun, OnX11EveryActivityOverADeckStandsInFrontOfItsBackdropWithTheKeys)
{
    SimReceiver *sim = onX11(2);
    ASSERT_TRUE(sim);
    ActivityWindowOpener::install(); // the winner box
    const auto noWinnerBox = qScopeGuard([] { RushInfoShow::setFactory({}); });
    const QString deck = home() + "Lesson.pptx";
    ASSERT_TRUE(SlideDecks::writeDeck({questionSlide("First", "Single Answer", "B", 10)}, deck));
    const auto hasKeys = [](QWidget *w) { return WindowOnScreen::hasKeys(w->windowHandle()); };
    for (const int mode : {0, 1, 2, 3, 4, 5, 7}) {
        SCOPED_TRACE(ActivityRules::AllActivityMode().value(mode).toStdString());
        OpeningWindow father;
        father.show();
        ASSERT_TRUE(waitFor([&] { return hasKeys(&father); }) && ppt->openPPT(deck));
        // A paper quiz or homework runs on the keypads: the deck closes as the run opens.
        const bool onShow = mode != 1 && mode != 2;
        ASSERT_TRUE(!onShow || ppt->setPPT(1));
        father.hide();
        openRun(mode, deck);
        ASSERT_TRUE(run);
        run->setFather(&father);
        if (!onShow)
            ppt->quitPPT();
        QWidget *backdrop = run->backdrop();
        QWidget *strip = run->studentStrip();
        ASSERT_TRUE(backdrop && WindowOnScreen::settled(backdrop) && WindowOnScreen::settled(run) && WindowOnScreen::settled(strip));
        // A keypad whose student the class lacks: the list of such students stands with the run,
        // wholly on the screen, in every run.
        sim->login(0x0201, QStringLiteral("NEW1"), QStringLiteral("Ann"));
        ASSERT_TRUE(waitFor([&] { return run->forceLoginController() && WindowOnScreen::settled(run->forceLoginController()); }));
        QWidget *list = run->forceLoginController();
        EXPECT_TRUE(WindowOnScreen::area().contains(WindowOnScreen::frameOf(list))) << WindowOnScreen::describe(list);
        const auto inFront = [&] {
            return WindowOnScreen::stackedAbove(run, backdrop) && WindowOnScreen::stackedAbove(strip, backdrop)
                   && WindowOnScreen::stackedAbove(list, backdrop);
        };
        if (onShow) {
            ASSERT_TRUE(waitFor([&] { return WindowOnScreen::hasKeys(ppt->showWindow()); })) << "the show has not the keys";
            if (mode == Activity::RushQuiz) {
                // The winner box takes the keys and, as it goes, gives them back to the show.
                std::unique_ptr<RushInfoShow> winner = RushInfoShow::create();
                winner->showWindow();
                EXPECT_TRUE(waitFor([&] { return hasKeys(dynamic_cast<QWidget *>(winner.get())); }));
                winner->closeWindow();
                EXPECT_TRUE(waitFor([&] { return WindowOnScreen::hasKeys(ppt->showWindow()); })) << "the keys stayed off the show";
            }
            input().key(InputEventSink::Key::Escape);
            ASSERT_TRUE(waitFor([&] { return !ppt->isShowRunning(); }));
        }
        EXPECT_TRUE(waitFor([&] { return hasKeys(run); })) << "the keys are on nothing of the run";
        EXPECT_TRUE(waitFor(inFront)) << WindowOnScreen::describeStacking({backdrop, run.data(), strip, list});
        WindowOnScreen::shot(QStringLiteral("run-over-a-deck-%1").arg(mode));

        // The bar's Escape asks; the question takes the keys and, left by its own Escape, hands
        // them to the front of the run: the bar, the ended show staying ended.
        QStringList asked;
        {
            const auto alertsForReal = realAlerts();
            ModalDriver modals;
            modals.on("PollixAlert", [&](QWidget *alert) {
                asked << static_cast<PollixAlert *>(alert)->informativeText();
                if (waitFor([&] { return hasKeys(alert); }))
                    input().key(InputEventSink::Key::Escape);
                else
                    static_cast<QDialog *>(alert)->reject();
            });
            input().key(InputEventSink::Key::Escape);
            EXPECT_TRUE(waitFor([&] { return !asked.isEmpty() && !QApplication::activeModalWidget(); })) << "the bar's Escape did not ask";
        }
        EXPECT_EQ(asked, QStringList{"Are you sure to exit this Activity?"});
        EXPECT_TRUE(waitFor([&] { return hasKeys(run); })) << "the keys went nowhere as the question went";
        EXPECT_FALSE(ppt->isShowRunning()) << "staying brought the ended show back";

        // A real click on the bar's Exit, and F1 leaves.
        answers.answerAlert(0);
        ASSERT_TRUE(clickUntil(input(), bar("btnExit"), [&] { return run.isNull(); }, 1000));
        ppt->quitPPT();
    }
}

TEST_F(SlideShowRun, AQuestionAskedAgainSaysNothingDoneWhileItRuns)
{
    SimReceiver *sim = twoQuestionRunLoggedIn("Again.pptx");
    ASSERT_TRUE(sim);
    const auto click = [&](const char *name) { QTest::mouseClick(bar(name), Qt::LeftButton); };
    // Start, and one student answers.
    const auto ask = [&] {
        click("btnStart");
        if (!run->bStartFlag())
            return false;
        sim->answer(0x0101, "B");
        return waitFor([&] { return field("txtLoginAndAnswered") == "1 / 2"; });
    };
    ASSERT_TRUE(ask());
    EXPECT_EQ(field("txtDone"), "") << "a question that runs for the first time";
    click("btnStop");
    EXPECT_EQ(field("txtDone"), "Done");
    click("btnNext");
    ASSERT_TRUE(ask());
    click("btnStop");
    EXPECT_EQ(field("txtDone"), "All Done");

    // Back to the first and asked again: it is no question done while it runs, and done again after.
    click("btnPrevious");
    ASSERT_EQ(run->nCurrentQuestionNo(), 0);
    EXPECT_EQ(field("txtDone"), "All Done");
    ASSERT_TRUE(ask());
    EXPECT_EQ(field("txtDone"), "");
    click("btnStop");
    EXPECT_EQ(field("txtDone"), "All Done");
}

#include "RunStandingFixture.h"
#include "ui/controls/ScreenFit.h"

// What the run's windows leave the teacher to read and to click, judged from the frames the X
// server has under a real window manager, on the screens schools project on: the button that
// brings a hidden bar back, and the notice of a receiver pulled out.

// Read aloud never covers the button that brings a hidden bar back: with the read-aloud window up
// over the show (on, or ended by its own Escape) and the bar hidden, their frames stay apart and a
// click in the button's middle brings the bar back. Nor does it cover the bar or the students not
// in the class, whichever of the two windows came first. On the screens schools project on, with
// a long deck title and long names.
TEST_F(RunStanding, UnderAWindowManagerReadAloudNeverCoversTheButtonThatBringsTheBarBack)
{
    onSchoolScreens(QStringLiteral("RunStanding.OnX11ReadAloudLeavesTheBarsButton*"));
}

// Run on a private Xvfb by UnderAWindowManagerReadAloudNeverCoversTheButtonThatBringsTheBarBack.
TEST_F(RunStanding, OnX11ReadAloudLeavesTheBarsButtonFree)
{
    SimReceiver *sim = onX11(2);
    ASSERT_TRUE(sim);
    // Long names: the deck's title, its first question and the class.
    const QString deck = home() + "Biology Unit Seven Review.pptx";
    ASSERT_TRUE(SlideDecks::writeDeck({questionSlide("Which of the organelles below holds the cell's genetic material?", "Single Answer", "B", 30),
                                       questionSlide("Second", "Single Answer", "C", 30)},
                                      deck));
    nameTheClassLong();
    struct Case
    {
        bool showOn;
        bool listFirst; // the students not in the class stand before the read-aloud window comes
    };
    for (const Case &c : {Case{false, true}, Case{true, true}, Case{false, false}}) {
        SCOPED_TRACE(std::string(c.showOn ? "the show on" : "the show ended") + (c.listFirst ? ", the list first" : ", the list after"));
        ASSERT_TRUE(ppt->openPPT(deck) && ppt->setPPT(1));
        openRun(Activity::NormalQuiz, deck);
        ASSERT_TRUE(run && WindowOnScreen::settled(run));
        logIn(sim, 2);
        const auto notInClass = [&] {
            sim->login(0x0201, QStringLiteral("NEW1"), QStringLiteral("Maximiliana Wolkenstein-Rodenegg"));
            return waitFor([&] { return run->forceLoginController() && WindowOnScreen::settled(run->forceLoginController()); });
        };
        if (c.listFirst) {
            ASSERT_TRUE(notInClass());
        }
        if (!c.showOn) {
            ASSERT_TRUE(waitFor([&] { return WindowOnScreen::hasKeys(ppt->showWindow()); }));
            input().key(InputEventSink::Key::Escape);
            ASSERT_TRUE(waitFor([&] { return !ppt->isShowRunning(); }));
        }
        QWidget *reading = nullptr;
        ASSERT_TRUE(clickUntil(input(), bar("btnSpeed"), [&] {
            reading = run->findChild<QWidget *>(QStringLiteral("PlayMusic"));
            return reading && WindowOnScreen::settled(reading);
        }));
        if (!c.listFirst) {
            ASSERT_TRUE(notInClass());
        }
        // What the read-aloud window's frame meets; "" when nothing.
        const auto covered = [&](const QList<QWidget *> &windows) {
            std::string met;
            const QRect readingFrame = WindowOnScreen::serverFrameOf(reading);
            for (QWidget *w : windows)
                if (WindowOnScreen::serverFrameOf(w).intersects(readingFrame))
                    met += "the read-aloud window at " + where(readingFrame) + " covers " + w->objectName().toStdString() + " at "
                           + where(WindowOnScreen::serverFrameOf(w)) + "; ";
            return met;
        };
        EXPECT_EQ(covered({run, run->forceLoginController()}), "");
        Show *button = run->findChild<Show *>();
        ASSERT_TRUE(clickUntil(input(), bar("btnDownHide"), [&] { return button->isVisible() && WindowOnScreen::settled(button); }));
        EXPECT_EQ(covered({button}), "");
        WindowOnScreen::shot(QStringLiteral("read-aloud-and-the-bars-button-%1%2").arg(c.showOn ? "show" : "ended", c.listFirst ? "" : "-list-after"));
        // One click in its middle brings the bar back.
        const bool clicked = clickOnce(input(), button);
        EXPECT_TRUE(clicked && waitFor([&] { return !button->isVisible() && run->height() > 1; }, 5000))
            << "a click in the button's middle did not bring the bar back";
        EXPECT_EQ(ppt->isShowRunning(), c.showOn);

        answers.answerAlert(0);
        bar("btnExit")->click();
        ASSERT_TRUE(waitFor([&] { return run.isNull(); }));
        ppt->quitPPT();
    }
}

// "Receiver disconnected" reads whole while the receiver is out: every line of the notice lies
// within the room its label has, in the activity window (in the activities whose windows differ
// most, a free-style one down to a strip among them) and on the bar over a deck. On the screens
// schools project on, with a long class name.
TEST_F(RunStanding, UnderAWindowManagerTheReceiverNoticeReadsWhole)
{
    onSchoolScreens(QStringLiteral("RunStanding.OnX11TheReceiverNoticeReadsWhole*"));
}

// Run on a private Xvfb by UnderAWindowManagerTheReceiverNoticeReadsWhole.
TEST_F(RunStanding, OnX11TheReceiverNoticeReadsWholeInEveryRunWindow)
{
    SimReceiver *sim = pluggableReceiver();
    ASSERT_TRUE(sim);
    nameTheClassLong();
    qputenv("POLLIX_SOFFICE", QByteArray("/nonexistent/soffice"));
    const QString file = questionFile({{0, QStringLiteral("B"), 10}, {0, QStringLiteral("C"), 10}});
    const QString deck = home() + "Biology Unit Seven Review.pptx";
    ASSERT_TRUE(SlideDecks::writeDeck({questionSlide("First", "Single Answer", "B", 10), questionSlide("Second", "Single Answer", "C", 10)},
                                      deck));
    // What of the notice's text its label cuts off; "" when it reads whole.
    const auto cut = [](const QLabel *notice) -> std::string {
        if (!notice->isVisible())
            return "not shown";
        const QRect room = notice->contentsRect();
        const QRect text = notice->fontMetrics().boundingRect(room, int(notice->alignment()) | Qt::TextWordWrap, notice->text());
        if (room.contains(text))
            return {};
        return QStringLiteral("%1 lines of %2 px in %3 px").arg(text.height() / notice->fontMetrics().lineSpacing()).arg(text.height()).arg(room.height()).toStdString();
    };
    struct Case
    {
        int mode;
        bool overDeck;
    };
    for (const Case &c : {Case{Activity::NormalQuiz, false}, Case{Activity::HomeWork, false}, Case{Activity::FreeNormalQuiz, false},
                          Case{Activity::NormalQuiz, true}}) {
        SCOPED_TRACE(ActivityRules::AllActivityMode().value(c.mode).toStdString() + (c.overDeck ? " over a deck" : ""));
        QWidget *runWindow = nullptr;
        if (c.overDeck) {
            ASSERT_TRUE(ppt->openPPT(deck) && ppt->setPPT(1));
            openRun(c.mode, deck);
            runWindow = run.data();
        } else {
            ASSERT_TRUE(open(c.mode, 3, file));
            runWindow = window.data();
        }
        ASSERT_TRUE(runWindow && WindowOnScreen::settled(runWindow));
        const QRect before = WindowOnScreen::serverFrameOf(runWindow);
        sim->unplug();
        const auto lost = [&] { return c.overDeck ? run->receiverLost() : window->receiverLost(); };
        ASSERT_TRUE(waitFor(lost));
        auto *notice = runWindow->findChild<QLabel *>(QStringLiteral("txtReceiverState"));
        std::string problem;
        EXPECT_TRUE(waitFor([&] { return WindowOnScreen::settled(runWindow) && (problem = cut(notice)).empty(); })) << problem;
        // Nor did the notice take the bar's buttons off the screen.
        std::string off;
        for (const QPushButton *b : runWindow->findChildren<QPushButton *>())
            if (b->objectName().startsWith(QLatin1String("btn")) && b->isVisible()
                && !QGuiApplication::primaryScreen()->geometry().contains(WindowOnScreen::serverRectOf(b)))
                off += b->objectName().toStdString() + " ";
        EXPECT_EQ(off, "") << "off the screen";
        WindowOnScreen::shot(QStringLiteral("receiver-out-%1%2").arg(c.mode).arg(c.overDeck ? "-deck" : ""));
        ASSERT_TRUE(sim->plug());
        ASSERT_TRUE(waitFor([&] { return !lost(); }));
        // Back, the receiver takes its notice's room with it.
        EXPECT_TRUE(waitFor([&] { return WindowOnScreen::settled(runWindow) && WindowOnScreen::serverFrameOf(runWindow).height() == before.height(); }))
            << "from " << where(before) << " to " << where(WindowOnScreen::serverFrameOf(runWindow));
        answers.answerAlert(0);
        if (c.overDeck) {
            bar("btnExit")->click();
            ASSERT_TRUE(waitFor([&] { return run.isNull(); }));
            ppt->quitPPT();
        } else {
            ASSERT_TRUE(closeBoxLeaves());
        }
    }
}

// Where the run's list of students not in the class was as it was made (polished, before it
// shows) and as it opened (its Show, once every window's placing as it opens has been through).
class PlaceAsShown : public QObject
{
public:
    PlaceAsShown(QWidget *run, QRect *made, QRect *opened) : m_made(made), m_opened(opened) { run->installEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::ChildPolished) {
            if (auto *list = qobject_cast<ForceLoginController *>(static_cast<QChildEvent *>(event)->child()); list && !m_made->isValid()) {
                *m_made = list->geometry();
                list->installEventFilter(this);
            }
        } else if (event->type() == QEvent::Show && qobject_cast<ForceLoginController *>(watched) && !m_opened->isValid()) {
            *m_opened = static_cast<QWidget *>(watched)->geometry();
        }
        return false;
    }

private:
    QRect *m_made, *m_opened;
};

// A free-style run down to a strip grows for the receiver's notice and shrinks back as the
// receiver comes: the list of students not in the class, standing above the strip, follows it
// each time, never left over the strip's title bar or its figures. Pulled out and put back in
// several times, since the window manager answers each move at its own time, also late answers
// to where the list stood before it was placed in its frame.
TEST_F(RunStanding, UnderAWindowManagerTheStudentsNotInTheClassFollowTheStripAsTheReceiverComesAndGoes)
{
    onSchoolScreens(QStringLiteral("RunStanding.OnX11TheStudentsNotInTheClassFollowTheStrip*"));
}

// Run on a private Xvfb by UnderAWindowManagerTheStudentsNotInTheClassFollowTheStripAsTheReceiverComesAndGoes.
TEST_F(RunStanding, OnX11TheStudentsNotInTheClassFollowTheStripAsItGrowsAndShrinks)
{
    // Every window of the program is first put on the screen as it opens, the list too.
    ScreenFit::keepWindowsOnScreen();
    SimReceiver *sim = pluggableReceiver();
    ASSERT_TRUE(sim);
    const QString file = questionFile({{0, QStringLiteral("B"), 10}});
    ASSERT_TRUE(open(Activity::FreeNormalQuiz, 3, file));
    ASSERT_TRUE(WindowOnScreen::settled(window));
    ASSERT_TRUE(waitFor([&] { return !sim->framesFromProgram().isEmpty(); }));
    QRect made, opened;
    PlaceAsShown asShown(window, &made, &opened);
    sim->login(0x0101, sid(1));
    sim->login(0x0201, QStringLiteral("NEW1"), QStringLiteral("Maximiliana Wolkenstein-Rodenegg"));
    ASSERT_TRUE(waitFor([&] { return window->forceLoginController() && WindowOnScreen::settled(window->forceLoginController()); }));
    QWidget *list = window->forceLoginController();
    ASSERT_TRUE(made.isValid() && opened.isValid());

    // Where the list stands against the strip; "" when wholly above it and on the screen.
    const auto apart = [&]() -> std::string {
        if (!WindowOnScreen::settled(window) || !WindowOnScreen::settled(list))
            return "not settled";
        const QRect strip = WindowOnScreen::serverFrameOf(window);
        const QRect frame = WindowOnScreen::serverFrameOf(list);
        if (!WindowOnScreen::area().contains(frame))
            return "the list off the screen at " + where(frame);
        if (frame.bottom() >= strip.top())
            return "the list at " + where(frame) + " over the strip at " + where(strip);
        return {};
    };
    QStringList after, expected;
    std::string problem;
    // The window manager's answers to the places the list had before it was placed in its frame,
    // come after that placing: where it was made, where it was put as it opened, and a move and
    // a resize asked together, answered one at a time.
    const QRect framed = list->geometry();
    for (const QRect &late : {made, opened, QRect(opened.topLeft(), framed.size()), QRect(framed.topLeft(), opened.size())})
        WindowOnScreen::answerLate(list, late);
    waitFor([&] { return (problem = apart()).empty() && list->geometry() == framed; });
    after << QStringLiteral("late answers: %1").arg(QString::fromStdString(problem));
    expected << QStringLiteral("late answers: ");
    for (int pull = 1; pull <= 5; ++pull) {
        sim->unplug();
        ASSERT_TRUE(waitFor([&] { return window->receiverLost(); }));
        waitFor([&] { return (problem = apart()).empty(); });
        after << QStringLiteral("out %1: %2").arg(pull).arg(QString::fromStdString(problem));
        ASSERT_TRUE(sim->plug());
        ASSERT_TRUE(waitFor([&] { return !window->receiverLost(); }));
        waitFor([&] { return (problem = apart()).empty(); });
        after << QStringLiteral("back %1: %2").arg(pull).arg(QString::fromStdString(problem));
        expected << QStringLiteral("out %1: ").arg(pull) << QStringLiteral("back %1: ").arg(pull);
    }
    EXPECT_EQ(after.join(QStringLiteral("\n")).toStdString(), expected.join(QStringLiteral("\n")).toStdString());

    // Dragged away by its title bar, the list stays where the teacher put it as the strip grows
    // and shrinks.
    XTestEventSink input;
    ASSERT_TRUE(input.isAvailable());
    const QRect placed = WindowOnScreen::serverFrameOf(list);
    const QPoint grip(placed.center().x(), placed.top() + 8);
    const QPoint offset(-300, -100);
    input.moveTo(grip);
    input.button(InputEventSink::Button::Left, true, grip);
    // The window manager moves the frame with the pointer once it has taken the drag: each step
    // waits for the frame to move.
    for (int step = 1; step <= 10; ++step) {
        const QPoint from = WindowOnScreen::serverFrameOf(list).topLeft();
        input.moveTo(grip + offset * step / 10);
        waitFor([&] { return WindowOnScreen::serverFrameOf(list).topLeft() != from; }, 3000);
    }
    input.button(InputEventSink::Button::Left, false, grip + offset);
    ASSERT_TRUE(waitFor([&] { return WindowOnScreen::settled(list) && WindowOnScreen::serverFrameOf(list) == placed.translated(offset); }))
        << "dragged to " << where(WindowOnScreen::serverFrameOf(list));
    const QRect dragged = WindowOnScreen::serverFrameOf(list);
    const QRect strip = WindowOnScreen::serverFrameOf(window);
    sim->unplug();
    ASSERT_TRUE(waitFor([&] { return WindowOnScreen::settled(window) && WindowOnScreen::serverFrameOf(window).top() < strip.top(); }));
    EXPECT_FALSE(waitFor([&] { return WindowOnScreen::serverFrameOf(list) != dragged; }, 2000))
        << "the list went from " << where(dragged) << " to " << where(WindowOnScreen::serverFrameOf(list));
    ASSERT_TRUE(sim->plug());
    answers.answerAlert(0);
    ASSERT_TRUE(closeBoxLeaves());
}


// The bar hidden (its own button) and brought back (the button at the screen's foot) stands where
// it stood, as tall as it was, each time: over a show and over the backdrop of a paper quiz, on
// the screens schools project on. Real clicks under a window manager.
TEST_F(RunStanding, UnderAWindowManagerTheBarComesBackWhereItStood)
{
    onSchoolScreens(QStringLiteral("RunStanding.OnX11TheBarHiddenAndShownStands*"));
}

// Run on a private Xvfb by UnderAWindowManagerTheBarComesBackWhereItStood.
TEST_F(RunStanding, OnX11TheBarHiddenAndShownStandsWhereItStood)
{
    SimReceiver *sim = onX11(2);
    ASSERT_TRUE(sim);
    const QString deck = twoQuestionDeck(QStringLiteral("Lesson.pptx"));
    ASSERT_FALSE(deck.isEmpty());
    for (const int mode : {Activity::NormalQuiz, Activity::PaperQuiz}) {
        SCOPED_TRACE(ActivityRules::AllActivityMode().value(mode).toStdString());
        const bool onShow = mode != Activity::PaperQuiz;
        ASSERT_TRUE(openOverDeck(mode, deck, onShow));
        if (!onShow)
            ppt->quitPPT();
        ASSERT_TRUE(WindowOnScreen::settled(run));
        logIn(sim, 2);
        ASSERT_TRUE(WindowOnScreen::settled(run));
        const QRect stood = WindowOnScreen::serverFrameOf(run);
        Show *button = run->findChild<Show *>();
        ASSERT_TRUE(button);
        // Where the bar stands after each time it came back; the same place each time.
        QStringList places, expected;
        for (int time = 1; time <= 2; ++time) {
            ASSERT_TRUE(clickUntil(input(), bar("btnDownHide"), [&] { return button->isVisible() && WindowOnScreen::settled(button); }));
            ASSERT_TRUE(clickUntil(input(), button, [&] { return !button->isVisible() && run->height() > 1; }));
            ASSERT_TRUE(WindowOnScreen::settled(run));
            places << QString::fromStdString(where(WindowOnScreen::serverFrameOf(run)));
            expected << QString::fromStdString(where(stood));
            WindowOnScreen::shot(QStringLiteral("bar-back-%1-%2").arg(mode).arg(time));
        }
        EXPECT_EQ(places.join(QStringLiteral("; ")).toStdString(), expected.join(QStringLiteral("; ")).toStdString());

        answers.answerAlert(0);
        bar("btnExit")->click();
        ASSERT_TRUE(waitFor([&] { return run.isNull(); }));
        ppt->quitPPT();
    }
}

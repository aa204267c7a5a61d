// Where the windows come up: within the screen's available area, and the main window back where
// the teacher left it after the editor or a run. Only a window manager places and decorates
// windows, so the real cases run under Xvfb with one, on a laptop's screen and a smaller one.
#include "core/keypad/DeviceController.h"
#include "platform/NotificationCenter.h"
#include "support/EventWait.h"
#include "support/PollixTest.h"
#include "support/WindowOnScreen.h"
#include "support/XvfbRun.h"
#include "ui/app/TabController.h"
#include "ui/authoring/QuestionInfoWindowController.h"
#include "ui/authoring/QuestionsSettingWindowController.h"
#include "ui/controls/ScreenCapture.h"
#include "ui/controls/ScreenFit.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <QWindow>

namespace {

// A capture that gives up at once, as a teacher pressing Escape over the curtain does.
class GivingUpCapture : public ScreenCapture
{
public:
    void start(QWidget *) override
    {
        NotificationCenter::defaultCenter()->postNotification(QStringLiteral("MESSAGESCREENSHOTCAPTION"),
                                                              {{QStringLiteral("flag"), 0}});
    }
};

class WindowPlacementTest : public PollixTest
{
protected:
    void SetUp() override
    {
        PollixTest::SetUp();
        TabController::resetHooks();
        auto &h = TabController::hooks();
        h.runSplash = [](QWidget *) {};
        h.runSystemChoice = [](QWidget *) {};
        DeviceController::ShareDeviceController()->setCurDeviceType(3);
    }
    void TearDown() override
    {
        delete editor.data();
        window.reset();
        ScreenCapture::install(nullptr);
        TabController::resetHooks();
        PollixTest::TearDown();
    }

    static QRect area() { return WindowOnScreen::area(); }
    static QRect frameOf(const QWidget *w) { return WindowOnScreen::frameOf(w); }
    static bool settled(QWidget *w) { return WindowOnScreen::settled(w); }
    static std::string describe(const QWidget *w) { return WindowOnScreen::describe(w); }
    static void shot(const QString &name) { WindowOnScreen::shot(name); }

    // The main window, as the program starts it with windows kept on the screen.
    bool showMainWindow()
    {
        ScreenFit::keepWindowsOnScreen();
        window = std::make_unique<TabController>();
        window->awakeFromNib();
        window->show();
        return settled(window.get());
    }

    std::unique_ptr<TabController> window;
    QPointer<QuestionsSettingWindowController> editor;
};

} // namespace

TEST_F(WindowPlacementTest, AWindowIsMovedAndCutToFitTheArea)
{
    const QRect laptop(0, 0, 1366, 740); // a panel takes the foot of a 1366 x 768 screen
    const QMargins frame(1, 24, 1, 5);
    QSize size(820, 590);
    // Left where it fits: it stays.
    EXPECT_EQ(ScreenFit::placeWithin(laptop, frame, QPoint(100, 50), &size), QPoint(100, 50));
    EXPECT_EQ(size, QSize(820, 590));
    // Its foot below the panel's edge: up until the frame's foot is on the area's.
    EXPECT_EQ(ScreenFit::placeWithin(laptop, frame, QPoint(100, 300), &size), QPoint(100, 740 - 590 - 29));
    // Off the left and the top edges.
    EXPECT_EQ(ScreenFit::placeWithin(laptop, frame, QPoint(-50, -10), &size), QPoint(0, 0));
    // Taller and wider than the area: cut to it, frame and all, at its corner.
    size = QSize(1400, 760);
    EXPECT_EQ(ScreenFit::placeWithin(laptop, frame, QPoint(30, 30), &size), QPoint(0, 0));
    EXPECT_EQ(size, QSize(1366 - 2, 740 - 29));
    // An area that does not start at the origin (a panel on the left).
    size = QSize(400, 300);
    EXPECT_EQ(ScreenFit::placeWithin(QRect(60, 0, 1306, 768), frame, QPoint(0, 600), &size), QPoint(60, 768 - 329));
}

TEST_F(WindowPlacementTest, UnderAWindowManagerEveryWindowStaysOnTheScreen)
{
    for (const QSize screen : {QSize(1366, 768), QSize(1024, 768)}) {
        EXPECT_EQ(XvfbRun::run(QStringLiteral("WindowPlacementTest.OnX11*"), {screen, true}), 0)
            << screen.width() << "x" << screen.height();
    }
}

// Run on a private Xvfb by UnderAWindowManagerEveryWindowStaysOnTheScreen.
TEST_F(WindowPlacementTest, OnX11TheMainWindowComesBackWhereItWasLeft)
{
    ASSERT_TRUE(showMainWindow()) << describe(window.get());
    EXPECT_TRUE(area().contains(frameOf(window.get()))) << describe(window.get());

    // The teacher puts it low on the left.
    const QPoint first = frameOf(window.get()).topLeft();
    window->move(area().left() + 10, area().bottom() - frameOf(window.get()).height() - 20);
    ASSERT_TRUE(settled(window.get())) << describe(window.get());
    ASSERT_NE(frameOf(window.get()).topLeft(), first);
    // Where it was left, or the nearest place on the screen when it was left partly off it.
    QSize size = window->size();
    const QPoint left = ScreenFit::placeWithin(area(), window->windowHandle()->frameMargins(),
                                               frameOf(window.get()).topLeft(), &size);
    shot(QStringLiteral("main-window"));

    // Gone for the editor and runs, and back, time and again.
    for (int i = 0; i < 3; ++i) {
        window->hide();
        QTest::qWait(50);
        window->show();
        ASSERT_TRUE(settled(window.get())) << describe(window.get());
        EXPECT_EQ(frameOf(window.get()).topLeft(), left) << i << ": " << describe(window.get());
    }
}

// Run on a private Xvfb by UnderAWindowManagerEveryWindowStaysOnTheScreen.
TEST_F(WindowPlacementTest, OnX11TheEditorAndItsPropertiesStayOnTheScreen)
{
    ASSERT_TRUE(showMainWindow()) << describe(window.get());

    editor = new QuestionsSettingWindowController;
    editor->setFather(window.get());
    editor->showWindow();
    window->hide();
    ASSERT_TRUE(settled(editor)) << describe(editor);
    EXPECT_TRUE(area().contains(frameOf(editor))) << describe(editor);
    editor->AddTemplate(4);
    editor->onQuestionInfo();
    QuestionInfoWindowController *info = editor->questionInfoWindow();
    ASSERT_TRUE(info);
    ASSERT_TRUE(settled(info)) << describe(info);
    EXPECT_TRUE(area().contains(frameOf(info))) << describe(info);
    shot(QStringLiteral("question-properties"));
    info->close();

    // The editor steps aside for a capture and comes back where it was.
    const QPoint before = frameOf(editor).topLeft();
    ScreenCapture::install(std::make_unique<GivingUpCapture>());
    for (int i = 0; i < 2; ++i) {
        editor->onCapture();
        ASSERT_TRUE(settled(editor)) << describe(editor);
        EXPECT_TRUE(area().contains(frameOf(editor))) << describe(editor);
        EXPECT_EQ(frameOf(editor).topLeft(), before) << describe(editor);
    }
    shot(QStringLiteral("editor"));

    // The main window back after the editor, whole.
    editor->hide();
    window->show();
    ASSERT_TRUE(settled(window.get())) << describe(window.get());
    EXPECT_TRUE(area().contains(frameOf(window.get()))) << describe(window.get());

    // A dialog taller than the screen is cut to it.
    QDialog tall(window.get());
    tall.setObjectName(QStringLiteral("tall"));
    tall.resize(500, 1000);
    tall.show();
    ASSERT_TRUE(settled(&tall)) << describe(&tall);
    EXPECT_TRUE(area().contains(frameOf(&tall))) << describe(&tall);
}

// Run on a private Xvfb by UnderAWindowManagerEveryWindowStaysOnTheScreen.
TEST_F(WindowPlacementTest, OnX11AWindowTheProgramPlacesStandsThereEachTimeItOpens)
{
    ScreenFit::keepWindowsOnScreen();
    // As a run's read-aloud window: placed by its frame before each opening, closed between.
    QWidget panel;
    panel.setObjectName(QStringLiteral("placedPanel"));
    panel.resize(200, 150);
    const QSize frame = panel.size().grownBy(ScreenFit::frameMargins(&panel));
    const QRect low(QPoint(area().right() - 300, area().bottom() - 100 - frame.height()), frame);
    const QRect aside = low.translated(-250, -120);
    // The same place again and again, then another one (what it stands beside has moved).
    for (const QRect &want : {low, low, low, low, aside, low}) {
        ScreenFit::setFrameGeometry(&panel, want);
        panel.show();
        ASSERT_TRUE(settled(&panel)) << describe(&panel);
        EXPECT_EQ(frameOf(&panel).topLeft(), want.topLeft()) << describe(&panel);
        panel.close();
    }
}

// A notice waits for nothing, yet the teacher must meet it and answer it: it stands over the
// window the teacher is on, a modal dialog there included (whose modality would otherwise keep
// its buttons out of reach), and its close box answers it as its Escape does, never leaving what
// it asks without an answer. Under a window manager it is seen over a window kept above the others.
#include "platform/WindowStacking.h"
#include "support/PollixTest.h"
#include "support/RealAlerts.h"
#include "support/WindowOnScreen.h"
#include "support/XvfbRun.h"
#include "ui/controls/PollixAlert.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>

namespace {
class NoticeTest : public PollixTest
{
protected:
    void SetUp() override
    {
        PollixTest::SetUp();
        main.setWindowTitle(QStringLiteral("Main"));
        main.resize(500, 400);
        main.show();
        main.activateWindow();
    }

    // A notice as the takeover's: the first button ends, the second goes on.
    QPointer<PollixAlert> showNotice()
    {
        answer = -2;
        return PollixAlert::notice(QStringLiteral("Pollix"), QStringLiteral("Pollix on another computer has opened it."),
                                   {QStringLiteral("Quit"), QStringLiteral("Keep Working Here")}, {},
                                   [this](int index) { answer = index; });
    }
    static QWindow *standsOver(const PollixAlert *notice) { return notice->windowHandle()->transientParent(); }

    QWidget main;
    int answer = -2;
};
} // namespace

TEST_F(NoticeTest, ANoticeStandsOverTheWindowInUseAndIsAnsweredFromWithinAModalDialogThere)
{
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    QPointer<PollixAlert> notice = showNotice();
    ASSERT_TRUE(notice);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(notice));
    EXPECT_EQ(standsOver(notice), main.windowHandle());

    // The teacher opens a dialog: the notice comes over it, and its button answers meanwhile.
    QDialog dialog(&main);
    dialog.resize(300, 200);
    bool overDialog = false;
    QTimer::singleShot(0, &dialog, [&] {
        overDialog = QTest::qWaitFor([&] { return notice && standsOver(notice) == dialog.windowHandle(); }, 2000);
        // Through the window system, as a click of the teacher's is: a window a modal dialog
        // blocks gets none.
        if (auto *keep = notice ? notice->findChild<QPushButton *>("alertButton1") : nullptr)
            QTest::mouseClick(notice->windowHandle(), Qt::LeftButton, {}, keep->mapTo(notice, keep->rect().center()));
        dialog.reject();
    });
    dialog.exec();
    EXPECT_TRUE(overDialog);
    EXPECT_EQ(answer, 1) << "the dialog's modality kept the notice's buttons from the teacher";
    EXPECT_TRUE(QTest::qWaitFor([&] { return notice.isNull(); }, 1000));

    // Shown while the dialog is up, a notice stays with the teacher back in the main window.
    QTimer::singleShot(0, &dialog, [&] {
        notice = showNotice();
        dialog.reject();
    });
    dialog.exec();
    ASSERT_TRUE(notice);
    EXPECT_TRUE(QTest::qWaitFor([&] { return standsOver(notice) == main.windowHandle(); }, 2000));
    delete notice.data();
}

TEST_F(NoticeTest, EscapeAndTheCloseBoxPressTheButtonToKeepTo)
{
    for (const RealAlerts::Way way : {RealAlerts::Way::Escape, RealAlerts::Way::CloseBox}) {
        QPointer<PollixAlert> notice = showNotice();
        ASSERT_TRUE(notice);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(notice));
        if (way == RealAlerts::Way::Escape) {
            // Once the teacher is in it.
            notice->activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(notice));
            RealAlerts::pressEscape(notice);
        } else {
            EXPECT_TRUE(RealAlerts::closeBox(notice));
        }
        EXPECT_EQ(answer, 0) << (way == RealAlerts::Way::Escape ? "Escape" : "close box");
        EXPECT_TRUE(QTest::qWaitFor([&] { return notice.isNull(); }, 1000));
    }
}

TEST_F(NoticeTest, UnderAWindowManagerANoticeIsSeenOverAWindowKeptAbove)
{
    EXPECT_EQ(XvfbRun::run(QStringLiteral("NoticeTest.OnX11*"), {QSize(1024, 768), true}), 0);
}

// Run on a private Xvfb by UnderAWindowManagerANoticeIsSeenOverAWindowKeptAbove.
TEST_F(NoticeTest, OnX11ANoticeIsSeenOverAWindowKeptAbove)
{
    // The main window at its status level, as the teacher works in it.
    WindowStacking::setKeepAbove(main.windowHandle(), true);
    ASSERT_TRUE(WindowOnScreen::settled(&main)) << WindowOnScreen::describe(&main);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    QPointer<PollixAlert> notice = showNotice();
    ASSERT_TRUE(notice);
    ASSERT_TRUE(WindowOnScreen::settled(notice));
    EXPECT_TRUE(QTest::qWaitFor([&] { return WindowOnScreen::stackedAbove(notice, &main); }, 2000))
        << WindowOnScreen::describeStacking({&main, notice.data()});
    WindowOnScreen::shot(QStringLiteral("notice-over-main-window"));

    // A dialog opened from it lowers it and, closed, raises it again: the notice stays in sight.
    QDialog dialog(&main);
    dialog.setWindowTitle(QStringLiteral("Dialog"));
    dialog.resize(300, 200);
    QTimer::singleShot(0, &dialog, [&] {
        WindowOnScreen::settled(&dialog);
        EXPECT_TRUE(QTest::qWaitFor([&] { return notice && WindowOnScreen::stackedAbove(notice, &dialog); }, 2000))
            << WindowOnScreen::describeStacking({&main, &dialog, notice.data()});
        dialog.reject();
    });
    WindowStacking::setKeepAbove(main.windowHandle(), false);
    dialog.exec();
    WindowStacking::setKeepAbove(main.windowHandle(), true);
    QTest::qWait(300);
    ASSERT_TRUE(notice);
    EXPECT_TRUE(QTest::qWaitFor([&] { return WindowOnScreen::stackedAbove(notice, &main); }, 2000))
        << WindowOnScreen::describeStacking({&main, notice.data()});
    delete notice.data();
}

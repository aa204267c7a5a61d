// The computer's F1 and F2 press the buttons whose titles name them, as the teacher keypad's keys
// do, in the window that is up and nowhere else.
#include "support/EventWait.h"
#include "support/PollixTest.h"

#include "ui/controls/PollixAlert.h"
#include "ui/controls/TeacherKeyButtons.h"

#include <QApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

// The window is the one the application takes keys for (the platform tells it so a little
// after the window shows).
bool becomesActive(QWidget *window)
{
    return QTest::qWaitFor([window] { return QApplication::activeWindow() == window; }, kEventWaitMs);
}

const QString kOk = QStringLiteral("  \"F1\" OK  ");
const QString kCancel = QStringLiteral("\"F2\" Cancel");

class TeacherKeyButtonsTest : public PollixTest
{
protected:
    // Runs the alert modally and presses the key once it is the active window; an alert the key
    // leaves up is closed with Escape. Returns the button index taken and whether the key did it.
    static std::pair<int, bool> runAndPress(PollixAlert &alert, Qt::Key key)
    {
        bool byKey = false;
        QTimer::singleShot(0, [&] {
            EXPECT_TRUE(becomesActive(&alert));
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &alert, key);
            byKey = !alert.isVisible();
            if (!byKey)
                QTest::keyClick(&alert, Qt::Key_Escape);
        });
        const int index = alert.runModal() - PollixAlert::AlertFirstButtonReturn;
        return {index, byKey};
    }
};

} // namespace

TEST_F(TeacherKeyButtonsTest, TitlesNameTheirKey)
{
    EXPECT_EQ(TeacherKeyButtons::keyOfTitle(kOk), Qt::Key_F1);
    EXPECT_EQ(TeacherKeyButtons::keyOfTitle(QStringLiteral("\"F1\" Result Details")), Qt::Key_F1);
    EXPECT_EQ(TeacherKeyButtons::keyOfTitle(kCancel), Qt::Key_F2);
    EXPECT_EQ(TeacherKeyButtons::keyOfTitle(QStringLiteral("OK")), 0);
    EXPECT_EQ(TeacherKeyButtons::keyOfTitle(QStringLiteral("F1 OK")), 0) << "a key is named in quotes";
    EXPECT_EQ(TeacherKeyButtons::keyOfTitle(QStringLiteral("\"F12\" OK")), 0);
    EXPECT_EQ(TeacherKeyButtons::keyOfTitle(QStringLiteral("Press \"F1\"")), 0) << "the key leads the title";
}

TEST_F(TeacherKeyButtonsTest, FOneAndFTwoAnswerAnAlertAsItsTitlesSay)
{
    {
        PollixAlert alert(QStringLiteral("Warning"), QStringLiteral("Warning"), {kOk, kCancel});
        EXPECT_EQ(runAndPress(alert, Qt::Key_F1), std::make_pair(0, true));
    }
    {
        PollixAlert alert(QStringLiteral("Warning"), QStringLiteral("Warning"), {kOk, kCancel});
        EXPECT_EQ(runAndPress(alert, Qt::Key_F2), std::make_pair(1, true));
    }
    {
        // The default button is the first: F2 must not take it, whatever has the focus.
        PollixAlert alert(QStringLiteral("Warning"), QStringLiteral("Warning"), {kOk});
        EXPECT_EQ(runAndPress(alert, Qt::Key_F2), std::make_pair(0, false));
    }
    {
        // Titles without a key are left to the mouse and Return.
        PollixAlert alert(QStringLiteral("Pollix"), QStringLiteral("Save?"), {QStringLiteral("Yes"), QStringLiteral("No")});
        EXPECT_EQ(runAndPress(alert, Qt::Key_F1), std::make_pair(1, false));
    }
}

TEST_F(TeacherKeyButtonsTest, OnlyTheActiveWindowsShownEnabledButtonsAnswer)
{
    QDialog window;
    auto *field = new QLineEdit(&window);
    auto *details = new QPushButton(QStringLiteral("\"F1\" Details"), &window);
    auto *close = new QPushButton(QStringLiteral("\"F2\" OK"), &window);
    auto *row = new QHBoxLayout(&window);
    row->addWidget(field);
    row->addWidget(details);
    row->addWidget(close);
    TeacherKeyButtons::watch(&window);
    // Added after the window was watched: bound when it shows.
    auto *late = new QPushButton(QStringLiteral("\"F1\" Late"), &window);
    late->hide();
    row->addWidget(late);
    int detailsClicks = 0, lateClicks = 0;
    QObject::connect(details, &QPushButton::clicked, [&] { ++detailsClicks; });
    QObject::connect(late, &QPushButton::clicked, [&] { ++lateClicks; });
    window.show();
    ASSERT_TRUE(becomesActive(&window));
    field->setFocus();

    QTest::keyClick(field, Qt::Key_F1);
    EXPECT_EQ(detailsClicks, 1) << "from a text field too";
    EXPECT_EQ(lateClicks, 0) << "hidden";
    details->setEnabled(false);
    details->hide();
    late->show();
    QTest::keyClick(field, Qt::Key_F1);
    EXPECT_EQ(detailsClicks, 1) << "disabled and hidden";
    EXPECT_EQ(lateClicks, 1);

    // An alert over the window takes the keys; the window's own buttons are not reached.
    QObject::connect(close, &QPushButton::clicked, &window, &QDialog::accept);
    {
        PollixAlert alert(QStringLiteral("Warning"), QStringLiteral("Warning"), {kOk}, {}, &window);
        bool byKey = false;
        QTimer::singleShot(0, [&] {
            EXPECT_TRUE(becomesActive(&alert));
            QTest::keyClick(&alert, Qt::Key_F2);
            EXPECT_TRUE(window.isVisible()) << "F2 of the window below";
            QTest::keyClick(&alert, Qt::Key_F1);
            byKey = !alert.isVisible();
            if (!byKey)
                QTest::keyClick(&alert, Qt::Key_Escape);
        });
        EXPECT_EQ(alert.runModal(), PollixAlert::AlertFirstButtonReturn);
        EXPECT_TRUE(byKey);
        EXPECT_EQ(lateClicks, 1);
    }
    // Back in the window, F2 closes it.
    window.activateWindow();
    ASSERT_TRUE(becomesActive(&window));
    QTest::keyClick(&window, Qt::Key_F2);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.result(), QDialog::Accepted);
}

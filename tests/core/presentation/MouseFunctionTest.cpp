#include "core/presentation/MouseFunction.h"
#include "platform/XTestEventSink.h"

#include "support/PollixTest.h"

#include <QProcess>

#include <gtest/gtest.h>

namespace {

// Records what would reach the window system; the pointer follows the events.
class RecordingSink : public InputEventSink
{
public:
    bool isAvailable() const override { return true; }
    QPoint cursorPosition() override { return at; }
    int mainScreenHeight() override { return 768; }
    void moveTo(const QPoint &p) override
    {
        at = p;
        events << QStringLiteral("move %1,%2").arg(p.x()).arg(p.y());
    }
    void button(Button b, bool down, const QPoint &p) override
    {
        at = p;
        events << QStringLiteral("%1 %2 %3,%4")
                      .arg(b == Button::Left ? "left" : "right", down ? "down" : "up")
                      .arg(p.x())
                      .arg(p.y());
    }
    void key(Key k) override { events << QStringLiteral("key %1").arg(int(k)); }

    QPoint at{500, 300};
    QStringList events;
};

class KeypadMouseTest : public PollixTest
{
protected:
    void SetUp() override
    {
        PollixTest::SetUp();
        sink = std::make_shared<RecordingSink>();
        mouse = MouseFunction::shareManager();
        mouse->setSink(sink);
    }
    QStringList take() { return std::exchange(sink->events, {}); }

    std::shared_ptr<RecordingSink> sink;
    MouseFunction *mouse = nullptr;
};

QString key(InputEventSink::Key k)
{
    return QStringLiteral("key %1").arg(int(k));
}

} // namespace

TEST_F(KeypadMouseTest, StepsFollowTheSpeedSettingAndMasksOfTheCommandByte)
{
    // The speed setting comes from the configuration (30 when never set).
    EXPECT_EQ(mouse->m_nMoveSpeed(), 30);
    mouse->setM_nMoveSpeed(35);
    mouse->StartMouseFunction(1);
    EXPECT_EQ(sink->at, QPoint(500, 295));
    mouse->StartMouseFunction(21);
    EXPECT_EQ(sink->at, QPoint(500, 282));
    mouse->StartMouseFunction(2);
    mouse->StartMouseFunction(22);
    EXPECT_EQ(sink->at, QPoint(500, 300));
    mouse->StartMouseFunction(3);
    mouse->StartMouseFunction(24);
    EXPECT_EQ(sink->at, QPoint(508, 300));
    mouse->StartMouseFunction(23);
    mouse->StartMouseFunction(4);
    EXPECT_EQ(sink->at, QPoint(500, 300));
    take();

    // 0x85 and 0x95 click as 5 does; 0x84 moves right as 4 does.
    for (int c : {5, 0x85, 0x95}) {
        mouse->StartMouseFunction(c);
        EXPECT_EQ(take(), (QStringList{"move 100,-100", "move 500,300", "left down 500,300", "left up 500,300"})) << c;
    }
    mouse->StartMouseFunction(0x84);
    EXPECT_EQ(sink->at, QPoint(505, 300));
    // Commands outside the table do nothing.
    take();
    for (int c : {0, 19, 20, 25, 0x80, 0x90})
        mouse->StartMouseFunction(c);
    EXPECT_TRUE(take().isEmpty());
}

TEST_F(KeypadMouseTest, ClicksKeysAndTheHeldButton)
{
    sink->at = QPoint(100, 50);
    mouse->StartMouseFunction(5);
    // The lead-in is motion only, so that it never turns into a drag.
    EXPECT_EQ(take(), (QStringList{"move 500,450", "move 100,50", "left down 100,50", "left up 100,50"}));
    mouse->StartMouseFunction(6);
    EXPECT_EQ(take(), (QStringList{"right down 100,50", "right up 100,50"}));
    mouse->StartMouseFunction(7);
    EXPECT_EQ(take(), (QStringList{"left down 100,50", "left up 100,50", "left down 100,50", "left up 100,50"}));

    using K = InputEventSink::Key;
    const QList<std::pair<int, K>> keys{{8, K::PageUp}, {9, K::PageDown}, {10, K::Escape}, {11, K::Return},
                                        {12, K::Up},    {13, K::Down},    {14, K::Left},   {15, K::Right},
                                        {16, K::Tab}};
    for (const auto &[command, k] : keys) {
        mouse->StartMouseFunction(command);
        EXPECT_EQ(take(), QStringList{key(k)}) << command;
    }
    mouse->InputKeyboardKey(65);
    EXPECT_TRUE(take().isEmpty());

    // 17 holds the button; the next step first puts a plain move where the pointer is.
    mouse->StartMouseFunction(17);
    EXPECT_TRUE(mouse->isLeftButtonDown());
    mouse->StartMouseFunction(3);
    EXPECT_EQ(take(), (QStringList{"left down 100,50", "move 100,50", "move 95,50"}));
    EXPECT_FALSE(mouse->isLeftButtonDown());
    mouse->StartMouseFunction(17);
    mouse->StartMouseFunction(18);
    EXPECT_EQ(take(), (QStringList{"left down 95,50", "left up 95,50"}));
    // 0x84 does not end a held button.
    mouse->StartMouseFunction(17);
    mouse->StartMouseFunction(0x84);
    EXPECT_TRUE(mouse->isLeftButtonDown());
    take();

    mouse->MoveToLeftBottomAndClickLeftButton();
    const QStringList corner = take();
    ASSERT_EQ(corner.size(), 8);
    EXPECT_EQ(corner.first(), "left down 0,768");
    EXPECT_EQ(corner.last(), "left up 0,768");
}

TEST_F(KeypadMouseTest, AirMouseDistanceGrowsWithTiltSpeedAndASteadyTurn)
{
    mouse->setM_nMoveSpeed(30);
    mouse->New_StartMouseFunctionX(128, 128);
    EXPECT_EQ(sink->at, QPoint(500, 300));
    EXPECT_TRUE(take().isEmpty());

    // Offset -28 at speed 30: distance 5, factor 1.5, 7.5 -> seven single steps up.
    mouse->New_StartMouseFunctionX(100, 128);
    EXPECT_EQ(take().size(), 7);
    EXPECT_EQ(sink->at, QPoint(500, 293));
    EXPECT_EQ(mouse->lastX(), -28);

    // A negative Y moves right, with the horizontal factor 1.2: offset -20, distance 4,
    // 4 * 1.5 * 1.2 = 7.2 -> seven steps. An offset of 10 is below the threshold at this speed.
    mouse->New_StartMouseFunctionX(128, 108);
    EXPECT_EQ(sink->at, QPoint(507, 293));
    mouse->New_StartMouseFunctionX(128, 138);
    EXPECT_EQ(sink->at, QPoint(507, 293));

    // The same direction with a much larger offset is sped up by half.
    mouse->setM_nMoveSpeed(10);
    EXPECT_FLOAT_EQ(mouse->CountSeedFlag(-40, -20), 12.0f);
    EXPECT_FLOAT_EQ(mouse->CountSeedFlag(-40, 20), 8.0f);
    EXPECT_FLOAT_EQ(mouse->CountSeedFlag(-40, -35), 8.0f);
    // Small tilts and slow settings do not move at all.
    EXPECT_FLOAT_EQ(mouse->CountSeedFlag(5, 0), 0.0f);
    EXPECT_FLOAT_EQ(mouse->CountSeedFlag(30, 0), 0.0f);
    EXPECT_FLOAT_EQ(mouse->CountSeedFlag(40, 0), 8.0f);
    // Bytes outside a byte are held to it.
    take();
    mouse->New_StartMouseFunctionX(100000, -5000);
    EXPECT_LT(take().size(), 200);
}

TEST_F(KeypadMouseTest, MovesTheRealPointerOfAnXServer)
{
    QProcess xvfb;
    xvfb.start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                                        QStringLiteral("0"), QStringLiteral("800x600x24"), QStringLiteral("-nolisten"),
                                        QStringLiteral("tcp")});
    ASSERT_TRUE(xvfb.waitForStarted(10000)) << "Xvfb (package xvfb) is needed";
    QByteArray number;
    while (!number.contains('\n') && xvfb.waitForReadyRead(20000))
        number += xvfb.readAllStandardOutput();
    ASSERT_TRUE(number.contains('\n')) << "Xvfb gave no display number";
    {
        auto x = std::make_shared<XTestEventSink>(QLatin1Char(':') + QString::fromLatin1(number.trimmed()));
        ASSERT_TRUE(x->isAvailable());
        EXPECT_EQ(x->mainScreenHeight(), 600);
        x->moveTo(QPoint(200, 150));
        EXPECT_EQ(x->cursorPosition(), QPoint(200, 150));
        mouse->setSink(x);
        mouse->setM_nMoveSpeed(30);
        mouse->StartMouseFunction(4);
        mouse->StartMouseFunction(22);
        EXPECT_EQ(x->cursorPosition(), QPoint(205, 163));
        mouse->setSink(sink);
    }
    xvfb.terminate();
    xvfb.waitForFinished(10000);
}

TEST_F(KeypadMouseTest, TeacherMouseFramesOfEveryWindowReachThePointer)
{
    MouseFunction::install();
    mouse->setM_nMoveSpeed(30);
    EXPECT_TRUE(KeypadMouse::pass(QByteArray("\x04", 1)));
    EXPECT_EQ(sink->at, QPoint(505, 300));
    EXPECT_TRUE(KeypadMouse::pass(QByteArray("\xE0\x64\x80", 3)));
    EXPECT_EQ(sink->at, QPoint(505, 293));
    // An air move without its position moves nothing.
    EXPECT_FALSE(KeypadMouse::pass(QByteArray("\xE0\x64", 2)));
    EXPECT_EQ(sink->at, QPoint(505, 293));
    KeypadMouse::setSink({});
}

#include "core/presentation/ScreenShotSelection.h"

#include <gtest/gtest.h>

using S = ScreenShotSelection;

namespace {
S marked(const QPointF &from, const QPointF &to)
{
    S s;
    s.mouseDown(from);
    s.mouseDragged(to);
    s.mouseUp();
    return s;
}
} // namespace

TEST(ScreenShotSelection, NewRectanglesSmallerThanSixPointsAreDropped)
{
    EXPECT_FALSE(marked({100, 100}, {105, 140}).hasRect()) << "5 x 40";
    const S six = marked({100, 100}, {106, 106});
    ASSERT_TRUE(six.hasRect());
    EXPECT_EQ(six.rectShot(), QRectF(100, 100, 6, 6));
    // Drawn towards the lower left, it is the same rectangle.
    EXPECT_EQ(marked({200, 200}, {150.9, 170.4}).rectShot(), QRectF(151, 171, 49, 29));
}

TEST(ScreenShotSelection, HandlesResizeAndTurnTheRectangleOver)
{
    S s = marked({100, 100}, {200, 150}); // (100, 100) 100 x 50, top at y 150
    EXPECT_EQ(s.handleRect(S::LeftTop), QRectF(96, 146, 8, 8));
    // The left-top handle dragged past the right edge: x follows the pointer's side of the peg.
    s.mouseDown({100, 150});
    EXPECT_EQ(s.dragType(), int(S::LeftTop));
    s.mouseDragged({230, 180});
    EXPECT_EQ(s.rectShot(), QRectF(200, 100, 30, 80));
    s.mouseUp();
    // The centre-top handle changes the height only.
    s.mouseDown(s.handleRect(S::CenterTop).center());
    EXPECT_EQ(s.dragType(), int(S::CenterTop));
    s.mouseDragged({999, 120});
    EXPECT_EQ(s.rectShot(), QRectF(200, 100, 30, 20));
}

TEST(ScreenShotSelection, MovingInsideAndPressingOutside)
{
    S s = marked({100, 100}, {200, 150});
    s.mouseDown({150, 120});
    EXPECT_EQ(s.dragType(), int(S::Move));
    s.mouseDragged({160.7, 116.8});
    EXPECT_EQ(s.rectShot(), QRectF(110, 97, 100, 50)) << "moved by (10, -3)";
    s.mouseUp();
    s.mouseDown({400, 400});
    EXPECT_EQ(s.dragType(), int(S::None));
    s.mouseDragged({450, 450});
    s.mouseUp();
    EXPECT_EQ(s.rectShot(), QRectF(110, 97, 100, 50));
    // A right click drops the mark; a second one, with nothing marked, gives up.
    EXPECT_FALSE(s.rightMouseDown());
    EXPECT_FALSE(s.hasRect());
    EXPECT_TRUE(s.rightMouseDown());
}

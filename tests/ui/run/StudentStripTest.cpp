#include "support/PollixTest.h"
#include "ui/run/PPTStudentLoginView.h"
#include "ui/run/StudentLoginView.h"

#include <QGuiApplication>
#include <QScreen>
#include <QScrollArea>

namespace {

class StudentStrip : public PollixTest
{
protected:
    void add(int count, int firstKeypad = 1)
    {
        for (int i = 0; i < count; ++i) {
            auto s = std::make_shared<StudentInClass>();
            s->setDeviceNo(firstKeypad + i);
            s->setStudentNo(firstKeypad + i);
            s->setStudentID(QString::number(firstKeypad + i));
            strip.addAStudent(s);
        }
    }
    QList<int> steps(int n)
    {
        QList<int> out;
        for (int i = 0; i < n; ++i) {
            strip.startMove();
            out << strip.scrollOffset();
        }
        return out;
    }

    PPTStudentLoginView strip;
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
};

} // namespace

TEST_F(StudentStrip, ThreeSizesAcrossTheScreenAndTheLargeOneFromFiftyTwoStudents)
{
    EXPECT_TRUE(strip.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(strip.setWindowToSmall());
    EXPECT_EQ(strip.geometry(), QRect(0, 0, screen.width(), 20));
    EXPECT_FALSE(strip.LoginSV->isVisibleTo(&strip));
    EXPECT_TRUE(strip.setWindowToNormal());
    EXPECT_EQ(strip.geometry(), QRect(0, 0, screen.width(), 125));
    EXPECT_EQ(strip.LoginSV->geometry().height(), 105);

    add(51);
    add(1, 1); // the same student twice counts once
    EXPECT_EQ(strip.nLoginStudentSum(), 51);
    EXPECT_FALSE(strip.setWindowToLarge());
    EXPECT_EQ(strip.height(), 125);
    EXPECT_FALSE(strip.isLarge());

    add(1, 52);
    ASSERT_TRUE(strip.setWindowToLarge());
    EXPECT_EQ(strip.height(), 200);
    EXPECT_EQ(strip.LoginSV->geometry().height(), 180);
    EXPECT_EQ(strip.scrollOffset(), 0);
    EXPECT_TRUE(strip.isLarge());
    // A large strip does not scroll by itself.
    strip.setViewMove(true);
    EXPECT_EQ(steps(2), (QList<int>{0, 0}));
    strip.setViewMove(false);
    strip.setWindowToSmall();
    EXPECT_FALSE(strip.isLarge());

    // 450 students: sized for 400, 15 rows of 40 points, the grid left where it is.
    PPTStudentLoginView many;
    for (int i = 1; i <= 450; ++i) {
        auto s = std::make_shared<StudentInClass>();
        s->setDeviceNo(i);
        s->setStudentNo(i);
        many.addAStudent(s);
    }
    ASSERT_TRUE(many.setWindowToLarge());
    EXPECT_EQ(PPTStudentLoginView::largeGridHeight(450), 600);
    EXPECT_EQ(many.height(), 720);
    EXPECT_EQ(many.scrollOffset(), -1);
}

TEST_F(StudentStrip, AutoScrollGoesOneRowASecondToTheLastRowAndBack)
{
    add(51);
    strip.setViewMove(true);
    EXPECT_FALSE(strip.isMoving());
    add(1, 52);
    strip.setViewMove(true);
    EXPECT_TRUE(strip.isMoving());
    EXPECT_EQ(strip.nMoveHeight(), 82);
    EXPECT_EQ(steps(7), (QList<int>{82, 41, 0, 41, 82, 41, 0}));
    strip.setViewMove(false);
    EXPECT_FALSE(strip.isMoving());

    // 130 students, five rows: down from 205 to 0 and back up.
    add(78, 100);
    strip.setViewMove(true);
    EXPECT_EQ(steps(12), (QList<int>{205, 164, 123, 82, 41, 0, 41, 82, 123, 164, 205, 164}));
    strip.setViewMove(false);

    // Paper Quiz and Homework never scroll by themselves.
    for (int mode : {1, 2}) {
        PPTStudentLoginView paper;
        paper.setNMode(mode);
        for (int i = 1; i <= 60; ++i) {
            auto s = std::make_shared<StudentInClass>();
            s->setDeviceNo(i);
            s->setStudentNo(i);
        s->setStudentNo(i);
            paper.addAStudent(s);
        }
        paper.setViewMove(true);
        EXPECT_FALSE(paper.isMoving());
    }
}

TEST_F(StudentStrip, GridMarksPassThrough)
{
    add(3);
    EXPECT_TRUE(strip.setStudentAnswered(2));
    EXPECT_EQ(strip.studentLoginView->buttonColor(1), StudentLoginView::colorOfState(StudentLoginView::StateAnswered));
    EXPECT_FALSE(strip.setStudentAnswered(9));
    EXPECT_TRUE(strip.setStudentExited(3));
    EXPECT_EQ(strip.studentLoginView->buttonColor(2), StudentLoginView::colorOfState(StudentLoginView::StateExited));
    strip.setStudentsNormal();
    EXPECT_EQ(strip.studentLoginView->buttonColor(1), StudentLoginView::colorOfState(StudentLoginView::StateNormal));
}

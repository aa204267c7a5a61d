#include "support/PollixTest.h"

#include "core/engine/QuizQuestions.h"
#include "platform/NotificationCenter.h"
#include "ui/run/StudentLoginView.h"

#include <QPushButton>

namespace {

StudentInClassPtr student(int no, int deviceNo)
{
    auto s = std::make_shared<StudentInClass>();
    s->setStudentNo(no);
    s->setStudentID(QStringLiteral("S%1").arg(no));
    s->setStudentFirstName(QStringLiteral("First%1").arg(no));
    s->setStudentLastName(QStringLiteral("Last%1").arg(no));
    s->setDeviceNo(deviceNo);
    return s;
}

class StudentLoginViewTest : public PollixTest
{
protected:
    // A grid of n students, keypad numbers 1..n.
    void fill(StudentLoginView &grid, int n)
    {
        for (int i = 1; i <= n; ++i)
            ASSERT_TRUE(grid.addAStudent(student(i, i)));
    }
    static QColor c(double r, double g, double b) { return QColor::fromRgbF(float(r), float(g), float(b)); }
};

} // namespace

TEST_F(StudentLoginViewTest, OneButtonPerStudentWithNumberAndTooltip)
{
    StudentLoginView grid;
    grid.resize(300, 200);
    EXPECT_TRUE(grid.addAStudent(student(1, 12)));
    EXPECT_FALSE(grid.addAStudent(student(1, 12))) << "the same student logging in twice";
    EXPECT_EQ(grid.count(), 1);
    EXPECT_EQ(grid.button(0)->text(), QStringLiteral("12"));
    EXPECT_EQ(grid.button(0)->toolTip(), QStringLiteral("S1\nFirst1 Last1"));
    EXPECT_EQ(grid.buttonColor(0), c(0.67, 0.84, 0.02));

    StudentLoginView paper;
    paper.resize(300, 200);
    paper.setLoginViewStyle(3);
    paper.addAStudent(student(2, 7));
    EXPECT_EQ(paper.button(0)->text(), QStringLiteral("7(1)"));
    EXPECT_EQ(paper.students().first().state(), StudentLoginView::StatePaperQuiz);
}

TEST_F(StudentLoginViewTest, AnswersCycleLightBlueYellowLightBlue)
{
    StudentLoginView grid;
    grid.resize(300, 200);
    fill(grid, 2);
    EXPECT_TRUE(grid.setStudentLogined(1));
    EXPECT_TRUE(grid.setStudentAnswered(1));
    EXPECT_EQ(grid.students()[0].state(), 1);
    EXPECT_EQ(grid.buttonColor(0), c(0.37, 0.89, 1.0));
    grid.setStudentAnswered(1);
    EXPECT_EQ(grid.students()[0].state(), 2);
    EXPECT_EQ(grid.buttonColor(0), c(1.0, 0.82, 0.0));
    grid.setStudentAnswered(1);
    EXPECT_EQ(grid.students()[0].state(), 1);
    EXPECT_FALSE(grid.setStudentAnswered(99)) << "no button with that keypad number";
    EXPECT_EQ(grid.students()[1].state(), 0);
}

TEST_F(StudentLoginViewTest, NormalKeepsEliminatedAndLeftButMultipleModeResetsAll)
{
    StudentLoginView grid;
    grid.resize(300, 200);
    fill(grid, 4);
    grid.setStudentEliminateAnswered(1, false); // 6, rose
    EXPECT_EQ(grid.buttonColor(0), c(0.73, 0.28, 0.35));
    grid.setStudentEliminated(); // 6 -> 5
    EXPECT_EQ(grid.students()[0].state(), 5);
    EXPECT_EQ(grid.buttonColor(0), c(0.49, 0.34, 0.0));
    grid.setStudentExited(2);
    EXPECT_EQ(grid.buttonColor(1), c(0.44, 0.44, 0.44));
    grid.setStudentRushed(3);
    grid.setStudentRushAnswered(4, false);
    grid.setStudentsNormal();
    EXPECT_EQ(grid.students()[0].state(), 5);
    EXPECT_EQ(grid.students()[1].state(), 9);
    EXPECT_EQ(grid.students()[2].state(), 0);
    EXPECT_EQ(grid.students()[3].state(), 0);
    grid.setStudentsNormalInMultipleMode();
    for (const StudentInfo &s : grid.students())
        EXPECT_EQ(s.state(), 0);
    EXPECT_EQ(grid.buttonColor(0), c(0.67, 0.84, 0.02));
}

TEST_F(StudentLoginViewTest, RowsOfTwoInAHundredPointGridAndGrowthByOneRow)
{
    StudentLoginView grid;
    grid.resize(100, 84); // two rows of 40 with a 2-point gap and the 5-point margin fit barely
    fill(grid, 4);
    EXPECT_EQ(grid.button(0)->geometry(), QRect(5, 5, 45, 40));
    EXPECT_EQ(grid.button(1)->geometry(), QRect(52, 5, 45, 40));
    EXPECT_EQ(grid.button(2)->geometry(), QRect(5, 47, 45, 40));
    EXPECT_EQ(grid.height(), 84 + 42) << "the second row lies below the bottom";
    grid.addAStudent(student(5, 5));
    EXPECT_EQ(grid.height(), 84 + 2 * 42);
    EXPECT_EQ(grid.button(4)->geometry(), QRect(5, 89, 45, 40));
    EXPECT_EQ(grid.button(0)->geometry().topLeft(), QPoint(5, 5)) << "laid out again from the top";
}

TEST_F(StudentLoginViewTest, PaperQuizButtonsShowTheQuestionTheStudentIsOn)
{
    StudentLoginView grid;
    grid.resize(300, 200);
    grid.setLoginViewStyle(3);
    fill(grid, 1);
    grid.setStudentPaperQuiz(1, 2, false);
    EXPECT_EQ(grid.button(0)->text(), QStringLiteral("1(2)"));
    EXPECT_EQ(grid.students()[0].state(), 10);
    grid.setStudent(1, 3, true);
    EXPECT_EQ(grid.students()[0].state(), 1);
    EXPECT_EQ(grid.button(0)->text(), QStringLiteral("1(3)"));
}

TEST_F(StudentLoginViewTest, GroupColoursKeepTheStateAndHandRaiseClicksPost)
{
    StudentLoginView grid;
    grid.resize(300, 200);
    grid.setLoginViewStyle(4);
    fill(grid, 2);
    grid.setStudentChangedToGroup(1, 3);
    EXPECT_EQ(grid.buttonColor(0), QColor(Qt::blue));
    EXPECT_EQ(grid.students()[0].state(), 0);
    QList<int> clicked;
    QObject observer;
    NotificationCenter::defaultCenter()->addObserver(&observer, QStringLiteral("quizstate_arvel_handraiseDeviceNo"),
                                                     [&](const Notification &n) {
                                                         EXPECT_EQ(n.object, &grid);
                                                         clicked << n.userInfo.value(QStringLiteral("DEVICENO")).toInt();
                                                     });
    grid.button(1)->click();
    EXPECT_EQ(clicked, QList<int>{2});
}

#include "support/PollixTest.h"

#include "core/engine/QuizQuestions.h"
#include "platform/NotificationCenter.h"
#include "ui/run/StudentLoginView.h"

#include "support/ImageCompare.h"
#include "support/TextContrast.h"

#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>

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

namespace {

// How a tile looks where its title is not: the colour three points in from its left edge.
QColor faceOf(const QImage &image, const QRect &tile)
{
    return image.pixelColor(tile.left() + 3, tile.center().y());
}

bool near(const QColor &a, const QColor &b)
{
    return std::abs(a.red() - b.red()) <= 2 && std::abs(a.green() - b.green()) <= 2 && std::abs(a.blue() - b.blue()) <= 2;
}

// The contrast of the title as drawn: its strongest pixel in the tile's middle against the face.
double titleContrast(const QImage &image, const QRect &tile)
{
    const QColor face = faceOf(image, tile);
    double best = 1.0;
    const QRect middle = tile.adjusted(5, 8, -5, -8);
    for (int y = middle.top(); y <= middle.bottom(); ++y)
        for (int x = middle.left(); x <= middle.right(); ++x)
            best = std::max(best, TextContrast::between(image.pixelColor(x, y), face));
    return best;
}

} // namespace

TEST_F(StudentLoginViewTest, EveryStateIsDrawnInItsColourWithAReadableTitle)
{
    StudentLoginView grid;
    grid.resize(5 * 47 + 8, 3 * 42 + 5);
    fill(grid, 15);
    grid.setStudentLogined(1);
    grid.setStudentLogined(2);
    grid.setStudentAnswered(2);
    grid.setStudentAnswered(3);
    grid.setStudentAnswered(3);
    grid.setStudentRushed(4);
    grid.setStudentRushAnswered(5, false);
    grid.setStudentEliminateAnswered(6, false);
    grid.setStudentEliminated();
    grid.setStudentEliminateAnswered(7, false);
    grid.setStudentExited(8);
    grid.setStudentChangedToGroup(10, 3);
    grid.setStudentPaperQuiz(11, 2, true); // every question answered (the run has none): white
    grid.setStudent(12, 3, false);
    grid.setStudentChangedToGroup(13, 1);
    grid.setStudentChangedToGroup(14, 4);
    grid.setStudentChangedToGroup(15, 7);
    const QImage image = grid.grab().toImage();

    const QList<QColor> faces{StudentLoginView::colorOfState(7), StudentLoginView::colorOfState(1),
                              StudentLoginView::colorOfState(2), StudentLoginView::colorOfState(3),
                              StudentLoginView::colorOfState(4), StudentLoginView::colorOfState(5),
                              StudentLoginView::colorOfState(6), StudentLoginView::colorOfState(9),
                              StudentLoginView::colorOfState(0), StudentLoginView::colorOfGroup(3),
                              QColor(Qt::white), StudentLoginView::colorOfState(10),
                              StudentLoginView::colorOfGroup(1), StudentLoginView::colorOfGroup(4),
                              StudentLoginView::colorOfGroup(7)};
    for (int i = 0; i < faces.size(); ++i) {
        const QRect tile = grid.button(i)->geometry();
        EXPECT_TRUE(near(faceOf(image, tile), faces[i])) << "tile " << i + 1 << " drawn " << faceOf(image, tile).name().toStdString()
                                                         << ", wanted " << faces[i].name().toStdString();
        EXPECT_EQ(grid.buttonColor(i), faces[i]) << "tile " << i + 1;
        EXPECT_GE(titleContrast(image, tile), 4.5) << "title of tile " << i + 1;
    }
    EXPECT_EQ(grid.button(10)->text(), QStringLiteral("11(2)"));
    EXPECT_EQ(grid.button(11)->text(), QStringLiteral("12(3)"));
    EXPECT_TRUE(looksLikeGolden(image, testDataPath(QStringLiteral("run/student-grid-states/expected.png"))));

    // A tile that changes back shows its new colour the next time it is drawn.
    grid.setStudentsNormalInMultipleMode();
    const QImage again = grid.grab().toImage();
    for (int i = 0; i < 9; ++i)
        EXPECT_TRUE(near(faceOf(again, grid.button(i)->geometry()), StudentLoginView::colorOfState(0))) << "tile " << i + 1;
}

TEST_F(StudentLoginViewTest, KeypadNumbersFindTheirTilesAfterLogoutAndLoginAgain)
{
    StudentLoginView grid;
    grid.resize(300, 200);
    fill(grid, 3);
    // Two students of the class sharing a keypad number both change.
    ASSERT_TRUE(grid.addAStudent(student(4, 2)));
    EXPECT_EQ(grid.indexsOfStudent(2), (QList<int>{1, 3}));
    EXPECT_TRUE(grid.setStudentAnswered(2));
    EXPECT_EQ(grid.students()[1].state(), StudentLoginView::StateAnswered);
    EXPECT_EQ(grid.students()[3].state(), StudentLoginView::StateAnswered);

    // Logged out, then in again: the same tile, no second one, and its number still finds it.
    EXPECT_TRUE(grid.setStudentExited(1));
    EXPECT_EQ(grid.buttonColor(0), StudentLoginView::colorOfState(9));
    EXPECT_FALSE(grid.addAStudent(student(1, 1)));
    EXPECT_EQ(grid.count(), 4);
    EXPECT_TRUE(grid.setStudentLogined(1));
    EXPECT_EQ(grid.students()[0].state(), StudentLoginView::StateLogined);
    EXPECT_EQ(grid.buttonColor(0), StudentLoginView::colorOfState(7));
    EXPECT_TRUE(grid.setStudentAnswered(1));
    EXPECT_EQ(grid.students()[0].state(), StudentLoginView::StateAnswered);

    // The tile keeps the number it was given, whatever happens to the run's student afterwards.
    auto moved = student(5, 5);
    grid.addAStudent(moved);
    moved->setDeviceNo(9);
    EXPECT_EQ(grid.indexsOfStudent(5), QList<int>{4});
    EXPECT_TRUE(grid.indexsOfStudent(9).isEmpty());
    EXPECT_FALSE(grid.setStudentRushed(9));
    EXPECT_TRUE(grid.indexsOfStudent(0).isEmpty());
}

TEST_F(StudentLoginViewTest, ForthySixStudentsGrowTheGridRowByRowAndItScrollsAPage)
{
    // The run window's grid: five tiles a row in a scroll area that shows a few rows.
    QScrollArea area;
    auto *grid = new StudentLoginView;
    grid->resize(5 * 47 + 8, 200);
    area.setWidget(grid);
    area.resize(grid->width() + 20, 300);
    area.show();
    fill(*grid, 45);
    EXPECT_EQ(grid->height(), 200 + 5 * 42) << "nine rows of five: five rows more than fitted";
    EXPECT_EQ(grid->button(44)->geometry(), QRect(5 + 4 * 47, 5 + 8 * 42, 45, 40));
    ASSERT_TRUE(grid->addAStudent(student(46, 46)));
    EXPECT_EQ(grid->height(), 200 + 6 * 42) << "the 46th opens a tenth row";
    EXPECT_EQ(grid->button(45)->geometry(), QRect(5, 5 + 9 * 42, 45, 40));
    for (int i = 0; i < 45; ++i)
        ASSERT_EQ(grid->button(i)->geometry().topLeft(), QPoint(5 + i % 5 * 47, 5 + i / 5 * 42)) << "tile " << i + 1;

    // The scroll area reaches the last row, so the paging of a running question can show it.
    EXPECT_EQ(area.verticalScrollBar()->maximum(), grid->height() - area.viewport()->height());
    area.verticalScrollBar()->setValue(660);
    EXPECT_EQ(area.verticalScrollBar()->value(), area.verticalScrollBar()->maximum());
    EXPECT_TRUE(area.viewport()->rect().contains(grid->button(45)->geometry().translated(grid->pos())))
        << "the 46th tile in view";

    // Narrower: four a row, every tile placed again from the top.
    grid->resize(4 * 47 + 8, grid->height());
    EXPECT_EQ(grid->button(4)->geometry().topLeft(), QPoint(5, 47));
    EXPECT_EQ(grid->button(45)->geometry().topLeft(), QPoint(5 + 47, 5 + 11 * 42));
}

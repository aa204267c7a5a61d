#include "support/PollixTest.h"

#include "core/authoring/ExamPaperInfo.h"
#include "core/authoring/QuestionSetView.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "ui/presentation/ScreenShotCapture.h"
#include "ui/presentation/ScreenShotCurtain.h"
#include "ui/presentation/ScreenShotView.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QTest>

namespace {

class ScreenShotCaptureTest : public PollixTest
{
protected:
    void SetUp() override
    {
        PollixTest::SetUp();
        // A screen of grey with a red block at (40, 30), 50 x 20 (in the curtain's points).
        ScreenShotView::setSource([] {
            QImage screen(QGuiApplication::primaryScreen()->geometry().size(), QImage::Format_RGB32);
            screen.fill(Qt::gray);
            QPainter(&screen).fillRect(QRect(40, 30, 50, 20), Qt::red);
            return screen;
        });
        NotificationCenter::defaultCenter()->addObserver(&m_owner, Notify::ScreenShotCaption,
                                                         [this](const Notification &n) { captions << n.userInfo; });
    }
    void TearDown() override
    {
        ScreenShotView::setSource({});
        PollixTest::TearDown();
    }
    QList<QVariantMap> captions;
    QObject m_owner;
};

} // namespace

TEST_F(ScreenShotCaptureTest, TheMarkedPartOfTheScreenComesBackOnADoubleClick)
{
    ScreenShotCapture capture;
    capture.start(nullptr);
    QPointer<ScreenShotView> view = capture.view();
    ASSERT_TRUE(view);
    EXPECT_TRUE(view->isVisible());
    ScreenShotCurtain *curtain = view->curtain();
    ASSERT_EQ(curtain->size(), view->size());
    QTest::mousePress(curtain, Qt::LeftButton, {}, QPoint(40, 30));
    QTest::mouseMove(curtain, QPoint(90, 50));
    QMouseEvent drag(QEvent::MouseMove, QPointF(90, 50), curtain->mapToGlobal(QPointF(90, 50)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(curtain, &drag);
    QTest::mouseRelease(curtain, Qt::LeftButton, {}, QPoint(90, 50));
    EXPECT_EQ(curtain->markedRect(), QRect(40, 30, 50, 20));
    EXPECT_TRUE(captions.isEmpty());
    QTest::mouseDClick(curtain, Qt::LeftButton, {}, QPoint(60, 40));
    ASSERT_EQ(captions.size(), 1);
    EXPECT_EQ(captions[0].value(Notify::Key::Flag).toInt(), 1);
    const QImage image = captions[0].value(Notify::Key::Image).value<QImage>();
    EXPECT_EQ(image.size(), QSize(50, 20));
    EXPECT_EQ(image.pixelColor(25, 10), QColor(Qt::red));
    QTRY_VERIFY(!view);
}

TEST_F(ScreenShotCaptureTest, TheHandlesShowOnADarkScreen)
{
    ScreenShotView::setSource([] {
        QImage screen(QGuiApplication::primaryScreen()->geometry().size(), QImage::Format_RGB32);
        screen.fill(Qt::black);
        return screen;
    });
    ScreenShotCapture capture;
    capture.start(nullptr);
    ScreenShotCurtain *curtain = capture.view()->curtain();
    QTest::mousePress(curtain, Qt::LeftButton, {}, QPoint(40, 30));
    QMouseEvent drag(QEvent::MouseMove, QPointF(140, 90), curtain->mapToGlobal(QPointF(140, 90)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(curtain, &drag);
    QTest::mouseRelease(curtain, Qt::LeftButton, {}, QPoint(140, 90));
    ASSERT_EQ(curtain->markedRect(), QRect(40, 30, 100, 60));
    const QImage shown = capture.view()->grab().toImage();
    // The left-top handle is the 8 x 8 square round (40, 30): its rim stands out from the black.
    EXPECT_GT(QColor(shown.pixel(36, 33)).lightness(), 150);
    EXPECT_LT(QColor(shown.pixel(20, 33)).lightness(), 30) << "outside the mark stays dark";
    QTest::mouseClick(curtain, Qt::RightButton, {}, QPoint(60, 40));
    QTest::mouseClick(curtain, Qt::RightButton, {}, QPoint(60, 40));
}

TEST_F(ScreenShotCaptureTest, ARightClickWithNothingMarkedGivesUp)
{
    ScreenShotCapture capture;
    capture.start(nullptr);
    QTest::mouseClick(capture.view()->curtain(), Qt::RightButton, {}, QPoint(10, 10));
    ASSERT_EQ(captions.size(), 1);
    EXPECT_EQ(captions[0].value(Notify::Key::Flag).toInt(), 0);
    EXPECT_TRUE(captions[0].value(Notify::Key::Image).value<QImage>().isNull());
}

TEST(PenStrokes, StrokesDrawnOnAPageAreKeptThroughSaveAndReopen)
{
    const QString path = QDir::temp().filePath(QStringLiteral("pollix-pen-%1.px").arg(QCoreApplication::applicationPid()));
    auto page = QuestionSetView::createTemplate(4, QSizeF(800, 600));
    page->setColorSet(Qt::blue);
    page->setNPenSize(6);
    page->setPen();
    int changes = 0;
    QObject spy;
    NotificationCenter::defaultCenter()->addObserver(&spy, Notify::ChangeQuestionContent, [&](const Notification &n) {
        if (n.object == page->pds())
            ++changes;
    });
    page->mouseDown({100, 100});
    for (int i = 1; i <= 10; ++i)
        page->mouseDragged({100.0 + 10 * i, 100.0 + 5 * i});
    page->mouseUp();
    EXPECT_EQ(changes, 10) << "one change per drag step";
    // A press and release alone is a stroke of one point.
    page->mouseDown({300, 300});
    page->mouseUp();
    ASSERT_EQ(page->pds()->bezierPathObjects().size(), 2);
    // A copy of the layer takes strokes of its own.
    auto copy = page->pds()->copy();
    copy->mouseDown({1, 1});
    copy->mouseUp();
    EXPECT_EQ(page->pds()->bezierPathObjects().size(), 2);

    page->setCursor(); // leaving pen mode keeps the strokes on the page
    ExamPaperInfo set;
    set.setArrayQuestionsInfo({page});
    set.setNExamPaperID(7);
    ASSERT_TRUE(set.writeToFile(path));
    const ExamPaperInfoPtr read = ExamPaperInfo::unarchiveObjectWithFile(path);
    QFile::remove(path);
    ASSERT_TRUE(read);
    ASSERT_EQ(read->arrayQuestionsInfo().size(), 1);
    QList<std::shared_ptr<BezierPathObject>> strokes;
    for (const MyTextViewPtr &box : read->arrayQuestionsInfo()[0]->cellArray())
        strokes += box->bpArray();
    ASSERT_EQ(strokes.size(), 2);
    EXPECT_EQ(strokes[0]->color(), QColor(Qt::blue));
    EXPECT_EQ(strokes[0]->lineWidth(), 6);
    EXPECT_EQ(strokes[0]->bezierpath().elementCount(), 11);
    EXPECT_EQ(strokes[0]->bezierpath().elementAt(10).x, 200);
}

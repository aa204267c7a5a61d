#include "core/authoring/QuestionSetView.h"

#include "support/ImageCompare.h"
#include "support/PollixTest.h"

#include <QPainterPath>

namespace {

void setSans(MyTextView *box, const QString &text, double size, bool bold = false, int alignment = 0)
{
    BaseTextView::Run run;
    run.text = text;
    run.family = QStringLiteral("Liberation Sans");
    run.size = size;
    run.bold = bold;
    box->textview()->setParagraphs({BaseTextView::Paragraph{alignment, {run}}});
}

// A four-option page with text, a picture, a hidden box, a pen stroke in a box and a loose one.
QuestionSetViewPtr samplePage()
{
    auto page = QuestionSetView::createTemplate(4, QSizeF(800, 600));
    setSans(page->getQuestionTitle(), QStringLiteral("Which fraction is the largest?"), 28, true, 2);
    const char *options[] = {"1/2", "3/4", "2/3", "5/8"};
    for (int i = 0; i < 4; ++i) {
        setSans(page->getOption(i), QString::fromUtf8(options[i]), 22);
        setSans(page->getTitle(i), QString(QChar(u'A' + i)), 22, true);
    }
    QImage picture(40, 20, QImage::Format_ARGB32);
    picture.fill(QColor(30, 160, 60));
    page->getOptionD()->setIg(picture);
    auto stroke = std::make_shared<BezierPathObject>();
    QPainterPath path(QPointF(500, 200));
    path.lineTo(700, 260);
    path.lineTo(720, 180);
    stroke->setBezierpath(path);
    stroke->setColor(Qt::red);
    stroke->setLineWidth(4);
    page->setBpArray({stroke});
    page->setSelection({2}, 2);
    return page;
}

} // namespace

class PageRenderTest : public PollixTest
{
};

TEST_F(PageRenderTest, RenderedPageMatchesTheCommittedPicture)
{
    const QImage image = samplePage()->renderImage();
    ASSERT_EQ(image.size(), QSize(798, 598));
    const QString golden = testDataPath(QStringLiteral("authoring/page-4-options/expected.png"));
    EXPECT_TRUE(looksLikeGolden(image, golden));

    // A page that differs visibly (one option missing its text) is told apart.
    auto other = samplePage();
    other->getOptionB()->textview()->setString(QString());
    EXPECT_GT(ImageDifference::between(other->renderImage(), QImage(golden)).farShare, 0.0003);
}

TEST_F(PageRenderTest, RunDisplayDrawsThePageNumberAndNoHandles)
{
    auto editable = samplePage();
    const QImage edit = editable->renderImage();
    const QRectF handle = editable->getOptionA()->handleRect(MyTextView::DragLeftTop);
    const QPoint centre = AuthoringView::flipped(QRectF(editable->getOptionA()->toHolder(handle.topLeft()), QSizeF(8, 8)), 598)
                              .center()
                              .toPoint();
    EXPECT_EQ(QColor(edit.pixel(centre)), QColor(Qt::blue)) << "the anchor's handles are blue";

    auto run = samplePage();
    run->setSelection({}, -1);
    run->setInQuiz(true);
    run->setNQuNo(7);
    const QImage shown = run->renderImage();
    EXPECT_NE(QColor(shown.pixel(centre)), QColor(Qt::blue));
    // The number is a large pale blue figure (blue at 10 % over white) in the middle of the page.
    int pale = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x) {
            const QColor c(shown.pixel(x, y));
            if (c.blue() == 255 && c.red() >= 225 && c.red() <= 234 && c.green() == c.red())
                ++pale;
        }
    EXPECT_GT(pale, 2000);
    EXPECT_EQ(run->renderImage(0.5).size(), QSize(399, 299));
}

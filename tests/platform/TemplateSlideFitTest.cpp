#include "platform/OpcPackage.h"
#include "platform/PptxPresentation.h"

#include "support/SlideDecks.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

// Template slides are laid out for 33.87 x 19.05 cm slides; the decks teachers bring are often of
// another size (an office program's 16:9 default is 28 x 15.75 cm, older decks are 4:3). A slide
// added from the templates is fitted to the deck it goes into.
namespace {

using SlideDecks::ShapeBox;

constexpr double kEmuSlack = 2; // rounding of the scaled numbers

bool inside(const QRectF &box, const QSize &slide)
{
    return box.left() >= -kEmuSlack && box.top() >= -kEmuSlack && box.right() <= slide.width() + kEmuSlack
           && box.bottom() <= slide.height() + kEmuSlack;
}

bool outside(const QRectF &box, const QSize &slide)
{
    return !box.intersects(QRectF(QPointF(0, 0), QSizeF(slide)));
}

// The font size (hundredths of a point) of the first text run of a slide's shape.
int firstFontSize(const PptxPresentation &deck, int slide, const QString &shape)
{
    OpcPackage package;
    if (!package.load(deck.toZip()))
        return -1;
    const QString xml = QString::fromUtf8(package.part(deck.slidePart(slide)));
    const QRegularExpression sized(QStringLiteral("name=\"%1\".*?<a:rPr[^>]* sz=\"(\\d+)\"").arg(shape),
                                   QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch m = sized.match(xml);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

} // namespace

TEST(TemplateSlideFit, EveryTemplateSlideStandsWithinDecksOfOtherSizesItsSettingsBoxesBesideThem)
{
    PptxPresentation source;
    ASSERT_TRUE(source.loadFile(SlideDecks::shippedTemplate()));
    const QSize templateSize = source.slideSize();
    PptxPresentation plants; // LibreOffice's own 16:9, 28 x 15.75 cm
    ASSERT_TRUE(plants.loadFile(QStringLiteral(POLLIX_TEST_DATA_DIR "/presentation/plain-deck/Plants.pptx")));
    ASSERT_EQ(plants.slideSize(), QSize(10080625, 5670550));
    std::unique_ptr<PptxPresentation> blank = SlideDecks::deck({});
    std::unique_ptr<PptxPresentation> fourThree = SlideDecks::resized(*blank, QSize(9144000, 6858000));
    std::unique_ptr<PptxPresentation> banner = SlideDecks::resized(*blank, QSize(12192000, 5000000)); // wider than the template
    ASSERT_TRUE(fourThree && banner);

    for (PptxPresentation *deck : {&plants, fourThree.get(), banner.get(), blank.get()}) {
        const QSize size = deck->slideSize();
        SCOPED_TRACE(QStringLiteral("%1 x %2").arg(size.width()).arg(size.height()).toStdString());
        const int first = deck->slideCount();
        for (int i = 0; i < source.slideCount(); ++i) {
            std::optional<PptxPresentation::SlideCopy> copy = source.copySlide(i);
            ASSERT_TRUE(copy);
            ASSERT_TRUE(deck->pasteSlide(*copy));
        }
        QString why;
        EXPECT_TRUE(deck->checkConsistency(&why)) << why.toStdString();
        QStringList misfits;
        for (int i = 0; i < source.slideCount(); ++i) {
            const QList<ShapeBox> before = SlideDecks::shapeBoxes(source, i);
            const QList<ShapeBox> after = SlideDecks::shapeBoxes(*deck, first + i);
            ASSERT_EQ(after.size(), before.size()) << i;
            for (int s = 0; s < before.size(); ++s) {
                const QRectF was = before[s].box, is = after[s].box;
                // On the slide stays on it; beside it (out of the show) stays beside it; round
                // marks stay round: one scale both ways.
                const bool placed = inside(was, templateSize) ? inside(is, size) : outside(is, size);
                const bool shaped = was.height() <= 0 || is.height() <= 0
                                    || std::abs(is.width() / is.height() - was.width() / was.height()) < 0.01;
                if (!placed || !shaped)
                    misfits << QStringLiteral("slide %1 %2 at %3,%4 %5 x %6")
                                   .arg(i + 1)
                                   .arg(after[s].name)
                                   .arg(is.x())
                                   .arg(is.y())
                                   .arg(is.width())
                                   .arg(is.height());
            }
        }
        EXPECT_TRUE(misfits.isEmpty()) << misfits.size() << " misplaced, among them: "
                                       << misfits.mid(0, 4).join(" / ").toStdString();
        // Text shrinks with a box that shrinks, and keeps its size where the slide is as large.
        const double scale = std::min(double(size.width()) / templateSize.width(), double(size.height()) / templateSize.height());
        const int title = firstFontSize(source, 0, QStringLiteral("Qu_Title"));
        ASSERT_GT(title, 0);
        EXPECT_NEAR(firstFontSize(*deck, first, QStringLiteral("Qu_Title")), title * std::min(1.0, scale), 1);
    }
}

// Groups, tables and charts (graphic frames) move as a whole; an extension's own "ext" element and
// the slide's own group box are no shape's box.
TEST(TemplateSlideFit, GroupsAndGraphicFramesAreFittedAsAWhole)
{
    std::unique_ptr<PptxPresentation> source = SlideDecks::deck({{{"Qu_Title", "Grouped"}}});
    OpcPackage package;
    ASSERT_TRUE(package.load(source->toZip()));
    const QString part = source->slidePart(0);
    QByteArray xml = package.part(part);
    // A group drawn at half size in the top right quarter, holding one box over its whole child
    // area and a group of its own; a table across the lower half; an extension list on the title.
    xml.replace("</p:spTree>",
                "<p:grpSp><p:nvGrpSpPr><p:cNvPr id=\"20\" name=\"Group\"/><p:cNvGrpSpPr/><p:nvPr/></p:nvGrpSpPr>"
                "<p:grpSpPr><a:xfrm><a:off x=\"6096000\" y=\"0\"/><a:ext cx=\"6096000\" cy=\"3429000\"/>"
                "<a:chOff x=\"1000\" y=\"2000\"/><a:chExt cx=\"12192000\" cy=\"6858000\"/></a:xfrm></p:grpSpPr>"
                "<p:sp><p:nvSpPr><p:cNvPr id=\"21\" name=\"Child\"/><p:cNvSpPr/><p:nvPr/></p:nvSpPr><p:spPr><a:xfrm>"
                "<a:off x=\"1000\" y=\"2000\"/><a:ext cx=\"12192000\" cy=\"6858000\"/></a:xfrm></p:spPr></p:sp>"
                "<p:grpSp><p:nvGrpSpPr><p:cNvPr id=\"22\" name=\"Inner\"/><p:cNvGrpSpPr/><p:nvPr/></p:nvGrpSpPr>"
                "<p:grpSpPr><a:xfrm><a:off x=\"1000\" y=\"2000\"/><a:ext cx=\"6096000\" cy=\"3429000\"/>"
                "<a:chOff x=\"0\" y=\"0\"/><a:chExt cx=\"6096000\" cy=\"3429000\"/></a:xfrm></p:grpSpPr>"
                "<p:sp><p:nvSpPr><p:cNvPr id=\"23\" name=\"Deep\"/><p:cNvSpPr/><p:nvPr/></p:nvSpPr><p:spPr><a:xfrm>"
                "<a:off x=\"0\" y=\"0\"/><a:ext cx=\"6096000\" cy=\"3429000\"/></a:xfrm></p:spPr></p:sp></p:grpSp></p:grpSp>"
                "<p:graphicFrame><p:nvGraphicFramePr><p:cNvPr id=\"30\" name=\"Table\"/><p:cNvGraphicFramePr/><p:nvPr/>"
                "</p:nvGraphicFramePr><p:xfrm><a:off x=\"0\" y=\"3429000\"/><a:ext cx=\"12192000\" cy=\"3429000\"/></p:xfrm>"
                "<a:graphic><a:graphicData uri=\"http://schemas.openxmlformats.org/drawingml/2006/table\"/></a:graphic>"
                "</p:graphicFrame></p:spTree>");
    xml.replace("</p:spPr>", "<a:extLst><a:ext uri=\"{KEEP-ME}\"/></a:extLst></p:spPr>");
    xml.replace("<p:grpSpPr/>", "<p:grpSpPr><a:xfrm><a:off x=\"0\" y=\"0\"/><a:ext cx=\"0\" cy=\"0\"/><a:chOff x=\"0\" y=\"0\"/>"
                                "<a:chExt cx=\"0\" cy=\"0\"/></a:xfrm></p:grpSpPr>");
    package.setPart(part, xml);
    ASSERT_TRUE(source->load(package.toZip()));

    std::unique_ptr<PptxPresentation> deck = SlideDecks::resized(*SlideDecks::deck({}), QSize(9144000, 6858000));
    ASSERT_TRUE(deck);
    std::optional<PptxPresentation::SlideCopy> copy = source->copySlide(0);
    ASSERT_TRUE(copy);
    ASSERT_TRUE(deck->pasteSlide(*copy));

    // 4:3 takes three quarters of the width: the height has room for it, and the slide's content
    // stands in the middle of it.
    const double s = 0.75, top = (6858000 - 6858000 * s) / 2;
    QHash<QString, QRectF> boxes;
    for (const ShapeBox &b : SlideDecks::shapeBoxes(*deck, 0))
        boxes.insert(b.name, b.box);
    const auto expectBox = [&](const QString &name, const QRectF &expected) {
        const QRectF got = boxes.value(name);
        EXPECT_NEAR(got.x(), expected.x(), kEmuSlack) << name.toStdString();
        EXPECT_NEAR(got.y(), expected.y(), kEmuSlack) << name.toStdString();
        EXPECT_NEAR(got.width(), expected.width(), kEmuSlack) << name.toStdString();
        EXPECT_NEAR(got.height(), expected.height(), kEmuSlack) << name.toStdString();
    };
    expectBox("Group", QRectF(6096000 * s, top, 6096000 * s, 3429000 * s));
    expectBox("Child", QRectF(6096000 * s, top, 6096000 * s, 3429000 * s));
    expectBox("Inner", QRectF(6096000 * s, top, 3048000 * s, 1714500 * s));
    expectBox("Deep", QRectF(6096000 * s, top, 3048000 * s, 1714500 * s));
    expectBox("Table", QRectF(0, 3429000 * s + top, 12192000 * s, 3429000 * s));

    ASSERT_TRUE(package.load(deck->toZip()));
    const QByteArray pasted = package.part(deck->slidePart(0));
    EXPECT_TRUE(pasted.contains("<a:ext uri=\"{KEEP-ME}\"")) << pasted.constData();
    EXPECT_TRUE(pasted.contains("<a:off x=\"0\" y=\"0\"/><a:ext cx=\"0\" cy=\"0\"/><a:chOff x=\"0\" y=\"0\"/><a:chExt cx=\"0\" cy=\"0\"/>"))
        << "the slide's own group box stays as it is";
}

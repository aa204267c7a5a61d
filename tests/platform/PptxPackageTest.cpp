#include "platform/OpcPackage.h"
#include "platform/PptxPresentation.h"

#include "support/SlideDecks.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <pugixml.hpp>

#include <malloc.h>

#include <cstdlib>
#include <cstring>

using SlideDecks::ShapeSpec;

namespace {

const QString kRel = QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships/");

QString titleOf(const PptxPresentation &d, int slide)
{
    return d.readText(slide, QStringLiteral("Qu_Title"));
}

void expectWhole(const PptxPresentation &d)
{
    QString why;
    EXPECT_TRUE(d.checkConsistency(&why)) << why.toStdString();
}

// A deck as an office program leaves it: slide 1 shows a picture, slide 2 has speaker notes,
// both sit in a section list.
QByteArray deckWithPictureNotesAndSections()
{
    std::unique_ptr<PptxPresentation> base = SlideDecks::deck({{{"Qu_Title", "With picture"}}, {{"Qu_Title", "With notes"}}});
    OpcPackage pkg;
    EXPECT_TRUE(pkg.load(base->toZip()));
    const QString s1 = base->slidePart(0), s2 = base->slidePart(1);
    pkg.setPart(QStringLiteral("/ppt/media/image1.png"), QByteArray("\x89PNG fake", 9), QStringLiteral("image/png"));
    const QString picRel = pkg.addRelationship(s1, kRel + QStringLiteral("image"), QStringLiteral("/ppt/media/image1.png"));
    QByteArray xml = pkg.part(s1);
    xml.replace("</p:spTree>", QStringLiteral("<p:pic><p:nvPicPr><p:cNvPr id=\"40\" name=\"Picture 1\"/><p:cNvPicPr/><p:nvPr/></p:nvPicPr>"
                                              "<p:blipFill><a:blip r:embed=\"%1\"/></p:blipFill><p:spPr/></p:pic></p:spTree>")
                                   .arg(picRel)
                                   .toUtf8());
    pkg.setPart(s1, xml);
    pkg.setPart(QStringLiteral("/ppt/notesSlides/notesSlide1.xml"),
                "<p:notes xmlns:p=\"http://schemas.openxmlformats.org/presentationml/2006/main\"/>",
                QStringLiteral("application/vnd.openxmlformats-officedocument.presentationml.notesSlide+xml"));
    pkg.addRelationship(s2, kRel + QStringLiteral("notesSlide"), QStringLiteral("/ppt/notesSlides/notesSlide1.xml"));
    pkg.addRelationship(QStringLiteral("/ppt/notesSlides/notesSlide1.xml"), kRel + QStringLiteral("slide"), s2);
    QByteArray pres = pkg.part(QStringLiteral("/ppt/presentation.xml"));
    pres.replace("</p:presentation>",
                 "<p:extLst><p:ext uri=\"{521415D9-36F7-43E2-AB2F-B90AF26B5E84}\"><p14:sectionLst "
                 "xmlns:p14=\"http://schemas.microsoft.com/office/powerpoint/2010/main\"><p14:section name=\"All\" "
                 "id=\"{1}\"><p14:sldIdLst><p14:sldId id=\"256\"/><p14:sldId id=\"257\"/></p14:sldIdLst></p14:section>"
                 "</p14:sectionLst></p:ext></p:extLst></p:presentation>");
    pkg.setPart(QStringLiteral("/ppt/presentation.xml"), pres);
    return pkg.toZip();
}

} // namespace

TEST(PptxPackage, ShippedTemplateHoldsEveryTemplateSlideWithTheQuestionShapes)
{
    PptxPresentation t;
    QString why;
    ASSERT_TRUE(t.loadFile(SlideDecks::shippedTemplate(), &why)) << why.toStdString();
    expectWhole(t);
    ASSERT_EQ(t.slideCount(), 51);
    // Template 0 is true or false, 1 has no options, 5 is four choices, 25 the five-point agreement scale.
    EXPECT_EQ(t.readText(0, "OptionA"), "True");
    EXPECT_EQ(t.readText(0, "OptionB"), "False");
    EXPECT_EQ(t.readText(0, "mode"), "True or False");
    EXPECT_FALSE(t.shapes(1).isEmpty());
    int options = 0;
    for (const PptxPresentation::Shape &s : t.shapes(5))
        options += s.name.startsWith("Option");
    EXPECT_EQ(options, 4);
    EXPECT_EQ(t.readText(25, "OptionE"), "Strongly agree");
    EXPECT_EQ(t.readText(25, "activity_mode"), "Ad-hoc ---> Vote");
    for (int i = 0; i < t.slideCount(); ++i) {
        QStringList names;
        for (const PptxPresentation::Shape &s : t.shapes(i))
            names << s.name;
        for (const char *needed : {"Qu_Title", "standard", "answer", "mark", "time", "deducemark", "rushtime", "mode",
                                   "activity_mode", "level", "ID", "Memo"})
            EXPECT_TRUE(names.contains(QString::fromLatin1(needed))) << "slide " << i << " lacks " << needed;
    }
}

TEST(PptxPackage, TemplateSlidesAddedDeletedSavedAndReopenedStayWholeAndInOrder)
{
    PptxPresentation t;
    ASSERT_TRUE(t.loadFile(SlideDecks::shippedTemplate()));
    std::unique_ptr<PptxPresentation> d = PptxPresentation::createBlank();
    expectWhole(*d);
    EXPECT_EQ(d->slideCount(), 0);
    for (int index : {0, 5, 25}) {
        std::optional<PptxPresentation::SlideCopy> copy = t.copySlide(index);
        ASSERT_TRUE(copy);
        ASSERT_TRUE(d->pasteSlide(*copy));
        expectWhole(*d);
    }
    ASSERT_EQ(d->slideCount(), 3);
    EXPECT_TRUE(d->isModified());
    d->writeText(0, "Qu_Title", "First");
    d->writeText(1, "Qu_Title", "Second");
    d->writeText(2, "Qu_Title", "Third");
    // The same template slide twice gets a part of its own.
    ASSERT_TRUE(d->pasteSlide(*t.copySlide(0)));
    EXPECT_EQ(d->slideCount(), 4);
    EXPECT_NE(d->slidePart(0), d->slidePart(3));

    ASSERT_TRUE(d->deleteSlide(1));
    expectWhole(*d);
    EXPECT_EQ(d->slideCount(), 3);

    QTemporaryDir dir;
    const QString path = dir.filePath("deck.pptx");
    QString why;
    ASSERT_TRUE(d->saveFile(path, &why)) << why.toStdString();
    PptxPresentation again;
    ASSERT_TRUE(again.loadFile(path, &why)) << why.toStdString();
    expectWhole(again);
    ASSERT_EQ(again.slideCount(), 3);
    EXPECT_EQ(titleOf(again, 0), "First");
    EXPECT_EQ(titleOf(again, 1), "Third");
    EXPECT_EQ(again.readText(2, "OptionB"), "False");
    // A new id after a deletion still never repeats a remaining one.
    ASSERT_TRUE(again.pasteSlide(*t.copySlide(1)));
    expectWhole(again);
    EXPECT_FALSE(again.deleteSlide(7));
    EXPECT_FALSE(again.deleteSlide(-1));
}

TEST(PptxPackage, CopiesTakePicturesAlongAndDeletionsTakeNotesPicturesAndSectionEntriesAway)
{
    PptxPresentation source;
    QString why;
    ASSERT_TRUE(source.load(deckWithPictureNotesAndSections(), &why)) << why.toStdString();
    expectWhole(source);

    std::unique_ptr<PptxPresentation> d = SlideDecks::deck({{{"Qu_Title", "Own"}}});
    ASSERT_TRUE(d->pasteSlide(*source.copySlide(0)));
    ASSERT_TRUE(d->pasteSlide(*source.copySlide(0)));
    ASSERT_TRUE(d->pasteSlide(*source.copySlide(1)));
    expectWhole(*d);
    OpcPackage pkg;
    ASSERT_TRUE(pkg.load(d->toZip()));
    QStringList media;
    for (const QString &p : pkg.partNames())
        if (p.startsWith("/ppt/media/"))
            media << p;
    EXPECT_EQ(media.size(), 2);
    // Notes point back at the slide they came from: a copy leaves them behind.
    EXPECT_FALSE(pkg.partNames().join(' ').contains("notesSlide"));

    ASSERT_TRUE(d->deleteSlide(1));
    expectWhole(*d);
    ASSERT_TRUE(pkg.load(d->toZip()));
    media.clear();
    for (const QString &p : pkg.partNames())
        if (p.startsWith("/ppt/media/"))
            media << p;
    EXPECT_EQ(media.size(), 1);

    // Deleting in the source removes its notes and its entry in the section list.
    ASSERT_TRUE(source.deleteSlide(1));
    expectWhole(source);
    ASSERT_TRUE(pkg.load(source.toZip()));
    EXPECT_FALSE(pkg.partNames().join(' ').contains("notesSlide"));
    const QByteArray pres = pkg.part("/ppt/presentation.xml");
    EXPECT_TRUE(pres.contains("<p14:sldId id=\"256\"/>"));
    EXPECT_FALSE(pres.contains("id=\"257\""));
}

TEST(PptxPackage, ConsistencyCheckFindsMissingTargetsTypesAndRepeatedIds)
{
    std::unique_ptr<PptxPresentation> d = SlideDecks::deck({{{"A", "1"}}, {{"B", "2"}}});
    const QByteArray good = d->toZip();
    QString why;

    OpcPackage pkg;
    ASSERT_TRUE(pkg.load(good));
    pkg.addRelationship(d->slidePart(0), kRel + QStringLiteral("image"), QStringLiteral("/ppt/media/gone.png"));
    EXPECT_FALSE(pkg.checkConsistency(&why));
    EXPECT_TRUE(why.contains("gone.png"));

    ASSERT_TRUE(pkg.load(good));
    pkg.setPart(QStringLiteral("/ppt/media/picture.xyz"), "bytes");
    EXPECT_FALSE(pkg.checkConsistency(&why));
    EXPECT_TRUE(why.contains("content type"));

    ASSERT_TRUE(pkg.load(good));
    QByteArray pres = pkg.part("/ppt/presentation.xml");
    pres.replace("<p:sldId id=\"257\"", "<p:sldId id=\"256\"");
    pkg.setPart("/ppt/presentation.xml", pres);
    PptxPresentation repeated;
    ASSERT_TRUE(repeated.load(pkg.toZip()));
    EXPECT_FALSE(repeated.checkConsistency(&why));

    ASSERT_TRUE(pkg.load(good));
    QByteArray slide = pkg.part(d->slidePart(1));
    slide.replace("id=\"2\"", "id=\"1\"");
    pkg.setPart(d->slidePart(1), slide);
    PptxPresentation shapes;
    ASSERT_TRUE(shapes.load(pkg.toZip()));
    EXPECT_FALSE(shapes.checkConsistency(&why));
    EXPECT_TRUE(why.contains("shape id"));
}

TEST(PptxPackage, DamagedFilesAreRefusedWithAReason)
{
    QString why;
    PptxPresentation d;
    EXPECT_FALSE(d.load("not a zip at all", &why));
    EXPECT_FALSE(why.isEmpty());

    OpcPackage pkg;
    ASSERT_TRUE(pkg.load(SlideDecks::deck({{{"A", "1"}}})->toZip()));
    QByteArray zip = pkg.toZip();
    // Cut the archive short: the central directory is gone.
    EXPECT_FALSE(d.load(zip.left(zip.size() / 2), &why));

    // A package whose listed slide is missing.
    for (const OpcPackage::Relationship &r : pkg.relationships("/ppt/presentation.xml"))
        if (r.type.endsWith("/slide"))
            pkg.removePart(r.targetPart);
    EXPECT_FALSE(d.load(pkg.toZip(), &why));
    EXPECT_EQ(d.slideCount(), 0);

    QTemporaryDir dir;
    EXPECT_FALSE(d.loadFile(dir.filePath("missing.pptx"), &why));
    EXPECT_FALSE(why.isEmpty());
}

TEST(PptxPackage, ShapeTextKeepsItsFormattingAndSurvivesOddCharacters)
{
    std::unique_ptr<PptxPresentation> d = SlideDecks::deck({{{"Qu_Title", "old"}, {"OptionA", "a", false}}});
    ASSERT_TRUE(d->writeText(0, "Qu_Title", "Line <1> & \"2\"\nsecond line\r\nthird\x01 end"));
    EXPECT_EQ(d->readText(0, "Qu_Title"), "Line <1> & \"2\"\nsecond line\nthird end");
    PptxPresentation again;
    ASSERT_TRUE(again.load(d->toZip()));
    EXPECT_EQ(again.readText(0, "Qu_Title"), "Line <1> & \"2\"\nsecond line\nthird end");
    // The run formatting of the box (20 pt) is kept for each of its three paragraphs (the
    // fourth is the other box).
    OpcPackage pkg;
    ASSERT_TRUE(pkg.load(d->toZip()));
    EXPECT_EQ(pkg.part(d->slidePart(0)).count("sz=\"2000\""), 4);

    EXPECT_FALSE(d->writeText(0, "Missing", "x"));
    EXPECT_EQ(d->readText(0, "Missing"), "");
    EXPECT_EQ(d->readText(5, "Qu_Title"), "");

    ASSERT_FALSE(d->shape(0, 1)->visible);
    EXPECT_EQ(d->setVisible(0, [](const QString &n) { return n == "OptionA"; }, true), 1);
    EXPECT_EQ(d->setVisible(0, [](const QString &n) { return n == "OptionA"; }, true), 0);
    EXPECT_TRUE(d->shape(0, 1)->visible);
    EXPECT_FALSE(d->shape(0, 2));
}

TEST(PptxPackage, DecksWrittenWithOtherPrefixesAreReadAndWritten)
{
    // Some writers use the presentation namespace as the default one and other prefixes.
    std::unique_ptr<PptxPresentation> d = SlideDecks::deck({{{"Qu_Title", "x"}}});
    OpcPackage pkg;
    ASSERT_TRUE(pkg.load(d->toZip()));
    const QByteArray slide =
        "<?xml version=\"1.0\"?><sld xmlns=\"http://schemas.openxmlformats.org/presentationml/2006/main\" "
        "xmlns:d=\"http://schemas.openxmlformats.org/drawingml/2006/main\"><cSld><spTree><nvGrpSpPr><cNvPr id=\"1\" name=\"\"/>"
        "<cNvGrpSpPr/><nvPr/></nvGrpSpPr><grpSpPr/><sp><nvSpPr><cNvPr id=\"2\" name=\"Qu_Title\"/><cNvSpPr/><nvPr/></nvSpPr>"
        "<spPr/><txBody><d:bodyPr/><d:p><d:r><d:t>Before</d:t></d:r><d:br/><d:r><d:t>break</d:t></d:r></d:p></txBody></sp>"
        "<sp><nvSpPr><cNvPr id=\"3\" name=\"answer\"/><cNvSpPr/><nvPr/></nvSpPr><spPr/></sp></spTree></cSld></sld>";
    pkg.setPart(d->slidePart(0), slide);
    PptxPresentation other;
    ASSERT_TRUE(other.load(pkg.toZip()));
    EXPECT_EQ(other.readText(0, "Qu_Title"), "Before\nbreak");
    ASSERT_TRUE(other.writeText(0, "Qu_Title", "After"));
    ASSERT_TRUE(other.writeText(0, "answer", "B"));
    PptxPresentation again;
    ASSERT_TRUE(again.load(other.toZip()));
    EXPECT_EQ(again.readText(0, "Qu_Title"), "After");
    EXPECT_EQ(again.readText(0, "answer"), "B");
    ASSERT_TRUE(pkg.load(other.toZip()));
    EXPECT_TRUE(pkg.part(d->slidePart(0)).contains("<d:r><d:t>After</d:t></d:r>"));
}

namespace {
void *plainAllocate(size_t size)
{
    return std::malloc(size);
}
// Memory is wiped as it is freed, so that what reads a node after its removal reads nothing.
void wipingDeallocate(void *memory)
{
    if (memory)
        std::memset(memory, 0, malloc_usable_size(memory));
    std::free(memory);
}
} // namespace

TEST(PptxPackage, ShapeTextWrittenAgainAndAgainKeepsItsParagraphsInTheirNamespace)
{
    // A box's new paragraphs take the prefix of its old ones, which go first: the memory of a
    // name Pollix wrote goes with them once their page of the document is empty.
    const pugi::allocation_function allocate = pugi::get_memory_allocation_function();
    const pugi::deallocation_function deallocate = pugi::get_memory_deallocation_function();
    pugi::set_memory_management_functions(plainAllocate, wipingDeallocate);
    const auto restore = qScopeGuard([&] { pugi::set_memory_management_functions(allocate, deallocate); });
    std::unique_ptr<PptxPresentation> d = SlideDecks::deck({{{"Qu_Title", "old"}, {"OptionA", "a"}}});
    for (int i = 0; i < 60; ++i) {
        QStringList lines;
        for (int l = 0; l <= i * 37 % 90; ++l)
            lines << QStringLiteral("line %1 of %2").arg(l).arg(i);
        ASSERT_TRUE(d->writeText(0, i % 3 ? "Qu_Title" : "OptionA", lines.join(QLatin1Char('\n'))));
        OpcPackage pkg;
        ASSERT_TRUE(pkg.load(d->toZip()));
        const QByteArray xml = pkg.part(d->slidePart(0));
        ASSERT_FALSE(xml.contains("<p>") || xml.contains("<r>")) << "write " << i;
    }
}

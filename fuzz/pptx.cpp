// Slide decks (.pptx), opened as the presentation tools open them and read as the question
// editor reads their slides.

#include "FuzzSupport.h"

#include "platform/PptxPresentation.h"

#include <QRect>

namespace {

QByteArray deck(const QStringList &questions)
{
    std::unique_ptr<PptxPresentation> d = PptxPresentation::createBlank();
    int slide = 0;
    for (const QString &q : questions) {
        d->pasteSlide(PptxPresentation::blankSlide(QStringLiteral("Question %1").arg(slide + 1), QStringLiteral("title")));
        d->addTextShape(slide, QStringLiteral("Question"), q, QRect(914400, 914400, 6000000, 1000000), false);
        d->addTextShape(slide, QStringLiteral("Option A"), QStringLiteral("Yes\nNo"), QRect(914400, 2500000, 3000000, 600000),
                        true);
        ++slide;
    }
    return d->toZip();
}

} // namespace

QList<QByteArray> fuzzSeeds()
{
    QList<QByteArray> seeds = Fuzz::testDataFiles({QStringLiteral(".pptx")});
    seeds << deck({});
    seeds << deck({QStringLiteral("2 + 2?")});
    seeds << deck({QStringLiteral("First?"), QStringLiteral("Second?")});
    return seeds;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = Fuzz::inputFile(data, size, QStringLiteral("deck.pptx"));
    PptxPresentation deck;
    QString why;
    if (!deck.loadFile(path, &why))
        return 0;
    deck.slideSize();
    deck.checkConsistency(&why);
    for (int slide = 0; slide < deck.slideCount(); ++slide) {
        const QList<PptxPresentation::Shape> shapes = deck.shapes(slide);
        deck.shapeCount(slide);
        for (int i = 0; i < shapes.size(); ++i)
            deck.shape(slide, i);
        deck.readText(slide, QStringLiteral("Question"));
        // A slide taken into another deck, as the template picker does.
        deck.copySlide(slide, &why);
    }
    // Saving what was opened.
    deck.toZip(&why);
    return 0;
}

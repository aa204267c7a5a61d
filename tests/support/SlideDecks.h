#pragma once

#include "platform/PptxPresentation.h"

#include <QByteArray>
#include <QList>
#include <QRectF>
#include <QSize>
#include <QString>

#include <memory>

// Decks for tests, made the way an office program writes them: named shapes on slides, built
// from plain XML, plus the template shipped in the application folder and PDF readers.
namespace SlideDecks {

struct ShapeSpec
{
    QString name;
    QString text;
    bool visible = true;
};

// A slide whose shapes are text boxes with these names, texts and visibility, in this order.
PptxPresentation::SlideCopy slide(const QList<ShapeSpec> &shapes);
// A blank deck with these slides.
std::unique_ptr<PptxPresentation> deck(const QList<QList<ShapeSpec>> &slides);
bool writeDeck(const QList<QList<ShapeSpec>> &slides, const QString &path);

// A copy of deck whose slides are of this size (EMU), as an office program sets it.
std::unique_ptr<PptxPresentation> resized(const PptxPresentation &deck, const QSize &size);

// Where a shape of a slide stands (EMU), through the groups it sits in: a group's own box, then
// its children's, in the slide's order.
struct ShapeBox
{
    QString name;
    QRectF box;
};
QList<ShapeBox> shapeBoxes(const PptxPresentation &deck, int slide);

// resources/Pollix/template.pptx of the source tree.
QString shippedTemplate();

// The main window's own dialogs answered for deck tests: no splash, no system choice, and class
// "7A" set up whenever it is asked for.
void quietMainWindow();

// poppler-utils: page count (-1 when unreadable) and the text of a PDF.
int pdfPageCount(const QString &pdf);
QString pdfText(const QString &pdf);

} // namespace SlideDecks

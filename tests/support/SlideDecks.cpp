#include "SlideDecks.h"

#include "ui/app/TabController.h"

#include <QProcess>
#include <QRegularExpression>

namespace SlideDecks {

PptxPresentation::SlideCopy slide(const QList<ShapeSpec> &shapes)
{
    QString tree;
    int id = 2;
    for (const ShapeSpec &s : shapes) {
        tree += QStringLiteral("<p:sp><p:nvSpPr><p:cNvPr id=\"%1\" name=\"%2\"%3/><p:cNvSpPr txBox=\"1\"/><p:nvPr/></p:nvSpPr>"
                               "<p:spPr><a:xfrm><a:off x=\"457200\" y=\"%4\"/><a:ext cx=\"8000000\" cy=\"400000\"/></a:xfrm>"
                               "<a:prstGeom prst=\"rect\"><a:avLst/></a:prstGeom></p:spPr><p:txBody><a:bodyPr/><a:lstStyle/>"
                               "<a:p><a:r><a:rPr lang=\"en-US\" sz=\"2000\"/><a:t>%5</a:t></a:r></a:p></p:txBody></p:sp>")
                    .arg(id)
                    .arg(s.name.toHtmlEscaped(), s.visible ? QString() : QStringLiteral(" hidden=\"1\""))
                    .arg(400000 * (id - 2) + 200000)
                    .arg(s.text.toHtmlEscaped());
        ++id;
    }
    PptxPresentation::SlideCopy copy;
    copy.slideXml = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                                   "<p:sld xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" "
                                   "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\" "
                                   "xmlns:p=\"http://schemas.openxmlformats.org/presentationml/2006/main\"><p:cSld><p:spTree>"
                                   "<p:nvGrpSpPr><p:cNvPr id=\"1\" name=\"\"/><p:cNvGrpSpPr/><p:nvPr/></p:nvGrpSpPr><p:grpSpPr/>"
                                   "%1</p:spTree></p:cSld></p:sld>")
                        .arg(tree)
                        .toUtf8();
    copy.layoutRelId = QStringLiteral("rId1");
    return copy;
}

std::unique_ptr<PptxPresentation> deck(const QList<QList<ShapeSpec>> &slides)
{
    std::unique_ptr<PptxPresentation> d = PptxPresentation::createBlank();
    for (const QList<ShapeSpec> &s : slides)
        d->pasteSlide(slide(s));
    d->setModified(false);
    return d;
}

bool writeDeck(const QList<QList<ShapeSpec>> &slides, const QString &path)
{
    return deck(slides)->saveFile(path);
}

QString shippedTemplate()
{
    return QStringLiteral(POLLIX_SOURCE_DIR "/resources/Pollix/template.pptx");
}

void quietMainWindow()
{
    auto &h = TabController::hooks();
    h.runSplash = [](QWidget *) {};
    h.runSystemChoice = [](QWidget *) {};
    h.runClassSet = [](QWidget *, TabController::ClassSetup &setup) {
        setup.classNo = 1;
        setup.className = QStringLiteral("7A");
        setup.maxGroupNo = 3;
        return 1;
    };
}

int pdfPageCount(const QString &pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {pdf});
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return -1;
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(QString::fromUtf8(p.readAll()));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

QString pdfText(const QString &pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!p.waitForFinished(30000))
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace SlideDecks

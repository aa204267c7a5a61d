#include "SlideDecks.h"

#include "platform/OpcPackage.h"
#include "ui/app/TabController.h"

#include <QProcess>
#include <QRegularExpression>

#include <pugixml.hpp>

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

std::unique_ptr<PptxPresentation> resized(const PptxPresentation &deck, const QSize &size)
{
    OpcPackage package;
    if (!package.load(deck.toZip()))
        return nullptr;
    const QString presentation = QStringLiteral("/ppt/presentation.xml");
    QString xml = QString::fromUtf8(package.part(presentation));
    xml.replace(QRegularExpression(QStringLiteral("<p:sldSz [^>]*/>")),
                QStringLiteral("<p:sldSz cx=\"%1\" cy=\"%2\"/>").arg(size.width()).arg(size.height()));
    package.setPart(presentation, xml.toUtf8());
    auto out = std::make_unique<PptxPresentation>();
    return out->load(package.toZip()) ? std::move(out) : nullptr;
}

namespace {

QString localName(const pugi::xml_node &n)
{
    return QString::fromUtf8(n.name()).section(QLatin1Char(':'), -1);
}

pugi::xml_node childNamed(const pugi::xml_node &n, const QString &local)
{
    for (pugi::xml_node c = n.first_child(); c; c = c.next_sibling())
        if (localName(c) == local)
            return c;
    return {};
}

// Child coordinates of a group to the slide's: x on the slide = at.x + x * by.x, likewise y.
struct Mapping
{
    QPointF at{0, 0};
    QPointF by{1, 1};
};

void collectBoxes(const pugi::xml_node &container, const Mapping &map, QList<ShapeBox> &out)
{
    for (pugi::xml_node n = container.first_child(); n; n = n.next_sibling()) {
        pugi::xml_node shape = n;
        if (localName(n) == QLatin1String("AlternateContent"))
            shape = childNamed(n, QStringLiteral("Choice")).first_child();
        const QString kind = localName(shape);
        if (!QStringList{"sp", "pic", "cxnSp", "graphicFrame", "grpSp"}.contains(kind))
            continue;
        const pugi::xml_node xfrm = kind == QLatin1String("graphicFrame") ? childNamed(shape, QStringLiteral("xfrm"))
                                    : kind == QLatin1String("grpSp")
                                        ? childNamed(childNamed(shape, QStringLiteral("grpSpPr")), QStringLiteral("xfrm"))
                                        : childNamed(childNamed(shape, QStringLiteral("spPr")), QStringLiteral("xfrm"));
        const auto pair = [&](const char *element, const char *a, const char *b) {
            const pugi::xml_node e = childNamed(xfrm, QString::fromLatin1(element));
            return QPointF(e.attribute(a).as_double(), e.attribute(b).as_double());
        };
        const QPointF off = pair("off", "x", "y"), ext = pair("ext", "cx", "cy");
        ShapeBox box;
        for (pugi::xml_node nv = shape.first_child(); nv && box.name.isEmpty(); nv = nv.next_sibling())
            if (pugi::xml_node c = childNamed(nv, QStringLiteral("cNvPr")))
                box.name = QString::fromUtf8(c.attribute("name").value());
        box.box = QRectF(map.at.x() + off.x() * map.by.x(), map.at.y() + off.y() * map.by.y(), ext.x() * map.by.x(),
                         ext.y() * map.by.y());
        out << box;
        if (kind != QLatin1String("grpSp"))
            continue;
        const QPointF chOff = pair("chOff", "x", "y"), chExt = pair("chExt", "cx", "cy");
        Mapping inner;
        inner.by = QPointF(chExt.x() > 0 ? box.box.width() / chExt.x() : 1, chExt.y() > 0 ? box.box.height() / chExt.y() : 1);
        inner.at = QPointF(box.box.x() - chOff.x() * inner.by.x(), box.box.y() - chOff.y() * inner.by.y());
        collectBoxes(shape, inner, out);
    }
}

} // namespace

QList<ShapeBox> shapeBoxes(const PptxPresentation &deck, int slide)
{
    OpcPackage package;
    pugi::xml_document doc;
    const QByteArray xml = package.load(deck.toZip()) ? package.part(deck.slidePart(slide)) : QByteArray();
    if (xml.isEmpty() || !doc.load_buffer(xml.constData(), size_t(xml.size())))
        return {};
    QList<ShapeBox> out;
    collectBoxes(childNamed(childNamed(doc.document_element(), QStringLiteral("cSld")), QStringLiteral("spTree")), Mapping(), out);
    return out;
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

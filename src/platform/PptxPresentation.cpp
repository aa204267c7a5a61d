#include "PptxPresentation.h"

#include "OoxmlXml.h"

#include <QRegularExpression>

#include <pugixml.hpp>

#include <algorithm>
#include <cmath>
#include <cstring>

using namespace OoxmlXml;

namespace {

const QString kRelBase = QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships/");
const QString kSlideType = QStringLiteral("application/vnd.openxmlformats-officedocument.presentationml.slide+xml");

// The last path piece of a relationship type ("…/relationships/slideLayout" -> "slideLayout").
QString typeName(const QString &relType)
{
    return relType.mid(relType.lastIndexOf(QLatin1Char('/')) + 1);
}

// Relationships that belong to the deck a slide sits in, not to the slide: a copy cannot take
// them along (its notes point back at the old slide, a link to another slide has no target).
bool staysWithDeck(const QString &relType)
{
    static const QStringList kinds{QStringLiteral("notesSlide"), QStringLiteral("slide"), QStringLiteral("slideMaster"),
                                   QStringLiteral("notesMaster"), QStringLiteral("handoutMaster"), QStringLiteral("theme"),
                                   QStringLiteral("comments"), QStringLiteral("commentAuthors")};
    return kinds.contains(typeName(relType));
}

bool isShapeElement(const pugi::xml_node &n)
{
    if (n.type() != pugi::node_element)
        return false;
    return !is(n, "nvGrpSpPr") && !is(n, "grpSpPr") && !is(n, "extLst");
}

// A shape written inside mc:AlternateContent is the first element of its first choice.
pugi::xml_node shapeBody(pugi::xml_node n)
{
    if (!is(n, "AlternateContent"))
        return n;
    for (pugi::xml_node c = n.first_child(); c; c = c.next_sibling())
        if (is(c, "Choice") || is(c, "Fallback"))
            for (pugi::xml_node s = c.first_child(); s; s = s.next_sibling())
                if (s.type() == pugi::node_element)
                    return s;
    return n;
}

QList<pugi::xml_node> shapeNodes(const pugi::xml_node &tree)
{
    QList<pugi::xml_node> out;
    for (pugi::xml_node n = tree.first_child(); n; n = n.next_sibling())
        if (isShapeElement(n))
            out << shapeBody(n);
    return out;
}

pugi::xml_node nameNode(const pugi::xml_node &shape)
{
    return descendant(shape, "cNvPr");
}

QString shapeName(const pugi::xml_node &shape)
{
    return QString::fromUtf8(nameNode(shape).attribute("name").value());
}

bool shapeHidden(const pugi::xml_node &shape)
{
    const QString v = QString::fromUtf8(nameNode(shape).attribute("hidden").value());
    return v == QLatin1String("1") || v == QLatin1String("true");
}

QString bodyText(const pugi::xml_node &txBody);

PptxPresentation::Shape describe(const pugi::xml_node &n)
{
    PptxPresentation::Shape s;
    s.name = shapeName(n);
    s.visible = !shapeHidden(n);
    s.takesText = is(n, "sp");
    const pugi::xml_node body = child(n, "txBody");
    s.hasText = bool(body);
    if (body)
        s.text = bodyText(body);
    return s;
}

QString paragraphText(const pugi::xml_node &p)
{
    QString out;
    for (pugi::xml_node c = p.first_child(); c; c = c.next_sibling()) {
        if (is(c, "r") || is(c, "fld"))
            out += QString::fromUtf8(child(c, "t").text().get());
        else if (is(c, "br"))
            out += QLatin1Char('\n');
    }
    return out;
}

QString bodyText(const pugi::xml_node &txBody)
{
    QStringList paragraphs;
    for (pugi::xml_node p = txBody.first_child(); p; p = p.next_sibling())
        if (is(p, "p"))
            paragraphs << paragraphText(p);
    return paragraphs.join(QLatin1Char('\n'));
}

// Text as the XML can carry it: line ends unified, control characters other than tab dropped
// (a vertical tab is a line break in slide text).
QStringList linesOf(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    text.replace(QLatin1Char('\v'), QLatin1Char('\n'));
    QString clean;
    clean.reserve(text.size());
    for (const QChar c : text)
        if (c == QLatin1Char('\n') || c == QLatin1Char('\t') || c.unicode() >= 0x20)
            if (c.unicode() != 0xFFFE && c.unicode() != 0xFFFF)
                clean += c;
    return clean.split(QLatin1Char('\n'));
}

void setBodyText(pugi::xml_node txBody, const QString &text)
{
    pugi::xml_node firstP = child(txBody, "p");
    pugi::xml_node pPr = firstP ? child(firstP, "pPr") : pugi::xml_node();
    pugi::xml_node rPr;
    pugi::xml_node endRPr;
    for (pugi::xml_node p = txBody.first_child(); p && !rPr; p = p.next_sibling()) {
        if (!is(p, "p"))
            continue;
        for (pugi::xml_node r = p.first_child(); r && !rPr; r = r.next_sibling())
            if (is(r, "r"))
                rPr = child(r, "rPr");
        if (!endRPr)
            endRPr = child(p, "endParaRPr");
    }
    // Keep copies of the formatting before the old paragraphs go.
    pugi::xml_document keep;
    pugi::xml_node keptPPr = pPr ? keep.append_copy(pPr) : pugi::xml_node();
    pugi::xml_node keptRPr = rPr ? keep.append_copy(rPr) : pugi::xml_node();
    pugi::xml_node keptEnd = endRPr ? keep.append_copy(endRPr) : pugi::xml_node();
    // A box that never held text keeps its formatting in the paragraph end only.
    if (!keptRPr && keptEnd) {
        keptRPr = keep.append_copy(keptEnd);
        keptRPr.set_name(QByteArray(keptEnd.name()).replace("endParaRPr", "rPr").constData());
    }
    // The new paragraphs take the prefix of the old ones (else of the body's properties), read
    // from a copy of the name: the old paragraphs go first, and with them the memory of a name
    // that Pollix wrote itself.
    const pugi::xml_node original = firstP ? firstP : child(txBody, "bodyPr");
    const pugi::xml_node reference = original ? keep.append_child(original.name()) : pugi::xml_node();

    for (pugi::xml_node p = txBody.first_child(); p;) {
        pugi::xml_node next = p.next_sibling();
        if (is(p, "p"))
            txBody.remove_child(p);
        p = next;
    }
    for (const QString &line : linesOf(text)) {
        pugi::xml_node p = reference ? appendLike(txBody, reference, "p") : appendIn(txBody, kDrawingNs, "a", "p");
        if (keptPPr)
            p.append_copy(keptPPr);
        if (!line.isEmpty()) {
            pugi::xml_node r = appendLike(p, p, "r");
            if (keptRPr)
                r.append_copy(keptRPr);
            appendLike(r, p, "t").text().set(line.toUtf8().constData());
        }
        if (keptEnd)
            p.append_copy(keptEnd);
        else if (keptRPr && line.isEmpty())
            p.append_copy(keptRPr).set_name(QByteArray(keptRPr.name()).replace("rPr", "endParaRPr").constData());
    }
}

pugi::xml_node ensureTextBody(pugi::xml_node sp)
{
    pugi::xml_node body = child(sp, "txBody");
    if (body)
        return body;
    pugi::xml_node ext = child(sp, "extLst");
    const QByteArray name = QByteArray(child(sp, "spPr").name()).replace("spPr", "txBody");
    body = ext ? sp.insert_child_before(name.constData(), ext) : sp.append_child(name.constData());
    appendIn(body, kDrawingNs, "a", "bodyPr");
    appendIn(body, kDrawingNs, "a", "lstStyle");
    appendIn(body, kDrawingNs, "a", "p");
    return body;
}

QString partPattern(const QString &partName)
{
    static const QRegularExpression digits(QStringLiteral("\\d+$"));
    const int slash = partName.lastIndexOf(QLatin1Char('/'));
    const int dot = partName.lastIndexOf(QLatin1Char('.'));
    const bool hasExt = dot > slash;
    QString base = partName.mid(slash + 1, (hasExt ? dot : partName.size()) - slash - 1);
    base.remove(digits);
    return partName.left(slash + 1) + base + QStringLiteral("%1") + (hasExt ? partName.mid(dot) : QString());
}

// A slide laid out for a slide of size `from` put on one of size `to` (EMU): every box is scaled
// alike in both directions (circles stay round) by as much as the tighter side allows and centred
// along the other, so that nothing on the slide stands past an edge. A box wholly beyond an edge
// (a template slide keeps its settings boxes beside the slide, out of the show) stays beyond it.
// Group children are mapped as their group's child box is, which keeps each group's transform.
// Text shrinks with its boxes, else it would no longer fit them; on a larger slide it fits as it is.
void fitToSlide(pugi::xml_node sld, const QSize &from, const QSize &to)
{
    if (from.width() <= 0 || from.height() <= 0 || to.width() <= 0 || to.height() <= 0 || from == to)
        return;
    struct Axis
    {
        long long from, to;
        double shift;
    };
    const double scale = std::min(double(to.width()) / from.width(), double(to.height()) / from.height());
    const Axis horizontal{from.width(), to.width(), (to.width() - from.width() * scale) / 2};
    const Axis vertical{from.height(), to.height(), (to.height() - from.height() * scale) / 2};
    const auto scaled = [scale](double v) { return static_cast<long long>(std::llround(v * scale)); };
    // A box of the slide itself (not inside a group), along one axis.
    const auto placeBox = [&](long long at, long long length, const Axis &axis) {
        if (at >= axis.from)
            return axis.to + scaled(at - axis.from);
        if (at + length <= 0)
            return scaled(at);
        return scaled(at) + static_cast<long long>(std::llround(axis.shift));
    };
    const auto inGroup = [&](long long at, const Axis &axis) { return scaled(at) + static_cast<long long>(std::llround(axis.shift)); };

    const pugi::xml_node tree = child(child(sld, "cSld"), "spTree");
    const pugi::xml_node treeBox = child(child(tree, "grpSpPr"), "xfrm");
    for (const pugi::xpath_node &x : tree.select_nodes(".//*[local-name()='xfrm']")) {
        const pugi::xml_node box = x.node();
        if (box == treeBox)
            continue;
        // Inside a group when a group other than the one this box belongs to lies between it and the tree.
        bool nested = false;
        const pugi::xml_node owner = is(box.parent(), "graphicFrame") ? box.parent() : box.parent().parent();
        for (pugi::xml_node up = owner.parent(); up && up != tree; up = up.parent())
            nested = nested || is(up, "grpSp");
        pugi::xml_node off = child(box, "off"), ext = child(box, "ext");
        pugi::xml_node chOff = child(box, "chOff"), chExt = child(box, "chExt");
        const long long cx = ext.attribute("cx").as_llong(), cy = ext.attribute("cy").as_llong();
        if (off) {
            const long long x0 = off.attribute("x").as_llong(), y0 = off.attribute("y").as_llong();
            off.attribute("x").set_value(nested ? inGroup(x0, horizontal) : placeBox(x0, cx, horizontal));
            off.attribute("y").set_value(nested ? inGroup(y0, vertical) : placeBox(y0, cy, vertical));
        }
        if (ext) {
            ext.attribute("cx").set_value(scaled(cx));
            ext.attribute("cy").set_value(scaled(cy));
        }
        if (chOff) {
            chOff.attribute("x").set_value(inGroup(chOff.attribute("x").as_llong(), horizontal));
            chOff.attribute("y").set_value(inGroup(chOff.attribute("y").as_llong(), vertical));
        }
        if (chExt) {
            chExt.attribute("cx").set_value(scaled(chExt.attribute("cx").as_llong()));
            chExt.attribute("cy").set_value(scaled(chExt.attribute("cy").as_llong()));
        }
    }
    if (scale >= 1)
        return;
    constexpr long long kSmallestSize = 100; // hundredths of a point, the format's least
    for (const pugi::xpath_node &x : tree.select_nodes(".//*[@sz]")) {
        pugi::xml_node n = x.node();
        if (is(n, "rPr") || is(n, "defRPr") || is(n, "endParaRPr"))
            n.attribute("sz").set_value(std::max(kSmallestSize, scaled(n.attribute("sz").as_llong())));
    }
}

// ---- a new deck ----

const char *const kXmlDecl = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
const char *const kNs = "xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" "
                        "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\" "
                        "xmlns:p=\"http://schemas.openxmlformats.org/presentationml/2006/main\"";
const char *const kEmptyTree = "<p:spTree><p:nvGrpSpPr><p:cNvPr id=\"1\" name=\"\"/><p:cNvGrpSpPr/><p:nvPr/></p:nvGrpSpPr>"
                               "<p:grpSpPr><a:xfrm><a:off x=\"0\" y=\"0\"/><a:ext cx=\"0\" cy=\"0\"/><a:chOff x=\"0\" y=\"0\"/>"
                               "<a:chExt cx=\"0\" cy=\"0\"/></a:xfrm></p:grpSpPr></p:spTree>";

QByteArray xmlPart(const QString &body)
{
    return QByteArray(kXmlDecl) + body.toUtf8();
}

QByteArray themeXml()
{
    QString colours;
    const QList<std::pair<const char *, const char *>> scheme{
        {"dk1", "000000"}, {"lt1", "FFFFFF"}, {"dk2", "1F3864"}, {"lt2", "E7E6E6"}, {"accent1", "4472C4"}, {"accent2", "ED7D31"},
        {"accent3", "A5A5A5"}, {"accent4", "FFC000"}, {"accent5", "5B9BD5"}, {"accent6", "70AD47"}, {"hlink", "0563C1"},
        {"folHlink", "954F72"}};
    for (const auto &[name, rgb] : scheme)
        colours += QStringLiteral("<a:%1><a:srgbClr val=\"%2\"/></a:%1>").arg(QLatin1String(name), QLatin1String(rgb));
    const QString fill = QStringLiteral("<a:solidFill><a:schemeClr val=\"phClr\"/></a:solidFill>");
    QString lines;
    for (int w : {6350, 12700, 19050})
        lines += QStringLiteral("<a:ln w=\"%1\">%2</a:ln>").arg(w).arg(fill);
    const QString font = QStringLiteral("<a:latin typeface=\"Arial\"/><a:ea typeface=\"\"/><a:cs typeface=\"\"/>");
    return xmlPart(QStringLiteral("<a:theme xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" name=\"Pollix\">"
                                  "<a:themeElements><a:clrScheme name=\"Pollix\">%1</a:clrScheme>"
                                  "<a:fontScheme name=\"Pollix\"><a:majorFont>%2</a:majorFont><a:minorFont>%2</a:minorFont></a:fontScheme>"
                                  "<a:fmtScheme name=\"Pollix\"><a:fillStyleLst>%3%3%3</a:fillStyleLst><a:lnStyleLst>%4</a:lnStyleLst>"
                                  "<a:effectStyleLst><a:effectStyle><a:effectLst/></a:effectStyle><a:effectStyle><a:effectLst/>"
                                  "</a:effectStyle><a:effectStyle><a:effectLst/></a:effectStyle></a:effectStyleLst>"
                                  "<a:bgFillStyleLst>%3%3%3</a:bgFillStyleLst></a:fmtScheme></a:themeElements></a:theme>")
                       .arg(colours, font, fill, lines));
}

} // namespace

PptxPresentation::PptxPresentation() = default;
PptxPresentation::~PptxPresentation() = default;

std::unique_ptr<PptxPresentation> PptxPresentation::createBlank()
{
    const QString ns = QString::fromLatin1(kNs);
    const QString tree = QString::fromLatin1(kEmptyTree);
    const QString pml = QStringLiteral("application/vnd.openxmlformats-officedocument.presentationml.");
    OpcPackage pkg;
    pkg.setDefaultContentType(QStringLiteral("rels"), QStringLiteral("application/vnd.openxmlformats-package.relationships+xml"));
    pkg.setDefaultContentType(QStringLiteral("xml"), QStringLiteral("application/xml"));
    pkg.setDefaultContentType(QStringLiteral("png"), QStringLiteral("image/png"));
    pkg.setDefaultContentType(QStringLiteral("jpeg"), QStringLiteral("image/jpeg"));

    pkg.setPart(QStringLiteral("/ppt/presentation.xml"),
                xmlPart(QStringLiteral("<p:presentation %1 saveSubsetFonts=\"1\"><p:sldMasterIdLst><p:sldMasterId id=\"2147483648\" r:id=\"rId1\"/>"
                                       "</p:sldMasterIdLst><p:sldSz cx=\"12192000\" cy=\"6858000\"/><p:notesSz cx=\"6858000\" cy=\"9144000\"/>"
                                       "<p:defaultTextStyle><a:defPPr><a:defRPr lang=\"en-US\"/></a:defPPr></p:defaultTextStyle></p:presentation>")
                            .arg(ns)),
                pml + QStringLiteral("presentation.main+xml"));
    pkg.setPart(QStringLiteral("/ppt/slideMasters/slideMaster1.xml"),
                xmlPart(QStringLiteral("<p:sldMaster %1><p:cSld><p:bg><p:bgRef idx=\"1001\"><a:schemeClr val=\"bg1\"/></p:bgRef></p:bg>%2</p:cSld>"
                                       "<p:clrMap bg1=\"lt1\" tx1=\"dk1\" bg2=\"lt2\" tx2=\"dk2\" accent1=\"accent1\" accent2=\"accent2\" "
                                       "accent3=\"accent3\" accent4=\"accent4\" accent5=\"accent5\" accent6=\"accent6\" hlink=\"hlink\" "
                                       "folHlink=\"folHlink\"/><p:sldLayoutIdLst><p:sldLayoutId id=\"2147483649\" r:id=\"rId1\"/>"
                                       "</p:sldLayoutIdLst><p:txStyles><p:titleStyle><a:lvl1pPr><a:defRPr sz=\"4400\"/></a:lvl1pPr>"
                                       "</p:titleStyle><p:bodyStyle><a:lvl1pPr><a:defRPr sz=\"2800\"/></a:lvl1pPr></p:bodyStyle>"
                                       "<p:otherStyle><a:lvl1pPr><a:defRPr sz=\"1800\"/></a:lvl1pPr></p:otherStyle></p:txStyles></p:sldMaster>")
                            .arg(ns, tree)),
                pml + QStringLiteral("slideMaster+xml"));
    pkg.setPart(QStringLiteral("/ppt/slideLayouts/slideLayout1.xml"),
                xmlPart(QStringLiteral("<p:sldLayout %1 type=\"blank\" preserve=\"1\"><p:cSld name=\"Blank\">%2</p:cSld>"
                                       "<p:clrMapOvr><a:masterClrMapping/></p:clrMapOvr></p:sldLayout>")
                            .arg(ns, tree)),
                pml + QStringLiteral("slideLayout+xml"));
    pkg.setPart(QStringLiteral("/ppt/theme/theme1.xml"), themeXml(), QStringLiteral("application/vnd.openxmlformats-officedocument.theme+xml"));
    pkg.setPart(QStringLiteral("/ppt/presProps.xml"), xmlPart(QStringLiteral("<p:presentationPr %1/>").arg(ns)),
                pml + QStringLiteral("presProps+xml"));
    pkg.setPart(QStringLiteral("/ppt/viewProps.xml"),
                xmlPart(QStringLiteral("<p:viewPr %1><p:gridSpacing cx=\"76200\" cy=\"76200\"/></p:viewPr>").arg(ns)),
                pml + QStringLiteral("viewProps+xml"));
    pkg.setPart(QStringLiteral("/ppt/tableStyles.xml"),
                xmlPart(QStringLiteral("<a:tblStyleLst xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" "
                                       "def=\"{5C22544A-7EE6-4342-B048-85BDC9FD1C3A}\"/>")),
                QStringLiteral("application/vnd.openxmlformats-officedocument.presentationml.tableStyles+xml"));
    pkg.setPart(QStringLiteral("/docProps/app.xml"),
                xmlPart(QStringLiteral("<Properties xmlns=\"http://schemas.openxmlformats.org/officeDocument/2006/extended-properties\">"
                                       "<Application>Pollix</Application></Properties>")),
                QStringLiteral("application/vnd.openxmlformats-officedocument.extended-properties+xml"));
    pkg.setPart(QStringLiteral("/docProps/core.xml"),
                xmlPart(QStringLiteral("<cp:coreProperties xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/metadata/core-properties\" "
                                       "xmlns:dc=\"http://purl.org/dc/elements/1.1/\"><dc:title>Pollix</dc:title></cp:coreProperties>")),
                QStringLiteral("application/vnd.openxmlformats-package.core-properties+xml"));

    const QString pres = QStringLiteral("/ppt/presentation.xml");
    pkg.addRelationship(QStringLiteral("/"), kRelBase + QStringLiteral("officeDocument"), pres);
    pkg.addRelationship(QStringLiteral("/"), QStringLiteral("http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties"),
                        QStringLiteral("/docProps/core.xml"));
    pkg.addRelationship(QStringLiteral("/"), kRelBase + QStringLiteral("extended-properties"), QStringLiteral("/docProps/app.xml"));
    pkg.addRelationship(pres, kRelBase + QStringLiteral("slideMaster"), QStringLiteral("/ppt/slideMasters/slideMaster1.xml"));
    pkg.addRelationship(pres, kRelBase + QStringLiteral("theme"), QStringLiteral("/ppt/theme/theme1.xml"));
    pkg.addRelationship(pres, kRelBase + QStringLiteral("presProps"), QStringLiteral("/ppt/presProps.xml"));
    pkg.addRelationship(pres, kRelBase + QStringLiteral("viewProps"), QStringLiteral("/ppt/viewProps.xml"));
    pkg.addRelationship(pres, kRelBase + QStringLiteral("tableStyles"), QStringLiteral("/ppt/tableStyles.xml"));
    pkg.addRelationship(QStringLiteral("/ppt/slideMasters/slideMaster1.xml"), kRelBase + QStringLiteral("slideLayout"),
                        QStringLiteral("/ppt/slideLayouts/slideLayout1.xml"));
    pkg.addRelationship(QStringLiteral("/ppt/slideMasters/slideMaster1.xml"), kRelBase + QStringLiteral("theme"),
                        QStringLiteral("/ppt/theme/theme1.xml"));
    pkg.addRelationship(QStringLiteral("/ppt/slideLayouts/slideLayout1.xml"), kRelBase + QStringLiteral("slideMaster"),
                        QStringLiteral("/ppt/slideMasters/slideMaster1.xml"));

    auto deck = std::make_unique<PptxPresentation>();
    deck->load(pkg.toZip());
    return deck;
}

void PptxPresentation::forget()
{
    m_docs.clear();
    m_dirty.clear();
    m_modified = false;
}

bool PptxPresentation::load(const QByteArray &zipBytes, QString *errorText)
{
    forget();
    return m_package.load(zipBytes, errorText) && readStructure(errorText);
}

bool PptxPresentation::loadFile(const QString &path, QString *errorText)
{
    forget();
    return m_package.loadFile(path, errorText) && readStructure(errorText);
}

QByteArray PptxPresentation::toZip(QString *errorText) const
{
    flush();
    return m_package.toZip(errorText);
}

bool PptxPresentation::saveFile(const QString &path, QString *errorText) const
{
    flush();
    return m_package.saveFile(path, errorText);
}

pugi::xml_document *PptxPresentation::xml(const QString &part) const
{
    auto it = m_docs.find(part);
    if (it != m_docs.end())
        return it.value().get();
    if (!m_package.hasPart(part))
        return nullptr;
    auto doc = std::make_shared<pugi::xml_document>();
    if (!parse(*doc, m_package.part(part)))
        return nullptr;
    m_docs.insert(part, doc);
    return doc.get();
}

void PptxPresentation::markDirty(const QString &part)
{
    m_dirty.insert(part);
    m_modified = true;
}

void PptxPresentation::flush() const
{
    for (const QString &part : std::as_const(m_dirty)) {
        const auto it = m_docs.constFind(part);
        if (it != m_docs.cend() && m_package.hasPart(part))
            m_package.setPart(part, serialize(*it.value()));
    }
    m_dirty.clear();
}

bool PptxPresentation::readStructure(QString *errorText)
{
    auto fail = [&](const QString &why) {
        if (errorText)
            *errorText = why;
        m_slideParts.clear();
        return false;
    };
    m_presentationPart.clear();
    m_slideParts.clear();
    for (const OpcPackage::Relationship &r : m_package.relationships(QStringLiteral("/")))
        if (typeName(r.type) == QLatin1String("officeDocument") && !r.external)
            m_presentationPart = r.targetPart;
    pugi::xml_document *pres = xml(m_presentationPart);
    if (m_presentationPart.isEmpty() || !pres || !is(pres->document_element(), "presentation"))
        return fail(QStringLiteral("the file holds no presentation"));
    QHash<QString, QString> targets;
    for (const OpcPackage::Relationship &r : m_package.relationships(m_presentationPart))
        if (typeName(r.type) == QLatin1String("slide") && !r.external)
            targets.insert(r.id, r.targetPart);
    const pugi::xml_node list = child(pres->document_element(), "sldIdLst");
    for (pugi::xml_node s = list.first_child(); s; s = s.next_sibling()) {
        if (!is(s, "sldId"))
            continue;
        const QString part = targets.value(QString::fromUtf8(relationshipAttribute(s, "id").value()));
        if (part.isEmpty() || !xml(part))
            return fail(QStringLiteral("a slide of the presentation is missing or damaged"));
        m_slideParts << part;
    }
    return true;
}

QSize PptxPresentation::slideSize() const
{
    pugi::xml_document *pres = xml(m_presentationPart);
    const pugi::xml_node size = pres ? child(pres->document_element(), "sldSz") : pugi::xml_node();
    return size ? QSize(size.attribute("cx").as_int(), size.attribute("cy").as_int()) : QSize(9144000, 6858000);
}

pugi::xml_node PptxPresentation::spTree(int slide) const
{
    pugi::xml_document *doc = (slide >= 0 && slide < m_slideParts.size()) ? xml(m_slideParts.at(slide)) : nullptr;
    if (!doc)
        return pugi::xml_node();
    return child(child(doc->document_element(), "cSld"), "spTree");
}

QList<PptxPresentation::Shape> PptxPresentation::shapes(int slide) const
{
    QList<Shape> out;
    for (const pugi::xml_node &n : shapeNodes(spTree(slide)))
        out << describe(n);
    return out;
}

int PptxPresentation::shapeCount(int slide) const
{
    return int(shapeNodes(spTree(slide)).size());
}

std::optional<PptxPresentation::Shape> PptxPresentation::shape(int slide, int index) const
{
    const QList<pugi::xml_node> nodes = shapeNodes(spTree(slide));
    if (index < 0 || index >= nodes.size())
        return std::nullopt;
    return describe(nodes.at(index));
}

QString PptxPresentation::readText(int slide, const QString &name) const
{
    for (const pugi::xml_node &n : shapeNodes(spTree(slide)))
        if (shapeName(n) == name)
            return bodyText(child(n, "txBody"));
    return QString();
}

bool PptxPresentation::writeText(int slide, const QString &name, const QString &text)
{
    for (const pugi::xml_node &n : shapeNodes(spTree(slide))) {
        if (shapeName(n) != name)
            continue;
        // Only a plain shape holds a text frame (a picture or a table of that name does not).
        if (!is(n, "sp"))
            return false;
        setBodyText(ensureTextBody(n), text);
        markDirty(m_slideParts.at(slide));
        return true;
    }
    return false;
}

int PptxPresentation::setVisible(int slide, const std::function<bool(const QString &)> &byName, bool visible)
{
    int changed = 0;
    for (const pugi::xml_node &n : shapeNodes(spTree(slide))) {
        if (!byName(shapeName(n)) || shapeHidden(n) == !visible)
            continue;
        pugi::xml_node pr = nameNode(n);
        if (visible)
            pr.remove_attribute("hidden");
        else if (pr.attribute("hidden"))
            pr.attribute("hidden").set_value("1");
        else
            pr.append_attribute("hidden") = "1";
        ++changed;
    }
    if (changed)
        markDirty(m_slideParts.at(slide));
    return changed;
}

bool PptxPresentation::addTextShape(int slide, const QString &name, const QString &text, const QRect &emu, bool hidden)
{
    pugi::xml_node tree = spTree(slide);
    if (!tree)
        return false;
    int highest = 0;
    pugi::xml_document *doc = xml(m_slideParts.at(slide));
    for (const pugi::xpath_node &x : doc->select_nodes("//*[local-name()='cNvPr']"))
        highest = qMax(highest, x.node().attribute("id").as_int());
    const pugi::xml_node reference = tree; // p: prefix of the shape tree
    pugi::xml_node ext = child(tree, "extLst");
    const QByteArray spName = QByteArray(tree.name()).replace("spTree", "sp");
    pugi::xml_node sp = ext ? tree.insert_child_before(spName.constData(), ext) : tree.append_child(spName.constData());
    pugi::xml_node nv = appendLike(sp, reference, "nvSpPr");
    pugi::xml_node pr = appendLike(nv, reference, "cNvPr");
    pr.append_attribute("id") = highest + 1;
    pr.append_attribute("name") = name.toUtf8().constData();
    if (hidden)
        pr.append_attribute("hidden") = "1";
    appendLike(nv, reference, "cNvSpPr").append_attribute("txBox") = "1";
    appendLike(nv, reference, "nvPr");
    pugi::xml_node spPr = appendLike(sp, reference, "spPr");
    pugi::xml_node xfrm = appendIn(spPr, kDrawingNs, "a", "xfrm");
    pugi::xml_node off = appendLike(xfrm, xfrm, "off");
    off.append_attribute("x") = emu.x();
    off.append_attribute("y") = emu.y();
    pugi::xml_node extent = appendLike(xfrm, xfrm, "ext");
    extent.append_attribute("cx") = emu.width();
    extent.append_attribute("cy") = emu.height();
    pugi::xml_node geom = appendLike(spPr, xfrm, "prstGeom");
    geom.append_attribute("prst") = "rect";
    appendLike(geom, xfrm, "avLst");
    setBodyText(ensureTextBody(sp), text);
    markDirty(m_slideParts.at(slide));
    return true;
}

bool PptxPresentation::deleteSlide(int slide, QString *errorText)
{
    if (slide < 0 || slide >= m_slideParts.size()) {
        if (errorText)
            *errorText = QStringLiteral("there is no slide %1").arg(slide + 1);
        return false;
    }
    flush();
    const QString part = m_slideParts.at(slide);
    pugi::xml_document *pres = xml(m_presentationPart);
    QString relId;
    for (const OpcPackage::Relationship &r : m_package.relationships(m_presentationPart))
        if (!r.external && r.targetPart == part)
            relId = r.id;
    // The slide's id also appears in section lists; a custom show names it by relationship.
    QString slideId;
    const pugi::xml_node list = child(pres->document_element(), "sldIdLst");
    for (pugi::xml_node s = list.first_child(); s; s = s.next_sibling())
        if (is(s, "sldId") && QString::fromUtf8(relationshipAttribute(s, "id").value()) == relId)
            slideId = QString::fromUtf8(s.attribute("id").value());
    const QByteArray idBytes = slideId.toUtf8();
    const QByteArray relBytes = relId.toUtf8();
    QList<pugi::xml_node> doomed;
    for (const pugi::xpath_node &x : pres->select_nodes("//*[local-name()='sldId' or local-name()='sld']")) {
        const pugi::xml_node n = x.node();
        const bool byRel = !relId.isEmpty() && std::strcmp(relationshipAttribute(n, "id").value(), relBytes.constData()) == 0;
        const bool byId = is(n, "sldId") && !slideId.isEmpty() && std::strcmp(n.attribute("id").value(), idBytes.constData()) == 0;
        if (byRel || byId)
            doomed << n;
    }
    for (pugi::xml_node n : doomed)
        n.parent().remove_child(n);
    markDirty(m_presentationPart);
    flush();
    if (!relId.isEmpty())
        m_package.removeRelationship(m_presentationPart, relId);
    m_package.removePart(part);
    QStringList gone = m_package.removeUnreachableParts();
    gone << part;
    for (const QString &name : std::as_const(gone))
        m_docs.remove(name);
    m_modified = true;
    return readStructure(errorText);
}

QList<std::pair<QString, QString>> PptxPresentation::layouts() const
{
    QList<std::pair<QString, QString>> out;
    for (const OpcPackage::Relationship &m : m_package.relationships(m_presentationPart)) {
        if (typeName(m.type) != QLatin1String("slideMaster") || m.external)
            continue;
        for (const OpcPackage::Relationship &l : m_package.relationships(m.targetPart)) {
            if (typeName(l.type) != QLatin1String("slideLayout") || l.external || !m_package.hasPart(l.targetPart))
                continue;
            pugi::xml_document *doc = xml(l.targetPart);
            const QString name = doc ? QString::fromUtf8(child(doc->document_element(), "cSld").attribute("name").value()) : QString();
            out << std::make_pair(l.targetPart, name);
        }
    }
    return out;
}

QString PptxPresentation::matchLayout(const QString &name, const QString &type) const
{
    const QList<std::pair<QString, QString>> all = layouts();
    for (const auto &[part, layoutName] : all)
        if (!name.isEmpty() && layoutName == name)
            return part;
    for (const auto &[part, layoutName] : all) {
        pugi::xml_document *doc = xml(part);
        if (doc && !type.isEmpty() && QString::fromUtf8(doc->document_element().attribute("type").value()) == type)
            return part;
    }
    return all.isEmpty() ? QString() : all.first().first;
}

std::optional<PptxPresentation::SlideCopy> PptxPresentation::copySlide(int slide, QString *errorText) const
{
    if (slide < 0 || slide >= m_slideParts.size()) {
        if (errorText)
            *errorText = QStringLiteral("there is no slide %1").arg(slide + 1);
        return std::nullopt;
    }
    flush();
    const QString part = m_slideParts.at(slide);
    SlideCopy copy;
    copy.slideXml = m_package.part(part);
    copy.slideSize = slideSize();

    QSet<QString> visiting;
    std::function<SlideCopy::Dependent(const OpcPackage::Relationship &)> take = [&](const OpcPackage::Relationship &r) {
        SlideCopy::Dependent d;
        d.rel = r;
        d.partName = r.targetPart;
        d.contentType = m_package.contentType(r.targetPart);
        d.data = m_package.part(r.targetPart);
        visiting.insert(r.targetPart);
        for (const OpcPackage::Relationship &c : m_package.relationships(r.targetPart))
            if (!c.external && !staysWithDeck(c.type) && m_package.hasPart(c.targetPart) && !visiting.contains(c.targetPart))
                d.children << take(c);
        visiting.remove(r.targetPart);
        return d;
    };
    for (const OpcPackage::Relationship &r : m_package.relationships(part)) {
        if (r.external) {
            copy.external << r;
        } else if (typeName(r.type) == QLatin1String("slideLayout")) {
            copy.layoutRelId = r.id;
            if (pugi::xml_document *doc = xml(r.targetPart)) {
                copy.layoutName = QString::fromUtf8(child(doc->document_element(), "cSld").attribute("name").value());
                copy.layoutType = QString::fromUtf8(doc->document_element().attribute("type").value());
            }
        } else if (staysWithDeck(r.type) || !m_package.hasPart(r.targetPart)) {
            copy.droppedIds << r.id;
        } else {
            visiting.insert(part);
            copy.parts << take(r);
        }
    }
    return copy;
}

bool PptxPresentation::copyDependent(const SlideCopy::Dependent &dep, const QString &sourcePart, QHash<QString, QString> &placed)
{
    QString name = placed.value(dep.partName);
    if (name.isEmpty()) {
        name = m_package.uniquePartName(partPattern(dep.partName));
        placed.insert(dep.partName, name);
        m_package.setPart(name, dep.data, dep.contentType);
        for (const SlideCopy::Dependent &c : dep.children)
            if (!copyDependent(c, name, placed))
                return false;
    }
    OpcPackage::Relationship rel = dep.rel;
    rel.targetPart = name;
    return m_package.addRelationshipWithId(sourcePart, rel);
}

bool PptxPresentation::pasteSlide(const SlideCopy &copy, QString *errorText)
{
    auto fail = [&](const QString &why) {
        if (errorText)
            *errorText = why;
        return false;
    };
    pugi::xml_document *pres = xml(m_presentationPart);
    if (!pres)
        return fail(QStringLiteral("no presentation is open"));
    const QString layout = matchLayout(copy.layoutName, copy.layoutType);
    if (layout.isEmpty())
        return fail(QStringLiteral("the presentation has no slide layout"));
    pugi::xml_document slideDoc;
    if (!parse(slideDoc, copy.slideXml) || !is(slideDoc.document_element(), "sld"))
        return fail(QStringLiteral("the copied slide is damaged"));
    fitToSlide(slideDoc.document_element(), copy.slideSize, slideSize());
    // Links to other slides of the old deck have no target here.
    if (!copy.droppedIds.isEmpty()) {
        QList<pugi::xml_node> links;
        for (const pugi::xpath_node &x : slideDoc.select_nodes("//*[local-name()='hlinkClick' or local-name()='hlinkMouseOver']"))
            if (copy.droppedIds.contains(QString::fromUtf8(relationshipAttribute(x.node(), "id").value())))
                links << x.node();
        for (pugi::xml_node n : links)
            n.parent().remove_child(n);
    }
    flush();
    const QString part = m_package.uniquePartName(QStringLiteral("/ppt/slides/slide%1.xml"));
    m_package.setPart(part, serialize(slideDoc), kSlideType);
    OpcPackage::Relationship layoutRel;
    layoutRel.id = copy.layoutRelId.isEmpty() ? QStringLiteral("rIdLayout") : copy.layoutRelId;
    layoutRel.type = kRelBase + QStringLiteral("slideLayout");
    layoutRel.targetPart = layout;
    if (!m_package.addRelationshipWithId(part, layoutRel))
        return fail(QStringLiteral("the copied slide's relationships clash"));
    QHash<QString, QString> placed;
    for (const SlideCopy::Dependent &d : copy.parts)
        if (!copyDependent(d, part, placed))
            return fail(QStringLiteral("the copied slide's relationships clash"));
    for (const OpcPackage::Relationship &r : copy.external)
        m_package.addRelationshipWithId(part, r);

    const QString relId = m_package.addRelationship(m_presentationPart, kRelBase + QStringLiteral("slide"), part);
    pugi::xml_node root = pres->document_element();
    pugi::xml_node list = child(root, "sldIdLst");
    if (!list) {
        // Schema order: after the master lists, before the slide size.
        pugi::xml_node after;
        for (const char *name : {"sldMasterIdLst", "notesMasterIdLst", "handoutMasterIdLst"})
            if (pugi::xml_node n = child(root, name))
                after = n;
        const QByteArray listName = QByteArray(root.name()).replace("presentation", "sldIdLst");
        list = after ? root.insert_child_after(listName.constData(), after) : root.prepend_child(listName.constData());
    }
    quint32 highest = 255;
    QSet<quint32> used;
    for (pugi::xml_node s = list.first_child(); s; s = s.next_sibling())
        if (is(s, "sldId")) {
            used.insert(s.attribute("id").as_uint());
            highest = qMax(highest, s.attribute("id").as_uint());
        }
    quint32 id = highest + 1;
    if (id > 2147483647u)
        for (id = 256; used.contains(id); ++id) {
        }
    pugi::xml_node s = appendLike(list, list, "sldId");
    s.append_attribute("id") = id;
    s.append_attribute((prefixFor(list, kRelationshipsNs, "r") + "id").constData()) = relId.toUtf8().constData();
    markDirty(m_presentationPart);
    flush();
    m_docs.remove(part);
    return readStructure(errorText);
}

bool PptxPresentation::checkConsistency(QString *errorText) const
{
    auto fail = [&](const QString &why) {
        if (errorText)
            *errorText = why;
        return false;
    };
    flush();
    if (!m_package.checkConsistency(errorText))
        return false;
    pugi::xml_document *pres = xml(m_presentationPart);
    if (!pres)
        return fail(QStringLiteral("no presentation part"));
    QHash<QString, QString> slideRels;
    for (const OpcPackage::Relationship &r : m_package.relationships(m_presentationPart))
        if (typeName(r.type) == QLatin1String("slide"))
            slideRels.insert(r.id, r.targetPart);
    QSet<quint32> ids;
    QSet<QString> rels;
    for (pugi::xml_node s = child(pres->document_element(), "sldIdLst").first_child(); s; s = s.next_sibling()) {
        if (!is(s, "sldId"))
            continue;
        const quint32 id = s.attribute("id").as_uint();
        const QString rel = QString::fromUtf8(relationshipAttribute(s, "id").value());
        if (id < 256 || id > 2147483647u || ids.contains(id))
            return fail(QStringLiteral("slide id %1 is out of range or repeated").arg(id));
        if (!slideRels.contains(rel) || rels.contains(rel))
            return fail(QStringLiteral("slide list entry %1 names no slide of its own").arg(rel));
        ids.insert(id);
        rels.insert(rel);
    }
    if (rels.size() != slideRels.size())
        return fail(QStringLiteral("a slide is related to the presentation but not listed"));
    for (const QString &part : m_slideParts) {
        pugi::xml_document *doc = xml(part);
        if (!doc)
            return fail(QStringLiteral("%1 is damaged").arg(part));
        QSet<int> shapeIds;
        for (const pugi::xpath_node &x : doc->select_nodes("//*[local-name()='cNvPr']")) {
            const int id = x.node().attribute("id").as_int();
            if (shapeIds.contains(id))
                return fail(QStringLiteral("%1 repeats shape id %2").arg(part).arg(id));
            shapeIds.insert(id);
        }
    }
    return true;
}

PptxPresentation::SlideCopy PptxPresentation::blankSlide(const QString &name, const QString &layoutType)
{
    pugi::xml_document doc;
    parse(doc, xmlPart(QStringLiteral("<p:sld %1><p:cSld>%2</p:cSld><p:clrMapOvr><a:masterClrMapping/></p:clrMapOvr></p:sld>")
                           .arg(QString::fromLatin1(kNs), QString::fromLatin1(kEmptyTree))));
    if (!name.isEmpty())
        child(doc.document_element(), "cSld").append_attribute("name") = name.toUtf8().constData();
    SlideCopy copy;
    copy.slideXml = serialize(doc);
    copy.layoutType = layoutType;
    copy.layoutRelId = QStringLiteral("rId1");
    return copy;
}

bool PptxPresentation::moveSlide(int from, int to)
{
    if (from < 0 || from >= m_slideParts.size() || to < 0 || to >= m_slideParts.size())
        return false;
    if (from == to)
        return true;
    pugi::xml_document *pres = xml(m_presentationPart);
    pugi::xml_node list = child(pres->document_element(), "sldIdLst");
    QList<pugi::xml_node> entries;
    for (pugi::xml_node s = list.first_child(); s; s = s.next_sibling())
        if (is(s, "sldId"))
            entries << s;
    if (entries.size() != m_slideParts.size())
        return false;
    const pugi::xml_node moving = entries.at(from);
    if (to > from)
        list.insert_move_after(moving, entries.at(to));
    else
        list.insert_move_before(moving, entries.at(to));
    markDirty(m_presentationPart);
    m_slideParts.move(from, to);
    return true;
}

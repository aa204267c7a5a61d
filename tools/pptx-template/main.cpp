// pollix-pptx-template OUTPUT: writes "template.pptx", the ready-made question slides that the
// template picker copies into a teacher's deck, slide n for template n:
//   0 true or false, 1 cloze and short answer, 2 to 13 the choice layouts (options and
//   columns), 14 to 50 the rating scales with their choices.
// Every slide carries the named shapes of a question slide. The question's settings ("mode",
// "answer", "mark", ...) and the exam ID and memo sit beside the slide, outside the area that is
// shown, where the teacher can still see and edit them in an office program.
#include "core/authoring/TemplateData.h"
#include "core/presentation/QuestionSlideFormat.h"
#include "platform/AtomicFile.h"
#include "platform/PptxPresentation.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

namespace {

constexpr qint64 kInch = 914400;
constexpr qint64 kSlideWidth = 12192000;

struct Box
{
    QString name;
    QString text;
    qint64 x = 0, y = 0, w = 0, h = 0;
    int size = 1800;
    bool bold = false;
    QString geometry = QStringLiteral("rect");
    QString fill;  // empty: none
    QString line;  // empty: none
    QString colour = QStringLiteral("000000");
    QString align = QStringLiteral("l");
    QString anchor = QStringLiteral("ctr");
};

QString fillXml(const QString &rgb)
{
    return rgb.isEmpty() ? QStringLiteral("<a:noFill/>") : QStringLiteral("<a:solidFill><a:srgbClr val=\"%1\"/></a:solidFill>").arg(rgb);
}

QString shapeXml(int id, const Box &b)
{
    const QString runProps = QStringLiteral("lang=\"en-US\" sz=\"%1\" b=\"%2\" dirty=\"0\"><a:solidFill><a:srgbClr val=\"%3\"/>"
                                            "</a:solidFill><a:latin typeface=\"Arial\"/><a:cs typeface=\"Arial\"/>")
                                 .arg(b.size)
                                 .arg(b.bold ? 1 : 0)
                                 .arg(b.colour);
    const QString paragraph = b.text.isEmpty()
                                  ? QStringLiteral("<a:endParaRPr %1</a:endParaRPr>").arg(runProps)
                                  : QStringLiteral("<a:r><a:rPr %1</a:rPr><a:t>%2</a:t></a:r>").arg(runProps, b.text.toHtmlEscaped());
    const QString line = b.line.isEmpty() ? QStringLiteral("<a:ln><a:noFill/></a:ln>")
                                          : QStringLiteral("<a:ln w=\"12700\">%1</a:ln>").arg(fillXml(b.line));
    return QStringLiteral("<p:sp><p:nvSpPr><p:cNvPr id=\"%1\" name=\"%2\"/><p:cNvSpPr/><p:nvPr/></p:nvSpPr>"
                          "<p:spPr><a:xfrm><a:off x=\"%3\" y=\"%4\"/><a:ext cx=\"%5\" cy=\"%6\"/></a:xfrm>"
                          "<a:prstGeom prst=\"%7\"><a:avLst/></a:prstGeom>%8%9</p:spPr>"
                          "<p:txBody><a:bodyPr wrap=\"square\" lIns=\"91440\" tIns=\"45720\" rIns=\"91440\" bIns=\"45720\" "
                          "anchor=\"%10\"><a:normAutofit/></a:bodyPr><a:lstStyle/><a:p><a:pPr algn=\"%11\"/>%12</a:p></p:txBody></p:sp>")
        .arg(id)
        .arg(b.name.toHtmlEscaped())
        .arg(b.x)
        .arg(b.y)
        .arg(b.w)
        .arg(b.h)
        .arg(b.geometry, fillXml(b.fill), line, b.anchor, b.align, paragraph);
}

struct Template
{
    QString title;
    QStringList options; // one entry per option shape (texts may be empty)
    int columns = 1;
    int type = 0;       // question type written to "mode"
    int activity = 0;   // the editor's activity index written to "activity_mode"
};

QList<Box> optionBoxes(const Template &t)
{
    QList<Box> out;
    const int n = int(t.options.size());
    if (n == 0)
        return out;
    const qint64 left = kInch * 6 / 10, top = kInch * 21 / 10;
    const qint64 width = kSlideWidth - 2 * left, height = kInch * 5;
    const qint64 gap = kInch * 3 / 10;
    const int rows = (n + t.columns - 1) / t.columns;
    const qint64 rowHeight = qMin(kInch * 95 / 100, height / rows);
    const qint64 cellWidth = (width - (t.columns - 1) * gap) / t.columns;
    const qint64 mark = qMin(rowHeight - kInch * 15 / 100, kInch * 6 / 10);
    for (int k = 0; k < n; ++k) {
        const int column = k / rows, row = k % rows;
        const qint64 x = left + column * (cellWidth + gap), y = top + row * rowHeight;
        Box option;
        option.name = QStringLiteral("Option") + QChar(u'A' + k);
        option.text = t.options.at(k);
        option.x = x + mark + kInch * 15 / 100;
        option.y = y;
        option.w = cellWidth - mark - kInch * 15 / 100;
        option.h = rowHeight - kInch * 15 / 100;
        option.size = rowHeight >= kInch * 8 / 10 ? 2400 : 2000;
        option.geometry = QStringLiteral("roundRect");
        option.fill = QStringLiteral("EEF3FB");
        option.line = QStringLiteral("9DB3E0");
        option.colour = QStringLiteral("1F1F1F");
        Box oval;
        // The true-or-false marks are "Oval 3" and "Oval 5"; the others follow that count.
        oval.name = QStringLiteral("Oval %1").arg(2 * k + 3);
        oval.text = QString(QChar(u'A' + k));
        oval.x = x;
        oval.y = y + (option.h - mark) / 2;
        oval.w = mark;
        oval.h = mark;
        oval.size = 2000;
        oval.bold = true;
        oval.geometry = QStringLiteral("ellipse");
        oval.fill = QStringLiteral("4472C4");
        oval.colour = QStringLiteral("FFFFFF");
        oval.align = QStringLiteral("ctr");
        out << option << oval;
    }
    return out;
}

QByteArray slideXml(const Template &t)
{
    QList<Box> boxes;
    Box title;
    title.name = QStringLiteral("Qu_Title");
    title.text = t.title;
    title.x = kInch / 2;
    title.y = kInch * 35 / 100;
    title.w = kSlideWidth - kInch;
    title.h = kInch * 15 / 10;
    title.size = 3200;
    title.bold = true;
    title.colour = QStringLiteral("1F3864");
    boxes << title << optionBoxes(t);

    const QList<std::pair<QString, QString>> settings{
        {QStringLiteral("mode"), QuestionSlideFormat::questionTypeText(t.type)},
        {QStringLiteral("activity_mode"), QuestionSlideFormat::activityText(t.activity)},
        {QStringLiteral("level"), QuestionSlideFormat::levelText(0)},
        {QStringLiteral("answer"), QString()},
        {QStringLiteral("mark"), QStringLiteral("10")},
        {QStringLiteral("time"), QStringLiteral("30")},
        {QStringLiteral("deducemark"), QStringLiteral("10")},
        {QStringLiteral("rushtime"), QStringLiteral("30")},
        {QStringLiteral("standard"), QStringLiteral("_&#")},
        {QStringLiteral("ID"), QString()},
        {QStringLiteral("Memo"), QString()}};
    qint64 y = kInch / 5;
    for (const auto &[name, text] : settings) {
        Box b;
        b.name = name;
        b.text = text;
        b.x = kSlideWidth + kInch / 4;
        b.y = y;
        b.w = kInch * 5 / 2;
        b.h = kInch * 35 / 100;
        b.size = 1200;
        b.line = QStringLiteral("BFBFBF");
        b.colour = QStringLiteral("404040");
        y += kInch * 4 / 10;
        boxes << b;
    }

    QString shapes;
    int id = 2;
    for (const Box &b : std::as_const(boxes))
        shapes += shapeXml(id++, b);
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                          "<p:sld xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" "
                          "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\" "
                          "xmlns:p=\"http://schemas.openxmlformats.org/presentationml/2006/main\"><p:cSld><p:spTree>"
                          "<p:nvGrpSpPr><p:cNvPr id=\"1\" name=\"\"/><p:cNvGrpSpPr/><p:nvPr/></p:nvGrpSpPr><p:grpSpPr><a:xfrm>"
                          "<a:off x=\"0\" y=\"0\"/><a:ext cx=\"0\" cy=\"0\"/><a:chOff x=\"0\" y=\"0\"/><a:chExt cx=\"0\" cy=\"0\"/>"
                          "</a:xfrm></p:grpSpPr>%1</p:spTree></p:cSld><p:clrMapOvr><a:masterClrMapping/></p:clrMapOvr></p:sld>")
        .arg(shapes)
        .toUtf8();
}

QList<Template> templates()
{
    const QString question = QStringLiteral("Type your question here");
    QList<Template> out;
    out << Template{question, {QStringLiteral("True"), QStringLiteral("False")}, 1, 5, 0};
    out << Template{question, {}, 1, 2, 0};
    // The choice layouts, index 2 to 13: options and columns.
    const QList<std::pair<int, int>> layouts{{2, 2}, {2, 1}, {3, 1}, {4, 1}, {4, 2}, {5, 1},
                                             {6, 1}, {6, 2}, {7, 1}, {8, 2}, {9, 2}, {10, 2}};
    for (const auto &[options, columns] : layouts) {
        QStringList empty;
        for (int k = 0; k < options; ++k)
            empty << QString();
        out << Template{question, empty, columns, 0, 0};
    }
    for (const TemplateData::Scale &scale : TemplateData::ratingScales())
        out << Template{QString::fromUtf8(scale.name), scale.choices, scale.choices.size() > 5 ? 2 : 1, 0, 3};
    return out;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: pollix-pptx-template OUTPUT\n");
        return 2;
    }
    std::unique_ptr<PptxPresentation> deck = PptxPresentation::createBlank();
    QString why;
    for (const Template &t : templates()) {
        PptxPresentation::SlideCopy slide;
        slide.slideXml = slideXml(t);
        slide.layoutType = QStringLiteral("blank");
        slide.layoutRelId = QStringLiteral("rId1");
        if (!deck->pasteSlide(slide, &why)) {
            std::fprintf(stderr, "pollix-pptx-template: %s\n", qPrintable(why));
            return 1;
        }
    }
    if (!deck->checkConsistency(&why) || !deck->saveFile(QString::fromLocal8Bit(argv[1]), &why)) {
        std::fprintf(stderr, "pollix-pptx-template: %s\n", qPrintable(why));
        return 1;
    }
    return 0;
}

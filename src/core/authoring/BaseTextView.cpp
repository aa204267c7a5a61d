#include "BaseTextView.h"

#include "platform/ArchivedColor.h"
#include "platform/KeyedArchiver.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {

int alignmentCode(Qt::Alignment a)
{
    if (a & Qt::AlignRight)
        return 1;
    if (a & Qt::AlignHCenter)
        return 2;
    if (a & Qt::AlignJustify)
        return 3;
    return 0;
}

Qt::Alignment alignmentFromCode(int code)
{
    switch (code) {
    case 1: return Qt::AlignRight;
    case 2: return Qt::AlignHCenter;
    case 3: return Qt::AlignJustify;
    default: return Qt::AlignLeft;
    }
}

double fontSize(const QFont &f)
{
    return f.pixelSize() > 0 ? double(f.pixelSize()) : f.pointSizeF();
}

QTextCharFormat formatFromRun(const BaseTextView::Run &run)
{
    QTextCharFormat fmt;
    QFont f(run.family);
    f.setPixelSize(qMax(1, qRound(run.size)));
    f.setBold(run.bold);
    f.setItalic(run.italic);
    f.setUnderline(run.underline);
    fmt.setFont(f, QTextCharFormat::FontPropertiesAll);
    fmt.setForeground(QColor::fromRgba(run.color));
    return fmt;
}

class ArchivedTextRun : public KeyedArchiveObject
{
public:
    BaseTextView::Run run;
    QStringList archiveClassNames() const override
    {
        return {QStringLiteral("PXTextRun"), QStringLiteral("NSObject")};
    }
    void encodeWithCoder(KeyedArchiver &coder) const override
    {
        const ArchivedColor color(QColor::fromRgba(run.color));
        coder.encodeString(QStringLiteral("PXText"), run.text);
        coder.encodeString(QStringLiteral("PXFont"), run.family);
        coder.encodeReal(QStringLiteral("PXSize"), run.size);
        coder.encodeInt(QStringLiteral("PXBold"), run.bold);
        coder.encodeInt(QStringLiteral("PXItalic"), run.italic);
        coder.encodeInt(QStringLiteral("PXUnderline"), run.underline);
        coder.encodeValueObject(QStringLiteral("PXColor"), color);
    }
    void initWithCoder(KeyedUnarchiver &coder) override
    {
        run.text = coder.decodeString(QStringLiteral("PXText"));
        run.family = coder.decodeString(QStringLiteral("PXFont"));
        run.size = coder.decodeReal(QStringLiteral("PXSize"));
        run.bold = coder.decodeInt(QStringLiteral("PXBold")) != 0;
        run.italic = coder.decodeInt(QStringLiteral("PXItalic")) != 0;
        run.underline = coder.decodeInt(QStringLiteral("PXUnderline")) != 0;
        auto color = coder.decodeObjectOfClass<ArchivedColor>(QStringLiteral("PXColor"), false);
        if (color)
            run.color = color->color().rgba();
        if (!(run.size > 0 && run.size < 10000))
            coder.fail(QStringLiteral("font size out of range"));
    }
};

class ArchivedTextParagraph : public KeyedArchiveObject
{
public:
    BaseTextView::Paragraph paragraph;
    QStringList archiveClassNames() const override
    {
        return {QStringLiteral("PXTextParagraph"), QStringLiteral("NSObject")};
    }
    void encodeWithCoder(KeyedArchiver &coder) const override
    {
        std::vector<ArchivedTextRun> runs(size_t(paragraph.runs.size()));
        QList<const KeyedArchiveObject *> refs;
        for (qsizetype i = 0; i < paragraph.runs.size(); ++i) {
            runs[size_t(i)].run = paragraph.runs[i];
            refs.append(&runs[size_t(i)]);
        }
        coder.encodeInt(QStringLiteral("PXAlignment"), paragraph.alignment);
        coder.encodeValueObjectArray(QStringLiteral("PXRuns"), refs);
    }
    void initWithCoder(KeyedUnarchiver &coder) override
    {
        paragraph.alignment = int(coder.decodeInt(QStringLiteral("PXAlignment")));
        for (const auto &run : coder.decodeArrayOfClass<ArchivedTextRun>(QStringLiteral("PXRuns")))
            paragraph.runs.append(run->run);
        if (paragraph.alignment < 0 || paragraph.alignment > 3)
            coder.fail(QStringLiteral("unknown alignment"));
    }
};

} // namespace

QFont BaseTextView::defaultFont()
{
    QFont f(defaultFontFamily());
    f.setPixelSize(kDefaultFontSize);
    return f;
}

BaseTextView::BaseTextView() : BaseTextView(QRectF()) {}

BaseTextView::BaseTextView(const QRectF &frame) : m_document(std::make_unique<QTextDocument>())
{
    setFrame(frame);
    setBoundsOrigin(QPointF(0, 0));
    m_document->setDefaultFont(defaultFont());
    m_document->setDocumentMargin(0);
    m_document->setUndoRedoEnabled(false);
}

BaseTextView::~BaseTextView() = default;

QString BaseTextView::string() const
{
    return m_document->toPlainText();
}

void BaseTextView::setString(const QString &text)
{
    m_document->setPlainText(text);
}

QList<BaseTextView::Paragraph> BaseTextView::paragraphs() const
{
    return paragraphsOf(*m_document);
}

void BaseTextView::setParagraphs(const QList<Paragraph> &paragraphs)
{
    setParagraphsOf(*m_document, paragraphs);
}

QList<BaseTextView::Paragraph> BaseTextView::paragraphsOf(const QTextDocument &document)
{
    QList<Paragraph> out;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        Paragraph p;
        p.alignment = alignmentCode(block.blockFormat().alignment());
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            if (!frag.isValid())
                continue;
            const QTextCharFormat fmt = frag.charFormat();
            // Properties the fragment leaves unset come from the field's default font.
            const QFont f = fmt.font().resolve(document.defaultFont());
            Run r;
            r.text = frag.text();
            r.family = f.family();
            r.size = fontSize(f);
            r.bold = f.bold();
            r.italic = f.italic();
            r.underline = f.underline();
            r.color = fmt.hasProperty(QTextFormat::ForegroundBrush) ? fmt.foreground().color().rgba() : 0xff000000;
            p.runs.append(r);
        }
        out.append(p);
    }
    // An empty field is one empty paragraph; a field never written to compares equal to it.
    if (out.size() == 1 && out[0].runs.isEmpty() && out[0].alignment == 0)
        out.clear();
    return out;
}

void BaseTextView::setParagraphsOf(QTextDocument &document, const QList<Paragraph> &paragraphs)
{
    document.clear();
    QTextCursor cursor(&document);
    for (qsizetype i = 0; i < paragraphs.size(); ++i) {
        const Paragraph &p = paragraphs[i];
        QTextBlockFormat bf;
        bf.setAlignment(alignmentFromCode(p.alignment));
        if (i == 0)
            cursor.setBlockFormat(bf);
        else
            cursor.insertBlock(bf);
        for (const Run &r : p.runs) {
            QString text = r.text;
            // A paragraph's runs never hold its break; stray breaks would split it.
            text.replace(QChar::ParagraphSeparator, QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
            cursor.insertText(text, formatFromRun(r));
        }
    }
}

std::shared_ptr<BaseTextView> BaseTextView::copy() const
{
    auto c = std::make_shared<BaseTextView>(frame());
    c->copyViewFrom(*this);
    c->setParagraphs(paragraphs());
    return c;
}

void BaseTextView::drawText(QPainter &painter, const QRectF &rect) const
{
    painter.save();
    painter.translate(rect.topLeft());
    const QRectF clip(0, 0, rect.width(), rect.height());
    m_document->setTextWidth(rect.width());
    QAbstractTextDocumentLayout::PaintContext ctx;
    ctx.clip = clip;
    ctx.palette.setColor(QPalette::Text, Qt::black);
    painter.setClipRect(clip, Qt::IntersectClip);
    m_document->documentLayout()->draw(&painter, ctx);
    painter.restore();
}

void BaseTextView::addArchiveClasses(KeyedUnarchiver::ClassTable &table)
{
    table.insert(QStringLiteral("BaseTextView"), [] { return std::make_shared<BaseTextView>(); });
    table.insert(QStringLiteral("PXTextParagraph"), [] { return std::make_shared<ArchivedTextParagraph>(); });
    table.insert(QStringLiteral("PXTextRun"), [] { return std::make_shared<ArchivedTextRun>(); });
    table.insert(QStringLiteral("NSColor"), [] { return std::make_shared<ArchivedColor>(); });
}

QStringList BaseTextView::archiveClassNames() const
{
    return {QStringLiteral("BaseTextView"), QStringLiteral("NSTextView"), QStringLiteral("NSText"),
            QStringLiteral("NSView"), QStringLiteral("NSResponder"), QStringLiteral("NSObject")};
}

void BaseTextView::encodeWithCoder(KeyedArchiver &coder) const
{
    encodeView(coder);
    const QList<Paragraph> list = paragraphs();
    std::vector<ArchivedTextParagraph> archived(size_t(list.size()));
    QList<const KeyedArchiveObject *> refs;
    for (qsizetype i = 0; i < list.size(); ++i) {
        archived[size_t(i)].paragraph = list[i];
        refs.append(&archived[size_t(i)]);
    }
    coder.encodeValueObjectArray(QStringLiteral("PXParagraphs"), refs);
}

void BaseTextView::initWithCoder(KeyedUnarchiver &coder)
{
    decodeView(coder);
    QList<Paragraph> list;
    for (const auto &p : coder.decodeArrayOfClass<ArchivedTextParagraph>(QStringLiteral("PXParagraphs")))
        list.append(p->paragraph);
    if (!coder.failed())
        setParagraphs(list);
}

#pragma once

#include "AuthoringView.h"

#include "platform/KeyedUnarchiver.h"

#include <QColor>
#include <QString>

#include <memory>

class QFont;
class QPainter;
class QTextDocument;

// The rich-text field of a box. Its text lives in a QTextDocument, which the editor's text
// widget edits directly. Sizes are in page units (one unit is one pixel at full size).
//
// In a question file the field writes the view values of AuthoringView, then "PXParagraphs": an
// array of "PXTextParagraph" objects ("PXAlignment": 0 left, 1 right, 2 centre, 3 justified;
// "PXRuns": array of "PXTextRun"), each run holding "PXText", "PXFont" (family), "PXSize" (real),
// "PXBold", "PXItalic", "PXUnderline" (0 or 1) and "PXColor" (an NSColor).
class BaseTextView : public AuthoringView
{
public:
    struct Run
    {
        QString text;
        QString family;
        double size = 16;
        bool bold = false;
        bool italic = false;
        bool underline = false;
        QRgb color = 0xff000000;
        bool operator==(const Run &) const = default;
    };
    struct Paragraph
    {
        int alignment = 0;
        QList<Run> runs;
        bool operator==(const Paragraph &) const = default;
    };

    BaseTextView();
    explicit BaseTextView(const QRectF &frame);
    ~BaseTextView() override;

    static QString defaultFontFamily() { return QStringLiteral("Times"); }
    static constexpr int kDefaultFontSize = 16;

    bool bCtrl() const { return m_bCtrl; }
    void setBCtrl(bool editable) { m_bCtrl = editable; }

    QTextDocument *document() const { return m_document.get(); }
    QString string() const;
    // Replaces the whole text by a plain string in the field's default font.
    void setString(const QString &text);
    QList<Paragraph> paragraphs() const;
    void setParagraphs(const QList<Paragraph> &paragraphs);
    // The same for any document, such as the one of a text widget that edits a box's text
    // elsewhere; properties a run leaves unset come from the document's default font.
    static QList<Paragraph> paragraphsOf(const QTextDocument &document);
    static void setParagraphsOf(QTextDocument &document, const QList<Paragraph> &paragraphs);
    // The field's own default font ("Times", 16 units).
    static QFont defaultFont();
    bool hasEqualText(const BaseTextView &other) const { return paragraphs() == other.paragraphs(); }

    std::shared_ptr<BaseTextView> copy() const;

    // Draws the text into rect, given in QPainter's (y down) coordinates, clipped to it.
    void drawText(QPainter &painter, const QRectF &rect) const;


    static void addArchiveClasses(KeyedUnarchiver::ClassTable &table);
    QStringList archiveClassNames() const override;
    void encodeWithCoder(KeyedArchiver &coder) const override;
    void initWithCoder(KeyedUnarchiver &coder) override;

private:
    std::unique_ptr<QTextDocument> m_document;
    bool m_bCtrl = false;
};

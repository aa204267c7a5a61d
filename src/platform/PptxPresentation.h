#pragma once

#include "OpcPackage.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QRect>
#include <QSet>
#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

namespace pugi {
class xml_document;
class xml_node;
} // namespace pugi

// One slide deck (.pptx) in memory: the slides in show order and, on each slide, its shapes in
// slide order with their names, visibility and plain text. Slides can be deleted and copied in
// from another deck; after every change the package stays whole (OpcPackage::checkConsistency
// plus unique slide ids and unique shape ids per slide).
//
// Text: the paragraphs of a shape joined by "\n" (a line break inside a paragraph reads as "\n"
// too); writing splits at "\n" into paragraphs that keep the first paragraph's and the first
// run's formatting.
class PptxPresentation
{
public:
    PptxPresentation();
    ~PptxPresentation();
    PptxPresentation(const PptxPresentation &) = delete;
    PptxPresentation &operator=(const PptxPresentation &) = delete;

    // A deck with one master, one blank layout, a theme and no slide (16:9).
    static std::unique_ptr<PptxPresentation> createBlank();

    bool load(const QByteArray &zipBytes, QString *errorText = nullptr);
    bool loadFile(const QString &path, QString *errorText = nullptr);
    QByteArray toZip(QString *errorText = nullptr) const;
    bool saveFile(const QString &path, QString *errorText = nullptr) const;

    int slideCount() const { return int(m_slideParts.size()); }
    QSize slideSize() const; // EMU
    QString slidePart(int slide) const { return m_slideParts.value(slide); }

    struct Shape
    {
        QString name;
        bool visible = true;
        bool hasText = false;
        // A plain shape, which writeText can fill (a picture or a table of that name cannot).
        bool takesText = false;
        QString text;
    };
    QList<Shape> shapes(int slide) const;
    int shapeCount(int slide) const;
    std::optional<Shape> shape(int slide, int index) const;
    // Text of the first shape of that name; empty when there is none.
    QString readText(int slide, const QString &name) const;
    // Into the first shape of that name that can hold text; false when the slide has none.
    bool writeText(int slide, const QString &name, const QString &text);
    // Shows or hides every shape whose name the predicate accepts; answers how many changed.
    int setVisible(int slide, const std::function<bool(const QString &)> &byName, bool visible);
    // A text box of that name at a position in EMU.
    bool addTextShape(int slide, const QString &name, const QString &text, const QRect &emu, bool hidden);

    bool deleteSlide(int slide, QString *errorText = nullptr);

    // A slide taken out of its deck with everything it uses (pictures, charts), ready to be
    // put into another deck. Its layout is matched by name in the receiving deck.
    struct SlideCopy
    {
        struct Dependent
        {
            OpcPackage::Relationship rel;
            QString partName;
            QString contentType;
            QByteArray data;
            QList<Dependent> children;
        };
        QByteArray slideXml;
        // The size of the slides of the deck it came from (EMU); pasted into a deck of another
        // size, its shapes are fitted to that deck's slides. Empty: laid out for any size.
        QSize slideSize;
        QString layoutName;
        QString layoutType;
        QString layoutRelId;
        QList<Dependent> parts;
        QList<OpcPackage::Relationship> external;
        QStringList droppedIds; // relationships a copy cannot keep (notes, links to other slides)
    };
    std::optional<SlideCopy> copySlide(int slide, QString *errorText = nullptr) const;
    // Appended as the last slide, its shapes fitted to this deck's slide size.
    bool pasteSlide(const SlideCopy &copy, QString *errorText = nullptr);
    // An empty slide on the layout of that type ("title", "obj"; else the first layout).
    static SlideCopy blankSlide(const QString &name, const QString &layoutType);
    bool moveSlide(int from, int to);

    // The package is whole, slide ids are unique and in range, every listed slide resolves,
    // and shape ids are unique on every slide.
    bool checkConsistency(QString *errorText = nullptr) const;

    bool isModified() const { return m_modified; }
    void setModified(bool v) { m_modified = v; }

private:
    void forget();
    pugi::xml_document *xml(const QString &part) const;
    void markDirty(const QString &part);
    void flush() const;
    bool readStructure(QString *errorText);
    pugi::xml_node spTree(int slide) const;
    QString presentationPart() const { return m_presentationPart; }
    QList<std::pair<QString, QString>> layouts() const; // (part, name)
    QString matchLayout(const QString &name, const QString &type) const;
    bool copyDependent(const SlideCopy::Dependent &dep, const QString &sourcePart, QHash<QString, QString> &placed);

    mutable OpcPackage m_package;
    mutable QHash<QString, std::shared_ptr<pugi::xml_document>> m_docs;
    mutable QSet<QString> m_dirty;
    QString m_presentationPart;
    QStringList m_slideParts;
    bool m_modified = false;
};

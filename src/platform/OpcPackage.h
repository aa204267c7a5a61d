#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

// An Open Packaging Conventions package (the zip inside a .pptx) held in memory: its parts by
// name ("/ppt/slides/slide1.xml"), their content types and the relationships between them.
// Reads and writes whole packages; every change keeps the content types and relationship parts
// beside the parts they describe, and checkConsistency() tells whether a package is whole.
class OpcPackage
{
public:
    struct Relationship
    {
        QString id;
        QString type;
        QString target;     // as written in the relationship part
        QString targetPart; // resolved part name; empty for an external target
        bool external = false;
    };

    // Zip bytes or a file; a damaged or oversized archive is refused with a reason.
    bool load(const QByteArray &zipBytes, QString *errorText = nullptr);
    bool loadFile(const QString &path, QString *errorText = nullptr);
    // The package as zip bytes, [Content_Types].xml first; fixed entry dates, so that the same
    // package always gives the same bytes.
    QByteArray toZip(QString *errorText = nullptr) const;
    // Written whole through the atomic writer.
    bool saveFile(const QString &path, QString *errorText = nullptr) const;

    QStringList partNames() const { return m_order; }
    bool hasPart(const QString &name) const { return m_parts.contains(name); }
    QByteArray part(const QString &name) const { return m_parts.value(name); }
    // Adds or replaces a part; a non-empty content type that differs from the extension's
    // default is recorded as an override.
    void setPart(const QString &name, const QByteArray &data, const QString &contentType = QString());
    // Removes the part, its override and its relationship part.
    void removePart(const QString &name);

    QString contentType(const QString &partName) const;
    void setDefaultContentType(const QString &extension, const QString &contentType);

    // Relationships of a part ("/" for the package itself), in document order.
    QList<Relationship> relationships(const QString &sourcePart) const;
    // Adds a relationship to an internal part and answers its new id ("rIdN", unused so far).
    QString addRelationship(const QString &sourcePart, const QString &type, const QString &targetPart);
    // Adds one with a given id (a copied slide keeps the ids its XML refers to).
    bool addRelationshipWithId(const QString &sourcePart, const Relationship &rel);
    bool removeRelationship(const QString &sourcePart, const QString &id);

    static QString relationshipPartFor(const QString &sourcePart);
    // The part a relative or absolute target names, seen from sourcePart ("/" for the package).
    static QString resolveTarget(const QString &sourcePart, const QString &target);
    // The target to write in sourcePart's relationships for targetPart (relative).
    static QString relativeTarget(const QString &sourcePart, const QString &targetPart);
    // "/ppt/slides/slide%1.xml" -> the first name with a number that no part has yet.
    QString uniquePartName(const QString &pattern) const;

    // Removes every part that no relationship chain from the package reaches (what a deleted
    // slide alone used: its notes, its pictures). Relationship parts and [Content_Types].xml stay.
    QStringList removeUnreachableParts();

    // Every internal relationship target exists, every part has a content type, every override
    // names an existing part, relationship ids are unique within each relationship part.
    bool checkConsistency(QString *errorText = nullptr) const;

    static const char *const kContentTypesPart;

private:
    bool parseContentTypes(const QByteArray &xml, QString *errorText);
    QByteArray contentTypesXml() const;
    void writeRelationships(const QString &sourcePart, const QList<Relationship> &rels);

    QHash<QString, QByteArray> m_parts; // without [Content_Types].xml
    QStringList m_order;
    QMap<QString, QString> m_defaults;  // lower-case extension -> type
    QMap<QString, QString> m_overrides; // part name -> type
};

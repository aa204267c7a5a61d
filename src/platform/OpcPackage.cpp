#include "OpcPackage.h"

#include "AtomicFile.h"
#include "OoxmlXml.h"
#include "RegularFile.h"

#include <QFile>
#include <QSet>

#include <unzip.h>
#include <zip.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>

const char *const OpcPackage::kContentTypesPart = "/[Content_Types].xml";

namespace {

const char *const kPackageRelationshipsNs = "http://schemas.openxmlformats.org/package/2006/relationships";
const char *const kContentTypesNs = "http://schemas.openxmlformats.org/package/2006/content-types";
const QString kRelsType = QStringLiteral("application/vnd.openxmlformats-package.relationships+xml");

// A deck is text and a few pictures; a part or a package beyond these is refused as damaged
// rather than read into memory.
constexpr uLong kMaxPartSize = 256u * 1024 * 1024;
constexpr qint64 kMaxPackageSize = 1024ll * 1024 * 1024;
constexpr int kMaxParts = 20000;

// ---- minizip over a byte array ----

struct MemoryStream
{
    QByteArray *bytes = nullptr;
    qint64 pos = 0;
    bool error = false;
};

voidpf ZCALLBACK memOpen(voidpf opaque, const char *, int) { return opaque; }

uLong ZCALLBACK memRead(voidpf, voidpf stream, void *buf, uLong size)
{
    auto *s = static_cast<MemoryStream *>(stream);
    const qint64 left = qMax<qint64>(0, s->bytes->size() - s->pos);
    const qint64 n = qMin<qint64>(left, qint64(size));
    if (n > 0)
        std::memcpy(buf, s->bytes->constData() + s->pos, size_t(n));
    s->pos += n;
    return uLong(n);
}

uLong ZCALLBACK memWrite(voidpf, voidpf stream, const void *buf, uLong size)
{
    auto *s = static_cast<MemoryStream *>(stream);
    const qint64 end = s->pos + qint64(size);
    if (end > s->bytes->size())
        s->bytes->resize(end);
    std::memcpy(s->bytes->data() + s->pos, buf, size);
    s->pos = end;
    return size;
}

long ZCALLBACK memTell(voidpf, voidpf stream) { return long(static_cast<MemoryStream *>(stream)->pos); }

long ZCALLBACK memSeek(voidpf, voidpf stream, uLong offset, int origin)
{
    auto *s = static_cast<MemoryStream *>(stream);
    qint64 base = 0;
    if (origin == ZLIB_FILEFUNC_SEEK_CUR)
        base = s->pos;
    else if (origin == ZLIB_FILEFUNC_SEEK_END)
        base = s->bytes->size();
    const qint64 to = base + qint64(offset);
    if (to < 0 || to > s->bytes->size() + 1) {
        s->error = true;
        return -1;
    }
    s->pos = to;
    return 0;
}

int ZCALLBACK memClose(voidpf, voidpf) { return 0; }
int ZCALLBACK memError(voidpf, voidpf stream) { return static_cast<MemoryStream *>(stream)->error ? 1 : 0; }

zlib_filefunc_def memoryFunctions(MemoryStream *stream)
{
    zlib_filefunc_def f{};
    f.zopen_file = memOpen;
    f.zread_file = memRead;
    f.zwrite_file = memWrite;
    f.ztell_file = memTell;
    f.zseek_file = memSeek;
    f.zclose_file = memClose;
    f.zerror_file = memError;
    f.opaque = stream;
    return f;
}

using OoxmlXml::localName;
using OoxmlXml::serialize;

bool parseXml(pugi::xml_document &doc, const QByteArray &bytes)
{
    return OoxmlXml::parse(doc, bytes);
}

QString extensionOf(const QString &partName)
{
    const int slash = partName.lastIndexOf(QLatin1Char('/'));
    const int dot = partName.lastIndexOf(QLatin1Char('.'));
    return dot > slash ? partName.mid(dot + 1).toLower() : QString();
}

QString folderOf(const QString &partName)
{
    return partName.left(partName.lastIndexOf(QLatin1Char('/')) + 1);
}

// "/a/b/../c" -> "/a/c"; a path that climbs above the root is kept as written, so that it
// names no part.
QString normalizedPath(const QString &path)
{
    QStringList out;
    for (const QString &piece : path.split(QLatin1Char('/'))) {
        if (piece.isEmpty() || piece == QLatin1String("."))
            continue;
        if (piece == QLatin1String("..")) {
            if (out.isEmpty())
                return path;
            out.removeLast();
        } else {
            out << piece;
        }
    }
    return QLatin1Char('/') + out.join(QLatin1Char('/'));
}

QString percentDecoded(const QString &s)
{
    return s.contains(QLatin1Char('%')) ? QString::fromUtf8(QByteArray::fromPercentEncoding(s.toUtf8())) : s;
}

bool isRelationshipPart(const QString &name)
{
    return name.endsWith(QLatin1String(".rels")) && name.contains(QLatin1String("/_rels/"));
}

} // namespace

bool OpcPackage::load(const QByteArray &zipBytes, QString *errorText)
{
    auto fail = [&](const QString &why) {
        if (errorText)
            *errorText = why;
        return false;
    };
    m_parts.clear();
    m_order.clear();
    m_defaults.clear();
    m_overrides.clear();

    QByteArray bytes = zipBytes;
    MemoryStream stream{&bytes, 0, false};
    zlib_filefunc_def functions = memoryFunctions(&stream);
    unzFile zf = unzOpen2("package", &functions);
    if (!zf)
        return fail(QStringLiteral("not a zip archive"));
    std::unique_ptr<void, int (*)(unzFile)> closer(zf, unzClose);

    QByteArray contentTypes;
    bool haveContentTypes = false;
    qint64 total = 0;
    int count = 0;
    for (int rc = unzGoToFirstFile(zf); rc == UNZ_OK; rc = unzGoToNextFile(zf)) {
        if (++count > kMaxParts)
            return fail(QStringLiteral("too many entries"));
        unz_file_info info{};
        char name[2048];
        if (unzGetCurrentFileInfo(zf, &info, name, sizeof name, nullptr, 0, nullptr, 0) != UNZ_OK)
            return fail(QStringLiteral("unreadable entry"));
        const QString entry = QString::fromUtf8(name);
        if (entry.endsWith(QLatin1Char('/')))
            continue;
        if (info.uncompressed_size > kMaxPartSize || (total += qint64(info.uncompressed_size)) > kMaxPackageSize)
            return fail(QStringLiteral("entry %1 is too large").arg(entry));
        QByteArray data;
        data.resize(qsizetype(info.uncompressed_size));
        if (unzOpenCurrentFile(zf) != UNZ_OK)
            return fail(QStringLiteral("entry %1 cannot be opened").arg(entry));
        const int n = data.isEmpty() ? 0 : unzReadCurrentFile(zf, data.data(), unsigned(data.size()));
        if (unzCloseCurrentFile(zf) != UNZ_OK || n != int(data.size()))
            return fail(QStringLiteral("entry %1 is damaged").arg(entry));
        const QString part = normalizedPath(QLatin1Char('/') + entry);
        if (part == QLatin1String(kContentTypesPart)) {
            contentTypes = data;
            haveContentTypes = true;
        } else if (!m_parts.contains(part)) {
            m_order << part;
            m_parts.insert(part, data);
        }
    }
    if (!haveContentTypes)
        return fail(QStringLiteral("the package has no [Content_Types].xml"));
    return parseContentTypes(contentTypes, errorText);
}

bool OpcPackage::loadFile(const QString &path, QString *errorText)
{
    QFile f;
    if (!RegularFile::open(f, path, errorText))
        return false;
    if (f.size() > kMaxPackageSize) {
        if (errorText)
            *errorText = QStringLiteral("the file is too large");
        return false;
    }
    return load(f.readAll(), errorText);
}

bool OpcPackage::parseContentTypes(const QByteArray &xml, QString *errorText)
{
    pugi::xml_document doc;
    if (!parseXml(doc, xml)) {
        if (errorText)
            *errorText = QStringLiteral("[Content_Types].xml is not well-formed");
        return false;
    }
    for (pugi::xml_node n : doc.document_element().children()) {
        const QString local = localName(n);
        if (local == QLatin1String("Default"))
            m_defaults.insert(QString::fromUtf8(n.attribute("Extension").value()).toLower(),
                              QString::fromUtf8(n.attribute("ContentType").value()));
        else if (local == QLatin1String("Override"))
            m_overrides.insert(normalizedPath(percentDecoded(QString::fromUtf8(n.attribute("PartName").value()))),
                               QString::fromUtf8(n.attribute("ContentType").value()));
    }
    return true;
}

QByteArray OpcPackage::contentTypesXml() const
{
    pugi::xml_document doc;
    OoxmlXml::startDocument(doc);
    pugi::xml_node types = doc.append_child("Types");
    types.append_attribute("xmlns") = kContentTypesNs;
    for (auto it = m_defaults.cbegin(); it != m_defaults.cend(); ++it) {
        pugi::xml_node d = types.append_child("Default");
        d.append_attribute("Extension") = it.key().toUtf8().constData();
        d.append_attribute("ContentType") = it.value().toUtf8().constData();
    }
    for (const QString &name : m_order) {
        const auto it = m_overrides.constFind(name);
        if (it == m_overrides.cend())
            continue;
        pugi::xml_node o = types.append_child("Override");
        o.append_attribute("PartName") = name.toUtf8().constData();
        o.append_attribute("ContentType") = it.value().toUtf8().constData();
    }
    return serialize(doc);
}

QByteArray OpcPackage::toZip(QString *errorText) const
{
    QByteArray out;
    MemoryStream stream{&out, 0, false};
    zlib_filefunc_def functions = memoryFunctions(&stream);
    zipFile zf = zipOpen2("package", APPEND_STATUS_CREATE, nullptr, &functions);
    if (!zf) {
        if (errorText)
            *errorText = QStringLiteral("cannot start the archive");
        return QByteArray();
    }
    zip_fileinfo info{};
    info.tmz_date.tm_year = 2020;
    info.tmz_date.tm_mon = 0;
    info.tmz_date.tm_mday = 1;
    auto add = [&](const QString &part, const QByteArray &data) {
        const QByteArray name = part.mid(1).toUtf8();
        if (zipOpenNewFileInZip(zf, name.constData(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED, 6) != ZIP_OK)
            return false;
        const bool wrote = data.isEmpty() || zipWriteInFileInZip(zf, data.constData(), unsigned(data.size())) == ZIP_OK;
        return zipCloseFileInZip(zf) == ZIP_OK && wrote;
    };
    bool ok = add(QLatin1String(kContentTypesPart), contentTypesXml());
    for (const QString &name : m_order)
        ok = ok && add(name, m_parts.value(name));
    ok = zipClose(zf, nullptr) == ZIP_OK && ok && !stream.error;
    if (!ok) {
        if (errorText)
            *errorText = QStringLiteral("the archive could not be written");
        return QByteArray();
    }
    return out;
}

bool OpcPackage::saveFile(const QString &path, QString *errorText) const
{
    const QByteArray bytes = toZip(errorText);
    return !bytes.isEmpty() && AtomicFile::write(path, bytes, errorText);
}

void OpcPackage::setPart(const QString &name, const QByteArray &data, const QString &contentType)
{
    if (!m_parts.contains(name))
        m_order << name;
    m_parts.insert(name, data);
    if (contentType.isEmpty())
        return;
    if (m_defaults.value(extensionOf(name)) == contentType)
        m_overrides.remove(name);
    else
        m_overrides.insert(name, contentType);
}

void OpcPackage::removePart(const QString &name)
{
    m_parts.remove(name);
    m_order.removeAll(name);
    m_overrides.remove(name);
    const QString rels = relationshipPartFor(name);
    m_parts.remove(rels);
    m_order.removeAll(rels);
    m_overrides.remove(rels);
}

QString OpcPackage::contentType(const QString &partName) const
{
    const auto it = m_overrides.constFind(partName);
    if (it != m_overrides.cend())
        return it.value();
    return m_defaults.value(extensionOf(partName));
}

void OpcPackage::setDefaultContentType(const QString &extension, const QString &contentType)
{
    m_defaults.insert(extension.toLower(), contentType);
}

QString OpcPackage::relationshipPartFor(const QString &sourcePart)
{
    if (sourcePart.isEmpty() || sourcePart == QLatin1String("/"))
        return QStringLiteral("/_rels/.rels");
    const int slash = sourcePart.lastIndexOf(QLatin1Char('/'));
    return sourcePart.left(slash + 1) + QStringLiteral("_rels/") + sourcePart.mid(slash + 1) + QStringLiteral(".rels");
}

QString OpcPackage::resolveTarget(const QString &sourcePart, const QString &target)
{
    const QString t = percentDecoded(target);
    if (t.startsWith(QLatin1Char('/')))
        return normalizedPath(t);
    const QString base = (sourcePart.isEmpty() || sourcePart == QLatin1String("/")) ? QStringLiteral("/") : folderOf(sourcePart);
    return normalizedPath(base + t);
}

QString OpcPackage::relativeTarget(const QString &sourcePart, const QString &targetPart)
{
    const QString base = (sourcePart.isEmpty() || sourcePart == QLatin1String("/")) ? QStringLiteral("/") : folderOf(sourcePart);
    QStringList from = base.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QStringList to = targetPart.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    while (!from.isEmpty() && to.size() > 1 && from.first() == to.first()) {
        from.removeFirst();
        to.removeFirst();
    }
    QStringList out;
    for (int i = 0; i < from.size(); ++i)
        out << QStringLiteral("..");
    out << to;
    return out.join(QLatin1Char('/'));
}

QList<OpcPackage::Relationship> OpcPackage::relationships(const QString &sourcePart) const
{
    QList<Relationship> out;
    const QString relsName = relationshipPartFor(sourcePart);
    const auto it = m_parts.constFind(relsName);
    if (it == m_parts.cend())
        return out;
    pugi::xml_document doc;
    if (!parseXml(doc, it.value()))
        return out;
    for (pugi::xml_node n : doc.document_element().children()) {
        if (localName(n) != QLatin1String("Relationship"))
            continue;
        Relationship r;
        r.id = QString::fromUtf8(n.attribute("Id").value());
        r.type = QString::fromUtf8(n.attribute("Type").value());
        r.target = QString::fromUtf8(n.attribute("Target").value());
        r.external = QString::fromUtf8(n.attribute("TargetMode").value()) == QLatin1String("External");
        if (!r.external)
            r.targetPart = resolveTarget(sourcePart, r.target);
        out << r;
    }
    return out;
}

void OpcPackage::writeRelationships(const QString &sourcePart, const QList<Relationship> &rels)
{
    pugi::xml_document doc;
    OoxmlXml::startDocument(doc);
    pugi::xml_node root = doc.append_child("Relationships");
    root.append_attribute("xmlns") = kPackageRelationshipsNs;
    for (const Relationship &r : rels) {
        pugi::xml_node n = root.append_child("Relationship");
        n.append_attribute("Id") = r.id.toUtf8().constData();
        n.append_attribute("Type") = r.type.toUtf8().constData();
        n.append_attribute("Target") = r.target.toUtf8().constData();
        if (r.external)
            n.append_attribute("TargetMode") = "External";
    }
    if (!m_defaults.contains(QStringLiteral("rels")))
        m_defaults.insert(QStringLiteral("rels"), kRelsType);
    setPart(relationshipPartFor(sourcePart), serialize(doc));
}

QString OpcPackage::addRelationship(const QString &sourcePart, const QString &type, const QString &targetPart)
{
    QList<Relationship> rels = relationships(sourcePart);
    int highest = 0;
    QSet<QString> used;
    for (const Relationship &r : rels) {
        used.insert(r.id);
        if (r.id.startsWith(QLatin1String("rId")))
            highest = qMax(highest, r.id.mid(3).toInt());
    }
    QString id;
    do
        id = QStringLiteral("rId%1").arg(++highest);
    while (used.contains(id));
    Relationship r;
    r.id = id;
    r.type = type;
    r.target = relativeTarget(sourcePart, targetPart);
    r.targetPart = targetPart;
    rels << r;
    writeRelationships(sourcePart, rels);
    return id;
}

bool OpcPackage::addRelationshipWithId(const QString &sourcePart, const Relationship &rel)
{
    QList<Relationship> rels = relationships(sourcePart);
    if (std::any_of(rels.cbegin(), rels.cend(), [&](const Relationship &r) { return r.id == rel.id; }))
        return false;
    Relationship r = rel;
    if (!r.external)
        r.target = relativeTarget(sourcePart, r.targetPart);
    rels << r;
    writeRelationships(sourcePart, rels);
    return true;
}

bool OpcPackage::removeRelationship(const QString &sourcePart, const QString &id)
{
    QList<Relationship> rels = relationships(sourcePart);
    const qsizetype before = rels.size();
    rels.erase(std::remove_if(rels.begin(), rels.end(), [&](const Relationship &r) { return r.id == id; }), rels.end());
    if (rels.size() == before)
        return false;
    writeRelationships(sourcePart, rels);
    return true;
}

QString OpcPackage::uniquePartName(const QString &pattern) const
{
    for (int i = 1;; ++i) {
        const QString name = pattern.arg(i);
        if (!m_parts.contains(name) && !m_overrides.contains(name))
            return name;
    }
}

QStringList OpcPackage::removeUnreachableParts()
{
    QSet<QString> reached;
    QList<QString> queue{QStringLiteral("/")};
    while (!queue.isEmpty()) {
        const QString source = queue.takeFirst();
        for (const Relationship &r : relationships(source)) {
            if (r.external || reached.contains(r.targetPart) || !m_parts.contains(r.targetPart))
                continue;
            reached.insert(r.targetPart);
            queue << r.targetPart;
        }
    }
    QStringList removed;
    for (const QString &name : QStringList(m_order)) {
        if (isRelationshipPart(name) || reached.contains(name))
            continue;
        removePart(name);
        removed << name;
    }
    // Relationship parts whose source went away.
    for (const QString &name : QStringList(m_order)) {
        if (!isRelationshipPart(name) || name == QLatin1String("/_rels/.rels"))
            continue;
        const int cut = name.lastIndexOf(QLatin1String("/_rels/"));
        const QString source = name.left(cut + 1) + name.mid(cut + 7).chopped(5);
        if (!m_parts.contains(source)) {
            removePart(name);
            removed << name;
        }
    }
    return removed;
}

bool OpcPackage::checkConsistency(QString *errorText) const
{
    auto fail = [&](const QString &why) {
        if (errorText)
            *errorText = why;
        return false;
    };
    if (!m_parts.contains(QStringLiteral("/_rels/.rels")))
        return fail(QStringLiteral("the package has no relationships"));
    for (const QString &name : m_order) {
        if (contentType(name).isEmpty())
            return fail(QStringLiteral("%1 has no content type").arg(name));
        if (!isRelationshipPart(name))
            continue;
        pugi::xml_document doc;
        if (!parseXml(doc, m_parts.value(name)))
            return fail(QStringLiteral("%1 is not well-formed").arg(name));
    }
    for (auto it = m_overrides.cbegin(); it != m_overrides.cend(); ++it)
        if (!m_parts.contains(it.key()))
            return fail(QStringLiteral("the content type of %1 names a missing part").arg(it.key()));
    QStringList sources{QStringLiteral("/")};
    for (const QString &name : m_order)
        if (!isRelationshipPart(name))
            sources << name;
    for (const QString &source : sources) {
        QSet<QString> ids;
        for (const Relationship &r : relationships(source)) {
            if (r.id.isEmpty() || ids.contains(r.id))
                return fail(QStringLiteral("%1 has a missing or repeated relationship id %2").arg(source, r.id));
            ids.insert(r.id);
            if (!r.external && !m_parts.contains(r.targetPart))
                return fail(QStringLiteral("%1 (%2) points at the missing part %3").arg(source, r.id, r.targetPart));
        }
    }
    return true;
}

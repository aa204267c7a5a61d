#include "KeyedUnarchiver.h"

#include <QRegularExpression>

#include <plist/plist.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {
constexpr size_t kMaxDepth = 256;

plist_t node(void *n)
{
    return static_cast<plist_t>(n);
}

// The items of a property-list array in order. Walked with an iterator: indexed access into a
// libplist array is linear, which made reading large files quadratic.
std::vector<void *> arrayNodes(plist_t array)
{
    std::vector<void *> out;
    out.reserve(plist_array_get_size(array));
    plist_array_iter iter = nullptr;
    plist_array_new_iter(array, &iter);
    if (!iter)
        return out;
    for (;;) {
        plist_t item = nullptr;
        plist_array_next_item(array, iter, &item);
        if (!item)
            break;
        out.push_back(item);
    }
    free(iter);
    return out;
}

bool isClassDictionary(plist_t dict)
{
    return PLIST_IS_DICT(dict) && plist_dict_get_item(dict, "$classname");
}

quint64 bigEndian(const uchar *p, int size)
{
    quint64 v = 0;
    for (int i = 0; i < size; ++i)
        v = (v << 8) | p[i];
    return v;
}

// The property-list parser follows nested arrays and dictionaries by recursion, without a
// limit: a small file of a few hundred thousand nested arrays overflows the stack. A keyed
// archive nests only a few levels (the archive, "$objects", an entry, its lists), so the
// object table is walked here first, without recursion, and anything deeper than
// kMaxContainerDepth, or not laid out as a binary property list, is refused before parsing.
constexpr int kMaxContainerDepth = 32;

bool containersNestShallowly(const QByteArray &bytes)
{
    const auto *data = reinterpret_cast<const uchar *>(bytes.constData());
    const quint64 size = quint64(bytes.size());
    if (size < 8 + 32)
        return false;
    const uchar *trailer = data + size - 32;
    const int offsetSize = trailer[6];
    const int refSize = trailer[7];
    const quint64 count = bigEndian(trailer + 8, 8);
    const quint64 top = bigEndian(trailer + 16, 8);
    const quint64 tableAt = bigEndian(trailer + 24, 8);
    const quint64 end = size - 32;
    if (offsetSize < 1 || offsetSize > 8 || refSize < 1 || refSize > 8 || count == 0 || count > end
        || top >= count || tableAt >= end || (end - tableAt) / quint64(offsetSize) < count)
        return false;

    // The references held by container object i (none for other kinds); false when malformed.
    auto children = [&](quint64 i, std::vector<quint64> &out) {
        out.clear();
        const quint64 at = bigEndian(data + tableAt + i * quint64(offsetSize), offsetSize);
        if (at < 8 || at >= tableAt)
            return false;
        const uchar marker = data[at];
        const int kind = marker >> 4;
        if (kind != 0xA && kind != 0xC && kind != 0xD)
            return true;
        quint64 items = marker & 0x0f;
        quint64 refsAt = at + 1;
        if (items == 0x0f) {
            if (refsAt >= tableAt || (data[refsAt] >> 4) != 0x1 || (data[refsAt] & 0x0f) > 3)
                return false;
            const int intSize = 1 << (data[refsAt] & 0x0f);
            if (refsAt + 1 + quint64(intSize) > tableAt)
                return false;
            items = bigEndian(data + refsAt + 1, intSize);
            refsAt += 1 + quint64(intSize);
        }
        const quint64 refs = kind == 0xD ? 2 * items : items;
        if (refs > (tableAt - refsAt) / quint64(refSize))
            return false;
        out.reserve(size_t(refs));
        for (quint64 k = 0; k < refs; ++k) {
            const quint64 ref = bigEndian(data + refsAt + k * quint64(refSize), refSize);
            if (ref >= count)
                return false;
            out.push_back(ref);
        }
        return true;
    };

    // Depth-first from the top object with an explicit stack. The parser walks a shared
    // container once per reference, so what counts is the longest chain of references: each
    // container's height is worked out once and a chain longer than the limit is refused, as is
    // a container that refers back to itself.
    constexpr int kOpen = -1, kUnseen = 0;
    std::vector<int> height(size_t(count), kUnseen);
    struct Frame { quint64 id; std::vector<quint64> refs; size_t next = 0; int height = 1; };
    std::vector<Frame> stack(1);
    stack.back().id = top;
    if (!children(top, stack.back().refs))
        return false;
    height[size_t(top)] = kOpen;
    while (!stack.empty()) {
        Frame &f = stack.back();
        if (f.next == f.refs.size()) {
            const int h = f.height;
            height[size_t(f.id)] = h;
            stack.pop_back();
            if (!stack.empty())
                stack.back().height = std::max(stack.back().height, h + 1);
            if (h > kMaxContainerDepth)
                return false;
            continue;
        }
        const quint64 child = f.refs[f.next++];
        const int known = height[size_t(child)];
        if (known == kOpen)
            return false;
        if (known > 0) {
            f.height = std::max(f.height, known + 1);
            continue;
        }
        Frame next;
        next.id = child;
        if (!children(child, next.refs))
            return false;
        if (int(stack.size()) >= kMaxContainerDepth)
            return false;
        height[size_t(child)] = kOpen;
        stack.push_back(std::move(next));
    }
    return true;
}
} // namespace

KeyedUnarchiver::KeyedUnarchiver(ClassTable classes) : m_classes(std::move(classes)) {}

KeyedUnarchiver::~KeyedUnarchiver()
{
    m_decoded.clear();
    if (m_archive)
        plist_free(node(m_archive));
}

void KeyedUnarchiver::fail(const QString &why)
{
    if (!m_failed) {
        m_failed = true;
        m_error = why;
    }
}

KeyedArchiveObjectPtr KeyedUnarchiver::unarchive(const QByteArray &bytes)
{
    // A binary property list starts with "bplist00" and ends with a 32-byte trailer.
    if (bytes.size() < 8 + 32 || !bytes.startsWith("bplist00")) {
        fail(QStringLiteral("not a binary property list"));
        return {};
    }
    if (!containersNestShallowly(bytes)) {
        fail(QStringLiteral("damaged property list"));
        return {};
    }
    plist_t archive = nullptr;
    plist_from_bin(bytes.constData(), uint32_t(bytes.size()), &archive);
    if (!archive) {
        fail(QStringLiteral("damaged property list"));
        return {};
    }
    m_archive = archive;
    if (!PLIST_IS_DICT(archive)) {
        fail(QStringLiteral("no archive dictionary"));
        return {};
    }
    plist_t archiver = plist_dict_get_item(archive, "$archiver");
    plist_t objects = plist_dict_get_item(archive, "$objects");
    plist_t top = plist_dict_get_item(archive, "$top");
    if (!PLIST_IS_STRING(archiver) || plist_string_val_compare(archiver, "NSKeyedArchiver") != 0
        || !PLIST_IS_ARRAY(objects) || !PLIST_IS_DICT(top)) {
        fail(QStringLiteral("not a keyed archive"));
        return {};
    }
    m_objects = arrayNodes(objects);
    if (m_objects.empty() || !PLIST_IS_STRING(node(m_objects[0]))
        || plist_string_val_compare(node(m_objects[0]), "$null") != 0) {
        fail(QStringLiteral("archive without its nil entry"));
        return {};
    }
    plist_t root = plist_dict_get_item(top, "root");
    if (!PLIST_IS_UID(root)) {
        fail(QStringLiteral("archive without a root"));
        return {};
    }
    KeyedArchiveObjectPtr result = objectAt(root);
    if (!result)
        fail(QStringLiteral("nil root"));
    if (m_failed)
        return {};
    return result;
}

KeyedUnarchiver::Node KeyedUnarchiver::resolve(Node uidNode, quint64 *index)
{
    if (m_failed)
        return nullptr;
    if (!PLIST_IS_UID(node(uidNode))) {
        fail(QStringLiteral("a reference was expected"));
        return nullptr;
    }
    uint64_t i = 0;
    plist_get_uid_val(node(uidNode), &i);
    if (i >= m_objects.size()) {
        fail(QStringLiteral("reference out of range"));
        return nullptr;
    }
    if (index)
        *index = i;
    return m_objects[size_t(i)];
}

KeyedArchiveObjectPtr KeyedUnarchiver::objectAt(Node uidNode)
{
    quint64 index = 0;
    if (!resolve(uidNode, &index))
        return {};
    return objectAtIndex(index);
}

KeyedArchiveObjectPtr KeyedUnarchiver::objectAtIndex(quint64 index)
{
    if (m_failed || index == 0 || index >= m_objects.size())
        return {};
    plist_t dict = node(m_objects[size_t(index)]);
    auto done = m_decoded.constFind(index);
    if (done != m_decoded.constEnd())
        return *done;
    if (!PLIST_IS_DICT(dict)) {
        fail(QStringLiteral("an object was expected"));
        return {};
    }
    if (m_stack.size() >= kMaxDepth) {
        fail(QStringLiteral("objects nested too deeply"));
        return {};
    }
    plist_t classRef = plist_dict_get_item(dict, "$class");
    quint64 classIndex = 0;
    plist_t classDict = node(resolve(classRef, &classIndex));
    if (!classDict || !isClassDictionary(classDict)) {
        fail(QStringLiteral("object without a class"));
        return {};
    }
    plist_t nameNode = plist_dict_get_item(classDict, "$classname");
    if (!PLIST_IS_STRING(nameNode)) {
        fail(QStringLiteral("class without a name"));
        return {};
    }
    char *name = nullptr;
    plist_get_string_val(nameNode, &name);
    const QString className = QString::fromUtf8(name);
    free(name);
    auto factory = m_classes.constFind(className);
    if (factory == m_classes.constEnd()) {
        fail(QStringLiteral("unknown class %1").arg(className));
        return {};
    }
    KeyedArchiveObjectPtr object = (*factory)();
    m_decoded.insert(index, object); // before its values: a cycle back to it finds it
    m_stack.push_back(Frame{dict, 0});
    object->initWithCoder(*this);
    m_stack.pop_back();
    if (m_failed)
        return {};
    return object;
}

QList<quint64> KeyedUnarchiver::arrayItems(Node uidNode, bool *wasNil)
{
    if (wasNil)
        *wasNil = false;
    quint64 index = 0;
    plist_t dict = node(resolve(uidNode, &index));
    if (!dict)
        return {};
    if (index == 0) {
        if (wasNil)
            *wasNil = true;
        return {};
    }
    plist_t items = PLIST_IS_DICT(dict) ? plist_dict_get_item(dict, "NS.objects") : nullptr;
    plist_t classDict = PLIST_IS_DICT(dict) ? node(resolve(plist_dict_get_item(dict, "$class"), nullptr)) : nullptr;
    plist_t nameNode = classDict && isClassDictionary(classDict) ? plist_dict_get_item(classDict, "$classname") : nullptr;
    if (!PLIST_IS_ARRAY(items) || !PLIST_IS_STRING(nameNode)
        || (plist_string_val_compare(nameNode, "NSArray") != 0
            && plist_string_val_compare(nameNode, "NSMutableArray") != 0)) {
        fail(QStringLiteral("an array was expected"));
        return {};
    }
    QList<quint64> out;
    for (Node entry : arrayNodes(items)) {
        quint64 item = 0;
        if (!resolve(entry, &item))
            break;
        out.append(item);
    }
    return m_failed ? QList<quint64>() : out;
}

QString KeyedUnarchiver::nextKey()
{
    if (m_stack.empty())
        return QString();
    return QStringLiteral("$%1").arg(m_stack.back().nextUnkeyed++);
}

bool KeyedUnarchiver::containsValueForKey(const QString &key) const
{
    return !m_stack.empty()
           && plist_dict_get_item(node(m_stack.back().dict), key.toUtf8().constData()) != nullptr;
}

KeyedUnarchiver::Node KeyedUnarchiver::valueForKey(const QString &key)
{
    if (m_failed || m_stack.empty())
        return nullptr;
    plist_t value = plist_dict_get_item(node(m_stack.back().dict), key.toUtf8().constData());
    if (!value)
        fail(QStringLiteral("missing value %1").arg(key));
    return value;
}

KeyedArchiveObjectPtr KeyedUnarchiver::decodeObject() { return decodeObject(nextKey()); }
QString KeyedUnarchiver::decodeString() { return decodeString(nextKey()); }
qint64 KeyedUnarchiver::decodeInt() { return decodeInt(nextKey()); }
double KeyedUnarchiver::decodeReal() { return decodeReal(nextKey()); }
QByteArray KeyedUnarchiver::decodeData() { return decodeData(nextKey()); }
QRectF KeyedUnarchiver::decodeRect() { return decodeRect(nextKey()); }

QList<KeyedArchiveObjectPtr> KeyedUnarchiver::decodeObjectArray(bool *wasNil)
{
    return decodeObjectArray(nextKey(), wasNil);
}

QList<qint64> KeyedUnarchiver::decodeIntArray()
{
    Node value = valueForKey(nextKey());
    QList<qint64> out;
    if (!value)
        return out;
    for (quint64 item : arrayItems(value, nullptr)) {
        plist_t n = node(m_objects[size_t(item)]);
        if (!PLIST_IS_UINT(n)) {
            fail(QStringLiteral("a number was expected"));
            return {};
        }
        uint64_t v = 0;
        plist_get_uint_val(n, &v);
        out.append(qint64(v));
    }
    return out;
}

KeyedArchiveObjectPtr KeyedUnarchiver::decodeObject(const QString &key)
{
    Node value = valueForKey(key);
    return value ? objectAt(value) : KeyedArchiveObjectPtr();
}

KeyedUnarchiver::Node KeyedUnarchiver::referencedValue(const QString &key)
{
    Node value = valueForKey(key);
    quint64 index = 0;
    Node n = value ? resolve(value, &index) : nullptr;
    return index == 0 ? nullptr : n;
}

QString KeyedUnarchiver::decodeString(const QString &key)
{
    plist_t n = node(referencedValue(key));
    if (!n)
        return QString();
    if (!PLIST_IS_STRING(n)) {
        fail(QStringLiteral("a string was expected"));
        return QString();
    }
    uint64_t length = 0;
    const char *text = plist_get_string_ptr(n, &length);
    return QString::fromUtf8(text, qsizetype(length));
}

qint64 KeyedUnarchiver::decodeInt(const QString &key)
{
    Node value = valueForKey(key);
    plist_t n = value ? node(resolve(value, nullptr)) : nullptr;
    if (!n)
        return 0;
    if (PLIST_IS_UINT(n)) {
        uint64_t v = 0;
        plist_get_uint_val(n, &v);
        return qint64(v);
    }
    if (PLIST_IS_BOOLEAN(n))
        return plist_bool_val_is_true(n) ? 1 : 0;
    fail(QStringLiteral("a number was expected"));
    return 0;
}

double KeyedUnarchiver::decodeReal(const QString &key)
{
    Node value = valueForKey(key);
    plist_t n = value ? node(resolve(value, nullptr)) : nullptr;
    if (!n)
        return 0;
    if (PLIST_IS_REAL(n)) {
        double v = 0;
        plist_get_real_val(n, &v);
        return v;
    }
    if (PLIST_IS_UINT(n)) {
        uint64_t v = 0;
        plist_get_uint_val(n, &v);
        return double(qint64(v));
    }
    fail(QStringLiteral("a number was expected"));
    return 0;
}

QByteArray KeyedUnarchiver::decodeData(const QString &key)
{
    plist_t n = node(referencedValue(key));
    if (!n)
        return QByteArray();
    if (!PLIST_IS_DATA(n)) {
        fail(QStringLiteral("data was expected"));
        return QByteArray();
    }
    uint64_t length = 0;
    const char *bytes = plist_get_data_ptr(n, &length);
    return QByteArray(bytes, qsizetype(length));
}

QRectF KeyedUnarchiver::decodeRect(const QString &key)
{
    plist_t n = node(valueForKey(key));
    if (!n)
        return QRectF();
    QRectF rect;
    uint64_t length = 0;
    const char *text = PLIST_IS_STRING(n) ? plist_get_string_ptr(n, &length) : nullptr;
    if (!text || !rectFromString(QString::fromUtf8(text, qsizetype(length)), &rect)) {
        fail(QStringLiteral("a rectangle was expected"));
        return QRectF();
    }
    return rect;
}

QList<KeyedArchiveObjectPtr> KeyedUnarchiver::decodeObjectArray(const QString &key, bool *wasNil)
{
    Node value = valueForKey(key);
    QList<KeyedArchiveObjectPtr> out;
    if (!value)
        return out;
    for (quint64 item : arrayItems(value, wasNil)) {
        // Items must be objects; an array inside an array is refused by objectAtIndex, so
        // arrays cannot recurse into themselves.
        KeyedArchiveObjectPtr object = objectAtIndex(item);
        if (m_failed)
            return {};
        if (!object) {
            fail(QStringLiteral("nil inside an array"));
            return {};
        }
        out.append(object);
    }
    return out;
}

bool KeyedUnarchiver::rectFromString(const QString &text, QRectF *rect)
{
    static const QRegularExpression re(QStringLiteral(
        R"(^\{\{\s*([-+0-9.eE]+)\s*,\s*([-+0-9.eE]+)\s*\}\s*,\s*\{\s*([-+0-9.eE]+)\s*,\s*([-+0-9.eE]+)\s*\}\}$)"));
    const QRegularExpressionMatch m = re.match(text);
    if (!m.hasMatch())
        return false;
    double v[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        v[i] = m.captured(i + 1).toDouble(&ok);
        if (!ok || !qIsFinite(v[i]))
            return false;
    }
    *rect = QRectF(v[0], v[1], v[2], v[3]);
    return true;
}

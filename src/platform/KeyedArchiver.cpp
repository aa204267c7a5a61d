#include "KeyedArchiver.h"

#include <QLocale>

#include <plist/plist.h>

#include <cstdlib>

namespace {
QString number(double v)
{
    return QString::number(v, 'g', QLocale::FloatingPointShortest);
}
} // namespace

KeyedArchiver::KeyedArchiver()
{
    m_objects = plist_new_array();
    append(plist_new_string("$null"));
}

KeyedArchiver::~KeyedArchiver()
{
    plist_free(static_cast<plist_t>(m_objects));
}

QByteArray KeyedArchiver::archivedData(const KeyedArchiveObject &root)
{
    KeyedArchiver coder;
    const quint64 rootUid = coder.objectUid(&root);

    plist_t top = plist_new_dict();
    plist_dict_set_item(top, "root", plist_new_uid(rootUid));
    plist_t archive = plist_new_dict();
    plist_dict_set_item(archive, "$version", plist_new_uint(100000));
    plist_dict_set_item(archive, "$archiver", plist_new_string("NSKeyedArchiver"));
    plist_dict_set_item(archive, "$top", top);
    plist_dict_set_item(archive, "$objects", static_cast<plist_t>(coder.m_objects));
    coder.m_objects = nullptr; // now owned by archive

    char *bytes = nullptr;
    uint32_t length = 0;
    plist_to_bin(archive, &bytes, &length);
    QByteArray out(bytes, bytes ? int(length) : 0);
    free(bytes);
    plist_free(archive);
    return out;
}

QString KeyedArchiver::stringFromRect(const QRectF &r)
{
    return QStringLiteral("{{%1, %2}, {%3, %4}}")
        .arg(number(r.x()), number(r.y()), number(r.width()), number(r.height()));
}

quint64 KeyedArchiver::append(Node node)
{
    plist_array_append_item(static_cast<plist_t>(m_objects), static_cast<plist_t>(node));
    return m_count++;
}

KeyedArchiver::Node KeyedArchiver::uid(quint64 index)
{
    return plist_new_uid(index);
}

QString KeyedArchiver::nextKey()
{
    Frame &f = m_stack.back();
    return QStringLiteral("$%1").arg(f.nextUnkeyed++);
}

void KeyedArchiver::put(const QString &key, Node value)
{
    if (m_stack.empty()) { // only objects have values; nothing to attach a stray value to
        plist_free(static_cast<plist_t>(value));
        return;
    }
    plist_dict_set_item(static_cast<plist_t>(m_stack.back().dict), key.toUtf8().constData(),
                        static_cast<plist_t>(value));
}

quint64 KeyedArchiver::classUid(const QStringList &chain)
{
    const QString key = chain.join(QLatin1Char('\n'));
    auto it = m_classUids.constFind(key);
    if (it != m_classUids.constEnd())
        return *it;
    plist_t dict = plist_new_dict();
    plist_dict_set_item(dict, "$classname", plist_new_string(chain.value(0).toUtf8().constData()));
    plist_t classes = plist_new_array();
    for (const QString &name : chain)
        plist_array_append_item(classes, plist_new_string(name.toUtf8().constData()));
    plist_dict_set_item(dict, "$classes", classes);
    const quint64 id = append(dict);
    m_classUids.insert(key, id);
    return id;
}

quint64 KeyedArchiver::objectUid(const KeyedArchiveObject *object, bool identity)
{
    if (!object)
        return 0;
    if (identity) {
        auto it = m_objectUids.constFind(object);
        if (it != m_objectUids.constEnd())
            return *it;
    }
    plist_t dict = plist_new_dict();
    const quint64 id = append(dict);
    if (identity)
        m_objectUids.insert(object, id); // before the values, so that cycles refer back to it
    plist_dict_set_item(dict, "$class", plist_new_uid(classUid(object->archiveClassNames())));
    m_stack.push_back(Frame{dict, 0});
    object->encodeWithCoder(*this);
    m_stack.pop_back();
    return id;
}

quint64 KeyedArchiver::stringUid(const QString &text)
{
    if (text.isNull())
        return 0;
    auto it = m_stringUids.constFind(text);
    if (it != m_stringUids.constEnd())
        return *it;
    const quint64 id = append(plist_new_string(text.toUtf8().constData()));
    m_stringUids.insert(text, id);
    return id;
}

quint64 KeyedArchiver::intUid(qint64 value)
{
    auto it = m_intUids.constFind(value);
    if (it != m_intUids.constEnd())
        return *it;
    const quint64 id = append(plist_new_uint(quint64(value)));
    m_intUids.insert(value, id);
    return id;
}

quint64 KeyedArchiver::realUid(double value)
{
    return append(plist_new_real(value));
}

quint64 KeyedArchiver::dataUid(const QByteArray &data)
{
    return append(plist_new_data(data.constData(), quint64(data.size())));
}

quint64 KeyedArchiver::arrayUid(const QList<quint64> &items)
{
    plist_t dict = plist_new_dict();
    const quint64 id = append(dict);
    plist_dict_set_item(dict, "$class",
                        plist_new_uid(classUid({QStringLiteral("NSArray"), QStringLiteral("NSObject")})));
    plist_t list = plist_new_array();
    for (quint64 item : items)
        plist_array_append_item(list, plist_new_uid(item));
    plist_dict_set_item(dict, "NS.objects", list);
    return id;
}

void KeyedArchiver::encodeObject(const KeyedArchiveObject *object) { encodeObject(nextKey(), object); }
void KeyedArchiver::encodeString(const QString &text) { encodeString(nextKey(), text); }
void KeyedArchiver::encodeInt(qint64 value) { encodeInt(nextKey(), value); }
void KeyedArchiver::encodeReal(double value) { encodeReal(nextKey(), value); }
void KeyedArchiver::encodeData(const QByteArray &data) { encodeData(nextKey(), data); }
void KeyedArchiver::encodeRect(const QRectF &rect) { encodeRect(nextKey(), rect); }
void KeyedArchiver::encodeNil() { put(nextKey(), uid(0)); }

void KeyedArchiver::encodeObjectArray(const QList<const KeyedArchiveObject *> &objects)
{
    encodeObjectArray(nextKey(), objects);
}

void KeyedArchiver::encodeIntArray(const QList<qint64> &values)
{
    const QString key = nextKey();
    QList<quint64> items;
    for (qint64 v : values)
        items.append(intUid(v));
    put(key, uid(arrayUid(items)));
}

void KeyedArchiver::encodeObject(const QString &key, const KeyedArchiveObject *object)
{
    // The object's own values go into its own dictionary; take the id first.
    const quint64 id = objectUid(object);
    put(key, uid(id));
}

void KeyedArchiver::encodeString(const QString &key, const QString &text)
{
    put(key, uid(stringUid(text)));
}

void KeyedArchiver::encodeInt(const QString &key, qint64 value)
{
    put(key, uid(intUid(value)));
}

void KeyedArchiver::encodeReal(const QString &key, double value)
{
    put(key, uid(realUid(value)));
}

void KeyedArchiver::encodeData(const QString &key, const QByteArray &data)
{
    put(key, uid(dataUid(data)));
}

void KeyedArchiver::encodeRect(const QString &key, const QRectF &rect)
{
    put(key, plist_new_string(stringFromRect(rect).toUtf8().constData()));
}

void KeyedArchiver::encodeObjectArray(const QString &key, const QList<const KeyedArchiveObject *> &objects)
{
    QList<quint64> items;
    for (const KeyedArchiveObject *o : objects)
        items.append(objectUid(o));
    put(key, uid(arrayUid(items)));
}

void KeyedArchiver::encodeValueObject(const KeyedArchiveObject &object)
{
    encodeValueObject(nextKey(), object);
}

void KeyedArchiver::encodeValueObject(const QString &key, const KeyedArchiveObject &object)
{
    const quint64 id = objectUid(&object, false);
    put(key, uid(id));
}

void KeyedArchiver::encodeValueObjectArray(const QString &key, const QList<const KeyedArchiveObject *> &objects)
{
    QList<quint64> items;
    for (const KeyedArchiveObject *o : objects)
        items.append(objectUid(o, false));
    put(key, uid(arrayUid(items)));
}

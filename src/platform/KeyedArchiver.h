#pragma once

#include "KeyedArchiveObject.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QRectF>
#include <QString>

#include <vector>

// Writes an object graph as a keyed archive in a binary property list:
//   { "$version": 100000, "$archiver": "NSKeyedArchiver", "$top": { "root": UID },
//     "$objects": [ "$null", ... ] }
// Every object is a dictionary in "$objects" whose "$class" refers to a class dictionary
// { "$classname": name, "$classes": [chain] }; strings, numbers and data are plain entries of
// "$objects"; references are UIDs (0 is nil). An object reached twice is written once, so
// shared references and cycles survive the round trip.
//
// Values written without a key are numbered "$0", "$1", ... within their object, in the order
// written; keyed values use their key. Rectangles are written inline as the text
// "{{x, y}, {width, height}}". Arrays are objects of class NSArray holding "NS.objects".
class KeyedArchiver
{
public:
    KeyedArchiver();
    ~KeyedArchiver();
    KeyedArchiver(const KeyedArchiver &) = delete;
    KeyedArchiver &operator=(const KeyedArchiver &) = delete;

    // The whole archive with root as its root object.
    static QByteArray archivedData(const KeyedArchiveObject &root);

    // Unkeyed values, numbered in the order written.
    void encodeObject(const KeyedArchiveObject *object);
    void encodeString(const QString &text); // a null QString is written as nil
    void encodeInt(qint64 value);
    void encodeReal(double value);
    void encodeData(const QByteArray &data);
    void encodeRect(const QRectF &rect);
    void encodeObjectArray(const QList<const KeyedArchiveObject *> &objects);
    void encodeIntArray(const QList<qint64> &values);
    void encodeNil();

    // Keyed values.
    void encodeObject(const QString &key, const KeyedArchiveObject *object);
    void encodeString(const QString &key, const QString &text);
    void encodeInt(const QString &key, qint64 value);
    void encodeReal(const QString &key, double value);
    void encodeData(const QString &key, const QByteArray &data);
    void encodeRect(const QString &key, const QRectF &rect);
    void encodeObjectArray(const QString &key, const QList<const KeyedArchiveObject *> &objects);

    // Objects made only to be written (a colour, a picture, a run of text) have no identity of
    // their own: each is written as a new entry, never matched with an earlier object that
    // happened to live at the same address.
    void encodeValueObject(const KeyedArchiveObject &object);
    void encodeValueObject(const QString &key, const KeyedArchiveObject &object);
    void encodeValueObjectArray(const QString &key, const QList<const KeyedArchiveObject *> &objects);

    static QString stringFromRect(const QRectF &rect);

    template <typename List>
    static QList<const KeyedArchiveObject *> objects(const List &list)
    {
        QList<const KeyedArchiveObject *> out;
        out.reserve(list.size());
        for (const auto &item : list)
            out.append(&*item);
        return out;
    }

private:
    using Node = void *; // plist_t
    QString nextKey();
    void put(const QString &key, Node value);
    Node uid(quint64 index);
    quint64 objectUid(const KeyedArchiveObject *object, bool identity = true);
    quint64 stringUid(const QString &text);
    quint64 intUid(qint64 value);
    quint64 realUid(double value);
    quint64 dataUid(const QByteArray &data);
    quint64 arrayUid(const QList<quint64> &items);
    quint64 classUid(const QStringList &chain);
    quint64 append(Node node);

    struct Frame
    {
        Node dict = nullptr;
        int nextUnkeyed = 0;
    };

    Node m_objects = nullptr;
    quint64 m_count = 0;
    std::vector<Frame> m_stack;
    QHash<const KeyedArchiveObject *, quint64> m_objectUids;
    QHash<QString, quint64> m_stringUids;
    QHash<qint64, quint64> m_intUids;
    QHash<QString, quint64> m_classUids;
};

#pragma once

#include "KeyedArchiveObject.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QRectF>
#include <QString>

#include <functional>
#include <vector>

// Reads a keyed archive written by KeyedArchiver. The archive is untrusted input: every UID is
// bounds-checked, every value must be of the kind asked for, classes must be in the caller's
// class table, and a value that refers back to a container still being read is refused unless it
// is an object (objects are registered before their values are read, so cycles through objects
// resolve to the same object). The first fault marks the unarchiver failed; from then on every
// decode returns an empty value, and the caller discards the result.
class KeyedUnarchiver
{
public:
    using Factory = std::function<KeyedArchiveObjectPtr()>;
    using ClassTable = QHash<QString, Factory>;

    explicit KeyedUnarchiver(ClassTable classes);
    ~KeyedUnarchiver();
    KeyedUnarchiver(const KeyedUnarchiver &) = delete;
    KeyedUnarchiver &operator=(const KeyedUnarchiver &) = delete;

    // Parses the container and reads the root object; null (and failed()) on any fault.
    KeyedArchiveObjectPtr unarchive(const QByteArray &bytes);

    bool failed() const { return m_failed; }
    QString errorString() const { return m_error; }
    void fail(const QString &why);

    // Unkeyed values, read in the order written.
    KeyedArchiveObjectPtr decodeObject();
    template <typename T>
    std::shared_ptr<T> decodeObjectOfClass(bool allowNil = true)
    {
        return typed<T>(decodeObject(), allowNil);
    }
    QString decodeString(); // nil gives a null QString
    qint64 decodeInt();
    double decodeReal();
    QByteArray decodeData();
    QRectF decodeRect();
    // nil gives an empty list; *wasNil tells the two apart when asked
    QList<KeyedArchiveObjectPtr> decodeObjectArray(bool *wasNil = nullptr);
    template <typename T>
    QList<std::shared_ptr<T>> decodeArrayOfClass(bool *wasNil = nullptr)
    {
        return typedList<T>(decodeObjectArray(wasNil));
    }
    QList<qint64> decodeIntArray();

    // Keyed values.
    bool containsValueForKey(const QString &key) const;
    KeyedArchiveObjectPtr decodeObject(const QString &key);
    template <typename T>
    std::shared_ptr<T> decodeObjectOfClass(const QString &key, bool allowNil = true)
    {
        return typed<T>(decodeObject(key), allowNil);
    }
    QString decodeString(const QString &key);
    qint64 decodeInt(const QString &key);
    double decodeReal(const QString &key);
    QByteArray decodeData(const QString &key);
    QRectF decodeRect(const QString &key);
    QList<KeyedArchiveObjectPtr> decodeObjectArray(const QString &key, bool *wasNil = nullptr);
    template <typename T>
    QList<std::shared_ptr<T>> decodeArrayOfClass(const QString &key, bool *wasNil = nullptr)
    {
        return typedList<T>(decodeObjectArray(key, wasNil));
    }

    static bool rectFromString(const QString &text, QRectF *rect);

private:
    using Node = void *; // plist_t
    QString nextKey();
    Node valueForKey(const QString &key);
    // The entry a keyed reference points at; null for nil (or after a fault).
    Node referencedValue(const QString &key);
    Node resolve(Node uidNode, quint64 *index);
    KeyedArchiveObjectPtr objectAt(Node uidNode);
    KeyedArchiveObjectPtr objectAtIndex(quint64 index);
    QList<quint64> arrayItems(Node uidNode, bool *wasNil);

    template <typename T>
    std::shared_ptr<T> typed(const KeyedArchiveObjectPtr &object, bool allowNil)
    {
        if (!object) {
            if (!allowNil)
                fail(QStringLiteral("missing object"));
            return {};
        }
        auto cast = std::dynamic_pointer_cast<T>(object);
        if (!cast)
            fail(QStringLiteral("object of an unexpected class"));
        return cast;
    }
    template <typename T>
    QList<std::shared_ptr<T>> typedList(const QList<KeyedArchiveObjectPtr> &objects)
    {
        QList<std::shared_ptr<T>> out;
        for (const auto &o : objects) {
            auto t = typed<T>(o, false);
            if (m_failed)
                return {};
            out.append(t);
        }
        return out;
    }

    struct Frame
    {
        Node dict = nullptr;
        int nextUnkeyed = 0;
    };

    ClassTable m_classes;
    Node m_archive = nullptr;
    std::vector<Node> m_objects;
    std::vector<Frame> m_stack;
    QHash<quint64, KeyedArchiveObjectPtr> m_decoded;
    bool m_failed = false;
    QString m_error;
};

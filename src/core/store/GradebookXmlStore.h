#pragma once

#include "core/store/GlobalFunctions.h"

#include <QList>
#include <QString>

#include <algorithm>
#include <functional>
#include <numeric>
#include <tuple>

#include <pugixml.hpp>

// What the gradebook's XML stores (periods, weight lists and session types, letter scales,
// course grades) share. Each keeps one file in the data folder, created holding its empty
// document when missing, loads it whole, and after every change writes the whole file anew
// (atomically: a failed write leaves the old file and the store's lists as they were, and the
// reason goes to *errorText). Texts are stored as the teacher typed them: the XML writer does
// the escaping, and every lookup compares texts in code.
//
// A record is told apart in the file by its element's position among its siblings, which the
// store keeps beside the record from the load on: titles may change (two records may even swap
// titles in one save) without the store losing track of which element is whose.
//
// Each change is made on the file as it is then, so that what another program changed in other
// records stays. The store also keeps the text of each record's element as it last read or wrote
// it: a record it rewrites (a window's save) or changes along (a session type renamed in the
// weight lists) must still be as read, else the save is refused, saying that another program
// changed the file, and the other program's record stays. A record is removed by its identity
// (its position and key) whatever else changed in it: the teacher asked for that one to go.
class GradebookXmlStore
{
public:
    virtual ~GradebookXmlStore() = default;

    // The store's file, in the data folder ("" without an application delegate).
    QString filePath() const { return m_filePath; }
    // Writes the store's empty document at path.
    bool createXmlFileAtPath(const QString &path, QString *errorText = nullptr) const;

protected:
    // The records of one kind of element, numbered from 1 at each load, with the position of
    // each one's element in the file beside it.
    template <typename Record>
    struct RecordSet
    {
        RecordSet(const char *containerName, const char *elementName, const char *keyTagName,
                  QString (*keyOf)(const Record &), const QString &missing)
            : container(containerName), element(elementName), keyTag(keyTagName), key(keyOf), missingText(missing)
        {
        }

        const char *container; // the root's child holding the elements; none: the root itself
        const char *element;
        const char *keyTag;    // the child whose text must still be the record's key
        QString (*key)(const Record &);
        QString missingText;   // the reason when no record has a number
        QList<Record> list;
        QList<int> positions;  // -1: not in the file
        QList<QByteArray> asRead; // each element's text as last read or written; empty: not in the file
        int maxNo = 1;

        qsizetype indexOfNo(int no) const { return GlobalFunctions::indexOfNo(list, no); }
    };

    GradebookXmlStore(const QString &fileName, const char *rootName);

    // Puts the containers of an empty document under its root (none by default).
    virtual void fillEmptyRoot(pugi::xml_node root) const;

    // Parses the file, first writing the empty document when there is none. Failures are logged
    // as "Failed to load Xml file because of %@".
    bool readDocument(pugi::xml_document &doc, QString *errorText = nullptr) const;
    // Reads the file, lets edit change it and writes it back. edit answers false (with its reason)
    // to leave the file untouched.
    bool changeFile(const std::function<bool(pugi::xml_node root, QString *why)> &edit, QString *errorText);

    // The elements of the set in a document, in file order.
    template <typename Record>
    static QList<pugi::xml_node> elementsOf(const RecordSet<Record> &set, pugi::xml_node root)
    {
        QList<pugi::xml_node> out;
        for (pugi::xml_node n : containerOf(root, set.container).children(set.element))
            out << n;
        return out;
    }
    // Takes records read in file order from the elements of the set under root, sorts them
    // (stable) and numbers them from firstNo on. Whether the set now holds other records, or
    // numbers them otherwise, than before.
    template <typename Record, typename Less>
    static bool setLoaded(RecordSet<Record> &set, const QList<Record> &inFileOrder, Less less, pugi::xml_node root,
                          int firstNo = 1)
    {
        const auto before = numbering(set);
        QList<qsizetype> order(inFileOrder.size());
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(),
                         [&](qsizetype a, qsizetype b) { return less(inFileOrder.at(a), inFileOrder.at(b)); });
        const QList<pugi::xml_node> elements = root ? elementsOf(set, root) : QList<pugi::xml_node>();
        set.list.clear();
        set.positions.clear();
        set.asRead.clear();
        for (qsizetype i : order) {
            Record r = inFileOrder.at(i);
            r.setNo(firstNo + int(set.list.size()));
            set.list << r;
            set.positions << int(i);
            set.asRead << GlobalFunctions::elementText(elements.value(i));
        }
        return numbering(set) != before;
    }
    // Each record's number with its element's place and text as read.
    template <typename Record>
    static QList<std::tuple<int, int, QByteArray>> numbering(const RecordSet<Record> &set)
    {
        QList<std::tuple<int, int, QByteArray>> out;
        for (qsizetype i = 0; i < set.list.size(); ++i)
            out << std::tuple(set.list.at(i).no(), set.positions.value(i, -1), set.asRead.value(i));
        return out;
    }
    // Appends the record's element (filled by fill) to the file and the record to the set; its
    // number, or -1.
    template <typename Record>
    int addRecord(RecordSet<Record> &set, Record &record, const std::function<void(pugi::xml_node)> &fill,
                  QString *errorText)
    {
        int position = 0;
        QByteArray text;
        if (!changeFile(
                [&](pugi::xml_node root, QString *why) {
                    pugi::xml_node parent = existingContainer(root, set.container, why);
                    if (!parent)
                        return false;
                    pugi::xml_node element = parent.append_child(set.element);
                    fill(element);
                    position = positionOf(element);
                    text = GlobalFunctions::elementText(element);
                    return true;
                },
                errorText))
            return -1;
        record.setNo(set.maxNo++);
        set.list << record;
        set.positions << position;
        set.asRead << text;
        return record.no();
    }
    // Lets edit change the element of record no, still as read; its index in the set, or -1
    // (nothing changed).
    template <typename Record>
    qsizetype editRecord(RecordSet<Record> &set, int no, const std::function<bool(pugi::xml_node, QString *)> &edit,
                         QString *errorText)
    {
        const qsizetype i = set.indexOfNo(no);
        if (i < 0) {
            GlobalFunctions::failWith(errorText, set.missingText);
            return -1;
        }
        QByteArray text;
        const bool written = changeFile(
            [&](pugi::xml_node root, QString *why) {
                const pugi::xml_node element = elementAsRead(set, root, i, why);
                if (!element || !edit(element, why))
                    return false;
                text = GlobalFunctions::elementText(element);
                return true;
            },
            errorText);
        if (!written)
            return -1;
        set.asRead[i] = text;
        return i;
    }
    // Removes record no from the file and the set; alsoInFile may change the rest of the file
    // in the same write (false, with why, to leave the file untouched).
    template <typename Record>
    bool deleteRecord(RecordSet<Record> &set, int no, QString *errorText,
                      const std::function<bool(pugi::xml_node root, QString *why)> &alsoInFile = {})
    {
        const qsizetype i = set.indexOfNo(no);
        if (i < 0)
            return GlobalFunctions::failWith(errorText, set.missingText);
        const int position = set.positions.at(i);
        if (!changeFile(
                [&](pugi::xml_node root, QString *why) {
                    pugi::xml_node element = elementAt(set, root, i, why);
                    if (!element)
                        return false;
                    element.parent().remove_child(element);
                    return !alsoInFile || alsoInFile(root, why);
                },
                errorText))
            return false;
        set.list.removeAt(i);
        set.positions.removeAt(i);
        set.asRead.removeAt(i);
        for (int &p : set.positions)
            if (p > position)
                --p;
        return true;
    }
    // Removes every record whose element's child tag reads value exactly, in the file and in
    // the set alike.
    template <typename Record>
    bool deleteRecordsWhere(RecordSet<Record> &set, const char *tag, const QString &value, QString *errorText)
    {
        QList<int> removed;
        if (!changeFile(
                [&](pugi::xml_node root, QString *why) {
                    pugi::xml_node parent = existingContainer(root, set.container, why);
                    if (!parent)
                        return false;
                    int position = 0;
                    QList<pugi::xml_node> doomed;
                    for (pugi::xml_node element : parent.children(set.element)) {
                        if (GlobalFunctions::fromUtf8(element.child_value(tag)) == value) {
                            doomed << element;
                            removed << position;
                        }
                        ++position;
                    }
                    for (const pugi::xml_node &element : doomed)
                        parent.remove_child(element);
                    return true;
                },
                errorText))
            return false;
        for (qsizetype i = set.list.size() - 1; i >= 0; --i) {
            if (removed.contains(set.positions.at(i))) {
                set.list.removeAt(i);
                set.positions.removeAt(i);
                set.asRead.removeAt(i);
            }
        }
        for (int &p : set.positions)
            p -= int(std::count_if(removed.begin(), removed.end(), [p](int r) { return r < p; }));
        return true;
    }

    // The element of the record at index i of the set, provided it still carries the record's
    // key; null otherwise (the file changed behind the store's back), with the reason.
    template <typename Record>
    pugi::xml_node elementAt(const RecordSet<Record> &set, pugi::xml_node root, qsizetype i, QString *why) const
    {
        const int pos = set.positions.at(i);
        const QList<pugi::xml_node> elements = elementsOf(set, root);
        if (pos >= 0 && pos < elements.size() &&
            GlobalFunctions::fromUtf8(elements.at(pos).child_value(set.keyTag)) == set.key(set.list.at(i)))
            return elements.at(pos);
        if (why)
            *why = changedText();
        return pugi::xml_node();
    }
    // The same, provided the element is also still as the store read or wrote it.
    template <typename Record>
    pugi::xml_node elementAsRead(const RecordSet<Record> &set, pugi::xml_node root, qsizetype i, QString *why) const
    {
        const pugi::xml_node element = elementAt(set, root, i, why);
        return element && asRead(set, element, why) ? element : pugi::xml_node();
    }
    // False, with the reason, when element (one of the set's in the file now) holds a record of
    // the store that is no longer as read; an element the store never read holds none of its.
    template <typename Record>
    bool asRead(const RecordSet<Record> &set, pugi::xml_node element, QString *why) const
    {
        const qsizetype i = set.positions.indexOf(positionOf(element));
        const QString changed =
            i < 0 ? QString() : GlobalFunctions::changedSinceRead(element, set.asRead.at(i), m_filePath);
        if (!changed.isEmpty() && why)
            *why = changed;
        return changed.isEmpty();
    }
    // The text of element (one of the set's, changed along by a save) for its record, once written.
    template <typename Record>
    static void noteWritten(RecordSet<Record> &set, int position, const QByteArray &text)
    {
        if (const qsizetype i = set.positions.indexOf(position); i >= 0)
            set.asRead[i] = text;
    }

    static int positionOf(pugi::xml_node element);
    // The root's child called container (the root for none).
    static pugi::xml_node containerOf(pugi::xml_node root, const char *container);
    // The same; a missing one is logged as "<root>/<container> not found." and given as the reason.
    static pugi::xml_node existingContainer(pugi::xml_node root, const char *container, QString *why);
    // The reason given when a record is no longer where and as the store left it.
    QString changedText() const;

private:
    QString m_filePath;
    const char *m_rootName;
};

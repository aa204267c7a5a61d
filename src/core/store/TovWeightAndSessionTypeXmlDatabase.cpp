#include "TovWeightAndSessionTypeXmlDatabase.h"

#include "platform/Log.h"
#include "platform/Singleton.h"

#include <QHash>
#include <QSet>

#include <algorithm>

using GF = GlobalFunctions;

namespace {
const char kType[] = "Type";
const char kTypeName[] = "SessionTypeName";

QString text(pugi::xml_node node, const char *tag)
{
    return GF::fromUtf8(node.child_value(tag));
}

void appendEntry(pugi::xml_node sessionTypes, const SessionTypeInWeight &entry)
{
    pugi::xml_node type = sessionTypes.append_child(kType);
    GF::appendTextChild(type, "ISSelected", QString::number(entry.isSelect() ? 1 : 0));
    GF::appendTextChild(type, kTypeName, entry.sessionType());
    GF::appendTextChild(type, "Weight", QString::asprintf("%f", double(entry.weight())));
}

void writeHead(pugi::xml_node element, const WeightEntity &w)
{
    GF::setValue(w.title(), QStringLiteral("Title"), element);
    GF::setValue(w.className(), QStringLiteral("ClassName"), element);
    GF::setValue(w.subjectName(), QStringLiteral("SubjectName"), element);
    GF::setValue(w.teacherName(), QStringLiteral("TeacherName"), element);
}

// Each entry's "Type" in the list's "SessionTypes": rewritten when one of its name is there,
// appended otherwise. Types no entry names stay.
void writeEntries(pugi::xml_node element, const QList<SessionTypeInWeight> &entries)
{
    pugi::xml_node types = element.child("SessionTypes");
    if (!types)
        types = element.append_child("SessionTypes");
    for (const SessionTypeInWeight &entry : entries) {
        pugi::xml_node type = types.find_child([&](pugi::xml_node t) {
            return std::string_view(t.name()) == kType && text(t, kTypeName) == entry.sessionType();
        });
        if (!type) {
            appendEntry(types, entry);
            continue;
        }
        GF::setValue(QString::number(entry.isSelect() ? 1 : 0), QStringLiteral("ISSelected"), type);
        GF::setValue(QString::asprintf("%f", double(entry.weight())), QStringLiteral("Weight"), type);
    }
}

// Every "Type" of every weight list in the document.
QList<pugi::xml_node> weightEntries(pugi::xml_node root)
{
    QList<pugi::xml_node> out;
    for (pugi::xml_node weight : root.child("GradeWeights").children("GradeWeight"))
        for (pugi::xml_node types : weight.children("SessionTypes"))
            for (pugi::xml_node type : types.children(kType))
                out << type;
    return out;
}
} // namespace

const QStringList &TovWeightAndSessionTypeXmlDatabase::builtInSessionTypes()
{
    static const QStringList names{QStringLiteral("Attendance"), QStringLiteral("Exam"),     QStringLiteral("Game"),
                                   QStringLiteral("Homework"),   QStringLiteral("Lab"),      QStringLiteral("Other"),
                                   QStringLiteral("Participation")};
    return names;
}

TovWeightAndSessionTypeXmlDatabase *TovWeightAndSessionTypeXmlDatabase::sharedUI()
{
    return Singleton<TovWeightAndSessionTypeXmlDatabase>::instance();
}

TovWeightAndSessionTypeXmlDatabase::TovWeightAndSessionTypeXmlDatabase()
    : GradebookXmlStore(QString::fromLatin1(kFileName), kRootName),
      m_weights{"GradeWeights", "GradeWeight", "Title", [](const WeightEntity &w) { return w.title(); },
                QStringLiteral("no such weight list")},
      m_types{"GradeSessionTypes", kType, kTypeName, [](const SessionTypeEntity &t) { return t.name(); },
              QStringLiteral("no such session type")}
{
    PollixLog(QStringLiteral("The session types and the weight lists are read from %1").arg(filePath()));
    // The built-ins are there even when the file cannot be read.
    setTypes({});
    loadSessionTypes();
    loadWeights();
}

void TovWeightAndSessionTypeXmlDatabase::fillEmptyRoot(pugi::xml_node root) const
{
    root.append_child(m_weights.container);
    root.append_child(m_types.container);
}

bool TovWeightAndSessionTypeXmlDatabase::setTypes(const QList<SessionTypeEntity> &fileTypes, pugi::xml_node root)
{
    const auto before = numbering(m_types);
    const int builtIns = int(builtInSessionTypes().size());
    setLoaded(
        m_types, fileTypes, [](const SessionTypeEntity &a, const SessionTypeEntity &b) { return a.name() < b.name(); },
        root, builtIns + 1);
    for (int i = builtIns - 1; i >= 0; --i) {
        SessionTypeEntity type;
        type.setNo(i + 1);
        type.setName(builtInSessionTypes().at(i));
        m_types.list.prepend(type);
        m_types.positions.prepend(-1);
        m_types.asRead.prepend(QByteArray());
    }
    m_types.maxNo = int(m_types.list.size()) + 1;
    return numbering(m_types) != before;
}

bool TovWeightAndSessionTypeXmlDatabase::loadSessionTypes()
{
    pugi::xml_document doc;
    if (!readDocument(doc))
        return false;
    QList<SessionTypeEntity> loaded;
    for (pugi::xml_node n : elementsOf(m_types, doc.document_element())) {
        SessionTypeEntity type;
        type.setName(text(n, kTypeName));
        loaded << type;
    }
    return setTypes(loaded, doc.document_element());
}

bool TovWeightAndSessionTypeXmlDatabase::loadWeights()
{
    pugi::xml_document doc;
    if (!readDocument(doc))
        return false;
    QList<WeightEntity> loaded;
    for (pugi::xml_node n : elementsOf(m_weights, doc.document_element())) {
        WeightEntity w;
        w.setTitle(text(n, "Title"));
        w.setClassName(text(n, "ClassName"));
        w.setSubjectName(text(n, "SubjectName"));
        w.setTeacherName(text(n, "TeacherName"));
        for (pugi::xml_node types : n.children("SessionTypes")) {
            for (pugi::xml_node t : types.children(kType)) {
                SessionTypeInWeight entry;
                entry.setIsSelect(GF::boolValue(text(t, "ISSelected")));
                entry.setSessionType(text(t, kTypeName));
                entry.setSessionTypeNo(sessionTypeNoByName(entry.sessionType()));
                entry.setWeight(GF::floatValue(text(t, "Weight")));
                w.sessionTypesInWeight() << entry;
            }
        }
        std::stable_sort(w.sessionTypesInWeight().begin(), w.sessionTypesInWeight().end(),
                         [](const SessionTypeInWeight &a, const SessionTypeInWeight &b) {
                             return a.sessionType() < b.sessionType();
                         });
        loaded << w;
    }
    const bool changed = setLoaded(
        m_weights, loaded, [](const WeightEntity &a, const WeightEntity &b) { return a.title() < b.title(); },
        doc.document_element());
    m_weights.maxNo = int(loaded.size()) + 1;
    return changed;
}

std::optional<WeightEntity> TovWeightAndSessionTypeXmlDatabase::weightByNo(int no) const
{
    const qsizetype i = m_weights.indexOfNo(no);
    if (i < 0)
        return std::nullopt;
    return m_weights.list.at(i);
}

int TovWeightAndSessionTypeXmlDatabase::weightNoByTitle(const QString &title) const
{
    for (const WeightEntity &w : m_weights.list)
        if (w.title().compare(title, Qt::CaseInsensitive) == 0)
            return w.no();
    return 0;
}

bool TovWeightAndSessionTypeXmlDatabase::existWeightWithName(const QString &title) const
{
    return std::any_of(m_weights.list.begin(), m_weights.list.end(),
                       [&](const WeightEntity &w) { return w.title() == title; });
}

std::optional<QList<SessionTypeInWeight>> TovWeightAndSessionTypeXmlDatabase::sessionTypeListInWeightWithNo(int no) const
{
    const qsizetype i = m_weights.indexOfNo(no);
    if (i < 0)
        return std::nullopt;
    return m_weights.list.at(i).sessionTypesInWeight();
}

QString TovWeightAndSessionTypeXmlDatabase::storedTypeName(const SessionTypeInWeight &entry) const
{
    const qsizetype i = m_types.indexOfNo(entry.sessionTypeNo());
    return i < 0 ? entry.sessionType() : m_types.list.at(i).name();
}

int TovWeightAndSessionTypeXmlDatabase::addWeightWithData(WeightEntity &weight, QString *errorText)
{
    if (weight.sessionTypesInWeight().isEmpty()) {
        GF::failWith(errorText, QStringLiteral("the weight list has no session types"));
        return -1;
    }
    for (SessionTypeInWeight &entry : weight.sessionTypesInWeight())
        entry.setSessionType(storedTypeName(entry));
    return addRecord(
        m_weights, weight,
        [&](pugi::xml_node element) {
            writeHead(element, weight);
            writeEntries(element, weight.sessionTypesInWeight());
        },
        errorText);
}

bool TovWeightAndSessionTypeXmlDatabase::updateWeightWithData(const WeightEntity &data, QString *errorText)
{
    WeightEntity stored = data;
    for (SessionTypeInWeight &entry : stored.sessionTypesInWeight())
        entry.setSessionType(storedTypeName(entry));
    const qsizetype i = editRecord(
        m_weights, data.no(),
        [&](pugi::xml_node element, QString *) {
            writeHead(element, stored);
            writeEntries(element, stored.sessionTypesInWeight());
            return true;
        },
        errorText);
    if (i < 0)
        return false;
    m_weights.list[i] = stored;
    return true;
}

bool TovWeightAndSessionTypeXmlDatabase::deleteWeightWithNo(int no, QString *errorText)
{
    return deleteRecord(m_weights, no, errorText);
}

bool TovWeightAndSessionTypeXmlDatabase::deleteWeightWithData(const WeightEntity *weight, QString *errorText)
{
    if (!weight)
        return GF::failWith(errorText, QStringLiteral("no weight list"));
    return deleteWeightWithNo(weight->no(), errorText);
}

bool TovWeightAndSessionTypeXmlDatabase::deleteWeightByTeacherName(const QString &name, QString *errorText)
{
    return deleteRecordsWhere(m_weights, "TeacherName", name, errorText);
}

bool TovWeightAndSessionTypeXmlDatabase::deleteWeightBySubjectName(const QString &name, QString *errorText)
{
    return deleteRecordsWhere(m_weights, "SubjectName", name, errorText);
}

bool TovWeightAndSessionTypeXmlDatabase::deleteWeightByClassName(const QString &name, QString *errorText)
{
    return deleteRecordsWhere(m_weights, "ClassName", name, errorText);
}

bool TovWeightAndSessionTypeXmlDatabase::existSessionTypeInWeightWithNo(int sessionTypeNo) const
{
    const QString name = sessionTypeNameByNo(sessionTypeNo);
    for (const WeightEntity &w : m_weights.list)
        for (const SessionTypeInWeight &entry : w.sessionTypesInWeight())
            if (entry.isSelect() && entry.sessionType().compare(name, Qt::CaseInsensitive) == 0)
                return true;
    return false;
}

std::optional<SessionTypeEntity> TovWeightAndSessionTypeXmlDatabase::sessionTypeByNo(int no) const
{
    const qsizetype i = m_types.indexOfNo(no);
    if (i < 0)
        return std::nullopt;
    return m_types.list.at(i);
}

QString TovWeightAndSessionTypeXmlDatabase::sessionTypeNameByNo(int no) const
{
    const qsizetype i = m_types.indexOfNo(no);
    return i < 0 ? QString() : m_types.list.at(i).name();
}

int TovWeightAndSessionTypeXmlDatabase::sessionTypeNoByName(const QString &name) const
{
    for (const SessionTypeEntity &t : m_types.list)
        if (t.name().compare(name, Qt::CaseInsensitive) == 0)
            return t.no();
    return -1;
}

int TovWeightAndSessionTypeXmlDatabase::addSessionTypeWithData(SessionTypeEntity &type, QString *errorText)
{
    const int existing = sessionTypeNoByName(type.name());
    if (existing >= 0) {
        type.setNo(existing);
        return existing;
    }
    if (addRecord(
            m_types, type, [&](pugi::xml_node element) { GF::appendTextChild(element, kTypeName, type.name()); },
            errorText) < 0)
        return -1;
    // The stored lists gain the type when they are next saved.
    for (WeightEntity &w : m_weights.list) {
        SessionTypeInWeight entry;
        entry.setSessionType(type.name());
        entry.setSessionTypeNo(type.no());
        w.sessionTypesInWeight() << entry;
    }
    return type.no();
}

bool TovWeightAndSessionTypeXmlDatabase::updateSessionTypeWithData(const SessionTypeEntity &data, QString *errorText)
{
    return updateSessionTypesWithData({data}, errorText);
}

bool TovWeightAndSessionTypeXmlDatabase::updateSessionTypesWithData(const QList<SessionTypeEntity> &renames,
                                                                    QString *errorText)
{
    // Old name -> new name, for the types whose name really changes.
    QHash<QString, QString> newNameOf;
    QList<QPair<qsizetype, QString>> changes;
    QStringList finalNames;
    for (const SessionTypeEntity &t : m_types.list)
        finalNames << t.name();
    for (const SessionTypeEntity &r : renames) {
        const qsizetype i = m_types.indexOfNo(r.no());
        if (i < 0)
            return GF::failWith(errorText, m_types.missingText);
        const QString &old = m_types.list.at(i).name();
        if (old == r.name())
            continue;
        if (m_types.positions.at(i) < 0)
            return GF::failWith(errorText, QStringLiteral("a built-in session type cannot be renamed"));
        if (r.name().isEmpty())
            return GF::failWith(errorText, QStringLiteral("The Session Type should not be empty."));
        newNameOf.insert(old, r.name());
        changes.append({i, r.name()});
        finalNames[i] = r.name();
    }
    if (changes.isEmpty())
        return true;
    QSet<QString> seen;
    for (const QString &name : finalNames) {
        if (seen.contains(name.toCaseFolded()))
            return GF::failWith(errorText, QStringLiteral("The Session Type already exists."));
        seen.insert(name.toCaseFolded());
    }
    QList<QPair<int, QByteArray>> typesWritten, weightsWritten;
    if (!changeFile(
            [&](pugi::xml_node root, QString *why) {
                for (const auto &[i, name] : changes) {
                    pugi::xml_node element = elementAsRead(m_types, root, i, why);
                    if (!element)
                        return false;
                    GF::setValue(name, QString::fromLatin1(kTypeName), element);
                    typesWritten.append({m_types.positions.at(i), GF::elementText(element)});
                }
                // Each entry is renamed once, from its old name: swapped names stay apart.
                QList<pugi::xml_node> touched;
                for (pugi::xml_node entry : weightEntries(root)) {
                    const auto hit = newNameOf.constFind(text(entry, kTypeName));
                    if (hit == newNameOf.constEnd())
                        continue;
                    if (!touchWeight(entry, touched, why))
                        return false;
                    GF::setValue(*hit, QString::fromLatin1(kTypeName), entry);
                }
                for (const pugi::xml_node &weight : touched)
                    weightsWritten.append({positionOf(weight), GF::elementText(weight)});
                return true;
            },
            errorText))
        return false;
    for (const auto &[i, name] : changes)
        m_types.list[i].setName(name);
    for (const auto &[position, written] : std::as_const(typesWritten))
        noteWritten(m_types, position, written);
    for (const auto &[position, written] : std::as_const(weightsWritten))
        noteWritten(m_weights, position, written);
    for (WeightEntity &w : m_weights.list) {
        for (SessionTypeInWeight &entry : w.sessionTypesInWeight()) {
            const auto hit = newNameOf.constFind(entry.sessionType());
            if (hit != newNameOf.constEnd())
                entry.setSessionType(*hit);
        }
    }
    return true;
}

bool TovWeightAndSessionTypeXmlDatabase::touchWeight(pugi::xml_node entry, QList<pugi::xml_node> &touched, QString *why) const
{
    const pugi::xml_node weight = entry.parent().parent();
    if (touched.contains(weight))
        return true;
    if (!asRead(m_weights, weight, why))
        return false;
    touched << weight;
    return true;
}

bool TovWeightAndSessionTypeXmlDatabase::deleteSessionTypeWithNo(int no, QString *errorText)
{
    const qsizetype i = m_types.indexOfNo(no);
    if (i < 0)
        return GF::failWith(errorText, m_types.missingText);
    const QString name = m_types.list.at(i).name();
    if (m_types.positions.at(i) < 0)
        return GF::failWith(errorText, QStringLiteral("a built-in session type cannot be deleted"));
    PollixLog(QStringLiteral("The session type \"%1\" is being deleted from %2").arg(name, filePath()));
    QList<QPair<int, QByteArray>> weightsWritten;
    const auto dropEntries = [&](pugi::xml_node root, QString *why) {
        QList<pugi::xml_node> touched;
        for (pugi::xml_node entry : weightEntries(root)) {
            if (text(entry, kTypeName) != name)
                continue;
            if (!touchWeight(entry, touched, why))
                return false;
            entry.parent().remove_child(entry);
        }
        // Positions as the file is written: the type's own element is no weight list's sibling.
        for (const pugi::xml_node &weight : touched)
            weightsWritten.append({positionOf(weight), GF::elementText(weight)});
        return true;
    };
    if (!deleteRecord(m_types, no, errorText, dropEntries))
        return false;
    for (const auto &[position, written] : std::as_const(weightsWritten))
        noteWritten(m_weights, position, written);
    for (WeightEntity &w : m_weights.list)
        w.sessionTypesInWeight().removeIf([&](const SessionTypeInWeight &e) { return e.sessionType() == name; });
    return true;
}

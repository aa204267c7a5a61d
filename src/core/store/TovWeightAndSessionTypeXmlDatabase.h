#pragma once

#include "GradebookXmlStore.h"
#include "WeightEntity.h"

#include "core/store/SessionTypeEntity.h"

#include <QList>
#include <QPair>
#include <QString>

#include <optional>

template <typename T> class Singleton;

// The session types and the weight lists, kept together in "WeightsAndSessionTypes.xml"
// ("GradeWeightsAndSessionTypes" holding "GradeWeights" and "GradeSessionTypes"). The seven
// built-in types (Attendance ... Participation, numbers 1 to 7) always head the type list and are
// never written; the teacher's types follow, numbered from 8 in name order at each load. Weight
// lists are numbered from 1 in title order at each load. Weight lists name their types by name,
// so nothing stored depends on a number.
class TovWeightAndSessionTypeXmlDatabase : public GradebookXmlStore
{
public:
    // The store's file in the data folder and its root element.
    static constexpr char kFileName[] = "WeightsAndSessionTypes.xml";
    static constexpr char kRootName[] = "GradeWeightsAndSessionTypes";

    static TovWeightAndSessionTypeXmlDatabase *sharedUI();

    // ---- Weight lists ----
    const QList<WeightEntity> &weightList() const { return m_weights.list; }
    // Whether the list changed (other weight lists, or other numbers).
    bool loadWeights();
    std::optional<WeightEntity> weightByNo(int no) const;
    // Number of the first list whose title equals title ignoring case; 0 when none.
    int weightNoByTitle(const QString &title) const;
    // Case counts.
    bool existWeightWithName(const QString &title) const;
    std::optional<QList<SessionTypeInWeight>> sessionTypeListInWeightWithNo(int no) const;
    // Appends the list (with at least one entry) to the file and to weightList; its number, or
    // -1 (nothing changes). Each entry is written under the type list's current name for its
    // number (its own name when the number names no type).
    int addWeightWithData(WeightEntity &weight, QString *errorText = nullptr);
    // Gives list data.no() data's title, names and entries, in the file and in memory.
    bool updateWeightWithData(const WeightEntity &data, QString *errorText = nullptr);
    bool deleteWeightWithNo(int no, QString *errorText = nullptr);
    bool deleteWeightWithData(const WeightEntity *weight, QString *errorText = nullptr);
    // Remove every list of that teacher, subject or class (names compared exactly, in the file
    // and in memory alike). True when the file was written, also when nothing matched.
    bool deleteWeightByTeacherName(const QString &name, QString *errorText = nullptr);
    bool deleteWeightBySubjectName(const QString &name, QString *errorText = nullptr);
    bool deleteWeightByClassName(const QString &name, QString *errorText = nullptr);
    // True when some weight list counts (selects) the type of that number.
    bool existSessionTypeInWeightWithNo(int sessionTypeNo) const;

    // ---- Session types ----
    const QList<SessionTypeEntity> &sessionTypeList() const { return m_types.list; }
    // Whether the list changed (other types, or other numbers).
    bool loadSessionTypes();
    std::optional<SessionTypeEntity> sessionTypeByNo(int no) const;
    QString sessionTypeNameByNo(int no) const;
    // Ignores case; -1 when none.
    int sessionTypeNoByName(const QString &name) const;
    int existSessionTypeName(const QString &name) const { return sessionTypeNoByName(name); }
    // Adds a teacher's type; its number (put into type), or the number of the type that already
    // has that name ignoring case (nothing changes then), or -1 when the file could not be written.
    // Every in-memory weight list gains an unselected entry of weight 0 for a new type.
    int addSessionTypeWithData(SessionTypeEntity &type, QString *errorText = nullptr);
    // Renames a teacher's type, and the type in every weight list. False for a built-in type, a
    // number no type has, a name another type has (ignoring case), or a failed write.
    bool updateSessionTypeWithData(const SessionTypeEntity &data, QString *errorText = nullptr);
    // Several renames in one write, applied all at once: two types may swap names.
    bool updateSessionTypesWithData(const QList<SessionTypeEntity> &renames, QString *errorText = nullptr);
    // Removes a teacher's type and its entries in every weight list (file and memory).
    bool deleteSessionTypeWithNo(int no, QString *errorText = nullptr);

    // The built-in types, in their order.
    static const QStringList &builtInSessionTypes();

private:
    friend class Singleton<TovWeightAndSessionTypeXmlDatabase>;
    TovWeightAndSessionTypeXmlDatabase();

    void fillEmptyRoot(pugi::xml_node root) const override;
    QString storedTypeName(const SessionTypeInWeight &entry) const;
    // Before a change of the session types touches the weight list holding entry: false, with
    // why, when that list is no longer as read. touched: the lists checked so far.
    bool touchWeight(pugi::xml_node entry, QList<pugi::xml_node> &touched, QString *why) const;
    // The types' list as the built-ins alone, followed by fileTypes (read from the elements under
    // root); whether it changed.
    bool setTypes(const QList<SessionTypeEntity> &fileTypes, pugi::xml_node root = {});

    RecordSet<WeightEntity> m_weights;
    // The built-ins stand first with position -1: they are not in the file.
    RecordSet<SessionTypeEntity> m_types;
};

#pragma once

#include "GlobalFunctions.h"
#include "TeacherEntity.h"

#include <QList>
#include <QString>

#include <memory>
#include <optional>

template <typename T> class Singleton;

// The school's teachers, kept in TeacherRoster.xml in the data folder. Teachers are numbered 1..n
// in file order at load; an added one gets the next number; a delete leaves a gap until the next
// load. Number 0 stands for all teachers. The display name (first and last name joined) is not
// stored in the file.
class TovTeacherXmlDatabase
{
public:
    // The store's file in the data folder and its root element.
    static constexpr char kFileName[] = "TeacherRoster.xml";
    static constexpr char kRootName[] = "Teachers";

    static TovTeacherXmlDatabase *sharedUI();
    ~TovTeacherXmlDatabase();

    void loadTeachers();
    // Writes the empty document (root "Teachers").
    static bool createXmlFileAtPath(const QString &path);

    const QList<TeacherEntity> &teacherList() const { return m_teacherList; }
    QString teacherRosterFilePath() const { return m_teacherRosterFilePath; }
    int maxNo() const { return m_maxNo; }

    // 0 gives "All"; an unknown number "".
    QString nameByTeacherNo(int no) const;
    // Exact comparison with the display name; -1 when none.
    int teacherNoByName(const QString &name) const;
    std::optional<TeacherEntity> teacherByNo(int no) const;
    // True when some teacher's first and last name, joined, equal name exactly.
    bool existTeacherWithName(const QString &name) const;

    // Each write below gives the reason of its failure in *errorText.
    // Appends the teacher to the file; on success the record gets its number and joins the list.
    bool addTeacherWithData(TeacherEntity &teacher, QString *errorText = nullptr);
    // Replaces teacher no's fields. With several teachers of the same names, the k-th of them in
    // the list is the k-th such element of the file. False when the file does not hold the
    // teacher (the list entry changes all the same), holds it otherwise than the store read it
    // (another program changed it: its version stays, and so does the list) or could not be
    // written (nothing changes).
    bool updateTeacherWithData(int no, const TeacherEntity &data, QString *errorText = nullptr);
    bool deleteTeacherWithNo(int no, QString *errorText = nullptr);

    // The import's batch: begin parses the file, adding appends to the parsed file and the list,
    // end writes the file once and reports the write.
    bool beginUpdateTeachers(QString *errorText = nullptr);
    void addingTeacherWithData(TeacherEntity &teacher);
    bool endUpdateTeachers(QString *errorText = nullptr);

private:
    friend class Singleton<TovTeacherXmlDatabase>;
    TovTeacherXmlDatabase();

    qsizetype indexOfNo(int no) const;
    // asRead: only while the element is still as the store read or wrote it.
    GlobalFunctions::FileEdit editTeacherElement(qsizetype index, const std::function<void(pugi::xml_node)> &edit,
                                                 QString *errorText, bool asRead);
    int rankAmongEqualNames(qsizetype index) const;

    QList<TeacherEntity> m_teacherList;
    // Each listed teacher's element as the store last read or wrote it (GlobalFunctions::changedSinceRead).
    QList<QByteArray> m_asRead;
    QString m_teacherRosterFilePath;
    int m_maxNo = 1;
    std::unique_ptr<pugi::xml_document> m_xmlDoc;
};

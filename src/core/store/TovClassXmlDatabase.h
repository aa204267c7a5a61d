#pragma once

#include "ClassEntity.h"
#include "StudentEntity.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

#include <memory>
#include <optional>

class ClassXmlHelper;
template <typename T> class Singleton;

// Every class of students is one XML file in the class folder, named after the class. The store
// numbers the classes 1..n in file-name order at load; a created class gets the next number; a
// delete leaves a gap until the next load. Number 0 stands for all classes.
//
// Students are edited one operation at a time (each a whole-file write) or in batches that keep
// one class file open (begin..., the middle calls, end...; one batch at a time) and write it once.
// Single operations compare student IDs ignoring case; batches match them exactly. Every
// operation that writes gives the reason of its failure in *errorText.
class TovClassXmlDatabase
{
public:
    static TovClassXmlDatabase *sharedClassUI();
    ~TovClassXmlDatabase();

    void loadClasses();
    const QList<ClassEntity> &classList() const { return m_classList; }
    int classCount() const { return int(m_classList.size()); }
    QString classXmlDatabasePath() const { return m_classXmlDatabasePath; }
    int maxClassNo() const { return m_maxClassNo; }

    // Exact comparison; -1 when none.
    int classNoByName(const QString &name) const;
    bool existClassWithName(const QString &name) const;
    // 0 gives "All"; an unknown number "".
    QString nameByClassNo(int no) const;
    // The class file of that name (its ".xml" in any letter case; name + ".xml" when none is there).
    QString pathByName(const QString &name) const;
    // Null when no class has the number.
    QString pathByClassNo(int no) const;

    // Creates an empty class file. The name's path separators become "_", and a name whose file
    // is already there gets a free one ("Math (2)"). An existing class of that name (ignoring
    // case) gives its 1-based position and nothing is created; a failed write gives -1; else the
    // new class's number.
    int addClassWithName(const QString &name, QString *errorText = nullptr);
    // Renames the class file; false (nothing changed) when the target name is taken or the move
    // fails. The file's "ClassName" keeps its text.
    bool updateClassWithNo(int no, const QString &newName, QString *errorText = nullptr);
    // Renames the first class called oldName (ignoring case) and sets its file's "ClassName".
    bool updateClassName(const QString &oldName, const QString &newName, QString *errorText = nullptr);
    // Removes the class file; the list entry goes only once the file is gone.
    bool deleteClassWithNo(int no, QString *errorText = nullptr);
    bool updateClassWithSplits(int count, int classNo, QString *errorText = nullptr);

    // asRead: each student's record as the file held it for this very list
    // (StudentRosterXmlHelper::studentTexts).
    QList<StudentEntity> getStudentListByClassNo(int classNo, QHash<QString, QByteArray> *asRead = nullptr) const;
    QList<StudentEntity> getStudentListWithGroupNo(int groupNo, int classNo) const;
    int studentCountInClass(int classNo) const;
    // At least 1.
    int maxGroupNoInClass(int classNo) const;
    // The first student of the class whose ID is studentID (ignoring case), and its record's text
    // as the file holds it now (asRead); none when the class holds none or cannot be read.
    std::optional<StudentEntity> studentByID(const QString &studentID, int classNo, QByteArray *asRead = nullptr) const;
    // Ignores case. A missing class or unreadable file also gives true, so a check before an add
    // adds nothing; *errorText then says why (it stays empty when the class holds the ID).
    bool existStudentWithID(const QString &studentID, int classNo, QString *errorText = nullptr) const;
    // False when the class holds the ID (ignoring case), has no file, or the write failed.
    // written: the student's record as written.
    bool addStudentWithData(const StudentEntity &student, int classNo, QString *errorText = nullptr,
                            QByteArray *written = nullptr);
    // With asRead (the record as a window read it; empty: the class held none then), only while
    // the class still holds it so (GlobalFunctions::changedSinceRead).
    bool updateStudentByID(const QString &oldID, const StudentEntity &student, int classNo, QString *errorText = nullptr,
                           const std::optional<QByteArray> &asRead = std::nullopt, QByteArray *written = nullptr);
    // studentNo: the position in the file, 1..count.
    bool updateStudentGroupNo(int groupNo, int studentNo, int classNo, QString *errorText = nullptr);
    bool deleteStudentWithID(const QString &studentID, int classNo, QString *errorText = nullptr);
    bool deleteStudent(const StudentEntity &student, int classNo, QString *errorText = nullptr);

    bool beginUpdateStudentsInClass(int classNo, QString *errorText = nullptr);
    void addingStudentWithData(const StudentEntity &student);
    // Writes the open batch; false when none is open or the write failed.
    bool endUpdateStudents(QString *errorText = nullptr);
    // Drops the open batch unwritten: the class file stays as it was.
    void cancelUpdateStudents();
    bool addSomeStudents(const QList<StudentEntity> &students, int classNo, QString *errorText = nullptr);

    bool beginUpdateStudentGroupNoInClass(int classNo, QString *errorText = nullptr);
    // The first group recorded for an ID wins.
    void updateStudentGroupNoWithStudentID(int groupNo, const QString &studentID);
    // With asRead (each student's record as a window read it: getStudentListByClassNo), a
    // student whose group changes must still be so, else nothing is written and *errorText
    // says another program changed the file (GlobalFunctions::changedSinceRead).
    bool endUpdateStudentGroupNo(QString *errorText = nullptr, const QHash<QString, QByteArray> *asRead = nullptr);

    bool beginDeleteStudentsInClass(int classNo, QString *errorText = nullptr);
    void deletingStudentWithID(const QString &studentID);
    bool endDeleteStudents(QString *errorText = nullptr);

private:
    friend class Singleton<TovClassXmlDatabase>;
    TovClassXmlDatabase();

    qsizetype indexOfNo(int no) const;
    bool moveClassFile(qsizetype index, const QString &newName, QString *errorText);

    QString m_classXmlDatabasePath;
    QList<ClassEntity> m_classList;
    int m_maxClassNo = 1;
    std::unique_ptr<ClassXmlHelper> m_clsxhlp;
    QSet<QString> m_studentsToBeDeleted;
    QHash<QString, QString> m_studentsGroups;
};

#pragma once

#include "StudentEntity.h"

#include <QList>
#include <QString>

#include <memory>
#include <optional>

class StudentRosterXmlHelper;
template <typename T> class Singleton;

// The school-wide student list, StudentRoster.xml in the data folder. Nothing is kept in memory:
// every operation reads the file anew. Student IDs are compared ignoring case.
class TovStudentRoster
{
public:
    static TovStudentRoster *sharedUI();
    ~TovStudentRoster();

    QString studentRosterFilePath() const { return m_studentRosterFilePath; }

    // None when the file cannot be opened; a missing file is created empty.
    std::optional<QList<StudentEntity>> getAllStudents() const;
    bool existStudentWithID(const QString &studentID) const;
    // No duplicate check: callers ask existStudentWithID() first.
    bool addStudentWithData(const StudentEntity &student);
    bool updateStudentByID(const QString &oldID, const StudentEntity &student);
    bool updateStudentWithData(const StudentEntity &student);
    // False when no student bears the ID (the file is then not rewritten) or the write failed.
    bool deleteStudentWithID(const QString &studentID);

    bool beginUpdateStudents();
    void addingStudentWithData(const StudentEntity &student);
    bool endUpdateStudents();
    bool addSomeStudentsToRoster(const QList<StudentEntity> &students);

private:
    friend class Singleton<TovStudentRoster>;
    TovStudentRoster();

    std::unique_ptr<StudentRosterXmlHelper> open() const;

    QString m_studentRosterFilePath;
    std::unique_ptr<StudentRosterXmlHelper> m_sr;
};

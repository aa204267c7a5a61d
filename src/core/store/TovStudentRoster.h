#pragma once

#include "StudentEntity.h"

#include <QByteArray>
#include <QHash>
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
    // The store's file in the data folder.
    static constexpr char kFileName[] = "StudentRoster.xml";

    static TovStudentRoster *sharedUI();
    ~TovStudentRoster();

    QString studentRosterFilePath() const { return m_studentRosterFilePath; }

    // None when the file cannot be opened; a missing file is created empty.
    std::optional<QList<StudentEntity>> getAllStudents() const;
    bool existStudentWithID(const QString &studentID) const;
    // Each student's record as the file holds it now (StudentRosterXmlHelper::studentTexts); none
    // when the file cannot be read.
    QHash<QString, QByteArray> studentTexts() const;
    // The first student whose ID is studentID (ignoring case), numbered by its place in the file,
    // and its record's text as the file holds it now (asRead); none when the roster holds none or
    // cannot be read.
    std::optional<StudentEntity> studentByID(const QString &studentID, QByteArray *asRead = nullptr) const;
    // Each write below gives the reason of its failure in *errorText, and the student's record as
    // written in *written.
    // No duplicate check: callers ask existStudentWithID() first.
    bool addStudentWithData(const StudentEntity &student, QString *errorText = nullptr, QByteArray *written = nullptr);
    // With asRead (the record as a window read it; empty: the roster held none then), only while
    // the roster still holds it so (GlobalFunctions::changedSinceRead).
    bool updateStudentByID(const QString &oldID, const StudentEntity &student, QString *errorText = nullptr,
                           const std::optional<QByteArray> &asRead = std::nullopt, QByteArray *written = nullptr);
    bool updateStudentWithData(const StudentEntity &student, QString *errorText = nullptr, QByteArray *written = nullptr);
    // False when no student bears the ID (the file is then not rewritten) or the write failed.
    bool deleteStudentWithID(const QString &studentID, QString *errorText = nullptr);

    bool beginUpdateStudents(QString *errorText = nullptr);
    void addingStudentWithData(const StudentEntity &student);
    bool endUpdateStudents(QString *errorText = nullptr);
    // Drops the open batch unwritten: the file stays as it was.
    void cancelUpdateStudents();
    bool addSomeStudentsToRoster(const QList<StudentEntity> &students, QString *errorText = nullptr);

private:
    friend class Singleton<TovStudentRoster>;
    TovStudentRoster();

    std::unique_ptr<StudentRosterXmlHelper> open(QString *errorText = nullptr) const;

    QString m_studentRosterFilePath;
    std::unique_ptr<StudentRosterXmlHelper> m_sr;
};

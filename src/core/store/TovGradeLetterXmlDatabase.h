#pragma once

#include "GradebookXmlStore.h"
#include "LetterGradeEntity.h"

#include <QList>
#include <QString>

#include <optional>

template <typename T> class Singleton;

// The letter-grade scales, kept in "LetterGrade.xml" ("GradeLetters" / "GradeLetter" with
// "Title", "ClassName", "SubjectName", "TeacherName" and a "LetterList" of "Letter" elements:
// "Name", "PointFrom", "PointTo", "Note"). A load lists the scales by title and each scale's
// letters by name (character-code order: A, A+, A-, B ...), numbered from 1; the order of the
// letters says nothing about which letter a total earns (CourseGradeCalculator does).
class TovGradeLetterXmlDatabase : public GradebookXmlStore
{
public:
    // The store's file in the data folder and its root element.
    static constexpr char kFileName[] = "LetterGrade.xml";
    static constexpr char kRootName[] = "GradeLetters";

    static TovGradeLetterXmlDatabase *sharedUI();

    const QList<LetterGradeEntity> &gradeLetterList() const { return m_scales.list; }
    // Whether the list changed (other scales, or other numbers).
    bool loadGradeLetterList();
    std::optional<LetterGradeEntity> letterGradeByNo(int no) const;
    // Case counts.
    bool existLetterGradeWithTitle(const QString &title) const;

    // Appends a scale with at least one letter; its number, or -1 (nothing changes).
    int addWithData(LetterGradeEntity &scale, QString *errorText = nullptr);
    // Gives scale data.no() data's title, names and exactly data's letters, in the file and in
    // memory (letters found by their exact name are rewritten in place, others added, letters
    // the scale no longer has removed).
    bool updateWithData(const LetterGradeEntity &data, QString *errorText = nullptr);
    bool deleteWithNo(int no, QString *errorText = nullptr);
    bool deleteWithData(const LetterGradeEntity *scale, QString *errorText = nullptr);
    // Remove every scale of that teacher, subject or class (names compared exactly, in the file
    // and in memory alike). True when the file was written, also when nothing matched.
    bool deleteGradeLetterByTeacherName(const QString &name, QString *errorText = nullptr);
    bool deleteGradeLetterBySubjectName(const QString &name, QString *errorText = nullptr);
    bool deleteGradeLetterByClassName(const QString &name, QString *errorText = nullptr);

private:
    friend class Singleton<TovGradeLetterXmlDatabase>;
    TovGradeLetterXmlDatabase();

    RecordSet<LetterGradeEntity> m_scales;
};

#pragma once

#include "CourseGradeEntity.h"
#include "GradebookXmlStore.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

template <typename T> class Singleton;

// The saved course grades, kept in "CourseGrade.xml" ("AllCourseGrade" / "CourseGrade" with
// "Period" {"PeriodTitle", "PeriodFrom", "PeriodTo"}, "ClassName", "SubjectName", "TeacherName"
// and "Details" / "Detail" {"StudentID", "StudentName", "Point" as "%.5f", "LetterGrade"}).
// Beside the course grades it keeps the distinct periods, classes, subjects and teachers of the
// file, in order of first appearance, for the Report window's filters.
//
// A course grade is told apart by its key: class, subject, teacher and period title (letter case
// ignored) and the period's first and last day (exact). Its period is named by the label
// "title(from~to)" (PeriodEntity::unique_title), compared ignoring case.
class TovGradeSessionsXmlDatabase : public GradebookXmlStore
{
public:
    // The store's file in the data folder and its root element.
    static constexpr char kFileName[] = "CourseGrade.xml";
    static constexpr char kRootName[] = "AllCourseGrade";

    static TovGradeSessionsXmlDatabase *sharedUI();

    const QList<CourseGradeEntity> &courseGradeList() const { return m_courseGradeList; }
    const QList<PeriodEntity> &periodList() const { return m_periodList; }
    const QStringList &classList() const { return m_classList; }
    const QStringList &subjectList() const { return m_subjectList; }
    const QStringList &teacherList() const { return m_teacherList; }
    int maxNo() const { return m_maxNo; }

    // Reads the file again; a file that cannot be read or created leaves the lists as they were.
    void loadGradeSessionList();

    static bool sameKey(const CourseGradeEntity &a, const CourseGradeEntity &b);
    bool existCourseGrade(const CourseGradeEntity &grade) const;
    // Appends the course grade (the caller asked existCourseGrade first); on success grade gets
    // its number. False, with the reason, when the file could not be written (nothing changes).
    bool addCourseGradeSession(CourseGradeEntity &grade, QString *errorText = nullptr);
    // Replaces the course grade of the same key: in the file it moves to the end, in memory it
    // keeps its place and number. False when there is none or the file could not be written.
    bool updateCourseGradeSession(CourseGradeEntity &grade, QString *errorText = nullptr);
    // Removes the course grades of that period label, subject, class and teacher (all ignoring
    // case), then reloads. False when there were none, or (with the reason) when the file could
    // not be written.
    bool deleteStudentGradeByPeriod(const QString &periodTitle, const QString &subject, const QString &className,
                                    const QString &teacherName, QString *errorText = nullptr);
    // The first stored period whose label equals label ignoring case.
    std::optional<PeriodEntity> periodByTitle(const QString &label) const;
    // The course grades of that period label (ignoring case) and subject (exact) that have details,
    // read from the file; every class and teacher. Empty when the file cannot be read.
    QList<CourseGradeEntity> getStudentGradeByPeriod(const QString &periodTitle, const QString &subject) const;

    // Whether the file, read again, holds the course grade with exactly its details (marks as the
    // file writes them): what a save is checked by before it is reported done. False with the
    // reason otherwise.
    bool isStored(const CourseGradeEntity &grade, QString *errorText = nullptr) const;

    // The file text of a mark: "%.5f", and 0 for a value that is no number.
    static QString markText(float mark);

private:
    friend class Singleton<TovGradeSessionsXmlDatabase>;
    TovGradeSessionsXmlDatabase();

    void noteNames(const CourseGradeEntity &grade);

    QList<CourseGradeEntity> m_courseGradeList;
    QList<PeriodEntity> m_periodList;
    QStringList m_classList;
    QStringList m_subjectList;
    QStringList m_teacherList;
    int m_maxNo = 1;
};

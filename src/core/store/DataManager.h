#pragma once

#include "CourseGradeEntity.h"
#include "QuizEntity.h"
#include "SessionPoints.h"
#include "SessionSelect.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

#include <pugixml.hpp>

template <typename T> class Singleton;

// The read side over the stored sessions that reports and the gradebook use. It keeps nothing:
// every call lists the session folder (full sessions) and the points-only folder again and reads
// the files it needs, so a file written a moment ago is seen by the next call. Main thread only.
//
// Sessions imported from elsewhere may share an ID. A caller holding a listed row (an index
// entry, a picker row) opens it by its path with getQuizAtPath(); getQuizWhereActNoIs() is for
// callers that only know an ID.
class DataManager
{
public:
    static DataManager *sharedDataManagement();

    // Session files of the session folder / the points-only folder, at any depth: paths relative
    // to the folder without ".xml" (in any letter case), in the file system's order. None when the
    // folder is missing.
    static std::optional<QStringList> getAllFileNames();
    static std::optional<QStringList> getCourseGradeFile();

    // The session whose "ID" (found in the first 255 bytes of each file) equals actNo exactly.
    // When several files carry it, the one listed last wins whole (points-only folder after the
    // session folder). No match: an empty record. None only when neither folder exists. A file
    // that cannot be parsed is logged and passed over.
    static std::optional<QuizEntity> getQuizWhereActNoIs(const QString &actNo);
    // The session in one file, in either form; none (with the reason) when it cannot be read.
    static std::optional<QuizEntity> getQuizAtPath(const QString &path, QString *errorText = nullptr);
    // The session record of a parsed file of either form; the form is told by the file itself.
    static QuizEntity quizFromRoot(pugi::xml_node root);
    // The points of every student of the session in one file, read straight from the file: what
    // the gradebook needs of each session of a grading period. None (with the reason) when it
    // cannot be read.
    static std::optional<SessionPoints> getStudentPointsAtPath(const QString &path, QString *errorText = nullptr);
    // The text of every child of a session file's root called tag, across both folders (session
    // folder first); unreadable files are logged and passed over.
    static QStringList getElementByTag(const QString &tag);

    // Activity names by stored code (1-6, 13, 14, 15), translated; a null text for other codes.
    static QString getActModeNameByActModeNo(int actMode);
    // A stored code from a name of the table above or from the code's own text; -1 otherwise.
    static int getActModeNoByName(const QString &name);
    // A stored question-type code (1-5) from its text or its English name; -1 otherwise.
    static int getQuTypeNoByName(const QString &name);
    // The device type (0-4) of a stored model code; -1 otherwise.
    static int getMachineName(const QString &model);
    // The extra points the teacher gave the group over the session's run; 0 where none were kept.
    static int getAppendMarkByGroupNo(int groupNo, const QuizEntity &quiz);

    // ---- Counts over one loaded session (nothing is read from disk) ----
    // Questions are matched to answers by the decimal text of a number ("01" never matches 1);
    // every comparison is exact.

    // The first question numbered quNo; null when none. Points into quiz.
    static const QuestionEntity *getQuestionByQuNo(int quNo, const QuizEntity &quiz);
    static QList<QuestionOptionEntity> getAllOptionsOfOneQuestion(const QuestionEntity &question);
    // Answers to the question equal to ans. For a true-or-false question ("5") the reply is taken
    // in its "True"/"False" form first ("A", "t" ...), except the option letter "F".
    // The reply a stored answer holds for ans: for a true-or-false question ("5") its "True"/"False"
    // form ("A", "t" ...), except the option letter "F"; else ans itself.
    static QString storedReplyOf(const QuestionEntity &question, const QString &ans);
    static int getSpecifiedAnsOfOneQuestion(const QuestionEntity &question, const QString &ans, const QuizEntity &quiz);
    // One student's answers to the question equal to ans, compared as they are.
    static int getCountOfSpecifiedAnsInOneQuestion(const QuestionEntity &question, const QString &ans,
                                                   const QString &studentID, const QuizEntity &quiz);
    // Present: a login time, or no login time at all (null, records built in memory) and an answer.
    // Absent: no or an empty login time and no answer. A loaded student with an empty login time
    // who answered is in neither list.
    static QList<StudentEntity> getAttendStudentInfoInOneQuiz(const QuizEntity &quiz);
    static QList<StudentEntity> getAbsentStudentInfoInOneQuiz(const QuizEntity &quiz);
    // Questions the student got right, counting the first answer to the question at each
    // position (1, 2, ...); *totalPoint receives the points of those answers.
    static int getCorrectCountOfOneQuiz(const QuizEntity &quiz, const QString &studentID, int *totalPoint);
    // A student's points: the sum over all the student's answers, or, in a session without
    // questions (points-only), the student's total mark; 0 for an unknown student.
    static float getTotalPointInQuizWhichStuIDIs(const QString &studentID, const QuizEntity &quiz);
    // The same for every student of the session at once, by student ID (the first student of an
    // ID in a points-only session).
    static QHash<QString, float> getTotalPointsOfStudentsInQuiz(const QuizEntity &quiz);

    // ---- Gradebook ----

    // The sessions of one class, subject and teacher (exact names) whose day lies from dateFrom to
    // dateTo ("YYYY-MM-DD", both included): full sessions first (their day is StartTime's, else
    // DateCreated's; hand raise, survey, attendance and vote are left out), then points-only ones
    // (DateCreated's day). A session without any readable day is never listed. avg is the class
    // average to one decimal, 0 without students. None when nothing of the session folder is
    // listed and the points-only folder is missing.
    static std::optional<QList<SessionSelect>> getAllQuizsWhereClassName(const QString &className,
                                                                          const QString &subjectName,
                                                                          const QString &teacherName,
                                                                          const QString &dateFrom,
                                                                          const QString &dateTo);
    // Saved course grades of CourseGrade.xml for a period label ("title(from~to)", "--Select--"
    // for any), a teacher and a class ("All" for any). All results share the period dates of the
    // first one kept. None when the file cannot be read.
    static std::optional<QList<CourseGradeEntity>> getAllCourseGradeWherePeriod(const QString &period,
                                                                                 const QString &teacher,
                                                                                 const QString &className);

private:
    friend class Singleton<DataManager>;
    DataManager() = default;
};

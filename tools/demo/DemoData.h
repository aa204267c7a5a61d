#pragma once

#include <QString>
#include <QStringList>

// The demo class, teacher, subject and question file, made through the program's own stores
// and question-file writer, so the demo folder is exactly what a teacher's would be.
namespace DemoData {

constexpr int kStudents = 24;
QString className();
QString questionFileName();
// The correct answers of the demo questions, in order (the simulator answers from them).
QStringList answers();
QString studentID(int i); // i from 1

// Fills folder (the application folder) unless it already holds the demo class; the first-run
// archive is unpacked first, as the program would. The class's students are in the school
// roster too (added there when a folder made earlier lacks them). Returns the question file's path, or empty
// with errorText set.
QString ensure(const QString &folder, const QString &archive, QString *errorText);

// Past sessions of the demo class, so that backups, reports and the gradebook have something to
// show: three normal quizzes ("Demo Quiz, week 1" to 3) and one points-only session ("Lab
// report"), written through the session stores; the quizzes with the Test Title and file name
// that a run of "Demo Quiz.px" gives its session (the end-of-run save's own rule). Each is added
// when the folder lacks it, whatever else ran there before, and named and titled so where an
// earlier demo left it without a name or under its old title. False with errorText set when one
// cannot be written.
bool ensureSessions(QString *errorText);

// Gradebook settings for the demo sessions, each added when the gradebook lacks it: their "Quiz"
// session type, the grading period "Fall 2024" around them, the weight list "Quizzes and
// homework" (Quiz 60, Homework 40) and the letter scale "Letters A to F"; so a course grade of
// the demo class is a few choices away in the Report window. False with errorText set when a
// store cannot be written.
bool ensureGradebook(QString *errorText);

} // namespace DemoData

// A save that looks for a free file name in a folder that answers with an error (a share whose
// program died, a folder made unsearchable, a disk pulled out) ends at once and says why, in the
// save's own words, naming the folder and the disk's reason; once the folder answers again, the
// same save goes through. Taken for "a file is there", the error kept the search asking for ever.
#include "core/engine/EndOfRunSave.h"
#include "core/reports/SessionImport.h"
#include "core/store/GlobalFunctions.h"
#include "core/store/TovClassXmlDatabase.h"
#include "core/store/TovCourseGradeXmlDatabase.h"
#include "core/store/TovFastQuizXmlDatabase.h"
#include "core/store/TovQuizXmlDatabase.h"
#include "support/DialogAnswers.h"
#include "support/FailingFolder.h"
#include "support/PollixTest.h"
#include "ui/gradebook/ImportCourseGradeController.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cerrno>
#include <functional>

namespace {
QuizEntity session(const QString &name)
{
    QuizEntity quiz;
    quiz.setName(name);
    quiz.setActionType("1");
    quiz.setClassName("8C");
    StudentEntity s;
    s.setId("S1");
    s.setTotalMark("7");
    quiz.setAllStudents({s});
    return quiz;
}

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden);
}

using SavesInAFailingFolderTest = PollixTest;
} // namespace

TEST_F(SavesInAFailingFolderTest, ASaveLookingForAFreeNameEndsOnTheFoldersErrorAndGoesThroughOnceItAnswers)
{
    // A session file and a points-only one of another installation.
    QTemporaryDir elsewhere;
    const QString imported = elsewhere.filePath("Week.xml"), graded = elsewhere.filePath("Essay.xml");
    QString written;
    QuizEntity week = session("Week"), essay = session("Essay");
    ASSERT_TRUE(TovQuizXmlDatabase().addQuizWithName("Week", week, &written, nullptr) && QFile::rename(written, imported));
    ASSERT_TRUE(TovCourseGradeXmlDatabase().addQuizWithName("Essay", essay, &written, nullptr) && QFile::rename(written, graded));
    TovFastQuizXmlDatabase::sharedFastQuiz()->reloadQuiz();
    const QString sessions = app()->strQuizXmlDataFilePath(), pointsOnly = app()->strCourseGradeFilePath();

    const struct
    {
        const char *save;
        QString folder;
        int error; // what the folder answers root (an ordinary user meets "Permission denied")
        std::function<bool(QString *words)> act;
    } rows[] = {
        {"a session saved at a run's end", sessions, ENOTCONN,
         [](QString *words) {
             QuizEntity quiz = session("Planets");
             return EndOfRunSave::write(quiz, nullptr, words);
         }},
        {"a points-only session", pointsOnly, EIO,
         [](QString *words) {
             QuizEntity quiz = session("Lab");
             return TovCourseGradeXmlDatabase().addQuizWithName("Lab", quiz, nullptr, words);
         }},
        {"a class added", GlobalFunctions::classXmlDatabasePath(), EACCES,
         [](QString *words) { return TovClassXmlDatabase::sharedClassUI()->addClassWithName("9C", words) > 0; }},
        {"a session imported", sessions, EIO,
         [&](QString *words) { return SessionImport::importFile(imported, sessions, "2024-05-03T08:00:00", nullptr, words); }},
        // The window's own alert, with the reason under it.
        {"a course grade imported", pointsOnly, ENOTCONN,
         [&](QString *words) {
             DialogAnswers answers;
             ImportCourseGradeController(graded, nullptr).doImport();
             const AlertRequest said = answers.alerts().value(0);
             *words = said.text == "The session could not be imported." ? said.informativeText : said.text;
             return said.text == "Import was successful.";
         }},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.save);
        QDir().mkpath(row.folder);
        const QStringList before = filesIn(row.folder);
        FailingFolder failing(row.folder, row.error);
        QString words;
        EXPECT_FALSE(row.act(&words));
        EXPECT_LT(failing.looks(), FailingFolder::kMostLooks) << "the search took the error for a name taken";
        failing.answerAgain();
        EXPECT_TRUE(words.contains(row.folder) && words.contains(failing.reason())) << words.toStdString();
        EXPECT_EQ(filesIn(row.folder).join(" | ").toStdString(), before.join(" | ").toStdString());

        // The folder answers again: the teacher's next try saves, once.
        EXPECT_TRUE(row.act(&words)) << words.toStdString();
        EXPECT_EQ(filesIn(row.folder).size(), before.size() + 1);
    }
}

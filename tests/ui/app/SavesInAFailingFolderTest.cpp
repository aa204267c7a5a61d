// A save that looks for a free file name in a folder that answers with an error (a share whose
// program died, a folder made unsearchable, a disk pulled out) ends at once and says why, in the
// save's own words, naming the folder and the disk's reason; once the folder answers again, the
// same save goes through. Taken for "a file is there", the error kept the search asking for ever.
#include "core/app/SystemFileUnpacker.h"
#include "core/engine/EndOfRunSave.h"
#include "core/reports/SessionImport.h"
#include "core/roster/RosterEdits.h"
#include "core/store/GlobalFunctions.h"
#include "core/store/TovClassXmlDatabase.h"
#include "core/store/TovCourseGradeXmlDatabase.h"
#include "core/store/TovFastQuizXmlDatabase.h"
#include "core/store/TovQuizXmlDatabase.h"
#include "support/DataFiles.h"
#include "support/DialogAnswers.h"
#include "support/FailingFolder.h"
#include "support/LogLines.h"
#include "support/OrdinaryUser.h"
#include "support/PollixTest.h"
#include "support/ZipFixture.h"
#include "ui/gradebook/ImportCourseGradeController.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
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

// A save into a folder of the data that takes no new file (one this account may not write in, as
// after chmod 555): whatever is saved, and however (one file, or several changed together), the
// reason names the file, the folder and why, in the one wording such a save has; the folder
// writable again, the same save goes through.
TEST_F(SavesInAFailingFolderTest, ASaveIntoAFolderThatTakesNoNewFileNamesTheFileTheFolderAndWhy)
{
    POLLIX_AS_ORDINARY_USER();
    writeFile("Data/Classes/8C.xml", DataFiles::classFile("8C"));
    QTemporaryDir elsewhere;
    const QString imported = elsewhere.filePath("Week.xml");
    QString written;
    QuizEntity week = session("Week");
    ASSERT_TRUE(TovQuizXmlDatabase().addQuizWithName("Week", week, &written, nullptr) && QFile::rename(written, imported));
    startOn(QDir::cleanPath(home()));
    const QString sessions = app()->strQuizXmlDataFilePath(), pointsOnly = app()->strCourseGradeFilePath();
    const QString classes = GlobalFunctions::classXmlDatabasePath();
    int student = 0;

    const struct
    {
        const char *save;
        QString folder;
        QString file; // how the name of the file saved begins
        std::function<bool(QString *words)> act;
    } rows[] = {
        {"a session saved at a run's end", sessions, "Planets",
         [](QString *words) {
             QuizEntity quiz = session("Planets");
             return EndOfRunSave::write(quiz, nullptr, words);
         }},
        {"a points-only session", pointsOnly, "Lab",
         [](QString *words) {
             QuizEntity quiz = session("Lab");
             return TovCourseGradeXmlDatabase().addQuizWithName("Lab", quiz, nullptr, words);
         }},
        {"a class added", classes, "9C.xml",
         [](QString *words) { return TovClassXmlDatabase::sharedClassUI()->addClassWithName("9C", words) > 0; }},
        // The class and the roster changed together, each staged beside its file first.
        {"a student added to a class", classes, "8C.xml",
         [&](QString *words) {
             StudentEntity s;
             s.setId(QStringLiteral("N%1").arg(++student));
             const RosterEdits::Result r =
                 RosterEdits::addNewStudent(s, TovClassXmlDatabase::sharedClassUI()->classNoByName("8C"), 400);
             *words = r.errorText;
             return r.ok();
         }},
        {"a session imported", sessions, "Week",
         [&](QString *words) { return SessionImport::importFile(imported, sessions, "2024-05-03T08:00:00", nullptr, words); }},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.save);
        QDir().mkpath(row.folder);
        const QStringList before = filesIn(row.folder);
        ASSERT_TRUE(QFile::setPermissions(row.folder, QFile::ReadOwner | QFile::ExeOwner));
        const auto writable = qScopeGuard(
            [&] { QFile::setPermissions(row.folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner); });
        QString words;
        EXPECT_FALSE(row.act(&words));
        const QString why = " cannot be saved in the folder " + row.folder + ": Permission denied";
        EXPECT_TRUE(words.startsWith(row.file) && words.endsWith(why) && !words.chopped(why.size()).contains(": "))
            << words.toStdString();
        EXPECT_EQ(filesIn(row.folder), before);

        QFile::setPermissions(row.folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        EXPECT_TRUE(row.act(&words)) << words.toStdString();
    }
}

// A folder of the data this account may not enter at all (chmod 000): a session imported into it,
// and the first-run files put in place there, say that the folder cannot be opened and why, naming
// it once; never that it could not be made, as it is there.
TEST_F(SavesInAFailingFolderTest, AFolderThisAccountMayNotEnterIsNamedOnceWithTheTrueReason)
{
    POLLIX_AS_ORDINARY_USER();
    QTemporaryDir elsewhere;
    const QString imported = elsewhere.filePath("Week.xml");
    QString written;
    QuizEntity week = session("Week");
    ASSERT_TRUE(TovQuizXmlDatabase().addQuizWithName("Week", week, &written, nullptr) && QFile::rename(written, imported));
    const QString archive = makeZipArchive(elsewhere.filePath("first.zip"), {{"Pollix/", ""}, {"Pollix/Data/", ""},
                                                                             {"Pollix/Data/Quiz/", ""}});
    const QString firstRun = elsewhere.filePath("Pollix");
    const struct
    {
        const char *what;
        QString folder;
        std::function<bool(QString *words)> act;
    } rows[] = {
        {"a session imported", app()->strQuizXmlDataFilePath(),
         [&](QString *words) {
             return SessionImport::importFile(imported, app()->strQuizXmlDataFilePath(), "2024-05-03T08:00:00", nullptr, words);
         }},
        {"the first-run files", firstRun + "/Data/Quiz",
         [&](QString *words) {
             const LogLines log;
             const bool unpacked = SystemFileUnpacker::unZipSystemFile(archive, firstRun) != SystemFileUnpacker::Failed;
             *words = log.containing(firstRun + "/Data/Quiz").join('\n');
             return unpacked && words->isEmpty();
         }},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        ASSERT_TRUE(QDir().mkpath(row.folder) && QFile::setPermissions(row.folder, {}));
        const auto enterable = qScopeGuard(
            [&] { QFile::setPermissions(row.folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner); });
        QString words;
        EXPECT_FALSE(row.act(&words));
        EXPECT_TRUE(words.contains(row.folder + " cannot be opened: Permission denied")) << words.toStdString();
        EXPECT_EQ(words.count(row.folder), 1) << words.toStdString();
        EXPECT_FALSE(words.contains("cannot make")) << words.toStdString();

        QFile::setPermissions(row.folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        EXPECT_TRUE(row.act(&words)) << words.toStdString();
    }
}

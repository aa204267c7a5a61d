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

const QByteArray kSession = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Session><ID>s1</ID><DateCreated>2024-05-01"
                            "</DateCreated><Name>Week</Name><Mode>1</Mode><ClassName>8C</ClassName><Subject>Science"
                            "</Subject><TeacherName>ann</TeacherName><Type>Exam</Type><TotalMark>10</TotalMark><Questions>"
                            "<Question><No>1</No><CAnswer>A</CAnswer></Question></Questions></Session>";

QuizEntity pointsOnly(const QString &name)
{
    QuizEntity quiz;
    quiz.setName(name);
    quiz.setClassName("8C");
    quiz.setDate(QStringLiteral("2024-05-02T10:00:00"));
    StudentEntity s;
    s.setId("S1");
    s.setTotalMark("7");
    quiz.setAllStudents({s});
    return quiz;
}

struct Outcome
{
    bool saved = false;
    QString words; // the failure as the save tells it: its alert's text and reason, or its reason
};

class SavesInAFailingFolderTest : public PollixTest
{
protected:
    static std::string filesIn(const QString &folder)
    {
        return QDir(folder).entryList(QDir::Files | QDir::Hidden).join(" | ").toStdString();
    }
    static qsizetype countIn(const QString &folder) { return QDir(folder).entryList(QDir::Files | QDir::Hidden).size(); }
};

} // namespace

TEST_F(SavesInAFailingFolderTest, ASaveLookingForAFreeNameEndsOnTheFoldersErrorAndGoesThroughOnceItAnswers)
{
    QTemporaryDir elsewhere;
    // A session file of another installation, and a points-only one.
    const QString session = elsewhere.filePath("Week.xml");
    {
        QFile f(session);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(kSession);
    }
    QString graded;
    {
        QuizEntity lab = pointsOnly("Essay");
        ASSERT_TRUE(TovCourseGradeXmlDatabase().addQuizWithName("Essay", lab, &graded, nullptr));
        ASSERT_TRUE(QFile::rename(graded, elsewhere.filePath("Essay.xml")));
        graded = elsewhere.filePath("Essay.xml");
        TovFastQuizXmlDatabase::sharedFastQuiz()->reloadQuiz();
    }
    const QString sessions = app()->strQuizXmlDataFilePath(), pointsOnlyFolder = app()->strCourseGradeFilePath(),
                  classes = GlobalFunctions::classXmlDatabasePath();

    const struct
    {
        const char *save;
        QString folder;
        int error; // what the folder answers (for root; an ordinary user meets "Permission denied")
        const char *alert; // the save's own alert, where the save shows one itself
        std::function<Outcome()> act;
    } rows[] = {
        {"a session saved at a run's end", sessions, ENOTCONN, nullptr,
         [] {
             QuizEntity quiz = pointsOnly("Planets");
             quiz.setActionType("1");
             Outcome o;
             o.saved = EndOfRunSave::write(quiz, nullptr, &o.words);
             return o;
         }},
        {"a points-only session", pointsOnlyFolder, EIO, nullptr,
         [] {
             QuizEntity quiz = pointsOnly("Lab");
             Outcome o;
             o.saved = TovCourseGradeXmlDatabase().addQuizWithName("Lab", quiz, nullptr, &o.words);
             return o;
         }},
        {"a class added", classes, EACCES, nullptr,
         [] {
             Outcome o;
             o.saved = TovClassXmlDatabase::sharedClassUI()->addClassWithName("9C", &o.words) > 0;
             return o;
         }},
        {"a session imported", sessions, EIO, nullptr,
         [&] {
             Outcome o;
             o.saved = SessionImport::importFile(session, sessions, "2024-05-03T08:00:00", nullptr, &o.words);
             return o;
         }},
        {"a course grade imported", pointsOnlyFolder, ENOTCONN, "The session could not be imported.",
         [&] {
             DialogAnswers answers;
             ImportCourseGradeController importer(graded, nullptr);
             importer.doImport();
             Outcome o;
             o.saved = answers.alertTexts().value(0) == "Import was successful.";
             if (!answers.alerts().isEmpty())
                 o.words = answers.alerts().first().text + " / " + answers.alerts().first().informativeText;
             return o;
         }},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.save);
        QDir().mkpath(row.folder);
        const std::string before = filesIn(row.folder);
        const qsizetype count = countIn(row.folder);
        FailingFolder failing(row.folder, row.error);
        const Outcome failed = row.act();
        const int looks = failing.looks();
        failing.answerAgain();
        EXPECT_FALSE(failed.saved);
        EXPECT_LT(looks, FailingFolder::kMostLooks) << "the search took the error for a name taken";
        EXPECT_TRUE(failed.words.contains(row.folder)) << failed.words.toStdString();
        EXPECT_TRUE(failed.words.contains(failing.reason())) << failed.words.toStdString();
        if (row.alert) {
            EXPECT_TRUE(failed.words.startsWith(row.alert)) << failed.words.toStdString();
        }
        EXPECT_EQ(filesIn(row.folder), before);

        // The folder answers again: the teacher's next try saves, once.
        const Outcome again = row.act();
        EXPECT_TRUE(again.saved) << again.words.toStdString();
        EXPECT_EQ(countIn(row.folder), count + 1);
    }
}

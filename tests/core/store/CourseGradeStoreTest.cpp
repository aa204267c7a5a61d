#include "StoreTestBase.h"

#include "core/store/DataManager.h"
#include "core/store/GlobalFunctions.h"
#include "core/store/TovCourseGradeXmlDatabase.h"
#include "core/store/TovFastQuizXmlDatabase.h"
#include "core/store/TovQuizXmlDatabase.h"

#include <QFileInfo>

namespace {
class CourseGradeStoreTest : public StoreTestBase
{
protected:
    void SetUp() override
    {
        StoreTestBase::SetUp();
        TovQuizXmlDatabase::setUuidGeneratorForTesting(
            [this] { return QStringLiteral("0a1b2c3d-0000-4000-8000-%1").arg(++m_nextId, 12, 10, QLatin1Char('0')); });
    }
    void TearDown() override
    {
        TovQuizXmlDatabase::setUuidGeneratorForTesting({});
        StoreTestBase::TearDown();
    }
    QString folder() const { return home() + "Data/CourseGrade/"; }
    static TovFastQuizXmlDatabase *index() { return TovFastQuizXmlDatabase::sharedFastQuiz(); }

    int m_nextId = 0;
};

StudentEntity graded(const QString &id, const QString &first, const QString &last, const QString &mark)
{
    StudentEntity s;
    s.setId(id);
    s.setFirstName(first);
    s.setLastName(last);
    s.setTotalMark(mark);
    return s;
}

// What the manual entry window hands in: the chosen day with the time of day, code "1".
QuizEntity grades(int group)
{
    QuizEntity quiz;
    quiz.setName("Grades 2012-03-05T14:07:09");
    quiz.setDate(QStringLiteral("2012-03-05T14:07:09"));
    quiz.setActionType("1");
    quiz.setMachineName("2");
    quiz.setClassName("Class A");
    quiz.setSubject("Maths & Art");
    quiz.setTeacherName("Mary Smith");
    quiz.setGroup(group);
    quiz.setSessionType("Exam");
    quiz.setTotalMark("100");
    quiz.allStudents() << graded("S001", "Ann", "Lee", "87") << graded("S002", "Bo", "", "0");
    return quiz;
}
} // namespace

TEST_F(CourseGradeStoreTest, FirstWriteMatchesTheFileFormatAndTheIndexKeepsTheRecordsGroup)
{
    QuizEntity quiz = grades(4);
    QString path;
    ASSERT_TRUE(TovCourseGradeXmlDatabase().addQuizWithName(quiz.name(), quiz, &path));
    EXPECT_EQ(path, folder() + "Grades 2012-03-05T14:07:09.xml") << "no date appended to the name";
    EXPECT_EQ(readFile(path), golden("points-only-first"));
    EXPECT_EQ(quiz.title(), " ");
    EXPECT_EQ(quiz.startTime(), "2012-03-23T14:07:09");

    const TovSessionXmlParsedResult *entry = index()->session_resultByPath(path);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->flag(), 2);
    EXPECT_EQ(entry->Groups(), 4);
    EXPECT_EQ(entry->ID(), GlobalFunctions::getIDOfXmlQuizFile(path));

    // Read back: first names from "Name", last names from "LastName".
    const std::optional<QuizEntity> back = TovQuizXmlDatabase().getQuizInfoAll(path);
    ASSERT_TRUE(back.has_value());
    ASSERT_EQ(back->allStudents().size(), 2);
    EXPECT_EQ(back->allStudents()[0].firstName(), "Ann");
    EXPECT_EQ(back->allStudents()[0].lastName(), "Lee");
    EXPECT_EQ(back->allStudents()[0].totalMark(), "87");
    EXPECT_EQ(back->subject(), "Maths & Art");
}

TEST_F(CourseGradeStoreTest, GroupsIsAFlagAndNamesNeverReplaceAFile)
{
    for (int group : {0, 1}) {
        QuizEntity quiz = grades(group);
        QString path;
        ASSERT_TRUE(TovCourseGradeXmlDatabase().addQuizWithName("Grades", quiz, &path));
        EXPECT_TRUE(readFile(path).contains("<Groups>0</Groups>")) << group;
        EXPECT_EQ(index()->session_resultByPath(path)->Groups(), group);
    }
    EXPECT_TRUE(QFileInfo::exists(folder() + "Grades.xml"));
    EXPECT_TRUE(QFileInfo::exists(folder() + "Grades (2).xml"));
    EXPECT_EQ(GlobalFunctions::getIDOfXmlQuizFile(folder() + "Grades.xml"), "0a1b2c3d-0000-4000-8000-000000000001");

    QuizEntity quiz = grades(1);
    QString path;
    ASSERT_TRUE(TovCourseGradeXmlDatabase().addQuizWithName("../up/x", quiz, &path));
    EXPECT_EQ(path, folder() + ".._up_x.xml");
}

TEST_F(CourseGradeStoreTest, RewriteTakesTheChosenDayAndKeepsItsTimesAndTheId)
{
    QuizEntity quiz = grades(1);
    QString path;
    ASSERT_TRUE(TovCourseGradeXmlDatabase().addQuizWithName("Grades", quiz, &path));
    QuizEntity edited = *TovQuizXmlDatabase().getQuizInfoAll(path);
    edited.setDate(QStringLiteral("2012-03-05"));
    edited.setTitle("Week 4");
    edited.allStudents()[1].setTotalMark("55");
    QString why;
    ASSERT_TRUE(TovCourseGradeXmlDatabase().upDataQuizForReport(path, edited, &why)) << why.toStdString();

    const QByteArray bytes = readFile(path);
    EXPECT_TRUE(bytes.contains("<ID>0a1b2c3d-0000-4000-8000-000000000001</ID><DateCreated>2012-03-05T14:07:09</DateCreated>"));
    EXPECT_TRUE(bytes.contains("<Title>Week 4</Title>"));
    EXPECT_TRUE(bytes.contains("<SID>S002</SID><Name>Bo</Name><LastName></LastName><TotalMark>55</TotalMark>"));
    EXPECT_EQ(index()->session_resultByPath(path)->DateCreated(), "2012-03-05T14:07:09");
    EXPECT_EQ(index()->allSessionXmlParsedResults().size(), 1);
}

TEST_F(CourseGradeStoreTest, AnEditDoesNotRestampTheSessionWithTheTimeOfTheEdit)
{
    QuizEntity quiz = grades(1);
    quiz.setDate(QStringLiteral("2012-03-05T08:15:00"));
    quiz.setStartTime(QStringLiteral("2012-03-05T08:10:00"));
    QString path;
    ASSERT_TRUE(TovCourseGradeXmlDatabase().addQuizWithName("Grades", quiz, &path));
    // Loaded as an editor loads it (no start time of its own), points changed, day kept.
    QuizEntity edited = *DataManager::getQuizAtPath(path);
    ASSERT_TRUE(edited.startTime().isEmpty());
    edited.setActNo(GlobalFunctions::getIDOfXmlQuizFile(path));
    edited.setDate(QStringLiteral("2012-03-05"));
    edited.allStudents()[0].setTotalMark("90");
    ASSERT_TRUE(TovCourseGradeXmlDatabase().upDataQuizForReport(path, edited));
    QByteArray bytes = readFile(path);
    EXPECT_TRUE(bytes.contains("<DateCreated>2012-03-05T08:15:00</DateCreated>")) << bytes.constData();
    EXPECT_TRUE(bytes.contains("<StartTime>2012-03-05T08:10:00</StartTime>")) << bytes.constData();
    // Moved to another day: both follow the day, each keeping its time.
    edited.setDate(QStringLiteral("2012-04-01"));
    ASSERT_TRUE(TovCourseGradeXmlDatabase().upDataQuizForReport(path, edited));
    bytes = readFile(path);
    EXPECT_TRUE(bytes.contains("<DateCreated>2012-04-01T08:15:00</DateCreated>")) << bytes.constData();
    EXPECT_TRUE(bytes.contains("<StartTime>2012-04-01T08:10:00</StartTime>")) << bytes.constData();
    EXPECT_EQ(index()->session_resultByPath(path)->DateCreated(), "2012-04-01T08:15:00");
}

TEST_F(CourseGradeStoreTest, FailedWritesLeaveTheFileAndTheIndexAsTheyWere)
{
    QuizEntity quiz = grades(1);
    QString path;
    ASSERT_TRUE(TovCourseGradeXmlDatabase().addQuizWithName("Grades", quiz, &path));
    const QByteArray before = readFile(path);

    failWritesTo(folder());
    QuizEntity edited = quiz;
    edited.setActNo(GlobalFunctions::getIDOfXmlQuizFile(path));
    edited.setDate(QStringLiteral("2013-01-01"));
    edited.setTitle("Changed");
    QString why;
    EXPECT_FALSE(TovCourseGradeXmlDatabase().upDataQuizForReport(path, edited, &why));
    EXPECT_FALSE(why.isEmpty());
    EXPECT_EQ(readFile(path), before);
    EXPECT_EQ(index()->session_resultByPath(path)->Title(), " ");

    QuizEntity another = grades(1);
    EXPECT_FALSE(TovCourseGradeXmlDatabase().addQuizWithName("Other", another, nullptr, &why));
    EXPECT_FALSE(QFileInfo::exists(folder() + "Other.xml"));
    EXPECT_EQ(index()->allSessionXmlParsedResults().size(), 1);
    allowWrites();
}

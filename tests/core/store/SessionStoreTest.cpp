#include "StoreTestBase.h"

#include "core/store/DataManager.h"
#include "core/store/TovFastQuizXmlDatabase.h"
#include "core/store/TovQuizXmlDatabase.h"
#include "core/store/TovSessionXmlParsedResult.h"
#include "support/SmallDisk.h"

#include <QDir>
#include <QFileInfo>

namespace {
class SessionStoreTest : public StoreTestBase
{
protected:
    void SetUp() override
    {
        StoreTestBase::SetUp();
        m_nextId = 0;
        TovQuizXmlDatabase::setUuidGeneratorForTesting(
            [this] { return QStringLiteral("0a1b2c3d-0000-4000-8000-%1").arg(++m_nextId, 12, 10, QLatin1Char('0')); });
    }
    void TearDown() override
    {
        TovQuizXmlDatabase::setUuidGeneratorForTesting({});
        StoreTestBase::TearDown();
    }
    QByteArray sessionGolden(const QString &caseName) const
    {
        return golden(caseName).replace("@VERSION@", TovQuizXmlDatabase::versionString().toUtf8());
    }
    QString quizFolder() const { return home() + "Data/Quiz/"; }
    static TovFastQuizXmlDatabase *index() { return TovFastQuizXmlDatabase::sharedFastQuiz(); }

    int m_nextId = 0;
};

StudentEntity sessionStudent(const QString &id, const QString &first, const QString &last, int device)
{
    StudentEntity s;
    s.setId(id);
    s.setFirstName(first);
    s.setLastName(last);
    s.setDeviceNo(device);
    return s;
}

// The normal quiz of the golden case session-full.
QuizEntity normalQuiz()
{
    QuizEntity quiz;
    quiz.setDate(QStringLiteral("2012-03-23T14:07:09"));
    quiz.setName("Quiz1");
    quiz.setTitle("Week 3");
    quiz.setActionType("1");
    quiz.setMachineName("2");
    quiz.setClassName("Class A");
    quiz.setSubject("Maths & Art");
    quiz.setTeacherName("Mary Smith");
    quiz.setSessionType("Exam");
    quiz.setStartTime("2012-03-23T14:00:00");
    quiz.setTimeElapsed(420);
    QuestionEntity q;
    q.setQuType("1");
    q.setQuMode("1");
    q.setRightAns("A");
    q.setLevel("2");
    q.setTitle("2 < 3?");
    QuestionOptionEntity yes, no;
    yes.setText("Yes");
    yes.setPoint(10);
    no.setText("No");
    q.allOptions() << yes << no;
    quiz.allQuestions() << q;
    ResponseDataEntity a;
    a.setStudentID("S001");
    a.setQuestionID("1");
    a.setResponse("A");
    a.setTime(5);
    a.setStudentPoint("10");
    quiz.allStudentsAns() << a;
    StudentEntity ann = sessionStudent("S001", "Ann", "Lee", 3);
    ann.setLoginTime("2012-03-23T14:01:00");
    quiz.allStudents() << ann;
    return quiz;
}

QuizEntity attendance()
{
    QuizEntity quiz;
    quiz.setDate(QStringLiteral("2012-03-23T14:07:09"));
    quiz.setActionType("13");
    quiz.setMachineName("2");
    quiz.setClassName("Class A");
    quiz.setSessionType("Attendance");
    quiz.allStudents() << sessionStudent("S001", "Ann", "Lee", 3) << sessionStudent("S002", "Bo", "", 4);
    RollCallEntity r;
    r.setAbsenceStu("S002");
    quiz.allRollCall() << r;
    return quiz;
}
} // namespace

TEST_F(SessionStoreTest, FirstWriteMatchesTheFileFormatAndTheIndexShowsTheDefaults)
{
    QuizEntity quiz = normalQuiz();
    QString path;
    ASSERT_TRUE(TovQuizXmlDatabase().addQuizWithName("Quiz1", quiz, &path));
    EXPECT_EQ(path, quizFolder() + "Quiz12012-03-23T14:07:09.xml");
    EXPECT_EQ(readFile(path), sessionGolden("session-full"));
    EXPECT_EQ(quiz.totalMark(), " ");
    EXPECT_EQ(quiz.endTime(), "2012-03-23T14:07:09");

    const TovSessionXmlParsedResult *entry = index()->session_resultByPath(path);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->ID(), "0a1b2c3d-0000-4000-8000-000000000001");
    EXPECT_EQ(entry->TotalMark(), " ");
    EXPECT_EQ(entry->EndTime(), "2012-03-23T14:07:09");
    EXPECT_EQ(entry->Subject(), "Maths & Art");
    EXPECT_EQ(entry->flag(), 1);
    EXPECT_EQ(GlobalFunctions::getIDOfXmlQuizFile(path), entry->ID());
}

TEST_F(SessionStoreTest, NewRecordsWriteTheirInitialValues)
{
    QuizEntity quiz;
    quiz.setDate(QStringLiteral("2012-03-23T14:07:09"));
    quiz.allStudents() << StudentEntity();
    quiz.allQuestions() << QuestionEntity();
    QString path;
    ASSERT_TRUE(TovQuizXmlDatabase().addQuizWithName("", quiz, &path));
    EXPECT_EQ(QFileInfo(path).fileName(), " 2012-03-23T14:07:09.xml");
    const QByteArray bytes = readFile(path);
    for (const char *piece : {"<PassGrade>60</PassGrade>", "<Groups>0</Groups>", "<TimeElapsed>0</TimeElapsed>",
                              "<No>1</No><Timer>30</Timer><Point>10</Point>", "<FOption>10</FOption>",
                              "<Student><ID></ID><FName></FName><LName></LName><DNo>0</DNo><GNo>1</GNo>"})
        EXPECT_TRUE(bytes.contains(piece)) << piece;
}

TEST_F(SessionStoreTest, AttendanceKeepsStudentsAndRollCallThroughAReadBack)
{
    QuizEntity quiz = attendance();
    QString path;
    ASSERT_TRUE(TovQuizXmlDatabase().addQuizWithName("", quiz, &path));
    EXPECT_EQ(readFile(path), sessionGolden("session-attendance"));

    TovQuizXmlDatabase store;
    EXPECT_FALSE(store.getQuizInfoIsCorseGrade(path));
    const std::optional<QuizEntity> back = store.getQuizInfoAll(path);
    ASSERT_TRUE(back.has_value());
    ASSERT_EQ(back->allStudents().size(), 2);
    EXPECT_EQ(back->allStudents()[1].id(), "S002");
    ASSERT_EQ(back->allRollCall().size(), 1);
    EXPECT_EQ(back->allRollCall()[0].AbsenceStu(), "S002");
    EXPECT_EQ(back->actionType(), "13");

    index()->reloadQuiz();
    ASSERT_EQ(index()->allSessionXmlParsedResults().size(), 1);
    EXPECT_FALSE(index()->allSessionXmlParsedResults()[0].isCoureGrade());
    EXPECT_EQ(index()->allSessionXmlParsedResults()[0].Type(), "Attendance");
}

TEST_F(SessionStoreTest, AttendanceWithoutRollCallOrDateStillSaves)
{
    QuizEntity quiz = attendance();
    quiz.allRollCall().clear();
    quiz.setDate(QStringLiteral(""));
    QString path;
    ASSERT_TRUE(TovQuizXmlDatabase().addQuizWithName("Roll", quiz, &path));
    EXPECT_EQ(path, quizFolder() + "Roll2012-03-23T14:07:09.xml");
    EXPECT_TRUE(readFile(path).endsWith("</Students><Rollcalls></Rollcalls></Session>"));
    const QuizEntity back = *TovQuizXmlDatabase().getQuizInfoAll(path);
    EXPECT_EQ(back.allStudents().size(), 2);
    EXPECT_TRUE(back.allRollCall().isEmpty());
}

TEST_F(SessionStoreTest, NamesStayInTheFolderAndNeverReplaceAFile)
{
    QuizEntity a = normalQuiz(), b = normalQuiz(), c = normalQuiz();
    QString first, second, third;
    ASSERT_TRUE(TovQuizXmlDatabase().addQuizWithName("Quiz1", a, &first));
    ASSERT_TRUE(TovQuizXmlDatabase().addQuizWithName("Quiz1", b, &second));
    EXPECT_EQ(second, quizFolder() + "Quiz12012-03-23T14:07:09 (2).xml");
    EXPECT_EQ(GlobalFunctions::getIDOfXmlQuizFile(first), "0a1b2c3d-0000-4000-8000-000000000001");
    ASSERT_TRUE(TovQuizXmlDatabase().addQuizWithName(QStringLiteral("../x\\y") + QChar(0) + "z", c, &third));
    EXPECT_EQ(third, quizFolder() + ".._x_y_z2012-03-23T14:07:09.xml");
    EXPECT_EQ(index()->allSessionXmlParsedResults().size(), 3);
}

TEST_F(SessionStoreTest, RewriteKeepsTheIdRenewsQuestionIdsAndFillsLoginTimes)
{
    QuizEntity quiz = normalQuiz();
    quiz.allStudents()[0].setLoginTime("");
    StudentEntity idle = sessionStudent("S002", "Bo", "", 4);
    quiz.allStudents() << idle;
    ResponseDataEntity none;
    none.setStudentID("S002");
    none.setQuestionID("1");
    none.setResponse("__");
    quiz.allStudentsAns() << none;
    QString path;
    ASSERT_TRUE(TovQuizXmlDatabase().addQuizWithName("Quiz1", quiz, &path));

    TovQuizXmlDatabase store;
    QuizEntity loaded = *store.getQuizInfoAll(path);
    EXPECT_EQ(loaded.date().toDateTime(), QDateTime(QDate(2012, 3, 23), QTime(0, 0), Qt::OffsetFromUTC, 8 * 3600));
    EXPECT_EQ(loaded.endTime(), "2012-03-23T14:07:09");
    EXPECT_EQ(loaded.allQuestions()[0].allOptions()[1].optionID(), 1);
    loaded.setTitle("Week 4");
    ASSERT_TRUE(store.upDataQuizForReport(path, loaded));

    const QByteArray bytes = readFile(path);
    EXPECT_EQ(GlobalFunctions::getIDOfXmlQuizFile(path), "0a1b2c3d-0000-4000-8000-000000000001");
    EXPECT_TRUE(bytes.contains("<Question><ID>0a1b2c3d-0000-4000-8000-000000000003</ID>"));
    EXPECT_TRUE(bytes.contains("<DateCreated>2012-03-23T00:00:00</DateCreated>"));
    EXPECT_TRUE(bytes.contains("<EndTime>2012-03-23T14:07:09</EndTime><TimeElapsed>420</TimeElapsed>"));
    EXPECT_TRUE(bytes.contains("<ID>S001</ID><FName>Ann</FName><LName>Lee</LName><DNo>3</DNo><GNo>1</GNo>"
                               "<LTime>2012-03-23T14:00:00</LTime></Student>"));
    EXPECT_TRUE(bytes.contains("<ID>S002</ID><FName>Bo</FName><LName></LName><DNo>4</DNo><GNo>1</GNo><LTime></LTime></Student>"));
    EXPECT_EQ(store.getQuizMessage(path), "Week 41");

    const TovSessionXmlParsedResult *entry = index()->session_resultByPath(path);
    EXPECT_EQ(entry->Title(), "Week 4");
    EXPECT_EQ(entry->DateCreated(), "2012-03-23T00:00:00");
    index()->reloadQuiz();
    EXPECT_EQ(index()->session_resultByPath(path)->DateCreated(), "2012-03-23T00:00:00");
}

TEST_F(SessionStoreTest, FailedWritesLeaveTheFileAndTheIndexAsTheyWere)
{
    QuizEntity quiz = normalQuiz();
    failWritesTo(quizFolder());
    EXPECT_FALSE(TovQuizXmlDatabase().addQuizWithName("Quiz1", quiz));
    EXPECT_TRUE(index()->allSessionXmlParsedResults().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(quizFolder() + "Quiz12012-03-23T14:07:09.xml"));
    allowWrites();

    QString path;
    ASSERT_TRUE(TovQuizXmlDatabase().addQuizWithName("Quiz1", quiz, &path));
    const QByteArray before = readFile(path);
    QuizEntity edited = *TovQuizXmlDatabase().getQuizInfoAll(path);
    edited.setTitle("Changed");
    failWritesTo(quizFolder());
    EXPECT_FALSE(TovQuizXmlDatabase().upDataQuizForReport(path, edited));
    EXPECT_EQ(readFile(path), before);
    EXPECT_EQ(index()->session_resultByPath(path)->Title(), "Week 3");
}

TEST_F(SessionStoreTest, OnAFullDiskNothingChangesAndTheReasonIsGiven)
{
    POLLIX_ON_SMALL_DISK(.kilobytes = 256);
    QuizEntity quiz = normalQuiz();
    QString path, why;
    ASSERT_TRUE(TovQuizXmlDatabase().addQuizWithName("Quiz1", quiz, &path));
    const QByteArray before = readFile(path);
    ASSERT_TRUE(SmallDisk::fill());

    EXPECT_FALSE(TovQuizXmlDatabase().addQuizWithName("Quiz2", quiz, nullptr, &why));
    EXPECT_TRUE(why.contains("No space left", Qt::CaseInsensitive)) << why.toStdString();
    EXPECT_EQ(QDir(quizFolder()).entryList(QDir::Files), QStringList{QFileInfo(path).fileName()});
    EXPECT_EQ(index()->allSessionXmlParsedResults().size(), 1);

    QuizEntity edited = *TovQuizXmlDatabase().getQuizInfoAll(path);
    edited.setTitle("Changed");
    why.clear();
    EXPECT_FALSE(TovQuizXmlDatabase().upDataQuizForReport(path, edited, &why));
    EXPECT_FALSE(why.isEmpty());
    EXPECT_EQ(readFile(path), before);
    EXPECT_EQ(index()->session_resultByPath(path)->Title(), "Week 3");
}

TEST_F(SessionStoreTest, DeleteRemovesFileThenEntry)
{
    QuizEntity quiz = normalQuiz();
    QString path;
    ASSERT_TRUE(TovQuizXmlDatabase().addQuizWithName("Quiz1", quiz, &path));
    const QString copy = quizFolder() + "copy.xml";
    EXPECT_TRUE(TovQuizXmlDatabase().copyFileFrom(path, copy));
    EXPECT_EQ(readFile(copy), readFile(path));
    EXPECT_TRUE(TovQuizXmlDatabase().deleteQuizWithName(path));
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_EQ(index()->session_resultByPath(path), nullptr);
    EXPECT_FALSE(TovQuizXmlDatabase().getQuizInfoAll(path).has_value());
    EXPECT_EQ(TovQuizXmlDatabase().getQuizMessage(path), "");
}

TEST_F(SessionStoreTest, ReadsOlderAndPointsOnlyShapes)
{
    const QString older = writeFile("Data/Quiz/old.xml",
                                    "<Session>\n  <ID>3d7c210-b4e-4a5-8f0-6c21d9e331</ID>\n  <Title>Week 3</Title>\n"
                                    "  <DateCreated>junk</DateCreated>\n  <TotalMark>5</TotalMark>\n"
                                    "  <Students>\n    <Student><ID>S9</ID><Name>Solo</Name><DNo>x</DNo></Student>\n"
                                    "  </Students>\n</Session>\n");
    TovQuizXmlDatabase store;
    QuizEntity old = *store.getQuizInfoAll(older);
    EXPECT_EQ(old.actNo(), "3d7c210-b4e-4a5-8f0-6c21d9e331");
    EXPECT_EQ(old.allStudents()[0].firstName(), "Solo");
    EXPECT_TRUE(old.allStudents()[0].lastName().isNull());
    EXPECT_EQ(old.allStudents()[0].deviceNo(), 0);
    EXPECT_EQ(old.date().toString(), "junk");
    EXPECT_EQ(store.getQuizMessage(older), "Week 30");

    const QString points = writeFile("Data/CourseGrade/Grades.xml", golden("session-points-only", "input.xml"));
    EXPECT_TRUE(store.getQuizInfoIsCorseGrade(points));
    QuizEntity grades = *store.getQuizInfoAll(points);
    EXPECT_EQ(grades.allStudents()[0].id(), "S001");
    EXPECT_EQ(grades.allStudents()[0].firstName(), "Ann");
    EXPECT_EQ(grades.allStudents()[0].lastName(), "Lee");
    EXPECT_EQ(grades.allStudents()[0].totalMark(), "87");
    EXPECT_EQ(grades.totalMark(), "100");
    EXPECT_EQ(grades.date().toDateTime(), QDateTime(QDate(2012, 3, 5), QTime(0, 0), Qt::OffsetFromUTC, 8 * 3600));
}

TEST_F(SessionStoreTest, BlankValuesSurviveALoadAndRewrite)
{
    QuizEntity quiz = normalQuiz();
    quiz.setTitle("");
    quiz.allStudentsAns()[0].setResponse(" ");
    QString path;
    ASSERT_TRUE(TovQuizXmlDatabase().addQuizWithName("Quiz1", quiz, &path));
    TovQuizXmlDatabase store;
    QuizEntity loaded = *store.getQuizInfoAll(path);
    EXPECT_EQ(loaded.title(), " ");
    EXPECT_EQ(loaded.totalMark(), " ");
    EXPECT_EQ(loaded.allStudentsAns()[0].response(), " ");
    ASSERT_TRUE(store.upDataQuizForReport(path, loaded));
    const QByteArray bytes = readFile(path);
    EXPECT_TRUE(bytes.contains("<TotalMark> </TotalMark><Questions>"));
    EXPECT_TRUE(bytes.contains("<Reply> </Reply>"));
    index()->reloadQuiz();
    EXPECT_EQ(index()->session_resultByPath(path)->TotalMark(), " ");
}

// The extra points a group run gave its groups come last, in an element of their own that only a
// group given some brings; every other reader of the file (the index's header scan, the
// gradebook's points) reads such a file as the same file without it.
TEST_F(SessionStoreTest, GroupsExtraPointsAreKeptLastAndOtherReadersPassThemOver)
{
    struct Case
    {
        const char *name;
        QList<std::pair<int, QString>> given; // group, extra points as the record holds them
        const char *golden;
        QMap<int, int> kept;
    };
    const QList<Case> cases{
        {"none", {}, "session-full", {}},
        {"none but zeros", {{2, "0"}, {1, ""}}, "session-full", {}},
        {"given", {{2, "25"}, {1, "0"}, {3, "4"}, {3, "6"}}, "session-group-extra", {{2, 25}, {3, 10}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QuizEntity quiz = normalQuiz();
        if (!c.kept.isEmpty())
            quiz.setGroup(3);
        for (const auto &[group, points] : c.given) {
            GroupEntity g;
            g.setGroupNo(group);
            g.setAppendMark(points);
            quiz.allGroups() << g;
        }
        m_nextId = 0;
        QString path;
        ASSERT_TRUE(TovQuizXmlDatabase().addQuizWithName("Quiz1", quiz, &path));
        EXPECT_EQ(readFile(path), sessionGolden(c.golden));

        TovQuizXmlDatabase store;
        QuizEntity loaded = *store.getQuizInfoAll(path);
        EXPECT_EQ(loaded.groupAppendPoints(), c.kept);
        EXPECT_EQ(DataManager::getAppendMarkByGroupNo(2, loaded), c.kept.value(2));
        EXPECT_EQ(DataManager::getAppendMarkByGroupNo(1, loaded), 0);
        EXPECT_TRUE(store.readsBackAs(path, quiz));
        // An edit of the session keeps them.
        loaded.setTitle("Week 4");
        ASSERT_TRUE(store.upDataQuizForReport(path, loaded));
        EXPECT_EQ(store.getQuizInfoAll(path)->groupAppendPoints(), c.kept);
        EXPECT_TRUE(store.readsBackAs(path, loaded));
        QuizEntity other = loaded;
        other.setGroupAppendPoints({{2, 26}});
        EXPECT_FALSE(store.readsBackAs(path, other)) << "a read-back compares the extra points";

        // The header and the points read as those of the same file without the element.
        const QByteArray bytes = readFile(path);
        const qsizetype at = bytes.indexOf("<AppendPoints>");
        const QString plain = writeFile("plain.xml", at < 0 ? bytes : bytes.left(at) + "</Session>");
        TovSessionXmlParsedResult withExtra, without;
        ASSERT_TRUE(withExtra.parseXMLFile(path));
        ASSERT_TRUE(without.parseXMLFile(plain));
        EXPECT_EQ(withExtra.damage(), "");
        EXPECT_EQ(withExtra.description(), without.description());
        const std::optional<SessionPoints> points = DataManager::getStudentPointsAtPath(path);
        ASSERT_TRUE(points);
        EXPECT_EQ(points->points(), DataManager::getStudentPointsAtPath(plain)->points());
        EXPECT_TRUE(store.getQuizInfoAll(plain)->groupAppendPoints().isEmpty());
        ASSERT_TRUE(store.deleteQuizWithName(path));
    }
}

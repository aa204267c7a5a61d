#include "StoreTestBase.h"

#include "core/store/DataManager.h"

#include <QDir>

namespace {

// A session file of the full form with the header fields that the queries read.
struct Header
{
    QString id, name = "Quiz", mode = "1", created = "2012-03-23T10:45:32", started = "2012-03-23T10:45:32";
    QString className = "Class A", subject = "Science", teacher = "Mary Smith", type = "Quiz", totalMark = "10";
};

QByteArray escaped(const QString &s)
{
    return s.toHtmlEscaped().toUtf8();
}

QByteArray fullSession(const Header &h, const QList<int> &points, int students, const QByteArray &questions = {})
{
    QByteArray out = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Session><ID>" + escaped(h.id) +
                     "</ID><Version>1.0</Version><DateCreated>" + escaped(h.created) + "</DateCreated><Name>" +
                     escaped(h.name) + "</Name><Title>T</Title><Mode>" + escaped(h.mode) +
                     "</Mode><Model>3</Model><PassGrade>60</PassGrade><ClassName>" + escaped(h.className) +
                     "</ClassName><Subject>" + escaped(h.subject) + "</Subject><TeacherName>" + escaped(h.teacher) +
                     "</TeacherName><Groups>0</Groups><Type>" + escaped(h.type) + "</Type><StartTime>" +
                     escaped(h.started) + "</StartTime><EndTime></EndTime><TimeElapsed>0</TimeElapsed><TotalMark>" +
                     escaped(h.totalMark) + "</TotalMark><Questions>" + questions + "</Questions><StuentAnswers>";
    for (int p : points)
        out += "<SAnswer><SID>S1</SID><QNo>1</QNo><Reply>A</Reply><RTime>1</RTime><Point>" + QByteArray::number(p) +
               "</Point></SAnswer>";
    out += "</StuentAnswers><Students>";
    for (int i = 1; i <= students; ++i)
        out += "<Student><ID>S" + QByteArray::number(i) + "</ID><FName>F</FName><LName>L</LName><DNo>" +
               QByteArray::number(i) + "</DNo><GNo>1</GNo><LTime>x</LTime><Misc></Misc></Student>";
    return out + "</Students></Session>";
}

// A points-only session file; marks are the students' TotalMark values.
QByteArray pointsOnlySession(const Header &h, const QList<int> &marks)
{
    QByteArray out = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Session><ID>" + escaped(h.id) +
                     "</ID><DateCreated>" + escaped(h.created) + "</DateCreated><Name>" + escaped(h.name) +
                     "</Name><Title> </Title><Mode>1</Mode><Model>2</Model><PassGrade>60</PassGrade><ClassName>" +
                     escaped(h.className) + "</ClassName><Subject>" + escaped(h.subject) + "</Subject><TeacherName>" +
                     escaped(h.teacher) + "</TeacherName><Groups>0</Groups><Type>" + escaped(h.type) +
                     "</Type><TotalMark>" + escaped(h.totalMark) + "</TotalMark><StartTime>" + escaped(h.started) +
                     "</StartTime><Students>";
    for (qsizetype i = 0; i < marks.size(); ++i) {
        const QByteArray n = QByteArray::number(i + 1);
        out += "<Student><SID>P" + n + "</SID><Name>N</Name><LastName>Last" + n + "</LastName><TotalMark>" +
               QByteArray::number(marks[i]) + "</TotalMark></Student>";
    }
    return out + "</Students></Session>";
}

class DataManagerTest : public StoreTestBase
{
protected:
    void session(const QString &name, const QByteArray &bytes) { writeFile("Data/Quiz/" + name + ".xml", bytes); }
    void pointsOnly(const QString &name, const QByteArray &bytes) { writeFile("Data/CourseGrade/" + name + ".xml", bytes); }
    static QStringList names(const std::optional<QList<SessionSelect>> &rows)
    {
        QStringList out;
        for (const SessionSelect &r : rows.value_or(QList<SessionSelect>()))
            out << r.session();
        return out;
    }
    static std::optional<QList<SessionSelect>> pick(const QString &from, const QString &to,
                                                    const QString &className = "Class A",
                                                    const QString &subject = "Science")
    {
        return DataManager::getAllQuizsWhereClassName(className, subject, "Mary Smith", from, to);
    }
};

} // namespace

// ---- Loading ----

TEST_F(DataManagerTest, LoadByIdReadsEitherFolderInItsOwnForm)
{
    EXPECT_FALSE(DataManager::getQuizWhereActNoIs("a").has_value()) << "neither folder exists";
    writeFile("Data/Quiz/sub/Counts.xml", testData("store/counts/input.xml"));
    Header h;
    h.id = "p-1";
    h.name = "Grades";
    h.created = "2012-03-05T14:07:09";
    pointsOnly("Grades", pointsOnlySession(h, {87, 55}));

    const QuizEntity full = *DataManager::getQuizWhereActNoIs("5e55-10-4-8-c0c0");
    EXPECT_EQ(full.actNo(), "5e55-10-4-8-c0c0");
    EXPECT_EQ(full.actionType(), "Normal Quiz");
    EXPECT_EQ(full.date().toDateTime(), QDateTime(QDate(2012, 3, 23), QTime(10, 45, 32), Qt::OffsetFromUTC, 8 * 3600));
    EXPECT_EQ(full.allQuestions().size(), 2);
    EXPECT_EQ(full.allQuestions()[0].allOptions().size(), 2);
    EXPECT_EQ(full.allQuestions()[0].standard()->code(), "S.1");
    EXPECT_EQ(full.allStudentsAns().size(), 8);
    EXPECT_EQ(full.allStudents().size(), 5);
    EXPECT_EQ(full.startTime(), "2012-03-23T10:40:00");

    const QuizEntity points = *DataManager::getQuizWhereActNoIs("p-1");
    EXPECT_EQ(points.date().toDateTime(), QDateTime(QDate(2012, 3, 5), QTime(0, 0), Qt::OffsetFromUTC, 8 * 3600));
    EXPECT_EQ(points.startTime(), "") << "a points-only session shows no start time";
    ASSERT_EQ(points.allStudents().size(), 2);
    EXPECT_EQ(points.allStudents()[1].id(), "P2");
    EXPECT_EQ(points.allStudents()[1].lastName(), "Last2");
    EXPECT_EQ(points.allStudents()[1].totalMark(), "55");
    EXPECT_TRUE(points.allQuestions().isEmpty());

    const std::optional<QuizEntity> none = DataManager::getQuizWhereActNoIs("5E55-10-4-8-C0C0");
    ASSERT_TRUE(none.has_value()) << "IDs are compared exactly";
    EXPECT_EQ(none->name(), "");
    EXPECT_TRUE(none->allStudents().isEmpty());
}

TEST_F(DataManagerTest, SharedIdsUnreadableFilesAndLateIdsDoNotMixSessions)
{
    Header h;
    h.id = "same";
    h.name = "Full";
    session("a", fullSession(h, {10}, 1, "<Question><No>1</No><CAnswer>A</CAnswer></Question>"));
    h.name = "Points";
    pointsOnly("b", pointsOnlySession(h, {70}));
    // Carries the ID but is cut off: passed over, not the end of the search.
    pointsOnly("c", "<?xml version=\"1.0\"?>\n<Session><ID>same</ID><Name>Broken");
    // Its ID closes beyond the first 255 bytes: never found by ID.
    session("late", "<Session><!--" + QByteArray(260, '-') + "--><ID>late</ID></Session>");

    const QuizEntity got = *DataManager::getQuizWhereActNoIs("same");
    EXPECT_EQ(got.name(), "Points");
    EXPECT_TRUE(got.allQuestions().isEmpty()) << "the later file replaces the whole record";
    EXPECT_TRUE(got.allStudentsAns().isEmpty());
    EXPECT_EQ(DataManager::getQuizWhereActNoIs("late")->name(), "");

    // Callers holding a listed row open the row's own file.
    EXPECT_EQ(DataManager::getQuizAtPath(home() + "Data/Quiz/a.xml")->name(), "Full");
    EXPECT_EQ(DataManager::getQuizAtPath(home() + "Data/Quiz/a.xml")->allQuestions().size(), 1);
    QString why;
    EXPECT_FALSE(DataManager::getQuizAtPath(home() + "Data/CourseGrade/c.xml", &why).has_value());
    EXPECT_FALSE(why.isEmpty());

    QStringList dates = DataManager::getElementByTag("DateCreated");
    EXPECT_EQ(dates, (QStringList{"2012-03-23T10:45:32", "2012-03-23T10:45:32"}));
}

TEST_F(DataManagerTest, CodeTables)
{
    EXPECT_EQ(DataManager::getActModeNameByActModeNo(3), "Homework");
    EXPECT_EQ(DataManager::getActModeNameByActModeNo(15), "Vote");
    for (int code : {0, 7, 12, 16, 20, -1})
        EXPECT_TRUE(DataManager::getActModeNameByActModeNo(code).isNull()) << code;
    EXPECT_EQ(DataManager::getActModeNoByName("Homework"), 3);
    EXPECT_EQ(DataManager::getActModeNoByName("3"), 3);
    EXPECT_EQ(DataManager::getActModeNoByName("HomeWork"), -1);
    EXPECT_EQ(DataManager::getActModeNoByName("Quick Grouping"), 14);
    for (int code : {1, 2, 3, 4, 5, 6, 13, 14, 15})
        EXPECT_EQ(DataManager::getActModeNoByName(DataManager::getActModeNameByActModeNo(code)), code);
    EXPECT_EQ(DataManager::getQuTypeNoByName("5"), 5);
    EXPECT_EQ(DataManager::getQuTypeNoByName("True or False"), 5);
    EXPECT_EQ(DataManager::getQuTypeNoByName("Cloze Test"), 3);
    EXPECT_EQ(DataManager::getQuTypeNoByName("Teaching Plan"), -1);
    EXPECT_EQ(DataManager::getQuTypeNoByName("0"), -1);
    EXPECT_EQ(DataManager::getMachineName("3"), 3);
    EXPECT_EQ(DataManager::getMachineName("0"), 0);
    EXPECT_EQ(DataManager::getMachineName("5"), -1);

    Header h;
    h.id = "free";
    h.mode = "20";
    session("free", fullSession(h, {}, 0));
    EXPECT_TRUE(DataManager::getQuizWhereActNoIs("free")->actionType().isNull());
}

// ---- Counts ----

TEST_F(DataManagerTest, CountsOverALoadedSession)
{
    writeFile("Data/Quiz/Counts.xml", testData("store/counts/input.xml"));
    const QuizEntity quiz = *DataManager::getQuizWhereActNoIs("5e55-10-4-8-c0c0");
    const QuestionEntity &q1 = *DataManager::getQuestionByQuNo(1, quiz);
    const QuestionEntity &q2 = *DataManager::getQuestionByQuNo(2, quiz);
    EXPECT_EQ(DataManager::getQuestionByQuNo(9, quiz), nullptr);
    EXPECT_EQ(DataManager::getAllOptionsOfOneQuestion(q2).size(), 2);

    EXPECT_EQ(DataManager::getSpecifiedAnsOfOneQuestion(q1, "B", quiz), 2) << "QNo 01 is not question 1";
    // True or false: option letters count against stored "True" and "False"; "F" only as itself.
    EXPECT_EQ(DataManager::getSpecifiedAnsOfOneQuestion(q2, "A", quiz), 1);
    EXPECT_EQ(DataManager::getSpecifiedAnsOfOneQuestion(q2, " t ", quiz), 1);
    EXPECT_EQ(DataManager::getSpecifiedAnsOfOneQuestion(q2, "B", quiz), 1);
    EXPECT_EQ(DataManager::getSpecifiedAnsOfOneQuestion(q2, "F", quiz), 1);
    EXPECT_EQ(DataManager::getSpecifiedAnsOfOneQuestion(q2, "C", quiz), 0);
    EXPECT_EQ(DataManager::getCountOfSpecifiedAnsInOneQuestion(q1, "C", "S1", quiz), 1);
    EXPECT_EQ(DataManager::getCountOfSpecifiedAnsInOneQuestion(q2, "A", "S1", quiz), 0) << "no true-or-false rewriting";

    const auto ids = [](const QList<StudentEntity> &list) {
        QStringList out;
        for (const StudentEntity &s : list)
            out << s.id();
        return out;
    };
    // S3 and S5 answered without a login time: in neither list.
    EXPECT_EQ(ids(DataManager::getAttendStudentInfoInOneQuiz(quiz)), (QStringList{"S1", "S2"}));
    EXPECT_EQ(ids(DataManager::getAbsentStudentInfoInOneQuiz(quiz)), QStringList{"S4"});
    QuizEntity built = quiz;
    built.allStudents()[2].setLoginTime(QString());
    built.allStudents()[3].setLoginTime(QString());
    EXPECT_EQ(ids(DataManager::getAttendStudentInfoInOneQuiz(built)), (QStringList{"S1", "S2", "S3"}));
    EXPECT_EQ(ids(DataManager::getAbsentStudentInfoInOneQuiz(built)), QStringList{"S4"});

    int points = -1;
    EXPECT_EQ(DataManager::getCorrectCountOfOneQuiz(quiz, "S1", &points), 2);
    EXPECT_EQ(points, 15) << "only the first answer to question 1 counts";
    EXPECT_EQ(DataManager::getTotalPointInQuizWhichStuIDIs("S1", quiz), 15.0f);
    EXPECT_EQ(DataManager::getCorrectCountOfOneQuiz(quiz, "S4", &points), 0);
    EXPECT_EQ(points, 0);
    EXPECT_EQ(DataManager::getTotalPointInQuizWhichStuIDIs("S4", quiz), 0.0f);

    QuizEntity graded;
    StudentEntity s;
    s.setId("P1");
    s.setTotalMark("87.5");
    graded.allStudents() << s;
    EXPECT_EQ(DataManager::getTotalPointInQuizWhichStuIDIs("P1", graded), 87.5f);
    EXPECT_EQ(DataManager::getTotalPointInQuizWhichStuIDIs("P9", graded), 0.0f);
}

// ---- Gradebook ----

TEST_F(DataManagerTest, PickerTakesTheStartDayWithBothEndsOfTheRangeIncluded)
{
    for (const auto &[file, name, created, started] :
         {std::tuple{"a", "Last day", "2012-03-23T10:45:32", "2012-03-31T09:00:00"},
          std::tuple{"b", "Day after", "2012-03-23T10:45:32", "2012-04-01T09:00:00"},
          std::tuple{"c", "Created before, started on the first day", "2012-02-29T23:59:00", "2012-03-01T00:00:01"}}) {
        Header h;
        h.name = name;
        h.created = created;
        h.started = started;
        session(file, fullSession(h, {}, 1));
    }

    QStringList got = names(pick("2012-03-01", "2012-03-31"));
    got.sort();
    EXPECT_EQ(got, (QStringList{"Created before, started on the first day", "Last day"}));
    const QList<SessionSelect> rows = *pick("2012-03-01", "2012-03-01");
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].date(), "2012-02-29") << "the row shows the day it was created";
    EXPECT_EQ(rows[0].flag(), 1);
    EXPECT_EQ(rows[0].filePath(), home() + "Data/Quiz/c.xml");
    EXPECT_FALSE(pick("2012-02-29", "2012-02-29").has_value()) << "no course-grade folder and no session";
}

TEST_F(DataManagerTest, PickerLeavesOutSessionsWithoutPointsOrWithoutAnyDay)
{
    Header h;
    for (const char *mode : {"9", "10", "13", "15", "20"}) {
        h.name = QString("Mode ") + mode;
        h.mode = mode;
        session(h.name, fullSession(h, {}, 1));
    }
    h.mode = "1";
    h.name = "Other class";
    h.className = "class a";
    session("case", fullSession(h, {}, 1));
    h.className = "Class A";
    h.name = "No start";
    h.started = "";
    session("nostart", fullSession(h, {}, 1));
    h.name = "No day at all";
    h.created = "";
    session("noday", fullSession(h, {}, 1));

    QStringList got = names(pick("2012-03-23", "2012-03-23"));
    got.sort();
    EXPECT_EQ(got, (QStringList{"Mode 20", "No start"}));
    got = names(pick("0001-01-01", "9999-12-31"));
    EXPECT_FALSE(got.contains("No day at all"));
    EXPECT_FALSE(pick("2012-03-23", "not a day").has_value());
}

TEST_F(DataManagerTest, PickerAveragesAndPointsOnlyRowsComeLast)
{
    Header h;
    h.subject = "Maths & Art";
    h.name = "Three";
    h.totalMark = "20";
    session("three", fullSession(h, {10, 4, 0}, 3));
    h.name = "Empty";
    session("empty", fullSession(h, {}, 0));
    h.name = "Graded";
    h.id = "g";
    h.created = "2012-03-23T08:00:00";
    h.started = "2012-05-01T08:00:00"; // not what a points-only session is picked by
    pointsOnly("graded", pointsOnlySession(h, {90, 75}));

    const QList<SessionSelect> rows = *pick("2012-03-23", "2012-03-23", "Class A", "Maths & Art");
    ASSERT_EQ(rows.size(), 3);
    QMap<QString, SessionSelect> byName;
    for (const SessionSelect &r : rows)
        byName.insert(r.session(), r);
    // Unrounded: 14 / 3, not the 4.7 the picker shows.
    EXPECT_FLOAT_EQ(byName["Three"].avg(), 14.0f / 3.0f);
    EXPECT_EQ(byName["Three"].totalStudents(), 3);
    EXPECT_EQ(byName["Three"].points(), 20);
    EXPECT_EQ(byName["Three"].subjectName(), "Maths & Art");
    EXPECT_EQ(byName["Empty"].avg(), 0.0f);
    EXPECT_EQ(rows.last().session(), "Graded");
    EXPECT_EQ(rows.last().flag(), 2);
    EXPECT_EQ(rows.last().actID(), "g");
    EXPECT_FLOAT_EQ(rows.last().avg(), 82.5f);

    QDir(home() + "Data/Quiz").removeRecursively();
    const std::optional<QList<SessionSelect>> onlyPoints = pick("2013-01-01", "2013-01-01", "Class A", "Maths & Art");
    ASSERT_TRUE(onlyPoints.has_value()) << "the points-only folder exists";
    EXPECT_TRUE(onlyPoints->isEmpty());
}

TEST_F(DataManagerTest, CourseGradesShareTheFirstKeptPeriod)
{
    EXPECT_FALSE(DataManager::getAllCourseGradeWherePeriod("--Select--", "All", "All").has_value());
    const auto grade = [](const char *title, const char *from, const char *to, const char *cls, const char *details) {
        return QByteArray("<CourseGrade><Period><PeriodTitle>") + title + "</PeriodTitle><PeriodFrom>" + from +
               "</PeriodFrom><PeriodTo>" + to + "</PeriodTo></Period><SubjectName>Science</SubjectName><ClassName>" +
               cls + "</ClassName><TeacherName>Mary Smith</TeacherName>" + details + "</CourseGrade>";
    };
    const QByteArray ann = "<Details><Detail><StudentID>S1</StudentID><StudentName>Ann Lee</StudentName>"
                           "<LetterGrade>A</LetterGrade><Point>91.5</Point></Detail></Details>";
    const QByteArray bo = "<Details><Detail><StudentID>S2</StudentID><StudentName>Bo</StudentName>"
                          "<LetterGrade>B</LetterGrade><Point>80</Point></Detail></Details>";
    writeFile("Data/CourseGrade.xml", "<?xml version=\"1.0\"?>\n<ArrayOfCourseGrade>" +
                                          grade("Fall", "2012-09-01", "2012-12-31", "Class A", ann + bo) +
                                          grade("Spring", "2013-01-01", "2013-06-30", "Class A", ann) +
                                          grade("Fall", "2012-09-01", "2012-12-31", "Class B", ann) +
                                          "</ArrayOfCourseGrade>");

    const QList<CourseGradeEntity> all = *DataManager::getAllCourseGradeWherePeriod("--Select--", "All", "All");
    ASSERT_EQ(all.size(), 2) << "Spring is another period than the first one kept";
    EXPECT_EQ(all[0].period().title(), "");
    EXPECT_EQ(all[1].className(), "Class B");
    ASSERT_EQ(all[0].allGradeDetails().size(), 1);
    EXPECT_EQ(all[0].allGradeDetails()[0].studentID(), "S2") << "the last Details element is kept";

    const QList<CourseGradeEntity> spring =
        *DataManager::getAllCourseGradeWherePeriod("Spring(2013-01-01~2013-06-30)", "Mary Smith", "Class A");
    ASSERT_EQ(spring.size(), 1);
    EXPECT_EQ(spring[0].period().unique_title(), "Spring(2013-01-01~2013-06-30)");
    EXPECT_FLOAT_EQ(spring[0].allGradeDetails()[0].mark(), 91.5f);
    EXPECT_TRUE(DataManager::getAllCourseGradeWherePeriod("--Select--", "Tom", "All")->isEmpty());
}

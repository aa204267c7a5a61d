#include "GradebookTestBase.h"

#include "core/store/TovGradeSessionsXmlDatabase.h"
#include "support/SmallDisk.h"

#include <limits>

namespace {
class CourseGradeStoreTest : public GradebookTestBase
{
protected:
    static TovGradeSessionsXmlDatabase *store() { return TovGradeSessionsXmlDatabase::sharedUI(); }
    static CourseGradeEntity grade(const QString &className, const QString &subject, const QString &teacher,
                                   const QString &periodTitle = "Fall", const QString &to = "2013-01-31")
    {
        CourseGradeEntity g;
        PeriodEntity p;
        p.setTitle(periodTitle);
        p.setDateFrom("2012-09-01");
        p.setDateTo(to);
        g.setPeriod(p);
        g.setClassName(className);
        g.setSubjectName(subject);
        g.setTeacherName(teacher);
        CourseGradeDetail d;
        d.setStudentID("S001");
        d.setStudentName("Ann Lee");
        d.setMark(85.4f);
        d.setLetterGrade("B");
        g.allGradeDetails() << d;
        return g;
    }
    static QStringList keys()
    {
        QStringList out;
        for (const CourseGradeEntity &g : store()->courseGradeList())
            out << QStringLiteral("%1 %2/%3/%4").arg(g.no()).arg(g.className(), g.subjectName(), g.teacherName());
        return out;
    }
};
} // namespace

TEST_F(CourseGradeStoreTest, CourseGradesRoundTripWithMarksInFiveDecimals)
{
    EXPECT_TRUE(store()->courseGradeList().isEmpty());
    EXPECT_EQ(dataFile("CourseGrade.xml"), xml("<AllCourseGrade></AllCourseGrade>"));
    CourseGradeEntity g = grade("7A", "Maths & Art", "Mary \"M\" Smith");
    CourseGradeDetail nan;
    nan.setStudentID("S002");
    nan.setStudentName("Bo");
    nan.setMark(std::numeric_limits<float>::quiet_NaN());
    g.allGradeDetails() << nan;
    ASSERT_TRUE(store()->addCourseGradeSession(g));
    EXPECT_EQ(g.no(), 1);
    EXPECT_EQ(dataFile("CourseGrade.xml"), golden("course-grade-one"));

    store()->loadGradeSessionList();
    ASSERT_EQ(keys(), QStringList{"1 7A/Maths & Art/Mary \"M\" Smith"});
    EXPECT_EQ(store()->courseGradeList().at(0).allGradeDetails().at(0).mark(), 85.4f);
    EXPECT_EQ(store()->periodList().at(0).unique_title(), "Fall(2012-09-01~2013-01-31)");
    EXPECT_TRUE(store()->periodByTitle("FALL(2012-09-01~2013-01-31)"));
}

TEST_F(CourseGradeStoreTest, TheKeyIgnoresCaseOfNamesButNotOfDays)
{
    CourseGradeEntity g = grade("7A", "Maths", "Kim");
    store()->addCourseGradeSession(g);
    EXPECT_TRUE(store()->existCourseGrade(grade("7a", "MATHS", "kim", "FALL")));
    EXPECT_FALSE(store()->existCourseGrade(grade("7A", "Maths", "Kim", "Fall", "2013-01-30")));

    // A replace moves the course grade to the end of the file and keeps its place in memory.
    CourseGradeEntity other = grade("8B", "Maths", "Kim");
    store()->addCourseGradeSession(other);
    CourseGradeEntity again = grade("7a", "Maths", "Kim");
    again.allGradeDetails()[0].setMark(90.0f);
    ASSERT_TRUE(store()->updateCourseGradeSession(again));
    EXPECT_EQ(keys(), (QStringList{"1 7a/Maths/Kim", "2 8B/Maths/Kim"}));
    const QByteArray file = dataFile("CourseGrade.xml");
    EXPECT_LT(file.indexOf("<ClassName>8B</ClassName>"), file.indexOf("<ClassName>7a</ClassName>"));
    EXPECT_FALSE(file.contains("<ClassName>7A</ClassName>"));

    CourseGradeEntity missing = grade("9C", "Maths", "Kim");
    EXPECT_FALSE(store()->updateCourseGradeSession(missing));
}

TEST_F(CourseGradeStoreTest, DeletingASubjectTakesOnlyThatClassAndTeacher)
{
    for (const auto &[c, t] : {std::pair{"7A", "Kim"}, {"8B", "Kim"}, {"7A", "Lee"}}) {
        CourseGradeEntity g = grade(c, "Maths", t);
        store()->addCourseGradeSession(g);
    }
    CourseGradeEntity art = grade("7A", "Art", "Kim");
    store()->addCourseGradeSession(art);
    ASSERT_TRUE(store()->deleteStudentGradeByPeriod("fall(2012-09-01~2013-01-31)", "maths", "7a", "KIM"));
    EXPECT_EQ(keys(), (QStringList{"1 8B/Maths/Kim", "2 7A/Maths/Lee", "3 7A/Art/Kim"}));
    EXPECT_FALSE(store()->deleteStudentGradeByPeriod("Fall(2012-09-01~2013-01-31)", "Maths", "7A", "Kim"));

    // The export read matches the subject exactly and the period ignoring case.
    EXPECT_EQ(store()->getStudentGradeByPeriod("FALL(2012-09-01~2013-01-31)", "Maths").size(), 2);
    EXPECT_TRUE(store()->getStudentGradeByPeriod("Fall(2012-09-01~2013-01-31)", "maths").isEmpty());
}

TEST_F(CourseGradeStoreTest, ElementsWithoutDetailsNameTheirPeriodButAreNotListed)
{
    writeFile("Data/CourseGrade.xml",
              xml("<AllCourseGrade><CourseGrade><Period><PeriodTitle>Spring</PeriodTitle><PeriodFrom>a</PeriodFrom>"
                  "<PeriodTo>b</PeriodTo></Period><ClassName>9C</ClassName><SubjectName>Art</SubjectName>"
                  "<TeacherName>Kim</TeacherName></CourseGrade></AllCourseGrade>"));
    store()->loadGradeSessionList();
    EXPECT_TRUE(store()->courseGradeList().isEmpty());
    EXPECT_EQ(store()->classList(), QStringList{"9C"});
    EXPECT_EQ(store()->periodList().size(), 1);
}

TEST_F(CourseGradeStoreTest, AFailedWriteIsReportedAndChangesNothing)
{
    CourseGradeEntity g = grade("7A", "Maths", "Kim");
    store()->addCourseGradeSession(g);
    const QByteArray before = dataFile("CourseGrade.xml");
    failWritesTo("CourseGrade.xml");
    QString why;
    CourseGradeEntity other = grade("8B", "Maths", "Kim");
    EXPECT_FALSE(store()->addCourseGradeSession(other, &why));
    EXPECT_FALSE(why.isEmpty());
    EXPECT_FALSE(store()->updateCourseGradeSession(g));
    EXPECT_FALSE(store()->deleteStudentGradeByPeriod("Fall(2012-09-01~2013-01-31)", "Maths", "7A", "Kim"));
    allowWrites();
    EXPECT_EQ(dataFile("CourseGrade.xml"), before);
    EXPECT_EQ(keys(), QStringList{"1 7A/Maths/Kim"});
    EXPECT_EQ(store()->classList(), QStringList{"7A"});
}

TEST_F(CourseGradeStoreTest, AFullDiskRefusesTheSaveWithItsReason)
{
    POLLIX_ON_SMALL_DISK(.kilobytes = 64);
    CourseGradeEntity g = grade("7A", "Maths", "Kim");
    ASSERT_TRUE(store()->addCourseGradeSession(g));
    const QByteArray before = dataFile("CourseGrade.xml");
    ASSERT_TRUE(SmallDisk::fill());
    QString why;
    CourseGradeEntity big = grade("8B", "Maths", "Kim");
    for (int i = 0; i < 400; ++i)
        big.allGradeDetails() << big.allGradeDetails().first();
    EXPECT_FALSE(store()->addCourseGradeSession(big, &why));
    EXPECT_TRUE(why.contains("space", Qt::CaseInsensitive)) << why.toStdString();
    EXPECT_EQ(dataFile("CourseGrade.xml"), before);
    EXPECT_EQ(store()->courseGradeList().size(), 1);
}

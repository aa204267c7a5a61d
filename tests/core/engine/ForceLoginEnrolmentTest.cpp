// Students admitted through force login: into the class and the roster together, up to the class
// limit, with their own keypad numbers, IDs compared ignoring case, and nothing half added when a
// store cannot be written.
#include "support/PollixTest.h"

#include "core/engine/ForceLoginEnrolment.h"
#include "core/store/TovClassXmlDatabase.h"
#include "core/store/TovStudentRoster.h"

#include <QDir>
#include <QFile>

namespace {

class ForceLoginEnrolmentTest : public PollixTest
{
protected:
    void SetUp() override
    {
        PollixTest::SetUp();
        classNo = TovClassXmlDatabase::sharedClassUI()->addClassWithName(QStringLiteral("Class 7B"));
        ASSERT_GT(classNo, 0);
        QList<StudentEntity> members;
        for (int i = 1; i <= 3; ++i)
            members << record(QStringLiteral("S%1").arg(i, 3, 10, QLatin1Char('0')), i);
        ASSERT_TRUE(TovClassXmlDatabase::sharedClassUI()->addSomeStudents(members, classNo));
    }
    static StudentEntity record(const QString &id, int deviceNo)
    {
        StudentEntity e;
        e.setId(id);
        e.setFirstName(QStringLiteral("First ") + id);
        e.setLastName(QStringLiteral("Last"));
        e.setName(QStringLiteral("First %1 Last").arg(id));
        e.setDeviceNo(deviceNo);
        return e;
    }
    // As the activity object reports an unknown keypad: the sent ID and name, the keypad number.
    static StudentInClassPtr unknown(const QString &id, int deviceNo)
    {
        auto s = std::make_shared<StudentInClass>();
        s->setStudentID(id);
        s->setStudentFirstName(QStringLiteral("Name ") + id);
        s->setStudentFullName(QStringLiteral("Name ") + id);
        s->setDeviceNo(deviceNo);
        return s;
    }
    QStringList classIDs() const
    {
        QStringList out;
        for (const StudentEntity &e : TovClassXmlDatabase::sharedClassUI()->getStudentListByClassNo(classNo))
            out << e.id();
        return out;
    }
    static QStringList rosterIDs()
    {
        QStringList out;
        for (const StudentEntity &e : TovStudentRoster::sharedUI()->getAllStudents().value_or(QList<StudentEntity>()))
            out << e.id();
        return out;
    }
    int classNo = 0;
};

} // namespace

TEST_F(ForceLoginEnrolmentTest, AddsUpToTheLimitWithTheKeypadNumbers)
{
    ASSERT_TRUE(TovStudentRoster::sharedUI()->addStudentWithData(record(QStringLiteral("N010"), 0)));
    const QList<StudentInClassPtr> asked{unknown(QStringLiteral("n010"), 17), unknown(QStringLiteral("N011"), 23),
                                         unknown(QStringLiteral("N012"), 31)};
    // Room for two more.
    const ForceLoginEnrolment::Outcome out = ForceLoginEnrolment::enrol(asked, classNo, 5);
    EXPECT_FALSE(out.failed) << out.errorText.toStdString();
    EXPECT_TRUE(out.classFull);
    ASSERT_EQ(out.added.size(), 2);
    EXPECT_EQ(out.added[0], asked[0]);
    EXPECT_EQ(out.added[1], asked[1]);
    EXPECT_EQ(classIDs(), (QStringList{"S001", "S002", "S003", "n010", "N011"}));
    const QList<StudentEntity> stored = TovClassXmlDatabase::sharedClassUI()->getStudentListByClassNo(classNo);
    EXPECT_EQ(stored[3].deviceNo(), 17) << "the keypad the student logged in with";
    EXPECT_EQ(stored[4].deviceNo(), 23);
    EXPECT_EQ(stored[4].name(), QStringLiteral("Name N011"));
    // The roster held "N010" already: only the other joins it.
    EXPECT_EQ(rosterIDs(), (QStringList{"N010", "N011"}));

    // A full class takes nobody; a student already in it (any letter case) counts as added.
    const ForceLoginEnrolment::Outcome full =
        ForceLoginEnrolment::enrol({asked[2], unknown(QStringLiteral("s002"), 40)}, classNo, 5);
    EXPECT_TRUE(full.classFull);
    ASSERT_EQ(full.added.size(), 1);
    EXPECT_EQ(full.added[0]->studentID(), QStringLiteral("s002"));
    EXPECT_EQ(classIDs().size(), 5);

    // A large-family keypad gives no keypad number (0): the student is stored with keypad 1.
    ASSERT_EQ(ForceLoginEnrolment::enrol({unknown(QStringLiteral("N013"), 0)}, classNo, 6).added.size(), 1);
    EXPECT_EQ(TovClassXmlDatabase::sharedClassUI()->getStudentListByClassNo(classNo).value(5).deviceNo(), 1);
}

TEST_F(ForceLoginEnrolmentTest, TheRunsClassListIsReadAgainKeepingItsStudents)
{
    const QList<StudentInClassPtr> before = ForceLoginEnrolment::classList(classNo, {});
    ASSERT_EQ(before.size(), 3);
    EXPECT_EQ(before[0]->studentFullName(), QStringLiteral("First S001 Last"));
    before[1]->setDeviceNo(57); // logged in during the run
    ASSERT_FALSE(ForceLoginEnrolment::enrol({unknown(QStringLiteral("N020"), 9)}, classNo, 999).failed);
    const QList<StudentInClassPtr> after = ForceLoginEnrolment::classList(classNo, before);
    ASSERT_EQ(after.size(), 4);
    EXPECT_EQ(after[1], before[1]) << "the same object: the logged-in list still points at it";
    EXPECT_EQ(after[1]->deviceNo(), 57);
    EXPECT_EQ(after[3]->studentID(), QStringLiteral("N020"));
    EXPECT_EQ(after[3]->deviceNo(), 9);
    EXPECT_EQ(after[3]->studentNo(), 4);
}

TEST_F(ForceLoginEnrolmentTest, NothingIsHalfAddedWhenAStoreFails)
{
    // The roster cannot be read (its path is a folder): the class takes the students back out.
    const QString rosterPath = TovStudentRoster::sharedUI()->studentRosterFilePath();
    QFile::remove(rosterPath);
    ASSERT_TRUE(QDir().mkpath(rosterPath));
    const ForceLoginEnrolment::Outcome out =
        ForceLoginEnrolment::enrol({unknown(QStringLiteral("N030"), 5), unknown(QStringLiteral("N031"), 6)}, classNo, 999);
    EXPECT_TRUE(out.failed);
    EXPECT_FALSE(out.errorText.isEmpty());
    EXPECT_TRUE(out.added.isEmpty());
    EXPECT_EQ(classIDs(), (QStringList{"S001", "S002", "S003"}));
    QDir(rosterPath).removeRecursively();

    // The class file cannot be written: nothing reaches the roster either.
    const QString classPath = TovClassXmlDatabase::sharedClassUI()->pathByClassNo(classNo);
    ASSERT_TRUE(QFile::remove(classPath));
    ASSERT_TRUE(QDir().mkpath(classPath));
    const ForceLoginEnrolment::Outcome noClass = ForceLoginEnrolment::enrol({unknown(QStringLiteral("N032"), 7)}, classNo, 999);
    EXPECT_TRUE(noClass.failed);
    EXPECT_FALSE(noClass.errorText.isEmpty());
    EXPECT_FALSE(rosterIDs().contains(QStringLiteral("N032")));
}

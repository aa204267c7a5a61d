#include "core/roster/RosterEdits.h"
#include "core/store/StoreTransaction.h"
#include "core/store/TovClassXmlDatabase.h"
#include "core/store/TovStudentRoster.h"
#include "platform/AtomicFile.h"
#include "platform/AtomicFileSet.h"
#include "support/OrdinaryUser.h"
#include "support/PollixTest.h"

#include <QDir>
#include <QFile>

#include <sys/stat.h>

namespace {
using Outcome = RosterEdits::Outcome;

StudentEntity student(const QString &id, const QString &first = QStringLiteral("F"), int device = 1, int group = 1)
{
    StudentEntity s;
    s.setId(id);
    s.setFirstName(first);
    s.setLastName(QStringLiteral("L"));
    s.setDeviceNo(device);
    s.setGroupNo(group);
    s.setGender(1);
    s.setBirthday(QDateTime(QDate(2001, 5, 4), QTime(0, 0)));
    return s;
}

RosterEdits::StudentSave adding(const StudentEntity &record, int classNo)
{
    RosterEdits::StudentSave save;
    save.record = record;
    save.classNo = classNo;
    return save;
}

QStringList ids(const QList<StudentEntity> &list)
{
    QStringList out;
    for (const StudentEntity &s : list)
        out << s.id();
    return out;
}

class RosterEditsTest : public PollixTest
{
protected:
    void SetUp() override
    {
        PollixTest::SetUp();
        classes = TovClassXmlDatabase::sharedClassUI();
        roster = TovStudentRoster::sharedUI();
        c8 = classes->addClassWithName(QStringLiteral("8C"));
        c9 = classes->addClassWithName(QStringLiteral("9A"));
        ASSERT_GT(c9, 0);
    }
    void TearDown() override
    {
        AtomicFileSet::setMoveFailureHook({});
        PollixTest::TearDown();
    }
    QList<StudentEntity> inClass(int no) const { return classes->getStudentListByClassNo(no); }
    QList<StudentEntity> inRoster() const { return roster->getAllStudents().value_or(QList<StudentEntity>()); }
    QByteArray rosterBytes() const { return readFile(roster->studentRosterFilePath()); }
    QByteArray classBytes(int no) const { return readFile(classes->pathByClassNo(no)); }
    // A student in the roster and in both classes, with keypad and group numbers of each class.
    void shared(const QString &id)
    {
        ASSERT_TRUE(roster->addStudentWithData(student(id, "Ann", 0, 0)));
        ASSERT_TRUE(classes->addStudentWithData(student(id, "Ann", 3, 2), c8));
        ASSERT_TRUE(classes->addStudentWithData(student(id, "Ann", 7, 4), c9));
    }

    TovClassXmlDatabase *classes = nullptr;
    TovStudentRoster *roster = nullptr;
    int c8 = 0, c9 = 0;
};
} // namespace

TEST_F(RosterEditsTest, CopyFromRosterSkipsHeldStudentsIgnoringCaseAndStopsAtTheLimit)
{
    QList<StudentEntity> many;
    for (int i = 0; i < 399; ++i)
        many << student(QStringLiteral("P%1").arg(i));
    ASSERT_TRUE(classes->addSomeStudents(many, c8));
    const QList<StudentEntity> picked{student("p5"), student("N1"), student("N2"), student("N3"), student("N4"),
                                      student("N5")};
    RosterEdits::Result r = RosterEdits::addFromRoster(picked, c8, 400);
    EXPECT_EQ(r.outcome, Outcome::Done);
    EXPECT_EQ(r.added, 1);
    EXPECT_EQ(r.leftOut, 4) << "p5 is P5, held already; N2..N5 find no room";
    EXPECT_EQ(classes->studentCountInClass(c8), 400);
    EXPECT_EQ(ids(inClass(c8)).last(), "N1");

    const QByteArray before = classBytes(c8);
    r = RosterEdits::addFromRoster({student("N9")}, c8, 400);
    EXPECT_EQ(r.outcome, Outcome::ClassFull);
    EXPECT_EQ(classBytes(c8), before);
    // A large-family receiver serves more.
    EXPECT_EQ(RosterEdits::addFromRoster({student("N9")}, c8, 999).added, 1);
}

TEST_F(RosterEditsTest, NewStudentGoesToRosterAndClassAndAnIdInEitherIsRefused)
{
    RosterEdits::Result r = RosterEdits::addNewStudent(student("A1"), c8, 400);
    ASSERT_TRUE(r.ok()) << r.errorText.toStdString();
    EXPECT_EQ(ids(inRoster()), QStringList{"A1"});
    EXPECT_EQ(ids(inClass(c8)), QStringList{"A1"});

    EXPECT_EQ(RosterEdits::addNewStudent(student("a1"), c9, 400).outcome, Outcome::IdInRoster);
    ASSERT_TRUE(classes->addStudentWithData(student("B2"), c9));
    EXPECT_EQ(RosterEdits::addNewStudent(student("b2"), c9, 400).outcome, Outcome::IdInClass);
    EXPECT_EQ(RosterEdits::addNewStudent(student("C3"), c9, 1).outcome, Outcome::ClassFull);
    EXPECT_EQ(ids(inRoster()), QStringList{"A1"});
    EXPECT_EQ(ids(inClass(c9)), QStringList{"B2"});
}

TEST_F(RosterEditsTest, AFailedWriteInTheMiddleLeavesRosterAndClassAsTheyWere)
{
    ASSERT_TRUE(roster->addStudentWithData(student("R0")));
    const QByteArray rosterBefore = rosterBytes(), classBefore = classBytes(c8);
    // The roster is written first; the class file's write then fails.
    const QString classFile = classes->pathByClassNo(c8);
    AtomicFile::setFailureHook([&](const QString &p) { return p.startsWith(classFile); });
    RosterEdits::Result r = RosterEdits::addNewStudent(student("A1"), c8, 400);
    EXPECT_EQ(r.outcome, Outcome::WriteFailed);
    EXPECT_TRUE(r.errorText.startsWith("8C.xml")) << r.errorText.toStdString();
    EXPECT_EQ(rosterBytes(), rosterBefore);
    EXPECT_EQ(classBytes(c8), classBefore);

    // The same when the class file's move into place is the step that fails.
    AtomicFile::setFailureHook({});
    AtomicFileSet::setMoveFailureHook([&](const QString &p) { return p.endsWith("8C.xml"); });
    EXPECT_EQ(RosterEdits::addNewStudent(student("A1"), c8, 400).outcome, Outcome::WriteFailed);
    EXPECT_EQ(rosterBytes(), rosterBefore);
    EXPECT_EQ(classBytes(c8), classBefore);
    EXPECT_EQ(QDir(home() + "Data/Classes").entryList(QDir::Files), (QStringList{"8C.xml", "9A.xml"}));

    AtomicFileSet::setMoveFailureHook({});
    EXPECT_TRUE(RosterEdits::addNewStudent(student("A1"), c8, 400).ok());
}

TEST_F(RosterEditsTest, AClassFolderWithoutWritePermissionLeavesTheRosterAsItWas)
{
    // Run by an ordinary user, whom folder permissions bind.
    POLLIX_AS_ORDINARY_USER();
    ASSERT_TRUE(roster->addStudentWithData(student("R0")));
    const QByteArray rosterBefore = rosterBytes(), classBefore = classBytes(c8);
    const QString folder = home() + "Data/Classes";
    ASSERT_TRUE(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
    const RosterEdits::Result r = RosterEdits::addNewStudent(student("A1"), c8, 400);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(r.outcome, Outcome::WriteFailed);
    EXPECT_TRUE(r.errorText.contains("Permission denied", Qt::CaseInsensitive)) << r.errorText.toStdString();
    EXPECT_EQ(rosterBytes(), rosterBefore);
    EXPECT_EQ(classBytes(c8), classBefore);
    EXPECT_EQ(QDir(home() + "Data").entryList(QDir::Files), QStringList{"StudentRoster.xml"}) << "no side files";
}

TEST_F(RosterEditsTest, AStudentSavedInOneClassChangesInRosterAndEveryClassHoldingIt)
{
    shared("S1");
    StudentEntity edited = student("S1", "Anna", 5, 6);
    edited.setTelephone("555");
    RosterEdits::StudentSave save{.record = edited, .classNo = c8, .adding = false, .oldID = QStringLiteral("S1")};
    RosterEdits::Result r = RosterEdits::saveStudent(save);
    ASSERT_TRUE(r.ok()) << r.errorText.toStdString();
    EXPECT_EQ(inRoster().first().firstName(), "Anna");
    const StudentEntity here = inClass(c8).first(), there = inClass(c9).first();
    EXPECT_EQ(here.firstName(), "Anna");
    EXPECT_EQ(here.groupNo(), 6);
    EXPECT_EQ(there.firstName(), "Anna");
    EXPECT_EQ(there.telephone(), "555");
    EXPECT_EQ(there.deviceNo(), 7) << "the other class keeps its own keypad and group";
    EXPECT_EQ(there.groupNo(), 4);

    // A failure in the other class's file leaves all three files as they were.
    const QByteArray r0 = rosterBytes(), a0 = classBytes(c8), b0 = classBytes(c9);
    AtomicFile::setFailureHook([&](const QString &p) { return p.startsWith(classes->pathByClassNo(c9)); });
    save.record.setFirstName("Annie");
    EXPECT_EQ(RosterEdits::saveStudent(save).outcome, Outcome::WriteFailed);
    EXPECT_EQ(rosterBytes(), r0);
    EXPECT_EQ(classBytes(c8), a0);
    EXPECT_EQ(classBytes(c9), b0);
}

TEST_F(RosterEditsTest, IdChangesNeverMakeTwoStudentsOfOneId)
{
    shared("S1");
    ASSERT_TRUE(roster->addStudentWithData(student("OTHER")));
    ASSERT_TRUE(classes->addStudentWithData(student("S2"), c8));
    RosterEdits::StudentSave save{.record = student("s1"), .classNo = c8, .adding = false, .oldID = QStringLiteral("S1")};
    EXPECT_EQ(RosterEdits::saveStudent(save).outcome, Outcome::IdInClass) << "a change of letter case only";
    save.record.setId("s2");
    EXPECT_EQ(RosterEdits::saveStudent(save).outcome, Outcome::IdInClass);
    save.record.setId("other");
    EXPECT_EQ(RosterEdits::saveStudent(save).outcome, Outcome::IdInRoster) << "another roster student's ID";
    EXPECT_EQ(ids(inRoster()), (QStringList{"S1", "OTHER"}));

    // A free ID: a new roster student; the old one stays for the class that still holds it.
    save.record.setId("S1B");
    ASSERT_TRUE(RosterEdits::saveStudent(save).ok());
    EXPECT_EQ(ids(inRoster()), (QStringList{"S1", "OTHER", "S1B"}));
    EXPECT_EQ(ids(inClass(c8)), (QStringList{"S1B", "S2"}));
    EXPECT_EQ(ids(inClass(c9)), QStringList{"S1"});
    EXPECT_EQ(inClass(c9).first().firstName(), "Ann");
}

TEST_F(RosterEditsTest, AddingAsksBeforeRewritingARosterStudent)
{
    shared("S1");
    RosterEdits::StudentSave save = adding(student("s1", "Sue"), c8);
    EXPECT_EQ(RosterEdits::saveStudent(save).outcome, Outcome::IdInRoster);
    EXPECT_EQ(inRoster().first().firstName(), "Ann");
    save.rosterUpdateConfirmed = true;
    ASSERT_TRUE(RosterEdits::saveStudent(save).ok());
    EXPECT_EQ(ids(inRoster()), QStringList{"s1"});
    EXPECT_EQ(ids(inClass(c8)), QStringList{"s1"}) << "the class copy is rewritten, not doubled";
    EXPECT_EQ(inClass(c9).first().firstName(), "Sue");

    // A new student that finds the class full.
    save = adding(student("Z9"), c8);
    save.maxStudents = 1;
    EXPECT_EQ(RosterEdits::saveStudent(save).outcome, Outcome::ClassFull);
    EXPECT_FALSE(roster->existStudentWithID("Z9"));
}

TEST_F(RosterEditsTest, DeleteAndRemoveAndGroups)
{
    shared("S1");
    ASSERT_TRUE(RosterEdits::addNewStudent(student("S2"), c8, 400).ok());
    ASSERT_TRUE(RosterEdits::deleteStudent("s1", c8).ok());
    EXPECT_EQ(ids(inRoster()), QStringList{"S2"});
    EXPECT_EQ(ids(inClass(c8)), QStringList{"S2"});
    EXPECT_EQ(ids(inClass(c9)), QStringList{"S1"}) << "copies in other classes stay";

    ASSERT_TRUE(RosterEdits::removeFromClass({"S2"}, c8).ok());
    EXPECT_TRUE(inClass(c8).isEmpty());
    EXPECT_EQ(ids(inRoster()), QStringList{"S2"});

    ASSERT_TRUE(RosterEdits::writeGroups(c9, {{"S1", 3}}, 3).ok());
    EXPECT_EQ(inClass(c9).first().groupNo(), 3);
    EXPECT_TRUE(readFile(classes->pathByClassNo(c9)).contains("<Splits>3</Splits>"));
    const QByteArray before = classBytes(c9);
    AtomicFile::setFailureHook([](const QString &) { return true; });
    EXPECT_EQ(RosterEdits::writeGroups(c9, {{"S1", 1}}, 1).outcome, Outcome::WriteFailed);
    EXPECT_EQ(classBytes(c9), before);
}

TEST_F(RosterEditsTest, ATransactionThatIsNotCommittedWritesNothing)
{
    const QByteArray before = classBytes(c8);
    {
        StoreTransaction transaction;
        ASSERT_TRUE(classes->addStudentWithData(student("T1"), c8));
        EXPECT_EQ(ids(inClass(c8)), QStringList{"T1"}) << "reads see the held file";
        EXPECT_EQ(classBytes(c8), before);
        EXPECT_TRUE(roster->addStudentWithData(student("T1")));
        EXPECT_FALSE(QFile::exists(roster->studentRosterFilePath())) << "even a new roster file is held";
    }
    EXPECT_EQ(classBytes(c8), before);
    EXPECT_TRUE(inClass(c8).isEmpty());
}

// The class file put aside by another program and its FIFO put under the name after the classes
// were read: adding a student, typed into the class or from the student's window, changes
// nothing and says why in words.
TEST_F(RosterEditsTest, AddingToAClassWhoseFileIsAPipeSaysWhy)
{
    const QString path = classes->pathByClassNo(c8);
    ASSERT_TRUE(QFile::rename(path, path + ".aside"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    for (const bool typed : {true, false}) {
        const RosterEdits::Result r = typed ? RosterEdits::addNewStudent(student("P1"), c8, 400)
                                            : RosterEdits::saveStudent(adding(student("P1"), c8));
        EXPECT_EQ(r.outcome, Outcome::WriteFailed) << typed;
        EXPECT_TRUE(r.errorText.contains("it is no regular file")) << typed << ": \"" << r.errorText.toStdString() << "\"";
        EXPECT_TRUE(inRoster().isEmpty()) << typed;
    }
}

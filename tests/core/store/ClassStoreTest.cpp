#include "StoreTestBase.h"

#include "core/store/TovClassXmlDatabase.h"

#include <QDir>

using ClassStoreTest = StoreTestBase;

namespace {
StudentEntity student(const QString &id, const QString &first = "F", int group = 1)
{
    StudentEntity s;
    s.setId(id);
    s.setFirstName(first);
    s.setLastName("L");
    s.setGroupNo(group);
    s.setBirthday(QDateTime(QDate(2001, 5, 4), QTime(0, 0)));
    return s;
}

QStringList ids(const QList<StudentEntity> &list)
{
    QStringList out;
    for (const StudentEntity &s : list)
        out << s.id();
    return out;
}
} // namespace

TEST_F(ClassStoreTest, CreatedClassAndAddedStudentMatchTheFileFormat)
{
    TovClassXmlDatabase *store = TovClassXmlDatabase::sharedClassUI();
    EXPECT_EQ(store->classCount(), 0);
    EXPECT_EQ(store->addClassWithName("Math"), 1);
    EXPECT_EQ(readFile(home() + "Data/Classes/Math.xml"), golden("class-new"));

    StudentEntity ann = student("S001", "Ann");
    ann.setLastName("Lee & Co");
    ann.setDeviceNo(3);
    ann.setGroupNo(2);
    ann.setDuty("Monitor");
    ann.setEMail("ann@example.org");
    ann.setTelephone("555");
    ann.setGender(2);
    ASSERT_TRUE(store->addStudentWithData(ann, 1));
    EXPECT_EQ(readFile(home() + "Data/Classes/Math.xml"), golden("class-one-student"));

    const QList<StudentEntity> back = store->getStudentListByClassNo(1);
    ASSERT_EQ(back.size(), 1);
    EXPECT_EQ(back[0].lastName(), "Lee & Co");
    EXPECT_EQ(back[0].name(), "Ann");
    EXPECT_EQ(back[0].no(), 1);
    EXPECT_EQ(back[0].deviceNo(), 3);
    EXPECT_EQ(back[0].birthday().date(), QDate(2001, 5, 4));
}

TEST_F(ClassStoreTest, NumbersGapsAndCaseRules)
{
    TovClassXmlDatabase *store = TovClassXmlDatabase::sharedClassUI();
    EXPECT_EQ(store->addClassWithName("A"), 1);
    EXPECT_EQ(store->addClassWithName("B"), 2);
    EXPECT_EQ(store->addClassWithName("C"), 3);
    EXPECT_EQ(store->addClassWithName("b"), 2);
    EXPECT_FALSE(store->existClassWithName("b"));
    EXPECT_FALSE(QFileInfo::exists(home() + "Data/Classes/b.xml"));
    EXPECT_TRUE(store->deleteClassWithNo(2));
    EXPECT_EQ(store->pathByClassNo(2), QString());
    EXPECT_EQ(store->nameByClassNo(3), "C");
    EXPECT_EQ(store->addClassWithName("D"), 4);
    store->loadClasses();
    EXPECT_EQ(store->nameByClassNo(2), "C");
    EXPECT_EQ(store->nameByClassNo(3), "D");
    EXPECT_EQ(store->nameByClassNo(0), "All");
    EXPECT_EQ(store->classNoByName("D"), 3);
}

TEST_F(ClassStoreTest, NamesNeverLeaveTheFolderNorReplaceAFile)
{
    TovClassXmlDatabase *store = TovClassXmlDatabase::sharedClassUI();
    const int no = store->addClassWithName("../7/A");
    EXPECT_EQ(store->nameByClassNo(no), ".._7_A");
    EXPECT_TRUE(QFileInfo::exists(home() + "Data/Classes/.._7_A.xml"));
    // A file the list does not know of (written behind the store's back) is kept.
    writeFile("Data/Classes/Late.xml", "keep");
    const int late = store->addClassWithName("Late");
    EXPECT_EQ(store->nameByClassNo(late), "Late (2)");
    EXPECT_EQ(readFile(home() + "Data/Classes/Late.xml"), "keep");
}

TEST_F(ClassStoreTest, RenamesAndSplits)
{
    TovClassXmlDatabase *store = TovClassXmlDatabase::sharedClassUI();
    store->addClassWithName("Math");
    store->addClassWithName("Art");
    EXPECT_FALSE(store->updateClassWithNo(1, "Art"));
    EXPECT_EQ(store->nameByClassNo(1), "Math");
    EXPECT_EQ(readFile(home() + "Data/Classes/Math.xml"), golden("class-new"));

    EXPECT_TRUE(store->updateClassWithNo(1, "Maths"));
    EXPECT_EQ(store->nameByClassNo(1), "Maths");
    EXPECT_EQ(readFile(home() + "Data/Classes/Maths.xml"), golden("class-new"));

    EXPECT_TRUE(store->updateClassName("MATHS", "Algebra"));
    EXPECT_EQ(store->nameByClassNo(1), "Algebra");
    EXPECT_TRUE(readFile(home() + "Data/Classes/Algebra.xml").contains("<ClassName>Algebra</ClassName>"));
    EXPECT_FALSE(store->updateClassName("Nope", "X"));

    EXPECT_TRUE(store->updateClassWithSplits(4, 1));
    EXPECT_TRUE(readFile(home() + "Data/Classes/Algebra.xml").contains("<Splits>4</Splits>"));
    EXPECT_FALSE(store->updateClassWithSplits(4, 0));
}

TEST_F(ClassStoreTest, SingleStudentOperationsIgnoreCase)
{
    TovClassXmlDatabase *store = TovClassXmlDatabase::sharedClassUI();
    store->addClassWithName("Math");
    ASSERT_TRUE(store->addStudentWithData(student("abc"), 1));
    const QByteArray before = readFile(home() + "Data/Classes/Math.xml");
    EXPECT_FALSE(store->addStudentWithData(student("ABC"), 1));
    EXPECT_EQ(readFile(home() + "Data/Classes/Math.xml"), before);
    EXPECT_TRUE(store->existStudentWithID("ABC", 1));
    EXPECT_TRUE(store->existStudentWithID("x", 9)); // no such class: blocks an add
    EXPECT_FALSE(store->deleteStudentWithID("zzz", 1));
    EXPECT_EQ(store->studentCountInClass(1), 1);

    StudentEntity changed = student("NEW", "Zed", 5);
    EXPECT_TRUE(store->updateStudentByID("ABC", changed, 1));
    EXPECT_EQ(ids(store->getStudentListByClassNo(1)), QStringList{"NEW"});
    EXPECT_EQ(store->maxGroupNoInClass(1), 5);
    EXPECT_TRUE(readFile(home() + "Data/Classes/Math.xml").contains("<LTime>2012-03-23T14:07:09</LTime>"));

    EXPECT_TRUE(store->updateStudentGroupNo(3, 1, 1));
    EXPECT_FALSE(store->updateStudentGroupNo(3, 2, 1));
    EXPECT_EQ(store->getStudentListWithGroupNo(3, 1).size(), 1);
    EXPECT_TRUE(store->deleteStudentWithID("new", 1));
    EXPECT_EQ(store->studentCountInClass(1), 0);
    EXPECT_EQ(store->maxGroupNoInClass(1), 1);
}

TEST_F(ClassStoreTest, LegacyNameStudentsAndUpdateDropsTheLegacyName)
{
    TovClassXmlDatabase *store = TovClassXmlDatabase::sharedClassUI();
    writeFile("Data/Classes/Old.xml", "<ClassRoom><Students>"
                                      "<Student><ID>1</ID><Name>Zoe</Name><FName>x</FName></Student>"
                                      "<Student><ID>2</ID><FName>Bo</FName><LName>B</LName></Student>"
                                      "<Student><ID>3</ID><Name>Amy</Name></Student>"
                                      "<Student><ID>4</ID><FName>Al</FName><GNo>two</GNo></Student>"
                                      "</Students></ClassRoom>");
    store->loadClasses();
    const QList<StudentEntity> list = store->getStudentListByClassNo(1);
    EXPECT_EQ(ids(list), (QStringList{"2", "4", "3", "1"}));
    EXPECT_EQ(list[3].firstName(), "Zoe");
    EXPECT_EQ(list[3].lastName(), "");
    EXPECT_EQ(list[1].groupNo(), 0);
    EXPECT_EQ(list[3].no(), 4);
    EXPECT_TRUE(store->updateStudentByID("1", student("1", "Zoey"), 1));
    EXPECT_FALSE(readFile(home() + "Data/Classes/Old.xml").contains("<Name>Zoe</Name>"));
    EXPECT_EQ(ids(store->getStudentListByClassNo(1)), (QStringList{"1", "2", "4", "3"}));
}

TEST_F(ClassStoreTest, BatchesWriteOnceAndMatchIdsExactly)
{
    TovClassXmlDatabase *store = TovClassXmlDatabase::sharedClassUI();
    store->addClassWithName("Math");
    ASSERT_TRUE(store->addSomeStudents({student("a"), student("b"), student("c"), student("a")}, 1));
    EXPECT_EQ(store->studentCountInClass(1), 4);

    ASSERT_TRUE(store->beginUpdateStudentGroupNoInClass(1));
    store->updateStudentGroupNoWithStudentID(7, "b");
    store->updateStudentGroupNoWithStudentID(8, "b");
    store->updateStudentGroupNoWithStudentID(9, "C");
    EXPECT_TRUE(store->endUpdateStudentGroupNo());
    const QList<StudentEntity> list = store->getStudentListByClassNo(1);
    EXPECT_EQ(list[1].groupNo(), 7);
    EXPECT_EQ(list[2].groupNo(), 1);

    ASSERT_TRUE(store->beginDeleteStudentsInClass(1));
    store->deletingStudentWithID("a");
    store->deletingStudentWithID("B");
    EXPECT_TRUE(store->endDeleteStudents());
    EXPECT_EQ(ids(store->getStudentListByClassNo(1)), (QStringList{"b", "c"}));
    EXPECT_FALSE(store->endUpdateStudents());
    EXPECT_FALSE(store->beginUpdateStudentsInClass(9));
}

TEST_F(ClassStoreTest, UnreadableFilesAndFailedWrites)
{
    TovClassXmlDatabase *store = TovClassXmlDatabase::sharedClassUI();
    store->addClassWithName("Math");
    const QString path = home() + "Data/Classes/Math.xml";
    failWritesTo(home() + "Data/Classes/");
    EXPECT_FALSE(store->addStudentWithData(student("a"), 1));
    EXPECT_FALSE(store->addSomeStudents({student("a")}, 1));
    EXPECT_EQ(readFile(path), golden("class-new"));
    EXPECT_EQ(store->addClassWithName("Art/"), -1);
    EXPECT_EQ(store->classCount(), 1);
    allowWrites();

    writeFile("Data/Classes/Math.xml", "<ClassRoom><Students>");
    EXPECT_TRUE(store->getStudentListByClassNo(1).isEmpty());
    EXPECT_EQ(store->studentCountInClass(1), 0);
    EXPECT_EQ(store->maxGroupNoInClass(1), 1);
    EXPECT_FALSE(store->addStudentWithData(student("a"), 1));
    EXPECT_FALSE(store->beginUpdateStudentsInClass(1));
    EXPECT_EQ(readFile(path), "<ClassRoom><Students>");
}

TEST_F(ClassStoreTest, AClassFileWithAnUpperCaseExtensionIsOpenedAndRemovedUnderItsOwnName)
{
    writeFile("Data/Classes/Old.XML", golden("class-one-student"));
    TovClassXmlDatabase *store = TovClassXmlDatabase::sharedClassUI();
    ASSERT_EQ(store->classNoByName("Old"), 1);
    EXPECT_EQ(store->studentCountInClass(1), 1);
    EXPECT_EQ(ids(store->getStudentListByClassNo(1)), QStringList{"S001"});
    EXPECT_FALSE(store->updateClassWithNo(1, "Old"));
    EXPECT_TRUE(store->updateClassWithNo(1, "New"));
    EXPECT_EQ(readFile(home() + "Data/Classes/New.xml"), golden("class-one-student"));
    writeFile("Data/Classes/Gone.XML", golden("class-new"));
    store->loadClasses();
    ASSERT_EQ(store->classNoByName("Gone"), 1);
    EXPECT_TRUE(store->deleteClassWithNo(1));
    EXPECT_FALSE(QFileInfo::exists(home() + "Data/Classes/Gone.XML"));
}

TEST_F(ClassStoreTest, AClassFileWithoutStudentsHoldsNoIdAndTakesTheFirstStudent)
{
    writeFile("Data/Classes/Bare.xml", "<ClassRoom><ClassName>Bare</ClassName><Splits>1</Splits></ClassRoom>");
    writeFile("Data/Classes/Broken.xml", "<ClassRoom><Students>");
    TovClassXmlDatabase *store = TovClassXmlDatabase::sharedClassUI();
    const int bare = store->classNoByName("Bare");
    EXPECT_TRUE(store->existStudentWithID("a", store->classNoByName("Broken")));
    EXPECT_FALSE(store->existStudentWithID("a", bare));
    ASSERT_TRUE(store->addStudentWithData(student("a"), bare));
    EXPECT_TRUE(store->existStudentWithID("A", bare));
    EXPECT_EQ(store->studentCountInClass(bare), 1);
}

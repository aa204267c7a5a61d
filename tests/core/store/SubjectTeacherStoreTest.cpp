#include "StoreTestBase.h"

#include "core/store/TovSubjectXmlDatabase.h"
#include "core/store/TovTeacherXmlDatabase.h"

using SubjectStoreTest = StoreTestBase;
using TeacherStoreTest = StoreTestBase;

namespace {
SubjectEntity subject(const QString &name)
{
    SubjectEntity s;
    s.setName(name);
    return s;
}

TeacherEntity teacher(const QString &first, const QString &last, const QString &title = QString())
{
    TeacherEntity t;
    t.setFirstName(first);
    t.setLastName(last);
    t.setTitle(title);
    return t;
}
} // namespace

TEST_F(SubjectStoreTest, NewFileThenAddsInFileOrderWithNumbers)
{
    TovSubjectXmlDatabase *store = TovSubjectXmlDatabase::sharedSubjectUI();
    const QString path = home() + "Data/Subjects.xml";
    EXPECT_EQ(readFile(path), golden("subjects-empty"));
    EXPECT_EQ(store->subjectCount(), 0);
    SubjectEntity maths = subject("Maths"), history = subject("History");
    ASSERT_TRUE(store->addSubjectWithData(maths));
    ASSERT_TRUE(store->addSubjectWithData(history));
    EXPECT_EQ(maths.no(), 1);
    EXPECT_EQ(history.no(), 2);
    EXPECT_EQ(readFile(path), golden("subjects-two"));
    EXPECT_EQ(store->nameBySubjectNo(0), "All");
    EXPECT_EQ(store->nameBySubjectNo(2), "History");
    EXPECT_EQ(store->nameBySubjectNo(7), "");
    EXPECT_TRUE(store->existSubjectWithName("MATHS"));
    EXPECT_EQ(store->subjectNoByName("MATHS"), -1);
    EXPECT_EQ(store->subjectNoByName("Maths"), 1);
}

TEST_F(SubjectStoreTest, DeleteLeavesGapUntilReload)
{
    writeFile("Data/Subjects.xml", golden("subjects-two"));
    TovSubjectXmlDatabase *store = TovSubjectXmlDatabase::sharedSubjectUI();
    EXPECT_TRUE(store->deleteSubjectWithNo(1));
    EXPECT_EQ(store->subjectByNo(2)->name(), "History");
    SubjectEntity art = subject("Art");
    ASSERT_TRUE(store->addSubjectWithData(art));
    EXPECT_EQ(art.no(), 3);
    store->loadSubjects();
    ASSERT_EQ(store->subjectCount(), 2);
    EXPECT_EQ(store->subjectList().at(0).no(), 1);
    EXPECT_EQ(store->subjectList().at(1).name(), "Art");
    EXPECT_EQ(store->subjectList().at(1).no(), 2);
}

TEST_F(SubjectStoreTest, ChangesToSubjectsTheFileNoLongerHoldsTouchOnlyTheList)
{
    writeFile("Data/Subjects.xml", golden("subjects-two"));
    TovSubjectXmlDatabase *store = TovSubjectXmlDatabase::sharedSubjectUI();
    writeFile("Data/Subjects.xml", golden("subjects-empty"));
    EXPECT_FALSE(store->updateSubjectWithNo(1, subject("Algebra")));
    EXPECT_EQ(store->nameBySubjectNo(1), "Algebra");
    EXPECT_FALSE(store->deleteSubjectWithNo(2));
    EXPECT_EQ(store->subjectCount(), 1);
    EXPECT_EQ(readFile(home() + "Data/Subjects.xml"), golden("subjects-empty"));
}

TEST_F(SubjectStoreTest, SameNamesMatchByRankAndCaseInsensitively)
{
    writeFile("Data/Subjects.xml", "<Subjects><Subject><Name>Art</Name></Subject><Subject><Name>ART</Name></Subject>"
                                   "<Subject><Name>Maths</Name></Subject></Subjects>");
    TovSubjectXmlDatabase *store = TovSubjectXmlDatabase::sharedSubjectUI();
    EXPECT_TRUE(store->updateSubjectWithNo(2, subject("Drawing")));
    EXPECT_TRUE(store->updateSubjectWithNo(3, subject("Maths & Stats")));
    EXPECT_TRUE(readFile(home() + "Data/Subjects.xml")
                    .endsWith("<Subjects><Subject><Name>Art</Name></Subject><Subject><Name>Drawing</Name></Subject>"
                              "<Subject><Name>Maths &amp; Stats</Name></Subject></Subjects>"));
}

TEST_F(SubjectStoreTest, FailedWritesChangeNothingAndSayFalse)
{
    writeFile("Data/Subjects.xml", golden("subjects-two"));
    TovSubjectXmlDatabase *store = TovSubjectXmlDatabase::sharedSubjectUI();
    failWritesTo(home() + "Data/Subjects.xml");
    SubjectEntity art = subject("Art");
    EXPECT_FALSE(store->addSubjectWithData(art));
    EXPECT_FALSE(store->updateSubjectWithNo(1, subject("Algebra")));
    EXPECT_FALSE(store->deleteSubjectWithNo(2));
    EXPECT_EQ(store->subjectCount(), 2);
    EXPECT_EQ(store->nameBySubjectNo(1), "Maths");
    EXPECT_EQ(store->maxNo(), 3);
    EXPECT_EQ(readFile(home() + "Data/Subjects.xml"), golden("subjects-two"));
}

TEST_F(TeacherStoreTest, AddWritesTheSixFieldsAndJoinsNames)
{
    TovTeacherXmlDatabase *store = TovTeacherXmlDatabase::sharedUI();
    EXPECT_EQ(readFile(home() + "Data/TeacherRoster.xml"),
              QByteArray("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Teachers></Teachers>"));
    TeacherEntity mary = teacher("Mary", "Smith", "Dr");
    mary.setName("Mary Smith");
    mary.setPhone("123");
    mary.setGender(2);
    mary.setAddress("1 Road");
    ASSERT_TRUE(store->addTeacherWithData(mary));
    EXPECT_EQ(mary.no(), 1);
    EXPECT_EQ(readFile(home() + "Data/TeacherRoster.xml"), golden("teachers-one"));

    writeFile("Data/TeacherRoster.xml", "<Teachers><Teacher><Name>Solo</Name><LName></LName></Teacher>"
                                        "<Teacher><Name></Name><LName></LName><Gender>2x</Gender></Teacher></Teachers>");
    store->loadTeachers();
    EXPECT_EQ(store->teacherNoByName("Solo"), 1);
    EXPECT_EQ(store->nameByTeacherNo(2), "Null");
    EXPECT_EQ(store->teacherByNo(2)->gender(), 2);
    EXPECT_TRUE(store->existTeacherWithName("Solo"));
    EXPECT_FALSE(store->existTeacherWithName("SOLO"));
    EXPECT_EQ(store->nameByTeacherNo(0), "All");
}

// A teacher added with first and last names only is listed by the display name a reading of the
// file gives; one given a display name keeps it.
TEST_F(TeacherStoreTest, AnAddedTeacherIsListedAsTheFileReadsBack)
{
    TovTeacherXmlDatabase *store = TovTeacherXmlDatabase::sharedUI();
    TeacherEntity ada = teacher("Ada", "Park", "Ms");
    TeacherEntity named = teacher("", "", "Dr");
    named.setName("Professor K");
    ASSERT_TRUE(store->addTeacherWithData(ada));
    ASSERT_TRUE(store->addTeacherWithData(named));
    EXPECT_EQ(store->nameByTeacherNo(ada.no()), "Ada Park");
    EXPECT_EQ(store->teacherNoByName("Ada Park"), ada.no());
    EXPECT_EQ(store->nameByTeacherNo(named.no()), "Professor K");
    store->loadTeachers();
    EXPECT_EQ(store->nameByTeacherNo(1), "Ada Park");
}

TEST_F(TeacherStoreTest, TheKthOfSameNamedTeachersIsTheKthElement)
{
    writeFile("Data/TeacherRoster.xml", "<Teachers><Teacher><Name>Jo</Name><LName>Li</LName><Title>A</Title></Teacher>"
                                        "<Teacher><Name>Jo</Name><LName>Li</LName><Title>B</Title></Teacher>"
                                        "<Teacher><Name>Al</Name><LName>Xu</LName><Title>C</Title></Teacher></Teachers>");
    TovTeacherXmlDatabase *store = TovTeacherXmlDatabase::sharedUI();
    EXPECT_TRUE(store->updateTeacherWithData(2, teacher("Jo", "Li", "B2")));
    EXPECT_EQ(store->teacherByNo(1)->title(), "A");
    EXPECT_EQ(store->teacherByNo(2)->title(), "B2");
    EXPECT_TRUE(store->deleteTeacherWithNo(2));
    store->loadTeachers();
    ASSERT_EQ(store->teacherList().size(), 2);
    EXPECT_EQ(store->teacherList().at(0).title(), "A");
    EXPECT_EQ(store->teacherList().at(1).title(), "C");
    EXPECT_EQ(store->teacherList().at(1).no(), 2);
}

TEST_F(TeacherStoreTest, MissingTeacherAndFailedWrites)
{
    writeFile("Data/TeacherRoster.xml", golden("teachers-one"));
    TovTeacherXmlDatabase *store = TovTeacherXmlDatabase::sharedUI();
    failWritesTo(home() + "Data/TeacherRoster.xml");
    EXPECT_FALSE(store->updateTeacherWithData(1, teacher("Ann", "Bell")));
    EXPECT_EQ(store->nameByTeacherNo(1), "Mary Smith");
    EXPECT_FALSE(store->deleteTeacherWithNo(1));
    EXPECT_EQ(store->teacherList().size(), 1);
    ASSERT_TRUE(store->beginUpdateTeachers());
    TeacherEntity c = teacher("C", "Three");
    store->addingTeacherWithData(c);
    EXPECT_FALSE(store->endUpdateTeachers());
    EXPECT_EQ(store->teacherList().size(), 1);
    allowWrites();
    writeFile("Data/TeacherRoster.xml", "<Teachers></Teachers>");
    EXPECT_FALSE(store->deleteTeacherWithNo(1));
    EXPECT_TRUE(store->teacherList().isEmpty());
    EXPECT_FALSE(store->deleteTeacherWithNo(5));
}

TEST_F(TeacherStoreTest, BatchWritesOnceAtTheEnd)
{
    TovTeacherXmlDatabase *store = TovTeacherXmlDatabase::sharedUI();
    ASSERT_TRUE(store->beginUpdateTeachers());
    TeacherEntity a = teacher("A", "One"), b = teacher("B", "Two");
    store->addingTeacherWithData(a);
    store->addingTeacherWithData(b);
    EXPECT_EQ(readFile(home() + "Data/TeacherRoster.xml"),
              QByteArray("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Teachers></Teachers>"));
    EXPECT_TRUE(store->endUpdateTeachers());
    EXPECT_EQ(b.no(), 2);
    store->loadTeachers();
    EXPECT_EQ(store->nameByTeacherNo(2), "B Two");
}

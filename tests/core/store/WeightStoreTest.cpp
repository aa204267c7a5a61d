#include "../gradebook/GradebookTestBase.h"

#include "core/gradebook/GradebookRosterRecords.h"
#include "core/store/TovGradeLetterXmlDatabase.h"
#include "core/store/TovWeightAndSessionTypeXmlDatabase.h"

namespace {
class WeightStoreTest : public GradebookTestBase
{
protected:
    static TovWeightAndSessionTypeXmlDatabase *store() { return TovWeightAndSessionTypeXmlDatabase::sharedUI(); }
    static SessionTypeInWeight entry(int typeNo, bool counts, float weight)
    {
        SessionTypeInWeight e;
        e.setSessionTypeNo(typeNo);
        e.setIsSelect(counts);
        e.setWeight(weight);
        return e;
    }
    static WeightEntity weights(const QString &title, const QString &className, const QString &teacher,
                                const QList<SessionTypeInWeight> &entries)
    {
        WeightEntity w;
        w.setTitle(title);
        w.setClassName(className);
        w.setTeacherName(teacher);
        w.setSessionTypesInWeight(entries);
        return w;
    }
    static QStringList typeNames()
    {
        QStringList out;
        for (const SessionTypeEntity &t : store()->sessionTypeList())
            out << QStringLiteral("%1 %2").arg(t.no()).arg(t.name());
        return out;
    }
    static QStringList entries(int weightNo)
    {
        QStringList out;
        for (const SessionTypeInWeight &e : store()->sessionTypeListInWeightWithNo(weightNo).value_or(QList<SessionTypeInWeight>()))
            out << QStringLiteral("%1%2=%3").arg(e.isSelect() ? "+" : "-", e.sessionType()).arg(double(e.weight()));
        return out;
    }
};
} // namespace

TEST_F(WeightStoreTest, FirstStartHasTheBuiltInsAndTheFileTypesFollowByName)
{
    EXPECT_TRUE(store()->weightList().isEmpty());
    EXPECT_EQ(dataFile("WeightsAndSessionTypes.xml"),
              xml("<GradeWeightsAndSessionTypes><GradeWeights></GradeWeights><GradeSessionTypes></GradeSessionTypes>"
                  "</GradeWeightsAndSessionTypes>"));
    EXPECT_EQ(typeNames(), (QStringList{"1 Attendance", "2 Exam", "3 Game", "4 Homework", "5 Lab", "6 Other",
                                        "7 Participation"}));
    EXPECT_TRUE(store()->weightList().isEmpty());

    SessionTypeEntity exam;
    exam.setName("exam");
    EXPECT_EQ(store()->addSessionTypeWithData(exam), 2);
    SessionTypeEntity quiz, essay;
    quiz.setName("Quiz");
    essay.setName("Essay");
    EXPECT_EQ(store()->addSessionTypeWithData(quiz), 8);
    EXPECT_EQ(store()->addSessionTypeWithData(essay), 9);
    store()->loadSessionTypes();
    EXPECT_EQ(typeNames().mid(7), (QStringList{"8 Essay", "9 Quiz"}));
    EXPECT_EQ(store()->sessionTypeNoByName("QUIZ"), 9);
    EXPECT_EQ(store()->existSessionTypeName("Nothing"), -1);
    EXPECT_EQ(store()->sessionTypeNameByNo(42), "");

    // Built-ins are neither renamed nor deleted.
    SessionTypeEntity renamed;
    renamed.setNo(2);
    renamed.setName("Test");
    EXPECT_FALSE(store()->updateSessionTypeWithData(renamed));
    EXPECT_FALSE(store()->deleteSessionTypeWithNo(2));
    EXPECT_EQ(store()->sessionTypeNameByNo(2), "Exam");
}

TEST_F(WeightStoreTest, WeightListsRoundTripAndFollowTheirTypesThroughRenamesAndDeletes)
{
    SessionTypeEntity quiz, essay;
    quiz.setName("Quiz \"pop\"");
    essay.setName("Essay");
    store()->addSessionTypeWithData(quiz);  // 8
    store()->addSessionTypeWithData(essay); // 9
    WeightEntity main = weights("Main", "7A", "All", {entry(2, true, 60), entry(8, true, 40), entry(9, false, 30)});
    ASSERT_EQ(store()->addWeightWithData(main), 1);
    EXPECT_EQ(dataFile("WeightsAndSessionTypes.xml"), golden("weights-one"));

    store()->loadSessionTypes();
    store()->loadWeights();
    EXPECT_EQ(entries(1), (QStringList{"-Essay=30", "+Exam=60", "+Quiz \"pop\"=40"}));
    EXPECT_TRUE(store()->existWeightWithName("Main"));
    EXPECT_FALSE(store()->existWeightWithName("main"));
    EXPECT_EQ(store()->weightNoByTitle("MAIN"), 1);
    EXPECT_EQ(store()->weightNoByTitle("Other"), 0);
    EXPECT_TRUE(store()->existSessionTypeInWeightWithNo(store()->sessionTypeNoByName("Quiz \"pop\"")));
    EXPECT_FALSE(store()->existSessionTypeInWeightWithNo(store()->sessionTypeNoByName("Essay")));

    // Essay and Quiz swap names in one save: each entry keeps its own weight.
    const int essayNo = store()->sessionTypeNoByName("Essay");
    const int quizNo = store()->sessionTypeNoByName("Quiz \"pop\"");
    SessionTypeEntity toQuiz, toEssay;
    toQuiz.setNo(essayNo);
    toQuiz.setName("Quiz \"pop\"");
    toEssay.setNo(quizNo);
    toEssay.setName("Essay");
    ASSERT_TRUE(store()->updateSessionTypesWithData({toQuiz, toEssay}));
    EXPECT_EQ(entries(1), (QStringList{"-Quiz \"pop\"=30", "+Exam=60", "+Essay=40"}));
    store()->loadWeights();
    EXPECT_EQ(entries(1), (QStringList{"+Essay=40", "+Exam=60", "-Quiz \"pop\"=30"}));

    // A rename onto another type's name is refused.
    SessionTypeEntity clash;
    clash.setNo(store()->sessionTypeNoByName("Essay"));
    clash.setName("EXAM");
    QString why;
    EXPECT_FALSE(store()->updateSessionTypeWithData(clash, &why));
    EXPECT_EQ(why, "The Session Type already exists.");

    // Deleting a type takes it out of every weight list, in the file and in memory alike.
    ASSERT_TRUE(store()->deleteSessionTypeWithNo(store()->sessionTypeNoByName("Quiz \"pop\"")));
    EXPECT_EQ(entries(1), (QStringList{"+Essay=40", "+Exam=60"}));
    EXPECT_FALSE(dataFile("WeightsAndSessionTypes.xml").contains("pop"));
}

TEST_F(WeightStoreTest, StoredFieldsAreReadLikeTheFilesOfOlderInstallations)
{
    writeFile("Data/WeightsAndSessionTypes.xml",
              xml("<GradeWeightsAndSessionTypes><GradeWeights><GradeWeight><Title>W</Title><ClassName>All</ClassName>"
                  "<SubjectName>All</SubjectName><TeacherName>All</TeacherName><SessionTypes>"
                  "<Type><ISSelected>1</ISSelected><SessionTypeName>Exam</SessionTypeName><Weight>25.000000</Weight></Type>"
                  "<Type><ISSelected> +0yes</ISSelected><SessionTypeName>Game</SessionTypeName><Weight>x</Weight></Type>"
                  "<Type><ISSelected>0</ISSelected><SessionTypeName>Lab</SessionTypeName><Weight>12.5kg</Weight></Type>"
                  "<Type><ISSelected>true</ISSelected><SessionTypeName>Gone</SessionTypeName><Weight></Weight></Type>"
                  "</SessionTypes></GradeWeight></GradeWeights><GradeSessionTypes></GradeSessionTypes>"
                  "</GradeWeightsAndSessionTypes>"));
    store()->loadWeights();
    EXPECT_EQ(entries(1), (QStringList{"+Exam=25", "+Game=0", "+Gone=0", "-Lab=12.5"}));
    EXPECT_EQ(store()->weightByNo(1)->sessionTypesInWeight().at(2).sessionTypeNo(), -1);
}

TEST_F(WeightStoreTest, UpdatingAListWritesEveryEntryItCarries)
{
    WeightEntity main = weights("Main", "All", "All", {entry(2, true, 100)});
    store()->addWeightWithData(main);
    WeightEntity changed = weights("Main 2", "All", "Kim", {entry(2, true, 50), entry(4, true, 50)});
    changed.setNo(main.no());
    ASSERT_TRUE(store()->updateWeightWithData(changed));
    store()->loadWeights();
    EXPECT_EQ(store()->weightByNo(1)->title(), "Main 2");
    EXPECT_EQ(store()->weightByNo(1)->teacherName(), "Kim");
    EXPECT_EQ(entries(1), (QStringList{"+Exam=50", "+Homework=50"}));

    WeightEntity empty = weights("Nothing", "All", "All", {});
    EXPECT_EQ(store()->addWeightWithData(empty), -1);
    EXPECT_FALSE(store()->deleteWeightWithData(nullptr));
    ASSERT_TRUE(store()->deleteWeightWithNo(1));
    EXPECT_TRUE(store()->weightList().isEmpty());
}

TEST_F(WeightStoreTest, RosterDeletesRemoveTheListsOfANameInFileAndMemoryAlike)
{
    for (const char *teacher : {"Smith \"Jr\"", "smith \"jr\"", "Lee"}) {
        WeightEntity w = weights(QStringLiteral("For %1").arg(teacher), "7A", teacher, {entry(2, true, 100)});
        ASSERT_GT(store()->addWeightWithData(w), 0);
    }
    ASSERT_TRUE(store()->deleteWeightByTeacherName("Smith \"Jr\""));
    QStringList left;
    for (const WeightEntity &w : store()->weightList())
        left << w.teacherName();
    EXPECT_EQ(left, (QStringList{"smith \"jr\"", "Lee"}));
    store()->loadWeights();
    left.clear();
    for (const WeightEntity &w : store()->weightList())
        left << w.teacherName();
    EXPECT_EQ(left, (QStringList{"Lee", "smith \"jr\""}));

    // The records left are still found where they are: a later edit hits the right one.
    WeightEntity lee = *store()->weightByNo(1);
    lee.setTitle("Lee's");
    ASSERT_TRUE(store()->updateWeightWithData(lee));
    ASSERT_TRUE(store()->deleteWeightByClassName("7A"));
    EXPECT_TRUE(store()->weightList().isEmpty());

    failWritesTo("WeightsAndSessionTypes.xml");
    QString why;
    EXPECT_FALSE(store()->deleteWeightBySubjectName("Maths", &why));
    EXPECT_FALSE(why.isEmpty());
}

TEST_F(WeightStoreTest, AValueCopyOfAListOutlivesItsRecord)
{
    WeightEntity main = weights("Main", "All", "All", {entry(2, true, 100)});
    store()->addWeightWithData(main);
    const WeightEntity copy = *store()->weightByNo(1);
    store()->deleteWeightWithNo(1);
    store()->loadWeights();
    ASSERT_EQ(copy.sessionTypesInWeight().size(), 1);
    EXPECT_EQ(copy.sessionTypesInWeight().at(0).sessionType(), "Exam");
}

TEST_F(WeightStoreTest, DeletingAClassTakesItsScalesAndWeightListsButNotOthers)
{
    for (const char *className : {"7A", "8B"}) {
        WeightEntity w = weights(QStringLiteral("W %1").arg(className), className, "All", {entry(2, true, 100)});
        store()->addWeightWithData(w);
        LetterGradeEntity s;
        s.setTitle(QStringLiteral("S %1").arg(className));
        s.setClassName(className);
        LetterEntity pass;
        pass.setLetter("P");
        pass.setPointTo(100);
        s.letterList() << pass;
        TovGradeLetterXmlDatabase::sharedUI()->addWithData(s);
    }
    GradebookRosterRecords records;
    GradebookNameRecords::install(&records);
    ASSERT_TRUE(GradebookNameRecords::deleteAllOf(GradebookNameRecords::Owner::Class, "7A"));
    GradebookNameRecords::install(nullptr);
    GradebookRosterRecords::reloadStores();
    ASSERT_EQ(store()->weightList().size(), 1);
    EXPECT_EQ(store()->weightList().at(0).className(), "8B");
    ASSERT_EQ(TovGradeLetterXmlDatabase::sharedUI()->gradeLetterList().size(), 1);
    EXPECT_EQ(TovGradeLetterXmlDatabase::sharedUI()->gradeLetterList().at(0).className(), "8B");

    // A scale file that cannot be written stops the deletion with its reason.
    failWritesTo("LetterGrade.xml");
    QString why;
    EXPECT_FALSE(records.deleteRecordsOf(GradebookNameRecords::Owner::Class, "8B", &why));
    EXPECT_FALSE(why.isEmpty());
    EXPECT_EQ(store()->weightList().size(), 1);
}

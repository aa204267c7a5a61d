#include "../gradebook/GradebookTestBase.h"

#include "core/store/TovGradeLetterXmlDatabase.h"

namespace {
class LetterStoreTest : public GradebookTestBase
{
protected:
    static TovGradeLetterXmlDatabase *store() { return TovGradeLetterXmlDatabase::sharedUI(); }
    static LetterEntity letter(const QString &name, int from, int to, const QString &note = {})
    {
        LetterEntity l;
        l.setLetter(name);
        l.setPointFrom(from);
        l.setPointTo(to);
        l.setNotes(note);
        return l;
    }
    static LetterGradeEntity scale(const QString &title, const QString &className, const QList<LetterEntity> &letters)
    {
        LetterGradeEntity s;
        s.setTitle(title);
        s.setClassName(className);
        s.setLetterList(letters);
        return s;
    }
    static QStringList letters(int no)
    {
        QStringList out;
        const LetterGradeEntity scale = store()->letterGradeByNo(no).value_or(LetterGradeEntity());
        for (const LetterEntity &l : scale.letterList())
            out << QStringLiteral("%1 %2-%3").arg(l.letter()).arg(l.pointFrom()).arg(l.pointTo());
        return out;
    }
};
} // namespace

TEST_F(LetterStoreTest, ScalesRoundTripWithTheirLettersInNameOrder)
{
    EXPECT_TRUE(store()->gradeLetterList().isEmpty());
    EXPECT_EQ(dataFile("LetterGrade.xml"), xml("<GradeLetters></GradeLetters>"));
    LetterGradeEntity plus = scale("Plus & minus", "7A",
                                   {letter("A+", 97, 100, "top \"marks\""), letter("A", 93, 96), letter("A-", 90, 92),
                                    letter("B", 0, 89)});
    ASSERT_EQ(store()->addWithData(plus), 1);
    EXPECT_EQ(dataFile("LetterGrade.xml"), golden("letters-one"));
    EXPECT_EQ(letters(1), (QStringList{"A+ 97-100", "A 93-96", "A- 90-92", "B 0-89"}));
    store()->loadGradeLetterList();
    EXPECT_EQ(letters(1), (QStringList{"A 93-96", "A+ 97-100", "A- 90-92", "B 0-89"}));
    EXPECT_EQ(store()->letterGradeByNo(1)->letterList().at(1).notes(), "top \"marks\"");
    EXPECT_TRUE(store()->existLetterGradeWithTitle("Plus & minus"));
    EXPECT_FALSE(store()->existLetterGradeWithTitle("plus & minus"));

    LetterGradeEntity none = scale("Empty", "All", {});
    EXPECT_EQ(store()->addWithData(none), -1);
}

TEST_F(LetterStoreTest, AnUpdateLeavesExactlyTheLettersGiven)
{
    LetterGradeEntity s = scale("Main", "All", {letter("A", 50, 100), letter("b", 0, 49)});
    store()->addWithData(s);
    LetterGradeEntity changed = scale("Main", "All", {letter("A", 60, 100), letter("B", 0, 59)});
    changed.setNo(s.no());
    ASSERT_TRUE(store()->updateWithData(changed));
    const QByteArray file = dataFile("LetterGrade.xml");
    EXPECT_EQ(file.count("<Name>A</Name>"), 1);
    EXPECT_FALSE(file.contains("<Name>b</Name>"));
    store()->loadGradeLetterList();
    EXPECT_EQ(letters(1), (QStringList{"A 60-100", "B 0-59"}));

    writeFile("Data/LetterGrade.xml", xml("<GradeLetters><GradeLetter><Title>Old</Title><LetterList><Letter><Name>P"
                                          "</Name><PointFrom>60</PointFrom></Letter></LetterList></GradeLetter>"
                                          "</GradeLetters>"));
    store()->loadGradeLetterList();
    EXPECT_EQ(letters(1), QStringList{"P 60-0"});
}

TEST_F(LetterStoreTest, RosterDeletesRemoveTheScalesOfANameInFileAndMemoryAlike)
{
    for (const char *className : {"7\"A\"", "7\"a\"", "8B"}) {
        LetterGradeEntity s = scale(QString::fromUtf8(className), className, {letter("P", 0, 100)});
        ASSERT_GT(store()->addWithData(s), 0);
    }
    ASSERT_TRUE(store()->deleteGradeLetterByClassName("7\"A\""));
    store()->loadGradeLetterList();
    QStringList left;
    for (const LetterGradeEntity &s : store()->gradeLetterList())
        left << s.className();
    EXPECT_EQ(left, (QStringList{"7\"a\"", "8B"}));
    ASSERT_TRUE(store()->deleteGradeLetterByTeacherName("All"));
    EXPECT_TRUE(store()->gradeLetterList().isEmpty());
    EXPECT_EQ(dataFile("LetterGrade.xml"), xml("<GradeLetters></GradeLetters>"));
}

TEST_F(LetterStoreTest, FailedWritesChangeNothing)
{
    LetterGradeEntity s = scale("Main", "All", {letter("P", 0, 100)});
    store()->addWithData(s);
    const QByteArray before = dataFile("LetterGrade.xml");
    failWritesTo("LetterGrade.xml");
    LetterGradeEntity changed = scale("Renamed", "All", {letter("Q", 0, 100)});
    changed.setNo(1);
    QString why;
    EXPECT_FALSE(store()->updateWithData(changed, &why));
    EXPECT_FALSE(why.isEmpty());
    EXPECT_FALSE(store()->deleteWithNo(1));
    EXPECT_FALSE(store()->deleteGradeLetterBySubjectName("All"));
    allowWrites();
    EXPECT_EQ(dataFile("LetterGrade.xml"), before);
    EXPECT_EQ(store()->letterGradeByNo(1)->title(), "Main");
    EXPECT_EQ(letters(1), QStringList{"P 0-100"});
}

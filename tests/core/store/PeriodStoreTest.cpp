#include "../gradebook/GradebookTestBase.h"

#include "core/store/TovPeriodXmlDatabase.h"

namespace {
class PeriodStoreTest : public GradebookTestBase
{
protected:
    static TovPeriodXmlDatabase *store() { return TovPeriodXmlDatabase::sharedUI(); }
    static PeriodEntity period(const QString &title, const QString &from, const QString &to, int no = -1)
    {
        PeriodEntity p;
        p.setNo(no);
        p.setTitle(title);
        p.setDateFrom(from);
        p.setDateTo(to);
        return p;
    }
    static QStringList titles()
    {
        QStringList out;
        for (const PeriodEntity &p : store()->periodList())
            out << QStringLiteral("%1:%2").arg(p.no()).arg(p.unique_title());
        return out;
    }
};
} // namespace

TEST_F(PeriodStoreTest, NewFileListsByCharacterCodeAfterALoadAndTitlesKeepQuotesAsTyped)
{
    EXPECT_TRUE(store()->periodList().isEmpty());
    EXPECT_EQ(dataFile("Periods.xml"), xml("<Periods></Periods>"));

    PeriodEntity t2 = period("Term 2", "2013-02-01", "2013-06-30");
    PeriodEntity t1 = period("Term 1", "2012-09-01", "2013-01-31");
    PeriodEntity t0 = period("term 0", "2012-06-01", "2012-08-31");
    EXPECT_EQ(store()->addWithData(t2), 1);
    EXPECT_EQ(store()->addWithData(t1), 2);
    EXPECT_EQ(store()->addWithData(t0), 3);
    EXPECT_EQ(titles(), (QStringList{"1:Term 2(2013-02-01~2013-06-30)", "2:Term 1(2012-09-01~2013-01-31)",
                                     "3:term 0(2012-06-01~2012-08-31)"}));
    store()->loadPeriods();
    EXPECT_EQ(titles(), (QStringList{"1:Term 1(2012-09-01~2013-01-31)", "2:Term 2(2013-02-01~2013-06-30)",
                                     "3:term 0(2012-06-01~2012-08-31)"}));
    ASSERT_TRUE(store()->periodByTitle("TERM 1"));
    EXPECT_EQ(store()->periodByTitle("TERM 1")->dateFrom(), "2012-09-01");
    EXPECT_FALSE(store()->periodByNo(4));

    // A title with quotes and a backslash is written once, as typed, and saving it again
    // changes nothing.
    const QString odd = QStringLiteral("Mid \"term\" \\ Bob's");
    ASSERT_TRUE(store()->updateWithData(period(odd, "2013-02-01", "2013-06-30", 2)));
    ASSERT_TRUE(store()->updateWithData(period(odd, "2013-02-01", "2013-06-30", 2)));
    EXPECT_EQ(dataFile("Periods.xml"), golden("periods-three"));
    store()->loadPeriods();
    EXPECT_EQ(store()->periodList().at(0).title(), odd);
}

TEST_F(PeriodStoreTest, TwoPeriodsSwappingTitlesInOneSaveKeepTheirOwnDays)
{
    PeriodEntity a = period("A", "2012-09-01", "2012-12-31");
    PeriodEntity b = period("B", "2013-01-01", "2013-06-30");
    store()->addWithData(a);
    store()->addWithData(b);
    ASSERT_TRUE(store()->updateWithData(period("B", "2012-09-01", "2012-12-31", a.no())));
    ASSERT_TRUE(store()->updateWithData(period("A", "2013-01-01", "2013-06-30", b.no())));
    store()->loadPeriods();
    EXPECT_EQ(titles(), (QStringList{"1:A(2013-01-01~2013-06-30)", "2:B(2012-09-01~2012-12-31)"}));
}

TEST_F(PeriodStoreTest, RecordsDifferingOnlyInCaseAreEditedOneByOne)
{
    writeFile("Data/Periods.xml", xml("<Periods><Period><Name>fall</Name><PeriodFrom>1</PeriodFrom><PeriodTo>2</PeriodTo>"
                                      "</Period><Period><Name>Fall</Name><PeriodFrom>3</PeriodFrom><PeriodTo>4</PeriodTo>"
                                      "</Period></Periods>"));
    store()->loadPeriods();
    // Fall sorts before fall: number 1 is the second element.
    ASSERT_TRUE(store()->deleteWithNo(1));
    EXPECT_EQ(dataFile("Periods.xml"),
              xml("<Periods><Period><Name>fall</Name><PeriodFrom>1</PeriodFrom><PeriodTo>2</PeriodTo></Period></Periods>"));
    ASSERT_TRUE(store()->updateWithData(period("Autumn", "1", "2", 2)));
    EXPECT_TRUE(dataFile("Periods.xml").contains("<Name>Autumn</Name>"));
    EXPECT_FALSE(store()->deleteWithData(nullptr));
    EXPECT_FALSE(store()->deleteWithNo(7));
}

TEST_F(PeriodStoreTest, FailedWritesAndOutsideChangesLeaveFileAndListAsTheyWere)
{
    PeriodEntity a = period("A", "2012-09-01", "2012-12-31");
    store()->addWithData(a);
    const QByteArray before = dataFile("Periods.xml");

    failWritesTo("Periods.xml");
    QString why;
    PeriodEntity b = period("B", "2013-01-01", "2013-06-30");
    EXPECT_EQ(store()->addWithData(b, &why), -1);
    EXPECT_FALSE(why.isEmpty());
    EXPECT_FALSE(store()->updateWithData(period("C", "x", "y", 1)));
    EXPECT_FALSE(store()->deleteWithNo(1));
    allowWrites();
    EXPECT_EQ(dataFile("Periods.xml"), before);
    EXPECT_EQ(titles(), QStringList{"1:A(2012-09-01~2012-12-31)"});
    EXPECT_EQ(store()->maxNo(), 2);

    // Another program emptied the file: the store says so instead of editing another record.
    writeFile("Data/Periods.xml", xml("<Periods></Periods>"));
    why.clear();
    EXPECT_FALSE(store()->updateWithData(period("C", "x", "y", 1), &why));
    EXPECT_FALSE(why.isEmpty());
    EXPECT_EQ(store()->periodList().at(0).title(), "A");

    // An unreadable file at load keeps the list.
    writeFile("Data/Periods.xml", "<Periods><Period>");
    store()->loadPeriods();
    EXPECT_EQ(store()->periodList().size(), 1);
}

#include "ReportTestBase.h"

#include "core/reports/ReportChoice.h"
#include "core/reports/ReportHeadView.h"
#include "core/reports/ReportSessionList.h"
#include "core/store/TovFastQuizXmlDatabase.h"
#include "core/store/TovQuizXmlDatabase.h"

#include <ctime>

namespace {
TovSessionXmlParsedResult entry(const QString &name, const QString &created, const QString &mode = "1",
                                const QString &title = "Week 3", int groups = 1, const QString &model = "3", int flag = 1)
{
    TovSessionXmlParsedResult e;
    e.setID(name + "-id");
    e.setName(name);
    e.setTitle(title);
    e.setMode(mode);
    e.setDateCreated(created);
    e.setGroups(groups);
    e.setModel(model);
    e.setClassName("Class A");
    e.setSubject("Maths");
    e.setTeacherName("Mary");
    e.setType("Exam");
    e.setFlag(flag);
    e.setFilePath("/data/" + name + ".xml");
    return e;
}

QStringList names(const QList<ReportTable1Element> &rows)
{
    QStringList out;
    for (const ReportTable1Element &r : rows)
        out << r.session();
    return out;
}

ReportSessionList::Filter all()
{
    ReportSessionList::Filter f;
    for (QString *v : {&f.title, &f.activity, &f.type, &f.className, &f.subject, &f.teacher, &f.kind})
        *v = QStringLiteral("All");
    return f;
}

class ReportSessionListTest : public ReportTestBase
{
};
} // namespace

TEST_F(ReportSessionListTest, RowsListNewestFirstWhateverFormTheirTimeStampHas)
{
    const QList<TovSessionXmlParsedResult> index{
        entry("Morning", "2012-03-23T09:00:00"),
        entry("Afternoon", "2012-03-23 15:00:00 +0800"), // a blank for the T, and a zone behind it
        entry("Older", "2012-03-20T18:30:00"),
        entry("No time", "2012-03-22"),
        entry("Unreadable", "yesterday"),
    };
    const QList<ReportTable1Element> rows = ReportSessionList::rows(index);
    EXPECT_EQ(names(rows), (QStringList{"Afternoon", "Morning", "No time", "Older", "Unreadable"}));
    EXPECT_EQ(rows[0].date(), "2012-03-23");
    EXPECT_EQ(rows[0].dateZone(), "2012-03-23 15:00:00 +0800");
    EXPECT_EQ(rows[2].dateZone(), "2012-03-22 00:00:00 +0800");
    EXPECT_EQ(rows[0].activityMode(), "Normal Quiz");
    EXPECT_EQ(rows[0].flagStr(), "NORMAL");
}

TEST_F(ReportSessionListTest, FiltersCompareExactlyAndTheDaysIncludeBothEnds)
{
    const QList<TovSessionXmlParsedResult> index{
        entry("First", "2012-03-20T08:00:00", "1", "Week 3"), entry("Vote", "2012-03-21T08:00:00", "15", "Week 3"),
        entry("Last", "2012-03-23T23:59:59", "1", "week 3"), entry("Course", "2012-03-22T10:00:00", "1", "Week 3", 1, "3", 2)};
    ReportSessionList::Filter f = all();
    f.from = QDate(2012, 3, 20);
    f.to = QDate(2012, 3, 23);
    EXPECT_EQ(names(ReportSessionList::rows(index, &f)), (QStringList{"Last", "Course", "Vote", "First"}));
    f.title = "Week 3";
    EXPECT_EQ(names(ReportSessionList::rows(index, &f)), (QStringList{"Course", "Vote", "First"}));
    f.activity = "Vote";
    EXPECT_EQ(names(ReportSessionList::rows(index, &f)), (QStringList{"Vote"}));
    f = all();
    f.kind = "COURSE";
    EXPECT_EQ(names(ReportSessionList::rows(index, &f)), (QStringList{"Course"}));
    f = all();
    f.from = f.to = QDate(2012, 3, 23);
    EXPECT_EQ(names(ReportSessionList::rows(index, &f)), (QStringList{"Last"}));
    f.from = QDate(2012, 3, 24); // an inverted range lists nothing
    EXPECT_TRUE(ReportSessionList::rows(index, &f).isEmpty());
    f = all();
    f.teacher = QString(); // a combo box without a chosen item lets nothing through
    EXPECT_TRUE(ReportSessionList::rows(index, &f).isEmpty());
}

TEST_F(ReportSessionListTest, DaysStayTheStoredDaysInAnyTimeZone)
{
    const QByteArray zone = qgetenv("TZ");
    for (const char *tz : {"America/Los_Angeles", "Pacific/Kiritimati", "UTC"}) {
        qputenv("TZ", tz);
        tzset();
        const QList<TovSessionXmlParsedResult> index{entry("Early", "2012-03-23T00:30:00"),
                                                     entry("Late", "2012-03-23T23:30:00")};
        ReportSessionList::Filter f = all();
        f.from = f.to = QDate(2012, 3, 23);
        EXPECT_EQ(names(ReportSessionList::rows(index, &f)), (QStringList{"Late", "Early"})) << tz;
        // The head shows the stored day too.
        EXPECT_EQ(ReportHeadView::dateText(session("student-session")), "2012-03-23") << tz;
    }
    qputenv("TZ", zone);
    tzset();
}

TEST_F(ReportSessionListTest, DefaultRangeRunsFromTheEarliestToTheLatestListedDay)
{
    const QDate today(2012, 3, 23);
    const QList<ReportTable1Element> rows =
        ReportSessionList::rows({entry("a", "2012-03-10T08:00:00"), entry("b", "2012-03-15T08:00:00")});
    const auto range = ReportSessionList::defaultDateRange(rows, today, [] {
        ADD_FAILURE() << "the files are read only when nothing is listed";
        return QStringList();
    });
    EXPECT_EQ(range.from, QDate(2012, 3, 10));
    EXPECT_EQ(range.to, QDate(2012, 3, 15));
    // Sessions after today: From stays at today at the latest.
    const auto future = ReportSessionList::defaultDateRange(ReportSessionList::rows({entry("c", "2012-04-01T08:00:00")}),
                                                            today, {});
    EXPECT_EQ(future.from, today);
    EXPECT_EQ(future.to, QDate(2012, 4, 1));
    // Nothing listed: the days of every file, else today.
    const auto files = ReportSessionList::defaultDateRange({}, today, [] {
        return QStringList{"2012-02-01T10:00:00", "junk", "2011-12-24T10:00:00"};
    });
    EXPECT_EQ(files.from, QDate(2011, 12, 24));
    EXPECT_EQ(files.to, QDate(2012, 2, 1));
    const auto none = ReportSessionList::defaultDateRange({}, today, [] { return QStringList(); });
    EXPECT_EQ(none.from, today);
    EXPECT_EQ(none.to, today);
}

TEST_F(ReportSessionListTest, ButtonsFollowTheSelection)
{
    using B = ReportSessionList::Buttons;
    const auto rows = [](const QList<TovSessionXmlParsedResult> &entries) { return ReportSessionList::rows(entries); };
    const auto normal = [](const QString &n, int groups = 1, const QString &model = "3") {
        return entry(n, "2012-03-23T08:00:00", "1", "Week 3", groups, model);
    };
    const auto paper = [](const QString &n, int groups = 1) { return entry(n, "2012-03-23T08:00:00", "2", "Week 3", groups); };

    EXPECT_EQ(ReportSessionList::buttonsFor({}, false), (B{false, false, false, false, true, false}));
    EXPECT_EQ(ReportSessionList::buttonsFor(rows({normal("a")}), false), (B{true, false, true, true, true, true}));
    // A vote: no editing or export, the report stays; an attendance likewise.
    EXPECT_EQ(ReportSessionList::buttonsFor(rows({entry("v", "2012-03-23T08:00:00", "15")}), false),
              (B{false, false, false, true, true, true}));
    EXPECT_EQ(ReportSessionList::buttonsFor(rows({entry("r", "2012-03-23T08:00:00", "13")}), false),
              (B{false, false, false, true, true, true}));
    // Merging: runs without groups of one model and kind.
    EXPECT_TRUE(ReportSessionList::buttonsFor(rows({normal("a"), normal("b")}), false).merge);
    EXPECT_TRUE(ReportSessionList::buttonsFor(rows({normal("a"), normal("b"), paper("c")}), false).merge);
    EXPECT_FALSE(ReportSessionList::buttonsFor(rows({normal("a"), normal("b", 1, "1")}), false).merge);
    EXPECT_FALSE(ReportSessionList::buttonsFor(rows({normal("a", 0), paper("b", 0)}), false).merge);
    EXPECT_FALSE(ReportSessionList::buttonsFor(rows({normal("a"), normal("b", 0)}), false).merge);
    EXPECT_TRUE(ReportSessionList::buttonsFor(rows({normal("a", 0), normal("b", 3)}), false).merge);
    EXPECT_FALSE(ReportSessionList::buttonsFor(rows({normal("a"), entry("v", "2012-03-23T08:00:00", "15")}), false).merge);
    // While the window rebuilds its list the merge checks wait.
    EXPECT_TRUE(ReportSessionList::buttonsFor(rows({normal("a"), normal("b", 1, "1")}), true).merge);

    EXPECT_TRUE(ReportSessionList::doubleClickEdits(rows({normal("a")})));
    for (const char *mode : {"9", "10", "13", "14", "15"})
        EXPECT_FALSE(ReportSessionList::doubleClickEdits(rows({entry("x", "2012-03-23T08:00:00", mode)}))) << mode;
}

TEST_F(ReportSessionListTest, MergeNeedsOneSubjectAndEitherTheClassOrTheQuestionFile)
{
    QList<TovSessionXmlParsedResult> e{entry("a", "2012-03-23T08:00:00"), entry("b", "2012-03-23T09:00:00"),
                                      entry("c", "2012-03-23T10:00:00")};
    e[1].setClassName("Class B");
    e[2].setClassName("Class C");
    QHash<QString, QString> papers{{"/data/a.xml", "Week 35"}, {"/data/b.xml", "Week 35"}, {"/data/c.xml", "Week 35"}};
    const auto paper = [&papers](const QString &path) { return papers.value(path); };
    EXPECT_TRUE(ReportSessionList::mayMerge(ReportSessionList::rows(e), paper));
    papers["/data/a.xml"] = "Week 410";
    EXPECT_FALSE(ReportSessionList::mayMerge(ReportSessionList::rows(e), paper));
    e[1].setClassName("Class A");
    e[2].setClassName("Class A");
    EXPECT_TRUE(ReportSessionList::mayMerge(ReportSessionList::rows(e), paper));
    e[2].setSubject("Art");
    EXPECT_FALSE(ReportSessionList::mayMerge(ReportSessionList::rows(e), paper));
}

TEST_F(ReportSessionListTest, TheChooserOffersTheReportsOfTheSessionsKindAndModel)
{
    const QStringList arvel = ReportChoice::reportsFor(false, "Normal Quiz", 1);
    EXPECT_EQ(arvel.size(), 10);
    EXPECT_FALSE(arvel.contains("Absentee Report"));
    const QStringList dravel = ReportChoice::reportsFor(false, "Normal Quiz", 3);
    ASSERT_EQ(dravel.size(), 11);
    EXPECT_EQ(dravel[8], "Absentee Report");
    EXPECT_EQ(dravel[9], "Standards Analysis Report");
    EXPECT_EQ(ReportChoice::reportsFor(true, "Normal Quiz", 4)[9], "Group Result");
    EXPECT_EQ(ReportChoice::reportsFor(false, "Normal Quiz", -1).size(), 11) << "an unknown model is not Arvel";
    EXPECT_EQ(ReportChoice::reportsFor(false, "Vote", 3), (QStringList{"Vote Report", "Response Spread Report", "Absentee Report"}));
    for (const char *none : {"Survey", "Quick Grouping", "Hand Raise", ""})
        EXPECT_TRUE(ReportChoice::reportsFor(false, none, 3).isEmpty()) << none;
    EXPECT_TRUE(ReportChoice::reportsFor(true, "Vote", 3).isEmpty());

    QuizEntity quiz;
    quiz.setGroup(1);
    EXPECT_FALSE(ReportChoice::isGroupSession(quiz));
    EXPECT_FALSE(ReportChoice::needsTickedStudent(false, "Vote", "Vote Report"));
    EXPECT_FALSE(ReportChoice::needsTickedStudent(false, "Normal Quiz", "Class Response Report"));
    EXPECT_TRUE(ReportChoice::needsTickedStudent(false, "Rush Quiz", "Result By Question(Scores)"));
    EXPECT_TRUE(ReportChoice::needsTickedStudent(false, "Elimination", "Result Of Elimination"));
    EXPECT_FALSE(ReportChoice::needsTickedStudent(true, "Normal Quiz", "Study Guide"));

    // IDs in the order of their numbers: 3, 5, 007, 12, 20.
    QStringList ids;
    for (const SelectStudents &s : ReportChoice::studentCheckList(session("student-session")))
        ids << s.studentID();
    EXPECT_EQ(ids, (QStringList{"3", "5", "007", "12", "20"}));
    const SelectStudents carla = ReportChoice::studentCheckList(session("student-session"))[2];
    EXPECT_EQ(carla.studentName(), "Carla Maria Fernandes-Ortiz");
    EXPECT_EQ(carla.studentNo(), 3);
    EXPECT_FALSE(carla.isSelected());
}

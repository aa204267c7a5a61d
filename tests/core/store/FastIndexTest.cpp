#include "StoreTestBase.h"

#include "core/store/MyXmlParser.h"
#include "core/store/QuizEntity.h"
#include "core/store/TovFastQuizXmlDatabase.h"

#include <QDir>

namespace {
using FastIndexTest = StoreTestBase;

const QByteArray kHead = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Session xmlns:xsi=\"http://www.w3.org/2001/"
                         "XMLSchema-instance\" xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\">";

TovFastQuizXmlDatabase *index()
{
    return TovFastQuizXmlDatabase::sharedFastQuiz();
}

TovSessionXmlParsedResult parsed(const QString &path)
{
    TovSessionXmlParsedResult entry;
    entry.setFilePath(path);
    entry.parseXMLFile(path);
    return entry;
}
} // namespace

TEST_F(FastIndexTest, ListsEveryFolderThatExists)
{
    writeFile("Data/Quiz/a.xml", golden("session-full"));
    writeFile("Data/Quiz/sub/b.XML", golden("session-attendance"));
    writeFile("Data/Quiz/notes.txt", "x");
    int calls = 0, lastTotal = 0;
    index()->reloadQuiz([&](int done, int total) {
        ++calls;
        lastTotal = total;
        EXPECT_LE(done, total);
    });
    EXPECT_EQ(index()->allSessionXmlParsedResults().size(), 2);
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(lastTotal, 2);
    // The entry names the file as it is on disk, so its header is read and it can be opened.
    const TovSessionXmlParsedResult *upper = index()->session_resultByPath(home() + "Data/Quiz/sub/b.XML");
    ASSERT_NE(upper, nullptr);
    EXPECT_EQ(upper->Mode(), "13");

    writeFile("Data/CourseGrade/g.xml", golden("session-points-only", "input.xml"));
    QDir(home() + "Data/Quiz").removeRecursively();
    index()->reloadQuiz();
    ASSERT_EQ(index()->allSessionXmlParsedResults().size(), 1);
    const TovSessionXmlParsedResult &points = index()->allSessionXmlParsedResults()[0];
    EXPECT_EQ(points.flag(), 2);
    EXPECT_TRUE(points.isCoureGrade());
    EXPECT_EQ(points.TotalMark(), "100");
    EXPECT_EQ(points.StartTime(), "2012-03-05T14:07:09");
    EXPECT_EQ(points.Groups(), 1);
}

TEST_F(FastIndexTest, HeaderFieldsOfTheGoldenSessions)
{
    const TovSessionXmlParsedResult full = parsed(writeFile("a.xml", golden("session-full")));
    EXPECT_EQ(full.ID(), "0a1b2c3d-0000-4000-8000-000000000001");
    EXPECT_EQ(full.Subject(), "Maths & Art");
    EXPECT_EQ(full.Title(), "Week 3");
    EXPECT_EQ(full.TotalMark(), " ");
    EXPECT_EQ(full.TimeElapsed(), 420);
    EXPECT_EQ(full.PassGrade(), 60);
    EXPECT_EQ(full.Mode(), "1");
    EXPECT_FALSE(full.isCoureGrade());
    const TovSessionXmlParsedResult att = parsed(writeFile("b.xml", golden("session-attendance")));
    EXPECT_FALSE(att.isCoureGrade());
    EXPECT_EQ(att.Mode(), "13");
    EXPECT_EQ(att.Title(), " ");
}

TEST_F(FastIndexTest, EmptyTotalMarkLetsNoQuestionFieldOverwriteTheHeader)
{
    for (const QByteArray &totalMark : {QByteArray("<TotalMark></TotalMark>"), QByteArray("<TotalMark/>")}) {
        const QString path = writeFile("e.xml", kHead + "<ID>abc</ID><Mode>1</Mode><Type>Exam</Type>" + totalMark +
                                                    "<Questions><Question><ID>q</ID><Type>4</Type><Mode>9</Mode>"
                                                    "<Point>5</Point></Question></Questions></Session>");
        const TovSessionXmlParsedResult e = parsed(path);
        EXPECT_EQ(e.ID(), "abc");
        EXPECT_EQ(e.Mode(), "1");
        EXPECT_EQ(e.Type(), "Exam");
        EXPECT_EQ(e.TotalMark(), "");
        EXPECT_FALSE(e.isCoureGrade());
    }
}

TEST_F(FastIndexTest, ScannerDecodesKeepsLongAndNonAsciiValuesAndTakesFirstOccurrences)
{
    const QString longTitle(5000, QLatin1Char('t'));
    const QString path = writeFile("x.xml", kHead + "\n  <!-- made by hand > -->\n  <ID>x1</ID>\n  <Name>R&amp;D &lt;1&gt; &#38;&#x41;&bogus;</Name>\n"
                                                "  <Title>" + longTitle.toUtf8() + "</Title>\n  <ClassName>Größe 五</ClassName>\n"
                                                "  <Name>second</Name>\n  <Groups>3 groups</Groups>\n"
                                                "  <TotalMark>9</TotalMark>\n  <Questions>\n    <Question>");
    const TovSessionXmlParsedResult e = parsed(path);
    EXPECT_EQ(e.ID(), "x1");
    EXPECT_EQ(e.Name(), "R&D <1> &A&bogus;");
    EXPECT_EQ(e.Title(), longTitle);
    EXPECT_EQ(e.ClassName(), QString::fromUtf8("Größe 五"));
    EXPECT_EQ(e.Groups(), 3);
    EXPECT_EQ(e.TotalMark(), "9");
    EXPECT_EQ(MyXmlParser::decodeText("a&#0;b&#xD800;c&#x1F600;"), QString("a&#0;b&#xD800;c") + QString::fromUcs4(U"\U0001F600", 1));
}

TEST_F(FastIndexTest, UnreadableFileGivesDefaults)
{
    TovSessionXmlParsedResult e;
    e.setFilePath(home() + "missing.xml");
    e.setFlag(2);
    EXPECT_FALSE(e.parseXMLFile(e.filePath()));
    EXPECT_EQ(e.PassGrade(), 60);
    EXPECT_EQ(e.flag(), 2);
    EXPECT_EQ(e.filePath(), home() + "missing.xml");
}

TEST_F(FastIndexTest, WritersKeepEntriesInStep)
{
    QuizEntity quiz;
    quiz.setName("N");
    quiz.setTitle("A & B");
    quiz.setActionType("4");
    quiz.setDate(QStringLiteral("2012-03-23T14:07:09"));
    quiz.setGroup(4);
    index()->addQuizWithPath("/p/one.xml", "id1", 2, quiz);
    const TovSessionXmlParsedResult *e = index()->session_resultByPath("/p/one.xml");
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->Title(), "A & B");
    EXPECT_EQ(e->Groups(), 4);
    EXPECT_EQ(e->flag(), 2);
    EXPECT_FALSE(e->isCoureGrade());

    quiz.setActionType("1");
    quiz.setTitle("C");
    quiz.setDate(QDateTime(QDate(2012, 3, 23), QTime(0, 0), Qt::OffsetFromUTC, 8 * 3600));
    index()->updateQuizWithPath("/p/one.xml", "Default", quiz);
    e = index()->session_resultByPath("/p/one.xml");
    EXPECT_EQ(e->Title(), "C");
    EXPECT_EQ(e->Mode(), "4");
    EXPECT_EQ(e->DateCreated(), "2012-03-23 00:00:00 +0800");
    EXPECT_EQ(GlobalFunctions::timeStampFromStandardText(e->DateCreated()), "2012-03-23T00:00:00");
    index()->updateQuizWithPath("/p/one.xml", "", quiz);
    EXPECT_EQ(index()->session_resultByPath("/p/one.xml")->DateCreated(), "2012-03-23 00:00:00 +0800");
    index()->updateQuizWithPath("/p/one.xml", "2012-03-05T14:07:09", quiz);
    EXPECT_EQ(index()->session_resultByPath("/p/one.xml")->DateCreated(), "2012-03-05T14:07:09");

    index()->updateQuizWithPath("/p/none.xml", "", quiz);
    index()->deleteQuizWithPath("/p/none.xml");
    index()->deleteQuizWithPath("/p/one.xml");
    EXPECT_TRUE(index()->allSessionXmlParsedResults().isEmpty());
}

TEST_F(FastIndexTest, ALetterSplitByTheReadChunkIsCapturedWhole)
{
    // "五" is three bytes; the first of them is the last byte of the first 1024-byte chunk.
    QByteArray head = kHead + "<ID>x1</ID><Title>";
    head += QByteArray(1023 - head.size(), 'a');
    const QString path = writeFile("s.xml", head + "五</Title><TotalMark>1</TotalMark><Questions><Question>");
    const TovSessionXmlParsedResult e = parsed(path);
    EXPECT_EQ(e.Title(), QString(1023 - (kHead.size() + 18), QLatin1Char('a')) + QString::fromUtf8("五"));
    EXPECT_EQ(e.TotalMark(), "1");
}

TEST_F(FastIndexTest, AHeaderThatCannotBeReadSaysWhy)
{
    const QByteArray whole = golden("session-full");
    EXPECT_EQ(parsed(writeFile("whole.xml", whole)).damage(), "");
    // The header alone, closed, is whole too; so is one whose file stops inside its questions.
    EXPECT_EQ(parsed(writeFile("bare.xml", kHead + "<ID>a</ID><Name>N</Name></Session>")).damage(), "");
    EXPECT_EQ(parsed(writeFile("body.xml", kHead + "<ID>a</ID><Questions><Question><ID>q")).damage(), "");

    EXPECT_EQ(parsed(writeFile("empty.xml", "")).damage(), "the file is empty");
    EXPECT_EQ(parsed(writeFile("text.xml", "Name,Title\nQuiz,Week 3\n")).damage(), "it holds no XML element");
    EXPECT_EQ(parsed(writeFile("roster.xml", "<?xml version=\"1.0\"?><Students><Student/></Students>")).damage(),
              "it is no session file (its root element is <Students>, not <Session>)");
    const TovSessionXmlParsedResult cut = parsed(writeFile("cut.xml", whole.left(whole.indexOf("<Title>"))));
    EXPECT_EQ(cut.damage(), "it ends before its header does (the file was cut short)");
    EXPECT_TRUE(parsed(home() + "missing.xml").damage().startsWith("the file cannot be opened ("));

    // Read again, a mended file loses its mark.
    TovSessionXmlParsedResult again = cut;
    writeFile("cut.xml", whole);
    again.parseXMLFile(home() + "cut.xml");
    EXPECT_EQ(again.damage(), "");
}

#include "core/engine/StoredAnswers.h"
#include "core/reports/ClassResponseReport.h"
#include "core/reports/NodeData.h"
#include "core/reports/ResponseSpreadReport.h"
#include "core/reports/ReportDrawing.h"
#include "core/reports/ReportHeadView.h"
#include "core/reports/ReportPaging.h"
#include "core/reports/ReportStyle.h"
#include "core/reports/ReportZoom.h"
#include "core/reports/SingleColumnString.h"
#include "core/reports/StudentAnswers.h"
#include "core/reports/StudentGradeReport.h"
#include "core/store/QuizEntity.h"

#include <QFontMetricsF>

#include <gtest/gtest.h>

namespace {
const QFont arial20 = ReportStyle::arial(20);

double width(const QString &text)
{
    return QFontMetricsF(arial20).horizontalAdvance(text);
}
} // namespace

TEST(ReportPagingTest, RowsAreCutIntoFullPagesAndARestAndNothingIsOnePage)
{
    using ReportPaging::cut;
    EXPECT_EQ(cut(26, 26), (QList<ReportPageSlice>{{0, 0, 26, true}}));
    EXPECT_EQ(cut(27, 26), (QList<ReportPageSlice>{{0, 0, 26, false}, {0, 26, 1, true}}));
    EXPECT_EQ(cut(0, 26), (QList<ReportPageSlice>{{0, 0, 0, true}}));
    // A broken rows-per-page never loops or divides by zero.
    EXPECT_EQ(cut(3, 0).size(), 3);
    EXPECT_EQ(ReportPaging::rowPerPage(689, 1), 26);
    EXPECT_EQ(ReportPaging::rowPerPage(689, 2), 25);
    EXPECT_EQ(ReportPaging::rowPerPage(689, 3), 24);
    EXPECT_EQ(ReportPaging::rowPerPage(689, 40), 1);
    EXPECT_EQ(ReportPaging::rowPerPage(714, 1), 27);
    EXPECT_EQ(ReportPaging::pageOfRow(cut(60, 26), 29), 2);
    EXPECT_EQ(ReportPaging::pageOfRow(cut(60, 26), 60), 0);
}

TEST(ReportPagingTest, EachOwnerStartsOnItsOwnPageAndAFullLastPageMovesTheSignatureOn)
{
    // Owners with 22, 23, 0 and 5 rows at 22 a page; a signature needs a page holding at most 18.
    const QList<ReportPageSlice> pages = ReportPaging::cutPerOwner({22, 23, 0, 5}, 22, 18);
    const QList<ReportPageSlice> expected{
        {0, 0, 22, false}, {0, 22, 0, true},                   // full page: the signature alone after it
        {1, 22, 22, false}, {1, 44, 1, true},                  // the rest of 23 rows with the signature
        {2, 45, 0, true},                                      // nothing to say: one page all the same
        {3, 45, 5, true}};
    EXPECT_EQ(pages, expected);
    EXPECT_EQ(ReportPaging::firstPageOfOwner(pages, 3), 6);
    EXPECT_EQ(ReportPaging::cutPerOwner({}, 22).size(), 1);
    // Without a threshold the last page of each owner carries the signature, full or not.
    EXPECT_EQ(ReportPaging::cutPerOwner({22}, 22), (QList<ReportPageSlice>{{0, 0, 22, true}}));
}

TEST(ReportZoomTest, PageSizesAndPlacesFollowTheZoomBox)
{
    const QSizeF page(794, 1123);
    using ReportZoom::pageSize;
    // Page Width: fitted to the width, less the scroll bar when the page is then higher than the
    // area; a low wide area needs no scroll bar.
    const QSizeF fitted = *pageSize("Page Width", page, {900, 700});
    EXPECT_DOUBLE_EQ(fitted.width(), 900 - 2 - 15);
    EXPECT_DOUBLE_EQ(fitted.height(), 883.0 * 1123 / 794);
    EXPECT_DOUBLE_EQ(pageSize("Page Width", page, {900, 700}, std::nullopt, 20)->width(), 878);
    EXPECT_DOUBLE_EQ(pageSize("Page Width", page, {402, 2000})->width(), 400);
    const ReportZoom::Placement wide = ReportZoom::place(fitted, page, {900, 700});
    EXPECT_EQ(wide.holder.width(), 883) << "no wider than the area: nothing to scroll across";
    EXPECT_EQ(wide.page.left(), 0);
    EXPECT_TRUE(ReportZoom::followsArea("Page Width"));
    EXPECT_TRUE(ReportZoom::followsArea("Whole Page"));
    EXPECT_FALSE(ReportZoom::followsArea("100%"));
    EXPECT_EQ(pageSize("200%", page, {900, 700}), QSizeF(1588, 2246));
    EXPECT_EQ(pageSize("25%", page, {900, 700}), QSizeF(198.5, 280.75));
    EXPECT_EQ(pageSize("something else", page, {900, 700}), page);
    EXPECT_FALSE(pageSize("Customize...", page, {900, 700}).has_value()) << "a cancelled dialog changes nothing";
    EXPECT_EQ(pageSize("Customize...", page, {900, 700}, 50), page * 0.5);
    const QSizeF whole = *pageSize("Whole Page", page, {900, 602});
    EXPECT_DOUBLE_EQ(whole.height(), 600);
    EXPECT_DOUBLE_EQ(whole.width(), 600.0 / 1123 * 794);

    // A small page is centred both ways in the area less 2.
    const ReportZoom::Placement small = ReportZoom::place(page * 0.25, page, {900, 700});
    EXPECT_EQ(small.holder, QSizeF(898, 698));
    EXPECT_EQ(small.page, QRectF((898 - 198.5) / 2, (698 - 280.75) / 2, 198.5, 280.75));
    EXPECT_DOUBLE_EQ(small.scale, 0.25);
    // A page higher than the area: room for the scroll bar, the holder as high as the page.
    const ReportZoom::Placement tall = ReportZoom::place(page, page, {900, 700});
    EXPECT_EQ(tall.holder, QSizeF(883, 1123));
    EXPECT_EQ(tall.page, QRectF((883 - 794) / 2.0, 0, 794, 1123));
    // Wider too: the holder takes the page's width.
    const ReportZoom::Placement big = ReportZoom::place(page * 2, page, {900, 700});
    EXPECT_EQ(big.holder, QSizeF(1588, 2246));
    EXPECT_EQ(big.page.topLeft(), QPointF(0, 0));
}

TEST(ReportDrawingTest, LinesBreakAtTheCharacterWhereTheCutRunningWidthReachesTheWidth)
{
    const QString text = QStringLiteral("The quick brown fox jumps over the lazy dog, twice or more.");
    // Exactly as wide as the text: one line; clearly narrower: two.
    EXPECT_EQ(getStrings(text, width(text), arial20), QStringList{text});
    const QStringList two = getStrings(text, width(text) - 40, arial20);
    ASSERT_EQ(two.size(), 2);
    EXPECT_EQ(two.join(QString()), text);

    // The break: each character measured alone, the sum cut to a whole number after each step.
    const double limit = 200;
    long long running = 0;
    int at = 0;
    for (; at < text.size(); ++at) {
        running = (long long)(running + width(text.mid(at, 1)));
        if (running >= limit)
            break;
    }
    const QStringList lines = getStrings(text, limit, arial20);
    ASSERT_GE(lines.size(), 2);
    EXPECT_EQ(lines[0], text.left(at));
    EXPECT_TRUE(lines[1].startsWith(text.mid(at, 1)));
    // Every character in exactly one line, in order; blanks are kept at the ends of lines.
    EXPECT_EQ(lines.join(QString()), text);
    for (const QString &line : lines)
        EXPECT_LE(width(line), limit + width(QStringLiteral("W")));

    // A line feed is a blank and never starts a line of its own.
    EXPECT_EQ(getStrings(QStringLiteral("a\nb"), 615, arial20), QStringList{"a b"});
    EXPECT_EQ(getStrings(QString(), 615, arial20), QStringList{QString()});
}

TEST(ReportDrawingTest, NotesBreakBetweenWordsAndOnlyAWordNoLineHoldsIsCut)
{
    const QString text = QStringLiteral("(Note:'__'means No Answer,'__N'means you got the chance to answer but did "
                                        "not answer in Rush Quiz Mode)");
    const QStringList words = text.split(' ');
    struct Case
    {
        QFont font;
        double width;
    };
    for (const Case &c : {Case{ReportStyle::arial(22), 723}, Case{ReportStyle::arial(20), 723},
                          Case{ReportStyle::arialBold(22), 703}, Case{ReportStyle::arialBold(20), 723},
                          Case{arial20, 300}}) {
        SCOPED_TRACE(c.font.pixelSize());
        SCOPED_TRACE(c.width);
        const QStringList lines = getWordWrappedStrings(text, c.width, c.font);
        ASSERT_GE(lines.size(), 2);
        // Whole words, in order, each line as many as fit: the next word would not have.
        EXPECT_EQ(lines.join(' ').split(' '), words);
        for (int k = 0; k < lines.size(); ++k) {
            EXPECT_LE(QFontMetricsF(c.font).horizontalAdvance(lines[k]), c.width) << lines[k].toStdString();
            if (k + 1 < lines.size()) {
                EXPECT_GT(QFontMetricsF(c.font).horizontalAdvance(lines[k] + ' ' + lines[k + 1].section(' ', 0, 0)),
                          c.width);
            }
        }
    }
    // The band of every report holds two lines of it.
    EXPECT_EQ(getWordWrappedStrings(text, 723, ReportStyle::arial(22)).size(), 2);
    EXPECT_EQ(getWordWrappedStrings(text, 703, ReportStyle::arialBold(22)).size(), 2);

    // A word wider than a line is cut between characters, and the words after it go on behind it.
    const QString longWord = QString(40, QChar('m'));
    const QStringList cut = getWordWrappedStrings(QStringLiteral("a ") + longWord + QStringLiteral(" b"), 100, arial20);
    EXPECT_EQ(cut.first(), "a");
    EXPECT_EQ(cut.join(QString()).remove(' '), QStringLiteral("a") + longWord + QStringLiteral("b"));
    EXPECT_TRUE(cut.last().endsWith(" b")) << cut.last().toStdString();
    for (const QString &line : cut)
        EXPECT_LE(width(line), 100);
    // What fits is one line, as it is; a line feed breaks it; nothing is one empty line.
    EXPECT_EQ(getWordWrappedStrings(QStringLiteral("a  b"), 615, arial20), QStringList{"a  b"});
    EXPECT_EQ(getWordWrappedStrings(QStringLiteral("a\nb"), 615, arial20), (QStringList{"a", "b"}));
    EXPECT_EQ(getWordWrappedStrings(QString(), 615, arial20), QStringList{QString()});
}

TEST(ReportDrawingTest, TheLineBreaksTypedStayWhateverSystemTypedThem)
{
    const QString line = QStringLiteral("why does that matter for the answer");
    const QStringList wrapped = getWordWrappedStrings(line, width(line) - 1, arial20);
    ASSERT_EQ(wrapped, (QStringList{"why does that matter for the", "answer"}));
    const struct
    {
        QString text;
        QStringList lines;
    } rows[] = {
        // A carriage return, a line feed and the two together are each one break.
        {"a\rb", {"a", "b"}},
        {"a\nb", {"a", "b"}},
        {"a\r\nb", {"a", "b"}},
        {"a\n\rb", {"a", "", "b"}},
        {"a\r\rb\n\nc\r\n\r\nd", {"a", "", "b", "", "c", "", "d"}},
        // No break is drawn, none at the very end starts a line, blanks beside one stay.
        {"a\r\n", {"a"}},
        {"a\r\r\n\n", {"a"}},
        {"\r\n", {""}},
        {" a \r b ", {" a ", " b "}},
        // Each typed line wraps between words by itself.
        {line + "\r" + line, wrapped + wrapped},
        {"\n" + line, QStringList{""} + wrapped},
    };
    for (const auto &row : rows)
        EXPECT_EQ(getWordWrappedStrings(row.text, width(line) - 1, arial20), row.lines) << row.text.toStdString();

    // Where lines are counted out, the last takes the rest on one line, each break a blank.
    const QString typed = QStringLiteral("one\r\ntwo\rthree\nfour five six seven eight nine ten eleven twelve");
    EXPECT_EQ(getWordWrappedStrings(typed, 615, arial20, 4), (QStringList{"one", "two", "three", typed.mid(15)}));
    const QStringList three = getWordWrappedStrings(typed, 615, arial20, 3);
    ASSERT_EQ(three.size(), 3);
    EXPECT_EQ(three.mid(0, 2), (QStringList{"one", "two"}));
    EXPECT_EQ(three.at(2), getStringWithSuspensionPoint(QStringLiteral("three four five six seven eight nine ten eleven twelve"),
                                                         615, arial20));
    const QStringList one = getWordWrappedStrings(typed, 200, arial20, 1);
    ASSERT_EQ(one.size(), 1);
    EXPECT_TRUE(one.at(0).startsWith(QStringLiteral("one two"))) << one.at(0).toStdString();
    EXPECT_TRUE(one.at(0).endsWith(QStringLiteral("..."))) << one.at(0).toStdString();
}

TEST(ReportDrawingTest, ShortenedTextsEndInAnEllipsisAndFit)
{
    const QString text = QStringLiteral("Photosynthesis and respiration compared");
    EXPECT_EQ(getStringWithSuspensionPoint(text, width(text), arial20), text);
    const QString dots = QStringLiteral("...");
    EXPECT_EQ(getStringWithSuspensionPoint(text, int(width(dots)), arial20), dots);
    EXPECT_EQ(getStringWithSuspensionPoint(text, 1, arial20), dots);
    for (double w : {40.0, 90.0, 150.0, 300.0}) {
        const QString shortened = getStringWithSuspensionPoint(text, w, arial20);
        EXPECT_TRUE(shortened.endsWith(dots)) << w;
        EXPECT_LE(width(shortened), w) << shortened.toStdString();
        EXPECT_TRUE(text.startsWith(shortened.chopped(3))) << shortened.toStdString();
    }
}

namespace {
// A session whose questions carry the stored numbers given, in file order.
QuizEntity numbered(std::initializer_list<int> numbers)
{
    QuizEntity quiz;
    for (int n : numbers) {
        QuestionEntity q;
        q.setQuNo(n);
        quiz.allQuestions().append(q);
    }
    return quiz;
}

void answer(QuizEntity &quiz, const char *student, const char *question, const char *reply, int time = 0)
{
    ResponseDataEntity a;
    a.setStudentID(QString::fromLatin1(student));
    a.setQuestionID(QString::fromLatin1(question));
    a.setResponse(QString::fromLatin1(reply));
    a.setTime(time);
    quiz.allStudentsAns().append(a);
}
} // namespace

TEST(StoredAnswersTest, AStudentsFirstRecordForAQuestionIsTheAnswerThatCounts)
{
    QuizEntity quiz = numbered({1, 2});
    answer(quiz, "7", "1", "B", 4);
    answer(quiz, "7", "2", "", 0);
    answer(quiz, "7", "1", "C", 9); // a merged file's later record of the same pair
    answer(quiz, "8", "1", "A", 2);
    const StoredAnswers stored(quiz);
    ASSERT_NE(stored.find("7", 0), nullptr);
    EXPECT_EQ(stored.reply("7", 0), "B");
    EXPECT_EQ(stored.find("7", 0)->time(), 4);
    // An empty reply is an answer on record; a pair without one is none.
    ASSERT_NE(stored.find("7", 1), nullptr);
    EXPECT_EQ(stored.reply("7", 1), "");
    EXPECT_EQ(stored.find("8", 1), nullptr);
    EXPECT_TRUE(stored.reply("9", 0).isNull());
    EXPECT_EQ(stored.reply("8", 0), "A");
    EXPECT_EQ(stored.questionOfRecords(), QList<int>({0, 1, -1, 0}));
}

TEST(StoredAnswersTest, AnAnswerBelongsToTheQuestionItsNumberNamesWhateverTheOrderGapsOrTwins)
{
    // Stored 2, 1, 3: the record naming 2 belongs to the first question of the file.
    QuizEntity outOfOrder = numbered({2, 1, 3});
    answer(outOfOrder, "7", "1", "A");
    answer(outOfOrder, "7", "2", "B");
    answer(outOfOrder, "7", "3", "C");
    const QList<const ResponseDataEntity *> first = StoredAnswers(outOfOrder).answersOf("7");
    ASSERT_EQ(first.size(), 3);
    EXPECT_EQ(first.at(0)->response(), "B");
    EXPECT_EQ(first.at(1)->response(), "A");
    EXPECT_EQ(first.at(2)->response(), "C");

    // A gap: numbers 1, 2, 5; a record naming 3 belongs to nothing, "05" names no number.
    QuizEntity gap = numbered({1, 2, 5});
    answer(gap, "7", "5", "E");
    answer(gap, "7", "3", "X");
    answer(gap, "7", "05", "Y");
    const StoredAnswers withGap(gap);
    EXPECT_EQ(withGap.reply("7", 2), "E");
    EXPECT_EQ(withGap.find("7", 1), nullptr);
    EXPECT_EQ(withGap.questionOfRecords(), QList<int>({2, -1, -1}));
    EXPECT_FALSE(withGap.numberIsShared(2));

    // A number twice: a student's records naming it go to those questions in file order.
    QuizEntity twins = numbered({1, 2, 2});
    answer(twins, "7", "2", "first");
    answer(twins, "8", "2", "only");
    answer(twins, "7", "2", "second");
    answer(twins, "7", "2", "third");
    const StoredAnswers withTwins(twins);
    EXPECT_EQ(withTwins.reply("7", 1), "first");
    EXPECT_EQ(withTwins.reply("7", 2), "second");
    EXPECT_EQ(withTwins.reply("8", 1), "only");
    EXPECT_EQ(withTwins.find("8", 2), nullptr);
    EXPECT_EQ(withTwins.questionOfRecords(), QList<int>({1, 1, 2, -1}));
    EXPECT_TRUE(withTwins.numberIsShared(1));
    EXPECT_FALSE(withTwins.numberIsShared(0));
}

TEST(StoredAnswersTest, ClassResponseAndResponseSpreadCountEachAnswerUnderItsQuestionOnce)
{
    // Two single-answer questions stored as 2, 1 with options A to D; four students.
    QuizEntity quiz = numbered({2, 1});
    for (QuestionEntity &q : quiz.allQuestions()) {
        q.setQuType("1");
        for (int o = 0; o < 4; ++o) {
            QuestionOptionEntity option;
            option.setOptionID(o);
            q.allOptions().append(option);
        }
    }
    for (const char *id : {"1", "2", "3", "4"}) {
        StudentEntity s;
        s.setId(QString::fromLatin1(id));
        quiz.allStudents().append(s);
    }
    answer(quiz, "1", "2", "A");
    answer(quiz, "2", "2", "A");
    answer(quiz, "1", "2", "B"); // a later record of the same pair counts for nothing
    answer(quiz, "3", "1", "C");
    const QList<Question> shares = ClassResponseReport::buildQuestions(quiz);
    ASSERT_EQ(shares.size(), 2);
    EXPECT_EQ(shares[0].optionPercentArray(), QList<float>({50.0f, 0.0f, 0.0f, 0.0f}));
    EXPECT_EQ(shares[1].optionPercentArray(), QList<float>({0.0f, 0.0f, 25.0f, 0.0f}));
    const QList<Question> spread = ResponseSpreadReport::buildQuestions(quiz);
    ASSERT_EQ(spread.size(), 2);
    EXPECT_EQ(spread[0].optionPercentArray().value(0), 50.0f);
    EXPECT_EQ(spread[0].optionPercentArray().value(1), 0.0f);
    EXPECT_EQ(spread[1].optionPercentArray().value(2), 25.0f);
}

TEST(ReportDrawingTest, TheHeadGrowsByTheSessionNamesLinesUpToItsLimit)
{
    EXPECT_EQ(ReportHeadView::nameLines(QString()), 1);
    EXPECT_EQ(ReportHeadView::frameFor(1), QRectF(25, 803, 744, 260));
    EXPECT_EQ(ReportHeadView::frameFor(2).top() + ReportHeadView::frameFor(2).height(), 1063);
    // A 60-character name takes two lines and leaves 25 rows a page.
    const QString sixty(60, QLatin1Char('M'));
    ASSERT_GT(width(sixty), 615);
    EXPECT_EQ(ReportHeadView::nameLines(sixty), 2);
    EXPECT_EQ(ReportPaging::rowPerPage(689, ReportHeadView::nameLines(sixty)), 25);
    // A name of any length: at most four lines, the last shortened.
    const QStringList lines = ReportHeadView::sessionLines(QString(3000, QLatin1Char('a')));
    ASSERT_EQ(lines.size(), ReportHeadView::kMaxSessionLines);
    EXPECT_TRUE(lines.last().endsWith(QStringLiteral("...")));
    EXPECT_LE(width(lines.last()), ReportHeadView::kSessionWidth);
}

TEST(ReportRecordsTest, NewRecordsHoldTheirDefaultsAndNodesTheirPaths)
{
    const SingleColumnString line;
    EXPECT_EQ(std::make_tuple(line.num(), line.quModeNo(), line.quTypeNo(), line.point(), line.nMessageType()),
              std::make_tuple(-1, 1, 1, 0, 0));
    const StudentGradeReport grade;
    EXPECT_EQ(std::make_tuple(grade.studentNo(), grade.correct(), grade.totalPoints()), std::make_tuple(0, 0, 0));
    StudentAnswers<> answers;
    answers.answers().append(line);
    EXPECT_EQ(answers.answers().size(), 1);

    NodeDataPtr group = NodeData::create(QStringLiteral("Reports/Group 1"));
    EXPECT_EQ(group->relativePath(), "Group 1");
    EXPECT_EQ(group->numberOfChildren(), 0);
    NodeDataPtr leaf = group->addChild(QStringLiteral("Ann Lee"), true, 3);
    EXPECT_EQ(leaf->fullPath(), "Group 1/Ann Lee");
    EXPECT_EQ(leaf->numberOfChildren(), -1);
    EXPECT_EQ(group->childAtIndex(0), leaf.get());
}

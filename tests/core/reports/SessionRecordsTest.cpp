#include "ReportTestBase.h"

#include "core/gradebook/PointsOnlyRules.h"
#include "core/engine/StoredAnswers.h"
#include "core/reports/AnswerTextRules.h"
#include "core/reports/ManualSession.h"
#include "core/reports/SessionEdit.h"
#include "core/reports/SessionImport.h"
#include "core/reports/SessionMerge.h"
#include "core/store/GlobalFunctions.h"
#include "core/store/TovCourseGradeXmlDatabase.h"
#include "core/store/TovFastQuizXmlDatabase.h"
#include "core/store/TovQuizXmlDatabase.h"

#include <QDir>
#include <QTemporaryDir>

#include <functional>
#include <QFileInfo>

namespace {
class SessionRecordsTest : public ReportTestBase
{
protected:
    void SetUp() override
    {
        ReportTestBase::SetUp();
        TovQuizXmlDatabase::setUuidGeneratorForTesting([this] { return QStringLiteral("uuid-%1").arg(++m_uuids); });
        TovFastQuizXmlDatabase::sharedFastQuiz()->reloadQuiz();
    }
    void TearDown() override
    {
        TovQuizXmlDatabase::setUuidGeneratorForTesting({});
        allowWrites();
        ReportTestBase::TearDown();
    }

    static StudentEntity student(const QString &id, const QString &first, int no)
    {
        StudentEntity s;
        s.setId(id);
        s.setFirstName(first);
        s.setLastName(QStringLiteral("Lee"));
        s.setNo(no);
        return s;
    }
    static QuestionEntity question(int no, const QString &type, const QString &correct, int points, int options = 4,
                                   const QString &mode = QStringLiteral("1"))
    {
        QuestionEntity q;
        q.setQuNo(no);
        q.setQuType(type);
        q.setQuMode(mode);
        q.setRightAns(correct);
        q.setMark(points);
        q.setTitle(QStringLiteral("Question %1").arg(no));
        q.setLevel(QStringLiteral("1"));
        for (int o = 0; o < options; ++o) {
            QuestionOptionEntity option;
            option.setOptionID(o);
            q.allOptions().append(option);
        }
        return q;
    }
    static ResponseDataEntity answer(const QString &sid, int qno, const QString &reply, int time = 0)
    {
        ResponseDataEntity a;
        a.setStudentID(sid);
        a.setQuestionID(QString::number(qno));
        a.setResponse(reply);
        a.setTime(time);
        return a;
    }
    // A session of activity code mode with n single-answer questions (correct "A", 10 points)
    // and the students given.
    static QuizEntity quiz(const QString &mode, int n, const QStringList &ids, const QString &title = "Paper A")
    {
        QuizEntity q;
        q.setActionType(mode);
        q.setName(QStringLiteral("Session"));
        q.setTitle(title);
        q.setClassName(QStringLiteral("Class 5A"));
        for (int k = 1; k <= n; ++k)
            q.allQuestions().append(question(k, "1", "A", 10));
        int no = 0;
        for (const QString &id : ids)
            q.allStudents().append(student(id, "Pupil " + id, ++no));
        return q;
    }
    static QString pointsOf(const QuizEntity &q, const QString &sid, int qno)
    {
        for (const ResponseDataEntity &a : q.allStudentsAns())
            if (a.studentID() == sid && a.questionID() == QString::number(qno))
                return a.studentPoint();
        return QStringLiteral("none");
    }

    int m_uuids = 0;
};

ActionDetail detail(const QString &type, int options, const QString &correct, int points,
                    const QList<std::pair<QString, QString>> &answers)
{
    ActionDetail d;
    d.setQuMode(type);
    d.setNumOfOptions(options);
    d.setCorrectAnswer(correct);
    d.setPoint(points);
    int no = 0;
    for (const auto &[id, text] : answers) {
        SingleColumnString a;
        a.setNum(++no);
        a.setStuID(id);
        a.setStr(text);
        d.studentAnswerArray().append(a);
    }
    return d;
}
} // namespace

TEST_F(SessionRecordsTest, ManualSessionIsWrittenAsANormalQuizOfTheClass)
{
    QList<ActionDetail> questions{
        detail("Single Answer", 4, "b", 10, {{"3", "B"}, {"12", "C"}}),
        detail("Multiple Answer", 4, "CA", 20, {{"3", "CA"}, {"12", ""}}),
        detail("True or False", 2, "True", 5, {{"3", "A"}, {"12", "__"}}),
    };
    questions[0].setQuLevel("Hard");
    questions[1].setStandard("Fractions");
    questions[1].setCode("M.1");
    ASSERT_EQ(ManualSession::refusal(questions), "");
    EXPECT_EQ(questions[0].correctAnswer(), "B");

    ManualSession::Header header{"Paper test", "Week 4", "Exam", "Class 5A", "Maths", "Mary Smith", QDate(2012, 3, 20), 3};
    QuizEntity quiz = ManualSession::build(header, questions, {student("3", "Ann", 1), student("12", "Bob", 2)},
                                           "2012-03-23T14:07:09");
    // The multiple answer's key is sorted, so a reply CA scores.
    EXPECT_EQ(questions[1].correctAnswer(), "AC");
    QString path, why;
    ASSERT_TRUE(TovQuizXmlDatabase().addQuizWithName("Paper test", quiz, &path, &why)) << why.toStdString();
    EXPECT_EQ(QFileInfo(path).fileName(), "Paper test2012-03-20T14:07:09.xml");
    const QByteArray version = TovQuizXmlDatabase::versionString().toUtf8();
    writeGoldenIfAsked("manual-session", QByteArray(readFile(path)).replace(version, "@VERSION@"), "expected.xml");
    const QByteArray expected = testData("reports/manual-session/expected.xml").replace("@VERSION@", version);
    EXPECT_EQ(readFile(path), expected);
}

TEST_F(SessionRecordsTest, ManualSessionAnswersOfOtherReceiversAndTheFirstRefusal)
{
    QList<ActionDetail> questions{detail("Single Answer", 4, "A", 10, {{"1", ""}, {"2", "No Answer"}, {"3", "A"}})};
    ManualSession::Header header{"N", "", "", "C", "S", "T", QDate(2012, 3, 23), 1};
    // Keypads of one letter keep a record of every student, unanswered ones empty and worth 0.
    QuizEntity one = ManualSession::build(header, questions, {}, "2012-03-23T14:07:09");
    ASSERT_EQ(one.allStudentsAns().size(), 3);
    EXPECT_EQ(one.allStudentsAns()[0].studentPoint(), "0");
    EXPECT_EQ(one.allStudentsAns()[2].studentPoint(), "10");
    EXPECT_EQ(one.machineName(), "1");
    header.deviceType = 2;
    EXPECT_EQ(ManualSession::build(header, questions, {}, "2012-03-23T14:07:09").allStudentsAns().size(), 1);
    header.deviceType = -1;
    EXPECT_EQ(ManualSession::build(header, questions, {}, "2012-03-23T14:07:09").machineName(), "NULL");

    // The save checks all questions first: the second one's letter is past its options.
    QList<ActionDetail> bad{detail("Single Answer", 4, "A", 10, {}), detail("Single Answer", 4, "E", 10, {}),
                            detail("True or False", 2, "maybe", 10, {})};
    int at = -1;
    EXPECT_EQ(ManualSession::refusal(bad, &at), AnswerTextRules::outOfRangeText());
    EXPECT_EQ(at, 1);
    EXPECT_EQ(bad[1].correctAnswer(), "E");
}

TEST_F(SessionRecordsTest, PointsOnlyEntryTakesDigitsWithinTheTotalAndRaisesALowTotal)
{
    EXPECT_EQ(PointsOnlyRules::studentPoints("120", 200), 120);
    EXPECT_EQ(PointsOnlyRules::studentPoints("200", 200), 200);
    for (const char *bad : {"abc", "-5", "201", "", " 5", "5.5", "+5", "123456"})
        EXPECT_FALSE(PointsOnlyRules::studentPoints(bad, 200)) << bad;
    EXPECT_EQ(PointsOnlyRules::total("25000"), 25000);
    EXPECT_FALSE(PointsOnlyRules::total("0"));
    EXPECT_FALSE(PointsOnlyRules::total("25001"));
    // 120 given, the total lowered to 100: the save stops at 120; equal passes.
    EXPECT_EQ(PointsOnlyRules::neededTotal(100, {40, 120}), 120);
    EXPECT_EQ(PointsOnlyRules::neededTotal(120, {40, 120}), 120);

    PointsOnlyRules::Entry entry{"Lab report", "Homework", "Class 5A", "Science", "Mary Smith", "120", QDate(2012, 3, 21), 3};
    QuizEntity quiz = PointsOnlyRules::build(entry, {student("3", "Ann", 1), student("12", "Bob", 2)}, {{"12", 120}},
                                             "2012-03-23T14:07:09");
    QString path, why;
    ASSERT_TRUE(TovCourseGradeXmlDatabase().addQuizWithName("../Lab report2012-03-23T14:07:09", quiz, &path, &why))
        << why.toStdString();
    EXPECT_EQ(QFileInfo(path).absolutePath(), QDir(home() + "Data/CourseGrade").absolutePath());
    const std::optional<QuizEntity> back = DataManager::getQuizAtPath(path);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->totalMark(), "120");
    EXPECT_EQ(back->dateText().left(10), "2012-03-21");
    EXPECT_EQ(back->allStudents()[1].totalMark(), "120");
    EXPECT_EQ(back->allStudents()[0].totalMark(), "");
}

TEST_F(SessionRecordsTest, EditingARushSessionRescoresWithDeductionsAndKeepsAnswerTimes)
{
    QuizEntity rush = quiz("4", 2, {"1", "2", "3"});
    rush.allStudentsAns() = {answer("1", 1, "B", 7), answer("2", 1, "C", 3), answer("3", 1, "__", 9),
                             answer("1", 2, "A", 4)};
    QList<ActionDetail> rows = SessionEdit::questionRows(rush);
    ASSERT_EQ(rows.size(), 2);
    ASSERT_EQ(rows[0].studentAnswerArray().size(), 3);
    EXPECT_EQ(rows[1].studentAnswerArray()[1].str(), "");
    // Before: one right answer (+10) and two wrong ones (-10 each): -10 over 3 students.
    EXPECT_FLOAT_EQ(SessionEdit::averagePoints("4", rows, 3), -10.0f / 3);
    // The correct answer of question 1 was B: student 1 gains, "__" still costs nothing.
    rows[0].setCorrectAnswer("B");
    EXPECT_FLOAT_EQ(SessionEdit::averagePoints("4", rows, 3), 10.0f / 3);
    ASSERT_EQ(SessionEdit::refusal(rows), "");
    const QuizEntity saved = SessionEdit::saved(rush, rows, "Fixed", "Exam", "Maths", 0);
    EXPECT_EQ(saved.name(), "Fixed");
    EXPECT_EQ(saved.allQuestions()[0].rightAns(), "B");
    EXPECT_EQ(pointsOf(saved, "1", 1), "10");
    EXPECT_EQ(pointsOf(saved, "2", 1), "-10");
    EXPECT_EQ(pointsOf(saved, "3", 1), "0");
    EXPECT_EQ(pointsOf(saved, "2", 2), "0");
    // Every answer keeps its time; a cell that had no record gets 0.
    ASSERT_EQ(saved.allStudentsAns().size(), 6);
    EXPECT_EQ(saved.allStudentsAns()[0].time(), 7);
    EXPECT_EQ(saved.allStudentsAns()[2].time(), 9);
    EXPECT_EQ(saved.allStudentsAns()[3].time(), 4);
    EXPECT_EQ(saved.allStudentsAns()[4].time(), 0);
    // Saving again from the result scores the same.
    const QuizEntity again = SessionEdit::saved(saved, rows, "Fixed", "Exam", "Maths", 0);
    EXPECT_EQ(again.allStudentsAns()[1].studentPoint(), "-10");
    EXPECT_EQ(again.allStudentsAns()[0].time(), 7);
    // With a Corvel or Dravel receiver the empty cells are not written.
    EXPECT_EQ(SessionEdit::saved(rush, rows, "Fixed", "Exam", "Maths", 3).allStudentsAns().size(), 4);
}

TEST_F(SessionRecordsTest, MultipleModeDeductsOnlyOnItsRushQuestionsAndOptionsFollowTheRow)
{
    QuizEntity multiple = quiz("6", 2, {"1"});
    multiple.allQuestions()[1].setQuMode("4");
    multiple.allStudentsAns() = {answer("1", 1, "C"), answer("1", 2, "C")};
    QList<ActionDetail> rows = SessionEdit::questionRows(multiple);
    rows[0].setNumOfOptions(6);
    rows[1].setQuLevel("Hard");
    const QuizEntity saved = SessionEdit::saved(multiple, rows, "M", "", "", -1);
    EXPECT_EQ(pointsOf(saved, "1", 1), "0");
    EXPECT_EQ(pointsOf(saved, "1", 2), "-10");
    EXPECT_EQ(saved.allQuestions()[0].allOptions().size(), 6);
    EXPECT_EQ(saved.allQuestions()[0].allOptions()[5].optionID(), 5);
    EXPECT_EQ(saved.allQuestions()[0].level(), "1");
    EXPECT_EQ(saved.allQuestions()[1].level(), "3");
    // A Homework session keeps its activity code; its wrong answers cost nothing.
    QuizEntity homework = quiz("3", 1, {"1"});
    homework.allStudentsAns() = {answer("1", 1, "D")};
    const QuizEntity kept = SessionEdit::saved(homework, SessionEdit::questionRows(homework), "H", "", "", -1);
    EXPECT_EQ(kept.actionType(), "3");
    EXPECT_EQ(pointsOf(kept, "1", 1), "0");

    // The save check stops at the first refused row.
    QList<ActionDetail> bad = SessionEdit::questionRows(quiz("1", 3, {}));
    bad[1].setCorrectAnswer("G");
    int at = -1;
    EXPECT_EQ(SessionEdit::refusal(bad, &at), AnswerTextRules::outOfRangeText());
    EXPECT_EQ(at, 1);
}

TEST_F(SessionRecordsTest, MergeByQuestionsLaysThePapersEndToEnd)
{
    QuizEntity first = quiz("1", 10, {"1", "2"});
    first.allStudentsAns() = {answer("1", 3, "A")};
    QuizEntity second = quiz("1", 5, {"1", "2", "7"}, "Paper B");
    for (QuestionEntity &q : second.allQuestions())
        q.setMark(4);
    second.allStudentsAns() = {answer("1", 3, "B"), answer("7", 5, "A")};
    const QList<SessionMerge::Source> sources{{"Paper A", "Class 5A", first}, {"Paper B", "Class 5A", second}};
    ASSERT_EQ(SessionMerge::refusal(SessionMerge::Kind::ByQuestions, sources), "");
    const QuizEntity merged = SessionMerge::merge(SessionMerge::Kind::ByQuestions, sources, "Both", "2012-03-23T14:07:09");
    ASSERT_EQ(merged.allQuestions().size(), 15);
    for (int k = 0; k < 15; ++k)
        EXPECT_EQ(merged.allQuestions()[k].quNo(), k + 1);
    EXPECT_EQ(merged.allStudentsAns()[1].questionID(), "13");
    EXPECT_EQ(merged.allStudentsAns()[1].response(), "B");
    EXPECT_EQ(merged.allStudentsAns()[2].questionID(), "15");
    EXPECT_EQ(merged.totalMark(), "120");
    EXPECT_EQ(merged.title(), "Paper A/Paper B");
    EXPECT_EQ(merged.name(), "Both");
    EXPECT_EQ(merged.questionNum(), 15);
    // Student 7 missed the first paper but answered the second.
    ASSERT_EQ(merged.allStudents().size(), 3);
    EXPECT_EQ(merged.allStudents()[2].id(), "7");

    // Another class cannot be merged by questions.
    QList<SessionMerge::Source> classes = sources;
    classes[1].className = "Class 5B";
    EXPECT_EQ(SessionMerge::refusal(SessionMerge::Kind::ByQuestions, classes), SessionMerge::refusalText());
}

TEST_F(SessionRecordsTest, MergeByClassesNeedsOnePaperAndKeepsEveryStudentApart)
{
    QList<SessionMerge::Source> sources;
    for (const char *klass : {"5A", "5B", "5C"}) {
        QuizEntity q = quiz("1", 3, {"12"});
        q.allStudentsAns() = {answer("12", 1, "A")};
        sources.append({"Paper A", klass, q});
    }
    ASSERT_EQ(SessionMerge::refusal(SessionMerge::Kind::ByClasses, sources), "");
    const QuizEntity merged = SessionMerge::merge(SessionMerge::Kind::ByClasses, sources, "All", "2012-03-23T14:07:09");
    ASSERT_EQ(merged.allStudents().size(), 3);
    EXPECT_EQ(merged.allStudents()[0].id(), "12");
    EXPECT_EQ(merged.allStudents()[1].id(), "12(1)");
    EXPECT_EQ(merged.allStudents()[2].id(), "12(2)");
    EXPECT_EQ(merged.allStudents()[2].firstName(), "Pupil 12(2)");
    EXPECT_EQ(merged.allStudentsAns()[2].studentID(), "12(2)");
    EXPECT_EQ(merged.className(), "5A/5B/5C");
    EXPECT_EQ(merged.allQuestions().size(), 3);

    // One class that answered two different papers cannot be joined by classes.
    sources[1].quiz.allQuestions()[2].setTitle("Another question");
    EXPECT_EQ(SessionMerge::refusal(SessionMerge::Kind::ByClasses, sources), SessionMerge::refusalText());
}

TEST_F(SessionRecordsTest, ImportCopiesUnderASafeNameAndRefusesWhatIsStored)
{
    QByteArray xml = testData("reports/student-session/input.xml");
    xml.replace("<Name>Quiz, period 2</Name>", "<Name>../../x/evil</Name>");
    QTemporaryDir outside;
    const QString foreign = outside.filePath("foreign.xml");
    QFile out(foreign);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(xml);
    out.close();

    // A link whose file is missing already holds the name the copy would take: the copy does
    // not follow it out of the session folder.
    QDir().mkpath(app()->strQuizXmlDataFilePath());
    const QString linked = app()->strQuizXmlDataFilePath() + "/.._.._x_evil2012-03-23T14:07:09.xml";
    ASSERT_TRUE(QFile::link(outside.filePath("stolen.xml"), linked));

    TovSessionXmlParsedResult header;
    ASSERT_TRUE(header.parseXMLFile(foreign));
    const auto &index = TovFastQuizXmlDatabase::sharedFastQuiz()->allSessionXmlParsedResults();
    EXPECT_FALSE(SessionImport::isDuplicate(header, index));
    QString path, why;
    ASSERT_TRUE(SessionImport::importFile(foreign, app()->strQuizXmlDataFilePath(), "2012-03-23T14:07:09", &path, &why))
        << why.toStdString();
    EXPECT_EQ(QFileInfo(path).absolutePath(), QDir(app()->strQuizXmlDataFilePath()).absolutePath());
    EXPECT_EQ(QFileInfo(path).fileName(), ".._.._x_evil2012-03-23T14:07:09 (2).xml");
    EXPECT_EQ(readFile(path), xml);
    EXPECT_FALSE(QFileInfo::exists(outside.filePath("stolen.xml")));
    EXPECT_TRUE(QFileInfo(linked).isSymLink());
    QFile::remove(linked);
    EXPECT_TRUE(SessionImport::isDuplicate(header, index));
    EXPECT_EQ(index.last().filePath(), path);

    // One of the seven fields differing by one character makes it another session.
    const auto differs = [&](const std::function<void(TovSessionXmlParsedResult &)> &change) {
        TovSessionXmlParsedResult other = header;
        change(other);
        return !SessionImport::isDuplicate(other, index);
    };
    EXPECT_TRUE(differs([](auto &o) { o.setMode(o.Mode() + "x"); }));
    EXPECT_TRUE(differs([](auto &o) { o.setClassName(o.ClassName() + "x"); }));
    EXPECT_TRUE(differs([](auto &o) { o.setName(o.Name() + "x"); }));
    EXPECT_TRUE(differs([](auto &o) { o.setSubject(o.Subject() + "x"); }));
    EXPECT_TRUE(differs([](auto &o) { o.setTeacherName(o.TeacherName() + "x"); }));
    EXPECT_TRUE(differs([](auto &o) { o.setTitle(o.Title() + "x"); }));
    EXPECT_TRUE(differs([](auto &o) { o.setType(o.Type() + "x"); }));
    // The ID and the day do not make it another session.
    EXPECT_FALSE(differs([](auto &o) { o.setID("other-id"); }));

    // Not a session: nothing copied, the reason told.
    const QString notes = outside.filePath("notes.xml");
    QFile n(notes);
    ASSERT_TRUE(n.open(QIODevice::WriteOnly));
    n.write("<Notes/>");
    n.close();
    const int files = int(QDir(app()->strQuizXmlDataFilePath()).entryList(QDir::Files).size());
    EXPECT_FALSE(SessionImport::importFile(notes, app()->strQuizXmlDataFilePath(), "2012-03-23T14:07:10", &path, &why));
    EXPECT_FALSE(why.isEmpty());
    EXPECT_EQ(QDir(app()->strQuizXmlDataFilePath()).entryList(QDir::Files).size(), files);
}

TEST_F(SessionRecordsTest, ImportPreviewScoresByTheSessionsRule)
{
    const QuestionEntity normal = question(1, "1", "A", 10);
    EXPECT_EQ(SessionImport::previewPoints("Normal Quiz", normal, "A"), "10");
    EXPECT_EQ(SessionImport::previewPoints("1", normal, "B"), "0");
    EXPECT_EQ(SessionImport::previewPoints("4", normal, "B"), "-10");
    EXPECT_EQ(SessionImport::previewPoints("Rush Quiz", normal, "__"), "0");
    EXPECT_EQ(SessionImport::previewPoints("4", normal, QString()), "");
    const QuestionEntity rush = question(1, "1", "A", 10, 4, "4");
    EXPECT_EQ(SessionImport::previewPoints("6", rush, "B"), "-10");
    EXPECT_EQ(SessionImport::previewPoints("6", normal, "B"), "0");
}

TEST_F(SessionRecordsTest, EditorKeepsEveryAnswerUnderItsQuestionWhateverTheStoredNumbers)
{
    // Stored out of order, with a gap, and with a number twice.
    for (const QList<int> &numbers : {QList<int>{2, 1, 3}, QList<int>{1, 2, 5}, QList<int>{1, 2, 2}}) {
        const std::string label = QString::number(numbers[0]).toStdString() + "," + QString::number(numbers[1]).toStdString()
                                  + "," + QString::number(numbers[2]).toStdString();
        QuizEntity stored = quiz("1", 3, {"1", "2"});
        for (int p = 0; p < 3; ++p) {
            stored.allQuestions()[p].setQuNo(numbers[p]);
            stored.allQuestions()[p].setRightAns(QString(QChar(u'A' + p)));
        }
        // Student 1 answers every question right; student 2 answers D everywhere.
        for (int p = 0; p < 3; ++p) {
            stored.allStudentsAns().append(answer("1", numbers[p], QString(QChar(u'A' + p)), p + 1));
            stored.allStudentsAns().append(answer("2", numbers[p], "D", 7));
        }
        const StoredAnswers before(stored);
        QList<ActionDetail> rows = SessionEdit::questionRows(stored);
        for (int p = 0; p < 3; ++p)
            EXPECT_EQ(rows[p].studentAnswerArray()[0].str(), QString(QChar(u'A' + p))) << label;
        // Saved without a change, and saved again from the result: every answer, its points and
        // its time stay with the question they belong to.
        const QuizEntity once = SessionEdit::saved(stored, rows, "S", "Exam", "Maths", -1);
        const QuizEntity twice = SessionEdit::saved(once, SessionEdit::questionRows(once), "S", "Exam", "Maths", -1);
        for (const QuizEntity *written : {&once, &twice}) {
            const StoredAnswers after(*written);
            for (int p = 0; p < 3; ++p)
                for (const char *sid : {"1", "2"}) {
                    ASSERT_NE(after.find(sid, p), nullptr) << label;
                    EXPECT_EQ(after.reply(sid, p), before.reply(sid, p)) << label << " " << p;
                    EXPECT_EQ(after.find(sid, p)->time(), before.find(sid, p)->time()) << label;
                }
            EXPECT_EQ(after.find("1", 2)->studentPoint(), "10") << label;
            EXPECT_EQ(after.find("2", 2)->studentPoint(), "0") << label;
            EXPECT_EQ(written->allStudentsAns().size(), 6) << label;
        }
    }

    // Two questions numbered 2, the first left unanswered, saved with a receiver that leaves
    // unanswered cells out: the second's answer does not move up to the first.
    QuizEntity twins = quiz("1", 3, {"1"});
    twins.allQuestions()[2].setQuNo(2);
    twins.allStudentsAns() = {answer("1", 2, "B"), answer("1", 2, "C")};
    QList<ActionDetail> rows = SessionEdit::questionRows(twins);
    rows[1].studentAnswerArray()[0].setStr("");
    const StoredAnswers after(SessionEdit::saved(twins, rows, "T", "", "", 3));
    EXPECT_EQ(after.reply("1", 1), "");
    EXPECT_EQ(after.reply("1", 2), "C");
}

TEST_F(SessionRecordsTest, MergeKeepsEveryAnswerAndPointOrRefusesBeforeWriting)
{
    // Points-only sessions, alone or beside question sessions, are refused with the reason.
    QuizEntity points = quiz("1", 0, {"1", "2"});
    points.setIsCoureGrade(true);
    points.allStudents()[0].setTotalMark("40");
    const QList<SessionMerge::Source> pointsOnly{{" ", "Class 5A", points}, {" ", "Class 5A", points}};
    for (SessionMerge::Kind kind : {SessionMerge::Kind::ByQuestions, SessionMerge::Kind::ByClasses}) {
        EXPECT_EQ(SessionMerge::refusal(kind, pointsOnly), SessionMerge::kindRefusal(2, 2));
        EXPECT_EQ(SessionMerge::refusal(kind, {{"Paper A", "Class 5A", quiz("1", 2, {"1"})}, pointsOnly[0]}),
                  SessionMerge::kindRefusal(1, 2));
    }
    EXPECT_NE(SessionMerge::kindRefusal(2, 2), SessionMerge::kindRefusal(1, 2));
    EXPECT_FALSE(SessionMerge::kindRefusal(2, 2).isEmpty());
    EXPECT_TRUE(SessionMerge::kindRefusal(0, 2).isEmpty());
    // What the merge would make of them loses the points: never written.
    EXPECT_FALSE(SessionMerge::lossOf(SessionMerge::Kind::ByQuestions, pointsOnly,
                                      SessionMerge::merge(SessionMerge::Kind::ByQuestions, pointsOnly, "P", "2012-03-23T14:07:09"))
                     .isEmpty());

    // A first paper stored 2, 1, 3 and a second stored 1, 2: each answer stays with its question.
    QuizEntity first = quiz("1", 3, {"1", "2"});
    first.allQuestions()[0].setQuNo(2);
    first.allQuestions()[1].setQuNo(1);
    first.allStudentsAns() = {answer("1", 1, "B", 3), answer("1", 2, "A", 4), answer("2", 3, "C"), answer("1", 2, "D")};
    first.allStudentsAns()[0].setStudentPoint("10");
    QuizEntity second = quiz("1", 2, {"1", "3"}, "Paper B");
    second.allStudentsAns() = {answer("3", 2, "A"), answer("1", 1, "C")};
    const QList<SessionMerge::Source> sources{{"Paper A", "Class 5A", first}, {"Paper B", "Class 5A", second}};
    ASSERT_EQ(SessionMerge::refusal(SessionMerge::Kind::ByQuestions, sources), "");
    const QuizEntity merged = SessionMerge::merge(SessionMerge::Kind::ByQuestions, sources, "Both", "2012-03-23T14:07:09");
    EXPECT_EQ(SessionMerge::lossOf(SessionMerge::Kind::ByQuestions, sources, merged), "");
    const StoredAnswers was1(first), was2(second), is(merged);
    for (const char *sid : {"1", "2", "3"}) {
        for (int p = 0; p < 3; ++p)
            EXPECT_EQ(is.reply(sid, p), was1.reply(sid, p)) << sid << p;
        for (int p = 0; p < 2; ++p)
            EXPECT_EQ(is.reply(sid, 3 + p), was2.reply(sid, p)) << sid << p;
    }
    EXPECT_EQ(is.find("1", 1)->time(), 3);
    EXPECT_EQ(is.find("1", 1)->studentPoint(), "10");
    EXPECT_EQ(merged.allStudentsAns().size(), 6) << "the later record of a pair goes along";

    // A merged record that moved, dropped or changed an answer does not pass.
    const auto tampered = [&](const std::function<void(QuizEntity &)> &change) {
        QuizEntity copy = merged;
        change(copy);
        return SessionMerge::lossOf(SessionMerge::Kind::ByQuestions, sources, copy);
    };
    EXPECT_NE(tampered([](QuizEntity &q) { q.allStudentsAns()[0].setQuestionID("3"); }), "");
    EXPECT_NE(tampered([](QuizEntity &q) { q.allStudentsAns().removeLast(); }), "");
    EXPECT_NE(tampered([](QuizEntity &q) { q.allStudentsAns()[0].setStudentPoint("0"); }), "");
    EXPECT_NE(tampered([](QuizEntity &q) { q.allStudents().removeFirst(); }), "");
    EXPECT_NE(tampered([](QuizEntity &q) { q.allQuestions()[4].setMark(1); }), "");
    // The read-back check compares the points and the times too.
    QuizEntity readBack = merged;
    EXPECT_TRUE(SessionMerge::sameContent(readBack, merged));
    readBack.allStudentsAns()[2].setStudentPoint("5");
    EXPECT_FALSE(SessionMerge::sameContent(readBack, merged));

    // An answer to a number the paper does not carry would count for another paper's question.
    QList<SessionMerge::Source> stray = sources;
    stray[0].quiz.setName("Stray");
    stray[0].quiz.allStudentsAns().append(answer("2", 4, "A"));
    const QString why = SessionMerge::refusal(SessionMerge::Kind::ByQuestions, stray);
    EXPECT_TRUE(why.contains("Stray")) << why.toStdString();
    // By classes the answers keep their numbers, so the same session may join another class.
    stray[1].quiz = stray[0].quiz;
    stray[1].className = "Class 5B";
    EXPECT_EQ(SessionMerge::refusal(SessionMerge::Kind::ByClasses, stray), "");
    const QuizEntity classes = SessionMerge::merge(SessionMerge::Kind::ByClasses, stray, "C", "2012-03-23T14:07:09");
    EXPECT_EQ(SessionMerge::lossOf(SessionMerge::Kind::ByClasses, stray, classes), "");
}

// A group's members' points add up across merged sessions, and so do its extra points.
TEST_F(SessionRecordsTest, MergeAddsUpEachGroupsExtraPointsEitherWay)
{
    QuizEntity first = quiz("1", 2, {"1", "2"});
    first.setGroupAppendPoints({{1, 5}, {2, 10}});
    QuizEntity second = quiz("1", 2, {"1", "3"});
    second.setGroupAppendPoints({{2, 3}});
    for (SessionMerge::Kind kind : {SessionMerge::Kind::ByQuestions, SessionMerge::Kind::ByClasses}) {
        SCOPED_TRACE(kind == SessionMerge::Kind::ByQuestions ? "by questions" : "by classes");
        const QList<SessionMerge::Source> sources{{"Paper A", "Class 5A", first},
                                                  {"Paper A", kind == SessionMerge::Kind::ByQuestions ? "Class 5A" : "Class 5B", second}};
        ASSERT_EQ(SessionMerge::refusal(kind, sources), "");
        const QuizEntity merged = SessionMerge::merge(kind, sources, "Both", "2012-03-23T14:07:09");
        EXPECT_EQ(merged.groupAppendPoints(), (QMap<int, int>{{1, 5}, {2, 13}}));
        EXPECT_EQ(SessionMerge::lossOf(kind, sources, merged), "");
        QuizEntity changed = merged;
        changed.setGroupAppendPoints({{1, 5}, {2, 10}});
        EXPECT_NE(SessionMerge::lossOf(kind, sources, changed), "");
        EXPECT_FALSE(SessionMerge::sameContent(changed, merged)) << "the read-back compares them too";
    }
}

TEST_F(SessionRecordsTest, ImportChecksTheFileBeforeAnythingIsShownOrStored)
{
    QTemporaryDir outside;
    const auto file = [&](const QString &name, const QByteArray &bytes) {
        const QString path = outside.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    };
    const auto refusal = [](const QString &path) {
        QString why;
        EXPECT_FALSE(SessionImport::check(path, &why).has_value()) << path.toStdString();
        return why;
    };
    const QByteArray session = testData("reports/student-session/input.xml");

    // A session file passes, read by the session reader.
    QString why;
    const std::optional<SessionImport::Checked> good = SessionImport::check(file("good.xml", session), &why);
    ASSERT_TRUE(good) << why.toStdString();
    EXPECT_FALSE(good->pointsOnly);
    EXPECT_EQ(good->quiz.name(), "Quiz, period 2");
    EXPECT_EQ(good->bytes, session);
    const std::optional<SessionImport::Checked> points =
        SessionImport::check(file("points.xml", testData("reports/points-list/input.xml")), &why);
    ASSERT_TRUE(points);
    EXPECT_TRUE(points->pointsOnly);

    // A class file is no session, told by its root.
    EXPECT_TRUE(refusal(file("class.xml", "<?xml version=\"1.0\"?><Class><Name>5A</Name><Students><Student><ID>1</ID>"
                                          "</Student></Students></Class>"))
                    .contains("<Class>"));
    // Deeply nested garbage under a session root.
    QByteArray deep = "<Session>";
    for (int i = 0; i < 200; ++i)
        deep += "<a>";
    for (int i = 0; i < 200; ++i)
        deep += "</a>";
    deep += "</Session>";
    EXPECT_TRUE(refusal(file("deep.xml", deep)).contains("nested"));
    // A session root without the session's header or without anything in it.
    EXPECT_TRUE(refusal(file("bare.xml", "<Session><Name>x</Name><Junk/></Session>")).contains("<ID>"));
    QByteArray empty = session;
    empty.replace(empty.indexOf("<Questions>"), empty.indexOf("</Students>") + 11 - empty.indexOf("<Questions>"), "");
    EXPECT_TRUE(refusal(file("empty.xml", empty)).contains("no students and no questions"));
    // UTF-16, with or without its byte-order mark, and another declared encoding.
    const QString text = QString::fromUtf8(session);
    QByteArray utf16("\xFF\xFE");
    utf16.append(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
    EXPECT_TRUE(refusal(file("utf16.xml", utf16)).contains("UTF-16"));
    EXPECT_TRUE(refusal(file("utf16-nobom.xml", utf16.mid(2))).contains("UTF-16"));
    QByteArray latin = session;
    latin.replace("encoding=\"utf-8\"", "encoding=\"ISO-8859-1\"");
    EXPECT_TRUE(refusal(file("latin.xml", latin)).contains("ISO-8859-1"));
    EXPECT_TRUE(refusal(file("invalid.xml", QByteArray(session).replace("Mary", "M\xE9ry"))).contains("UTF-8"));
    // A cut file names the line where it breaks.
    EXPECT_TRUE(refusal(file("cut.xml", session.left(session.size() / 2))).contains("line 2"));
    // A file over the limit is refused by its size, before it is read.
    const QString huge = file("huge.xml", "<Session>");
    QFile grow(huge);
    ASSERT_TRUE(grow.resize(SessionImport::kMaxFileBytes + 1));
    EXPECT_TRUE(refusal(huge).contains("32 MB"));
    // Refused files leave nothing behind at the import either.
    QString path;
    EXPECT_FALSE(SessionImport::importFile(outside.filePath("class.xml"), app()->strQuizXmlDataFilePath(),
                                           "2012-03-23T14:07:10", &path, &why));
    EXPECT_TRUE(QDir(app()->strQuizXmlDataFilePath()).entryList(QDir::Files).isEmpty());

    // A name longer than a file name may be is imported under a name cut at a whole letter.
    QByteArray longName = session;
    const QString name = QString(200, QChar(u'\u00FC'));
    longName.replace("<Name>Quiz, period 2</Name>", "<Name>" + name.toUtf8() + "</Name>");
    ASSERT_TRUE(SessionImport::importFile(file("long.xml", longName), app()->strQuizXmlDataFilePath(),
                                          "2012-03-23T14:07:10", &path, &why))
        << why.toStdString();
    EXPECT_LE(QFileInfo(path).fileName().toUtf8().size(), 255);
    EXPECT_TRUE(QFileInfo(path).fileName().startsWith(QString(50, QChar(u'\u00FC'))));
    EXPECT_EQ(readFile(path), longName);
    EXPECT_EQ(DataManager::getQuizAtPath(path).value_or(QuizEntity()).name(), name);
}

// The session reader's parser takes things XML does not allow; the import holds to XML and says
// on which line the file breaks it.
TEST_F(SessionRecordsTest, ImportRefusesWhatIsNotWellFormedXmlNamingTheLine)
{
    QTemporaryDir outside;
    const QByteArray session = testData("reports/student-session/input.xml"); // the session on line 2
    ASSERT_TRUE(session.endsWith("</Session>") || session.endsWith("</Session>\n"));
    const auto check = [&](const QByteArray &bytes, QString *why) {
        const QString path = outside.filePath(QStringLiteral("f%1.xml").arg(qHash(bytes)));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        f.close();
        return SessionImport::check(path, why).has_value();
    };
    const QByteArray body = session.trimmed();
    QByteArray twice = body;
    twice.replace("<ID>", "<ID kind=\"a\" kind=\"b\">");
    QByteArray entity = body;
    entity.replace("<Name>Quiz, period 2</Name>", "<Name>Quiz&nbsp;2</Name>");
    const struct
    {
        QByteArray bytes;
        const char *line;
    } refused[] = {
        {body + "\n\n<Session><ID>x</ID></Session>\n", "line 4"}, // a second top-level element
        {body + "\n<Extra/>", "line 3"},
        {body + "\ntext after the session\n", "line 3"},
        {twice, "line 2"},  // an attribute given twice
        {entity, "line 2"}, // an entity no XML file declares
        {"<Session>\n<ID>1</ID>\n<Name>a &amp b</Name>\n</Session>\n", "line 3"},
        {body.left(body.size() / 2), "line 2"}, // cut short
        {"<Session>\n<ID>1</ID>\n</Sesion>\n", "line 3"},
    };
    for (const auto &c : refused) {
        QString why;
        EXPECT_FALSE(check(c.bytes, &why)) << c.bytes.right(60).toStdString();
        EXPECT_TRUE(why.startsWith("The file is not well-formed XML") && why.contains(c.line))
            << why.toStdString() << " for " << c.bytes.right(60).toStdString();
        // The parser's own words stand in the parentheses without their full stop: one sentence,
        // one full stop.
        EXPECT_TRUE(why.endsWith(QStringLiteral(", %1).").arg(QLatin1String(c.line)))) << why.toStdString();
        EXPECT_EQ(why.count('.'), 1) << why.toStdString();
    }
    QString cut;
    EXPECT_FALSE(check(body.left(body.size() / 2), &cut));
    EXPECT_EQ(cut, "The file is not well-formed XML (Premature end of document, line 2).");
    // Comments, processing instructions and blank lines beside the root are XML.
    QString why;
    EXPECT_TRUE(check(body + "\n<!-- exported on Friday -->\n<?pollix note?>\n\n", &why)) << why.toStdString();
    // A control character a keypad or an imported roster brought in is written by the session
    // store as a character reference XML 1.0 does not allow; another Pollix still takes the file.
    pugi::xml_document stored;
    ASSERT_TRUE(stored.load_buffer(session.constData(), size_t(session.size())));
    stored.child("Session").child("Name").text().set("Quiz\x01 period\x1b 2");
    const QString control = outside.filePath(QStringLiteral("control.xml"));
    QFile out(control);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(GlobalFunctions::xmlData(stored));
    out.close();
    const std::optional<SessionImport::Checked> withControl = SessionImport::check(control, &why);
    ASSERT_TRUE(withControl) << why.toStdString();
    EXPECT_EQ(withControl->quiz.name(), "Quiz\x01 period\x1b 2");
    // Nothing refused reached the session folder.
    QString path;
    EXPECT_FALSE(SessionImport::importFile(outside.filePath(QStringLiteral("f%1.xml").arg(qHash(refused[0].bytes))),
                                           app()->strQuizXmlDataFilePath(), "2012-03-23T14:07:10", &path, &why));
    EXPECT_TRUE(QDir(app()->strQuizXmlDataFilePath()).entryList(QDir::Files).isEmpty());
}

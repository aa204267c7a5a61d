#include "core/engine/ReceiveReportSession.h"
#include "core/store/TovQuizXmlDatabase.h"
#include "support/PollixTest.h"

#include <functional>

// When a session received from the teacher keypad is one saved already: the same received data,
// whatever the computer added to it.
namespace {

QuizEntity received(const QString &activity = QStringLiteral("2"))
{
    QuizEntity quiz;
    quiz.setName(QStringLiteral("Friday"));
    quiz.setTitle(QStringLiteral("Unit 4"));
    quiz.setClassName(QStringLiteral("7B"));
    quiz.setActionType(activity);
    quiz.setTeacherName(QStringLiteral("Mary Smith"));
    quiz.setSubject(QStringLiteral("Science"));
    quiz.setMachineName(QStringLiteral("2"));
    quiz.setStartTime(QStringLiteral("2024-05-06T07:08:09"));
    quiz.setDate(QStringLiteral("2024-05-06T07:08:09"));
    for (int p = 1; p <= 2; ++p) {
        StudentEntity s;
        s.setId(QStringLiteral("S00%1").arg(p));
        s.setFirstName(QStringLiteral("Kid%1").arg(p));
        s.setDeviceNo(p);
        quiz.allStudents() << s;
    }
    if (activity == QLatin1String("13")) {
        RollCallEntity r;
        r.setAbsenceStu(QStringLiteral("|S002|"));
        quiz.allRollCall() << r;
        return quiz;
    }
    for (int n = 1; n <= 2; ++n) {
        QuestionEntity q;
        q.setQuNo(n);
        q.setQuType(QStringLiteral("1"));
        q.setRightAns(n == 1 ? QStringLiteral("B") : QStringLiteral("C"));
        q.setAllOptions(QList<QuestionOptionEntity>(4));
        quiz.allQuestions() << q;
        ResponseDataEntity a;
        a.setStudentID(QStringLiteral("S001"));
        a.setQuestionID(QString::number(n));
        a.setResponse(QStringLiteral("B"));
        a.setStudentPoint(n == 1 ? QStringLiteral("10") : QStringLiteral("0"));
        quiz.allStudentsAns() << a;
    }
    return quiz;
}

} // namespace

TEST(ReceivedSessionCopies, ASavedSessionHoldsTheSameReceivedDataWhateverTheComputerAdded)
{
    struct Case
    {
        const char *what;
        std::function<void(QuizEntity &)> change; // to the stored session
        bool same;
        QString activity = QStringLiteral("2");
    };
    const QList<Case> cases{
        {"as saved", [](QuizEntity &) {}, true},
        {"another teacher, subject, time and model",
         [](QuizEntity &q) {
             q.setTeacherName("Bo Chen");
             q.setSubject("Art");
             q.setStartTime("2024-05-07T10:00:00");
             q.setDate("2024-05-07T10:00:00");
             q.setMachineName("3");
             q.setTotalMark("99");
         },
         true},
        {"other points for a question", [](QuizEntity &q) { q.allQuestions()[0].setMark(5); }, true},
        {"another session name", [](QuizEntity &q) { q.setName("Monday"); }, false},
        {"another class", [](QuizEntity &q) { q.setClassName("7C"); }, false},
        {"another exam title", [](QuizEntity &q) { q.setTitle("Unit 5"); }, false},
        {"another activity", [](QuizEntity &q) { q.setActionType("1"); }, false},
        {"a right answer", [](QuizEntity &q) { q.allQuestions()[1].setRightAns("D"); }, false},
        {"an option more", [](QuizEntity &q) { q.allQuestions()[1].allOptions().append(QuestionOptionEntity()); }, false},
        {"a question more", [](QuizEntity &q) { q.allQuestions().append(q.allQuestions().first()); }, false},
        {"an answer", [](QuizEntity &q) { q.allStudentsAns()[1].setResponse("C"); }, false},
        {"an answer to another question", [](QuizEntity &q) { q.allStudentsAns()[1].setQuestionID("1"); }, false},
        {"an answer fewer", [](QuizEntity &q) { q.allStudentsAns().removeLast(); }, false},
        {"a student's name", [](QuizEntity &q) { q.allStudents()[1].setFirstName("Kid 2"); }, false},
        {"a student's keypad", [](QuizEntity &q) { q.allStudents()[1].setDeviceNo(9); }, false},
        {"a student fewer", [](QuizEntity &q) { q.allStudents().removeLast(); }, false},
        {"points only", [](QuizEntity &q) { q.setIsCoureGrade(true); }, false},
        {"roll call as saved", [](QuizEntity &) {}, true, QStringLiteral("13")},
        {"another absence", [](QuizEntity &q) { q.allRollCall()[0].setAbsenceStu("|S001|"); }, false,
         QStringLiteral("13")},
    };
    for (const Case &c : cases) {
        const QuizEntity session = received(c.activity);
        QuizEntity stored = session;
        c.change(stored);
        EXPECT_EQ(ReceiveReportSession::holdsSameData(stored, session), c.same) << c.what;
    }
}

// The store writes an empty exam title as a blank; read back, the session is still the same one.
class ReceivedSessionCopiesOnDisk : public PollixTest
{
};

TEST_F(ReceivedSessionCopiesOnDisk, AnEmptyTitleReadBackAsABlankIsTheSameSession)
{
    QuizEntity session = received();
    session.setTitle(QString());
    QuizEntity written = session;
    QString path;
    ASSERT_TRUE(TovQuizXmlDatabase().addQuizWithName("Friday", written, &path));
    const std::optional<QuizEntity> stored = TovQuizXmlDatabase().getQuizInfoAll(path);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->title(), " ");
    EXPECT_TRUE(ReceiveReportSession::holdsSameData(*stored, session));
}

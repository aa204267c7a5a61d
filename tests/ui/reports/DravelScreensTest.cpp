#include "core/reports/ReportTestBase.h"

#include "support/ReportShots.h"
#include "support/Shots.h"
#include "ui/reports/ClassStudyGuideController.h"
#include "ui/reports/ClassStudyGuideDravelController.h"
#include "ui/reports/CorrectRateStatisticsByAnswerTimeController.h"
#include "ui/reports/CorrectRateStatisticsByAnswerTimeDravelController.h"
#include "ui/reports/QuestionReportController.h"
#include "ui/reports/QuestionReportDravelController.h"
#include "ui/reports/ResultByQuestionController.h"
#include "ui/reports/ResultByQuestionDravelController.h"
#include "ui/reports/ResultByQuestionInGroupModeController.h"
#include "ui/reports/ResultByQuestionInGroupModeDravelController.h"
#include "ui/reports/ResultOfEliminationReportController.h"
#include "ui/reports/ResultOfEliminationReportDravelController.h"
#include "ui/reports/StudyGuideController.h"
#include "ui/reports/StudyGuideDravelController.h"

#include <QFileInfo>

// Each Dravel-named report window beside the window of its base report: every page looked at
// draws, in every run of the suite; with a picture folder set (./dev shots) the pictures go there
// for a person to compare, with the PDF (and CSV) files beside them. The sessions are those of the
// reports' golden cases, and one of long names, long question texts and many students.
namespace {
class DravelScreensTest : public ReportTestBase
{
protected:
    template <class Base, class Dravel, class... Args>
    void pair(const QString &name, const Args &...args)
    {
        Base base(args...);
        ReportShots::shootReportWindow(&base, name + QStringLiteral("-base"));
        Dravel dravel(args...);
        ReportShots::shootReportWindow(&dravel, name + QStringLiteral("-dravel"));
        // A window that drew nothing leaves no picture to look at.
        if (const QString folder = Shots::folder(); !folder.isEmpty()) {
            for (const char *side : {"-base", "-dravel"})
                EXPECT_GT(QFileInfo(folder + QLatin1Char('/') + name + QLatin1String(side) + QStringLiteral(".png")).size(), 0)
                    << name.toStdString() << side;
        }
    }
    void all(const QString &prefix, const QuizEntity &paper, const QuizEntity &rates, const QuizEntity &elimination,
             const QuizEntity &rush, const QuizEntity &group)
    {
        pair<ClassStudyGuideController, ClassStudyGuideDravelController>(prefix + "class-study-guide", paper,
                                                                         ticked(paper));
        pair<StudyGuideController, StudyGuideDravelController>(prefix + "study-guide", paper, ticked(paper));
        pair<QuestionReportController, QuestionReportDravelController>(prefix + "question-report", paper,
                                                                       ticked(paper));
        pair<CorrectRateStatisticsByAnswerTimeController, CorrectRateStatisticsByAnswerTimeDravelController>(
            prefix + "correct-rate", rates, ticked(rates));
        pair<ResultOfEliminationReportController, ResultOfEliminationReportDravelController>(
            prefix + "elimination", elimination, ticked(elimination), 0);
        pair<ResultByQuestionController, ResultByQuestionDravelController>(prefix + "answer-detail", rush,
                                                                           ticked(rush), 0);
        pair<ResultByQuestionInGroupModeController, ResultByQuestionInGroupModeDravelController>(
            prefix + "group-result-by-question", group);
    }
    // quiz with 60 students of long names answering every question, its question texts long, its
    // session name on two lines of the head.
    static QuizEntity large(QuizEntity quiz)
    {
        quiz.setName(QStringLiteral("A long session name that takes the head's second line, to see the pages shrink"));
        quiz.allStudents().clear();
        quiz.allStudentsAns().clear();
        for (QuestionEntity &q : quiz.allQuestions())
            q.setTitle(q.title() + QStringLiteral(" This text goes on to need a second line and more on every "
                                                  "page, and then still a little further, to see how it wraps"));
        for (int s = 1; s <= 60; ++s) {
            StudentEntity st;
            st.setId(QString::number(s));
            st.setFirstName(QStringLiteral("Alexandrina-%1").arg(s));
            st.setLastName(QStringLiteral("Montgomery-Featherstonehaugh"));
            st.setGroupNo(s % 4 + 1);
            st.setLoginTime(QStringLiteral("2012-03-23T14:01:00"));
            quiz.allStudents().append(st);
            for (const QuestionEntity &q : quiz.allQuestions()) {
                ResponseDataEntity a;
                a.setStudentID(st.id());
                a.setQuestionID(QString::number(q.quNo()));
                a.setResponse(QString(QChar(u'A' + (s + q.quNo()) % 4)));
                a.setTime((s * 7 + q.quNo()) % 23);
                quiz.allStudentsAns().append(a);
            }
        }
        return quiz;
    }
};
} // namespace

TEST_F(DravelScreensTest, EachVariantBesideItsBase)
{
    const QuizEntity paper = session("question-paper"), rates = session("correct-rate"),
                     elimination = session("elimination"), rush = session("result-by-question"),
                     group = session("group-session");
    all(QStringLiteral("test-"), paper, rates, elimination, rush, group);
    QuizEntity groups = large(group);
    groups.setGroup(4);
    all(QStringLiteral("large-"), large(paper), large(rates), large(elimination), large(rush), groups);
}

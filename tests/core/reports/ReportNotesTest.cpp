#include "ReportTestBase.h"

#include "core/reports/ClassStudyGuideReport.h"
#include "core/reports/CorrectRateStatistics.h"
#include "core/reports/ReportDrawing.h"
#include "core/reports/ReportPainter.h"
#include "core/reports/ReportPdf.h"
#include "core/reports/ResultByQuestionInGroupModeReport.h"
#include "core/reports/ResultByQuestionReport.h"
#include "core/reports/SessionQuestionReport.h"
#include "core/reports/StudentResponseResultReport.h"
#include "core/reports/StudyGuideReport.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <functional>
#include <memory>

// The note that explains the answer notation ("(Note:'__'means No Answer, ...)") stands on the
// pages of every report that shows replies, in a band two lines high; however wide the band and
// however large its font, it breaks between words, as a teacher reads it.
namespace {

// The text of page 1 of the report's PDF, every run of white space one blank.
QString firstPageText(const ReportDocument &report, const QString &folder)
{
    const QString pdf = folder + QStringLiteral("/report.pdf");
    QString why;
    if (!ReportPdf::write(report, {1}, pdf, &why)) {
        ADD_FAILURE() << why.toStdString();
        return {};
    }
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                                          QStringLiteral("1"), pdf, QStringLiteral("-")});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) {
        ADD_FAILURE() << "pdftotext failed on " << pdf.toStdString();
        return {};
    }
    return QString::fromUtf8(p.readAllStandardOutput()).replace(QRegularExpression(QStringLiteral("\\s+")),
                                                                  QStringLiteral(" "));
}

class ReportNotesTest : public ReportTestBase
{
};
} // namespace

TEST_F(ReportNotesTest, EveryReportsNoteBreaksBetweenWordsInItsPdf)
{
    const QuizEntity paper = session("question-paper");
    const QuizEntity rates = session("correct-rate");
    const QuizEntity rush = session("result-by-question");
    const QuizEntity groups = session("group-session");
    const QList<SelectStudents> paperStudents = ticked(paper), rateStudents = ticked(rates), rushStudents = ticked(rush);
    const ReportFramePolicy dravel = ReportFramePolicy::dravelFrame();
    const std::vector<std::pair<const char *, std::function<std::unique_ptr<ReportDocument>()>>> reports{
        {"Student Response Result", [&] { return std::make_unique<StudentResponseResultReport>(paper, paperStudents); }},
        {"Study Guide", [&] { return std::make_unique<StudyGuideReport>(paper, paperStudents); }},
        {"Study Guide, Dravel",
         [&] { return std::make_unique<StudyGuideReport>(paper, paperStudents, dravel, StudyGuideLayout::dravel()); }},
        {"Class Study Guide", [&] { return std::make_unique<ClassStudyGuideReport>(paper, paperStudents); }},
        {"Class Study Guide, Dravel",
         [&] {
             return std::make_unique<ClassStudyGuideReport>(paper, paperStudents, dravel, ClassStudyGuideLayout::dravel());
         }},
        {"Question Report", [&] { return std::make_unique<SessionQuestionReport>(paper, paperStudents); }},
        {"Question Report, Dravel",
         [&] {
             return std::make_unique<SessionQuestionReport>(paper, paperStudents, dravel, QuestionReportLayout::dravel());
         }},
        {"Correct Rate Statistics", [&] { return std::make_unique<CorrectRateStatistics>(rates, rateStudents); }},
        {"Correct Rate Statistics, Dravel",
         [&] {
             return std::make_unique<CorrectRateStatistics>(rates, rateStudents, dravel,
                                                            CorrectRateStatisticsByAnswerTimeLayout::dravel());
         }},
        {"Result By Question", [&] { return std::make_unique<ResultByQuestionReport>(rush, rushStudents, 0); }},
        {"Result By Question, Dravel",
         [&] {
             return std::make_unique<ResultByQuestionReport>(rush, rushStudents, 0, dravel,
                                                             ResultByQuestionLayout::answerDetailDravel());
         }},
        {"Result By Question In Group Mode",
         [&] { return std::make_unique<ResultByQuestionInGroupModeReport>(groups, ReportFramePolicy::windowFrame()); }},
        {"Result By Question In Group Mode, Dravel",
         [&] {
             return std::make_unique<ResultByQuestionInGroupModeReport>(groups, ReportFramePolicy::windowFrame(),
                                                                        ResultByQuestionInGroupModeLayout::dravel());
         }},
    };
    const QString note = ReportPainter::answerNote();
    QTemporaryDir folder;
    for (const auto &[name, make] : reports) {
        SCOPED_TRACE(name);
        const std::unique_ptr<ReportDocument> report = make();
        const QString text = firstPageText(*report, folder.path());
        // Its lines joined by a blank give the note back whole: no word was cut ("bu t").
        EXPECT_TRUE(text.contains(note)) << text.left(600).toStdString();
    }
}

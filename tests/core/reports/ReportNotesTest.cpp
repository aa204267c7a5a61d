#include "ReportTestBase.h"

#include "core/reports/ClassResponseReport.h"
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
#include <QSet>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <string>

// Every text a report wraps breaks between words, by one rule. The note that explains the answer
// notation ("(Note:'__'means No Answer, ...)") stands on the pages of every report that shows
// replies, in a band two lines high; however wide the band and however large its font, it breaks
// between words, as a teacher reads it. So do the question texts and options beside it.
namespace {

// The text of page 1 of the report's PDF, every run of white space one blank (or, with lines,
// its lines kept).
QString firstPageText(const ReportDocument &report, const QString &folder, bool lines = false)
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
    // Arabic comes back in the letters' shaped forms, between marks of its direction: as typed.
    static const QRegularExpression directionMarks(QStringLiteral("[\\x{200E}\\x{200F}\\x{202A}-\\x{202E}]"));
    const QString text = QString::fromUtf8(p.readAllStandardOutput()).normalized(QString::NormalizationForm_KC).remove(directionMarks);
    return lines ? text : QString(text).replace(QRegularExpression(QStringLiteral("\\s+")), QStringLiteral(" "));
}

// The words of text, each whole.
QStringList wordsOf(const QString &text)
{
    return text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
}

// The words of text not found whole among the words of printed (split at blanks, commas and
// quotes, as the CSV writes lines), an option's letter ("C.") taken off a word's start; blanks
// between them.
std::string cutWords(const QString &text, const QString &printed)
{
    QSet<QString> found;
    static const QRegularExpression letter(QStringLiteral("^[A-J]\\."));
    for (QString word : printed.split(QRegularExpression(QStringLiteral("[\\s,\"]+")), Qt::SkipEmptyParts))
        found << word << word.remove(letter);
    QStringList cut;
    for (const QString &word : wordsOf(text))
        if (!found.contains(word))
            cut << word;
    return cut.join(QLatin1Char(' ')).toStdString();
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

TEST_F(ReportNotesTest, QuestionTextsAndOptionsBreakBetweenWordsInEveryScript)
{
    // A question's text and an option of it, each long enough to take two lines or three in every
    // report's column, in Latin and in Arabic script.
    const QList<std::pair<QString, QString>> texts{
        {QStringLiteral("Think of the moment of the collision and of the average distance the planet travels over a "
                        "whole orbit before it comes back to where it started: why does that matter for the answer?"),
         QStringLiteral("Because the average distance over a whole orbit decides how long the planet takes to come "
                        "back while the moment of the collision only changes where it starts from")},
        {QStringLiteral("فكر في لحظة الاصطدام وفي متوسط المسافة التي يقطعها الكوكب خلال مدار كامل قبل أن يعود إلى "
                        "حيث بدأ ثم اشرح لماذا يهم ذلك في الإجابة التي تختارها من بين الإجابات"),
         QStringLiteral("لأن متوسط المسافة خلال مدار كامل يحدد كم يستغرق الكوكب ليعود بينما لا تغير لحظة الاصطدام إلا "
                        "المكان الذي يبدأ منه وهذه هي الإجابة")},
    };
    const ReportFramePolicy dravel = ReportFramePolicy::dravelFrame();
    for (const auto &[title, option] : texts) {
        QuizEntity paper = session("question-paper");
        paper.allQuestions()[0].setTitle(title);
        paper.allQuestions()[0].allOptions()[2].setText(option);
        const QList<SelectStudents> students = ticked(paper);
        const std::vector<std::pair<const char *, std::function<std::unique_ptr<ReportDocument>()>>> reports{
            {"Question Report", [&] { return std::make_unique<SessionQuestionReport>(paper, students); }},
            {"Question Report, Dravel",
             [&] { return std::make_unique<SessionQuestionReport>(paper, students, dravel, QuestionReportLayout::dravel()); }},
            {"Student Response Result", [&] { return std::make_unique<StudentResponseResultReport>(paper, students); }},
            {"Study Guide", [&] { return std::make_unique<StudyGuideReport>(paper, students); }},
            {"Study Guide, Dravel",
             [&] { return std::make_unique<StudyGuideReport>(paper, students, dravel, StudyGuideLayout::dravel()); }},
            {"Class Response Report", [&] { return std::make_unique<ClassResponseReport>(paper); }},
        };
        QTemporaryDir folder;
        for (const auto &[name, make] : reports) {
            SCOPED_TRACE(name);
            const std::unique_ptr<ReportDocument> report = make();
            // The lines the page draws, as its CSV and its PDF give them back: each text took
            // several, each word whole.
            const QString csv = report->hasCSV() ? QString::fromUtf8(report->csv(QDate(2012, 3, 23)).csvData()) : QString();
            const QStringList pdfLines = firstPageText(*report, folder.path(), true).split(QLatin1Char('\n'));
            const QString pdf = firstPageText(*report, folder.path());
            for (const QString &text : {title, option}) {
                SCOPED_TRACE(text.left(12).toStdString());
                if (report->hasCSV()) {
                    EXPECT_FALSE(csv.contains(text)) << "the text does not wrap here";
                    EXPECT_EQ(cutWords(text, csv), "") << csv.left(1200).toStdString();
                }
                for (const QString &line : pdfLines)
                    EXPECT_FALSE(line.contains(text)) << "the text does not wrap here";
                EXPECT_EQ(cutWords(text, pdf), "") << pdf.left(1200).toStdString();
            }
        }
    }
}

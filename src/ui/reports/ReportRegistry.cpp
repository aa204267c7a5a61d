#include "ReportRegistry.h"

#include "AbsenteeReportController.h"
#include "ClassResponseReportController.h"
#include "ClassStudyGuideController.h"
#include "CorrectRateStatisticsByAnswerTimeController.h"
#include "GroupResultController.h"
#include "GroupStudentReportController.h"
#include "ItemAnalysisController.h"
#include "PersonalStandardsReportController.h"
#include "QuestionReportController.h"
#include "ResultByQuestionController.h"
#include "ResultByQuestionInGroupModeController.h"
#include "ResultOfEliminationReportController.h"
#include "RollCallController.h"
#include "StandardsAnalysisReportController.h"
#include "StudentGradeReportController.h"
#include "StudentResponseResultController.h"
#include "StudyGuideController.h"
#include "VoteReportController.h"
#include "VoteReportNonAnonymousController.h"

#include "ui/controls/DialogHooks.h"

#include <QHash>

namespace {
QHash<QString, ReportRegistry::Opener> &openers()
{
    static QHash<QString, ReportRegistry::Opener> map;
    return map;
}

// A report window over the ticked students of the check list, run modally.
template <typename Window>
void openWithStudents(QWidget *parent, const QuizEntity &quiz, QList<SelectStudents> &students)
{
    Window window(quiz, students, parent);
    DialogHooks::runModal(&window);
}
} // namespace

void ReportRegistry::registerReport(const QString &reportName, Opener opener)
{
    openers().insert(reportName, std::move(opener));
}

bool ReportRegistry::isBuilt(const QString &reportName)
{
    return bool(openers().value(reportName));
}

bool ReportRegistry::open(const QString &reportName, QWidget *parent, const QuizEntity &quiz,
                          QList<SelectStudents> &studentList)
{
    const Opener opener = openers().value(reportName);
    if (!opener)
        return false;
    opener(parent, quiz, studentList);
    return true;
}

void ReportRegistry::registerBuiltReports()
{
    registerReport(QStringLiteral("Student Session Report"),
                   [](QWidget *parent, const QuizEntity &quiz, QList<SelectStudents> &students) {
                       StudentGradeReportController window(quiz, students, parent);
                       DialogHooks::runModal(&window);
                   });
    registerReport(QStringLiteral("Class Response Report"),
                   [](QWidget *parent, const QuizEntity &quiz, QList<SelectStudents> &) {
                       ClassResponseReportController window(quiz, parent);
                       DialogHooks::runModal(&window);
                   });
    registerReport(QStringLiteral("Response Spread Report"),
                   [](QWidget *parent, const QuizEntity &quiz, QList<SelectStudents> &) {
                       ItemAnalysisController window(quiz, parent);
                       DialogHooks::runModal(&window);
                   });
    registerReport(QStringLiteral("Attendance"),
                   [](QWidget *parent, const QuizEntity &quiz, QList<SelectStudents> &students) {
                       // The roll call is of the whole class.
                       for (SelectStudents &s : students)
                           s.setIsSelected(true);
                       RollCallController window(quiz, parent);
                       DialogHooks::runModal(&window);
                   });
    registerReport(QStringLiteral("Correct Rate Statistics"),
                   [](QWidget *parent, const QuizEntity &quiz, QList<SelectStudents> &students) {
                       CorrectRateStatisticsByAnswerTimeController window(quiz, students, parent);
                       DialogHooks::runModal(&window);
                   });
    for (int flag : {0, 1})
        registerReport(flag == 0 ? QStringLiteral("Result By Question(Answer Detail)")
                                 : QStringLiteral("Result By Question(Scores)"),
                       [flag](QWidget *parent, const QuizEntity &quiz, QList<SelectStudents> &students) {
                           ResultByQuestionController window(quiz, students, flag, parent);
                           DialogHooks::runModal(&window);
                       });
    registerReport(QStringLiteral("Result Of Elimination"),
                   [](QWidget *parent, const QuizEntity &quiz, QList<SelectStudents> &students) {
                       ResultOfEliminationReportController window(quiz, students, 0, parent);
                       DialogHooks::runModal(&window);
                   });
    registerReport(QStringLiteral("Vote Report"), [](QWidget *parent, const QuizEntity &quiz, QList<SelectStudents> &) {
        VoteReportController window(quiz, parent);
        DialogHooks::runModal(&window);
    });
    // Not in the chooser's list of a vote's reports: opened by its name.
    registerReport(QStringLiteral("Voting Result"), [](QWidget *parent, const QuizEntity &quiz, QList<SelectStudents> &) {
        VoteReportNonAnonymousController window(quiz, parent);
        DialogHooks::runModal(&window);
    });
    registerReport(QStringLiteral("Group Result"), [](QWidget *parent, const QuizEntity &quiz, QList<SelectStudents> &) {
        GroupResultController window(quiz, parent);
        DialogHooks::runModal(&window);
    });
    registerReport(QStringLiteral("Group Student Report"),
                   [](QWidget *parent, const QuizEntity &quiz, QList<SelectStudents> &) {
                       GroupStudentReportController window(quiz, parent);
                       DialogHooks::runModal(&window);
                   });
    registerReport(QStringLiteral("Absentee Report"), [](QWidget *parent, const QuizEntity &quiz, QList<SelectStudents> &) {
        AbsenteeReportController window(quiz, parent);
        DialogHooks::runModal(&window);
    });
    registerReport(QStringLiteral("Personal Standards Report"),
                   [](QWidget *parent, const QuizEntity &quiz, QList<SelectStudents> &students) {
                       PersonalStandardsReportController window(quiz, students, parent);
                       DialogHooks::runModal(&window);
                   });
    registerReport(QStringLiteral("Standards Analysis Report"),
                   [](QWidget *parent, const QuizEntity &quiz, QList<SelectStudents> &) {
                       StandardsAnalysisReportController window(quiz, parent);
                       DialogHooks::runModal(&window);
                   });
    // Offered only for group sessions; the individual sessions' kinds carry their own names.
    registerReport(QStringLiteral("Result By Question"),
                   [](QWidget *parent, const QuizEntity &quiz, QList<SelectStudents> &) {
                       ResultByQuestionInGroupModeController window(quiz, parent);
                       DialogHooks::runModal(&window);
                   });
    registerReport(QStringLiteral("Question Report"), openWithStudents<QuestionReportController>);
    registerReport(QStringLiteral("Study Guide"), openWithStudents<StudyGuideController>);
    registerReport(QStringLiteral("Class Study Guide"), openWithStudents<ClassStudyGuideController>);
    registerReport(QStringLiteral("Student Response Result"), openWithStudents<StudentResponseResultController>);
}

void ReportRegistry::clear()
{
    openers().clear();
}

#include "ReportRegistry.h"

#include "ClassResponseReportController.h"
#include "ItemAnalysisController.h"
#include "StudentGradeReportController.h"

#include "ui/controls/DialogHooks.h"

#include <QHash>

namespace {
QHash<QString, ReportRegistry::Opener> &openers()
{
    static QHash<QString, ReportRegistry::Opener> map;
    return map;
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
}

void ReportRegistry::clear()
{
    openers().clear();
}

#include "ReportChoice.h"

#include "core/base/ActivityCodes.h"
#include "core/base/CommonFunc.h"
#include "core/store/DataManager.h"
#include "core/store/GlobalFunctions.h"
#include "core/store/QuizEntity.h"

#include <algorithm>

namespace {
const QString kAbsentee = QStringLiteral("Absentee Report");

QString activity(int storedCode)
{
    return DataManager::getActModeNameByActModeNo(storedCode);
}

// Long integers, as an ID of many digits may hold.
qint64 leadingNumber(const QString &text)
{
    qint64 value = 0;
    int i = 0;
    while (i < text.size() && (text.at(i) == QLatin1Char(' ') || text.at(i) == QLatin1Char('\t')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+')))
        negative = text.at(i++) == QLatin1Char('-');
    for (; i < text.size() && text.at(i).isDigit() && value < (qint64(1) << 58); ++i)
        value = value * 10 + text.at(i).digitValue();
    return negative ? -value : value;
}
} // namespace

QStringList ReportChoice::reportsFor(bool isGroup, const QString &activityName, int deviceType)
{
    QStringList reports;
    const auto a = [&activityName](int code) { return activityName == activity(code); };
    if (isGroup) {
        if (a(StoredActivity::NormalQuiz))
            reports = {"Student Response Result", "Study Guide", "Class Study Guide", "Group Student Report",
                       "Question Report", "Result By Question", "Student Session Report", "Class Response Report",
                       "Response Spread Report", kAbsentee, "Group Result", "Standards Analysis Report",
                       "Personal Standards Report"};
        else if (a(StoredActivity::RushQuiz))
            reports = {"Group Student Report", "Result By Question", "Result By Question(Answer Detail)",
                       "Result By Question(Scores)", "Group Result"};
        else if (a(StoredActivity::Elimination))
            reports = {"Group Student Report", "Result Of Elimination", "Result By Question", "Group Result"};
    } else if (a(StoredActivity::NormalQuiz) || a(StoredActivity::MultipleMode)) {
        reports = {"Student Response Result", "Study Guide", "Class Study Guide", "Question Report",
                   "Correct Rate Statistics", "Student Session Report", "Class Response Report",
                   "Response Spread Report", kAbsentee, "Standards Analysis Report", "Personal Standards Report"};
    } else if (a(StoredActivity::HomeWork) || a(StoredActivity::PaperQuiz)) {
        reports = {"Student Response Result", "Study Guide", "Class Study Guide", "Question Report",
                   "Student Session Report", "Class Response Report", "Response Spread Report", kAbsentee,
                   "Standards Analysis Report", "Personal Standards Report"};
    } else if (a(StoredActivity::Vote)) {
        reports = {"Vote Report", "Response Spread Report", kAbsentee};
    } else if (a(StoredActivity::RushQuiz)) {
        reports = {"Result By Question(Answer Detail)", "Result By Question(Scores)"};
    } else if (a(StoredActivity::Elimination)) {
        reports = {"Result Of Elimination"};
    } else if (a(StoredActivity::Attendance)) {
        reports = {"Attendance"};
    }
    if (deviceType == DeviceType::Arvel || deviceType == DeviceType::Brevel)
        reports.removeAll(kAbsentee);
    return reports;
}

bool ReportChoice::isGroupSession(const QuizEntity &quiz)
{
    return quiz.group() > 1;
}

bool ReportChoice::isClassWide(const QString &reportName)
{
    static const QStringList classWide{"Class Response Report", "Response Spread Report", kAbsentee,
                                       "Standards Analysis Report"};
    return classWide.contains(reportName);
}

bool ReportChoice::needsTickedStudent(bool isGroup, const QString &activityName, const QString &reportName)
{
    if (isGroup)
        return false;
    if (activityName == activity(StoredActivity::Vote) || activityName == activity(StoredActivity::Attendance))
        return false;
    return !isClassWide(reportName);
}

QList<SelectStudents> ReportChoice::studentCheckList(const QuizEntity &quiz)
{
    QList<SelectStudents> list;
    for (int i = 0; i < quiz.allStudents().size(); ++i) {
        const StudentEntity &student = quiz.allStudents().at(i);
        SelectStudents row;
        // A session file numbers its students by their place in it.
        row.setStudentNo(student.no() >= 0 ? student.no() : i + 1);
        row.setStudentID(student.id().isNull() ? QStringLiteral("") : student.id());
        row.setStudentName(mergeFirstLastString(student.firstName(), student.lastName()));
        list.append(row);
    }
    std::stable_sort(list.begin(), list.end(),
                     [](const SelectStudents &a, const SelectStudents &b) { return sortStByID(a, b) < 0; });
    return list;
}

int ReportChoice::sortStByID(const SelectStudents &a, const SelectStudents &b)
{
    const qint64 x = leadingNumber(a.studentID()), y = leadingNumber(b.studentID());
    return x < y ? -1 : (x > y ? 1 : 0);
}

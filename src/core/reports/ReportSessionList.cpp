#include "ReportSessionList.h"

#include "core/base/ActivityCodes.h"
#include "core/engine/ActivityRules.h"
#include "core/reports/SessionMerge.h"
#include "core/store/DataManager.h"
#include "core/store/GlobalFunctions.h"

#include <QCoreApplication>
#include <QSet>

#include <algorithm>

namespace {
QString activityName(int storedCode)
{
    return DataManager::getActModeNameByActModeNo(storedCode);
}

bool matches(const QString &filter, const QString &value)
{
    if (filter.isNull())
        return false;
    return filter == GlobalFunctions::allText() || filter == QLatin1String("All") || filter == value;
}
} // namespace

bool ReportSessionList::Filter::passes(const ReportTable1Element &row) const
{
    if (!matches(title, row.testTitle()) || !matches(activity, row.activityMode()) || !matches(type, row.type())
        || !matches(subject, row.subjectName()) || !matches(className, row.className())
        || !matches(teacher, row.teacherName()) || !matches(kind, row.flagStr()))
        return false;
    if (!row.day().isValid())
        return true;
    return !(from.isValid() && row.day() < from) && !(to.isValid() && row.day() > to);
}

QList<ReportTable1Element> ReportSessionList::rows(const QList<TovSessionXmlParsedResult> &index, const Filter *filter)
{
    QList<ReportTable1Element> out;
    out.reserve(index.size());
    for (const TovSessionXmlParsedResult &entry : index) {
        ReportTable1Element row = ReportTable1Element::fromResult(entry);
        if (!filter || filter->passes(row))
            out.append(std::move(row));
    }
    // Later first; a row without a day goes after every dated one.
    std::stable_sort(out.begin(), out.end(), [](const ReportTable1Element &a, const ReportTable1Element &b) {
        if (a.day().isValid() != b.day().isValid())
            return a.day().isValid();
        return a.created() > b.created();
    });
    return out;
}

QStringList ReportSessionList::titles(const QList<TovSessionXmlParsedResult> &index)
{
    QStringList out;
    QSet<QString> seen;
    for (const TovSessionXmlParsedResult &entry : index)
        if (!seen.contains(entry.Title())) {
            seen.insert(entry.Title());
            out.append(entry.Title());
        }
    return out;
}

QStringList ReportSessionList::activityNames()
{
    const QStringList &all = ActivityRules::AllActivityMode();
    const QList<int> left{Activity::Survey, Activity::QuickGrouping, Activity::HandRaise, Activity::FreeNormalQuiz,
                          Activity::FreeRushQuiz};
    QStringList out;
    for (int i = 0; i < all.size(); ++i)
        if (!left.contains(i) && !out.contains(all.at(i)))
            out.append(all.at(i));
    return out;
}

QStringList ReportSessionList::kinds()
{
    return {QStringLiteral("NORMAL"), QStringLiteral("COURSE")};
}

QStringList ReportSessionList::builtInSessionTypes()
{
    QStringList out;
    for (const char *name : {"Attendance", "Exam", "Game", "Homework", "Lab", "Other", "Participation"})
        out.append(QCoreApplication::translate("Report", name));
    return out;
}

ReportSessionList::DateRange ReportSessionList::defaultDateRange(const QList<ReportTable1Element> &listed,
                                                                 const QDate &today,
                                                                 const std::function<QStringList()> &createdTexts)
{
    QList<QDate> days;
    if (!listed.isEmpty()) {
        for (const ReportTable1Element &row : listed)
            if (row.day().isValid())
                days.append(row.day());
        if (days.isEmpty())
            return {today, today};
        const auto [earliest, latest] = std::minmax_element(days.begin(), days.end());
        return {std::min(today, *earliest), *latest};
    }
    if (createdTexts)
        for (const QString &text : createdTexts()) {
            const QDate day = QDate::fromString(text.left(10), QStringLiteral("yyyy-MM-dd"));
            if (day.isValid())
                days.append(day);
        }
    if (days.isEmpty())
        return {today, today};
    std::sort(days.begin(), days.end());
    return {days.first(), days.last()};
}

ReportSessionList::Buttons ReportSessionList::buttonsFor(const QList<ReportTable1Element> &selected, bool resetting)
{
    Buttons b;
    b.importFile = true;
    if (selected.isEmpty())
        return b; // nothing to act on
    const bool several = selected.size() > 1;
    b.edit = !several;
    b.merge = several;
    b.exportFile = !several;
    b.report = !several;
    b.deleteRows = true;

    const QString vote = activityName(StoredActivity::Vote);
    const QString attendance = activityName(StoredActivity::Attendance);
    for (const ReportTable1Element &row : selected) {
        if (row.activityMode() == vote || row.activityMode() == attendance) {
            b.edit = false;
            b.exportFile = false;
            if (row.activityMode() == attendance)
                b.report = true;
            break;
        }
    }
    if (resetting)
        return b;

    const QString normal = activityName(StoredActivity::NormalQuiz);
    const QString paper = activityName(StoredActivity::PaperQuiz);
    int total = 0, normals = 0, papers = 0;
    for (const ReportTable1Element &row : selected) {
        if (row.activityMode() != normal && row.activityMode() != paper) {
            b.merge = false;
            break;
        }
        ++total;
        // A run without groups stores 1; a group run its number of groups; a hand entry 0.
        if (row.result().Groups() == 1)
            continue;
        if (row.activityMode() == normal && ++normals != total) {
            b.merge = false;
            break;
        }
        if (row.activityMode() == paper && ++papers != total) {
            b.merge = false;
            break;
        }
    }
    if (several) {
        const ReportTable1Element &first = selected.first();
        for (qsizetype i = 1; i < selected.size(); ++i)
            if (selected.at(i).result().Model() != first.result().Model() || selected.at(i).flag() != first.flag()) {
                b.merge = false;
                break;
            }
    }
    return b;
}

bool ReportSessionList::doubleClickEdits(const QList<ReportTable1Element> &selected)
{
    if (selected.size() != 1)
        return false;
    const int mode = GlobalFunctions::intValue(selected.first().result().Mode());
    return mode != StoredActivity::Survey && mode != StoredActivity::Vote && mode != StoredActivity::Attendance
           && mode != StoredActivity::QuickGrouping && mode != StoredActivity::HandRaise;
}

QString ReportSessionList::pointsOnlyRefusal(const QList<ReportTable1Element> &selected)
{
    const auto pointsOnly = std::count_if(selected.begin(), selected.end(),
                                          [](const ReportTable1Element &row) { return row.flag() != 1; });
    return SessionMerge::kindRefusal(int(pointsOnly), int(selected.size()));
}

bool ReportSessionList::mayMerge(const QList<ReportTable1Element> &selected,
                                 const std::function<QString(const QString &path)> &testPaper)
{
    if (selected.isEmpty())
        return false;
    const ReportTable1Element &first = selected.first();
    for (qsizetype i = 1; i < selected.size(); ++i)
        if (selected.at(i).subjectName() != first.subjectName())
            return false;
    const QString paperOfFirst = testPaper(first.filePath());
    for (qsizetype i = 1; i < selected.size(); ++i) {
        const ReportTable1Element &row = selected.at(i);
        if (row.className() != first.className() && testPaper(row.filePath()) != paperOfFirst)
            return false;
    }
    return true;
}

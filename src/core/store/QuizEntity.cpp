#include "QuizEntity.h"

#include "GlobalFunctions.h"

QString QuizEntity::dateText() const
{
    if (m_date.userType() == QMetaType::QDateTime)
        return GlobalFunctions::timeStampFromStandardText(GlobalFunctions::standardDateText(m_date.toDateTime()));
    return GlobalFunctions::timeStampFromStandardText(m_date.toString());
}

QMap<int, int> QuizEntity::groupAppendPoints() const
{
    QMap<int, int> points;
    for (const GroupEntity &g : m_allGroups)
        points[g.groupNo()] += GlobalFunctions::intValue(g.appendMark());
    for (auto it = points.begin(); it != points.end();)
        it = it.value() == 0 ? points.erase(it) : std::next(it);
    return points;
}

void QuizEntity::setGroupAppendPoints(const QMap<int, int> &points)
{
    m_allGroups.clear();
    for (auto it = points.cbegin(); it != points.cend(); ++it) {
        if (it.value() == 0)
            continue;
        GroupEntity g;
        g.setGroupNo(it.key());
        g.setAppendMark(QString::number(it.value()));
        m_allGroups.append(g);
    }
}

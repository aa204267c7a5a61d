#include "ReportTable1Element.h"

#include "core/store/DataManager.h"
#include "core/store/GlobalFunctions.h"

#include <QFileInfo>

ReportTable1Element ReportTable1Element::fromResult(const TovSessionXmlParsedResult &entry)
{
    ReportTable1Element row;
    row.setStrID(entry.ID());
    row.setSession(entry.Name());
    row.setTestTitle(entry.Title());
    row.setType(entry.Type());
    row.setActivityMode(DataManager::getActModeNameByActModeNo(GlobalFunctions::intValue(entry.Mode())));
    row.setClassName(entry.ClassName());
    row.setSubjectName(entry.Subject());
    row.setTeacherName(entry.TeacherName());
    row.setFlag(entry.flag());
    row.setFlagStr(entry.flag() == 1 ? QStringLiteral("NORMAL") : QStringLiteral("COURSE"));
    row.setFilePath(entry.filePath());
    row.setResult(entry);
    if (!entry.damage().isEmpty()) {
        row.setUnreadable(entry.damage());
        row.setSession(QFileInfo(entry.filePath()).fileName());
    }

    // "YYYY-MM-DDTHH:MM:SS", or with a blank for the T, possibly with more behind it.
    QString created = entry.DateCreated();
    if (created.size() >= 19) {
        if (created.at(10) == QLatin1Char(' '))
            created[10] = QLatin1Char('T');
        created.truncate(19);
    }
    const qsizetype t = created.indexOf(QLatin1Char('T'));
    const QString day = t >= 0 ? created.left(t) : created.left(10);
    QString clock = t >= 0 ? created.mid(t + 1, 8) : QString();
    QTime time = QTime::fromString(clock, QStringLiteral("HH:mm:ss"));
    if (!time.isValid()) {
        time = QTime(0, 0);
        clock = QStringLiteral("00:00:00");
    }
    row.setDate(day);
    row.setDay(QDate::fromString(day, QStringLiteral("yyyy-MM-dd")));
    row.setTime(time);
    row.setDateZone(QStringLiteral("%1 %2 +0800").arg(day, clock));
    return row;
}

QDateTime ReportTable1Element::created() const
{
    return QDateTime(m_day, m_time, Qt::UTC);
}

QString ReportTable1Element::exportFileName() const
{
    const QString name = unreadable().isEmpty() ? session() : QFileInfo(filePath()).completeBaseName();
    return GlobalFunctions::safeFileName(name) + QStringLiteral(".xml");
}

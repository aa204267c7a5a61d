#include "SystemVersion.h"

#include "Log.h"

#include <QFile>
#include <QMutex>
#include <QRegularExpression>

#include <sys/utsname.h>

namespace {

QMutex g_mutex;
QString g_osReleasePath = QStringLiteral("/etc/os-release");

QString osReleaseValue(const QString &key)
{
    QString path;
    {
        QMutexLocker lock(&g_mutex);
        path = g_osReleasePath;
    }
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    const QString prefix = key + QLatin1Char('=');
    while (!f.atEnd()) {
        const QString line = QString::fromUtf8(f.readLine()).trimmed();
        if (!line.startsWith(prefix))
            continue;
        QString value = line.mid(prefix.size());
        if (value.size() >= 2 && (value.startsWith(QLatin1Char('"')) || value.startsWith(QLatin1Char('\''))))
            value = value.mid(1, value.size() - 2);
        return value;
    }
    return QString();
}

} // namespace

void SystemVersion::setOsReleasePath(const QString &path)
{
    QMutexLocker lock(&g_mutex);
    g_osReleasePath = path;
}

QString SystemVersion::systemName()
{
    // The distribution's name goes with its own version only; without one the kernel's is shown.
    const QString name = osReleaseValue(QStringLiteral("NAME"));
    if (name.isEmpty() || !parseVersion(osReleaseValue(QStringLiteral("VERSION_ID")), nullptr, nullptr, nullptr))
        return QStringLiteral("Linux");
    return name;
}

bool SystemVersion::parseVersion(const QString &text, unsigned *major, unsigned *minor, unsigned *bugFix)
{
    static const QRegularExpression re(QStringLiteral("^(\\d+)(?:\\.(\\d+))?(?:\\.(\\d+))?"));
    const QRegularExpressionMatch m = re.match(text.trimmed());
    if (!m.hasMatch())
        return false;
    if (major)
        *major = m.captured(1).toUInt();
    if (minor)
        *minor = m.captured(2).toUInt();
    if (bugFix)
        *bugFix = m.captured(3).toUInt();
    return true;
}

bool SystemVersion::getSystemVersionMajor(unsigned *major, unsigned *minor, unsigned *bugFix)
{
    if (parseVersion(osReleaseValue(QStringLiteral("VERSION_ID")), major, minor, bugFix))
        return true;
    struct utsname uts {};
    if (uname(&uts) == 0 && parseVersion(QString::fromLatin1(uts.release), major, minor, bugFix))
        return true;
    PollixLogf("Unable to obtain system version : %ld", 0L);
    for (unsigned *p : {major, minor, bugFix}) {
        if (p)
            *p = 0;
    }
    return false;
}

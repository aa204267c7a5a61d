#include "SystemVersion.h"

#include "Log.h"

#include <QFile>
#include <QMutex>
#include <QRegularExpression>
#include <QStringList>

#include <sys/utsname.h>

namespace {

QMutex g_mutex;
QString g_osReleasePath = QStringLiteral("/etc/os-release");
QString g_debianVersionPath = QStringLiteral("/etc/debian_version");

// A small system file's text; empty when it cannot be read.
QString fileText(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(f.read(64 * 1024));
}

struct Files
{
    QString osRelease, debianVersion;
};

Files systemFiles()
{
    QString osRelease, debianVersion;
    {
        QMutexLocker lock(&g_mutex);
        osRelease = g_osReleasePath;
        debianVersion = g_debianVersionPath;
    }
    return {fileText(osRelease), fileText(debianVersion)};
}

QString kernelRelease()
{
    struct utsname uts {};
    return uname(&uts) == 0 ? QString::fromLatin1(uts.release) : QString();
}

QString osReleaseValue(const QString &osRelease, const QString &key)
{
    const QString prefix = key + QLatin1Char('=');
    for (const QString &raw : osRelease.split(QLatin1Char('\n'))) {
        const QString line = raw.trimmed();
        if (!line.startsWith(prefix))
            continue;
        QString value = line.mid(prefix.size());
        if (value.size() >= 2 && (value.startsWith(QLatin1Char('"')) || value.startsWith(QLatin1Char('\''))))
            value = value.mid(1, value.size() - 2);
        return value;
    }
    return QString();
}

// The numbers a version text begins with, as written ("22.04" stays "22.04"): "6.1.0" of
// "6.1.0-18-amd64", nothing of "bookworm/sid".
QStringList leadingNumbers(const QString &text)
{
    static const QRegularExpression re(QStringLiteral("^\\d+(?:\\.\\d+)*"));
    const QRegularExpressionMatch m = re.match(text.trimmed());
    return m.hasMatch() ? m.captured().split(QLatin1Char('.')) : QStringList();
}

// Whether finer gives more numbers than coarse and begins with the same ones.
bool refines(const QStringList &finer, const QStringList &coarse)
{
    if (finer.size() <= coarse.size())
        return false;
    for (qsizetype i = 0; i < coarse.size(); ++i)
        if (finer.at(i).toUInt() != coarse.at(i).toUInt())
            return false;
    return true;
}

struct Described
{
    QString name;
    QStringList numbers;
};

Described describe(const QString &osRelease, const QString &debianVersion, const QString &kernel)
{
    // The distribution's name goes with its own version only; without one the kernel's is shown.
    const QString name = osReleaseValue(osRelease, QStringLiteral("NAME"));
    const QStringList release = leadingNumbers(osReleaseValue(osRelease, QStringLiteral("VERSION_ID")));
    if (name.isEmpty() || release.isEmpty())
        return {QStringLiteral("Linux"), leadingNumbers(kernel)};
    // Debian names only its major release in os-release ("12"); its point release ("12.11") is
    // in the Debian version file, which a system derived from it may fill with another's.
    const QStringList point = leadingNumbers(debianVersion);
    return {name, refines(point, release) ? point : release};
}

} // namespace

void SystemVersion::setOsReleasePath(const QString &path)
{
    QMutexLocker lock(&g_mutex);
    g_osReleasePath = path;
}

void SystemVersion::setDebianVersionPath(const QString &path)
{
    QMutexLocker lock(&g_mutex);
    g_debianVersionPath = path;
}

QString SystemVersion::systemName()
{
    const Files files = systemFiles();
    return describe(files.osRelease, files.debianVersion, QString()).name;
}

QString SystemVersion::systemText()
{
    const Files files = systemFiles();
    return systemText(files.osRelease, files.debianVersion, kernelRelease());
}

QString SystemVersion::systemText(const QString &osRelease, const QString &debianVersion, const QString &kernelRelease)
{
    const Described system = describe(osRelease, debianVersion, kernelRelease);
    return system.numbers.isEmpty() ? system.name : system.name + QLatin1Char(' ') + system.numbers.join(QLatin1Char('.'));
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
    const Files files = systemFiles();
    if (parseVersion(describe(files.osRelease, files.debianVersion, kernelRelease()).numbers.join(QLatin1Char('.')), major,
                     minor, bugFix))
        return true;
    PollixLogf("Unable to obtain system version : %ld", 0L);
    for (unsigned *p : {major, minor, bugFix}) {
        if (p)
            *p = 0;
    }
    return false;
}

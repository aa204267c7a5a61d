// Backup archives, checked and unpacked as Restore does it (into the application folder of the
// fuzz run, which starts empty for each input).

#include "FuzzSupport.h"

#include "core/app/zipHelper.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// A data folder laid out from the committed test files, backed up by Backup itself.
QByteArray backupOf(const QList<std::pair<QString, QString>> &files)
{
    const QString data = Fuzz::home() + QStringLiteral("Data/");
    for (const auto &[test, target] : files) {
        QDir().mkpath(QFileInfo(data + target).absolutePath());
        QFile::copy(QStringLiteral(POLLIX_TEST_DATA_DIR "/") + test, data + target);
    }
    const QString archive = Fuzz::home() + QStringLiteral("seed.zip");
    QByteArray bytes;
    if (zipHelper().backupFilTo(archive)) {
        QFile f(archive);
        if (f.open(QIODevice::ReadOnly))
            bytes = f.readAll();
    }
    QFile::remove(archive);
    Fuzz::clearDataFolder();
    return bytes;
}

} // namespace

QList<QByteArray> fuzzSeeds()
{
    QList<QByteArray> seeds = Fuzz::testDataFiles({QStringLiteral(".zip")});
    seeds << backupOf({{QStringLiteral("store/session-full/expected.xml"), QStringLiteral("Quiz/Week 3.xml")},
                       {QStringLiteral("store/session-attendance/expected.xml"), QStringLiteral("Quiz/Roll call.xml")},
                       {QStringLiteral("store/session-points-only/input.xml"), QStringLiteral("CourseGrade/Grades.xml")},
                       {QStringLiteral("store/class-one-student/expected.xml"), QStringLiteral("Classes/Class 1.xml")},
                       {QStringLiteral("store/roster-one/expected.xml"), QStringLiteral("StudentRoster.xml")},
                       {QStringLiteral("store/teachers-one/expected.xml"), QStringLiteral("TeacherRoster.xml")},
                       {QStringLiteral("store/subjects-two/expected.xml"), QStringLiteral("Subjects.xml")},
                       {QStringLiteral("app/user-list-first-start/expected.xml"), QStringLiteral("UserList.xml")}});
    seeds << backupOf({{QStringLiteral("app/user-list-first-start/expected.xml"), QStringLiteral("UserList.xml")}});
    seeds.removeAll(QByteArray());
    return seeds;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString archive = Fuzz::inputFile(data, size, QStringLiteral("backup.zip"));
    QString why;
    zipHelper().recoverFileFrom(archive, &why);
    Fuzz::clearDataFolder();
    return 0;
}

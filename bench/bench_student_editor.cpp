// The student editor's edit cycle as a teacher repeats it: a student's remark changed, saved, and
// the class's list read again (the editor shows the saved student from it), with a school roster
// of 2,000 students in 50 classes of 40 and with the same roster in one class. Prints the mean
// time of a cycle, and the system calls of one (strace -c -f over a process of its own that runs
// the cycles, less one that only opens the editor; "no count" without strace), and the processor
// time of one, which a busy machine sways less than the time on the clock.
// Run: ./dev bench (or build/bench/bench_student_editor [classes]).
#include "core/app/Orvenda_AppDelegate.h"
#include "core/keypad/DeviceController.h"
#include "core/store/TovClassXmlDatabase.h"
#include "core/store/TovStudentRoster.h"
#include "platform/Singleton.h"
#include "ui/roster/StudentManageController.h"

#include "BenchSession.h"
#include "BenchTiming.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cstdio>

#include <sys/resource.h>

namespace {
constexpr int kRoster = 2000;
constexpr int kRounds = 40;

// The roster, its students spread over classes ("Year 01" ...) in turn.
void makeSchool(const QString &home, int classes)
{
    QDir().mkpath(home + QStringLiteral("/Data/Classes"));
    Orvenda_AppDelegate app(home);
    Orvenda_AppDelegate::setAppDelegate(&app);
    QList<StudentEntity> roster;
    for (int i = 1; i <= kRoster; ++i)
        roster << benchStudent(i);
    TovStudentRoster::sharedUI()->addSomeStudentsToRoster(roster);
    for (int c = 0; c < classes; ++c) {
        const int no = TovClassXmlDatabase::sharedClassUI()->addClassWithName(QStringLiteral("Year %1").arg(c + 1, 2, 10, QLatin1Char('0')));
        QList<StudentEntity> members;
        for (int i = c; i < kRoster; i += classes)
            members << roster.at(i);
        TovClassXmlDatabase::sharedClassUI()->addSomeStudents(members, no);
    }
    Orvenda_AppDelegate::setAppDelegate(nullptr);
    SingletonRegistry::resetAll();
}

// The processor time of this process so far (user and system), in milliseconds: on a busy
// machine the wall time of a cycle says more about the other processes than about the cycle.
double processorMs()
{
    struct rusage use{};
    ::getrusage(RUSAGE_SELF, &use);
    const auto ms = [](const struct timeval &t) { return double(t.tv_sec) * 1e3 + double(t.tv_usec) / 1e3; };
    return ms(use.ru_utime) + ms(use.ru_stime);
}

// Opens the editor on the 20th student of the first class and runs rounds cycles; whether every
// save went through.
bool runCycles(const QString &home, int rounds, double *msPerCycle = nullptr, double *processorMsPerCycle = nullptr)
{
    Orvenda_AppDelegate app(home);
    Orvenda_AppDelegate::setAppDelegate(&app);
    DeviceController::ShareDeviceController()->setCurDeviceType(1);
    bool ok = true;
    {
        StudentManageController editor;
        editor.setStudentToModify(20, 0);
        editor.awakeFromNib();
        int n = 0;
        const double processorBefore = processorMs();
        const double ms = millisecondsPer(rounds, [&] {
            editor.doModify();
            editor.textRemarks->setText(QStringLiteral("Edit %1").arg(++n));
            editor.doSave();
            ok = ok && editor.winState() == StudentManageController::Browsing && editor.canClose();
        });
        if (msPerCycle)
            *msPerCycle = ms;
        if (processorMsPerCycle && rounds > 0)
            *processorMsPerCycle = (processorMs() - processorBefore) / rounds;
    }
    Orvenda_AppDelegate::setAppDelegate(nullptr);
    SingletonRegistry::resetAll();
    return ok;
}

// All system calls of a child process that opens the editor and runs rounds cycles; -1 without
// strace.
qint64 callsOf(const QString &home, int rounds)
{
    QTemporaryDir dir;
    const QString summary = dir.path() + QStringLiteral("/calls");
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QStringLiteral("strace"), {QStringLiteral("-f"), QStringLiteral("-qq"), QStringLiteral("-c"), QStringLiteral("-o"),
                                           summary, QCoreApplication::applicationFilePath(), QStringLiteral("--cycles"), home,
                                           QString::number(rounds)});
    if (!child.waitForFinished(-1) || child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0)
        return -1;
    QFile table(summary);
    if (!table.open(QIODevice::ReadOnly))
        return -1;
    // strace -c ends with "100.00  seconds  usecs/call  calls  errors  total".
    for (const QString &line : QString::fromUtf8(table.readAll()).split(QLatin1Char('\n'))) {
        const QStringList cells = line.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
        if (cells.size() >= 4 && cells.last() == QLatin1String("total"))
            return cells.at(3).toLongLong();
    }
    return -1;
}

int measure(int classes)
{
    QTemporaryDir dir;
    makeSchool(dir.path(), classes);
    runCycles(dir.path(), 3); // the disk's caches warm
    double ms = 0, processor = 0;
    if (!runCycles(dir.path(), kRounds, &ms, &processor)) {
        std::printf("student editor, %d students in %d classes: a save did not go through\n", kRoster, classes);
        return 1;
    }
    const qint64 with = callsOf(dir.path(), kRounds), without = callsOf(dir.path(), 0);
    const QString calls = with < 0 || without < 0 ? QStringLiteral("no count")
                                                  : QString::number(double(with - without) / kRounds, 'f', 0);
    std::printf("student editor, %d students in %d classes: %.1f ms per edit cycle (%.1f ms of processor time), %s "
                "system calls per cycle\n",
                kRoster, classes, ms, processor, qPrintable(calls));
    return 0;
}
} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_LOGGING_RULES", "pollix.info=false");
    QApplication app(argc, argv);
    if (argc == 4 && QByteArray(argv[1]) == "--cycles")
        return runCycles(QString::fromLocal8Bit(argv[2]), QByteArray(argv[3]).toInt()) ? 0 : 1;
    // A number of classes given measures that school alone.
    if (argc == 2)
        return measure(QByteArray(argv[1]).toInt());
    return measure(50) | measure(1);
}

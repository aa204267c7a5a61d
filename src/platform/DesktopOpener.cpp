#include "DesktopOpener.h"

#include "Log.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>
#include <QTemporaryFile>

#include <algorithm>
#include <memory>

namespace {
// What xdg-open says fits in a few lines; the program it starts may write to the same stream for
// as long as it runs, so only the end is read.
constexpr qint64 kReadOutput = 4096;

// xdg-open's exit status when it found no way to open the file ("a required tool could not be
// found"); with 4 ("the action failed") it hands on a failure of the program it ran, and says
// "no method available" only where it gave up itself. On a GNOME desktop it hands the file to
// gio, which fails the same way when no program is set for the kind of file.
constexpr int kNoTool = 3;
constexpr int kActionFailed = 4;
constexpr QLatin1StringView kNoProgramSaid[] = {QLatin1StringView("no method available"),
                                                QLatin1StringView("No application is registered as handling this file")};

QString endOf(QFile &said)
{
    if (!said.isOpen())
        return QString();
    said.seek(std::max<qint64>(0, said.size() - kReadOutput));
    return QString::fromLocal8Bit(said.readAll());
}

QString lastLine(const QString &said)
{
    const QStringList lines = said.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return lines.isEmpty() ? QString() : lines.last().trimmed();
}

bool nothingOpensIt(int code, const QString &said)
{
    return code == kNoTool ||
           (code == kActionFailed && std::any_of(std::begin(kNoProgramSaid), std::end(kNoProgramSaid),
                                                 [&](QLatin1StringView words) { return said.contains(words); }));
}
} // namespace

void DesktopOpener::openFile(const QString &path, QObject *context, Failed failed)
{
    PollixLog(QStringLiteral("open \"%1\"").arg(path));
    QPointer<QObject> guard(context ? context : QCoreApplication::instance());
    const auto tell = [guard, failed, path](Failure failure, const QString &why) {
        PollixLog(QStringLiteral("\"%1\" was not opened: %2").arg(path, why.isEmpty() ? QStringLiteral("no reason given") : why));
        if (guard && failed)
            failed(path, failure, why);
    };
    const QFileInfo info(path);
    if (!info.isFile()) {
        tell(Failure::NotThere, QString());
        return;
    }
    // Owned by the application rather than the window that asked: closing the window does not
    // end the hand-off (nor the program it started).
    auto *process = new QProcess(QCoreApplication::instance());
    process->setProgram(QStringLiteral("xdg-open"));
    process->setArguments({info.absoluteFilePath()});
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    // What it says goes to a file, not a pipe: a viewer that xdg-open starts writes there too,
    // and must not die of a closed pipe once Pollix has ended.
    auto said = std::make_shared<QTemporaryFile>(QDir::temp().filePath(QStringLiteral("pollix-open-XXXXXX.log")));
    if (said->open())
        process->setStandardErrorFile(said->fileName());
    else
        process->setStandardErrorFile(QProcess::nullDevice());
    QObject::connect(process, &QProcess::errorOccurred, process, [process, tell](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        tell(Failure::NoProgram, QStringLiteral("xdg-open (of xdg-utils) is not installed"));
        process->deleteLater();
    });
    QObject::connect(process, &QProcess::finished, process, [process, tell, said, path](int code, QProcess::ExitStatus status) {
        const QString output = endOf(*said);
        if (status == QProcess::NormalExit && nothingOpensIt(code, output)) {
            tell(Failure::NoProgram, lastLine(output));
        } else if (status != QProcess::NormalExit || code != 0) {
            // The program had the file, and the teacher is elsewhere by now: no alert over them.
            const QString why = lastLine(output);
            PollixLog(QStringLiteral("\"%1\": the program that opened it ended with %2%3")
                          .arg(path,
                               status == QProcess::NormalExit ? QStringLiteral("status %1").arg(code)
                                                              : QStringLiteral("a crash"),
                               why.isEmpty() ? QString() : QStringLiteral(": ") + why));
        }
        process->deleteLater();
    });
    process->start();
}

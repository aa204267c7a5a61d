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

QString lastLine(QFile &said)
{
    said.seek(std::max<qint64>(0, said.size() - kReadOutput));
    const QStringList lines = QString::fromLocal8Bit(said.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return lines.isEmpty() ? QString() : lines.last().trimmed();
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
    QObject::connect(process, &QProcess::finished, process, [process, tell, said](int code, QProcess::ExitStatus status) {
        if (status != QProcess::NormalExit || code != 0)
            tell(Failure::NoProgram, said->isOpen() ? lastLine(*said) : QString());
        process->deleteLater();
    });
    process->start();
}

#include "DesktopOpener.h"

#include "Log.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>

#include <memory>

namespace {
// What xdg-open says fits in a few lines; the program it starts writes to the same stream for as
// long as it runs, so only the end is kept.
constexpr qsizetype kKeptOutput = 4096;

QString lastLine(const QByteArray &output)
{
    const QStringList lines = QString::fromLocal8Bit(output).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
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
    auto said = std::make_shared<QByteArray>();
    QObject::connect(process, &QProcess::readyReadStandardError, process, [process, said] {
        *said += process->readAllStandardError();
        if (said->size() > kKeptOutput)
            *said = said->right(kKeptOutput);
    });
    QObject::connect(process, &QProcess::errorOccurred, process, [process, tell](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        tell(Failure::NoProgram, QStringLiteral("xdg-open (of xdg-utils) is not installed"));
        process->deleteLater();
    });
    QObject::connect(process, &QProcess::finished, process, [process, tell, said](int code, QProcess::ExitStatus status) {
        *said += process->readAllStandardError();
        if (status != QProcess::NormalExit || code != 0)
            tell(Failure::NoProgram, lastLine(*said));
        process->deleteLater();
    });
    process->start();
}

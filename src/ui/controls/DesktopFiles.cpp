#include "DesktopFiles.h"

#include "PollixAlert.h"

#include <QDir>
#include <QFileInfo>
#include <QObject>
#include <QPointer>
#include <QWidget>

namespace DesktopFiles {

namespace {
// "PDF files" for a .pdf, "files of this kind" for a file without an extension.
QString kindOf(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix();
    return suffix.isEmpty() ? QObject::tr("files of this kind") : QObject::tr("%1 files").arg(suffix.toUpper());
}
} // namespace

DesktopOpener::Failed alertOver(QWidget *window, bool waitsForNothing)
{
    QPointer<QWidget> over(window);
    return [over, waitsForNothing](const QString &path, DesktopOpener::Failure failure, const QString &why) {
        const QString shown = QDir::toNativeSeparators(path);
        QString text, advice;
        if (failure == DesktopOpener::Failure::NotThere) {
            text = QObject::tr("\"%1\" cannot be opened: the file is not there.").arg(shown);
        } else {
            const QString kind = kindOf(path);
            text = QObject::tr("\"%1\" cannot be opened: no program on this computer opens %2.").arg(shown, kind);
            advice = QObject::tr("Install a program that opens %1, then try again.").arg(kind);
            if (!why.isEmpty())
                advice += QStringLiteral("\n\n") + why;
        }
        if (waitsForNothing)
            PollixAlert::notice(QObject::tr("Pollix"), text, {QObject::tr("OK")}, advice);
        else
            PollixAlert::show(over, QObject::tr("Pollix"), text, {QObject::tr("OK")}, advice);
    };
}

void openBesideRun(QWidget *window, const QString &path)
{
    DesktopOpener::openFile(path, window, alertOver(window, true));
}

} // namespace DesktopFiles

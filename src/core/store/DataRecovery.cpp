#include "DataRecovery.h"

#include "DataFolderLayout.h"
#include "GlobalFunctions.h"
#include "core/base/AppDelegateBase.h"
#include "platform/AtomicFile.h"
#include "platform/ChangeJournal.h"
#include "platform/FolderSwap.h"
#include "platform/Log.h"
#include "platform/SideFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// ---- The record of unfinished work ----
//
// One line per piece of work: the process that started it, a tab, and the path it is making.

QString workRecordPath()
{
    return GlobalFunctions::pathInApplicationFolder(QStringLiteral(".unfinished-work"));
}

struct WorkLine
{
    qint64 pid = 0;
    QString path;
};

QList<WorkLine> readWorkRecord()
{
    QList<WorkLine> out;
    QFile file(workRecordPath());
    if (workRecordPath().isEmpty() || !file.open(QIODevice::ReadOnly))
        return out;
    for (const QByteArray &line : file.readAll().split('\n')) {
        const qsizetype tab = line.indexOf('\t');
        if (tab <= 0)
            continue;
        bool ok = false;
        const qint64 pid = line.left(tab).toLongLong(&ok);
        if (ok)
            out << WorkLine{pid, QString::fromUtf8(line.mid(tab + 1))};
    }
    return out;
}

bool writeWorkRecord(const QList<WorkLine> &lines)
{
    const QString path = workRecordPath();
    if (path.isEmpty())
        return false;
    if (lines.isEmpty())
        return !QFileInfo::exists(path) || QFile::remove(path);
    QByteArray bytes;
    for (const WorkLine &l : lines)
        bytes += QByteArray::number(l.pid) + '\t' + l.path.toUtf8() + '\n';
    return AtomicFile::write(path, bytes);
}

bool isOtherLiveProcess(qint64 pid)
{
    return pid != qint64(::getpid()) && (::kill(pid_t(pid), 0) == 0 || errno == EPERM);
}

// ---- The data folder and the folders beside it ----

bool there(const QString &path)
{
    struct stat st;
    return !path.isEmpty() && ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

// The data folder where it really lies (a restore replaces it there, and the link to it stays),
// also when that place is missing.
QString realDataFolder()
{
    const QString data = DataFolderLayout::dataFolder();
    if (data.isEmpty())
        return QString();
    QFileInfo info(data);
    for (int hops = 0; info.isSymLink() && hops < 16; ++hops)
        info.setFile(info.symLinkTarget());
    return QDir::cleanPath(info.absoluteFilePath());
}

// The staging folders of restores beside the data folder, of the given tags.
QStringList stagingFolders(const QString &data, const QString &tags)
{
    const QFileInfo info(data);
    const QRegularExpression staging(
        QStringLiteral("^%1\\.(%2)-[A-Za-z0-9]{6}$").arg(QRegularExpression::escape(info.fileName()), tags));
    QStringList out;
    for (const QFileInfo &fi : info.dir().entryInfoList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name))
        if (!fi.isSymLink() && staging.match(fi.fileName()).hasMatch())
            out << fi.filePath();
    return out;
}

// A data folder missing with no swap noted down is what earlier versions left when killed
// between the two renames of a restore: its old contents lie in the one folder they were moved
// aside to, and go back; anything else is left for the teacher, and named.
void putBackMissingDataFolder(const QString &data, QStringList *problems)
{
    if (there(data) || !FolderSwap::foldersInUse(data).isEmpty())
        return;
    const QStringList aside = stagingFolders(data, QStringLiteral("old"));
    const QStringList staged = stagingFolders(data, QStringLiteral("restore"));
    if (aside.size() == 1 && ::rename(QFile::encodeName(aside.first()).constData(), QFile::encodeName(data).constData()) == 0) {
        AtomicFile::syncFolderOf(data);
        PollixLog(QStringLiteral("The data folder was missing: %1 was put back in its place").arg(aside.first()));
        return;
    }
    if (!aside.isEmpty() || !staged.isEmpty())
        *problems << QStringLiteral("The data folder %1 is missing; %2 beside it hold data of a restore cut short and are kept")
                         .arg(data, (aside + staged).join(QStringLiteral(", ")));
}
// The data a restore replaced, noted to be kept as a folder because they could not be written as
// an archive, go where the note says (they may be all that is left of them), and never away.
// True when folder held such a note: it was moved, or stays where it is.
bool keptWhereNoted(const QString &folder)
{
    const QString note = folder + QLatin1Char('/') + FolderSwap::keepNoteName();
    QFile file(note);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QString keep = QString::fromUtf8(file.readAll());
    file.close();
    if (keep.isEmpty() || there(keep) ||
        ::rename(QFile::encodeName(folder).constData(), QFile::encodeName(keep).constData()) != 0) {
        PollixLog(QStringLiteral("%1 holds data a restore replaced, to be kept as %2; it stays where it is").arg(folder, keep));
        return true;
    }
    QFile::remove(keep + QLatin1Char('/') + FolderSwap::keepNoteName());
    AtomicFile::syncFolderOf(keep);
    PollixLog(QStringLiteral("The data a restore replaced were moved from %1 to %2").arg(folder, keep));
    return true;
}
} // namespace

void DataRecovery::noteStarted(const QString &path)
{
    QList<WorkLine> lines = readWorkRecord();
    lines << WorkLine{qint64(::getpid()), path};
    if (!writeWorkRecord(lines))
        PollixLog(QStringLiteral("%1 could not be noted as unfinished work").arg(path));
}

void DataRecovery::noteFinished(const QString &path)
{
    QList<WorkLine> lines = readWorkRecord();
    lines.removeIf([&](const WorkLine &l) { return l.path == path && l.pid == qint64(::getpid()); });
    writeWorkRecord(lines);
}

void DataRecovery::removeLeftovers()
{
    QList<WorkLine> kept;
    QStringList live;
    for (const WorkLine &l : readWorkRecord()) {
        if (isOtherLiveProcess(l.pid)) {
            kept << l;
            live << l.path;
            continue;
        }
        const QFileInfo info(l.path);
        if (info.isFile() && !info.isSymLink() && SideFiles::kindOf(info.fileName()) == SideFiles::Kind::Part) {
            if (QFile::remove(l.path))
                PollixLog(QStringLiteral("Removed %1, left by an interrupted backup").arg(l.path));
        }
    }
    writeWorkRecord(kept);

    // A restore's staging folders lie beside the data folder; while it is missing, or a swap
    // noted down names them, they may hold the only whole copy of the data.
    const QString data = realDataFolder();
    if (!there(data))
        return;
    const QStringList inUse = FolderSwap::foldersInUse(data);
    for (const QString &folder : stagingFolders(data, QStringLiteral("restore|old"))) {
        if (live.contains(folder) || inUse.contains(folder) || keptWhereNoted(folder))
            continue;
        if (QDir(folder).removeRecursively())
            PollixLog(QStringLiteral("Removed %1, left by an interrupted restore").arg(folder));
    }
}

bool DataRecovery::run(QString *errorText)
{
    const AppDelegateBase *app = AppDelegateBase::getAppDelegate();
    if (!app)
        return GlobalFunctions::failWith(errorText, QStringLiteral("no application folder"));
    QStringList problems;
    QString why;
    // The data folder first: the journals of changes lie in it.
    const QString data = realDataFolder();
    FolderSwap::finishInterrupted(data, &why);
    if (!why.isEmpty())
        problems << why;
    putBackMissingDataFolder(data, &problems);
    // A restore cut short before its swap (or taken back) left its note in the data it kept.
    QFile::remove(data + QLatin1Char('/') + FolderSwap::keepNoteName());

    // Then the journals: the side files they name are the new and old bytes of their change.
    why.clear();
    const QString journals = QDir::cleanPath(app->strDataFilePath());
    ChangeJournal::finishInterrupted(journals, &why);
    if (!why.isEmpty())
        problems << why;

    // Where Pollix writes: the application folder's own files, the data folder and everything
    // below it, and the manuals; not the folders of whatever else the application folder holds.
    const QList<SideFiles::Kind> writes{SideFiles::Kind::Temporary, SideFiles::Kind::Staged, SideFiles::Kind::Kept};
    const QStringList needed = ChangeJournal::sideFilesInUse(journals);
    const QString root = app->strPollixFilePath();
    QStringList removed = SideFiles::removeIn(root, writes, false, needed);
    removed << SideFiles::removeIn(app->strDataFilePath(), writes, true, needed)
            << SideFiles::removeIn(root + QStringLiteral("Help"), writes, false, needed);
    for (const QString &path : std::as_const(removed))
        PollixLog(QStringLiteral("Removed %1, left by an interrupted write").arg(path));

    removeLeftovers();
    if (problems.isEmpty())
        return true;
    return GlobalFunctions::failWith(errorText, problems.join(QLatin1Char('\n')));
}

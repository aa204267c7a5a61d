#include "DataRecovery.h"

#include "DataFolderLayout.h"
#include "GlobalFunctions.h"
#include "core/base/AppDelegateBase.h"
#include "platform/AtomicFile.h"
#include "platform/ChangeJournal.h"
#include "platform/FolderSwap.h"
#include "platform/Log.h"
#include "platform/RecordFile.h"
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
// The records read back here hold a few lines each; anything far larger is none of Pollix's.
constexpr qint64 kMostWorkRecordBytes = 1 << 20;
constexpr qint64 kMostKeepNoteBytes = 64 * 1024;

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

bool there(const QString &path)
{
    return !path.isEmpty() && RecordFile::kindAt(path) != RecordFile::Kind::Missing;
}

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

// The lines of the record, or none (and *why) when the record is not one Pollix wrote: it is
// then left as it is, and nothing it names is touched.
std::optional<QList<WorkLine>> readWorkRecord(QString *why = nullptr)
{
    QList<WorkLine> out;
    const QString path = workRecordPath();
    if (path.isEmpty() || !there(path))
        return out;
    QString problem;
    const std::optional<QByteArray> bytes = RecordFile::read(path, kMostWorkRecordBytes, &problem);
    if (!bytes) {
        if (why)
            *why = QStringLiteral("%1 is left as it is, and nothing it names is removed: %2").arg(path, problem);
        return std::nullopt;
    }
    for (const QByteArray &line : bytes->split('\n')) {
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
    // Never written through a link, nor in the place of anything else under its name.
    const RecordFile::Kind kind = RecordFile::kindAt(path);
    if (kind != RecordFile::Kind::Missing && kind != RecordFile::Kind::File)
        return false;
    if (lines.isEmpty())
        return kind == RecordFile::Kind::Missing || QFile::remove(path);
    QByteArray bytes;
    for (const WorkLine &l : lines)
        bytes += QByteArray::number(l.pid) + '\t' + l.path.toUtf8() + '\n';
    return AtomicFile::write(path, bytes);
}

bool isOtherLiveProcess(qint64 pid)
{
    return pid != qint64(::getpid()) && (::kill(pid_t(pid), 0) == 0 || errno == EPERM);
}

// A path as the record notes it: its folder where it really lies, so that a start can reach the
// file again without following a link.
QString notedPath(const QString &path)
{
    const QFileInfo info(path);
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return folder.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : QDir(folder).filePath(info.fileName());
}

// ---- The data folder and the folders beside it ----

// The data folder where it really lies (a restore replaces it there, and the link to it stays),
// also when that place is missing.
QString realFolder(const QString &data)
{
    if (data.isEmpty())
        return QString();
    QFileInfo info(QDir::cleanPath(data));
    for (int hops = 0; info.isSymLink() && hops < 16; ++hops)
        info.setFile(info.symLinkTarget());
    return QDir::cleanPath(info.absoluteFilePath());
}

QString realDataFolder()
{
    return realFolder(DataFolderLayout::dataFolder());
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
    if (aside.size() == 1 && ::rename(native(aside.first()).constData(), native(data).constData()) == 0) {
        AtomicFile::syncFolderOf(data);
        PollixLog(QStringLiteral("The data folder was missing: %1 was put back in its place").arg(aside.first()));
        return;
    }
    if (!aside.isEmpty() || !staged.isEmpty())
        *problems << QStringLiteral("The data folder %1 is missing; %2 beside it hold data of a restore cut short and are kept")
                         .arg(data, (aside + staged).join(QStringLiteral(", ")));
}

// Where a keep note sends its folder: a folder's name in the application folder's Backups (an
// earlier Pollix wrote the whole path, which must then lead there); empty with *why when the
// note names anything else.
QString keepPlace(const QByteArray &note, QString *why)
{
    const QString backups = QDir::cleanPath(GlobalFunctions::pathInApplicationFolder(QStringLiteral("Backups")));
    QString name = QString::fromUtf8(note);
    if (name.startsWith(QLatin1Char('/')) && QFileInfo(name).absolutePath() == backups)
        name = QFileInfo(name).fileName();
    if (const QString problem = RecordFile::nameProblem(name); !problem.isEmpty() || name.contains(QLatin1Char('/'))) {
        *why = problem.isEmpty() ? QStringLiteral("%1 is no folder of %2").arg(name, backups) : problem;
        return QString();
    }
    if (const RecordFile::Kind kind = RecordFile::kindAt(backups); kind != RecordFile::Kind::Folder) {
        *why = QStringLiteral("%1 is %2").arg(backups, RecordFile::kindText(kind));
        return QString();
    }
    return backups + QLatin1Char('/') + name;
}

// The data a restore replaced, noted to be kept as a folder because they could not be written as
// an archive, go where the note says (they may be all that is left of them), and never away.
// True when folder held such a note: it was moved, or stays where it is (named in *problems when
// the note is none Pollix wrote).
bool keptWhereNoted(const QString &folder, QStringList *problems)
{
    if (!there(folder + QLatin1Char('/') + FolderSwap::keepNoteName()))
        return false;
    QString why;
    const QString keep = DataRecovery::keptPlace(folder, &why);
    if (keep.isEmpty()) {
        *problems << QStringLiteral("%1 is left where it is: its note %2 is none Pollix wrote (%3)")
                         .arg(folder, FolderSwap::keepNoteName(), why);
        return true;
    }
    if (there(keep) || ::rename(native(folder).constData(), native(keep).constData()) != 0) {
        PollixLog(QStringLiteral("%1 holds data a restore replaced, to be kept as %2; it stays where it is").arg(folder, keep));
        return true;
    }
    QFile::remove(keep + QLatin1Char('/') + FolderSwap::keepNoteName());
    AtomicFile::syncFolderOf(keep);
    PollixLog(QStringLiteral("The data a restore replaced were moved from %1 to %2").arg(folder, keep));
    return true;
}

// A line of the record, done with: a backup's part file it names is removed, when it is one of
// Pollix's naming reached without a link. False (and *why) when the line names something that
// may not be removed; it then stays.
bool finishWorkLine(const WorkLine &line, QString *why)
{
    const QString &path = line.path;
    if (!path.startsWith(QLatin1Char('/')) || QDir::cleanPath(path) != path) {
        *why = QStringLiteral("%1 is no plain path").arg(path);
        return false;
    }
    const RecordFile::Kind kind = RecordFile::kindAt(path);
    if (kind == RecordFile::Kind::Missing)
        return true; // done with, or never made
    // A restore's staging folder: the look beside the data folder deals with it, and the line
    // itself touches nothing.
    const QString name = QFileInfo(path).fileName();
    static const QRegularExpression staging(QStringLiteral("^.+\\.restore-[A-Za-z0-9]{6}$"));
    if (kind == RecordFile::Kind::Folder && staging.match(name).hasMatch())
        return true;
    if (const QString way = RecordFile::wayProblem(QStringLiteral("/"), path.mid(1)); !way.isEmpty()) {
        *why = way;
        return false;
    }
    if (SideFiles::kindOf(name) != SideFiles::Kind::Part) {
        *why = QStringLiteral("%1 is no part file of a backup").arg(path);
        return false;
    }
    if (kind != RecordFile::Kind::File) {
        *why = QStringLiteral("%1 is %2").arg(path, RecordFile::kindText(kind));
        return false;
    }
    if (::unlink(native(path).constData()) != 0) {
        *why = QStringLiteral("%1 cannot be removed: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    PollixLog(QStringLiteral("Removed %1, left by an interrupted backup").arg(path));
    return true;
}

// What an interrupted backup or restore left; *problems names each record that stays as it is.
void removeLeftoversNaming(QStringList *problems)
{
    const QString data = realDataFolder();
    QString why;
    const std::optional<QList<WorkLine>> lines = readWorkRecord(&why);
    QStringList live;
    if (!lines) {
        *problems << why;
    } else {
        QList<WorkLine> kept;
        for (const WorkLine &l : *lines) {
            if (isOtherLiveProcess(l.pid)) {
                kept << l;
                live << notedPath(l.path);
            } else if (!finishWorkLine(l, &why)) {
                kept << l;
                *problems << QStringLiteral("%1 names what Pollix does not remove, and is left as it is: %2")
                                 .arg(workRecordPath(), why);
            }
        }
        writeWorkRecord(kept);
    }

    // A restore's staging folders lie beside the data folder; while it is missing, or a swap
    // noted down names them, they may hold the only whole copy of the data.
    if (!there(data))
        return;
    const QStringList inUse = FolderSwap::foldersInUse(data);
    for (const QString &folder : stagingFolders(data, QStringLiteral("restore|old"))) {
        // Compared where they really lie: the record notes the folder's real path.
        if (live.contains(notedPath(folder)) || inUse.contains(folder) || keptWhereNoted(folder, problems))
            continue;
        // Looked at again just before: a removal would empty whatever a link there leads to.
        if (RecordFile::kindAt(folder) == RecordFile::Kind::Folder && QDir(folder).removeRecursively())
            PollixLog(QStringLiteral("Removed %1, left by an interrupted restore").arg(folder));
    }
}
} // namespace

void DataRecovery::noteStarted(const QString &path)
{
    std::optional<QList<WorkLine>> lines = readWorkRecord();
    if (lines) {
        *lines << WorkLine{qint64(::getpid()), notedPath(path)};
        if (writeWorkRecord(*lines))
            return;
    }
    PollixLog(QStringLiteral("%1 could not be noted as unfinished work").arg(path));
}

void DataRecovery::noteFinished(const QString &path)
{
    std::optional<QList<WorkLine>> lines = readWorkRecord();
    if (!lines)
        return;
    const QString noted = notedPath(path);
    lines->removeIf([&](const WorkLine &l) { return (l.path == noted || l.path == path) && l.pid == qint64(::getpid()); });
    writeWorkRecord(*lines);
}

void DataRecovery::removeLeftovers()
{
    QStringList problems;
    removeLeftoversNaming(&problems);
    for (const QString &problem : std::as_const(problems))
        PollixLog(problem);
}

QString DataRecovery::keptPlace(const QString &folder, QString *why)
{
    QString problem;
    QString keep;
    if (const std::optional<QByteArray> bytes =
            RecordFile::read(folder + QLatin1Char('/') + FolderSwap::keepNoteName(), kMostKeepNoteBytes, &problem))
        keep = keepPlace(bytes->trimmed(), &problem);
    if (keep.isEmpty() && why)
        *why = problem;
    return keep;
}

bool DataRecovery::dataFolderUsable(const QString &dataFolder, QString *why)
{
    const QString data = realFolder(dataFolder);
    if (data.isEmpty())
        return true;
    if (FolderSwap::isUnfinished(data))
        return GlobalFunctions::failWith(why, QStringLiteral("The replacement of the data folder %1 by restored data is not "
                                                             "finished yet.").arg(data));
    if (!there(data) && !stagingFolders(data, QStringLiteral("restore|old")).isEmpty())
        return GlobalFunctions::failWith(why, QStringLiteral("The data folder %1 is missing, and folders beside it hold data "
                                                             "of a restore cut short.").arg(data));
    return true;
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

    removeLeftoversNaming(&problems);
    if (problems.isEmpty())
        return true;
    return GlobalFunctions::failWith(errorText, problems.join(QLatin1Char('\n')));
}

#include "DataRecovery.h"

#include "BackupsFolder.h"
#include "DataFolderLayout.h"
#include "GlobalFunctions.h"
#include "core/base/AppDelegateBase.h"
#include "platform/AtomicFile.h"
#include "platform/ChangeJournal.h"
#include "platform/FolderHandle.h"
#include "platform/FolderMark.h"
#include "platform/FolderSwap.h"
#include "platform/FolderWork.h"
#include "platform/Log.h"
#include "platform/ProcessStart.h"
#include "platform/RecordFile.h"
#include "platform/SideFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <mutex>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// The records read back here hold a few lines each; anything far larger is none of Pollix's.
constexpr qint64 kMostWorkRecordBytes = 1 << 20;
constexpr qint64 kMostKeepNoteBytes = 64 * 1024;

// What a start tells: what of Pollix's own could not be finished (tried again at every start),
// what it found and leaves as it is because Pollix did not make it (told once), and where data
// set aside were kept.
struct Findings
{
    QStringList problems;
    LeftAloneList leftAlone;
    QStringList kept;
};

bool there(const QString &path)
{
    return !path.isEmpty() && RecordFile::kindAt(path) != RecordFile::Kind::Missing;
}

QString nameOf(const QString &path)
{
    return QFileInfo(path).fileName();
}

QString folderOf(const QString &path)
{
    return QFileInfo(path).absolutePath();
}

// ---- The record of unfinished work ----
//
// One line per piece of work: the process that started it, when that process started, the
// device and inode of the file or folder it made, a tab, and the path. A file that has its name
// from the start (a disk without unnamed files) is noted by its name before it is made, with 0
// for its device and inode, and by them once it is there. Earlier versions wrote the process and
// the path alone; such a line is still read, but tells nothing of its file.

QString workRecordPath()
{
    return GlobalFunctions::pathInApplicationFolder(QStringLiteral(".unfinished-work"));
}

// The record is read, changed and written again by the work's own thread and by the removal of
// leftovers; one at a time, so that no line of either is lost.
std::mutex &recordMutex()
{
    static std::mutex mutex;
    return mutex;
}

struct WorkLine
{
    qint64 pid = 0;
    QString start;         // ProcessStart::of the process; empty in an earlier version's line
    quint64 device = 0;    // of what the work made
    quint64 inode = 0;
    QString path;

    bool identified() const { return !start.isEmpty(); }
    // Noted before its file was made: it names a place, not a file (no file has inode 0).
    bool beforeMade() const { return identified() && device == 0 && inode == 0; }
};

std::optional<WorkLine> parseWorkLine(const QByteArray &line)
{
    const qsizetype tab = line.indexOf('\t');
    if (tab <= 0 || tab + 1 >= line.size())
        return std::nullopt;
    const QList<QByteArray> head = line.left(tab).split(' ');
    WorkLine out;
    bool ok = false;
    out.pid = head.first().toLongLong(&ok);
    if (!ok || out.pid <= 0)
        return std::nullopt;
    if (head.size() == 4) {
        bool devOk = false, inoOk = false;
        out.start = QString::fromLatin1(head.at(1));
        out.device = head.at(2).toULongLong(&devOk);
        out.inode = head.at(3).toULongLong(&inoOk);
        if (!devOk || !inoOk || out.start.isEmpty())
            return std::nullopt;
    } else if (head.size() != 1) {
        return std::nullopt;
    }
    out.path = QString::fromUtf8(line.mid(tab + 1));
    return out;
}

// The lines of the record, or none (and *why) when the record is not one Pollix wrote, whole: it
// is then left as it is, and nothing it names is touched.
std::optional<QList<WorkLine>> readWorkRecord(QString *why = nullptr)
{
    QList<WorkLine> out;
    const QString path = workRecordPath();
    if (path.isEmpty() || !there(path))
        return out;
    QString problem;
    const std::optional<QByteArray> bytes = RecordFile::read(path, kMostWorkRecordBytes, &problem);
    qsizetype number = 0;
    if (bytes) {
        for (const QByteArray &line : bytes->split('\n')) {
            ++number;
            if (line.isEmpty())
                continue;
            const std::optional<WorkLine> parsed = parseWorkLine(line);
            if (!parsed) {
                problem = QStringLiteral("its line %1 is none Pollix writes").arg(number);
                break;
            }
            out << *parsed;
        }
    }
    if (!problem.isEmpty()) {
        if (why)
            *why = QStringLiteral("%1 is left as it is, and nothing it names is removed: %2").arg(path, problem);
        return std::nullopt;
    }
    return out;
}

// A line as the record holds it, without its newline.
QByteArray textOf(const WorkLine &l)
{
    QByteArray text = QByteArray::number(l.pid);
    if (l.identified())
        text += ' ' + l.start.toLatin1() + ' ' + QByteArray::number(l.device) + ' ' + QByteArray::number(l.inode);
    return text + '\t' + l.path.toUtf8();
}

bool writeWorkRecord(const QList<WorkLine> &lines)
{
    const QString path = workRecordPath();
    if (path.isEmpty())
        return false;
    // Looked at and written through the application folder held open: never written through a
    // link, nor in the place of anything else under its name.
    const FolderHandle folder = FolderHandle::open(folderOf(path), true);
    const RecordFile::Kind kind = folder.kindAt(nameOf(path));
    if (!folder.isOpen() || (kind != RecordFile::Kind::Missing && kind != RecordFile::Kind::File))
        return false;
    if (lines.isEmpty())
        return kind == RecordFile::Kind::Missing || folder.removeFile(nameOf(path));
    QByteArray bytes;
    for (const WorkLine &l : lines)
        bytes += textOf(l) + '\n';
    return AtomicFile::write(folder, nameOf(path), bytes);
}

const QString &ownStart()
{
    static const QString start = ProcessStart::of(qint64(::getpid()));
    return start;
}

// Who made what a line names, as far as the line tells.
enum class Maker {
    ThisAtWork, // this very process, whose folder work still runs
    StillRuns,  // another process that still runs: the very one that noted it
    Gone,       // a process that ended, or this one with its work done
    Untold      // a line of an earlier version: its process and file cannot be told apart
};

Maker makerOf(const WorkLine &line)
{
    if (!line.identified())
        return Maker::Untold;
    if (line.pid == qint64(::getpid()) && line.start == ownStart())
        return FolderWork::running() ? Maker::ThisAtWork : Maker::Gone;
    return ProcessStart::stillRuns(line.pid, line.start) ? Maker::StillRuns : Maker::Gone;
}

// A path as the record notes it: its folder where it really lies, so that a start can reach the
// file again without following a link.
QString notedPath(const QString &path)
{
    const QFileInfo info(path);
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return folder.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : QDir(folder).filePath(info.fileName());
}

// The folder a noted path lies in, reached from "/" without following a link on the way; *why
// names the link or the failure, and stays empty when the folder is simply missing.
FolderHandle folderOfNoted(const QString &path, QString *why)
{
    if (*why = RecordFile::wayProblem(QStringLiteral("/"), path.mid(1)); !why->isEmpty())
        return {};
    FolderHandle root = FolderHandle::open(QStringLiteral("/"), false, why);
    const QString folder = folderOf(path);
    if (folder == QLatin1String("/") || !root.isOpen())
        return root;
    FolderHandle out = root.openFolder(folder.mid(1), why);
    if (!out.isOpen() && !there(folder))
        why->clear();
    return out;
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

QRegularExpression stagingName(const QString &data, const QString &tags)
{
    return QRegularExpression(QStringLiteral("^%1\\.(%2)-[A-Za-z0-9]{6}$").arg(QRegularExpression::escape(nameOf(data)), tags));
}

// The staging folders of restores beside the data folder, of the given tags: real folders only.
QStringList stagingFolders(const QString &data, const QString &tags)
{
    const QRegularExpression staging = stagingName(data, tags);
    QStringList out;
    for (const QFileInfo &fi : QDir(folderOf(data)).entryInfoList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name))
        if (!fi.isSymLink() && staging.match(fi.fileName()).hasMatch())
            out << fi.filePath();
    return out;
}

// Whether the folder name in parent holds a restore's note of where it is to be kept.
bool holdsKeepNote(const FolderHandle &parent, const QString &name)
{
    return parent.openFolder(name).kindAt(FolderSwap::keepNoteName()) != RecordFile::Kind::Missing;
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
    const FolderHandle parent = FolderHandle::open(folderOf(data), true);
    if (aside.size() == 1 && parent.moveTo(nameOf(aside.first()), parent, nameOf(data))) {
        AtomicFile::syncFolderOf(data);
        PollixLog(QStringLiteral("The data folder was missing: %1 was put back in its place").arg(aside.first()));
        return;
    }
    if (!aside.isEmpty() || !staged.isEmpty())
        *problems << QStringLiteral("The data folder %1 is missing; %2 beside it hold data of a restore cut short and are kept")
                         .arg(data, (aside + staged).join(QStringLiteral(", ")));
}

// The name in Backups a keep note sends its folder to (an earlier Pollix wrote the whole path,
// which must then lead there); empty with *why when the note names anything else.
QString keepName(const QByteArray &note, QString *why)
{
    const QString backups = QDir::cleanPath(BackupsFolder::path());
    QString name = QString::fromUtf8(note);
    if (name.startsWith(QLatin1Char('/')) && folderOf(name) == backups)
        name = nameOf(name);
    if (const QString problem = RecordFile::nameProblem(name); !problem.isEmpty() || name.contains(QLatin1Char('/'))) {
        *why = problem.isEmpty() ? QStringLiteral("%1 is no folder of %2").arg(name, backups) : problem;
        return QString();
    }
    return name;
}

// What a folder's keep note says: the name in Backups, empty when it has none; nothing with *why
// when the note is none Pollix wrote.
std::optional<QString> keepNoteOf(const FolderHandle &folder, QString *why)
{
    const QString note = FolderSwap::keepNoteName();
    if (folder.kindAt(note) == RecordFile::Kind::Missing)
        return QString();
    const std::optional<QByteArray> bytes = folder.readFile(note, kMostKeepNoteBytes, why);
    if (!bytes)
        return std::nullopt;
    const QString name = keepName(bytes->trimmed(), why);
    return name.isEmpty() ? std::nullopt : std::optional<QString>(name);
}

// Data set aside (the old contents of the data folder a swap replaced, or what a restore noted
// to keep) are kept in Backups under the name their note gives, else a free "Before restore
// <date and time>", with the note that makes them Pollix's to archive there and remove once the
// archive holds them. Where they cannot be moved there, they stay beside the data folder with a
// note of where they go, and a later start moves them. findings says where they are.
void keepInBackups(const FolderHandle &parent, const QString &name, Findings *findings)
{
    const QString path = parent.pathOf(name);
    QString why;
    const FolderHandle folder = parent.openFolder(name, &why);
    const std::optional<QString> noted = folder.isOpen() ? keepNoteOf(folder, &why) : std::nullopt;
    if (!noted) {
        findings->leftAlone << LeftAlone{path, QStringLiteral("%1 is left where it is: its note %2 is none Pollix wrote (%3)")
                                                   .arg(path, FolderSwap::keepNoteName(), why)};
        return;
    }
    const FolderHandle backups = BackupsFolder::open(true, &why);
    const QString stem = noted->isEmpty() ? BackupsFolder::beforeRestoreStem(GlobalFunctions::currentDateTime())
                                          : BackupsFolder::path() + QLatin1Char('/') + *noted;
    const QString destination = BackupsFolder::freeStem(stem, {QString(), QStringLiteral(".zip")});
    if (!backups.isOpen() || !parent.moveTo(name, backups, nameOf(destination), &why)) {
        // Noted in them, so that no start takes them for leftovers and a later one moves them.
        if (noted->isEmpty() && folder.createFile(FolderSwap::keepNoteName(), nameOf(destination).toUtf8()))
            folder.sync();
        findings->problems << QStringLiteral("The data a restore replaced are kept in %1, beside the data folder: they could "
                                             "not be moved to %2 (%3). Pollix moves them there when it starts next.")
                                  .arg(path, destination, why);
        return;
    }
    if (!FolderMark::write(folder, FolderMark::Kind::Kept, &why))
        PollixLog(QStringLiteral("%1 could not be noted as data Pollix keeps: %2").arg(destination, why));
    folder.removeFile(FolderSwap::keepNoteName());
    folder.sync();
    backups.sync();
    parent.sync();
    PollixLog(QStringLiteral("The data a restore replaced were moved from %1 to %2").arg(path, destination));
    // Nothing there for an archive to hold (a restore over data already cleared): what is Pollix's
    // in it goes once the start is done, and no teacher is promised an archive that never comes.
    if (!DataFolderLayout::holdsDataFile(destination))
        return;
    // No archive is promised that a backup would refuse (a pipe under a data file's name).
    if (const QString refusal = DataFolderLayout::backupRefusal(destination); !refusal.isEmpty()) {
        findings->kept << QStringLiteral("The data a restore replaced are kept in the folder %1, where they stay as they are: "
                                         "Pollix cannot save them as an archive. %2")
                              .arg(QDir::toNativeSeparators(destination), refusal);
        return;
    }
    findings->kept << QStringLiteral("The data a restore replaced are kept in %1; Pollix saves them there as an archive, "
                                     "which Restore can bring back.")
                          .arg(QDir::toNativeSeparators(destination));
}

// What the data folder holds of a restore cut short before or after its swap: its notes, which
// say nothing of the data in use.
void removeRestoreNotes(const QString &data)
{
    if (!there(data) || FolderSwap::isUnfinished(data))
        return;
    const FolderHandle folder = FolderHandle::open(data, false);
    for (const FolderMark::Kind kind : {FolderMark::Kind::Kept, FolderMark::Kind::Restored})
        if (folder.kindAt(FolderMark::noteName(kind)) != RecordFile::Kind::Missing)
            FolderMark::remove(folder, kind);
    if (folder.kindAt(FolderSwap::keepNoteName()) != RecordFile::Kind::Missing && folder.removeFile(FolderSwap::keepNoteName()))
        folder.sync();
}

// What became of a line of the record.
enum class LineEnd {
    Done,       // what it names is gone, or was removed: the line goes
    Stays,      // the line stays, and so does what it names (named in *why when that is to be said)
    NotPollixs, // the same, as what it names is not what Pollix made there, or the line is none
                // Pollix wrote: nothing will ever be done with it
};

bool plainPath(const QString &path)
{
    return path.startsWith(QLatin1Char('/')) && QDir::cleanPath(path) == path && path != QLatin1String("/");
}

// The folder holding path when it lies in the application folder (held open as application),
// reached from it without following a link (*below holds it); a closed one elsewhere.
const FolderHandle &heldFolderOf(const FolderHandle &application, const QString &path, FolderHandle *below)
{
    const QString root = QFileInfo(application.path()).canonicalFilePath();
    const QString folder = folderOf(path);
    if (!root.isEmpty() && folder == root)
        return application;
    if (!root.isEmpty() && folder.startsWith(root + QLatin1Char('/')))
        *below = application.openFolder(folder.mid(root.size() + 1));
    return *below;
}

// A line whose work is over: what it names is removed when it is the very file or folder the
// work made (its device and inode), reached without a link: a backup's part file, or a restore's
// staging folder beside the data folder (unless a swap noted down needs it). Anything else stays
// and is named in *why.
LineEnd finishWorkLine(const WorkLine &line, const QString &data, const QStringList &inUse, const FolderHandle &beside,
                       const FolderHandle &application, QString *why)
{
    const QString &path = line.path;
    if (!plainPath(path)) {
        *why = QStringLiteral("%1 is no plain path").arg(path);
        return LineEnd::NotPollixs;
    }
    if (*why = RecordFile::wayProblem(QStringLiteral("/"), path.mid(1)); !why->isEmpty())
        return LineEnd::NotPollixs;
    const FolderHandle folder = folderOfNoted(path, why);
    if (!folder.isOpen())
        return why->isEmpty() ? LineEnd::Done : LineEnd::Stays;
    const QString name = nameOf(path);
    struct stat st{};
    const RecordFile::Kind kind = folder.kindAt(name, &st);
    if (kind == RecordFile::Kind::Missing)
        return LineEnd::Done; // done with, or never made
    const bool staging = kind == RecordFile::Kind::Folder && folderOf(path) == folderOf(data) &&
                         stagingName(data, QStringLiteral("restore|old")).match(name).hasMatch();
    if (!staging && (kind != RecordFile::Kind::File || SideFiles::kindOf(name) != SideFiles::Kind::Part)) {
        *why = QStringLiteral("%1 is no part file of a backup").arg(path);
        return LineEnd::NotPollixs;
    }
    if (!line.identified()) {
        // The look beside the data folder deals with a staging folder as with any it finds.
        if (!staging)
            *why = QStringLiteral("%1 was noted by an earlier version of Pollix, which did not note which file it made, and "
                                  "is left as it is")
                       .arg(path);
        return LineEnd::NotPollixs;
    }
    // An ending between the note of the name and that of the file: the file there may be the one
    // the backup began, or one put under that name since; nothing tells which.
    if (line.beforeMade()) {
        if (!staging)
            *why = QStringLiteral("%1 (%2 bytes) may be the part file of a backup cut short as it began, before Pollix could "
                                  "note which file it made; Pollix cannot tell it for its own, and leaves it as it is")
                       .arg(path)
                       .arg(qint64(st.st_size));
        return LineEnd::NotPollixs;
    }
    if (quint64(st.st_dev) != line.device || quint64(st.st_ino) != line.inode) {
        if (!staging)
            *why = QStringLiteral("%1 is not the one Pollix made there (another has taken its place), and is left as it is").arg(path);
        return LineEnd::NotPollixs;
    }
    // Removed only when found again by walking from the folder Pollix holds open for it (the one
    // beside the data folder, the application folder): a line is no proof of what lies elsewhere.
    FolderHandle below;
    const FolderHandle &from = staging ? beside : heldFolderOf(application, path, &below);
    const std::optional<struct stat> found = from.stat(), noted = folder.stat();
    struct stat again{};
    if (!found || !noted || found->st_dev != noted->st_dev || found->st_ino != noted->st_ino ||
        from.kindAt(name, &again) != kind || again.st_dev != st.st_dev || again.st_ino != st.st_ino) {
        *why = QStringLiteral("%1 lies outside %2, where Pollix removes nothing a record names, and is left as it is")
                   .arg(path, staging ? QStringLiteral("the folder beside the data folder") : QStringLiteral("the application folder"));
        return LineEnd::NotPollixs;
    }
    if (staging) {
        if (inUse.contains(path) || holdsKeepNote(from, name))
            return LineEnd::Stays;
        QStringList stayed;
        if (!from.removeTree(name, &stayed)) {
            *why = QStringLiteral("%1 could not be removed whole; left in it: %2").arg(path, stayed.join(QStringLiteral(", ")));
            return LineEnd::Stays;
        }
        from.sync();
        PollixLog(QStringLiteral("Removed %1, left by an interrupted restore").arg(path));
        return LineEnd::Done;
    }
    if (!from.removeFile(name, why))
        return LineEnd::Stays;
    PollixLog(QStringLiteral("Removed %1, left by an interrupted backup").arg(path));
    return LineEnd::Done;
}

// What an interrupted backup or restore left; findings names what stays as it is and where data
// set aside were kept.
void removeLeftoversNaming(Findings *findings)
{
    const QString data = realDataFolder();
    const bool dataThere = there(data);
    const QStringList inUse = dataThere ? FolderSwap::foldersInUse(data) : QStringList();
    const FolderHandle beside = data.isEmpty() ? FolderHandle() : FolderHandle::open(folderOf(data), true);
    const AppDelegateBase *app = AppDelegateBase::getAppDelegate();
    const FolderHandle application = app ? FolderHandle::open(app->strPollixFilePath(), true) : FolderHandle();
    const QStringList staging = dataThere ? stagingFolders(data, QStringLiteral("restore|old")) : QStringList();
    const auto noted = [&](const QString &folder) { return holdsKeepNote(beside, nameOf(folder)); };
    std::lock_guard lock(recordMutex());
    QString why;
    const std::optional<QList<WorkLine>> lines = readWorkRecord(&why);
    if (!lines)
        findings->leftAlone << LeftAlone{workRecordPath(), why};
    // The work still made by a Pollix that runs, this one's included, is left alone.
    QStringList claimed;
    QList<WorkLine> stay;
    for (const WorkLine &l : lines.value_or(QList<WorkLine>())) {
        const Maker maker = makerOf(l);
        if (maker != Maker::ThisAtWork && maker != Maker::StillRuns)
            continue;
        stay << l;
        claimed << notedPath(l.path);
        if (maker == Maker::StillRuns && there(l.path))
            findings->problems << QStringLiteral("%1 is left as it is: the Pollix that is making it (process %2) still runs")
                                      .arg(l.path)
                                      .arg(l.pid);
    }
    // Data a restore noted to keep go to Backups first: no line of work removes them.
    for (const QString &folder : staging)
        if (!claimed.contains(notedPath(folder)) && !inUse.contains(folder) && noted(folder))
            keepInBackups(beside, nameOf(folder), findings);
    // A record that is none of Pollix's: nothing it names is touched, nor anything beside the data
    // folder it might have named.
    if (!lines)
        return;
    for (const WorkLine &l : *lines) {
        const Maker maker = makerOf(l);
        if (maker == Maker::ThisAtWork || maker == Maker::StillRuns)
            continue;
        why.clear();
        const LineEnd end = finishWorkLine(l, data, inUse, beside, application, &why);
        if (end == LineEnd::Done)
            continue;
        stay << l;
        if (why.isEmpty())
            continue;
        const QString text = QStringLiteral("%1 names what Pollix does not remove: %2").arg(workRecordPath(), why);
        if (end == LineEnd::Stays)
            findings->problems << text;
        else // what is told of is the file the line names, when it names one; else the line
            // itself, which stays the same when the record is written again
            findings->leftAlone << (plainPath(l.path) ? LeftAlone{l.path, text} : LeftAlone{workRecordPath(), text, textOf(l)});
    }
    // Written again only when a line went: a record that stays as it was keeps its inode and
    // time, by which the start tells that what it names was told already.
    if (stay.size() != lines->size() || lines->isEmpty())
        writeWorkRecord(stay);

    // A restore's staging folders lie beside the data folder; while it is missing, or a swap
    // noted down names them, they may hold the only whole copy of the data. One that no line of
    // work removed as Pollix's own goes only when it holds no file.
    for (const QString &folder : staging) {
        const QString name = nameOf(folder);
        if (claimed.contains(notedPath(folder)) || inUse.contains(folder) || beside.kindAt(name) != RecordFile::Kind::Folder ||
            noted(folder))
            continue;
        if (!beside.holdsNoFile(name)) {
            findings->leftAlone << LeftAlone{folder, QStringLiteral("%1 beside the data folder is left as it is: it holds files, "
                                                                   "and no record of Pollix's names it as a folder Pollix made")
                                                        .arg(folder)};
            continue;
        }
        if (beside.removeTree(name, nullptr, [](const QString &, const struct stat &) { return false; }))
            PollixLog(QStringLiteral("Removed %1, left empty by an interrupted restore").arg(folder));
    }
}

} // namespace

namespace {
// Notes what the work makes at noted (st: its device and inode; none: the file is about to be
// made there) as this process's; the note of its name before it was made gives way to it.
bool noteWork(const QString &noted, const struct stat *st, QString *why)
{
    std::lock_guard lock(recordMutex());
    std::optional<QList<WorkLine>> lines = readWorkRecord(why);
    if (!lines)
        return false;
    const qint64 pid = qint64(::getpid());
    lines->removeIf([&](const WorkLine &l) { return l.beforeMade() && l.pid == pid && l.start == ownStart() && l.path == noted; });
    *lines << WorkLine{pid, ownStart(), st ? quint64(st->st_dev) : 0, st ? quint64(st->st_ino) : 0, noted};
    return writeWorkRecord(*lines) || GlobalFunctions::failWith(why, QStringLiteral("%1 cannot be written").arg(workRecordPath()));
}
} // namespace

void DataRecovery::noteStarted(const QString &path)
{
    // What the work makes is made here, empty, if it is not there yet: its device and inode are
    // noted with the line, so that only that very file is ever removed for it.
    const QString noted = notedPath(path);
    QString why;
    const FolderHandle folder = FolderHandle::open(folderOf(noted), false, &why);
    const auto note = [&](const struct stat *st) { return noteWork(noted, st, &why); };
    // A folder is made by the work itself (its name must be unique at once); a file under the
    // name already is none the work made, and is not noted as its own.
    struct stat st{};
    const RecordFile::Kind kind = folder.kindAt(nameOf(noted), &st);
    bool done = false;
    if (folder.isOpen() && kind == RecordFile::Kind::Missing)
        done = folder.createNotedFile(nameOf(noted), note, &why);
    else if (kind == RecordFile::Kind::Folder)
        done = note(&st);
    else if (folder.isOpen())
        why = QStringLiteral("something else lies there already");
    if (done)
        return;
    PollixLog(QStringLiteral("%1 could not be noted as unfinished work: %2").arg(path, why));
    // Not made: no note stays to name the place (something else may lie there).
    if (folder.isOpen() && kind == RecordFile::Kind::Missing)
        noteFinished(noted);
}

int DataRecovery::makeNoted(const FolderHandle &folder, const QString &name, QString *notedAs, QString *why)
{
    *notedAs = notedPath(folder.pathOf(name));
    // A record that cannot be written keeps no backup from being made (as before the note was
    // kept): the part file is then one a start cannot tell for Pollix's, and stays after a kill.
    const auto note = [&](const struct stat *st) {
        if (QString problem; !noteWork(*notedAs, st, &problem))
            PollixLog(QStringLiteral("%1 could not be noted as unfinished work: %2").arg(*notedAs, problem));
        return true;
    };
    const int fd = folder.createNotedFileOpen(name, note, why);
    // Not made: no note stays to name the place (something else may lie there). The system's
    // error stays for the caller.
    if (fd < 0) {
        const int code = errno;
        noteFinished(*notedAs);
        errno = code;
    }
    return fd;
}

void DataRecovery::noteFinished(const QString &path)
{
    std::lock_guard lock(recordMutex());
    std::optional<QList<WorkLine>> lines = readWorkRecord();
    if (!lines)
        return;
    const QString noted = notedPath(path);
    const FolderHandle folder = FolderHandle::open(folderOf(noted), false);
    lines->removeIf([&](const WorkLine &l) {
        if ((l.path != noted && l.path != path) || l.pid != qint64(::getpid()) || l.start != ownStart())
            return false;
        // A file made for the work and never written: the work did not get as far as using it.
        struct stat st{};
        if (folder.kindAt(nameOf(noted), &st) == RecordFile::Kind::File && st.st_size == 0 &&
            quint64(st.st_dev) == l.device && quint64(st.st_ino) == l.inode)
            folder.removeFile(nameOf(noted));
        return true;
    });
    writeWorkRecord(*lines);
}

void DataRecovery::removeLeftovers()
{
    Findings findings;
    removeLeftoversNaming(&findings);
    for (const QString &line : std::as_const(findings.problems))
        PollixLog(line);
    for (const LeftAlone &found : std::as_const(findings.leftAlone))
        PollixLog(found.text);
}

QString DataRecovery::keptPlace(const QString &folder, QString *why)
{
    QString problem;
    const FolderHandle handle = FolderHandle::open(folder, false, &problem);
    const std::optional<QString> name = handle.isOpen() ? keepNoteOf(handle, &problem) : std::nullopt;
    if (name && !name->isEmpty())
        return BackupsFolder::path() + QLatin1Char('/') + *name;
    if (why)
        *why = problem.isEmpty() ? QStringLiteral("it holds no note %1").arg(FolderSwap::keepNoteName()) : problem;
    return QString();
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

bool DataRecovery::run(QString *errorText, QString *keptText, LeftAloneList *leftAlone)
{
    const AppDelegateBase *app = AppDelegateBase::getAppDelegate();
    if (!app)
        return GlobalFunctions::failWith(errorText, QStringLiteral("no application folder"));
    Findings findings;
    QStringList &problems = findings.problems;
    QString why;
    // The data folder first: the journals of changes lie in it. Whatever a swap sets aside is
    // kept in Backups.
    const QString data = realDataFolder();
    FolderSwap::finishInterrupted(
        data, &why, [&](const FolderHandle &parent, const QString &name) { keepInBackups(parent, name, &findings); },
        &findings.leftAlone);
    if (!why.isEmpty())
        problems << why;
    putBackMissingDataFolder(data, &problems);
    // A restore cut short before its swap (or taken back), or after it, left its notes in the
    // data in use.
    removeRestoreNotes(data);

    // Then the journals: the side files they name are the new and old bytes of their change.
    why.clear();
    const QString journals = QDir::cleanPath(app->strDataFilePath());
    ChangeJournal::finishInterrupted(journals, &why, &findings.leftAlone);
    if (!why.isEmpty())
        problems << why;

    // Where Pollix writes: the application folder's own files, the data folder and everything
    // below it, and the manuals; not the folders of whatever else the application folder holds.
    const QList<SideFiles::Kind> writes{SideFiles::Kind::Temporary, SideFiles::Kind::Staged, SideFiles::Kind::Kept};
    const QStringList needed = ChangeJournal::sideFilesInUse(journals);
    // Each held open as it is looked into: the application folder may lie behind a link, and so
    // may the data folder (reached where it lies); a folder below them that is a link (Help made
    // one) leads nowhere.
    const FolderHandle root = FolderHandle::open(app->strPollixFilePath(), true);
    const FolderHandle dataFolder = FolderHandle::open(data, false);
    // The data folder and every folder below it (thousands of sessions) listed once, for both
    // looks at its side files.
    QList<SideFiles::Found> inData = SideFiles::listIn(dataFolder, writes, true, needed);
    // A change cut short in its moves whose journal is gone: its side files stay (its files may
    // not agree, and they are the way back), the old bytes of what it moved named.
    const LeftAloneList cutShort = ChangeJournal::cutShortWithoutJournal(inData);
    findings.leftAlone << cutShort;
    if (!cutShort.isEmpty())
        inData.removeIf([](const SideFiles::Found &f) { return f.kind != SideFiles::Kind::Temporary; });
    QStringList removed = SideFiles::removeIn(root, writes, false, needed);
    removed << SideFiles::remove(inData) << SideFiles::removeIn(root.openFolder(QStringLiteral("Help")), writes, false, needed);
    for (const QString &path : std::as_const(removed))
        PollixLog(QStringLiteral("Removed %1, left by an interrupted write").arg(path));

    removeLeftoversNaming(&findings);
    if (keptText)
        *keptText = findings.kept.join(QLatin1Char('\n'));
    if (leftAlone)
        *leftAlone = findings.leftAlone;
    else
        for (const LeftAlone &found : std::as_const(findings.leftAlone))
            problems << found.text;
    if (problems.isEmpty())
        return true;
    return GlobalFunctions::failWith(errorText, problems.join(QLatin1Char('\n')));
}

#include "ChangeJournal.h"

#include "AtomicFile.h"
#include "Log.h"
#include "RecordFile.h"
#include "SideFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>
#include <QUrl>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>

#include <fcntl.h>
#include <unistd.h>

namespace {
std::mutex g_folderMutex;
QString g_folder;

constexpr char kHeader[] = "Pollix change journal 1";
constexpr char kEnd[] = "end";
// A change of every file the data folder may hold would still be noted in far fewer bytes.
constexpr qint64 kMostJournalBytes = 64ll << 20;

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

// Anything under the name, a dangling link too.
bool exists(const QString &path)
{
    return !path.isEmpty() && RecordFile::kindAt(path) != RecordFile::Kind::Missing;
}

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

const QRegularExpression &journalName()
{
    static const QRegularExpression re(QStringLiteral("^\\.change-[0-9a-f]{8}\\.journal$"));
    return re;
}

QByteArray encoded(const QDir &base, const QString &path)
{
    return path.isEmpty() ? QByteArray("-") : QUrl::toPercentEncoding(base.relativeFilePath(path));
}

// Every rename and removal of the change lasts only once the folders that hold them are synced.
bool syncFoldersOf(const QList<ChangeJournal::Step> &steps, QString *errorText)
{
    QSet<QString> folders;
    for (const ChangeJournal::Step &s : steps)
        folders.insert(QFileInfo(s.target).absolutePath());
    bool synced = true;
    for (const QString &folder : folders)
        synced = AtomicFile::syncFolder(folder, errorText) && synced;
    return synced;
}

// A journal found in a folder: its change, or why it is none Pollix wrote.
struct Journal
{
    QString path;
    ChangeJournal::Direction direction = ChangeJournal::Direction::Forward;
    QList<ChangeJournal::Step> steps;
    QString problem;
};

// A journal is taken only when it was written whole and every name in it stays below its folder;
// a step only when its side files are named after its own target, so that a journal moves
// nothing but its targets' own side files.
Journal readJournal(const QString &path)
{
    Journal journal{path, ChangeJournal::Direction::Forward, {}, {}};
    const auto refuse = [&](const QString &why) {
        journal.steps.clear();
        journal.problem = why;
        return journal;
    };
    QString why;
    const std::optional<QByteArray> bytes = RecordFile::read(path, kMostJournalBytes, &why);
    if (!bytes)
        return refuse(why);
    const QList<QByteArray> lines = bytes->split('\n');
    // header, direction, steps..., "end", and the empty piece after the last newline
    if (lines.size() < 4 || lines.first() != kHeader || lines.at(lines.size() - 2) != kEnd || !lines.last().isEmpty())
        return refuse(QStringLiteral("it was not written whole"));
    if (lines.at(1) == "forward")
        journal.direction = ChangeJournal::Direction::Forward;
    else if (lines.at(1) == "back")
        journal.direction = ChangeJournal::Direction::Back;
    else
        return refuse(QStringLiteral("it names no direction"));
    const QString base = QDir::cleanPath(QFileInfo(path).absolutePath());
    for (qsizetype i = 2; i < lines.size() - 2; ++i) {
        const QList<QByteArray> fields = lines.at(i).split(' ');
        if (fields.size() != 3)
            return refuse(QStringLiteral("line %1 is no step of a change").arg(i + 1));
        QString names[3];
        for (int f = 0; f < 3; ++f) {
            if (fields.at(f) == "-")
                continue;
            const QString name = QUrl::fromPercentEncoding(fields.at(f));
            if (const QString problem = RecordFile::nameProblem(name); !problem.isEmpty())
                return refuse(problem);
            names[f] = base + QLatin1Char('/') + name;
        }
        const ChangeJournal::Step s{names[0], names[1], names[2]};
        if (s.target.isEmpty() || (s.staged.isEmpty() && s.kept.isEmpty()) ||
            (!s.staged.isEmpty() && !SideFiles::isBeside(s.staged, s.target, SideFiles::Kind::Staged)) ||
            (!s.kept.isEmpty() && !SideFiles::isBeside(s.kept, s.target, SideFiles::Kind::Kept)))
            return refuse(QStringLiteral("line %1 names files that are not the side files of its target").arg(i + 1));
        journal.steps << s;
    }
    return journal;
}

// The files of a change as the teacher knows them: relative to the journal's folder.
QString filesOf(const QString &journalPath, const QList<ChangeJournal::Step> &steps)
{
    const QDir base = QFileInfo(journalPath).absoluteDir();
    QStringList names;
    for (const ChangeJournal::Step &s : steps)
        names << base.relativeFilePath(s.target);
    return names.join(QStringLiteral(", "));
}

// Why the files a journal names may not be touched: a folder on the way that is a symbolic link,
// a target or side file that is anything but a regular file.
QString unsafeFiles(const Journal &journal)
{
    const QString base = QFileInfo(journal.path).absolutePath();
    const QDir dir(base);
    for (const ChangeJournal::Step &s : journal.steps) {
        const QString target = dir.relativeFilePath(s.target);
        if (const QString way = RecordFile::wayProblem(base, target); !way.isEmpty())
            return way;
        for (const QString &path : {s.target, s.staged, s.kept}) {
            const RecordFile::Kind kind = path.isEmpty() ? RecordFile::Kind::Missing : RecordFile::kindAt(path);
            if (kind != RecordFile::Kind::Missing && kind != RecordFile::Kind::File)
                return QStringLiteral("%1 is %2").arg(dir.relativeFilePath(path), RecordFile::kindText(kind));
        }
    }
    return QString();
}

// Why a step cannot be carried through as its journal expects: its target was saved, made or
// removed again since the change was cut short. The old file's second name is a link to the very
// file the change replaces; while it is the target, nothing else was saved over it. (A replaced
// file whose new bytes are in place already is not told from a later save of it; only a journal
// taken back moves anything there, and none is written over a later save.)
QString overtaken(const ChangeJournal::Step &s, ChangeJournal::Direction direction)
{
    const QString name = QFileInfo(s.target).fileName();
    const bool staged = exists(s.staged), kept = exists(s.kept), target = exists(s.target);
    const bool unchanged = kept && target && RecordFile::sameFile(s.target, s.kept);
    const QString saved = QStringLiteral("%1 was saved again since").arg(name);
    // A step that only makes a file has no old one to compare with: a later save of it is held
    // back while the change is unfinished (unfinishedChangeOf).
    if (s.kept.isEmpty() || !kept)
        return QString();
    if (s.staged.isEmpty()) {
        // A removal: the file may be gone or still the old one, not one made again.
        return target && !unchanged ? QStringLiteral("%1 was made again since").arg(name) : QString();
    }
    if (staged && !unchanged)
        return target ? saved : QStringLiteral("%1 was removed since").arg(name);
    // Its new bytes took its place in one rename: a replaced file is never missing.
    if (!staged && !target && direction == ChangeJournal::Direction::Back)
        return QStringLiteral("%1 was removed since").arg(name);
    return QString();
}

QString overtaken(const QList<ChangeJournal::Step> &steps, ChangeJournal::Direction direction)
{
    for (const ChangeJournal::Step &s : steps)
        if (const QString why = overtaken(s, direction); !why.isEmpty())
            return why;
    return QString();
}

// The moves of a change; the files that could not be moved, with the reasons.
QStringList move(const QList<ChangeJournal::Step> &steps, ChangeJournal::Direction direction)
{
    QStringList failed;
    auto rename = [&](const QString &from, const QString &to) {
        if (::rename(native(from).constData(), native(to).constData()) != 0)
            failed << QStringLiteral("%1: %2").arg(QFileInfo(to).fileName(), systemError());
    };
    auto unlink = [&](const QString &path) {
        if (::unlink(native(path).constData()) != 0 && errno != ENOENT)
            failed << QStringLiteral("%1: %2").arg(QFileInfo(path).fileName(), systemError());
    };
    if (direction == ChangeJournal::Direction::Forward) {
        for (const ChangeJournal::Step &s : steps) {
            if (!s.staged.isEmpty()) {
                if (exists(s.staged))
                    rename(s.staged, s.target);
            } else if (exists(s.kept)) {
                // A removal still to do: its old bytes are kept until the change is done.
                unlink(s.target);
            }
        }
    } else {
        for (qsizetype i = steps.size() - 1; i >= 0; --i) {
            const ChangeJournal::Step &s = steps.at(i);
            if (exists(s.kept))
                rename(s.kept, s.target);
            else if (s.kept.isEmpty() && !s.staged.isEmpty() && !exists(s.staged))
                unlink(s.target); // a new file that was already moved in
        }
    }
    QString why;
    if (!syncFoldersOf(steps, &why))
        failed << why;
    return failed;
}

// A change carried through, or given up: its journal goes first, so that it never outlives the
// moves; the side files left then are plain leftovers that the next start removes.
void removeWithSideFiles(const QString &journalPath, const QList<ChangeJournal::Step> &steps)
{
    ChangeJournal::remove(journalPath);
    for (const ChangeJournal::Step &s : steps) {
        // A kept name of a file that stayed in place is a second link to it (rename keeps both).
        for (const QString &side : {s.kept, s.staged})
            if (!side.isEmpty() && RecordFile::kindAt(side) == RecordFile::Kind::File)
                ::unlink(native(side).constData());
    }
}

// The journals in folder, oldest first; every file under a journal's name, whatever it is.
QList<Journal> journalsIn(const QString &folder)
{
    QList<Journal> out;
    const QDir dir(folder);
    if (folder.isEmpty() || !dir.exists())
        return out;
    for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Time | QDir::Reversed))
        if (journalName().match(name).hasMatch())
            out << readJournal(dir.filePath(name));
    return out;
}
} // namespace

namespace ChangeJournal {

void setFolder(const QString &folder)
{
    std::lock_guard lock(g_folderMutex);
    g_folder = folder.isEmpty() ? QString() : QDir::cleanPath(folder);
}

QString folder()
{
    std::lock_guard lock(g_folderMutex);
    return g_folder;
}

QString write(const QList<Step> &steps, Direction direction, QString *errorText, const QString &journalPath)
{
    QString path = journalPath;
    if (path.isEmpty()) {
        const QString where = folder();
        if (where.isEmpty())
            return QString();
        if (!QFileInfo::exists(where))
            QDir().mkpath(where);
        do {
            path = QStringLiteral("%1/.change-%2.journal")
                       .arg(where)
                       .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
        } while (exists(path));
    }
    const QDir base = QFileInfo(path).absoluteDir();
    // A start reads back only names below the journal's folder.
    for (const Step &s : steps) {
        if (!RecordFile::nameProblem(base.relativeFilePath(s.target)).isEmpty()) {
            if (errorText)
                *errorText = QStringLiteral("the change could not be noted down first: %1 lies outside %2")
                                 .arg(s.target, base.path());
            return QString();
        }
    }
    QByteArray text = QByteArray(kHeader) + '\n' + (direction == Direction::Forward ? "forward" : "back") + '\n';
    for (const Step &s : steps)
        text += encoded(base, s.target) + ' ' + encoded(base, s.staged) + ' ' + encoded(base, s.kept) + '\n';
    text += QByteArray(kEnd) + '\n';
    QString why;
    // The side files are on the disk before the journal that names them, and the journal (its
    // folder synced by AtomicFile) before the first move it covers: a new journal in place but not
    // on the disk is no journal yet. A journal rewritten in place is what the next start reads.
    AtomicFile::Failure step = AtomicFile::Failure::None;
    if (!syncFoldersOf(steps, &why) || !AtomicFile::write(path, text, &why, &step) ||
        (journalPath.isEmpty() && step == AtomicFile::Failure::Unsynced)) {
        // A new journal that reached its place all the same would be finished at the next start
        // while its change is given up now.
        if (journalPath.isEmpty())
            ::unlink(native(path).constData());
        if (errorText)
            *errorText = QStringLiteral("the change could not be noted down first: %1").arg(why);
        return QString();
    }
    return path;
}

bool isJournalName(const QString &fileName)
{
    return journalName().match(fileName).hasMatch();
}

void remove(const QString &journalPath)
{
    if (journalPath.isEmpty())
        return;
    if (::unlink(native(journalPath).constData()) != 0 && errno != ENOENT)
        PollixLog(QStringLiteral("Could not remove the journal %1: %2").arg(journalPath, systemError()));
    // A journal back after a power cut would carry its change through a second time.
    AtomicFile::syncFolderOf(journalPath);
}

bool apply(const QList<Step> &steps, Direction direction, QString *errorText, const QString &journalPath)
{
    if (const QString why = overtaken(steps, direction); !why.isEmpty()) {
        if (errorText)
            *errorText = why;
        return false;
    }
    const QStringList failed = move(steps, direction);
    if (!failed.isEmpty()) {
        // Every side file stays: the journal carries the change through again from them.
        if (errorText)
            *errorText = failed.join(QStringLiteral("; "));
        return false;
    }
    removeWithSideFiles(journalPath, steps);
    return true;
}

int finishInterrupted(const QString &folder, QString *errorText)
{
    int finished = 0;
    QStringList problems;
    const auto tell = [&](const QString &problem) {
        problems << problem;
        PollixLog(problem);
    };
    for (const Journal &journal : journalsIn(folder)) {
        const QString &path = journal.path;
        if (!journal.problem.isEmpty()) {
            // Written whole or not at all, naming only files below its folder: a journal that
            // does not read so is none of Pollix's, and touches nothing.
            tell(QStringLiteral("%1 is no journal Pollix wrote (%2); it is left as it is").arg(path, journal.problem));
            continue;
        }
        if (const QString why = unsafeFiles(journal); !why.isEmpty()) {
            tell(QStringLiteral("%1 is left as it is, and its change is not carried through: %2").arg(path, why));
            continue;
        }
        const bool forward = journal.direction == Direction::Forward;
        const QString files = filesOf(path, journal.steps);
        if (const QString why = overtaken(journal.steps, journal.direction); !why.isEmpty()) {
            // Carried through now, the change would undo that later save, in some of its files.
            removeWithSideFiles(path, journal.steps);
            tell(QStringLiteral("A change of %1 cut short earlier was given up: %2, and that later save stays")
                     .arg(files, why));
            continue;
        }
        QString why;
        if (!apply(journal.steps, journal.direction, &why, path)) {
            // Its journal and side files stay: the next start tries again.
            tell(QStringLiteral("A change of %1 could not be %2 (%3); it stays noted down and is tried again at the next start")
                     .arg(files, forward ? QStringLiteral("finished") : QStringLiteral("taken back"), why));
            continue;
        }
        ++finished;
        PollixLog(QStringLiteral("Finished a change of %1 files cut short%2")
                      .arg(journal.steps.size())
                      .arg(forward ? QString() : QStringLiteral(" (taken back)")));
    }
    if (!problems.isEmpty() && errorText)
        *errorText = problems.join(QLatin1Char('\n'));
    return finished;
}

QStringList sideFilesInUse(const QString &folder)
{
    QStringList out;
    for (const Journal &journal : journalsIn(folder))
        for (const Step &s : journal.steps)
            for (const QString &side : {s.staged, s.kept})
                if (!side.isEmpty())
                    out << side;
    return out;
}

QString unfinishedChangeOf(const QStringList &paths, QString *held)
{
    const QString where = folder();
    if (where.isEmpty() || paths.isEmpty())
        return QString();
    QHash<QString, QString> wanted;
    for (const QString &path : paths)
        wanted.insert(QDir::cleanPath(QFileInfo(path).absoluteFilePath()), path);
    for (const Journal &journal : journalsIn(where)) {
        // A journal a start leaves as it is never carries its change through: it holds back no save.
        if (!journal.problem.isEmpty() || !unsafeFiles(journal).isEmpty())
            continue;
        for (const Step &s : journal.steps) {
            if (!wanted.contains(s.target))
                continue;
            if (held)
                *held = wanted.value(s.target);
            return QStringLiteral("an earlier change of %1 was cut short and is not finished yet; nothing is saved "
                                      "over it before Pollix finishes it, when it starts next")
                .arg(filesOf(journal.path, journal.steps));
        }
    }
    return QString();
}

} // namespace ChangeJournal

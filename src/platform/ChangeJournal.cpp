#include "ChangeJournal.h"

#include "AtomicFile.h"
#include "Log.h"
#include "SideFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

bool exists(const QString &path)
{
    return !path.isEmpty() && (QFileInfo::exists(path) || QFileInfo(path).isSymLink());
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

QString decoded(const QDir &base, const QByteArray &field)
{
    if (field == "-")
        return QString();
    return QDir::cleanPath(base.absoluteFilePath(QUrl::fromPercentEncoding(field)));
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

// The steps of a journal, or none when it is not one Pollix wrote whole. A step is taken only
// when its side files are named after its own target: a journal can move nothing else.
std::optional<std::pair<ChangeJournal::Direction, QList<ChangeJournal::Step>>> readJournal(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QList<QByteArray> lines = file.readAll().split('\n');
    // header, direction, steps..., "end", and the empty piece after the last newline
    if (lines.size() < 4 || lines.first() != kHeader || lines.at(lines.size() - 2) != kEnd || !lines.last().isEmpty())
        return std::nullopt;
    ChangeJournal::Direction direction;
    if (lines.at(1) == "forward")
        direction = ChangeJournal::Direction::Forward;
    else if (lines.at(1) == "back")
        direction = ChangeJournal::Direction::Back;
    else
        return std::nullopt;
    const QDir base = QFileInfo(path).absoluteDir();
    QList<ChangeJournal::Step> steps;
    for (qsizetype i = 2; i < lines.size() - 2; ++i) {
        const QList<QByteArray> fields = lines.at(i).split(' ');
        if (fields.size() != 3)
            return std::nullopt;
        ChangeJournal::Step s{decoded(base, fields.at(0)), decoded(base, fields.at(1)), decoded(base, fields.at(2))};
        if (s.target.isEmpty() || (s.staged.isEmpty() && s.kept.isEmpty()) ||
            (!s.staged.isEmpty() && !SideFiles::isBeside(s.staged, s.target, SideFiles::Kind::Staged)) ||
            (!s.kept.isEmpty() && !SideFiles::isBeside(s.kept, s.target, SideFiles::Kind::Kept)))
            return std::nullopt;
        steps << s;
    }
    return std::make_pair(direction, steps);
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
        } while (QFileInfo::exists(path));
    }
    const QDir base = QFileInfo(path).absoluteDir();
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

bool apply(const QList<Step> &steps, Direction direction, QString *errorText)
{
    QStringList failed;
    auto move = [&](const QString &from, const QString &to) {
        if (::rename(native(from).constData(), native(to).constData()) != 0)
            failed << QStringLiteral("%1: %2").arg(QFileInfo(to).fileName(), systemError());
    };
    auto unlink = [&](const QString &path) {
        if (::unlink(native(path).constData()) != 0 && errno != ENOENT)
            failed << QStringLiteral("%1: %2").arg(QFileInfo(path).fileName(), systemError());
    };
    if (direction == Direction::Forward) {
        for (const Step &s : steps) {
            if (!s.staged.isEmpty()) {
                if (exists(s.staged))
                    move(s.staged, s.target);
            } else if (exists(s.kept)) {
                // A removal still to do: its old bytes are kept until the change is done.
                unlink(s.target);
            }
        }
    } else {
        for (qsizetype i = steps.size() - 1; i >= 0; --i) {
            const Step &s = steps.at(i);
            if (exists(s.kept))
                move(s.kept, s.target);
            else if (s.kept.isEmpty() && !s.staged.isEmpty() && !exists(s.staged))
                unlink(s.target); // a new file that was already moved in
        }
    }
    QString why;
    if (!syncFoldersOf(steps, &why))
        failed << why;
    if (!failed.isEmpty()) {
        // Every side file stays: the journal carries the change through again from them.
        if (errorText)
            *errorText = failed.join(QStringLiteral("; "));
        return false;
    }
    for (const Step &s : steps) {
        // A kept name of a file that stayed in place is a second link to it (rename keeps both).
        if (exists(s.kept))
            ::unlink(native(s.kept).constData());
        if (exists(s.staged))
            ::unlink(native(s.staged).constData());
    }
    return true;
}

namespace {
// The journals in folder, oldest first, each with its contents when Pollix wrote it.
QList<std::pair<QString, std::optional<std::pair<Direction, QList<Step>>>>> journalsIn(const QString &folder)
{
    QList<std::pair<QString, std::optional<std::pair<Direction, QList<Step>>>>> out;
    const QDir dir(folder);
    if (folder.isEmpty() || !dir.exists())
        return out;
    for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden, QDir::Time | QDir::Reversed))
        if (journalName().match(name).hasMatch())
            out.append({dir.filePath(name), readJournal(dir.filePath(name))});
    return out;
}

// The files of a change as the teacher knows them: relative to the journal's folder.
QString filesOf(const QString &journalPath, const QList<Step> &steps)
{
    const QDir base = QFileInfo(journalPath).absoluteDir();
    QStringList names;
    for (const Step &s : steps)
        names << base.relativeFilePath(s.target);
    return names.join(QStringLiteral(", "));
}
} // namespace

int finishInterrupted(const QString &folder, QString *errorText)
{
    int finished = 0;
    QStringList problems;
    for (const auto &[path, journal] : journalsIn(folder)) {
        if (!journal) {
            // Written whole or not at all; a journal that does not read is none of Pollix's.
            problems << QStringLiteral("%1 is no journal Pollix wrote").arg(path);
            continue;
        }
        QString why;
        const bool forward = journal->first == Direction::Forward;
        if (!apply(journal->second, journal->first, &why)) {
            // Its journal and side files stay: the next start tries again.
            problems << QStringLiteral("A change of %1 could not be %2 (%3); it stays noted down and is tried again at the next start")
                            .arg(filesOf(path, journal->second), forward ? QStringLiteral("finished") : QStringLiteral("taken back"), why);
            PollixLog(problems.last());
            continue;
        }
        remove(path);
        ++finished;
        PollixLog(QStringLiteral("Finished a change of %1 files cut short%2")
                      .arg(journal->second.size())
                      .arg(forward ? QString() : QStringLiteral(" (taken back)")));
    }
    if (!problems.isEmpty() && errorText)
        *errorText = problems.join(QLatin1Char('\n'));
    return finished;
}

QStringList sideFilesInUse(const QString &folder)
{
    QStringList out;
    for (const auto &[path, journal] : journalsIn(folder)) {
        if (!journal)
            continue;
        for (const Step &s : journal->second)
            for (const QString &side : {s.staged, s.kept})
                if (!side.isEmpty())
                    out << side;
    }
    return out;
}

} // namespace ChangeJournal

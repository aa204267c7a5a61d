// The write layer's checked placing of a file written: over what its target held, only while that
// is what the caller may replace, and never over what another program put there at that moment.
// Every change of a name is made by FolderHandle's own steps (exchange, rename, removal).
#include "ContentHash.h"
#include "FolderHandle.h"
#include "Log.h"
#include "SideFiles.h"

#include <QFileInfo>

#include <mutex>

namespace {
std::mutex g_momentMutex;
std::function<void(FolderHandle::Moment, const QString &)> g_momentHook;

bool refused(QString *why, const QString &reason)
{
    if (why)
        *why = reason;
    return false;
}
} // namespace

void FolderHandle::setMomentHook(std::function<void(Moment, const QString &)> hook)
{
    std::lock_guard lock(g_momentMutex);
    g_momentHook = std::move(hook);
}

void FolderHandle::reachedMoment(Moment moment, const QString &path)
{
    std::function<void(Moment, const QString &)> hook;
    {
        std::lock_guard lock(g_momentMutex);
        hook = g_momentHook;
    }
    if (hook)
        hook(moment, path);
}

bool FolderHandle::leadsTo(const QString &name, const struct stat &written) const
{
    struct stat now{};
    return kindAt(name, &now) == RecordFile::Kind::File && now.st_dev == written.st_dev && now.st_ino == written.st_ino;
}

bool FolderHandle::holdsWritten(const QString &name, const struct stat &written) const
{
    struct stat now{};
    return kindAt(name, &now) == RecordFile::Kind::File &&
           ContentHash::sameFileAndBytes(now, written, ContentHash::stampsExactOn(m_fd));
}

void FolderHandle::removeWritten(const QString &name, const struct stat &written) const
{
    if (leadsTo(name, written))
        removeFile(name);
}

QString FolderHandle::notTheFileWritten(const QString &name, const QString &toName) const
{
    return QStringLiteral("%1 was no longer the file written for %2 (something else was put under its name), so %2 "
                          "was not saved")
        .arg(pathOf(name), pathOf(toName));
}

bool FolderHandle::replaceChecked(const QString &name, const QString &toName, const struct stat &written, QString *why,
                                  const std::function<QString(const QString &held)> &mayReplace, bool oldKept) const
{
    const auto ask = [&](const QString &held) { return mayReplace ? mayReplace(held) : QString(); };
    // What stands in toName right after the file written went there, when it is not that file: it
    // came in at that very moment (another program's save renamed over it) and stays; so said.
    const auto cameInMeanwhile = [&] {
        const QString theirs = ask(toName);
        PollixLog(QStringLiteral("%1 was replaced by another program right as Pollix put its file there; that file stays")
                      .arg(pathOf(toName)));
        return theirs.isEmpty() ? QStringLiteral("%1 was replaced by another program while Pollix saved it, so it was not "
                                                 "saved over: the other program's file stays")
                                      .arg(pathOf(toName))
                                : theirs;
    };
    // The file written is looked at right before it goes in place: a side file name that leads
    // elsewhere by then, or a file written into since, replaces nothing.
    if (!holdsWritten(name, written))
        return refused(why, notTheFileWritten(name, toName));
    reachedMoment(Moment::AboutToExchange, pathOf(toName));
    bool unsupported = false;
    QString exchangeWhy;
    if (exchange(name, toName, &exchangeWhy, &unsupported)) {
        reachedMoment(Moment::Exchanged, pathOf(toName));
        const auto gone = [&](const QString &replaced) {
            if (QString removeWhy; !removeFile(replaced, &removeWhy))
                PollixLog(removeWhy);
        };
        // The file written, as written: another program's bytes copied into it in place since
        // are that program's save, and stay as much as a file renamed over it.
        if (!holdsWritten(toName, written)) {
            // What came out goes as after a save that landed, when it is what the save replaces;
            // anything else under name stays for the start's tidying, which names it.
            if (kindAt(name) != RecordFile::Kind::Missing && ask(name).isEmpty())
                gone(name);
            return refused(why, cameInMeanwhile());
        }
        const QString notReplaced = kindAt(name) == RecordFile::Kind::Missing ? QString() : ask(name);
        if (notReplaced.isEmpty()) {
            gone(name);
            return true;
        }
        // A version that came in before the exchange goes back in one step, looked at right
        // before: a save that came since in its turn is not exchanged away.
        if (QString backWhy; !holdsWritten(toName, written) || !exchange(name, toName, &backWhy))
            PollixLog(QStringLiteral("%1 could not be put back in its place: %2")
                          .arg(pathOf(toName), backWhy.isEmpty() ? QStringLiteral("another file came in meanwhile") : backWhy));
        return refused(why, notReplaced);
    }
    if (kindAt(toName) == RecordFile::Kind::Missing)
        return moveChecked(name, toName, written, why);
    if (!unsupported)
        return refused(why, exchangeWhy);
    // No exchange on this disk: what toName holds keeps a second name (or a synced copy) until
    // the file written is found in its place, unless the caller keeps its old bytes itself.
    if (const QString notReplaced = ask(toName); !notReplaced.isEmpty())
        return refused(why, notReplaced);
    QString kept;
    struct stat before{};
    if (!oldKept) {
        kindAt(toName, &before);
        kept = QFileInfo(SideFiles::nameBeside(pathOf(toName), SideFiles::Kind::Kept)).fileName();
        if (!linkOrCopyTo(toName, *this, kept, why))
            return kindAt(toName) == RecordFile::Kind::Missing && moveChecked(name, toName, written, why);
    }
    const auto dropKept = [&] {
        if (!kept.isEmpty())
            removeFile(kept);
    };
    reachedMoment(Moment::OldKept, pathOf(toName));
    // The last looks, right before the rename and nothing between: what toName holds must still be
    // what may be replaced, the very file whose second name or copy was just made (a toName gone
    // meanwhile is made), and name the file written.
    QString notReplaced = ask(toName);
    struct stat now{};
    if (notReplaced.isEmpty() && !kept.isEmpty() && kindAt(toName, &now) != RecordFile::Kind::Missing &&
        !ContentHash::sameFileAndBytes(now, before))
        notReplaced = cameInMeanwhile();
    if (notReplaced.isEmpty() && !holdsWritten(name, written))
        notReplaced = notTheFileWritten(name, toName);
    if (!notReplaced.isEmpty()) {
        dropKept();
        return refused(why, notReplaced);
    }
    if (!renameOver(name, toName, why)) {
        dropKept();
        return false;
    }
    reachedMoment(Moment::Renamed, pathOf(toName));
    const bool placed = holdsWritten(toName, written);
    dropKept();
    return placed || refused(why, cameInMeanwhile());
}

bool FolderHandle::moveChecked(const QString &name, const QString &toName, const struct stat &written, QString *why) const
{
    if (!moveTo(name, *this, toName, why))
        return false;
    reachedMoment(Moment::Renamed, pathOf(toName));
    if (holdsWritten(toName, written))
        return true;
    // The file written, but another program wrote into it in place since it got its name: that
    // program's save, which stays where it is.
    if (leadsTo(toName, written)) {
        PollixLog(QStringLiteral("%1 was written into by another program right as Pollix put its file there; that file stays")
                      .arg(pathOf(toName)));
        return refused(why, QStringLiteral("%1 was written into by another program while Pollix saved it, so Pollix's "
                                           "save of it did not land: the other program's bytes stay")
                                .arg(pathOf(toName)));
    }
    // Not Pollix's: it goes back under the name it came under, and toName stays free.
    if (QString backWhy; !moveTo(toName, *this, name, &backWhy))
        PollixLog(QStringLiteral("%1 stays where it was moved: %2").arg(pathOf(toName), backWhy));
    return refused(why, notTheFileWritten(name, toName));
}

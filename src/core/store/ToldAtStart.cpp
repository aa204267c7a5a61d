#include "ToldAtStart.h"

#include "GlobalFunctions.h"
#include "platform/AtomicFile.h"
#include "platform/FolderHandle.h"
#include "platform/Log.h"
#include "platform/RecordFile.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QUrl>

#include <optional>

#include <sys/stat.h>

namespace {
// A line a thing; a few hundred things at most would ever be found.
constexpr qint64 kMostNoteBytes = 1 << 20;

QString notePath()
{
    return GlobalFunctions::pathInApplicationFolder(ToldAtStart::noteName());
}

// A thing as the note keeps it: what the disk says of it now (device, inode, size and the time
// of its last change, which no program sets back as it may the time of modification; "-" when
// nothing is there), or "=" and the record's line it is, percent-encoded; a tab, and its path,
// percent-encoded.
QByteArray lineOf(const LeftAlone &thing)
{
    const QByteArray path = QUrl::toPercentEncoding(thing.path);
    if (!thing.line.isEmpty())
        return '=' + QUrl::toPercentEncoding(QString::fromUtf8(thing.line)) + '\t' + path;
    struct stat st{};
    QByteArray said = "-";
    if (::lstat(QFile::encodeName(thing.path).constData(), &st) == 0)
        said = QByteArray::number(quint64(st.st_dev)) + ' ' + QByteArray::number(quint64(st.st_ino)) + ' ' +
               QByteArray::number(qint64(st.st_size)) + ' ' + QByteArray::number(qint64(st.st_ctim.tv_sec)) + '.' +
               QByteArray::number(qint64(st.st_ctim.tv_nsec));
    return said + '\t' + path;
}

// The lines of the note, none when there is none; nothing, with *why, when it is not one Pollix
// wrote.
std::optional<QSet<QByteArray>> readNote(QString *why)
{
    QSet<QByteArray> out;
    const QString path = notePath();
    if (path.isEmpty() || RecordFile::kindAt(path) == RecordFile::Kind::Missing)
        return out;
    const std::optional<QByteArray> bytes = RecordFile::read(path, kMostNoteBytes, why);
    if (!bytes)
        return std::nullopt;
    static const QRegularExpression line(QStringLiteral("^(-|[0-9]+ [0-9]+ [0-9]+ -?[0-9]+\\.[0-9]+|=[A-Za-z0-9%._~-]+)\\t[A-Za-z0-9%._~-]+$"));
    const QList<QByteArray> lines = bytes->split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines.at(i).isEmpty() && i == lines.size() - 1)
            break;
        if (!line.match(QString::fromLatin1(lines.at(i))).hasMatch()) {
            *why = QStringLiteral("its line %1 is none Pollix writes").arg(i + 1);
            return std::nullopt;
        }
        out.insert(lines.at(i));
    }
    return out;
}
} // namespace

QString ToldAtStart::noteName()
{
    return QStringLiteral(".told-at-start");
}

LeftAloneList ToldAtStart::untold(const LeftAloneList &found, bool *noteRefused)
{
    QString why;
    const std::optional<QSet<QByteArray>> told = readNote(&why);
    if (noteRefused)
        *noteRefused = !told;
    if (!told) {
        PollixLog(QStringLiteral("%1 is left as it is, and all the start found is told again: %2").arg(notePath(), why));
        // Said only beside something told: alone it changes nothing the teacher meets.
        if (found.isEmpty())
            return found;
        return found + LeftAloneList{{notePath(), QStringLiteral("%1 is no note Pollix wrote (%2), so Pollix cannot note what it "
                                                                 "told, and all of this is told again at every start until "
                                                                 "it is moved away")
                                                      .arg(notePath(), why)}};
    }
    LeftAloneList out;
    for (const LeftAlone &thing : found)
        if (!told->contains(lineOf(thing)))
            out << thing;
    return out;
}

bool ToldAtStart::noteTold(const LeftAloneList &found, QString *errorText)
{
    const QString path = notePath();
    QString why;
    const std::optional<QSet<QByteArray>> before = readNote(&why);
    if (path.isEmpty() || !before)
        return GlobalFunctions::failWith(errorText, path.isEmpty() ? QStringLiteral("no application folder") : why);
    QSet<QByteArray> now;
    for (const LeftAlone &thing : found)
        now.insert(lineOf(thing));
    if (now == *before)
        return true;
    // Through the application folder held open: a link put under its name since it was read is
    // replaced, never written through.
    const FolderHandle folder = FolderHandle::open(QFileInfo(path).absolutePath(), true, &why);
    if (now.isEmpty()) {
        if (folder.removeFile(noteName(), &why))
            return true;
    } else {
        QList<QByteArray> lines(now.begin(), now.end());
        std::sort(lines.begin(), lines.end());
        if (AtomicFile::write(folder, noteName(), lines.join('\n') + '\n', &why))
            return true;
    }
    PollixLog(QStringLiteral("%1 could not be written, and what the start found is told again at the next: %2").arg(path, why));
    return GlobalFunctions::failWith(errorText, why);
}

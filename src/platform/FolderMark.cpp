#include "FolderMark.h"

#include "FolderHandle.h"

#include <QList>

namespace {
constexpr qint64 kMostNoteBytes = 4096;

QByteArray noteFor(FolderMark::Kind kind, const struct stat &st)
{
    const QByteArray header = kind == FolderMark::Kind::Kept ? "Pollix kept folder 1" : "Pollix restored folder 1";
    return header + '\n' + QByteArray::number(quint64(st.st_dev)) + '\n' + QByteArray::number(quint64(st.st_ino)) + '\n';
}
} // namespace

namespace FolderMark {

QString noteName(Kind kind)
{
    return kind == Kind::Kept ? QStringLiteral(".pollix-kept") : QStringLiteral(".pollix-restored");
}

bool write(const FolderHandle &folder, Kind kind, QString *why)
{
    const std::optional<struct stat> st = folder.stat();
    if (!st) {
        if (why)
            *why = QStringLiteral("%1 is not open").arg(folder.path());
        return false;
    }
    if (folder.kindAt(noteName(kind)) != RecordFile::Kind::Missing && !folder.removeFile(noteName(kind), why))
        return false;
    return folder.createFile(noteName(kind), noteFor(kind, *st), why) && folder.sync(why);
}

bool holds(const FolderHandle &folder, Kind kind, QString *why)
{
    const std::optional<struct stat> st = folder.stat();
    if (!st || folder.kindAt(noteName(kind)) == RecordFile::Kind::Missing)
        return false;
    QString problem;
    const std::optional<QByteArray> note = folder.readFile(noteName(kind), kMostNoteBytes, &problem);
    if (note && *note == noteFor(kind, *st))
        return true;
    if (why)
        *why = note ? QStringLiteral("%1 was not set aside by Pollix here (its note %2 names another folder: a copy)")
                          .arg(folder.path(), noteName(kind))
                    : problem;
    return false;
}

bool remove(const FolderHandle &folder, Kind kind, QString *why)
{
    return folder.removeFile(noteName(kind), why) && folder.sync(why);
}

} // namespace FolderMark

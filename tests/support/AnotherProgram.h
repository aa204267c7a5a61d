#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>

#include <gtest/gtest.h>

#include <sys/stat.h>

// What another program (a second Pollix on a shared folder, a sync tool, an editor) does to a
// data file while Pollix has it open in a window.
namespace AnotherProgram {

// Its save of path written into the file in place: from (found once) becomes to. The bytes it
// leaves there.
inline QByteArray changeInPlace(const QString &path, const QByteArray &from, const QByteArray &to)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite)) {
        ADD_FAILURE() << "cannot open " << path.toStdString();
        return {};
    }
    QByteArray bytes = file.readAll();
    EXPECT_EQ(bytes.count(from), 1) << from.toStdString() << " in " << bytes.toStdString();
    bytes.replace(from, to);
    file.seek(0);
    file.resize(0);
    file.write(bytes);
    return bytes;
}

// Its own version of path, written whole in a file of its own in folder, then copied over path by
// cp, which writes into the file in place (its device and inode stay). The bytes it leaves there.
inline QByteArray copyInPlace(const QString &path, const QByteArray &bytes, const QString &folder)
{
    const QString own = QDir(folder).filePath(QStringLiteral("their-version"));
    QFile file(own);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
        ADD_FAILURE() << "cannot write " << own.toStdString();
        return {};
    }
    file.close();
    struct stat before{}, after{};
    EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &before), 0) << path.toStdString();
    EXPECT_EQ(QProcess::execute(QStringLiteral("cp"), {own, path}), 0) << path.toStdString();
    EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &after), 0) << path.toStdString();
    EXPECT_EQ(after.st_ino, before.st_ino) << "cp wrote a new file over " << path.toStdString();
    return bytes;
}

} // namespace AnotherProgram

#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <gtest/gtest.h>

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

} // namespace AnotherProgram

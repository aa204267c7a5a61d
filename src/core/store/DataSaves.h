#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

// What Pollix's own stores put in place of a data file: its path and the bytes it will hold, told
// to whoever watches before the write (a look at the disk right after the write finds it told
// already; a write that then fails changed nothing). The program itself watches none: a check
// that no data change any other way does (a random walk over the windows), as DataRemovals tells
// it what Pollix took away.
class DataSaves
{
public:
    using Watcher = std::function<void(const QString &path, const QByteArray &bytes)>;

    // Set before the program runs; told on any thread that writes the data folder.
    static void setWatcher(Watcher watcher);
    static void saving(const QString &path, const QByteArray &bytes);
};

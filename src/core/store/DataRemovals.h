#pragma once

#include <QString>

#include <functional>

// The records that Pollix's own commands take out of the data folder or away from their names: a
// session or class file deleted, a class renamed (its old name goes), a student deleted from a
// class or from the school roster or given another ID (the old one goes), the files of a folder
// cleared, a whole data folder replaced by a restore. Each is told once it has gone (the disk
// changed), to whoever watches. The program itself watches none: a check that no data go any
// other way does (a random walk over the windows).
class DataRemovals
{
public:
    // path: a file, or a folder for everything below it; studentID: one student of that file
    // (any letter case), empty for the whole file.
    using Watcher = std::function<void(const QString &path, const QString &studentID)>;

    // Set before the program runs; told on any thread that changes the data folder.
    static void setWatcher(Watcher watcher);
    static void removed(const QString &path, const QString &studentID = QString());
};

#include "DataRemovals.h"

namespace {
DataRemovals::Watcher &watcher()
{
    static DataRemovals::Watcher w;
    return w;
}
} // namespace

void DataRemovals::setWatcher(Watcher w)
{
    watcher() = std::move(w);
}

void DataRemovals::removed(const QString &path, const QString &studentID)
{
    if (const Watcher &w = watcher())
        w(path, studentID);
}

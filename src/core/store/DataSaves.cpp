#include "DataSaves.h"

namespace {
DataSaves::Watcher &watcher()
{
    static DataSaves::Watcher w;
    return w;
}
} // namespace

void DataSaves::setWatcher(Watcher w)
{
    watcher() = std::move(w);
}

void DataSaves::saving(const QString &path, const QByteArray &bytes)
{
    if (const Watcher &w = watcher())
        w(path, bytes);
}

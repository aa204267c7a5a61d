#include "StoreTransaction.h"

#include "DataSaves.h"

#include "platform/AtomicFileSet.h"

#include <QFileInfo>

namespace {
StoreTransaction *g_current = nullptr;

// One spelling per file, so that a write and a later read of the same file meet.
QString key(const QString &path)
{
    return QFileInfo(path).absoluteFilePath();
}
} // namespace

StoreTransaction::StoreTransaction() : m_files(std::make_unique<AtomicFileSet>())
{
    m_joined = g_current != nullptr;
    if (!m_joined)
        g_current = this;
}

StoreTransaction::~StoreTransaction()
{
    if (!m_joined && g_current == this)
        g_current = nullptr;
}

StoreTransaction *StoreTransaction::current()
{
    return g_current;
}

void StoreTransaction::hold(const QString &path, const QByteArray &data)
{
    m_files->add(key(path), data);
    DataSaves::saving(key(path), data);
}

std::optional<QByteArray> StoreTransaction::held(const QString &path) const
{
    return m_files->dataFor(key(path));
}

void StoreTransaction::holdRemoval(const QString &path)
{
    m_files->remove(key(path));
}

bool StoreTransaction::removes(const QString &path) const
{
    return m_files->removes(key(path));
}

QString StoreTransaction::failedPath() const
{
    return m_files->failedPath();
}

bool StoreTransaction::commit(QString *errorText)
{
    if (m_joined)
        return true;
    // Stores write nothing more through this transaction once it has been decided.
    if (g_current == this)
        g_current = nullptr;
    return m_files->commit(errorText);
}

#include "ReadOnlyFolders.h"

#include <QDir>
#include <QFile>

ReadOnlyFolders::ReadOnlyFolders()
    : m_folder(m_dir.path() + QStringLiteral("/Pollix")), m_data(m_folder + QStringLiteral("/Data"))
{
    QDir().mkpath(m_data);
}

ReadOnlyFolders::~ReadOnlyFolders()
{
    makeWritable(m_data);
    makeWritable(m_folder);
}

bool ReadOnlyFolders::isValid() const
{
    return m_dir.isValid() && QDir(m_data).exists();
}

bool ReadOnlyFolders::makeReadOnly(const QString &path)
{
    return QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner);
}

bool ReadOnlyFolders::makeWritable(const QString &path)
{
    return QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

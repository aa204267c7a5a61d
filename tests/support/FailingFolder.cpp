#include "FailingFolder.h"

#include "platform/RecordFile.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <utility>

#include <unistd.h>

FailingFolder::FailingFolder(const QString &folder, int error)
    : m_folder(QDir::cleanPath(folder)), m_error(::geteuid() == 0 ? error : EACCES)
{
    QDir().mkpath(m_folder);
    if (::geteuid() != 0)
        m_madeUnsearchable = QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::WriteOwner);
    const QString inside = m_folder + QLatin1Char('/');
    const int injected = ::geteuid() == 0 ? error : 0;
    RecordFile::setLookHookForTesting([inside, injected, looks = m_looks](const QString &path) {
        if (!path.startsWith(inside))
            return 0;
        return ++*looks > kMostLooks ? ENOENT : injected;
    });
}

FailingFolder::~FailingFolder()
{
    answerAgain();
}

QString FailingFolder::reason() const
{
    return QString::fromLocal8Bit(std::strerror(m_error));
}

void FailingFolder::answerAgain()
{
    RecordFile::setLookHookForTesting({});
    if (std::exchange(m_madeUnsearchable, false))
        QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

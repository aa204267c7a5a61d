#include "CommandFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace CommandFolder {

QString make(const QString &folder, const QStringList &leftOut, const QList<std::pair<QString, QByteArray>> &scripts)
{
    QDir().mkpath(folder);
    for (const char *system : {"/usr/local/bin", "/usr/bin", "/bin", "/usr/sbin", "/sbin"}) {
        for (const QFileInfo &f : QDir(QString::fromLatin1(system)).entryInfoList(QDir::Files | QDir::Executable))
            if (!leftOut.contains(f.fileName()))
                QFile::link(f.absoluteFilePath(), folder + QLatin1Char('/') + f.fileName());
    }
    for (const auto &[name, body] : scripts) {
        QFile script(folder + QLatin1Char('/') + name);
        script.remove();
        if (script.open(QIODevice::WriteOnly)) {
            script.write("#!/bin/sh\n" + body);
            script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        }
    }
    return folder;
}

} // namespace CommandFolder

ScopedEnvironment::ScopedEnvironment(const QList<std::pair<QByteArray, QByteArray>> &changes)
{
    for (const auto &[name, value] : changes) {
        m_saved << Saved{name, qEnvironmentVariableIsSet(name.constData()), qgetenv(name.constData())};
        if (value.isEmpty())
            qunsetenv(name.constData());
        else
            qputenv(name.constData(), value);
    }
}

ScopedEnvironment::~ScopedEnvironment()
{
    for (auto it = m_saved.crbegin(); it != m_saved.crend(); ++it) {
        if (it->set)
            qputenv(it->name.constData(), it->value);
        else
            qunsetenv(it->name.constData());
    }
}

#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

// A folder of commands to stand as the whole PATH of a program a test runs, or of the test itself
// while the code under test starts one: every command of the system's folders but those left out,
// and scripts of the test's own (each a name and what follows "#!/bin/sh").
namespace CommandFolder {
QString make(const QString &folder, const QStringList &leftOut, const QList<std::pair<QString, QByteArray>> &scripts = {});
} // namespace CommandFolder

// Environment variables changed for the life of the object (an empty value unsets), then put back.
class ScopedEnvironment
{
public:
    explicit ScopedEnvironment(const QList<std::pair<QByteArray, QByteArray>> &changes);
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment &) = delete;
    ScopedEnvironment &operator=(const ScopedEnvironment &) = delete;

private:
    struct Saved
    {
        QByteArray name;
        bool set = false;
        QByteArray value;
    };
    QList<Saved> m_saved;
};

#pragma once

#include "CommandFolder.h"

#include <QString>
#include <QStringList>

#include <memory>

// A stand-in for LibreOffice, first on PATH while it lives: "soffice" counts its starts, keeps the
// profile each start was given, and writes a copy of result as the converted file. The first
// failures starts fail instead, as a LibreOffice on a fresh profile may: killed by a signal, or
// quitting at once without output. With waitFor set, each start first waits until that file
// exists (giving up after a few seconds), so that a test can tell whether its own event loop
// runs while the conversion does.
class FakeOffice
{
public:
    enum class Failure { Crash, QuitWithoutOutput };

    FakeOffice(const QString &folder, const QString &result, int failures = 0, Failure how = Failure::Crash,
               const QString &waitFor = {});
    ~FakeOffice();
    FakeOffice(const FakeOffice &) = delete;
    FakeOffice &operator=(const FakeOffice &) = delete;

    int starts() const;
    // The -env:UserInstallation argument of each start, in order.
    QStringList profiles() const;

private:
    QString m_folder;
    std::unique_ptr<ScopedEnvironment> m_environment;
};

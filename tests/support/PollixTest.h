#pragma once

#include "core/app/Orvenda_AppDelegate.h"
#include "platform/LeftAlone.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

// Base fixture: every case gets a fresh, empty application folder as $POLLIX_HOME, an application
// delegate rooted there, and fresh singletons.
class PollixTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    QString home() const { return m_home->path() + QLatin1Char('/'); }
    Orvenda_AppDelegate *app() const { return m_app.get(); }
    // From now on the program works in folder, as after a start on it: a delegate rooted there
    // and fresh stores. With finishWork, what the last run left unfinished there is finished first,
    // as the start does.
    void startOn(const QString &folder, bool finishWork = false);
    // The same, finishing what the last run left as a start does: what the start leaves as it is
    // and names (a recovery that fails fails the test).
    LeftAloneList startFinishingOn(const QString &folder);

    // Writes a file under the application folder (folders made as needed); returns its path.
    QString writeFile(const QString &relativePath, const QByteArray &bytes) const;
    static QByteArray readFile(const QString &path);
    // Every file in and below folder (hidden ones too) by its path relative to folder, with its
    // bytes; with xmlOnly, the ".xml" files alone.
    static QMap<QString, QByteArray> filesBelow(const QString &folder, bool xmlOnly = false);
    // Bytes of a committed file under tests/data.
    static QByteArray testData(const QString &relativePath);
    static QString testDataPath(const QString &relativePath);

private:
    void closeRunWindowsLeftOpen();

    std::unique_ptr<QTemporaryDir> m_home;
    std::unique_ptr<Orvenda_AppDelegate> m_app;
};

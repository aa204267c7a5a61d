#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// A source tree of a test's own in a temporary folder.
class FakeSources
{
public:
    QString dir() const { return m_dir.path(); }
    void write(const QString &path, const QByteArray &text) const
    {
        const QString file = m_dir.filePath(path);
        QDir().mkpath(QFileInfo(file).path());
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(text);
    }

private:
    QTemporaryDir m_dir;
};

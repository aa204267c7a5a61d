#pragma once

#include "core/gradebook/ConversionLetter.h"
#include "core/store/GlobalFunctions.h"
#include "platform/AtomicFile.h"
#include "support/PollixTest.h"

#include <ostream>

inline void PrintTo(const QByteArray &bytes, std::ostream *os)
{
    *os << '"' << bytes.toStdString() << '"';
}

// A letter of a scale: name for the points from..to.
inline ConversionLetter letter(const QString &name, int from, int to)
{
    ConversionLetter l;
    l.setLetter(name);
    l.setPointFrom(from);
    l.setPointTo(to);
    return l;
}

// A fresh application folder; golden files of tests/data/gradebook/<case>/.
class GradebookTestBase : public PollixTest
{
protected:
    void TearDown() override
    {
        AtomicFile::setFailureHook({});
        PollixTest::TearDown();
    }
    static QByteArray golden(const QString &caseName, const QString &file = QStringLiteral("expected.xml"))
    {
        return testData(QStringLiteral("gradebook/%1/%2").arg(caseName, file));
    }
    QString data(const QString &file) const { return home() + QStringLiteral("Data/") + file; }
    QByteArray dataFile(const QString &file) const { return readFile(data(file)); }
    // Every write to that data file fails after its temporary file was written.
    void failWritesTo(const QString &file) const
    {
        const QString path = data(file);
        AtomicFile::setFailureHook([path](const QString &p) { return p == path; });
    }
    static void allowWrites() { AtomicFile::setFailureHook({}); }
    static QByteArray xml(const char *body)
    {
        return QByteArray("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n") + body;
    }
};

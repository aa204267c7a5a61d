#pragma once

#include "core/store/GlobalFunctions.h"
#include "platform/AtomicFile.h"
#include "support/PollixTest.h"

#include <ostream>

// File bytes print as text when a comparison fails.
inline void PrintTo(const QByteArray &bytes, std::ostream *os)
{
    *os << '"' << bytes.toStdString() << '"';
}

// Store tests run against a fresh application folder with the clock stopped at 2012-03-23T14:07:09.
class StoreTestBase : public PollixTest
{
protected:
    void SetUp() override
    {
        PollixTest::SetUp();
        GlobalFunctions::setClockForTesting([] { return QDateTime(QDate(2012, 3, 23), QTime(14, 7, 9)); });
    }
    void TearDown() override
    {
        GlobalFunctions::setClockForTesting({});
        PollixTest::TearDown();
    }
    // Bytes of a file of the golden case tests/data/store/<caseName>/, with the application
    // folder put in for @HOME@.
    QByteArray golden(const QString &caseName, const QString &file = QStringLiteral("expected.xml")) const
    {
        return testData(QStringLiteral("store/%1/%2").arg(caseName, file)).replace("@HOME@", home().toUtf8());
    }
    // Every write to a path starting with prefix fails (after its temporary file was written).
    static void failWritesTo(const QString &prefix)
    {
        AtomicFile::setFailureHook([prefix](const QString &p) { return p.startsWith(prefix); });
    }
    static void allowWrites() { AtomicFile::setFailureHook({}); }
};

#include "platform/Log.h"

#include <QLoggingCategory>

#include <gtest/gtest.h>

namespace {
struct Line
{
    QString category;
    QtMsgType type;
    QString text;
};
QList<Line> s_lines;

void capture(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    s_lines.append({QString::fromLatin1(context.category), type, text});
}
} // namespace

TEST(Log, FrameTracesAreOffUntilTheLoggingRulesTurnThemOn)
{
    s_lines.clear();
    const auto previous = qInstallMessageHandler(capture);
    PollixFrameLog(QStringLiteral("Receive:f4  00 c0  01  35"));
    PollixFrameLogf("0x%02x", 0xF5);
    EXPECT_TRUE(s_lines.isEmpty()) << "a trace by default";

    QLoggingCategory::setFilterRules(QStringLiteral("pollix.frames.debug=true"));
    PollixFrameLog(QStringLiteral("Receive:f4  00 c0  01  35"));
    PollixFrameLogf("0x%02x", 0xF5);
    QLoggingCategory::setFilterRules(QString());
    PollixFrameLog(QStringLiteral("after"));
    qInstallMessageHandler(previous);

    ASSERT_EQ(s_lines.size(), 2);
    EXPECT_EQ(s_lines[0].category, QStringLiteral("pollix.frames"));
    EXPECT_EQ(s_lines[0].type, QtDebugMsg);
    EXPECT_EQ(s_lines[0].text, QStringLiteral("Receive:f4  00 c0  01  35"));
    EXPECT_EQ(s_lines[1].text, QStringLiteral("0xf5"));
}

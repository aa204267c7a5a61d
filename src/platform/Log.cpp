#include "Log.h"

#include <cstdarg>

Q_LOGGING_CATEGORY(lcPollix, "pollix")
Q_LOGGING_CATEGORY(lcPollixFrames, "pollix.frames", QtInfoMsg)

void PollixLog(const QString &line)
{
    qCInfo(lcPollix).noquote() << line;
}

void PollixLogf(const char *format, ...)
{
    if (!lcPollix().isInfoEnabled())
        return; // filtered out by the logging rules: not worth formatting
    va_list args;
    va_start(args, format);
    const QString line = QString::vasprintf(format, args);
    va_end(args);
    PollixLog(line);
}

void PollixFrameLog(const QString &line)
{
    qCDebug(lcPollixFrames).noquote() << line;
}

void PollixFrameLogf(const char *format, ...)
{
    if (!lcPollixFrames().isDebugEnabled())
        return; // the formatting is the cost of a trace nobody reads
    va_list args;
    va_start(args, format);
    const QString line = QString::vasprintf(format, args);
    va_end(args);
    PollixFrameLog(line);
}

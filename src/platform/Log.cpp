#include "Log.h"

#include <cstdarg>

Q_LOGGING_CATEGORY(lcPollix, "pollix")

void PollixLog(const QString &line)
{
    qCInfo(lcPollix).noquote() << line;
}

void PollixLogf(const char *format, ...)
{
    va_list args;
    va_start(args, format);
    const QString line = QString::vasprintf(format, args);
    va_end(args);
    PollixLog(line);
}

#pragma once

#include <QString>
#include <QStringList>

// The program's log lines (PollixLog) written while one lives, from any thread, and apart from
// them the trace of the keypad conversation (PollixFrameLog), which comes only where the logging
// rules turn it on; lines of other categories go on to the handler that was there.
class LogLines
{
public:
    LogLines();
    ~LogLines();
    LogLines(const LogLines &) = delete;
    LogLines &operator=(const LogLines &) = delete;

    QStringList lines() const;
    // The lines that contain text.
    QStringList containing(const QString &text) const;
    QStringList frameLines() const;
};

#pragma once

#include <QLoggingCategory>
#include <QString>

Q_DECLARE_LOGGING_CATEGORY(lcPollix)
Q_DECLARE_LOGGING_CATEGORY(lcPollixFrames)

// The program's diagnostic lines ("Folder %@ does not exist", ...) go through Qt's logging under
// the category "pollix", so they can be filtered or captured.
void PollixLog(const QString &line);
void PollixLogf(const char *format, ...) __attribute__((format(printf, 1, 2)));

// Traces of the keypad conversation (every frame received, each frame text broadcast, which
// reply went out): debug lines of the category "pollix.frames", off unless the logging rules
// turn them on (QT_LOGGING_RULES="pollix.frames.debug=true").
void PollixFrameLog(const QString &line);
void PollixFrameLogf(const char *format, ...) __attribute__((format(printf, 1, 2)));

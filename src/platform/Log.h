#pragma once

#include <QLoggingCategory>
#include <QString>

Q_DECLARE_LOGGING_CATEGORY(lcPollix)

// The program's diagnostic lines ("Receive:%02x  ", "Folder %@ does not exist", ...) go through
// Qt's logging under the category "pollix", so they can be filtered or captured.
void PollixLog(const QString &line);
void PollixLogf(const char *format, ...) __attribute__((format(printf, 1, 2)));

#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

// Every data file is replaced whole: the bytes go to a temporary file beside the target, which
// is flushed and renamed over it. A failure at any step leaves the old file exactly as it was.
namespace AtomicFile {

bool write(const QString &path, const QByteArray &data, QString *errorText = nullptr);

// Tests use this to make a write fail after its temporary file was written, as a full disk or
// a crash before the rename would. Return true from the hook to fail the write of that path.
void setFailureHook(std::function<bool(const QString &path)> hook);

} // namespace AtomicFile

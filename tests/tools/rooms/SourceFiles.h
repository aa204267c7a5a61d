#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// The source files the checks over the sources read: .cpp, .h, .c and .hpp files.
namespace SourceFiles {

// The source files in and below folder (a path below root; root itself when empty), each as a
// path below root, in path order. A folder that is missing has none.
QStringList below(const QString &root, const QString &folder = QString());

// The whole text of the file at path; none when it cannot be read.
std::optional<QByteArray> read(const QString &path);

} // namespace SourceFiles

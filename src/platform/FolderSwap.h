#pragma once

#include <QString>

// Replacing a whole folder at once: a new folder is prepared beside the old one, flushed to disk,
// and the two are exchanged in one step, so that the old folder's contents stay whole until the
// new ones are complete.
namespace FolderSwap {

// A new empty folder beside folder (same parent, so on the same file system), named after it
// with the given tag and a unique suffix; empty (and *errorText set) when it cannot be made.
QString makeSibling(const QString &folder, const QString &tag, QString *errorText = nullptr);

// Writes everything of the file system that holds path to disk.
bool syncFileSystemOf(const QString &path, QString *errorText = nullptr);

// Puts prepared in the place of target. Afterwards prepared holds the old contents of target
// (the caller removes them); when target did not exist, prepared is simply moved there. Where the
// file system cannot exchange in one step, target is moved aside and prepared moved in, moving
// target back when that fails. On failure both stay as they were.
bool exchange(const QString &prepared, const QString &target, QString *errorText = nullptr);

} // namespace FolderSwap

#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// What Delete All Records and Clear Activity Records remove: files found by walking from the
// folder held open, never a folder below it entered through a link but one the start took
// (TakenFolders), so that a folder swapped for a link while they run leads no removal elsewhere;
// and what stays is named, never passed over.
namespace RecordDeletion {

// Removes every regular file in and below folder (reached as GlobalFunctions::heldFolder reaches
// it) whose name wanted takes. What stays, each a phrase naming its path: a file that cannot be
// removed, anything else under such a name ("... is a symbolic link", "... is no regular file"),
// a folder below that cannot be read, and folder itself when its name no longer leads to the
// folder emptied (a link put in its place). A folder that is not there holds nothing.
QStringList removeBelow(const QString &folder, const std::function<bool(const QString &name)> &wanted);

// Called by removeBelow with its folder once what is to go is listed, before the first file
// goes. None is set in the program; a test swaps a folder there.
void setListedHook(std::function<void(const QString &folder)> hook);

} // namespace RecordDeletion

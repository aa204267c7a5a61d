#pragma once

class QWidget;

// The start's recovery as the teacher meets it: what the last run left unfinished is finished
// (DataRecovery), and what could not be is named in an alert with the reasons, at every start
// until it is finished. What the start found and left as it is because Pollix did not make it is
// named once, with what the teacher may do with it (ToldAtStart). Pollix goes on to
// its main window unless its data folder cannot be used: while a restore's replacement of it is
// still unfinished, or it is missing beside a restore's folders, Pollix would work in an empty
// folder in its place, which the replacement could then never be finished over. The alert then
// says so, and the program ends; the next start tries again. Nor does it go on in a folder on a
// disk that cannot hold the names of its session files (FAT and exFAT refuse the ':' of their
// time): the alert names the file system and the way out, and the program ends.
namespace StartRecovery {

// Runs once, with the application folder's lock held, before any store reads a file. False: the
// program ends.
bool run(QWidget *parent = nullptr);

} // namespace StartRecovery

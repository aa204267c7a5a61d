#pragma once

#include <QStringList>

class QString;
class QWidget;

// The start's checks of its folders and its recovery, as the teacher meets them.
//
// Before the start makes anything in the application folder (the folder itself, its lock), the
// folders the teacher's work is saved in must take new files, and their disk the names of the
// session files (FAT and exFAT refuse the ':' of their time): a Pollix that could save nothing
// there would find it out only as a run's save failed, its run lost. Where they do not, an alert
// names the folder, why and what to do, and the program ends, having changed nothing there.
//
// Then, with the folder's lock held, what the last run left unfinished is finished
// (DataRecovery), and what could not be is named in an alert with the reasons, at every start
// until it is finished. What the start found and left as it is because Pollix did not make it is
// named once, with what the teacher may do with it (ToldAtStart). Pollix goes on to its main
// window unless its data folder cannot be used: while a restore's replacement of it is still
// unfinished, or it is missing beside a restore's folders, Pollix would work in an empty folder
// in its place, which the replacement could then never be finished over. The alert then says so,
// and the program ends; the next start tries again.
namespace StartRecovery {

// Runs before anything is made in applicationFolder (PollixProgram::claimApplicationFolder).
// What a trial of an earlier start, cut short by a kill, left in the nearest folder above one not
// there yet goes first. False: the alert was shown, and the program ends.
bool checkFolders(const QString &applicationFolder, QWidget *parent = nullptr);
// What checkFolders finds cannot be written, and why, a line each ("... cannot be made, as ...
// cannot be written (Permission denied)"); none when every folder the work is saved in takes new
// files. Makes nothing. For a program that tells it without an alert (the demo maker).
QStringList unwritableFolders(const QString &applicationFolder);
// The alert of a start that can save nothing in applicationFolder; reasons: what cannot be
// written and why, a line each.
void tellUnwritable(const QString &applicationFolder, const QString &reasons, QWidget *parent = nullptr);

// Runs once, with the application folder's lock held, before any store reads a file. False: the
// program ends.
bool run(QWidget *parent = nullptr);

} // namespace StartRecovery

#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// Open and save panels, answerable by the test hook. Every panel opens in an existing folder, by
// one rule (folderFor): the folder last chosen in a panel for the same kind
// of file while the program runs, as the desktop's own panels do; before any, the caller's first
// folder, else the documents folder, else the home folder. A path that is no folder is never
// handed on, as the panel would put its last part into the name box. A save panel's name box is
// empty unless the caller proposes a name.
namespace FileDialogs {

// What a panel is for. Panels of one kind share their folder: a teacher who keeps question files
// on a stick finds Load, the question editor's Open and its Save As there.
enum class Kind {
    QuestionFiles, // question files, answer sheets, and the decks and documents a run shows
    Pictures,      // pictures put on a question page
    Sounds,        // the sounds of System Setup
    Backups,       // backups of the data, and archives a restore takes back
    RosterFiles,   // CSV files of students and teachers
    Standards,     // curriculum standards
    Sessions,      // session files exported and imported
    Gradebooks,    // gradebook backup files
    Reports,       // reports saved as PDF or CSV
};

// firstFolder: where a panel of this kind opens before one was used (when it is a folder).
QString getOpenFileName(QWidget *parent, const QString &caption, Kind kind, const QString &filter = {},
                        const QString &firstFolder = {});
// proposedName: the file name the name box proposes (none when empty).
QString getSaveFileName(QWidget *parent, const QString &caption, Kind kind, const QString &filter = {},
                        const QString &firstFolder = {}, const QString &proposedName = {});
// A save panel offering several kinds of file (name filters such as "Question File (*.px)");
// *chosen is the index of the name filter chosen, and the path carries that filter's extension.
// The panel does not ask before replacing a file: the caller does. An answer of the test hook is
// of the filter whose extension it has (the first when none matches).
QString getSaveFileNameOfKind(QWidget *parent, const QString &caption, Kind kind, const QStringList &filters,
                              int *chosen);
// A save panel for one type of file (a name filter such as "PDF (*.pdf)"), its name box
// proposing proposedName (a file name; none when empty). The path carries the type's extension.
QString getSaveFileNameOfType(QWidget *parent, const QString &caption, Kind kind, const QString &filter,
                              const QString &proposedName = {});

// The folder a panel of this kind opens in.
QString folderFor(Kind kind, const QString &firstFolder = {});
// The documents folder (the desktop's, such as ~/Documents) when it exists, else the home folder.
QString startFolder();
// Forgets the folders used, as a new start of the program does.
void forgetFolders();

} // namespace FileDialogs

#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// Open and save panels, answerable by the test hook. Every panel opens in an existing folder with
// an empty name box: the folder asked for when it exists, else startFolder(). A path that is no
// folder is never handed on, as the panel would put its last part into the name box.
namespace FileDialogs {
QString getOpenFileName(QWidget *parent, const QString &caption, const QString &dir = {}, const QString &filter = {});
QString getSaveFileName(QWidget *parent, const QString &caption, const QString &dir = {}, const QString &filter = {});
// ~/Documents when it exists, else the home folder.
QString startFolder();
// The folder a panel asked to open in `dir` opens in.
QString folderFor(const QString &dir);
// A save panel offering several kinds of file (name filters such as "Question File (*.px)");
// *kind is the index of the kind chosen, and the path carries that kind's extension. The panel
// does not ask before replacing a file: the caller does. An answer of the test hook is of the
// kind whose extension it has (the first kind when none matches).
QString getSaveFileNameOfKind(QWidget *parent, const QString &caption, const QString &dir, const QStringList &filters,
                              int *kind);
// A save panel for one kind of file (a name filter such as "PDF (*.pdf)"), its name box
// proposing proposedName (a file name; none when empty). The path carries the kind's extension.
QString getSaveFileNameOfType(QWidget *parent, const QString &caption, const QString &dir, const QString &filter,
                              const QString &proposedName = {});
} // namespace FileDialogs

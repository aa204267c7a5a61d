#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// How long the sources are: a file of more lines than a reader can hold is named, so that it is
// split along its roles before it grows further.
class SourceLength
{
public:
    // The lines of a text as an editor numbers them: a last line without its newline counts.
    static int lineCount(const QByteArray &text);
    // The source files (.cpp, .h, .c, .hpp) below the folders of root with more than maxLines
    // lines, each as "path: N lines" with the path below root, in path order; a file that cannot
    // be read is named as "path: unreadable". A folder that is missing has none.
    static QStringList filesOver(const QString &root, const QStringList &folders, int maxLines);
};

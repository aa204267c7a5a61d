#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Something the start's recovery found and leaves as it is because Pollix did not make it, or
// cannot tell that it did (a record another program wrote or a damaged disk left, one of an
// earlier version, a folder no note of Pollix's names): where it lies, and what is said of it.
// Unlike a change of Pollix's own that could not be finished, nothing of it is tried again, so
// the teacher is told of it once (the log names it at every start).
struct LeftAlone
{
    LeftAlone(const QString &path, const QString &text, const QByteArray &line = {}) : path(path), text(text), line(line) {}

    QString path;
    QString text; // one sentence, without its full stop, naming path
    // What it is known by where not by what lies at path: a line of a record that Pollix writes
    // again (a new file then) with that line unchanged. Empty: what lies at path.
    QByteArray line;
};

using LeftAloneList = QList<LeftAlone>;

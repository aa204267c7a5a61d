#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The links between the documents (README.md and docs/*.md): a relative link leads to a file or
// folder that is there and, with a '#', to a heading of that document, so that a section moved
// or renamed takes its links along.
class DocLinks
{
public:
    // The anchor GitHub gives a heading: lower case, punctuation dropped, each space a '-'.
    static QString anchorOf(const QString &heading);
    // The anchors of the headings of a Markdown text, in order; a heading's second and later
    // anchors are numbered as GitHub numbers them ("notes", "notes-1", ...). Fenced code is no heading.
    static QStringList anchors(const QByteArray &text);
    // The documents below root, as paths below root: README.md, then docs/*.md in name order.
    static QStringList documents(const QString &root);
    // Every relative link of the documents that leads to no file or heading, as
    // "document:line: target (why)", in document and line order; links in code are not links.
    static QStringList broken(const QString &root);
};

#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The list a report shows beside its pages (its students, its questions): column captions and
// one text row per entry. No captions: the report has no list.
struct ReportSideList
{
    QStringList headers;
    QList<QStringList> rows;

    bool isEmpty() const { return headers.isEmpty(); }
};

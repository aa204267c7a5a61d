#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Where the code that draws report pages (src/core/reports, src/core/gradebook) breaks, measures
// or fits text on its own instead of through the one rule of src/core/reports/ReportDrawing:
// its character-by-character helpers called, Qt's own wrapping or eliding asked for, a width
// measured with the font's metrics, or one character's width measured (a loop that breaks by
// characters). Read from the text alone, with comments and the insides of literals left out.
namespace ReportWrapping {

struct Found
{
    QString file; // below the root looked at; empty for a text
    int line = 0;
    QString what; // the token found: "getStrings", "TextWrapAnywhere", "horizontalAdvance", ...
};

// In the page-drawing folders below root, but in ReportDrawing itself, in file and line order.
QList<Found> foundBelow(const QString &root);
// In one source text, in line order.
QList<Found> foundIn(const QByteArray &text);

QString describe(const Found &found);

} // namespace ReportWrapping

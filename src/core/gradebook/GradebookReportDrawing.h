#pragma once

#include "GradebookColumn.h"

#include <QColor>
#include <QFont>
#include <QList>
#include <QString>
#include <QStringList>

class ReportPainter;

// What the gradebook reports' pages draw alike. Coordinates from the view's bottom left.

// The head's box: (1, 1, W - 2, H - boxDrop) stroked 3 wide in the frame blue and filled pale
// blue inside the stroke.
void drawGradebookHeadBox(ReportPainter &painter, double boxDrop);
// The report's name in Arial 36 at (0, H - 44) and, when there is one, the course grade's name
// in Arial 20 centred at H - 69, both orange.
void drawGradebookHeadTitle(ReportPainter &painter, const QString &title, const QString &subjectGrade = QString());
// A caption (translated) in Arial 20 ending at captionRight and its value at valueX, the value
// shortened with "..." to maxWidth when one is given.
void drawGradebookHeadField(ReportPainter &painter, const char *caption, const QString &value, double captionRight,
                            double valueX, double y, double maxWidth = 0);
// Two such fields side by side: the left value stops short of the right caption, the right value
// of the head's edge.
void drawGradebookHeadFieldPair(ReportPainter &painter, const char *leftCaption, const QString &leftValue,
                                const char *rightCaption, const QString &rightValue, double y);

// The column captions on yellow cells 24 high at y, in Arial 18.
void drawGradebookColumnHeads(ReportPainter &painter, const QList<GradebookColumn> &columns, double y);
// One row: pale blue cells 24 high at y and the values (one per column) in Arial 18.
void drawGradebookColumnRow(ReportPainter &painter, const QList<GradebookColumn> &columns, const QStringList &values,
                            double y);
// The teacher's and the parents' signature cells (55 high) standing on y across the view.
void drawGradebookSignature(ReportPainter &painter, double y);

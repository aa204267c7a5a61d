#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>

class ReportPainter;

// Text measuring and the framed cell that every report page uses. Widths are in page units.

// The lines of every text a report wraps (question texts, options, answers, names, titles, notes)
// at width, by one rule: the line breaks typed in the text stay (a carriage return, a line feed
// and the two together are each one break; breaks at the very end start no line); between them
// each line takes as many whole words as fit, measured as it is drawn (never wider than width),
// and the blanks at a break go. Only a word wider than width alone is broken between characters
// (getStringsWithin's breaks), its last piece taking the words after it. A typed line no wider
// than width is one line, as it is; an empty text is one empty line.
QStringList getWordWrappedStrings(const QString &text, double width, const QFont &font);
// The same lines, at most maxLines of them (at least one): where the text needs more, the last
// line kept holds the rest of the text on one line (each break a blank), shortened with "...".
QStringList getWordWrappedStrings(const QString &text, double width, const QFont &font, int maxLines);

// The pieces of a word no line holds, broken between characters, for getWordWrappedStrings:
// reports never wrap with these themselves (a check of the sources holds them to it).
// getStrings: a line feed counts as a blank; each line ends before the character at which the
// running width (each character measured alone, the sum cut to a whole number after every
// addition) reaches width. Every character lands in exactly one line, in order. A text no wider
// than width is one line; an empty text is one empty line.
QStringList getStrings(const QString &text, double width, const QFont &font);
// getStrings' lines, none wider than width: as getStrings adds each character's width cut to a
// whole number, a long line can come out some points wider than width; the characters that
// overflow move on to the next line.
QStringList getStringsWithin(const QString &text, double width, const QFont &font);

// text when it fits in width; else its start followed by "...", no wider than width ("..." alone
// when not even that leaves room for a character).
QString getStringWithSuspensionPoint(const QString &text, double width, const QFont &font);
// text when it has at most limit characters, else its first keep characters and "...".
QString shortenedText(const QString &text, int limit, int keep);

// A framed cell: the rectangle stroked 3 wide in the frame blue, then filled with fill inside,
// over the inner half of the stroke. Coordinates from the view's bottom left.
void drawRectWithFillColor(ReportPainter &painter, double x, double y, double width, double height, const QColor &fill);

// The width of text in font, exact, and cut to a whole number as the page layouts use it.
double textWidthF(const QString &text, const QFont &font);
int textWidth(const QString &text, const QFont &font);

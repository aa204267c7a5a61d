#pragma once

#include "SingleColumnString.h"

#include <QFont>
#include <QList>
#include <QString>
#include <QStringList>

class ReportPainter;

// The lines of a question as the reports that print question papers code them (Question Report,
// Study Guide, Student Response Result): SingleColumnString rows whose num tells the kind.
//   - question text, line k: num 2001 + k, nMessageType 0;
//   - option j (0 for A up to 9 for J), line k: num 1001 + 100 j + k, nMessageType j + 1;
//   - a marker instead of options (cloze test, short answer): num 10000.
// Numbers from 1 to 1000 and from 10001 up are the reports' own lines (answers, headings).
namespace ReportQuestionLines {

constexpr int kTextBase = 2001;
constexpr int kOptionBase = 1001;
constexpr int kMarker = 10000;
// Options A to J.
constexpr int kMaxOptions = 10;

// The text wrapped at width by the reports' one rule, getWordWrappedStrings (an empty text is one
// empty line).
QList<SingleColumnString> textLines(const QString &text, double width, const QFont &font);
// Each option (at most ten) wrapped at width.
QList<SingleColumnString> optionLines(const QStringList &options, double width, const QFont &font);
SingleColumnString line(int num, const QString &text, int messageType = 0);

bool isTextLine(const SingleColumnString &row);
bool isOptionLine(const SingleColumnString &row);
// The first line of its option, which carries the letter.
bool startsOption(const SingleColumnString &row);
// "A." for option A's lines.
QString letterLabel(const SingleColumnString &row);

// An option line as a CSV cell: with its letter ("A.text") when its kind differs from the line
// before it (the option's first line), else the text alone.
QString csvOptionText(const SingleColumnString &row, int previousMessageType);

// An option line drawn at y: its letter at letterX on the option's first line (when letterX is
// at least 0), the text at textX shortened to the view's width less 2 and the letter's room, and
// the whole line shown where the pointer rests on the row from tipX.
void drawOptionLine(ReportPainter &painter, const SingleColumnString &row, double y, double letterX, double textX,
                    double tipX, const QFont &font);
// A line of question text at (x, y) shortened to the view's width less 2, whole under the pointer.
void drawTextLine(ReportPainter &painter, const QString &text, double x, double y, double tipX, const QFont &font);

} // namespace ReportQuestionLines

#pragma once

#include <QChar>
#include <QString>
#include <QStringList>

// How a question's text is cut for the keypads' screens: lines of at most 21 characters, two
// lines to a frame text, a line end marked with 7F between them. Pure functions of the text.
namespace QuestionText {

inline constexpr int kLineLength = 21;
inline constexpr QChar kLineEnd = QChar(0x7F);

// "!", ",", ".", "?" and blank (by the low byte of the character) end a word.
bool isSeparateChar(QChar c);
// Lines of at most 21 characters: a longer text breaks after 20 characters, with a blank when a
// word ends there and "-" when a word goes on; the next line starts at the 21st character.
QStringList splitIntoLines(const QString &text);
// The last component of a "/"-separated path, cut before its first ".".
QString titleFromPath(const QString &path);

// Frame texts of a question: the title's lines and, for questions with options, each option as
// "A." plus its text; at most 24 lines of a choice question fit, so each option then keeps its
// share. Texts are pairs of lines joined by the line end; a choice question keeps 11 of them.
// options holds the texts of the options the question has, "A" first.
QStringList frameTexts(const QString &title, int questionType, const QStringList &options);
// True for the question types whose frames carry the title only (cloze and short answer).
bool isTextOnlyType(int questionType);

} // namespace QuestionText

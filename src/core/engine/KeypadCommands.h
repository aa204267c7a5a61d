#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// What the keypads' commands carry, read from their data bytes. Keypad bytes are untrusted: every
// function takes any length of data and reads only within it.
namespace KeypadCommands {

// Keypad bytes as UTF-8 text: empty for no bytes, a null string when they are not valid UTF-8.
QString text(const QByteArray &bytes);

// The text of a Brevel answer frame's data: from data byte 6 on. Null when there is none: fewer
// than 6 bytes, the keypad's previous or next key (data byte 2 is 0 or 1), or not UTF-8.
QString brevelAnswerText(const QByteArray &data);

// An answer as it is stored for a question type: single and multiple answers upper-cased (the
// Corvel and Dravel keypads; Brevel sends its letters as they are meant), multiple answers
// sorted, true or false as "True" or "False".
QString answerForType(const QString &answer, int questionType, bool upperCase);

// A student's login: the ID from idStart up to the first zero byte, the name after that zero
// without the data's last byte, "Null" when there is no zero. None when the zero comes before
// idStart. Either text is null when its bytes are not valid UTF-8.
struct Login
{
    QString studentID;
    QString name;
};
std::optional<Login> login(const QByteArray &data, int idStart);

// A free-style question set from the teacher keypad: its keypad type, option count and answer
// (one character a byte). The question type: keypad type 2 is cloze on Corvel and Dravel when the
// answer has more than one character, else true or false ("T" and "F" become "True" and
// "False"); keypad type 4 on Brevel is 10; any other keypad type is taken as it is. None when
// the data has no option count.
struct FreeStyleQuestion
{
    int questionType = 0;
    int optionCount = 0;
    QString answer;
};
std::optional<FreeStyleQuestion> freeStyleQuestion(const QByteArray &data, int deviceType);

} // namespace KeypadCommands

#pragma once

#include "core/engine/ActivityFrames.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>

// The frames of the transfers between the program and the keypads, one function each: the
// question set going out to every keypad (F8 to 00 C0), the answer upload of homework and paper
// quiz (FB to one keypad), the Brevel paper quiz's position reply (FC) and the acknowledgement of
// a session recorded on the teacher keypad (FB). Built from the values given and nothing else;
// each ends with its check byte, and a frame the builder refuses comes back empty.
namespace TransferFrames {

// --- The question set to every keypad.
// The test title as the keypads show it: "NULL" when empty or when its first character is no
// printable one; longer than the model's limit + 2 (8 on Corvel, 12 otherwise): the first limit
// characters and "..".
QString examTitle(const QString &title, int deviceType);
// F8 00 C0 L, 05, question count (at most 99), test ID mod 100, div 100, title, EE. Empty when
// the set has no question.
QByteArray examInfo(int questionCount, int testID, const QString &title, int deviceType);
// Frame text n (1-based) of a question: F8 00 C0 2F, 01, text count, n, question number, the low
// byte of the question ID, two lines of 21 bytes (printable ASCII kept, curly apostrophes made
// straight, every other character, the blank too, as 00). Empty when n is outside the texts.
QByteArray questionText(const QStringList &texts, int n, int questionNo, int questionID);
// The 42 text bytes of one frame text.
QByteArray questionTextBytes(const QString &text);
QByteArray endOfSet();  // F8 00 C0 01 06 3F
QByteArray endOfPass(); // F8 00 C0 01 07 3E
// Asks keypad k which questions it lacks: F8 00 C0 06, 03, k (2), the question sent last, the
// run's ID (2).
QByteArray poll(int keypad, int questionNo, int quizID);

// --- The answer upload of homework and paper quiz.
inline constexpr int kReceiptBytes = 13; // a bit per question, 1 to 99 (and 5 bits to spare)
// FB, address, 01, E0: "send your answers".
QByteArray signalToSend(int deviceNo);
// FB, address, 0F, E4, 01 when every answer arrived else 00, the 13 bytes of the bitmap.
QByteArray receipt(int deviceNo, bool complete, const QByteArray &bitmap);

// --- Brevel paper quiz: FC, address, 05, F5 00, r0 r1, the keypad's question.
QByteArray positionReply(ActivityFrames::KeypadAddress keypad, uint8_t r0, uint8_t r1, int questionNo);

// --- A session recorded on the teacher keypad: FB, address, 02, state, revision.
QByteArray sessionAck(ActivityFrames::KeypadAddress keypad, uint8_t state, uint8_t revision);

} // namespace TransferFrames

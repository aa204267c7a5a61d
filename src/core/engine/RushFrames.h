#pragma once

#include "core/engine/ActivityFrames.h"

#include <QByteArray>
#include <QString>

// The frames of a rush question, built from the values given and nothing else (so each can be
// checked byte for byte); an empty frame was refused by the builder and must not be sent.
namespace RushFrames {

// Corvel and Dravel: the winner may answer now. F7, the winner's address, 03, 00 00 00, check.
QByteArray toAnswer(ActivityFrames::KeypadAddress winner);

// Brevel: the keypad that buzzed has won. F7, its address, 04, question number, question kind,
// option count, F5, check.
struct Succeed
{
    int questionNo = 0;
    int questionType = 0;
    int optionCount = 0;
    bool screenQuestion = false; // a free-style question set on the screen: any answer of ten options
};
QByteArray succeed(ActivityFrames::KeypadAddress winner, const Succeed &question);

// Corvel and Dravel: the rush's outcome for the teacher keypad. FD, address, L, 03, "T" or "F",
// 00, logged-in count, the winner's name (name rule), EE, the winner's answer, EE, the right
// answer, EE, check.
struct Result
{
    int loggedIn = 0;
    QString winnerName;
    QString winnerAnswer;
    QString correctAnswer;
};
QByteArray result(ActivityFrames::KeypadAddress teacher, const Result &result);

} // namespace RushFrames

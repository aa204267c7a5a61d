#pragma once

#include "core/engine/Corvel_Normal.h"
#include "core/engine/VoteResult.h"

// The vote on a Corvel receiver (activity number 7): choices are taken as in the normal quiz, and
// the teacher keypad's result query gets the vote's counts.
class Corvel_Vote : public Corvel_Normal
{
    Q_OBJECT
public:
    explicit Corvel_Vote(QObject *parent = nullptr) : Corvel_Normal(7, AskedRule::MoveToEnd, parent) {}

protected:
    void sendResultOfClass() override { sendFrame(VoteResult::frame(frameAddress(), qcmObject, m_nQuestionNo)); }
};

#pragma once

#include "core/engine/Dravel_Normal.h"
#include "core/engine/VoteResult.h"

// The vote on a Dravel receiver (activity number 7): choices are taken as in the normal quiz, and
// the teacher keypad's result query gets the vote's counts.
class Dravel_Vote : public Dravel_Normal
{
    Q_OBJECT
public:
    explicit Dravel_Vote(QObject *parent = nullptr) : Dravel_Normal(7, AskedRule::MoveToEnd, parent) {}

protected:
    void sendResultOfClass() override { sendFrame(VoteResult::frame(frameAddress(), qcmObject, m_nQuestionNo)); }
};

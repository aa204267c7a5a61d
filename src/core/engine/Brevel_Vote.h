#pragma once

#include "core/engine/Brevel_Normal.h"
#include "core/engine/VoteResult.h"

// The vote on a Brevel receiver (activity number 7): a choice is kept as it was keyed (only true
// or false is mapped), and the teacher keypad's result query gets the vote's counts.
class Brevel_Vote : public Brevel_Normal
{
    Q_OBJECT
public:
    explicit Brevel_Vote(QObject *parent = nullptr) : Brevel_Normal(7, AskedRule::MoveToEnd, true, parent) {}

protected:
    void RX_StudentNormalAnswer() override
    {
        const QString choice = brevelAnswer(Reading::AsChoice);
        if (!choice.isNull())
            storeAnswer(m_frameToHandle.deviceID(), choice);
    }
    void sendResultOfClass() override { sendFrame(VoteResult::frame(frameAddress(), qcmObject, m_nQuestionNo)); }
};

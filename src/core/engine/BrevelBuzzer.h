#pragma once

#include "core/engine/Brevel_Normal.h"
#include "core/engine/RushRound.h"

// A Brevel activity whose questions can be rushed (Brevel_Rush, and the rush questions of
// Brevel_Multiple): a keypad buzzes with a signal frame whose first data byte is 40, the first
// buzz of a running question wins, and the winner is told three times, 0.7 s apart, from timer
// steps. Only the winner's answer counts.
class BrevelBuzzer : public Brevel_Normal
{
    Q_OBJECT
public:
    int nRushDeviceNo() const { return m_round.nRushDeviceNo(); }

protected:
    BrevelBuzzer(int activity, AskedRule rule, QObject *parent) : Brevel_Normal(activity, rule, true, parent) {}

    // The buzz in the frame being handled.
    void rushSignal();
    // An answer frame during a rush question.
    void rushAnswer();
    void sendRushSucceed(ActivityFrames::KeypadAddress winner);

    RushRound m_round;
};

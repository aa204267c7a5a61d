#pragma once

#include "core/engine/Brevel_Normal.h"

// The roll call on a Brevel receiver (activity number 8): a keypad that sends anything during the
// roll call (a signal, an answer, a key) is present. Presence is the answer "1" to the roll
// call's question; a repeated roll call is listed again among the asked questions.
class Brevel_RollCall : public Brevel_Normal
{
    Q_OBJECT
public:
    explicit Brevel_RollCall(QObject *parent = nullptr) : Brevel_Normal(8, AskedRule::Append, true, parent) {}

    void modeStart(int n) override;

protected:
    void RX_StudentSignal() override;
    void RX_StudentNormalAnswer() override { markPresent(m_frameToHandle.deviceID()); }
};

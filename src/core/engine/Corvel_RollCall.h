#pragma once

#include "core/engine/Corvel_Normal.h"

// The roll call on a Corvel receiver (activity number 8): a keypad that sends anything during the
// roll call (a signal, an answer, a key) is present. Presence is the answer "1" to the roll
// call's question; a repeated roll call is listed again among the asked questions.
class Corvel_RollCall : public Corvel_Normal
{
    Q_OBJECT
public:
    explicit Corvel_RollCall(QObject *parent = nullptr) : Corvel_Normal(8, AskedRule::Append, parent) {}

    void modeStart(int n) override;
    void handleStudentCommandArvel() override;

protected:
    void RX_StudentSignal() override;
    void RX_StudentNormalAnswer() override { markPresent(m_frameToHandle.deviceID()); }
};

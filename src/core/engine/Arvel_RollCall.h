#pragma once

#include "core/engine/Arvel_Normal.h"

// The roll call on an Arvel receiver (activity number 8): any key says present (the answer "1",
// without a time); a keypad counts once however often it presses.
class Arvel_RollCall : public Arvel_Normal
{
    Q_OBJECT
public:
    explicit Arvel_RollCall(QObject *parent = nullptr) : Arvel_Normal(8, false, parent) {}

    void modeStart(int n) override;
    void handleStudentCommandArvel() override
    {
        if (!keyText().isEmpty())
            markPresent(m_frameToHandle.deviceID());
    }
};

#pragma once

#include "core/engine/BrevelBuzzer.h"

// The rush quiz on a Brevel receiver (activity number 3). The teacher keypad's result query gets
// the class result as in the normal quiz.
class Brevel_Rush : public BrevelBuzzer
{
    Q_OBJECT
public:
    explicit Brevel_Rush(QObject *parent = nullptr) : BrevelBuzzer(3, AskedRule::MoveToEnd, parent) {}

    void modeStart(int n) override;
    void modeStop() override;

protected:
    void RX_StudentSignal() override { rushSignal(); }
    void RX_StudentNormalAnswer() override { rushAnswer(); }
};

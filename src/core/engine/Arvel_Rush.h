#pragma once

#include "core/engine/Arvel_Normal.h"
#include "core/engine/RushRound.h"

// The rush quiz on an Arvel receiver (activity number 3): the first keypad to press "G" wins and
// is the only keypad heard until the question ends. Its "G" again gives it the rush time back;
// any other key is its answer, which may change until the question ends. The answered count is
// not kept.
class Arvel_Rush : public Arvel_Normal
{
    Q_OBJECT
public:
    explicit Arvel_Rush(QObject *parent = nullptr) : Arvel_Normal(3, true, parent) {}

    void modeStart(int n) override;
    void modeStop() override;
    void handleStudentCommandArvel() override;

    int nRushDeviceNo() const { return m_round.nRushDeviceNo(); }

private:
    RushRound m_round;
};

#pragma once

#include "core/engine/QuizMode.h"
#include "core/engine/RushRound.h"

// The rush quiz of the Corvel and Dravel receivers (Corvel_Rush, Dravel_Rush): the first keypad
// to signal (FB) wins and is told so with a permission frame, which it gets again when it signals
// again; only its answer counts. The teacher keypad's result query gets the rush's outcome.
class LargeFamilyRush : public QuizMode
{
    Q_OBJECT
public:
    void modeStart(int n) override;
    void modeStop() override;
    int nRushDeviceNo() const { return m_round.nRushDeviceNo(); }

protected:
    LargeFamilyRush(bool winnerShownAtBuzz, QObject *parent);
    void RX_StudentSignal() override;
    void RX_StudentNormalAnswer() override;
    void sendResultOfClass() override;
    // Where the outcome goes: the teacher keypad of the run, or the keypad that asked.
    virtual ActivityFrames::KeypadAddress resultAddress() const = 0;

    void sendStudentToAnswer(int d);

private:
    RushRound m_round;
    // The winner becomes the run's rush student at the buzz (Dravel) or at its answer (Corvel).
    bool m_winnerShownAtBuzz;
};

#pragma once

#include "core/engine/MultipleHandlers.h"
#include "core/engine/QuizMode.h"
#include "core/engine/RushRound.h"

#include <memory>

// Multiple mode on the Corvel and Dravel receivers (Corvel_Multiple, Dravel_Multiple): each
// question's action mode picks one of three handlers of the model (normal, rush, elimination),
// which starts and stops the question; the answers are taken here. On a rush question the first
// answer frame is the buzz: its keypad wins and is given the word, and its next answer counts.
class LargeFamilyMultiple : public QuizMode
{
    Q_OBJECT
public:
    ~LargeFamilyMultiple() override;

    void modeStart(int n) override;
    void modeStop() override;
    void setQuizStateScreenTimer(int seconds) override;
    void handleStudentCommandArvel() override;

    QuizMode *modeObject() const { return m_handlers.current(); }
    int nRushDeviceNo() const { return m_round.nRushDeviceNo(); }

protected:
    LargeFamilyMultiple(std::unique_ptr<QuizMode> normalQuiz, std::unique_ptr<QuizMode> rush,
                        std::unique_ptr<QuizMode> elimination, QObject *parent);
    void RX_StudentNormalAnswer() override;

private:
    void rushAnswer();

    MultipleHandlers m_handlers;
    RushRound m_round;
};

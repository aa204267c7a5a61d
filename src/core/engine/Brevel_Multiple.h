#pragma once

#include "core/engine/BrevelBuzzer.h"
#include "core/engine/MultipleHandlers.h"

// The multiple mode on a Brevel receiver (activity number 5): each question's action mode picks
// Brevel's normal, rush or elimination handler, which starts and stops the question; the answers
// and buzzes are taken here. A buzz counts only on a rush question: on the others it would make a
// winner and mark the question's answers as a rush.
class Brevel_Multiple : public BrevelBuzzer
{
    Q_OBJECT
public:
    explicit Brevel_Multiple(QObject *parent = nullptr);
    ~Brevel_Multiple() override;

    void modeStart(int n) override;
    void modeStop() override;
    void setQuizStateScreenTimer(int seconds) override;

    QuizMode *modeObject() const { return m_handlers.current(); }

protected:
    void RX_StudentSignal() override;
    void RX_StudentNormalAnswer() override;

private:
    MultipleHandlers m_handlers;
};

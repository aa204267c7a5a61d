#pragma once

#include "core/engine/QuizMode.h"

#include <QHash>

// The paper quiz on a Brevel receiver (activity number 1): the whole set at once. Each keypad
// has its own current question, moved by its next and previous keys (wrapping at both ends);
// the host tells the keypad where it stands and keeps each answer under the keypad's question.
class Brevel_PaperQuiz : public QuizMode
{
    Q_OBJECT
public:
    explicit Brevel_PaperQuiz(QObject *parent = nullptr);

    void modeStart(int n) override;
    void modeStop() override {}

    int nTimeCount() const { return m_nTimeCount; }
    // The question keypad d is on; 0 when it has none.
    int currentQuestionOf(int d) const { return mapStudentQuestionNo.value(d, 0); }

protected:
    void RX_StudentNormalAnswer() override;

private:
    void navigate();
    void answer();
    void PostStudentNextPre(int deviceNo, int questionNo, bool answered);

    QHash<int, int> mapStudentQuestionNo;
    int m_nTimeCount = 0;
    int m_nQuestionSum = 0;
};

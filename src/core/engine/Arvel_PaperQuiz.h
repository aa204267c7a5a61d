#pragma once

#include "core/engine/QuizMode.h"

#include <QHash>

// Paper quiz on an Arvel receiver: the whole set at once; each keypad moves through the
// questions on its own with "G" (previous) and "F" (next), wrapping at both ends, and keys its
// answer to the question it is on.
class Arvel_PaperQuiz : public QuizMode
{
    Q_OBJECT
public:
    explicit Arvel_PaperQuiz(QObject *parent = nullptr);

    void modeStart(int n) override;
    void modeStop() override {}
    void handleStudentCommandArvel() override;

    int nTimeCount() const { return m_nTimeCount; }
    // The question keypad k is on; 0 when it has none.
    int currentQuestionOf(int k) const { return mapStudentQuestionNo.value(k, 0); }

private:
    void PostStudentNextPre(int deviceNo, int questionNo, int state);

    QHash<int, int> mapStudentQuestionNo;
    int m_nTimeCount = 0;
    int m_nQuestionSum = 0;
};

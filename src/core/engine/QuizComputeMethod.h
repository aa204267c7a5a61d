#pragma once

#include <QString>

class QuizData;
class QuizParticipantData;
class QuizQuestions;

// Per-question figures from the run's shared data: option counts, right answers, no answers, as
// counts and whole percentages (fraction dropped). q is a question number, k an option (1 = A).
class QuizComputeMethod
{
public:
    QuizComputeMethod();

    bool getQuestionIsTest(int q) const;
    int getQuNoByPageNo(int q) const;
    int getNumOfOption(int k, int q) const;
    int getRateOption(int k, int q) const;
    int getNumOfAnswerCorrect(int q) const;
    int getRateOfAnswerCorrect(int q) const;
    int getNumOfNoAnswer(int q) const;
    int getRateOfNoAnswer(int q) const;

    // The answer text that stands for option k of question q: "True"/"False" or "A" to "J".
    QString optionText(int k, int q) const;

private:
    QuizParticipantData *m_qpd;
    QuizData *m_qd;
    QuizQuestions *m_qq;
};

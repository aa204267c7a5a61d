#pragma once

#include <memory>

class QuizMode;
class RushRound;

// The three handlers of a multiple-mode run (normal, rush, elimination, of one model) and the
// one in charge of the current question, picked by the question's action mode. The handler
// starts and stops its question; the multiple-mode object takes the answers.
class MultipleHandlers
{
public:
    MultipleHandlers(std::unique_ptr<QuizMode> normalQuiz, std::unique_ptr<QuizMode> rush,
                     std::unique_ptr<QuizMode> elimination);
    ~MultipleHandlers();

    // Question q starts: its handler becomes current (rush for action mode 3, elimination for 4,
    // normal for the others), learns the run's receiver and participation, and starts it. A rush
    // question's record is made first with nobody's right to answer, and the multiple-mode
    // object's own rush opens.
    void start(int q, int deviceType, int participationMode, RushRound &rushRound);
    // The question ends: the rush closes, and the handler stops it (an elimination question
    // decides who is out).
    void stop(RushRound &rushRound);
    QuizMode *current() const { return m_modeObject; }
    bool rushQuestion() const { return m_modeObject && m_modeObject == rush.get(); }
    bool eliminationQuestion() const { return m_modeObject && m_modeObject == elimination.get(); }

    void setQuizStateScreenTimer(int seconds);

private:
    std::unique_ptr<QuizMode> normalQuiz;
    std::unique_ptr<QuizMode> rush;
    std::unique_ptr<QuizMode> elimination;
    QuizMode *m_modeObject = nullptr;
};

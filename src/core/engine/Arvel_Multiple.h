#pragma once

#include "core/engine/QuizMode.h"

#include <memory>

class Arvel_Elimination;
class Arvel_Normal;
class Arvel_Rush;

// Multiple mode on an Arvel receiver: each question's action mode picks the handler (normal,
// rush or elimination), which the calls of the question are forwarded to.
class Arvel_Multiple : public QuizMode
{
    Q_OBJECT
public:
    explicit Arvel_Multiple(QObject *parent = nullptr);
    ~Arvel_Multiple() override;

    void modeStart(int n) override;
    void modeStop() override;
    using QuizMode::setFrameToHandle;
    void setFrameToHandle(const ReceivedFrame &frame) override;
    void handleStudentCommandArvel() override;
    void setQuizStateScreenTimer(int seconds) override;

    QuizMode *modeObject() const { return m_modeObject; }

private:
    std::unique_ptr<Arvel_Normal> normalQuiz;
    std::unique_ptr<Arvel_Rush> rush;
    std::unique_ptr<Arvel_Elimination> elimination;
    QuizMode *m_modeObject = nullptr;
};

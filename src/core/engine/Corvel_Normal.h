#pragma once

#include "core/engine/QuizMode.h"

// Normal quiz on a Corvel receiver: students log in, answers come as long frames decoded by the
// base class; a three-byte key frame is recorded as a one-character answer. The activities of
// this model that have no behaviour of their own yet derive from it with their own number.
class Corvel_Normal : public QuizMode
{
    Q_OBJECT
public:
    explicit Corvel_Normal(QObject *parent = nullptr) : Corvel_Normal(0, AskedRule::KeepPlace, parent) {}

    void modeStart(int n) override;
    void modeStop() override {}
    void handleStudentCommandArvel() override;

protected:
    Corvel_Normal(int activity, AskedRule rule, QObject *parent);

private:
    AskedRule m_askedRule;
};

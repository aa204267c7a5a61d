#pragma once

#include "core/engine/QuizMode.h"

// Normal quiz on a Brevel receiver. Brevel keypads do not log in: the whole class is the
// logged-in list, and a keypad's address is its student's device number. The activities of this
// model that have no behaviour of their own yet derive from it with their own number.
class Brevel_Normal : public QuizMode
{
    Q_OBJECT
public:
    explicit Brevel_Normal(QObject *parent = nullptr) : Brevel_Normal(0, AskedRule::MoveToEnd, true, parent) {}

    void modeStart(int n) override;
    void modeStop() override {}

protected:
    Brevel_Normal(int activity, AskedRule rule, bool emptyLoginListFirst, QObject *parent);
    void RX_StudentNormalAnswer() override;

private:
    AskedRule m_askedRule;
};

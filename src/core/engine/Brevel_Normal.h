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

    // How a Brevel answer frame's text is taken for the current question.
    enum class Reading {
        AsQuiz,     // multiple answers sorted, true or false mapped, letters as sent
        AsRush,     // also upper-cased
        AsChoice,   // only true or false mapped: a vote's or a survey's choice stays as it was keyed
    };
    // The answer of the frame being handled (text from data byte 6), or a null string when the
    // frame carries none: too short, the previous or next key, or not UTF-8.
    QString brevelAnswer(Reading reading) const;
    // The frame is the keypad's previous or next key (data byte 2 is 0 or 1).
    bool isNavigationKey() const;

private:
    AskedRule m_askedRule;
};

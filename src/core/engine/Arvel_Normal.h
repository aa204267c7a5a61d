#pragma once

#include "core/engine/QuizMode.h"

// Normal quiz on an Arvel receiver: keypads do not log in (the whole class is the logged-in list)
// and send one three-byte frame per key; the key character is the answer. The other Arvel
// activities derive from it with their own number.
class Arvel_Normal : public QuizMode
{
    Q_OBJECT
public:
    explicit Arvel_Normal(QObject *parent = nullptr) : Arvel_Normal(0, true, parent) {}

    void modeStart(int n) override;
    void modeStop() override {}
    void handleStudentCommandArvel() override;

protected:
    Arvel_Normal(int activity, bool emptyLoginListFirst, QObject *parent);
    // Quick grouping and hand raise on a Brevel receiver: its answer frames carry their text from
    // data byte 6, not from byte 2 as the other long frames do.
    void RX_StudentNormalAnswer() override;
    // The key of the frame being handled as answer text (with the true-or-false mapping for
    // question q); empty when the frame is no student key.
    QString keyAnswer(int q) const;
    // The key as it was pressed; empty when the frame is no student key.
    QString keyText() const;
};

#pragma once

#include "core/engine/Corvel_Normal.h"

// The elimination quiz on a Corvel receiver (activity number 4): answers are taken as in the normal
// quiz from keypads still in; who drops out is decided when the question ends. Three-byte keys
// are not heard.
class Corvel_Elimination : public Corvel_Normal
{
    Q_OBJECT
public:
    explicit Corvel_Elimination(QObject *parent = nullptr) : Corvel_Normal(4, AskedRule::KeepPlace, parent) {}

    void modeStart(int n) override;
    void modeStop() override;
    void handleStudentCommandArvel() override {}

protected:
    void RX_StudentNormalAnswer() override;
};

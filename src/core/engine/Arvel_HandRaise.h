#pragma once

#include "core/engine/Arvel_Normal.h"

// The hand raise (activity number 14), on every receiver: on Arvel any key raises the keypad's
// hand; nothing is kept, the answered count stays, and every press is announced. The teacher
// picks whom to ask on the grid.
class Arvel_HandRaise : public Arvel_Normal
{
    Q_OBJECT
public:
    explicit Arvel_HandRaise(QObject *parent = nullptr) : Arvel_Normal(14, false, parent) {}

    void modeStart(int n) override;
    void handleStudentCommandArvel() override;
};

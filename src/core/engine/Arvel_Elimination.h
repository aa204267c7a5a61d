#pragma once

#include "core/engine/Arvel_Normal.h"

// The elimination quiz on an Arvel receiver (activity number 4): keys are taken as in the normal
// quiz from keypads still in; who drops out is decided when the question ends.
class Arvel_Elimination : public Arvel_Normal
{
    Q_OBJECT
public:
    explicit Arvel_Elimination(QObject *parent = nullptr) : Arvel_Normal(4, true, parent) {}

    void modeStart(int n) override;
    void modeStop() override;
    void handleStudentCommandArvel() override;
};

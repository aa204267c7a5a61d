#pragma once

#include "core/engine/Brevel_Normal.h"

// The elimination quiz on a Brevel receiver (activity number 4): answers are read as in the
// normal quiz; keypads that are out are not heard; who drops out is decided when the question ends.
class Brevel_Elimination : public Brevel_Normal
{
    Q_OBJECT
public:
    explicit Brevel_Elimination(QObject *parent = nullptr) : Brevel_Normal(4, AskedRule::KeepPlace, true, parent) {}

    void modeStart(int n) override;
    void modeStop() override;

protected:
    void RX_StudentNormalAnswer() override;
};

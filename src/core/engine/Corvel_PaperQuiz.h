#pragma once

#include "core/engine/Corvel_Normal.h"

// The paper quiz on a Corvel receiver (activity number 1); until its own frames are built it runs
// as the normal quiz does.
class Corvel_PaperQuiz : public Corvel_Normal
{
    Q_OBJECT
public:
    explicit Corvel_PaperQuiz(QObject *parent = nullptr) : Corvel_Normal(1, AskedRule::KeepPlace, parent) {}
};

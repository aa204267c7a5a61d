#pragma once

#include "core/engine/Dravel_Normal.h"

// The paper quiz on a Dravel receiver (activity number 1); until its own frames are built it runs
// as the normal quiz does.
class Dravel_PaperQuiz : public Dravel_Normal
{
    Q_OBJECT
public:
    explicit Dravel_PaperQuiz(QObject *parent = nullptr) : Dravel_Normal(1, AskedRule::KeepPlace, parent) {}
};

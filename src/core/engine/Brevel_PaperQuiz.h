#pragma once

#include "core/engine/Brevel_Normal.h"

// The paper quiz on a Brevel receiver (activity number 1); until its own frames are built it
// runs as the normal quiz does.
class Brevel_PaperQuiz : public Brevel_Normal
{
    Q_OBJECT
public:
    explicit Brevel_PaperQuiz(QObject *parent = nullptr) : Brevel_Normal(1, AskedRule::KeepPlace, false, parent) {}
};

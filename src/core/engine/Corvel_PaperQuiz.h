#pragma once

#include "core/engine/AnswerUploadMode.h"

// The paper quiz on a Corvel receiver (activity number 1): the keypads hold the whole set and upload their
// answers at the end.
class Corvel_PaperQuiz : public AnswerUploadMode
{
    Q_OBJECT
public:
    explicit Corvel_PaperQuiz(QObject *parent = nullptr) : AnswerUploadMode(1, false, parent) {}
};

#pragma once

#include "core/engine/AnswerUploadMode.h"

// The paper quiz on a Dravel receiver (activity number 1): the keypads hold the whole set and upload their
// answers at the end.
class Dravel_PaperQuiz : public AnswerUploadMode
{
    Q_OBJECT
public:
    explicit Dravel_PaperQuiz(QObject *parent = nullptr) : AnswerUploadMode(1, true, parent) {}
};

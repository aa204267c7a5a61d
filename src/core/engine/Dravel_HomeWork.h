#pragma once

#include "core/engine/AnswerUploadMode.h"

// The homework on a Dravel receiver (activity number 2): the keypads hold the whole set and upload their
// answers at the end.
class Dravel_HomeWork : public AnswerUploadMode
{
    Q_OBJECT
public:
    explicit Dravel_HomeWork(QObject *parent = nullptr) : AnswerUploadMode(2, true, parent) {}
};

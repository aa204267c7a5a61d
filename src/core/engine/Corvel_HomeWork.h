#pragma once

#include "core/engine/AnswerUploadMode.h"

// The homework on a Corvel receiver (activity number 2): the keypads hold the whole set and upload their
// answers at the end.
class Corvel_HomeWork : public AnswerUploadMode
{
    Q_OBJECT
public:
    explicit Corvel_HomeWork(QObject *parent = nullptr) : AnswerUploadMode(2, false, parent) {}
};

#pragma once

#include "core/engine/Corvel_Normal.h"

// The quick grouping on a Corvel receiver (it stores no activity number). Questions start as in
// the vote; a keypad's key is its group choice: kept as a one-character answer with the seconds
// it took, and announced with "STUDENTQUICKGROUPING".
class Corvel_QuickGroup : public Corvel_Normal
{
    Q_OBJECT
public:
    explicit Corvel_QuickGroup(QObject *parent = nullptr) : Corvel_Normal(0, AskedRule::MoveToEnd, parent) {}

    void handleStudentCommandArvel() override;
};

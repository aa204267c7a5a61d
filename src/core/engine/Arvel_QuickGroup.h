#pragma once

#include "core/engine/Arvel_Normal.h"

// The quick grouping (activity number 13), on every receiver: on Arvel a key is the group the
// keypad chooses ("A" group 1 .. "G" group 7), kept with its time and announced with
// "STUDENTQUICKGROUPING" and the number of keypads that have chosen; a keypad may change its
// group without counting again. The large family's long frames are taken as answers by the base.
class Arvel_QuickGroup : public Arvel_Normal
{
    Q_OBJECT
public:
    explicit Arvel_QuickGroup(QObject *parent = nullptr) : Arvel_Normal(13, false, parent) {}

    void handleStudentCommandArvel() override;
};

#pragma once

#include "core/engine/Arvel_Normal.h"

// The survey on an Arvel receiver (activity number 6): a key is kept as it was pressed, with its
// time; a later key changes it.
class Arvel_Survey : public Arvel_Normal
{
    Q_OBJECT
public:
    explicit Arvel_Survey(QObject *parent = nullptr) : Arvel_Normal(6, false, parent) {}

    void handleStudentCommandArvel() override
    {
        const QString key = keyText();
        if (!key.isEmpty())
            storeAnswer(m_frameToHandle.deviceID(), key);
    }
};

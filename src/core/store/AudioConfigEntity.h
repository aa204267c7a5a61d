#pragma once

#include "RecordField.h"

#include <QString>

// One event sound of config.xml: its name, the sound file's full path, 1 on / 0 off.
class AudioConfigEntity
{
    POLLIX_RECORD_FIELD(QString, name, setName, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, path, setPath, QStringLiteral(""))
    POLLIX_RECORD_FIELD(int, state, setState, 0)
};

#pragma once

#include "RecordField.h"

#include <QString>

// A curriculum standard of a question; both texts are null until set.
class StandardEntity
{
    POLLIX_RECORD_FIELD(QString, code, setCode)
    POLLIX_RECORD_FIELD(QString, title, setTitle)
};

#pragma once

#include "core/store/RecordField.h"

#include <QList>
#include <QString>
#include <QStringList>

// One curriculum standard with the questions that carry it; both lists in question order,
// filled in place.
class CodeStandardCorrect
{
    POLLIX_RECORD_FIELD(QString, code, setCode, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, standard, setStandard, QStringLiteral(""))
    POLLIX_RECORD_FIELD(float, correct, setCorrect, 0.0f)
    POLLIX_RECORD_FIELD(QStringList, rightAnsArray, setRightAnsArray)
    POLLIX_RECORD_FIELD(QList<int>, quNoArray, setQuNoArray)
};

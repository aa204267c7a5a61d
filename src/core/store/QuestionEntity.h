#pragma once

#include "QuestionOptionEntity.h"
#include "RecordField.h"
#include "StandardEntity.h"

#include <QList>
#include <QString>

#include <optional>

// One question of a session.
class QuestionEntity
{
    POLLIX_RECORD_FIELD(int, quNo, setQuNo, 1)
    POLLIX_RECORD_FIELD(int, optionNum, setOptionNum, 2)
    POLLIX_RECORD_FIELD(int, mark, setMark, 10)
    POLLIX_RECORD_FIELD(int, time, setTime, 30)
    POLLIX_RECORD_FIELD(QString, level, setLevel, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, rightAns, setRightAns, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, quType, setQuType, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, quMode, setQuMode, QStringLiteral(""))
    POLLIX_RECORD_FIELD(int, desMark, setDesMark, 10)
    POLLIX_RECORD_FIELD(QString, title, setTitle, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, FOption, setFOption, QStringLiteral(""))
    // None until a standard is chosen.
    POLLIX_RECORD_FIELD(std::optional<StandardEntity>, standard, setStandard)
    POLLIX_RECORD_FIELD(QList<QuestionOptionEntity>, allOptions, setAllOptions)
};

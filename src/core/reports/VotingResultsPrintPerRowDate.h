#pragma once

#include "core/base/PrintfNumber.h"
#include "core/store/RecordField.h"

#include <QString>

// One printed row of a vote report. type is the row's kind: 0 a line of a question's title
// (count: the line's index within the title, total: the attendants), 1 an option (its letter, a
// full stop and its text), 2 the abstentions, 3 the column heading. On option and abstention rows
// count is the number of votes and percent their share of the attendants as a fraction 0..1.
class VotingResultsPrintPerRowDate
{
public:
    enum Kind { TitleLine = 0, Option = 1, Abstained = 2, Heading = 3 };

    POLLIX_RECORD_FIELD(QString, printStr, setPrintStr, QStringLiteral(""))
    POLLIX_RECORD_FIELD(int, type, setType, 0)
    POLLIX_RECORD_FIELD(int, total, setTotal, 0)
    POLLIX_RECORD_FIELD(int, count, setCount, 0)
    POLLIX_RECORD_FIELD(float, percent, setPercent, 0.0f)

public:
    // The share as pages and CSV files write it: "33.33%".
    QString percentText() const { return PrintfNumber::fixed(double(percent() * 100), 2) + QLatin1Char('%'); }
};

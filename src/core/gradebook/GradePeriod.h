#pragma once

#include "core/store/RecordField.h"

#include <QString>

// A grading period as the gradebook windows list it.
class GradePeriod
{
    // The period's number in the period store; -1 for a row not saved yet.
    POLLIX_RECORD_FIELD(int, periodNum, setPeriodNum, -1)
    POLLIX_RECORD_FIELD(QString, periodTitle, setPeriodTitle, QStringLiteral(""))
    // "YYYY-MM-DD".
    POLLIX_RECORD_FIELD(QString, dateFrom, setDateFrom, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, dateTo, setDateTo, QStringLiteral(""))
};

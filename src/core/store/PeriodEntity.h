#pragma once

#include "core/store/RecordField.h"

#include <QString>

// A grading period; days as "YYYY-MM-DD" text.
class PeriodEntity
{
    POLLIX_RECORD_FIELD(int, no, setNo, -1)
    POLLIX_RECORD_FIELD(QString, title, setTitle, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, dateFrom, setDateFrom, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, dateTo, setDateTo, QStringLiteral(""))

public:
    // The label periods are chosen by: "title(from~to)".
    QString unique_title() const { return QStringLiteral("%1(%2~%3)").arg(m_title, m_dateFrom, m_dateTo); }
};

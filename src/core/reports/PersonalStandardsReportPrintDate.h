#pragma once

#include "core/store/RecordField.h"

#include <QString>

// One printed row of the standards reports, by its kind (flag).
class PersonalStandardsReportPrintDate
{
public:
    enum Kind { StudentHeading = 1, CodeLine = 2, TitleLine = 3 };

    POLLIX_RECORD_FIELD(QString, code, setCode, QStringLiteral(""))
    // The line of the standard's title this row shows.
    POLLIX_RECORD_FIELD(QString, standard, setStandard, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, studentName, setStudentName, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, studentID, setStudentID, QStringLiteral(""))
    // A fraction, normally 0 to 1; printed as a percentage.
    POLLIX_RECORD_FIELD(float, correct, setCorrect, 0.0f)
    POLLIX_RECORD_FIELD(int, flag, setFlag, StudentHeading)
};

#pragma once

#include "core/store/RecordField.h"

#include <QString>

// One row of the Group Student Report, by its kind (flag).
class GroupStudentReportPrintDate
{
public:
    enum Kind { GroupTitle = 0, ColumnHeads = 1, Member = 2 };

    POLLIX_RECORD_FIELD(int, flag, setFlag, GroupTitle)
    // "Group %d" on a title row.
    POLLIX_RECORD_FIELD(QString, title, setTitle, QStringLiteral(""))
    // A member row's name and points.
    POLLIX_RECORD_FIELD(QString, studentName, setStudentName, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, point, setPoint, QStringLiteral(""))
};

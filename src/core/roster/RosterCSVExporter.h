#pragma once

#include "core/roster/CSVOperator.h"
#include "core/store/StudentEntity.h"
#include "core/store/TeacherEntity.h"

#include <QList>
#include <QString>

// The two roster exports of the class set-up, as grids ready to be written (saveCSVTo for a
// file, writeCSVTo for any device). Their columns are the import's columns in the same order,
// so an exported file imports column by column.
class RosterCSVExporter
{
public:
    // 7 columns: a header row, then one row per teacher in the order given, numbered from 1.
    static CSVOperator teachers(const QList<TeacherEntity> &teachers);
    // 13 columns: a header row, then one row per student in the order given; a student
    // without ID is left out. className fills the "Class Name" column of every row.
    static CSVOperator students(const QList<StudentEntity> &students, const QString &className);

    // "Male" for 1, "Female" for 2, "UD" for anything else.
    static QString sexText(int gender);
};

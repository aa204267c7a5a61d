#pragma once

#include "core/store/GlobalFunctions.h"

#include <QList>

#include <algorithm>

// Orders rows by their students' IDs read as numbers (leading blanks, a sign, the leading
// digits; 0 without digits), so that 9 comes before 10; rows of equal numbers keep their order.
// idOf gives a row's student ID.
template <typename Row, typename IdOf>
void sortByStudentId(QList<Row> &rows, IdOf idOf)
{
    std::stable_sort(rows.begin(), rows.end(), [&idOf](const Row &a, const Row &b) {
        return GlobalFunctions::intValue(idOf(a)) < GlobalFunctions::intValue(idOf(b));
    });
}

// The same for rows that name their student's ID studentID().
template <typename Row>
void sortByStudentId(QList<Row> &rows)
{
    sortByStudentId(rows, [](const Row &row) { return row.studentID(); });
}

#pragma once

#include "core/store/GlobalFunctions.h"

#include <QList>

#include <algorithm>

// Orders report rows by their students' IDs read as numbers (leading blanks, a sign, the leading
// digits; 0 without digits), so that 9 comes before 10; rows of equal numbers keep their order.
template <typename Row>
void sortByStudentId(QList<Row> &rows)
{
    std::stable_sort(rows.begin(), rows.end(), [](const Row &a, const Row &b) {
        return GlobalFunctions::intValue(a.studentID()) < GlobalFunctions::intValue(b.studentID());
    });
}

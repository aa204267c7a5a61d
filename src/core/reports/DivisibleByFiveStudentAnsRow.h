#pragma once

#include "StudentAnswers.h"

#include "core/store/RecordField.h"

#include <QList>
#include <QString>

// One band of answer times of one question: band b holds the answers of 5b + 1 to 5b + 5 seconds
// (band 0 from 0 to 5), its members in the order of the student list.
class DivisibleByFiveStudentAnsRow
{
    POLLIX_RECORD_FIELD(int, multiple, setMultiple, 0)
    POLLIX_RECORD_FIELD(QList<StudentAnswers<QString>>, members, setMembers)
};

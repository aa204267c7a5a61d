#pragma once

#include "DivisibleByFiveStudentAnsRow.h"
#include "StudentAnswers.h"

#include "core/store/RecordField.h"

#include <QList>
#include <QString>

// The chosen students' answers to one question: per student the answer text (the first of
// answers), its time (ansTime) and the points it earned (totalPoints); and the answers by band
// of answer time, bands in ascending order.
class QuestionAndStudentAnsInfo
{
    // The question's 1-based position in the session.
    POLLIX_RECORD_FIELD(int, quNum, setQuNum, 0)
    POLLIX_RECORD_FIELD(QString, rightAns, setRightAns, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QList<StudentAnswers<QString>>, studentAnswers, setStudentAnswers)
    POLLIX_RECORD_FIELD(QList<DivisibleByFiveStudentAnsRow>, sortArray, setSortArray)
};

#pragma once

#include "SingleColumnString.h"

#include "core/store/RecordField.h"

#include <QList>
#include <QString>

// One student with the list of their answers in question order. What an answer is depends on the
// report: SingleColumnString lines (num the question number, str the response, "__" for none),
// AnsPointQuNo records, or plain response texts (StudentAnswers<QString>).
template <typename Answer = SingleColumnString>
class StudentAnswers
{
    POLLIX_RECORD_FIELD(int, studentNo, setStudentNo, 0)
    POLLIX_RECORD_FIELD(QString, studentID, setStudentID, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, studentName, setStudentName, QStringLiteral(""))
    // The student's points in the session (or, in the correct-rate report, of one answer).
    POLLIX_RECORD_FIELD(int, totalPoints, setTotalPoints, 0)

public:
    // Filled in place.
    const QList<Answer> &answers() const { return m_answers; }
    QList<Answer> &answers() { return m_answers; }

private:
    QList<Answer> m_answers;

    POLLIX_RECORD_FIELD(int, ansTime, setAnsTime, 0)
};

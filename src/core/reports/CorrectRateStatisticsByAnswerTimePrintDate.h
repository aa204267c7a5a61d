#pragma once

#include "core/store/RecordField.h"

#include <QString>

// One printed row of the correct-rate statistics. flag is the row's kind (see Kind); the texts are
// those the kind shows. An answer line's quNo tells the kind of the student row above it ("3" or
// "4"), so that an answer line opening a page is shaded as its student row.
class CorrectRateStatisticsByAnswerTimePrintDate
{
public:
    enum Kind { QuestionTitle = 0, BandCaption = 1, Headings = 2, RightAnswer = 3, WrongAnswer = 4, CorrectRate = 5,
                Spacer = 6, AnswerLine = 7 };

    POLLIX_RECORD_FIELD(int, flag, setFlag, 0)
    POLLIX_RECORD_FIELD(QString, quNo, setQuNo, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, quNoTitle, setQuNoTitle, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, correctRate, setCorrectRate, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, studentName, setStudentName, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, ans, setAns, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, ansTime, setAnsTime, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, point, setPoint, QStringLiteral(""))
};

#pragma once

#include "core/store/RecordField.h"

#include <QString>

// One printed row of the result by question. flag is the row's kind (see Kind); the texts are
// those the kind shows.
class ResultByQuestionPrintDate
{
public:
    enum Kind { StudentTitle = 0, Headings = 1, QuestionFirstLine = 2, QuestionLine = 3, Total = 4, Separator = 5,
                Response = 6, CorrectAnswer = 7 };

    POLLIX_RECORD_FIELD(int, flag, setFlag, 0)
    POLLIX_RECORD_FIELD(int, studentNo, setStudentNo, 0)
    POLLIX_RECORD_FIELD(QString, title, setTitle, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, quNo, setQuNo, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, quTitle, setQuTitle, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, response, setResponse, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, correctAnswer, setCorrectAnswer, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, ponit, setPonit, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, totalPoint, setTotalPoint, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, studentID, setStudentID, QStringLiteral(""))
};

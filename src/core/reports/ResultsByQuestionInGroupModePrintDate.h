#pragma once

#include "core/store/RecordField.h"

#include <QString>

// One row of the group-mode Result By Question, by its kind (flag). Numbers are already text.
class ResultsByQuestionInGroupModePrintDate
{
public:
    enum Kind {
        GroupTitle = 0,      // groupTitle
        GroupPoints = 1,     // groupPoint
        ExtraPoints = 2,     // appendPoint
        MemberHeads = 3,     // the member table's captions
        Member = 4,          // studentName, response, point, totalPoint, correctRate
        GroupMembers = 5,    // numOfMem
        GroupParticipants = 6, // numOfPart
        GroupCorrect = 7,    // groupCorrect
        TotalMembers = 8,    // numOfTotalMem
        TotalParticipants = 9, // numOfTotalPart
        TotalCorrect = 10,   // totalCorrect
        Spacer = 11,         // draws nothing, fills a line of the page
        ResponseLine = 12,   // studentName, response
        QuestionEnd = 13     // closes a question's rows
    };

    POLLIX_RECORD_FIELD(int, flag, setFlag, GroupTitle)
    POLLIX_RECORD_FIELD(QString, groupTitle, setGroupTitle, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, groupPoint, setGroupPoint, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, appendPoint, setAppendPoint, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, studentName, setStudentName, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, response, setResponse, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, point, setPoint, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, totalPoint, setTotalPoint, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, correctRate, setCorrectRate, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, numOfMem, setNumOfMem, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, numOfPart, setNumOfPart, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, groupCorrect, setGroupCorrect, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, numOfTotalMem, setNumOfTotalMem, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, numOfTotalPart, setNumOfTotalPart, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, totalCorrect, setTotalCorrect, QStringLiteral(""))
};

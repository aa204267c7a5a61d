#pragma once

#include "SingleColumnString.h"

#include "core/store/RecordField.h"

#include <QList>
#include <QString>

// One question of a session being entered or corrected by hand.
class ActionDetail
{
    // The question's number in the file and its place in the editor's list (editor only).
    POLLIX_RECORD_FIELD(int, quNo, setQuNo, 0)
    POLLIX_RECORD_FIELD(int, actQuNo, setActQuNo, 0)
    // The type name: "Single Answer", "Multiple Answer", "Cloze Test", "Short Answer", "True or False".
    POLLIX_RECORD_FIELD(QString, quMode, setQuMode, QStringLiteral("Single Answer"))
    // The question's stored Mode (editor only).
    POLLIX_RECORD_FIELD(QString, actMode, setActMode, QStringLiteral("Normal"))
    POLLIX_RECORD_FIELD(int, numOfOptions, setNumOfOptions, 4)
    // "Other", "Easy", "Normal" or "Hard".
    POLLIX_RECORD_FIELD(QString, quLevel, setQuLevel, QStringLiteral("Other"))
    POLLIX_RECORD_FIELD(QString, correctAnswer, setCorrectAnswer, QStringLiteral("No Answer"))
    POLLIX_RECORD_FIELD(int, point, setPoint, 10)
    // The stored deduction value (editor only).
    POLLIX_RECORD_FIELD(int, rushPoint, setRushPoint, 0)
    POLLIX_RECORD_FIELD(QString, question, setQuestion, QStringLiteral(""))
    // The curriculum standard's title and code.
    POLLIX_RECORD_FIELD(QString, standard, setStandard, QStringLiteral(""))
    // One answer per student: num the student's number (entry) or ID as a number (editor), str
    // the answer, stuID the student's ID.
    POLLIX_RECORD_FIELD(QList<SingleColumnString>, studentAnswerArray, setStudentAnswerArray)
    POLLIX_RECORD_FIELD(QString, code, setCode, QStringLiteral(""))
};

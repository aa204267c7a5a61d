#pragma once

#include "QuestionEntity.h"
#include "QuestionResponseDataEntity.h"
#include "RecordField.h"

#include <QList>
#include <QString>

// A session with its questions and their answers, grouped per question. Kept as a record of the
// session model; every session writer and reader works on QuizEntity instead. The class field is
// className here, "class" being a word of the language.
class SessionEntity
{
    POLLIX_RECORD_FIELD(int, actNo, setActNo, 0)
    POLLIX_RECORD_FIELD(QString, name, setName, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, title, setTitle, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, activityMode, setActivityMode, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, className, setClassName, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, subject, setSubject, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, teacher, setTeacher, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, date, setDate, QStringLiteral(""))
    POLLIX_RECORD_FIELD(int, questionNum, setQuestionNum, 0)
    POLLIX_RECORD_FIELD(QString, machineNo, setMachineNo, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, sessionType, setSessionType, QStringLiteral(""))
    POLLIX_RECORD_FIELD(bool, isFreeStyle, setIsFreeStyle, false)
    POLLIX_RECORD_FIELD(bool, isGroup, setIsGroup, false)
    POLLIX_RECORD_FIELD(QList<QuestionEntity>, allQuestions, setAllQuestions)
    POLLIX_RECORD_FIELD(QList<QuestionResponseDataEntity>, allQuestionResponses, setAllQuestionResponses)
    POLLIX_RECORD_FIELD(int, passGrade, setPassGrade, 60)
};

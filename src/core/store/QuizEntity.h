#pragma once

#include "GroupEntity.h"
#include "QuestionEntity.h"
#include "RecordField.h"
#include "ResponseDataEntity.h"
#include "RollCallEntity.h"
#include "StudentEntity.h"
#include "TeacherEntity.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QVariant>

// One session, as every session writer hands it in and every session reader returns it.
class QuizEntity
{
    // The session ID (file element "ID").
    POLLIX_RECORD_FIELD(QString, actNo, setActNo, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, name, setName, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, title, setTitle, QStringLiteral(""))
    // The stored activity code ("1"-"6", "13", "15", "20"-"22").
    POLLIX_RECORD_FIELD(QString, actionType, setActionType, QStringLiteral(""))
    // Writers hand in the time stamp text ("YYYY-MM-DDTHH:MM:SS"); readers put a QDateTime here.
    POLLIX_RECORD_FIELD(QVariant, date, setDate, QStringLiteral(""))
    POLLIX_RECORD_FIELD(int, questionNum, setQuestionNum, 0)
    // The receiver's device type as decimal text (file element "Model").
    POLLIX_RECORD_FIELD(QString, machineName, setMachineName, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, sessionType, setSessionType, QStringLiteral(""))
    POLLIX_RECORD_FIELD(int, group, setGroup, 0)
    POLLIX_RECORD_FIELD(int, passGrade, setPassGrade, 60)
    POLLIX_RECORD_FIELD(QString, className, setClassName, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, teacherName, setTeacherName, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, subject, setSubject, QStringLiteral(""))
    POLLIX_RECORD_FIELD(TeacherEntity, teacher, setTeacher)
    POLLIX_RECORD_FIELD(bool, isCoureGrade, setIsCoureGrade, false)
    POLLIX_RECORD_FIELD(QString, totalMark, setTotalMark, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, startTime, setStartTime, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, endTime, setEndTime, QStringLiteral(""))
    POLLIX_RECORD_FIELD(int, timeElapsed, setTimeElapsed, 0)
    POLLIX_RECORD_FIELD(QString, firstTime, setFirstTime)
    POLLIX_RECORD_FIELD(QList<QuestionEntity>, allQuestions, setAllQuestions)
    POLLIX_RECORD_FIELD(QList<StudentEntity>, allStudents, setAllStudents)
    POLLIX_RECORD_FIELD(QList<ResponseDataEntity>, allStudentsAns, setAllStudentsAns)
    POLLIX_RECORD_FIELD(QList<RollCallEntity>, allRollCall, setAllRollCall)
    // The extra points the teacher gave groups in a group run, one record per group given any
    // (file element "AppendPoints", which readers that do not know it pass over).
    POLLIX_RECORD_FIELD(QList<GroupEntity>, allGroups, setAllGroups)

public:
    // `date` as stored text: a time stamp text as it is; a date printed in UTC+8 as
    // "YYYY-MM-DDTHH:MM:SS" (the form a reader's date value is written back in).
    QString dateText() const;
    // Each group's extra points by group number (a group's records added up); groups given none
    // are left out.
    QMap<int, int> groupAppendPoints() const;
    // One record per group given any.
    void setGroupAppendPoints(const QMap<int, int> &points);
};

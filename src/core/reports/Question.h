#pragma once

#include "core/store/RecordField.h"

#include <QList>
#include <QString>
#include <QStringList>

// One question of a session as the reports see it: built from the stored question, in stored
// order.
class Question
{
    POLLIX_RECORD_FIELD(int, quNo, setQuNo, 0)
    // The number shown on pages and in CSV files; every report sets it to quNo.
    POLLIX_RECORD_FIELD(int, actQuNo, setActQuNo, 0)
    POLLIX_RECORD_FIELD(QString, questionTitle, setQuestionTitle, QStringLiteral(""))
    POLLIX_RECORD_FIELD(int, optionNo, setOptionNo, 0)
    POLLIX_RECORD_FIELD(QString, rightAns, setRightAns, QStringLiteral(""))

public:
    // The option texts, option A first; filled in place.
    const QStringList &options() const { return m_options; }
    QStringList &options() { return m_options; }

private:
    QStringList m_options;

    // The question-type number of the reports: 1 single answer, 2 multiple answer, 3 cloze test,
    // 4 short answer, 5 true or false, -1 anything else.
    POLLIX_RECORD_FIELD(int, quTypeNo, setQuTypeNo, 0)

public:
    // One share per option (or per letter A to J), as the filling report computes it; filled in place.
    const QList<float> &optionPercentArray() const { return m_optionPercentArray; }
    QList<float> &optionPercentArray() { return m_optionPercentArray; }

private:
    QList<float> m_optionPercentArray;

    POLLIX_RECORD_FIELD(int, quModeNo, setQuModeNo, 0)
    POLLIX_RECORD_FIELD(int, rowCounts, setRowCounts, 0)
    // In the standards reports: the standard's title (standardCode) and its code (code).
    POLLIX_RECORD_FIELD(QString, standardCode, setStandardCode, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, code, setCode, QStringLiteral(""))
    POLLIX_RECORD_FIELD(int, point, setPoint, 0)
    // Points taken off for a wrong answer; every report fills it with point.
    POLLIX_RECORD_FIELD(int, desNum, setDesNum, 0)
    POLLIX_RECORD_FIELD(int, quLevelNo, setQuLevelNo, 0)
    POLLIX_RECORD_FIELD(QString, imagePath, setImagePath, QStringLiteral(""))
    // The stored question-type code ("1" to "5") and the question's stored Mode.
    POLLIX_RECORD_FIELD(QString, quType, setQuType, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, quMode, setQuMode, QStringLiteral(""))
};

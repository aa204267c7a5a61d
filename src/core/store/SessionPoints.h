#pragma once

#include "RecordField.h"

#include <QHash>
#include <QString>
#include <QStringList>

// Points by student ID.
using PointsByStudent = QHash<QString, float>;

// The points of a session's students, as the gradebook reads every session of a period: the
// students in file order (ID and names side by side) and each one's points by ID (a points-only
// session holds only the students it lists; a session of questions those who answered).
class SessionPoints
{
    // The session's full points as stored.
    POLLIX_RECORD_FIELD(QString, totalMark, setTotalMark, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QStringList, studentIDs, setStudentIDs)
    POLLIX_RECORD_FIELD(QStringList, firstNames, setFirstNames)
    POLLIX_RECORD_FIELD(QStringList, lastNames, setLastNames)
    POLLIX_RECORD_FIELD(PointsByStudent, points, setPoints)
};

#pragma once

#include "core/store/QuizEntity.h"
#include "core/store/StudentEntity.h"

#include <QDate>
#include <QList>
#include <QString>

#include <optional>

// The rules of a points-only session (each student's points against a session total, no
// questions), the same whether it is entered new or edited later: what a total and a student's
// points may be, and when a total is too low for the points given.
class PointsOnlyRules
{
public:
    // Totals are whole numbers from 1 to 25000; a student's points from 0 to the total.
    static constexpr int kMaxTotal = 25000;
    static constexpr int kMaxDigits = 5;
    // A total as typed: digits only, 1 to 25000; none otherwise.
    static std::optional<int> total(const QString &typed);
    // A student's points as typed: digits only (no sign, no blanks), 0 to total; none otherwise.
    static std::optional<int> studentPoints(const QString &typed, int total);
    // The total a save needs: the highest student's points when total is below them (the save
    // then stops and the total shown is raised to them); total itself otherwise.
    static int neededTotal(int total, const QList<int> &points);

    // A new points-only session as the entry window stores it: activity code "1", no questions,
    // the class's students each with the points of the row of the same ID (rows given as
    // (student ID, points)); a student without a row keeps no points. now is the
    // "YYYY-MM-DDTHH:MM:SS" of the save, whose time follows the chosen day.
    struct Entry
    {
        QString name, sessionType, className, subject, teacherName, totalMark;
        QDate day;
        int deviceType = -1;
    };
    static QuizEntity build(const Entry &entry, QList<StudentEntity> students,
                            const QList<std::pair<QString, int>> &points, const QString &now);
};

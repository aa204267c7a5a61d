#pragma once

#include "ReportFrame.h"

#include "core/reports/SelectStudents.h"

#include <QList>

class QuizEntity;
class CorrectRateStatistics;

// "CorrectRateStatisticsByAnswerTime" on the Dravel-named pages: the Correct Rate Statistics of
// the ticked students, each student's answer a column of the student's row; the outline of the
// questions and bands beside the pages. No CSV; no window of the system opens it.
class CorrectRateStatisticsByAnswerTimeDravelController : public ReportFrame
{
    Q_OBJECT
public:
    CorrectRateStatisticsByAnswerTimeDravelController(const QuizEntity &quiz, const QList<SelectStudents> &studentList, QWidget *parent = nullptr);

    CorrectRateStatistics *correctRateStatistics() const;
};

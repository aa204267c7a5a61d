#pragma once

#include "ReportFrame.h"

#include "core/reports/SelectStudents.h"

#include <QList>

class CorrectRateStatistics;
class QuizEntity;

// "CorrectRateStatisticsByAnswerTime": the ticked students' answers of each question by answer
// time, with the outline of the questions and their bands beside the pages.
class CorrectRateStatisticsByAnswerTimeController : public ReportFrame
{
    Q_OBJECT
public:
    CorrectRateStatisticsByAnswerTimeController(const QuizEntity &quiz, const QList<SelectStudents> &studentList,
                                                QWidget *parent = nullptr);

    CorrectRateStatistics *correctRateStatistics() const;
};

#pragma once

#include "ReportFrame.h"

#include "core/reports/SelectStudents.h"

#include <QList>

class QuizEntity;
class ResultOfEliminationReport;

// "ResultOfElimination" on the Dravel-named pages: the Result Of Elimination of the ticked
// students, one row a student with the response in its last column; the questions listed beside
// the pages. No CSV; no window of the system opens it.
class ResultOfEliminationReportDravelController : public ReportFrame
{
    Q_OBJECT
public:
    ResultOfEliminationReportDravelController(const QuizEntity &quiz, const QList<SelectStudents> &studentList, int flag,
                                              QWidget *parent = nullptr);

    ResultOfEliminationReport *resultOfElimination() const;
};

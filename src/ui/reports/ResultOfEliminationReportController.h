#pragma once

#include "ReportFrame.h"

#include "core/reports/SelectStudents.h"

#include <QList>

class QuizEntity;
class ResultOfEliminationReport;

// "ResultOfElimination": the ticked students' responses and the eliminated ones, question by
// question, with the questions listed beside the pages.
class ResultOfEliminationReportController : public ReportFrame
{
    Q_OBJECT
public:
    ResultOfEliminationReportController(const QuizEntity &quiz, const QList<SelectStudents> &studentList, int flag,
                                        QWidget *parent = nullptr);

    ResultOfEliminationReport *resultOfElimination() const;
};

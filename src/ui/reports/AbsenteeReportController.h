#pragma once

#include "ReportFrame.h"

class QuizEntity;
class AbsenteeReport;

// "AbsenteeReport": the Absentee Report of one session.
class AbsenteeReportController : public ReportFrame
{
    Q_OBJECT
public:
    explicit AbsenteeReportController(const QuizEntity &quiz, QWidget *parent = nullptr);

    AbsenteeReport *absenteeReport() const;
};

#pragma once

#include "ReportFrame.h"

class QuizEntity;
class StandardsAnalysisReport;

// The Standards Analysis Report of one session, in the absentee report's window ("AbsenteeReport").
class StandardsAnalysisReportController : public ReportFrame
{
    Q_OBJECT
public:
    explicit StandardsAnalysisReportController(const QuizEntity &quiz, QWidget *parent = nullptr);

    StandardsAnalysisReport *standardsAnalysisReport() const;
};

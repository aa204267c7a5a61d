#pragma once

#include "ReportFrame.h"

class QuizEntity;
class ResponseSpreadReport;

// "ItemAnalysis": the Response Spread Report of one session (all its students).
class ItemAnalysisController : public ReportFrame
{
    Q_OBJECT
public:
    explicit ItemAnalysisController(const QuizEntity &quiz, QWidget *parent = nullptr);

    ResponseSpreadReport *responseSpreadReport() const;
};

#pragma once

#include "ReportFrame.h"

class QuizEntity;
class VoteReport;

// "VoteReport": the votes of every question of a vote session.
class VoteReportController : public ReportFrame
{
    Q_OBJECT
public:
    explicit VoteReportController(const QuizEntity &quiz, QWidget *parent = nullptr);

    VoteReport *voteReport() const;
};

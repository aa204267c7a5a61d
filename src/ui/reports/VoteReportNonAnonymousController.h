#pragma once

#include "ReportFrame.h"

class QuizEntity;
class VoteReportNonAnonymous;

// "VoteReport" with the voters named: each question's votes, then its voters' answers.
class VoteReportNonAnonymousController : public ReportFrame
{
    Q_OBJECT
public:
    explicit VoteReportNonAnonymousController(const QuizEntity &quiz, QWidget *parent = nullptr);

    VoteReportNonAnonymous *voteReportNonAnonymous() const;
};

#pragma once

#include "ReportFrame.h"

class QuizEntity;
class ResultByQuestionInGroupModeReport;

// "ResultByQuestionInGroupMode": the Result By Question of one group session, with the outline of
// its questions and their groups beside the pages.
class ResultByQuestionInGroupModeController : public ReportFrame
{
    Q_OBJECT
public:
    explicit ResultByQuestionInGroupModeController(const QuizEntity &quiz, QWidget *parent = nullptr);

    ResultByQuestionInGroupModeReport *resultByQuestionInGroupModeReport() const;
};

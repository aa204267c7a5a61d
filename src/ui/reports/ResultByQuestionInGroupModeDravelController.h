#pragma once

#include "ReportFrame.h"

class QuizEntity;
class ResultByQuestionInGroupModeReport;

// "ResultByQuestionInGroupMode" on the Dravel-named pages: the Result By Question of a group
// session, each member's response a column of the member's row; the outline of the questions and
// their groups beside the pages. Its CSV names each question by its place in the session file.
// No window of the system opens it.
class ResultByQuestionInGroupModeDravelController : public ReportFrame
{
    Q_OBJECT
public:
    explicit ResultByQuestionInGroupModeDravelController(const QuizEntity &quiz, QWidget *parent = nullptr);

    ResultByQuestionInGroupModeReport *resultByQuestionInGroupModeReport() const;
};

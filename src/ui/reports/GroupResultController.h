#pragma once

#include "ReportFrame.h"

class QuizEntity;
class GroupResultReport;

// "GroupResult": the Group Result of one group session, the groups listed beside the pages
// (choosing one shows the page holding its row).
class GroupResultController : public ReportFrame
{
    Q_OBJECT
public:
    explicit GroupResultController(const QuizEntity &quiz, QWidget *parent = nullptr);

    GroupResultReport *groupResultReport() const;
};

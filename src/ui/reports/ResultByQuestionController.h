#pragma once

#include "ReportFrame.h"

#include "core/reports/SelectStudents.h"

#include <QList>

class QuizEntity;
class ResultByQuestionReport;

// "ResultByQuestion": the answer detail (flag 0) or the scores (flag 1) of the ticked students of
// a rush quiz, with the students listed beside the pages.
class ResultByQuestionController : public ReportFrame
{
    Q_OBJECT
public:
    ResultByQuestionController(const QuizEntity &quiz, const QList<SelectStudents> &studentList, int flag,
                               QWidget *parent = nullptr);

    ResultByQuestionReport *resultByQuestion() const;
};

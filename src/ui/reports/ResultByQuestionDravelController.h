#pragma once

#include "ReportFrame.h"

#include "core/reports/SelectStudents.h"

#include <QList>

class QuizEntity;
class ResultByQuestionReport;

// "ResultByQuestion" on the Dravel-named pages: flag 1 the scores, any other flag the answer detail,
// each question's response and correct answer on the question's first row; the students listed
// beside the pages. No CSV; no window of the system opens it.
class ResultByQuestionDravelController : public ReportFrame
{
    Q_OBJECT
public:
    ResultByQuestionDravelController(const QuizEntity &quiz, const QList<SelectStudents> &studentList, int flag,
                                     QWidget *parent = nullptr);

    ResultByQuestionReport *resultByQuestion() const;
};

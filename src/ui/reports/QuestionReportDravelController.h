#pragma once

#include "ReportFrame.h"

#include "core/reports/SelectStudents.h"

#include <QList>

class QuizEntity;
class SessionQuestionReport;

// "QuestionReport" on the Dravel-named pages: the Question Report of the ticked students, their
// rows in the text's size with the answers centred, a chart for single-answer questions only;
// the questions listed beside the pages. No CSV; no window of the system opens it.
class QuestionReportDravelController : public ReportFrame
{
    Q_OBJECT
public:
    QuestionReportDravelController(const QuizEntity &quiz, const QList<SelectStudents> &studentList, QWidget *parent = nullptr);

    SessionQuestionReport *sessionQuestionReport() const;
};

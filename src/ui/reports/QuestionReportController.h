#pragma once

#include "ReportFrame.h"

#include "core/reports/SelectStudents.h"

#include <QList>

class QuizEntity;
class SessionQuestionReport;

// "QuestionReport": the Question Report of one session for the ticked students, with the questions
// listed beside the pages (choosing one shows its first page).
class QuestionReportController : public ReportFrame
{
    Q_OBJECT
public:
    QuestionReportController(const QuizEntity &quiz, const QList<SelectStudents> &studentList,
                             QWidget *parent = nullptr);

    SessionQuestionReport *sessionQuestionReport() const;
};

#pragma once

#include "ReportFrame.h"

#include "core/reports/SelectStudents.h"

#include <QList>

class QuizEntity;
class StudentResponseResultReport;

// "StudentResponseResult": the Student Response Result of one session for the ticked students, with
// the students listed beside the pages (choosing one shows their first page).
class StudentResponseResultController : public ReportFrame
{
    Q_OBJECT
public:
    StudentResponseResultController(const QuizEntity &quiz, const QList<SelectStudents> &studentList,
                                    QWidget *parent = nullptr);

    StudentResponseResultReport *studentResponseResultReport() const;
};

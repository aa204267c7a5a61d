#pragma once

#include "ReportFrame.h"

#include "core/reports/SelectStudents.h"

#include <QList>

class QuizEntity;
class StudentSessionReport;

// "StudentGradeReport": the Student Session Report of one session for the ticked students, with
// the students listed beside the pages (choosing one shows their page and outlines their row).
class StudentGradeReportController : public ReportFrame
{
    Q_OBJECT
public:
    StudentGradeReportController(const QuizEntity &quiz, const QList<SelectStudents> &studentList,
                                 QWidget *parent = nullptr);

    StudentSessionReport *studentSessionReport() const;
};

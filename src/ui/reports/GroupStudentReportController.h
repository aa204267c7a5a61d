#pragma once

#include "ReportFrame.h"

class QuizEntity;
class GroupStudentReport;

// "GroupStudentReport": the Group Student Report of one group session, with the outline of its
// groups and members beside the pages.
class GroupStudentReportController : public ReportFrame
{
    Q_OBJECT
public:
    explicit GroupStudentReportController(const QuizEntity &quiz, QWidget *parent = nullptr);

    GroupStudentReport *groupStudentReport() const;
};

#pragma once

#include "ReportFrame.h"

class AttendanceReport;
class QuizEntity;

// "RollCall": the Attendance report of a roll-call session.
class RollCallController : public ReportFrame
{
    Q_OBJECT
public:
    explicit RollCallController(const QuizEntity &quiz, QWidget *parent = nullptr);

    AttendanceReport *attendanceReport() const;
};

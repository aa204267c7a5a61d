#pragma once

#include "ReportFrame.h"

class QuizEntity;
class StudentPointsList;

// "StudentPointsList": the points of every student of a points-only session, opened from the
// Report window's list.
class StudentPointsListController : public ReportFrame
{
    Q_OBJECT
public:
    explicit StudentPointsListController(const QuizEntity &quiz, QWidget *parent = nullptr);

    StudentPointsList *studentPointsList() const;
};

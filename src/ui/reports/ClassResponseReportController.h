#pragma once

#include "ReportFrame.h"

class ClassResponseReport;
class QuizEntity;

// "ClassResponseReport": the Class Response Report of one session (all its students), with the
// questions listed beside the pages (choosing one shows the page its text begins on).
class ClassResponseReportController : public ReportFrame
{
    Q_OBJECT
public:
    explicit ClassResponseReportController(const QuizEntity &quiz, QWidget *parent = nullptr);

    ClassResponseReport *classResponseReport() const;
};

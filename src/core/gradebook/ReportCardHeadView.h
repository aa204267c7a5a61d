#pragma once

#include "core/store/RecordField.h"

#include <QString>

class ReportPainter;

// The head of the report card's pages: the title, the student and the grading period.
class ReportCardHeadView
{
    POLLIX_RECORD_FIELD(QString, title, setTitle, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, studentName, setStudentName, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, gradingPeriod, setGradingPeriod, QStringLiteral(""))

public:
    // Draws the head into its frame (744 x 140).
    void paint(ReportPainter &painter) const;
};

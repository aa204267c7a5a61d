#pragma once

#include "ResultByQuestionLayout.h"
#include "ResultByQuestionPrintDate.h"

#include <QList>

class ReportPainter;

// One page of the result by question, answer detail or scores by its layout: each student's title
// and headings, the questions' texts with their answers or points, and the student's total. The
// rows of a student's questions are shaded, the shading starting again at each question where the
// answers have lines of their own; a page starting inside a question shades from its top.
class ResultByQuestionView
{
public:
    ResultByQuestionView(const ResultByQuestionLayout &layout, const QList<ResultByQuestionPrintDate> &printDateStrArray);

    void paint(ReportPainter &painter) const;

private:
    const ResultByQuestionLayout &m_layout;
    QList<ResultByQuestionPrintDate> m_rows;
};

#pragma once

#include "ResultOfEliminationLayout.h"
#include "ResultOfEliminationPrintDate.h"

#include <QList>

class ReportPainter;

// One response page of a question of the result of elimination: the question's bar, the column
// captions and the students' rows, those who are out in grey.
class ResultOfEliminationAllStudentResponseView
{
public:
    ResultOfEliminationAllStudentResponseView(const ResultOfEliminationLayout &layout,
                                              const QList<ResultOfEliminationPrintDate> &printDateStrArray, int quNo);

    int quNo() const { return m_quNo; }
    void paint(ReportPainter &painter) const;

private:
    const ResultOfEliminationLayout &m_layout;
    QList<ResultOfEliminationPrintDate> m_rows;
    int m_quNo;
};

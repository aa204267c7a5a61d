#pragma once

#include "ResultOfEliminationPrintDate.h"

#include <QList>

class ReportPainter;

// One page of a question's eliminated students: the list's bar, then each student's ID and name
// in two cells.
class EliminationStudentListView
{
public:
    EliminationStudentListView(const QList<ResultOfEliminationPrintDate> &printDateStrArray, int quNo);

    int quNo() const { return m_quNo; }
    void paint(ReportPainter &painter) const;

private:
    QList<ResultOfEliminationPrintDate> m_rows;
    int m_quNo;
};

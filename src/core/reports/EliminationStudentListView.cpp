#include "EliminationStudentListView.h"

#include "ReportDrawing.h"
#include "ReportPainter.h"
#include "ReportStyle.h"

#include <QCoreApplication>

EliminationStudentListView::EliminationStudentListView(const QList<ResultOfEliminationPrintDate> &printDateStrArray,
                                                       int quNo)
    : m_rows(printDateStrArray), m_quNo(quNo)
{
}

void EliminationStudentListView::paint(ReportPainter &painter) const
{
    const double W = painter.width(), H = painter.height();
    const QFont font = ReportStyle::arial(18);
    painter.cell(1, H - 26, W - 2, 25, ReportStyle::lightBlue());
    painter.drawText(QCoreApplication::translate("Report", "Eliminated Student List:"), 4, H - 26,
                     ReportStyle::arialBold(20));
    const int half = int(W - 2) / 2;
    for (int i = 0; i < m_rows.size(); ++i) {
        const double y = H - 51 - 25 * i;
        painter.cell(1, y, half - 40, 25, ReportStyle::paleBlue());
        painter.cell(half + 1 - 40, y, half + 40, 25, ReportStyle::paleBlue());
        painter.drawTextCentred(m_rows.at(i).studentID(), 1, half, y, font);
        painter.drawTextCentred(m_rows.at(i).studentName(), 1 + half - 20, half, y, font);
    }
}

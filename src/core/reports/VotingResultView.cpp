#include "VotingResultView.h"

#include "ReportDrawing.h"
#include "ReportPainter.h"
#include "ReportStyle.h"

#include <QCoreApplication>

VotingResultView::VotingResultView(const VotingResultLayout &layout,
                                   const QList<VotingResultsPrintPerRowDate> &printArray)
    : m_layout(layout), m_printArray(printArray)
{
}

int VotingResultView::runOf(int i, int kind) const
{
    int r = 0;
    while (i + r < m_printArray.size() && m_printArray.at(i + r).type() == kind)
        ++r;
    return r;
}

void VotingResultView::paint(ReportPainter &painter) const
{
    using Row = VotingResultsPrintPerRowDate;
    const double W = painter.width(), H = painter.height();
    painter.titleBand(QCoreApplication::translate("Report", "Report"),
                      m_layout.captionBold ? ReportStyle::arialBold(m_layout.captionSize)
                                           : ReportStyle::arial(m_layout.captionSize));
    const QFont font = ReportStyle::arial(m_layout.textSize);
    const QString countCaption = QCoreApplication::translate("Report", "Count");
    const int countWidth = textWidth(countCaption, font);
    const double right = W - m_layout.rightMargin;

    const auto band = [&](int i, int kind, const QColor &colour) {
        const int r = runOf(i, kind);
        painter.cell(1, H - m_layout.firstRowDrop - 25 * (i + r - 1), W - 2, 25 * r - 1, colour);
    };
    const auto votes = [&](const Row &row, double y) {
        painter.drawTextCentred(QString::number(row.count()), m_layout.countX, countWidth, y, font);
        painter.drawTextRightAligned(row.percentText(), right, y, font);
    };

    for (int i = 0; i < m_printArray.size(); ++i) {
        const Row &row = m_printArray.at(i);
        const double y = H - m_layout.firstRowDrop - 25 * i;
        switch (row.type()) {
        case Row::TitleLine:
            if (row.count() == 0 || i == 0)
                band(i, Row::TitleLine, ReportStyle::yellow());
            painter.drawText(row.printStr(), m_layout.textX, y, font);
            if (row.count() == 0) {
                painter.drawText(QCoreApplication::translate("Report", "Total"), m_layout.totalX, y, font);
                painter.drawTextRightAligned(QString::number(row.total()), right, y, font);
            }
            break;
        case Row::Heading:
            painter.cell(1, y, W - 2, 24, ReportStyle::lightBlue());
            painter.drawText(row.printStr(), m_layout.textX, y, font);
            painter.drawText(countCaption, m_layout.countX, y, font);
            painter.drawTextRightAligned(QCoreApplication::translate("Report", "Percent"), right, y, font);
            break;
        case Row::Option:
            if (row.printStr().startsWith(QLatin1Char('A')) || i == 0)
                band(i, Row::Option, ReportStyle::paleBlue());
            painter.drawText(row.printStr(), m_layout.textX, y, font);
            votes(row, y);
            break;
        case Row::Abstained:
            painter.cell(1, y, W - 2, 24, Qt::white);
            painter.drawText(row.printStr(), m_layout.textX, y, font);
            votes(row, y);
            break;
        default:
            break;
        }
    }
}

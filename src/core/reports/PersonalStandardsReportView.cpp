#include "PersonalStandardsReportView.h"

#include "ReportDrawing.h"
#include "ReportPainter.h"
#include "ReportStyle.h"

#include "core/base/PrintfNumber.h"

#include <QCoreApplication>

PersonalStandardsReportView::PersonalStandardsReportView(const PersonalStandardsReportLayout &layout,
                                                         const QList<PersonalStandardsReportPrintDate> &rows)
    : m_layout(layout), m_rows(rows)
{
}

QString PersonalStandardsReportView::percent(float correct)
{
    return PrintfNumber::fixed(double(correct * 100.0f), 1);
}

void PersonalStandardsReportView::paint(ReportPainter &painter) const
{
    using Row = PersonalStandardsReportPrintDate;
    const double W = painter.width(), H = painter.height();
    QFont title = ReportStyle::arial(22);
    title.setBold(m_layout.boldTitle);
    painter.titleBand(QCoreApplication::translate("Report", "REPORT"), title);

    const QFont font = ReportStyle::arial(m_layout.textSize);
    QFont bold = font;
    bold.setBold(true);
    const QString code = QCoreApplication::translate("Report", "Code");
    const QString correct = QCoreApplication::translate("Report", "Correct(%)");
    const double headingY = H - m_layout.headingTextDrop;
    painter.cell(1, H - m_layout.headingDrop, W - 2, m_layout.headingHeight, ReportStyle::yellow());
    painter.drawText(code, m_layout.codeX, headingY, font);
    painter.drawText(QCoreApplication::translate("Report", "Standard"), m_layout.standardX, headingY, font);
    painter.drawText(correct, m_layout.correctX, headingY, font);
    if (m_rows.isEmpty()) {
        painter.noRecord();
        return;
    }

    const int correctWidth = textWidth(correct, font);
    // A code is centred under its heading and kept left of the titles.
    const QList<ReportPainter::Cell> codeColumn{{double(m_layout.codeX), double(textWidth(code, font))},
                                                {double(m_layout.standardX), 0}};
    const auto rowY = [&](int i) { return H - m_layout.firstRowDrop - 25.0 * i; };
    for (int i = 0; i < m_rows.size(); ++i) {
        const Row &row = m_rows.at(i);
        if (row.flag() == Row::StudentHeading) {
            painter.cell(1, rowY(i), W - 2, 25, ReportStyle::lightBlue());
            painter.drawText(row.studentID() + QLatin1Char(' ') + row.studentName(), 4, rowY(i), bold);
            continue;
        }
        // The code lines that follow each other share one cell, drawn at the run's first.
        if (i == 0 || m_rows.at(i - 1).flag() == Row::StudentHeading) {
            int r = 1;
            while (i + r < m_rows.size() && m_rows.at(i + r).flag() != Row::StudentHeading)
                ++r;
            painter.cell(1, rowY(i + r - 1), W - 2, 25.0 * r, ReportStyle::paleBlue());
        }
        if (row.flag() == Row::CodeLine) {
            painter.centredValues(codeColumn, {row.code()}, rowY(i), font);
            painter.drawTextCentred(percent(row.correct()), m_layout.correctX, correctWidth, rowY(i), font);
        }
        painter.drawText(row.standard(), m_layout.standardX, rowY(i), font);
    }
}

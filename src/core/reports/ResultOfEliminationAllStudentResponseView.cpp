#include "ResultOfEliminationAllStudentResponseView.h"

#include "ReportDrawing.h"
#include "ReportPainter.h"
#include "ReportStyle.h"

#include <QCoreApplication>

ResultOfEliminationAllStudentResponseView::ResultOfEliminationAllStudentResponseView(
    const ResultOfEliminationLayout &layout, const QList<ResultOfEliminationPrintDate> &printDateStrArray, int quNo)
    : m_layout(layout), m_rows(printDateStrArray), m_quNo(quNo)
{
}

void ResultOfEliminationAllStudentResponseView::paint(ReportPainter &painter) const
{
    using Field = ResultOfEliminationLayout::Field;
    const auto tr = [](const char *text) { return QCoreApplication::translate("Report", text); };
    const double W = painter.width(), H = painter.height();
    const QFont bold = ReportStyle::arialBold(m_layout.captionSize);
    const QFont font = ReportStyle::arial(m_layout.textSize);

    painter.cell(1, H - 26, W - 2, 25, ReportStyle::lightBlue());
    if (!m_rows.isEmpty())
        painter.drawText(QStringLiteral("Question %1").arg(m_rows.first().questionNo()), 4, H - 26, bold);
    painter.cell(1, H - 51, W - 2, 25, ReportStyle::yellow());
    QList<ReportPainter::Cell> captions;
    for (const auto &c : m_layout.columns) {
        painter.drawText(tr(c.caption), c.x, H - 51, bold);
        captions.append({double(c.x), double(textWidth(tr(c.caption), bold))});
    }

    const auto value = [](const ResultOfEliminationPrintDate &row, Field field) {
        switch (field) {
        case Field::QuestionNo: return row.questionNo();
        case Field::QuestionPoint: return row.questionPoint();
        case Field::StudentID: return row.studentID();
        case Field::StudentName: return row.studentName();
        case Field::Response: return row.response();
        }
        return QString();
    };
    const int h = m_layout.rowHeight;
    for (int i = 0; i < m_rows.size(); ++i) {
        const ResultOfEliminationPrintDate &row = m_rows.at(i);
        const double bottom = H - 51 - h * (i + 1);
        painter.cell(1, bottom, W - 2, h, row.isFail() ? ReportStyle::grey() : ReportStyle::paleBlue());
        const double upper = bottom + h - 25;
        QStringList values;
        for (const auto &c : m_layout.columns)
            values << value(row, c.field);
        painter.centredValues(captions, values, upper, font);
        if (m_layout.responseLine)
            painter.drawText(tr("Response") + QStringLiteral("  ") + row.response(), m_layout.responseX, bottom, font);
    }
}

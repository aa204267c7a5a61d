#include "QuestionReportView.h"

#include "QuestionReportHistogramView.h"
#include "ReportDrawing.h"
#include "ReportPainter.h"
#include "ReportQuestionLines.h"
#include "ReportStyle.h"

#include <QCoreApplication>

using namespace ReportQuestionLines;

QuestionReportView::QuestionReportView(const QuestionReportLayout &layout, const QList<SingleColumnString> &strArray,
                                       const QList<StudentAnswers<>> &students, int quPos,
                                       const std::optional<ChoiseCount> &choiseCount)
    : m_layout(layout), m_rows(strArray), m_students(students), m_quPos(quPos), m_choiseCount(choiseCount)
{
}

void QuestionReportView::paint(ReportPainter &painter) const
{
    const double W = painter.width(), H = painter.height();
    const QFont font = ReportStyle::arial(m_layout.textSize);
    painter.titleBand(QCoreApplication::translate("Report", "Report"), ReportStyle::arial(m_layout.titleSize));
    painter.noteBand(ReportPainter::answerNote(), ReportStyle::arial(m_layout.noteSize));

    const int m = int(m_rows.size()), s = int(m_students.size());
    const auto yOf = [H](int r) { return H - 82 - 25.0 * (r + 1); };
    // The question's text at the top of the page, in yellow; the rest on pale blue.
    int t = 0;
    while (t < m && isTextLine(m_rows.at(t)))
        ++t;
    if (t > 0)
        painter.cell(1, H - 82 - 25.0 * t, W - 2, 25.0 * t - 1, ReportStyle::yellow());
    if (m + s > t)
        painter.cell(1, H - 82 - 25.0 * (m + s), W - 2, 25.0 * (m + s - t), ReportStyle::paleBlue());

    for (int r = 0; r < m; ++r) {
        const SingleColumnString &row = m_rows.at(r);
        const double y = yOf(r);
        if (r < t)
            drawTextLine(painter, row.str(), 5, y, 5, font);
        else if (isOptionLine(row) || isTextLine(row))
            drawOptionLine(painter, row, y, 5, 23, 5, font);
        else if (row.num() == kHeading)
            drawHeading(painter, y);
        else
            painter.drawText(row.str(), 5, y, font);
    }

    const QFont studentFont = ReportStyle::arial(m_layout.studentTextSize);
    const auto &cells = m_layout.answerCells;
    // Every row's cells before any text: a row's frame would cover the "__" standing on the row
    // above it.
    for (int j = 0; j < s; ++j)
        painter.cellRow(yOf(m + j), 25, cells, ReportStyle::paleBlue());
    for (int j = 0; j < s; ++j) {
        const StudentAnswers<> &student = m_students.at(j);
        const double y = yOf(m + j);
        // An ID, a name or an answer too long for its cell ends in "..." there instead of running on.
        const auto roomTo = [&](int c, double x) { return c < cells.size() ? cells.at(c).x + cells.at(c).width - 3 - x : W; };
        painter.drawTextWithin(student.studentID(), m_layout.idX, y, roomTo(0, m_layout.idX), studentFont);
        painter.drawTextWithin(student.studentName(), m_layout.nameX, y, roomTo(1, m_layout.nameX), studentFont);
        QString answer = student.answers().value(m_quPos).str();
        if (answer.isEmpty())
            answer = QStringLiteral("__");
        if (m_layout.centreAnswers && cells.size() > 2)
            painter.drawTextCentredWithin(answer, cells.at(2).x, int(cells.at(2).width), y, studentFont);
        else
            painter.drawText(answer, m_layout.answerX, y, studentFont);
    }

    if (m_choiseCount) {
        ReportPainter chart = painter.child(QRectF(97, H - 82 - 25.0 * (m + s) - 200, 550, 180));
        QuestionReportHistogramView(*m_choiseCount).paint(chart);
    }
}

void QuestionReportView::drawHeading(ReportPainter &painter, double y) const
{
    const QFont font = ReportStyle::arial(m_layout.textSize);
    const auto &cells = m_layout.answerCells;
    painter.cellRow(y, 25, cells, ReportStyle::yellow());
    painter.drawText(QCoreApplication::translate("Report", "Student ID"), m_layout.idX, y, font);
    painter.drawText(QCoreApplication::translate("Report", "Student Name"), m_layout.nameCaptionX, y, font);
    if (cells.size() > 2)
        painter.drawTextCentred(QCoreApplication::translate("Report", "Student Answer"), cells.at(2).x,
                                int(cells.at(2).width), y, font);
}

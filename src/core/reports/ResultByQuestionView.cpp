#include "ResultByQuestionView.h"

#include "ReportDrawing.h"
#include "ReportPainter.h"
#include "ReportStyle.h"

#include <QCoreApplication>

#include <algorithm>

namespace {
using Row = ResultByQuestionPrintDate;

bool isQuestionRow(int kind)
{
    return kind == Row::QuestionFirstLine || kind == Row::QuestionLine || kind == Row::Response
           || kind == Row::CorrectAnswer;
}
} // namespace

ResultByQuestionView::ResultByQuestionView(const ResultByQuestionLayout &layout,
                                           const QList<ResultByQuestionPrintDate> &printDateStrArray)
    : m_layout(layout), m_rows(printDateStrArray)
{
}

void ResultByQuestionView::paint(ReportPainter &painter) const
{
    using Field = ResultByQuestionLayout::Field;
    const auto tr = [](const char *text) { return QCoreApplication::translate("Report", text); };
    const double W = painter.width(), H = painter.height();
    const QFont bold = ReportStyle::arialBold(m_layout.headingSize);
    const QFont font = ReportStyle::arial(m_layout.textSize);
    const auto y = [&](int i) { return H - m_layout.firstRowDrop - 25.0 * i; };

    if (m_layout.note) {
        painter.cell(1, H - 51, W - 2, 50, ReportStyle::orange());
        painter.noteText(ReportPainter::answerNote(), H - 23, m_layout.noteWidth, bold);
    }
    const auto value = [](const Row &row, Field field) {
        switch (field) {
        case Field::QuNo: return row.quNo();
        case Field::QuTitle: return row.quTitle();
        case Field::Response: return row.response();
        case Field::CorrectAnswer: return row.correctAnswer();
        case Field::Points: return row.ponit();
        }
        return QString();
    };
    const bool allCentred = std::all_of(m_layout.columns.begin(), m_layout.columns.end(),
                                        [](const auto &c) { return c.valueX < 0; });
    const auto drawColumns = [&](const Row &row, double at, bool titleOnly) {
        // A whole row of values centred under their captions: a long response or correct answer
        // ends in "..." before the next column instead of running into it.
        if (allCentred && !titleOnly) {
            QList<ReportPainter::Cell> captions;
            QStringList values;
            for (const auto &c : m_layout.columns) {
                captions.append({double(c.x), double(textWidth(tr(c.caption), bold))});
                values.append(value(row, c.field));
            }
            painter.centredValues(captions, values, at, font);
            return;
        }
        for (const auto &c : m_layout.columns) {
            if (titleOnly && c.field != Field::QuTitle)
                continue;
            const QString text = value(row, c.field);
            if (c.valueX >= 0)
                painter.drawText(text, c.valueX, at, font);
            else
                painter.drawTextCentred(text, c.x, textWidth(tr(c.caption), bold), at, font);
        }
    };
    const auto labelled = [&](const char *label, const QString &text, int x, double at) {
        const QString caption = tr(label) + QStringLiteral("   ");
        painter.drawText(caption, x, at, bold);
        painter.drawText(text, x + textWidth(caption, bold), at, font);
    };

    for (int i = 0; i < m_rows.size(); ++i) {
        const Row &row = m_rows.at(i);
        const int kind = row.flag();
        // A shaded run of question rows: from a question's first line (each question, where the
        // answers have lines of their own) or from the page's top, down to the total or the end
        // of the student.
        const bool startsRun = isQuestionRow(kind)
                               && (i == 0 || !isQuestionRow(m_rows.at(i - 1).flag())
                                   || ((m_layout.answerLines || m_layout.questionCells) && kind == Row::QuestionFirstLine));
        if (startsRun) {
            int j = i;
            while (j < m_rows.size() && isQuestionRow(m_rows.at(j).flag()))
                ++j;
            painter.cell(1, y(j - 1), W - 2, 25.0 * (j - i), ReportStyle::paleBlue());
        }
        switch (kind) {
        case Row::StudentTitle:
            painter.cell(1, y(i), W - 2, 25, ReportStyle::lightBlue());
            painter.drawText(row.title(), 4, y(i), bold);
            break;
        case Row::Headings:
            painter.cell(1, y(i), W - 2, 25, ReportStyle::yellow());
            for (const auto &c : m_layout.columns)
                painter.drawText(tr(c.caption), c.x, y(i), bold);
            break;
        case Row::QuestionFirstLine:
            drawColumns(row, y(i), false);
            break;
        case Row::QuestionLine:
            drawColumns(row, y(i), true);
            break;
        case Row::Response:
            labelled("Response", row.response(), m_layout.responseX, y(i));
            break;
        case Row::CorrectAnswer:
            labelled("CorrectAnswer", row.correctAnswer(), m_layout.correctAnswerX, y(i));
            break;
        case Row::Total: {
            painter.cell(1, y(i), W - 2, 25, ReportStyle::lightBlue());
            const QString label = tr("Total Points:");
            painter.drawText(label, m_layout.totalX, y(i), bold);
            const int L = textWidth(label, bold), T = textWidth(row.totalPoint(), bold);
            painter.drawText(row.totalPoint(), m_layout.totalX + L + (int(W) - m_layout.totalX - L - T) / 2, y(i), bold);
            break;
        }
        default:
            break;
        }
    }
}

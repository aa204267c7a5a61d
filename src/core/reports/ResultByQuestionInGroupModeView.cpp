#include "ResultByQuestionInGroupModeView.h"

#include "ReportDrawing.h"
#include "ReportPainter.h"
#include "ReportStyle.h"

#include <QCoreApplication>

namespace {
QFont boldArial(int size)
{
    QFont font = ReportStyle::arial(size);
    font.setBold(true);
    return font;
}

QString tr(const char *text)
{
    return QCoreApplication::translate("Report", text);
}
} // namespace

ResultByQuestionInGroupModeView::ResultByQuestionInGroupModeView(
    const ResultByQuestionInGroupModeLayout &layout, const QList<ResultsByQuestionInGroupModePrintDate> &rows,
    const Question &question, int quNum)
    : m_layout(layout), m_rows(rows), m_question(question), m_quNum(quNum)
{
}

QStringList ResultByQuestionInGroupModeView::titleLines(const QString &title, const ResultByQuestionInGroupModeLayout &layout)
{
    return getWordWrappedStrings(title, layout.titleWidth, boldArial(18), layout.maxTitleLines);
}

void ResultByQuestionInGroupModeView::paint(ReportPainter &painter) const
{
    using Row = ResultsByQuestionInGroupModePrintDate;
    const double W = painter.width(), H = painter.height();
    const QFont bold22 = boldArial(22), bold18 = boldArial(18), plain18 = ReportStyle::arial(18);

    // The header block.
    painter.titleBand(QStringLiteral("Question %1").arg(m_quNum), bold22);
    painter.cell(1, H - 83, W - 2, 50, ReportStyle::orange());
    painter.noteText(ReportPainter::answerNote(), H - 55, 723, bold22);
    painter.cell(1, H - 208, W - 2, 125, ReportStyle::paleBlue());
    const QStringList title = titleLines(m_question.questionTitle(), m_layout);
    for (int i = 0; i < title.size(); ++i)
        painter.drawText(title.at(i), 4, H - 105 - 25 * i, bold18);
    painter.drawText(QStringLiteral("Correct Answer: %1").arg(m_question.rightAns()), 4, H - 205, bold18);

    // Line j's texts stand on H - 233 - 25 j.
    const auto line = [&](int j) { return H - 233 - 25.0 * j; };
    const auto field = [](const Row &row, ResultByQuestionInGroupModeLayout::Value value) {
        using Value = ResultByQuestionInGroupModeLayout::Value;
        switch (value) {
        case Value::Name: return row.studentName();
        case Value::Response: return row.response();
        case Value::Point: return row.point();
        case Value::TotalPoint: return row.totalPoint();
        case Value::CorrectRate: return row.correctRate();
        }
        return QString();
    };
    // A label ending at 210 (130 in a group's band) and its value ending at 292 (210).
    const auto pair = [&](const QString &label, const QString &value, double y, double labelEnd, double valueEnd) {
        painter.drawTextRightAligned(label, labelEnd, y, bold18);
        painter.drawTextRightAligned(value, valueEnd, y, bold18);
    };
    const int n = int(m_rows.size());
    for (int i = 0; i < n; ++i) {
        const Row &row = m_rows.at(i);
        switch (row.flag()) {
        case Row::GroupTitle:
            painter.cell(1, H - 311 - 25 * i, W - 2, 100, ReportStyle::paleBlue());
            painter.drawText(row.groupTitle(), 4, line(i), bold18, ReportStyle::orange());
            pair(tr("Group Points:"), m_rows.value(i + 1).groupPoint(), line(i + 2), 130, 210);
            pair(tr("Extra Points:"), m_rows.value(i + 2).appendPoint(), line(i + 3), 130, 210);
            ++i;
            break;
        case Row::MemberHeads:
            painter.cell(1, H - 261 - 25 * i, W - 2, 25, ReportStyle::orange());
            for (const auto &column : m_layout.memberColumns)
                painter.drawText(tr(column.caption), column.x, line(i + 1), bold18);
            break;
        case Row::Member: {
            // The member's cell reaches down over the response lines to the page's end; the rows
            // drawn later paint over what lies below the member's own lines.
            int c = 0;
            for (int j = i; j < n; ++j)
                c += m_rows.at(j).flag() == Row::ResponseLine;
            painter.cell(1, H - 261 - 25 * i - 25 * c, W - 2, 25 + 25 * c, ReportStyle::paleBlue());
            QList<ReportPainter::Cell> captions;
            QStringList values;
            for (const auto &column : m_layout.memberColumns) {
                captions.append({double(column.valueX), double(textWidth(tr(column.caption), bold18))});
                values.append(field(row, column.value));
            }
            painter.centredValues(captions, values, line(i + 1), plain18);
            break;
        }
        case Row::ResponseLine:
            painter.drawText(QStringLiteral("%1   %2").arg(tr("Response"), row.response()), 4, line(i + 1), plain18);
            break;
        case Row::GroupMembers:
        case Row::TotalMembers: {
            const bool total = row.flag() == Row::TotalMembers;
            if (total)
                painter.cell(1, H - 336 - 25 * i, W - 2, 125, ReportStyle::orange());
            else
                painter.cell(1, H - 336 - 25 * i, W - 2, 100, ReportStyle::paleBlue());
            pair(tr("Number of members:"), total ? row.numOfTotalMem() : row.numOfMem(), line(i + 1), 210, 292);
            pair(tr("Number of participants:"),
                 total ? m_rows.value(i + 2).numOfTotalPart() : m_rows.value(i + 2).numOfPart(), H - 295 - 25 * i, 210,
                 292);
            pair(total ? tr("Total Correct:") : tr("Group Correct:"),
                 total ? m_rows.value(i + 4).totalCorrect() : m_rows.value(i + 4).groupCorrect(), line(i + 4), 210, 292);
            i += 3;
            break;
        }
        default:
            break;
        }
    }
}

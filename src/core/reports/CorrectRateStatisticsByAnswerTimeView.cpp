#include "CorrectRateStatisticsByAnswerTimeView.h"

#include "ReportDrawing.h"
#include "ReportPainter.h"
#include "ReportStyle.h"

#include <QCoreApplication>

CorrectRateStatisticsByAnswerTimeView::CorrectRateStatisticsByAnswerTimeView(
    const CorrectRateStatisticsByAnswerTimeLayout &layout,
    const QList<CorrectRateStatisticsByAnswerTimePrintDate> &printDateStrArray)
    : m_layout(layout), m_rows(printDateStrArray)
{
}

void CorrectRateStatisticsByAnswerTimeView::paint(ReportPainter &painter) const
{
    using Row = CorrectRateStatisticsByAnswerTimePrintDate;
    using Field = CorrectRateStatisticsByAnswerTimeLayout::Field;
    const auto tr = [](const char *text) { return QCoreApplication::translate("Report", text); };
    const double W = painter.width(), H = painter.height();
    const QFont titleFont = ReportStyle::arialBold(m_layout.titleSize);
    const QFont captionFont = ReportStyle::arialBold(m_layout.captionSize);
    const QFont headingFont = ReportStyle::arialBold(m_layout.headingSize);
    const QFont font = ReportStyle::arial(m_layout.textSize);
    const QColor right = ReportStyle::paleBlue(), wrong = ReportStyle::grey();
    const auto y = [&](int i) { return H - m_layout.firstRowDrop - 25.0 * i; };
    QList<ReportPainter::Cell> captions;
    for (const auto &c : m_layout.columns)
        captions.append({double(c.x), double(textWidth(tr(c.caption), headingFont))});
    const auto value = [](const Row &row, Field field) {
        switch (field) {
        case Field::QuNo: return row.quNo();
        case Field::StudentName: return row.studentName();
        case Field::Answer: return row.ans();
        case Field::AnsTime: return row.ansTime();
        case Field::Point: return row.point();
        }
        return QString();
    };

    for (int i = 0; i < m_rows.size(); ++i) {
        const Row &row = m_rows.at(i);
        const bool last = i + 1 == m_rows.size();
        switch (row.flag()) {
        case Row::QuestionTitle: {
            painter.cell(1, H - 26, W - 2, 25, ReportStyle::orange());
            painter.drawText(row.quNoTitle(), 4, H - 26, titleFont);
            painter.cell(1, H - 76, W - 2, 50, ReportStyle::orange());
            painter.noteText(ReportPainter::answerNote(), H - 48, m_layout.noteWidth, titleFont);
            break;
        }
        case Row::BandCaption:
            painter.cell(1, y(i), W - 2, 25, ReportStyle::lightBlue());
            painter.drawText(row.quNoTitle(), 4, y(i), captionFont);
            break;
        case Row::Headings:
            painter.cell(1, y(i), W - 2, 25, ReportStyle::yellow());
            for (const auto &c : m_layout.columns)
                painter.drawText(tr(c.caption), c.x, y(i), headingFont);
            break;
        case Row::RightAnswer:
        case Row::WrongAnswer: {
            const QColor fill = row.flag() == Row::RightAnswer ? right : wrong;
            if (m_layout.answerLine && !last)
                painter.cell(1, y(i + 1), W - 2, 50, fill);
            else
                painter.cell(1, y(i), W - 2, 25, fill);
            QStringList values;
            for (const auto &c : m_layout.columns)
                values << value(row, c.field);
            painter.centredValues(captions, values, y(i), font);
            break;
        }
        case Row::CorrectRate:
            painter.cell(1, y(i), W - 2, 25, ReportStyle::lightBlue());
            painter.drawText(tr("Correct Rate:"), m_layout.correctRateX, y(i), headingFont);
            painter.drawTextRightAligned(row.correctRate(), W - 2, y(i), headingFont);
            break;
        case Row::AnswerLine:
            if (i == 0)
                painter.cell(1, y(0), W - 2, 25, row.quNo() == QLatin1String("3") ? right : wrong);
            painter.drawText(QStringLiteral("Answer   ") + row.ans(), m_layout.answerX, y(i), font);
            break;
        default:
            break;
        }
    }
}

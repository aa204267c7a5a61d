#include "StudentResponseResultView.h"

#include "ReportPainter.h"
#include "ReportQuestionLines.h"
#include "ReportStyle.h"

#include <QCoreApplication>

using namespace ReportQuestionLines;

StudentResponseResultView::StudentResponseResultView(const StudentResponseResultLayout &layout,
                                                     const StudentAnswers<> &student,
                                                     const QList<SingleColumnString> &lines)
    : m_layout(layout), m_student(student), m_lines(lines)
{
}

void StudentResponseResultView::paint(ReportPainter &painter) const
{
    const double W = painter.width(), H = painter.height();
    const QFont font = ReportStyle::arial(m_layout.textSize);
    painter.titleBand(QCoreApplication::translate("Report", "Report"));
    painter.noteBand(ReportPainter::answerNote());
    painter.studentBand(m_student.studentID() + QLatin1Char(' ') + m_student.studentName(),
                        QCoreApplication::translate("Report", "Total Points:")
                            + QString::number(m_student.totalPoints()));

    const int n = int(m_lines.size());
    const auto yOf = [H](int k) { return H - 132 - 25.0 * k; };
    const auto box = [&](int b, int e, const QColor &fill) {
        painter.cell(1, H - 107 - 25.0 * e, W - 2, 25.0 * (e - b) - 1, fill);
    };
    const auto answerOf = [this](int position) { return m_student.answers().value(position - 1); };
    int k = 0;
    while (k < n) {
        const SingleColumnString &row = m_lines.at(k);
        int e = k + 1;
        if (isTextLine(row)) {
            while (e < n && isTextLine(m_lines.at(e)))
                ++e;
            box(k, e, ReportStyle::lightBlue());
            // The points gained stand on the question's first line on the page.
            painter.drawText(QCoreApplication::translate("Report", "Gain:"), m_layout.gainCaptionX, yOf(k), font);
            painter.drawText(QString::number(answerOf(row.quModeNo()).point()), m_layout.gainX, yOf(k), font);
            for (int i = k; i < e; ++i)
                drawTextLine(painter, m_lines.at(i).str(), 5, yOf(i), 5, font);
        } else if (isOptionLine(row)) {
            // The options and the answer line after them.
            while (e < n && !isTextLine(m_lines.at(e)))
                ++e;
            box(k, e, ReportStyle::paleBlue());
            for (int i = k; i < e; ++i)
                if (isOptionLine(m_lines.at(i)))
                    drawOptionLine(painter, m_lines.at(i), yOf(i), 5, 23, 5, font);
        } else if (row.num() == kMarker) {
            // The mark and the answer line below it, as far as the page goes.
            if (e < n && m_lines.at(e).nMessageType() == kAnswerLine)
                ++e;
            box(k, e, ReportStyle::paleBlue());
            painter.drawText(row.str(), 5, yOf(k), font);
        }
        for (int i = k; i < e; ++i) {
            const SingleColumnString &line = m_lines.at(i);
            if (line.nMessageType() != kAnswerLine)
                continue;
            const SingleColumnString answer = answerOf(line.num());
            const QString reply = answer.str().isEmpty() ? QStringLiteral("__") : answer.str();
            painter.drawText(QCoreApplication::translate("Report", "Your Answer:") + reply, 5, yOf(i), font);
            painter.drawTextRightAligned(answer.num() == 1 ? QStringLiteral("\u221A") : QStringLiteral("\u00D7"), W - 5,
                                         yOf(i), font, ReportStyle::red());
        }
        k = e;
    }
}

#include "StudyGuideView.h"

#include "ReportDrawing.h"
#include "ReportPainter.h"
#include "ReportQuestionLines.h"
#include "ReportStyle.h"

#include <QCoreApplication>

using namespace ReportQuestionLines;

bool StudyGuideView::isAnswerLine(const SingleColumnString &row)
{
    // Beside the reply, an answer line is numbered by its question.
    return row.num() == kYourAnswer || (row.num() >= 0 && row.num() < kOptionBase);
}

StudyGuideView::StudyGuideView(const StudyGuideLayout &layout, const QString &studentID, const QString &studentName,
                               const QList<SingleColumnString> &lines, const QList<Question> &questions)
    : m_layout(layout), m_studentID(studentID), m_studentName(studentName), m_lines(lines), m_questions(questions)
{
}

void StudyGuideView::paint(ReportPainter &painter) const
{
    const double W = painter.width(), H = painter.height();
    const QFont font = ReportStyle::arial(m_layout.textSize);
    painter.titleBand(QCoreApplication::translate("Report", "Report"));
    painter.noteBand(ReportPainter::answerNote());
    painter.studentBand(m_studentID + QLatin1Char(' ') + m_studentName);

    if (m_lines.isEmpty()) {
        const QFont bold = ReportStyle::boldSystemFont(30);
        const QString text = QCoreApplication::translate("Report", "There is no record.");
        painter.drawText(text, (W - textWidth(text, bold)) / 2, H / 2 + 50, bold);
        return;
    }

    const int n = int(m_lines.size());
    const auto yOf = [H](int i) { return H - 132 - 25.0 * i; };
    const auto box = [&](int s, int e, const QColor &fill) {
        painter.cell(1, H - 107 - 25.0 * e, W - 2, 25.0 * (e - s) - 1, fill);
    };
    // Every option letter of the page starts where the page's first one does.
    double letterX = -1;
    int i = 0;
    while (i < n) {
        const SingleColumnString &row = m_lines.at(i);
        int e = i + 1;
        if (isTextLine(row)) {
            while (e < n && isTextLine(m_lines.at(e)))
                ++e;
            box(i, e, ReportStyle::lightBlue());
            for (int k = i; k < e; ++k)
                drawTextLine(painter, m_lines.at(k).str(), 5, yOf(k), m_layout.tipX, font);
        } else if (isOptionLine(row)) {
            // The options and the answer lines after them, up to the next question.
            while (e < n && !isTextLine(m_lines.at(e)))
                ++e;
            box(i, e, ReportStyle::paleBlue());
            for (int k = i; k < e; ++k) {
                const SingleColumnString &line = m_lines.at(k);
                if (!isOptionLine(line)) {
                    drawAnswerLine(painter, line, yOf(k));
                    continue;
                }
                if (letterX < 0 && startsOption(line))
                    letterX = int(23 - textWidthF(letterLabel(line), font));
                drawOptionLine(painter, line, yOf(k), letterX, 23, m_layout.tipX, font);
            }
        } else if (row.num() == kMarker) {
            while (e < n && (isAnswerLine(m_lines.at(e)) || isCorrectAnswerLine(m_lines.at(e))))
                ++e;
            box(i, e, ReportStyle::paleBlue());
            painter.drawText(row.str(), 5, yOf(i), font);
            for (int k = i + 1; k < e; ++k)
                drawAnswerLine(painter, m_lines.at(k), yOf(k));
        } else {
            // Answer lines of a question without options or mark: boxed only when they open the page.
            while (e < n && isCorrectAnswerLine(m_lines.at(e)))
                ++e;
            if (i == 0)
                box(i, e, ReportStyle::paleBlue());
            for (int k = i; k < e; ++k)
                drawAnswerLine(painter, m_lines.at(k), yOf(k));
        }
        i = e;
    }
}

void StudyGuideView::drawAnswerLine(ReportPainter &painter, const SingleColumnString &row, double y) const
{
    const QFont font = ReportStyle::arial(m_layout.textSize);
    QString text = row.str();
    // An empty reply reads as no answer wherever it stands.
    if (isAnswerLine(row) && text == QLatin1String("Your Answer:"))
        text += QStringLiteral("__");
    painter.drawText(text, 5, y, font);
    if (!m_layout.correctAnswerBesideReply || row.num() == kYourAnswer || !isAnswerLine(row))
        return;
    for (const Question &question : m_questions)
        if (question.actQuNo() == row.num()) {
            painter.drawTextRightAligned(QStringLiteral("Correct Answer:") + question.rightAns(), painter.width() - 5,
                                         y, font);
            break;
        }
}

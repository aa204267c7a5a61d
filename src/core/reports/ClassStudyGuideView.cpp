#include "ClassStudyGuideView.h"

#include "ReportPainter.h"
#include "ReportStyle.h"

#include "core/base/PrintfNumber.h"

#include <QCoreApplication>

ClassStudyGuideView::ClassStudyGuideView(const ClassStudyGuideLayout &layout, const QString &studentID,
                                         const QString &studentName, const QList<SingleColumnString> &entries,
                                         int missed, const QList<SingleColumnString> &questionArray)
    : m_layout(layout), m_studentID(studentID), m_studentName(studentName), m_entries(entries), m_missed(missed),
      m_questions(questionArray)
{
}

QString ClassStudyGuideView::summary(const QString &format, int missed, int questions)
{
    const float share = questions > 0 ? float(missed * 100) / float(questions) : 0.0f;
    return format.arg(missed).arg(questions).arg(PrintfNumber::fixed(double(share), 1));
}

QString ClassStudyGuideView::correctAnswer(const QList<SingleColumnString> &questionArray, int num)
{
    for (const SingleColumnString &q : questionArray)
        if (q.num() == num)
            return q.str();
    return {};
}

void ClassStudyGuideView::paint(ReportPainter &painter) const
{
    const double W = painter.width(), H = painter.height();
    const QFont font = ReportStyle::arial(m_layout.textSize);
    painter.titleBand(QCoreApplication::translate("Report", "Report"));
    painter.noteBand(ReportPainter::answerNote());
    painter.studentBand(m_studentID + QLatin1Char(' ') + m_studentName);

    const int L = int(m_entries.size());
    const double entryHeight = 25.0 * m_layout.rowsPerEntry;
    painter.cell(1, H - 182 - entryHeight * L, W - 2, entryHeight * L + 74, ReportStyle::paleBlue());
    painter.drawText(summary(QCoreApplication::translate("Report", summaryFormat().toUtf8().constData()), m_missed,
                             int(m_questions.size())),
                     7, H - 132, font);
    painter.drawText(QCoreApplication::translate("Report", "The question(s) you missed are listed below."), 7, H - 157,
                     font);

    const QString labels[] = {QCoreApplication::translate("Report", "Question#"),
                              QCoreApplication::translate("Report", "Correct Answer"),
                              QCoreApplication::translate("Report", "Your Answer")};
    const auto centred = [&](const ReportPainter::Cell &cell, const QString &text, double y, const QColor &fill) {
        painter.cell(cell.x, y, cell.width, 24, fill);
        // A long typed answer ends in "..." inside its cell instead of running into the next.
        painter.drawTextCentredWithin(text, cell.x, int(cell.width), y, font);
    };
    if (m_layout.asTable)
        for (int c = 0; c < 3 && c < m_layout.tableCells.size(); ++c)
            centred(m_layout.tableCells.at(c), labels[c], H - 182, ReportStyle::yellow());
    for (int a = 0; a < L; ++a) {
        const SingleColumnString &entry = m_entries.at(a);
        const QString values[] = {QString::number(entry.num()), correctAnswer(m_questions, entry.num()),
                                  entry.str().isEmpty() ? QStringLiteral("__") : entry.str()};
        for (int j = 0; j < 3; ++j) {
            if (m_layout.asTable) {
                if (j < m_layout.tableCells.size())
                    centred(m_layout.tableCells.at(j), values[j], H - 182 - 25.0 * (a + 1), ReportStyle::paleBlue());
                continue;
            }
            const double y = H - 182 - entryHeight * a - 25.0 * j;
            centred(m_layout.labelCell, labels[j], y, ReportStyle::yellow());
            centred(m_layout.valueCell, values[j], y, ReportStyle::paleBlue());
        }
    }
}

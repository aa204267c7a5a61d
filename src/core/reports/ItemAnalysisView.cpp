#include "ItemAnalysisView.h"

#include "ReportPainter.h"
#include "ReportStyle.h"
#include "ResponseSpreadReport.h"

#include <QCoreApplication>

#include <algorithm>

ItemAnalysisView::ItemAnalysisView(const ItemAnalysisLayout &layout, const QList<Question> &questionArray,
                                   bool noStudents)
    : m_layout(layout), m_rows(questionArray), m_noStudents(noStudents)
{
}

void ItemAnalysisView::paint(ReportPainter &painter) const
{
    const ItemAnalysisLayout &l = m_layout;
    const double H = painter.height();
    const QFont font = ReportStyle::arial(l.textSize);
    painter.titleBand(QCoreApplication::translate("Report", "Single Answer Question Mode Only (Note:'--' means the "
                                                            "question mode is not the single answer) Unit:%"),
                      ReportStyle::arial(l.noteSize), l.noteDrop);

    QList<ReportPainter::Cell> cells{{double(l.numberX), double(l.numberWidth)}};
    for (int j = 0; j < 10; ++j)
        cells.append({double(l.firstLetterX + l.letterStep * j), double(l.letterWidth)});
    cells.append({double(l.otherX), double(l.otherWidth)});

    // Eleven texts: the number's, then the letters' and Other's, each centred in its cell.
    const auto drawRow = [&](double y, const QString &number, const QStringList &values) {
        painter.drawTextCentred(number, l.numberCentreX, l.numberCentreWidth, y, font);
        for (int j = 0; j < 10; ++j)
            painter.drawTextCentred(values.at(j), l.firstLetterX + l.letterStep * j, l.letterCentreWidth, y, font);
        painter.drawTextCentred(values.at(10), l.otherX, l.otherWidth, y, font);
    };

    const double headingY = H - l.headingDrop;
    painter.cellRow(headingY, l.cellHeight, cells, ReportStyle::yellow());
    QStringList headings;
    for (int j = 0; j < 10; ++j)
        headings.append(QString(QChar(u'A' + j)));
    headings.append(QCoreApplication::translate("Report", "Other"));
    drawRow(headingY, QCoreApplication::translate("Report", "Q#"), headings);

    for (int i = 1; i <= m_rows.size(); ++i) {
        const Question &question = m_rows.at(i - 1);
        const double y = headingY - 25 * i;
        painter.cellRow(y, l.cellHeight, cells, ReportStyle::paleBlue());
        QStringList values;
        if (ResponseSpreadReport::hasNumbers(question)) {
            values = ResponseSpreadReport::shareTexts(question);
            const float other = m_noStudents ? 0.0f : std::max(0.0f, ResponseSpreadReport::other(question));
            values.append(ResponseSpreadReport::otherText(other));
        } else {
            values = QStringList(11, QStringLiteral("--"));
        }
        drawRow(y, QString::number(question.actQuNo()), values);
    }
}

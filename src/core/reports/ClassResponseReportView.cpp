#include "ClassResponseReportView.h"

#include "ClassResponseReport.h"
#include "ReportDrawing.h"
#include "ReportPainter.h"
#include "ReportStyle.h"

#include "core/base/PrintfNumber.h"

#include <QCoreApplication>

namespace {
bool isOption(const SingleColumnString &row)
{
    return row.nMessageType() >= ClassResponseReport::FirstOptionLine
           && row.nMessageType() <= ClassResponseReport::LastOptionLine;
}
bool isTitle(const SingleColumnString &row)
{
    return row.nMessageType() == ClassResponseReport::TitleLine;
}
} // namespace

ClassResponseReportView::ClassResponseReportView(const ClassResponseReportLayout &layout,
                                                 const QList<SingleColumnString> &strArray)
    : m_layout(layout), m_rows(strArray)
{
}

void ClassResponseReportView::paint(ReportPainter &painter) const
{
    const double W = painter.width(), H = painter.height();
    const QFont regular = ReportStyle::arial(m_layout.textSize);
    const QFont correct = ReportStyle::arialBoldItalic(m_layout.textSize);
    const QString sample = QString::fromLatin1(m_layout.percentSample);
    painter.titleBand(QCoreApplication::translate("Report", "Report"));

    const auto yOf = [&](int r) { return H - m_layout.titleBarDrop - 25.0 * (r + 1); };
    int r = 0;
    while (r < m_rows.size()) {
        const SingleColumnString &first = m_rows.at(r);
        if (!isOption(first) && !isTitle(first)) {
            const double y = yOf(r);
            painter.cell(1, y, W - 2, 25, ReportStyle::paleBlue());
            painter.drawText(first.str(), m_layout.textX, y, regular);
            painter.drawTextRightAligned(QStringLiteral("--"), W - m_layout.rightMargin, y, regular);
            ++r;
            continue;
        }
        const bool options = isOption(first);
        int e = r + 1;
        while (e < m_rows.size() && (options ? isOption(m_rows.at(e)) : isTitle(m_rows.at(e))))
            ++e;
        painter.cell(1, H - m_layout.titleBarDrop - 25.0 * e, W - 2, 25.0 * (e - r) - 1,
                     options ? ReportStyle::paleBlue() : ReportStyle::yellow());
        for (int i = r; i < e; ++i) {
            const SingleColumnString &row = m_rows.at(i);
            const double y = yOf(i);
            if (!options) {
                painter.drawText(getStringWithSuspensionPoint(row.str(), W - 2, regular), m_layout.textX, y, regular);
                painter.addToolTip(m_layout.textX, y, W - 2, 25, row.str());
                continue;
            }
            const bool isCorrect = row.num() > 9999999;
            const QFont &font = isCorrect ? correct : regular;
            const QColor colour = isCorrect ? ReportStyle::red() : QColor(Qt::black);
            if ((row.num() - 1) % 100 == 0) {
                const QChar letter(u'A' + (row.num() % 1000) / 100);
                const int p = (row.num() % 10000000) / 1000 - 1;
                painter.drawText(QString(letter) + QLatin1Char('.'), m_layout.textX, y, font, colour);
                painter.drawTextRightAligned(PrintfNumber::fixed(p / 10.0, 1) + QLatin1Char('%'),
                                             W - m_layout.rightMargin, y, font, colour);
            }
            const double room = W - (isCorrect ? 2 + m_layout.correctExtraMargin : 2) - textWidthF(sample, font);
            painter.drawText(getStringWithSuspensionPoint(row.str(), room, font), m_layout.optionTextX, y, font, colour);
            painter.addToolTip(m_layout.optionTextX, y, W - 2, 25, row.str());
        }
        r = e;
    }
}

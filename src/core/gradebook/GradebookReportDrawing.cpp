#include "GradebookReportDrawing.h"

#include "core/reports/ReportDrawing.h"
#include "core/reports/ReportPainter.h"
#include "core/reports/ReportStyle.h"

#include <QCoreApplication>

namespace {
QString tr(const char *text)
{
    return QCoreApplication::translate("Report", text);
}
} // namespace

void drawGradebookHeadBox(ReportPainter &painter, double boxDrop)
{
    const double w = painter.width(), h = painter.height();
    painter.strokeRect(1, 1, w - 2, h - boxDrop, 3, ReportStyle::frameBlue());
    painter.fillRect(2, 2, w - 4, h - boxDrop - 2, ReportStyle::paleBlue());
}

void drawGradebookHeadTitle(ReportPainter &painter, const QString &title, const QString &subjectGrade)
{
    const double h = painter.height();
    painter.drawText(title, 0, h - 44, ReportStyle::arial(36), ReportStyle::titleOrange());
    if (!subjectGrade.isEmpty())
        painter.drawTextCentred(subjectGrade, 0, int(painter.width()), h - 69, ReportStyle::arial(20),
                                ReportStyle::titleOrange());
}

void drawGradebookHeadField(ReportPainter &painter, const char *caption, const QString &value, double captionRight,
                            double valueX, double y, double maxWidth)
{
    const QFont font = ReportStyle::arial(20);
    painter.drawTextRightAligned(tr(caption), captionRight, y, font);
    painter.drawText(maxWidth > 0 ? getStringWithSuspensionPoint(value, maxWidth, font) : value, valueX, y, font);
}

void drawGradebookHeadFieldPair(ReportPainter &painter, const char *leftCaption, const QString &leftValue,
                                const char *rightCaption, const QString &rightValue, double y)
{
    // Left captions end at 127 with their values at 134, right captions end at 490 with theirs at 497.
    const double rightCaptionX = 490 - textWidth(tr(rightCaption), ReportStyle::arial(20));
    drawGradebookHeadField(painter, leftCaption, leftValue, 127, 134, y, rightCaptionX - 134 - 8);
    drawGradebookHeadField(painter, rightCaption, rightValue, 490, 497, y, painter.width() - 497 - 4);
}

void drawGradebookColumnHeads(ReportPainter &painter, const QList<GradebookColumn> &columns, double y)
{
    const QFont font = ReportStyle::arial(18);
    for (const GradebookColumn &c : columns) {
        painter.cell(c.cellX, y, c.cellWidth, 24, ReportStyle::yellow());
        painter.drawText(tr(c.caption), c.textX, y, font);
    }
}

void drawGradebookColumnRow(ReportPainter &painter, const QList<GradebookColumn> &columns, const QStringList &values,
                            double y)
{
    const QFont font = ReportStyle::arial(18);
    for (int i = 0; i < columns.size(); ++i) {
        const GradebookColumn &c = columns.at(i);
        painter.cell(c.cellX, y, c.cellWidth, 24, ReportStyle::paleBlue());
        const QString value = values.value(i);
        if (c.centreWidth > 0)
            painter.drawTextCentred(value, c.textX, c.centreWidth, y, font);
        else
            painter.drawText(getStringWithSuspensionPoint(value, c.cellX + c.cellWidth - c.textX - 4, font), c.textX, y, font);
    }
}

void drawGradebookSignature(ReportPainter &painter, double y)
{
    const QFont font = ReportStyle::arial(18);
    painter.cell(1, y, 370, 55, ReportStyle::paleBlue());
    painter.cell(370, y, painter.width() - 371, 55, ReportStyle::paleBlue());
    painter.drawText(tr("Teacher Signature/Date"), 4, y + 25, font);
    painter.drawText(tr("Parents Signature/Date"), 374, y + 25, font);
}

#include "ReportPdf.h"

#include "ReportDocument.h"

#include "platform/AtomicFile.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

namespace ReportPdf {

QList<int> allPages(const ReportDocument &report)
{
    QList<int> pages;
    for (int p = 1; p <= report.totalPage(); ++p)
        pages.append(p);
    return pages;
}

QByteArray render(const ReportDocument &report, const QList<int> &pages, const Progress &progress)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        const QSizeF size = report.pageSize();
        // Page units are 96 to the inch; the 794 x 1123 page is an A4 sheet.
        if (size == QSizeF(794, 1123))
            writer.setPageSize(QPageSize(QPageSize::A4));
        else
            writer.setPageSize(QPageSize(size * 0.75, QPageSize::Point));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer.setTitle(report.title());
        writer.setCreator(QCoreApplication::applicationName());
        QPainter painter;
        if (!painter.begin(&writer))
            return {};
        painter.setWindow(0, 0, int(size.width()), int(size.height()));
        painter.setViewport(0, 0, writer.width(), writer.height());
        for (int i = 0; i < pages.size(); ++i) {
            if (i > 0)
                writer.newPage();
            report.paintPage(painter, pages.at(i));
            if (progress)
                progress(i + 1, int(pages.size()));
        }
        painter.end();
    }
    return buffer.data();
}

bool write(const ReportDocument &report, const QList<int> &pages, const QString &path, QString *errorText,
           const Progress &progress)
{
    const QByteArray pdf = render(report, pages, progress);
    if (pdf.isEmpty()) {
        if (errorText)
            *errorText = QCoreApplication::translate("Report", "The PDF document could not be made.");
        return false;
    }
    return AtomicFile::write(path, pdf, errorText);
}

} // namespace ReportPdf

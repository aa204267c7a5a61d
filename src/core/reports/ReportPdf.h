#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>

class ReportDocument;

// A report's pages as a PDF file: each page drawn at its own size in page units (an A4 sheet for
// the 794 x 1123 page), whatever the window's zoom.
namespace ReportPdf {

using Progress = std::function<void(int done, int total)>;

// The PDF of pages (1-based, in the order given); empty when it could not be made.
QByteArray render(const ReportDocument &report, const QList<int> &pages, const Progress &progress = {});
// Every page of the report.
QList<int> allPages(const ReportDocument &report);
// Writes the PDF of pages to path, replacing it whole; false with the reason when it cannot.
bool write(const ReportDocument &report, const QList<int> &pages, const QString &path, QString *errorText = nullptr,
           const Progress &progress = {});

} // namespace ReportPdf

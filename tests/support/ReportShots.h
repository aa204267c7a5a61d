#pragma once

#include <QString>

class QWidget;
class ReportFrame;

// Pictures of report windows for a person to look at (the POLLIX_SCREENSHOTS runs).
namespace ReportShots {

// The folder POLLIX_SCREENSHOTS names, made if missing; empty when the variable is not set.
QString folder();

// Saves w as folder/name.png and the whole screen as folder/name-screen.png.
void shoot(QWidget *w, const QString &folder, const QString &name);
// Shows the report window and shoots its first page, the next, the last, at 50 % and as a whole
// page; writes its PDF and (where it has one) CSV files beside the pictures; closes it.
void shootReportWindow(ReportFrame *w, const QString &folder, const QString &name);

} // namespace ReportShots

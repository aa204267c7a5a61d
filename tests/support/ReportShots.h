#pragma once

#include <QString>

class ReportFrame;

// Report windows as a person sees them, in the picture tests: every page shown must draw, and
// with a picture folder set (Shots::folder()) each is saved there.
namespace ReportShots {

// Whether the report window drew, and the page in it: as Shots::drew, for the window (name) and
// for its page alone (name-page).
bool drewWithItsPage(ReportFrame *w, const QString &name);
// Shows the report window and looks at its first page, the next, the last, at 50 % and as a
// whole page, failing the test for each that did not draw; with a picture folder set, writes its
// PDF and (where it has one) CSV files beside the pictures. Closes it.
void shootReportWindow(ReportFrame *w, const QString &name);

} // namespace ReportShots

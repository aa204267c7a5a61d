#pragma once

// The main window's way into the reports: its Reports button opens the Report window, whose
// session windows are plugged in, and the report chooser offers the reports built so far.
namespace ReportWindows {
void install();
// The Report window's New, Edit (of sessions with questions), Merge and Import.
void installSessionWindows();
} // namespace ReportWindows

#pragma once

// The reports as the Report window reaches them: its session windows and points lists are
// plugged in, and the report chooser offers the reports built so far.
namespace ReportWindows {
void install();
// The Report window's New, Edit (of sessions with questions), Merge and Import.
void installSessionWindows();
} // namespace ReportWindows

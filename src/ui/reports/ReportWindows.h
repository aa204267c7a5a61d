#pragma once

// The main window's way into the reports: its Reports button opens the Report window, and the
// report chooser offers the reports built so far.
namespace ReportWindows {
void install();
} // namespace ReportWindows

#pragma once

// What the gradebook gives the rest of the program: the Report window's course-grade tabs, its
// points-only editor and importer and its session types, and the roster editors' deletion of a
// name's gradebook records.
namespace GradebookWindows {
void install();
// The Report window's course-grade tabs alone (install() adds them with the rest).
void installCourseGradeTabs();
} // namespace GradebookWindows

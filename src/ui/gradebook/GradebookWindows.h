#pragma once

// What the gradebook gives the rest of the program: the Report window's points-only editor and
// importer and its session types, the roster editors' deletion of a name's gradebook records,
// and the reload of the gradebook stores after the data folder changed.
namespace GradebookWindows {
void install();
} // namespace GradebookWindows

#pragma once

#include <QString>

class QWidget;

// The roster CSV import as the class set-up opens it: the preview of the chosen file, then, when
// the teacher imports, the import into the stores with its list of records not imported.
namespace ImportWindows {
// Makes the class set-up's import buttons (and its import after a new class) lead here.
void install();
// Each returns true when the teacher went on from the preview to the import.
bool importStudents(QWidget *parent, const QString &csvPath, int classNo, const QString &className);
bool importTeachers(QWidget *parent, const QString &csvPath);
} // namespace ImportWindows

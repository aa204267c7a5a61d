#include "ImportWindows.h"

#include "ClassSetController.h"
#include "ImportPreviewController.h"
#include "ImportToDatabaseController.h"

#include "core/roster/ImportItemsForStudent.h"
#include "core/roster/ImportItemsForTeacher.h"

namespace ImportWindows {

void install()
{
    ClassSetController::rosterWindows().importStudents = &importStudents;
    ClassSetController::rosterWindows().importTeachers = &importTeachers;
}

bool importStudents(QWidget *parent, const QString &csvPath, int classNo, const QString &className)
{
    ImportPreviewController preview(csvPath, ImportItemsForStudent().allImportItems(), parent);
    preview.setWindowTitle(QStringLiteral("Student Importing Preview"));
    if (preview.exec() != 1)
        return false;
    ImportToDatabaseController import(parent);
    import.setImportMode(0);
    import.setClassNoToImport(classNo, className);
    import.setResultDataOfStudents(preview.resultData());
    import.setReplacements(preview.state().replacements());
    import.exec();
    return true;
}

bool importTeachers(QWidget *parent, const QString &csvPath)
{
    ImportPreviewController preview(csvPath, ImportItemsForTeacher().allImportItems(), parent);
    preview.setWindowTitle(QStringLiteral("Teacher Importing Preview"));
    if (preview.exec() != 1)
        return false;
    ImportToDatabaseController import(parent);
    import.setImportMode(1);
    import.setResultDataOfTeachers(preview.resultData());
    import.setReplacements(preview.state().replacements());
    import.exec();
    return true;
}

} // namespace ImportWindows

#include "ImportWindows.h"

#include "ClassSetController.h"
#include "ImportPreviewController.h"
#include "ImportToDatabaseController.h"

#include "core/app/Orvenda_AppDelegate.h"
#include "core/roster/ImportItemsForStudent.h"
#include "core/roster/ImportItemsForTeacher.h"
#include "core/roster/RosterImporter.h"
#include "core/store/TovClassXmlDatabase.h"

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
    // The preview foresees the keypad numbers the import gives from the class as it stands.
    const Orvenda_AppDelegate *app = Orvenda_AppDelegate::getAppDelegate();
    const int most = app ? app->maxStudentNumberAllowed() : RosterImporter::kMostStudentsByDefault;
    preview.setClassToImportInto(TovClassXmlDatabase::sharedClassUI()->getStudentListByClassNo(classNo), most);
    if (preview.exec() != 1)
        return false;
    ImportToDatabaseController import(parent);
    import.setImportMode(0);
    import.setMaxStudentNumberAllowed(most);
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

// Roster CSV files, read as the student and teacher imports read them: the preview's load and
// check of every cell, then the records the import takes.

#include "FuzzSupport.h"

#include "core/roster/ImportItemsForStudent.h"
#include "core/roster/ImportItemsForTeacher.h"
#include "core/roster/ImportPreviewState.h"
#include "core/roster/RosterImporter.h"

QList<QByteArray> fuzzSeeds()
{
    return Fuzz::testDataFiles({QStringLiteral(".csv")});
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = Fuzz::inputFile(data, size, QStringLiteral("roster.csv"));
    QString why;
    // Model 1 asks for the keypad number, so its rule is checked too.
    ImportPreviewState students(ImportItemsForStudent(1).allImportItems());
    // Loading checks every cell already, as the preview does when it opens.
    if (students.loadFile(path, &why) == TovImportPreviewData::Loaded) {
        students.statusText();
        students.replacements();
        RosterImporter::studentsFromRecords(students.resultData());
    }
    ImportPreviewState teachers(ImportItemsForTeacher().allImportItems());
    if (teachers.loadFile(path, &why) == TovImportPreviewData::Loaded) {
        RosterImporter::teachersFromRecords(teachers.resultData());
    }
    return 0;
}

#pragma once

#include <QString>

// The gradebook keeps letter-grade scales and weight sets under the names of classes, subjects
// and teachers. When the roster editors delete a class, a subject or a teacher, the records kept
// under its name go with it through this interface; the gradebook installs its implementation
// at start-up. With none installed there is nothing recorded to delete.
class GradebookNameRecords
{
public:
    enum class Owner { Class, Subject, Teacher };

    virtual ~GradebookNameRecords() = default;

    // Deletes every letter-grade scale and every weight set recorded for that name. False, with
    // the reason in *errorText, when a gradebook file could not be written.
    virtual bool deleteRecordsOf(Owner owner, const QString &name, QString *errorText) = 0;

    // The installed records, or none. Not owned.
    static GradebookNameRecords *installed();
    static void install(GradebookNameRecords *records);

    // Deletes through the installed records; true when none is installed.
    static bool deleteAllOf(Owner owner, const QString &name, QString *errorText = nullptr);
};

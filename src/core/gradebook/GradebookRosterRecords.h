#pragma once

#include "GradebookNameRecords.h"

// The gradebook's records kept under roster names: the letter-grade scales and the weight lists
// of a class, a subject or a teacher (names compared exactly). Course grades stay: they record
// what was given.
class GradebookRosterRecords : public GradebookNameRecords
{
public:
    bool deleteRecordsOf(Owner owner, const QString &name, QString *errorText) override;

    // Loads every gradebook store again (after the data folder was restored or cleared).
    static void reloadStores();
    // Loads the settings' stores again (grading periods, session types, weight lists, letter
    // scales), as the window that edits them opens: what it shows and its saves replace are what
    // the files hold then. Whether any of them changed (the windows that list them follow).
    static bool reloadSettings();
};

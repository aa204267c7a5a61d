#include "GradebookNameRecords.h"

namespace {
GradebookNameRecords *g_installed = nullptr;
}

GradebookNameRecords *GradebookNameRecords::installed()
{
    return g_installed;
}

void GradebookNameRecords::install(GradebookNameRecords *records)
{
    g_installed = records;
}

bool GradebookNameRecords::deleteAllOf(Owner owner, const QString &name, QString *errorText)
{
    return !g_installed || g_installed->deleteRecordsOf(owner, name, errorText);
}

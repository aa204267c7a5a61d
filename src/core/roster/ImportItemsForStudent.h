#pragma once

#include "ImportItemInfo.h"

#include <QList>

// The fields of a student import, in the column order of the student export. The keypad number
// is required on the models that identify keypads by it (Arvel and Brevel).
class ImportItemsForStudent
{
public:
    // The current receiver's model decides whether the device number is required.
    ImportItemsForStudent();
    explicit ImportItemsForStudent(int deviceType);

    const QList<ImportItemInfo> &allImportItems() const { return m_allImportItems; }

private:
    QList<ImportItemInfo> m_allImportItems;
};

#pragma once

#include "ImportItemInfo.h"

#include <QList>

// The fields of a teacher import, in the column order of the teacher export. None is required,
// so nothing in a teacher file blocks its import.
class ImportItemsForTeacher
{
public:
    ImportItemsForTeacher();

    const QList<ImportItemInfo> &allImportItems() const { return m_allImportItems; }

private:
    QList<ImportItemInfo> m_allImportItems;
};

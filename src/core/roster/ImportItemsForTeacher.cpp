#include "ImportItemsForTeacher.h"

#include "core/roster/ImportRuleMaker.h"

ImportItemsForTeacher::ImportItemsForTeacher()
{
    using namespace ImportRuleMaker;
    const int optional = ImportItemInfo::Optional;
    m_allImportItems = {
        {"NO.", "NO.", 1, ImportItemInfo::NotImported, noCheck(QStringLiteral(""))},
        // An empty name stays empty; a teacher is stored under the names the file gives.
        {"FirstName", "First Name", 2, optional, text(20, QStringLiteral(""))},
        {"LastName", "Last Name", 3, optional, text(20, QStringLiteral(""))},
        {"Title", "Title", 4, optional, text(20, QStringLiteral(""))},
        {"Address", "Address", 5, optional, text(120, QStringLiteral(""))},
        {"Phone", "Phone", 6, optional, text(20, QStringLiteral(""))},
        {"Gender", "Gender", 7, optional, gender(false)},
    };
}

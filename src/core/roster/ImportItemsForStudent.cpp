#include "ImportItemsForStudent.h"

#include "core/base/AppDelegateBase.h"
#include "core/roster/ImportRuleMaker.h"
#include "core/roster/RosterEdits.h"

ImportItemsForStudent::ImportItemsForStudent()
    : ImportItemsForStudent(AppDelegateBase::getAppDelegate() ? AppDelegateBase::getAppDelegate()->currentDeviceType()
                                                               : -1)
{
}

ImportItemsForStudent::ImportItemsForStudent(int deviceType)
{
    using namespace ImportRuleMaker;
    const bool keypadByNumber = deviceType == 1 || deviceType == 4;
    auto deviceNo = number(1, RosterEdits::kMostDeviceNo, QStringLiteral("1"));
    deviceNo->setCanBeEmpty(false);
    deviceNo->setCanBeDuplicate(false);
    auto studentID = text(12, QStringLiteral(""));
    studentID->setCanBeEmpty(false);
    studentID->setCanBeDuplicate(false);
    studentID->setInvalidCharSet(CharacterSet::alphanumerics().inverted());

    const int optional = ImportItemInfo::Optional;
    m_allImportItems = {
        {"DeviceNo", keypadByNumber ? "* Device NO." : "Device NO.", 1,
         keypadByNumber ? ImportItemInfo::Required : optional, deviceNo},
        {"StudentID", "* Student ID", 2, ImportItemInfo::Required, studentID},
        // An empty name stays empty: the rosters show a student without names as "Null" themselves.
        {"FirstName", "First Name", 3, optional, noCheck(QStringLiteral(""))},
        {"LastName", "Last Name", 4, optional, noCheck(QStringLiteral(""))},
        {"ClassName", "Class Name", 5, optional, text(20, QStringLiteral(""))},
        {"GroupNo", "Group NO.", 6, optional, number(1, 99, QStringLiteral("1"))},
        {"Birthday", "Birthday", 7, optional, date(QStringLiteral("2000-01-01"))},
        {"Responsibility", "Responsibility", 8, optional, text(20, QStringLiteral(""))},
        {"Remark", "Remark", 9, optional, text(20, QStringLiteral(""))},
        {"Address", "Address", 10, optional, text(120, QStringLiteral(""))},
        {"Phone", "Phone", 11, optional, text(20, QStringLiteral(""))},
        {"Email", "EMail", 12, optional, text(50, QStringLiteral(""))},
        {"Gender", "Gender", 13, optional, gender(true)},
    };
}

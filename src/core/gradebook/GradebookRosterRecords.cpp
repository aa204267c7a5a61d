#include "GradebookRosterRecords.h"

#include "core/store/TovGradeLetterXmlDatabase.h"
#include "core/store/TovGradeSessionsXmlDatabase.h"
#include "core/store/TovPeriodXmlDatabase.h"
#include "core/store/TovWeightAndSessionTypeXmlDatabase.h"

bool GradebookRosterRecords::deleteRecordsOf(Owner owner, const QString &name, QString *errorText)
{
    TovGradeLetterXmlDatabase *scales = TovGradeLetterXmlDatabase::sharedUI();
    TovWeightAndSessionTypeXmlDatabase *weights = TovWeightAndSessionTypeXmlDatabase::sharedUI();
    switch (owner) {
    case Owner::Class:
        return scales->deleteGradeLetterByClassName(name, errorText) &&
               weights->deleteWeightByClassName(name, errorText);
    case Owner::Subject:
        return scales->deleteGradeLetterBySubjectName(name, errorText) &&
               weights->deleteWeightBySubjectName(name, errorText);
    case Owner::Teacher:
        return scales->deleteGradeLetterByTeacherName(name, errorText) &&
               weights->deleteWeightByTeacherName(name, errorText);
    }
    return true;
}

void GradebookRosterRecords::reloadStores()
{
    reloadSettings();
    TovGradeSessionsXmlDatabase::sharedUI()->loadGradeSessionList();
}

bool GradebookRosterRecords::reloadSettings()
{
    bool changed = TovPeriodXmlDatabase::sharedUI()->loadPeriods();
    // The weight lists number their types by the type list: types first.
    changed = TovWeightAndSessionTypeXmlDatabase::sharedUI()->loadSessionTypes() || changed;
    changed = TovWeightAndSessionTypeXmlDatabase::sharedUI()->loadWeights() || changed;
    changed = TovGradeLetterXmlDatabase::sharedUI()->loadGradeLetterList() || changed;
    return changed;
}

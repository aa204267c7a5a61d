#include "ClassEditController.h"

#include "core/roster/RosterRecords.h"
#include "core/store/TovClassXmlDatabase.h"
#include "platform/NotificationNames.h"

ClassEditController::ClassEditController(QWidget *parent)
    : NameListEditController(QStringLiteral("ClassEdit"), tr("Class"), QStringLiteral("textClassName"),
                             tr("Class Name:"), tr("Class:"), parent)
{
    textClassName = textName;
}

QStringList ClassEditController::loadList()
{
    m_arrClasses = RosterRecords::classes(TovClassXmlDatabase::sharedClassUI()->classList());
    return RosterRecords::names(m_arrClasses);
}

QString ClassEditController::storedName(int index) const
{
    return TovClassXmlDatabase::sharedClassUI()->nameByClassNo(m_arrClasses.at(index).classNo());
}

bool ClassEditController::deleteRecord(int index, QString *errorText)
{
    return TovClassXmlDatabase::sharedClassUI()->deleteClassWithNo(m_arrClasses.at(index).classNo(), errorText);
}

QString ClassEditController::deleteQuestion() const
{
    return tr("Are you sure to delete this class?");
}

QString ClassEditController::deleteFailedText() const
{
    return tr("The class could not be deleted.");
}

QLatin1String ClassEditController::changeNotification() const
{
    return Notify::ClassChanged;
}

// Names compare exactly, the record's own included; and since a class is a file named after
// it, a name that differs from another class's only in letter case is taken as well.
bool ClassEditController::nameTaken(const QString &name, int exceptIndex) const
{
    if (TovClassXmlDatabase::sharedClassUI()->existClassWithName(name))
        return true;
    for (int i = 0; i < m_arrClasses.size(); ++i)
        if (i != exceptIndex && m_arrClasses.at(i).className().compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

QString ClassEditController::takenText() const
{
    return tr("The class name : %1 already exists.");
}

QString ClassEditController::addFailedText() const
{
    return tr("The class could not be added.");
}

QString ClassEditController::renameFailedText() const
{
    return tr("The class could not be renamed.");
}

bool ClassEditController::addRecord(const QString &name, QString *errorText)
{
    auto *store = TovClassXmlDatabase::sharedClassUI();
    m_countBeforeAdd = store->classCount();
    return store->addClassWithName(name, errorText) > 0 && store->classCount() > m_countBeforeAdd;
}

bool ClassEditController::renameRecord(int index, const QString &name, QString *errorText)
{
    return TovClassXmlDatabase::sharedClassUI()->updateClassWithNo(m_arrClasses.at(index).classNo(), name, errorText);
}

void ClassEditController::recordAdded()
{
    done(1);
    postChange(Notify::NewClassAdded, m_countBeforeAdd);
}

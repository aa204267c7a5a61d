#include "SubjectEditController.h"

#include "core/roster/RosterRecords.h"
#include "core/store/TovSubjectXmlDatabase.h"
#include "platform/NotificationNames.h"

SubjectEditController::SubjectEditController(QWidget *parent)
    : NameListEditController(QStringLiteral("SubjectEdit"), tr("Subject"), QStringLiteral("textSubjectName"),
                             tr("Subject Name:"), tr("Subject:"), parent)
{
    textSubjectName = textName;
}

void SubjectEditController::readStore()
{
    TovSubjectXmlDatabase::sharedSubjectUI()->loadSubjects();
}

QStringList SubjectEditController::loadList()
{
    m_arrSubjects = RosterRecords::subjects(TovSubjectXmlDatabase::sharedSubjectUI()->subjectList());
    return RosterRecords::names(m_arrSubjects);
}

QString SubjectEditController::storedName(int index) const
{
    return TovSubjectXmlDatabase::sharedSubjectUI()->nameBySubjectNo(m_arrSubjects.at(index).subjectNo());
}

bool SubjectEditController::deleteRecord(int index, QString *errorText)
{
    return TovSubjectXmlDatabase::sharedSubjectUI()->deleteSubjectWithNo(m_arrSubjects.at(index).subjectNo(), errorText);
}

QString SubjectEditController::deleteQuestion() const
{
    return tr("Are you sure to delete this subject?");
}

QString SubjectEditController::deleteFailedText() const
{
    return tr("The subject could not be deleted.");
}

QLatin1String SubjectEditController::changeNotification() const
{
    return Notify::SubjectChanged;
}

// Ignoring letter case, the subject's own name included.
bool SubjectEditController::nameTaken(const QString &name, int) const
{
    return TovSubjectXmlDatabase::sharedSubjectUI()->existSubjectWithName(name);
}

QString SubjectEditController::takenText() const
{
    return tr("The subject name : %1 already exists.");
}

QString SubjectEditController::addFailedText() const
{
    return tr("The subject could not be added.");
}

QString SubjectEditController::renameFailedText() const
{
    return tr("The subject could not be renamed.");
}

bool SubjectEditController::addRecord(const QString &name, QString *errorText)
{
    SubjectEntity subject;
    subject.setName(name);
    return TovSubjectXmlDatabase::sharedSubjectUI()->addSubjectWithData(subject, errorText);
}

bool SubjectEditController::renameRecord(int index, const QString &name, QString *errorText)
{
    SubjectEntity subject;
    subject.setName(name);
    return TovSubjectXmlDatabase::sharedSubjectUI()->updateSubjectWithNo(m_arrSubjects.at(index).subjectNo(), subject,
                                                                         errorText);
}

void SubjectEditController::recordAdded()
{
    takeLastAsCurrent();
    postChange(Notify::SubjectChanged, currentIndex());
}

#include "TovCourseGradeXmlDatabase.h"

#include "GlobalFunctions.h"
#include "TovFastQuizXmlDatabase.h"
#include "TovQuizXmlDatabase.h"
#include "core/base/AppDelegateBase.h"

namespace {
using GF = GlobalFunctions;

void add(pugi::xml_node parent, const char *tag, const QString &value)
{
    GF::appendTextChild(parent, tag, value);
}

QString pointsOnlyFolder()
{
    const AppDelegateBase *app = AppDelegateBase::getAppDelegate();
    return app ? app->strCourseGradeFilePath() : QString();
}

// Defaults that the file shows and the record keeps: a blank title, a start time of now.
void applyDefaults(QuizEntity &quiz, const QString &now)
{
    if (quiz.title().isEmpty())
        quiz.setTitle(QStringLiteral(" "));
    if (quiz.startTime().isEmpty())
        quiz.setStartTime(now);
}

pugi::xml_document pointsOnlyDocument(const QuizEntity &quiz, const QString &id, const QString &dateCreated)
{
    pugi::xml_document doc;
    pugi::xml_node root = GF::createRoot(doc, TovQuizXmlDatabase::kRootName, true);
    add(root, "ID", id);
    add(root, "DateCreated", dateCreated);
    add(root, "Name", quiz.name());
    add(root, "Title", quiz.title());
    add(root, "Mode", quiz.actionType());
    add(root, "Model", quiz.machineName());
    add(root, "PassGrade", QStringLiteral("60"));
    add(root, "ClassName", quiz.className());
    add(root, "Subject", quiz.subject());
    add(root, "TeacherName", quiz.teacherName());
    // A flag here, not the number of groups a session file keeps.
    add(root, "Groups", quiz.group() > 1 ? QStringLiteral("1") : QStringLiteral("0"));
    add(root, "Type", quiz.sessionType());
    add(root, "TotalMark", quiz.totalMark());
    add(root, "StartTime", quiz.startTime());
    pugi::xml_node students = root.append_child("Students");
    for (const StudentEntity &s : quiz.allStudents()) {
        pugi::xml_node node = students.append_child("Student");
        add(node, "SID", s.id());
        add(node, "Name", s.firstName());
        add(node, "LastName", s.lastName());
        add(node, "TotalMark", s.totalMark());
    }
    return doc;
}

} // namespace

QString TovCourseGradeXmlDatabase::genUUID()
{
    return TovQuizXmlDatabase::genUUID();
}

bool TovCourseGradeXmlDatabase::addQuizWithName(const QString &name, QuizEntity &quiz, QString *writtenPath,
                                                QString *errorText)
{
    const QString now = GF::currentTimeDesp();
    applyDefaults(quiz, now);
    const QString folder = pointsOnlyFolder();
    if (folder.isEmpty())
        return GF::failWith(errorText, QStringLiteral("no data folder"));
    // The caller hands in the chosen day with the time of day; a record without one was made now.
    if (quiz.dateText().isEmpty())
        quiz.setDate(now);
    const QString dateCreated = quiz.dateText();
    const QString base = GF::safeFileName(name.isEmpty() ? QStringLiteral(" ") : name);
    const QString path = GF::freeFilePath(folder, base, QStringLiteral(".xml"), errorText);
    if (path.isEmpty())
        return false;
    const QString id = genUUID();
    if (!GF::saveXmlDocument(path, pointsOnlyDocument(quiz, id, dateCreated), errorText))
        return false;
    TovFastQuizXmlDatabase::sharedFastQuiz()->addQuizWithPath(path, id, 2, quiz);
    if (writtenPath)
        *writtenPath = path;
    return true;
}

bool TovCourseGradeXmlDatabase::upDataQuizForReport(const QString &path, const QuizEntity &quiz, QString *errorText)
{
    QuizEntity record = quiz;
    const QString now = GF::currentTimeDesp();
    // A rewrite keeps the session's own times of day: an edit is no new session, and the list
    // (by DateCreated) and the gradebook (by the day of StartTime) keep it where it was, on the
    // day the record now carries.
    pugi::xml_document stored;
    QString storedCreated, storedStart;
    if (GF::loadXmlFileToLook(path, stored)) {
        storedCreated = GF::getValueByTagName(QStringLiteral("DateCreated"), stored.document_element());
        storedStart = GF::getValueByTagName(QStringLiteral("StartTime"), stored.document_element());
    }
    const auto timeOf = [](const QString &stamp) { return stamp.size() > 10 ? stamp.mid(10) : QString(); };
    QString day = record.dateText().left(10);
    if (day.size() < 10)
        day = storedCreated.size() >= 10 ? storedCreated.left(10) : now.left(10);
    const QString createdTime = timeOf(storedCreated).isEmpty() ? now.mid(10) : timeOf(storedCreated);
    if (record.startTime().isEmpty())
        record.setStartTime(day + (timeOf(storedStart).isEmpty() ? createdTime : timeOf(storedStart)));
    applyDefaults(record, now);
    const QString dateCreated = day + createdTime;
    if (!GF::saveXmlDocument(path, pointsOnlyDocument(record, record.actNo(), dateCreated), errorText))
        return false;
    TovFastQuizXmlDatabase::sharedFastQuiz()->updateQuizWithPath(path, dateCreated, record);
    return true;
}

#include "TovFastQuizXmlDatabase.h"

#include "GlobalFunctions.h"
#include "QuizEntity.h"
#include "core/base/AppDelegateBase.h"
#include "platform/Singleton.h"

namespace {
// The header fields an add and an update both take from the record (not Mode, ID, DateCreated).
void fillFromRecord(QuizSummary &entry, const QuizEntity &quiz)
{
    entry.setName(quiz.name());
    entry.setTitle(quiz.title());
    entry.setType(quiz.sessionType());
    entry.setClassName(quiz.className());
    entry.setSubject(quiz.subject());
    entry.setTeacherName(quiz.teacherName());
    entry.setModel(quiz.machineName());
    entry.setPassGrade(quiz.passGrade());
    entry.setGroups(quiz.group());
    entry.setStartTime(quiz.startTime());
    entry.setEndTime(quiz.endTime());
    entry.setTimeElapsed(quiz.timeElapsed());
    entry.setTotalMark(quiz.totalMark());
}

QString recordDateText(const QuizEntity &quiz)
{
    if (quiz.date().userType() == QMetaType::QDateTime)
        return GlobalFunctions::standardDateText(quiz.date().toDateTime());
    return quiz.date().toString();
}
} // namespace

TovFastQuizXmlDatabase *TovFastQuizXmlDatabase::sharedFastQuiz()
{
    return Singleton<TovFastQuizXmlDatabase>::instance();
}

void TovFastQuizXmlDatabase::reloadQuiz(const Progress &progress)
{
    m_results.clear();
    loadQuiz(progress);
}

void TovFastQuizXmlDatabase::loadQuiz(const Progress &progress)
{
    m_results.append(readHeaders(progress));
}

QList<TovSessionXmlParsedResult> TovFastQuizXmlDatabase::readHeaders(const Progress &progress)
{
    const AppDelegateBase *app = AppDelegateBase::getAppDelegate();
    if (!app)
        return {};
    struct Folder
    {
        QString path;
        int flag;
        QStringList names;
    };
    QList<Folder> folders{{app->strQuizXmlDataFilePath(), 1, {}}, {app->strCourseGradeFilePath(), 2, {}}};
    int total = 0;
    for (Folder &folder : folders) {
        if (!GlobalFunctions::directoryExistsAtPath(folder.path))
            continue;
        folder.names = GlobalFunctions::fileListAtPath(folder.path, QStringLiteral("xml")).value_or(QStringList());
        total += int(folder.names.size());
    }
    QList<TovSessionXmlParsedResult> headers;
    headers.reserve(total);
    int done = 0;
    for (const Folder &folder : folders) {
        for (const QString &name : folder.names) {
            TovSessionXmlParsedResult entry;
            entry.setFilePath(GlobalFunctions::filePathForListedName(folder.path, name, QStringLiteral("xml")));
            entry.setFlag(folder.flag);
            entry.parseXMLFile(entry.filePath());
            headers.append(entry);
            if (progress)
                progress(++done, total);
        }
    }
    return headers;
}

void TovFastQuizXmlDatabase::addQSessionResult(const TovSessionXmlParsedResult &result)
{
    m_results.append(result);
}

void TovFastQuizXmlDatabase::addQuizWithPath(const QString &path, const QString &uuid, int flag, const QuizEntity &quiz)
{
    TovSessionXmlParsedResult entry;
    entry.setFilePath(path);
    entry.setID(uuid);
    entry.setFlag(flag);
    fillFromRecord(entry, quiz);
    entry.setMode(quiz.actionType());
    entry.setDateCreated(recordDateText(quiz));
    m_results.append(entry);
}

void TovFastQuizXmlDatabase::updateQuizWithPath(const QString &path, const QString &dateCreated, const QuizEntity &quiz)
{
    const qsizetype i = indexOfPath(path);
    if (i < 0)
        return;
    TovSessionXmlParsedResult &entry = m_results[i];
    fillFromRecord(entry, quiz);
    if (dateCreated == QLatin1String("Default"))
        entry.setDateCreated(recordDateText(quiz));
    else if (!dateCreated.isEmpty())
        entry.setDateCreated(dateCreated);
}

void TovFastQuizXmlDatabase::deleteQuizWithPath(const QString &path)
{
    const qsizetype i = indexOfPath(path);
    if (i >= 0)
        m_results.removeAt(i);
}

void TovFastQuizXmlDatabase::readAgainWithPath(const QString &path)
{
    const qsizetype i = indexOfPath(path);
    if (i < 0)
        return;
    TovSessionXmlParsedResult entry;
    entry.setFilePath(path);
    entry.setFlag(m_results.at(i).flag());
    entry.parseXMLFile(path);
    m_results[i] = entry;
}

const TovSessionXmlParsedResult *TovFastQuizXmlDatabase::session_resultByPath(const QString &path) const
{
    const qsizetype i = indexOfPath(path);
    return i < 0 ? nullptr : &m_results.at(i);
}

qsizetype TovFastQuizXmlDatabase::indexOfPath(const QString &path) const
{
    for (qsizetype i = 0; i < m_results.size(); ++i)
        if (m_results.at(i).filePath() == path)
            return i;
    return -1;
}

#include "RecordWatch.h"

#include "core/base/AppDelegateBase.h"
#include "core/store/DataFolderLayout.h"
#include "core/store/DataRemovals.h"
#include "core/store/GlobalFunctions.h"
#include "core/store/StudentRosterXmlHelper.h"
#include "core/store/TovStudentRoster.h"

#include <QDir>
#include <QFile>
#include <QMutexLocker>

#include <pugixml.hpp>

#include <sys/stat.h>

#include <algorithm>

RecordWatch::RecordWatch(std::function<bool()> acting) : m_acting(std::move(acting))
{
    m_data = DataFolderLayout::dataFolder();
    if (const AppDelegateBase *app = AppDelegateBase::getAppDelegate())
        m_classes = QDir(m_data).relativeFilePath(app->strClassXmlDataFilePath());
    m_roster = QString::fromLatin1(TovStudentRoster::kFileName);
    DataRemovals::setWatcher([this](const QString &path, const QString &studentID) { told(path, studentID); });
}

RecordWatch::~RecordWatch()
{
    DataRemovals::setWatcher({});
}

void RecordWatch::told(const QString &path, const QString &studentID)
{
    const QString clean = QDir::cleanPath(path);
    Removal removal;
    if (clean != m_data) {
        if (!clean.startsWith(m_data + QLatin1Char('/')))
            return;
        removal.relative = clean.mid(m_data.size() + 1);
    }
    removal.studentID = studentID.toCaseFolded();
    removal.acted = m_acting && m_acting();
    const QMutexLocker lock(&m_mutex);
    m_removals << removal;
}

QSet<RecordWatch::Record> RecordWatch::census(QStringList &unreadable)
{
    QStringList files;
    for (const DataFolderLayout::File &file : DataFolderLayout::filesOfKeptFolders())
        files << file.relative;
    if (QFileInfo::exists(m_data + QLatin1Char('/') + m_roster))
        files << m_roster;
    files.removeDuplicates();
    QSet<Record> out;
    for (const QString &relative : files) {
        const QString path = m_data + QLatin1Char('/') + relative;
        struct stat st {};
        if (::stat(QFile::encodeName(path).constData(), &st) != 0)
            continue;
        const QString stamp = QStringLiteral("%1 %2.%3 %4.%5 %6")
                                  .arg(st.st_size)
                                  .arg(st.st_mtim.tv_sec)
                                  .arg(st.st_mtim.tv_nsec)
                                  .arg(st.st_ctim.tv_sec)
                                  .arg(st.st_ctim.tv_nsec)
                                  .arg(st.st_ino);
        // Sessions list students too, but only as they took part: the students are the roster's
        // and the classes'.
        const bool holdsStudents = relative == m_roster || relative.startsWith(m_classes + QLatin1Char('/'));
        FileState &state = m_files[relative];
        if (state.stamp != stamp) {
            state.stamp = stamp;
            QFile file(path);
            const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
            state.problem = file.isOpen() ? DataFolderLayout::contentProblem(relative, bytes) : file.errorString();
            pugi::xml_document doc;
            // A file that does not read keeps the students it was last seen with: it is named
            // once as unreadable, not again for each of them.
            if (holdsStudents && state.problem.isEmpty() && GlobalFunctions::parseXmlBytes(bytes, doc)) {
                state.students.clear();
                for (pugi::xml_node student : StudentRosterXmlHelper::studentsIn(doc).children("Student"))
                    state.students << QString::fromUtf8(student.child_value("ID")).toCaseFolded();
            }
        }
        if (!state.problem.isEmpty())
            unreadable << relative;
        if (relative != m_roster)
            out.insert({relative, QString()});
        for (const QString &id : std::as_const(state.students))
            out.insert({relative, id});
    }
    return out;
}

bool RecordWatch::excused(const Record &record, const QList<Removal> &removals) const
{
    return std::any_of(removals.cbegin(), removals.cend(), [&](const Removal &r) {
        const bool file = r.relative.isEmpty() || record.first == r.relative
                          || record.first.startsWith(r.relative + QLatin1Char('/'));
        return r.acted && file && (r.studentID.isEmpty() || r.studentID == record.second);
    });
}

QString RecordWatch::describe(const Record &record) const
{
    if (!record.second.isEmpty())
        return record.first == m_roster ? QStringLiteral("the student %1 of the school roster").arg(record.second)
                                        : QStringLiteral("the student %1 of %2").arg(record.second, record.first);
    return (record.first.startsWith(m_classes + QLatin1Char('/')) ? QStringLiteral("the class ")
                                                                  : QStringLiteral("the session "))
           + record.first;
}

RecordWatch::Findings RecordWatch::check()
{
    // A removal is told once the disk changed, maybe on another thread while the census reads:
    // those told since the check before this one excuse what this census finds gone.
    QList<Removal> removals;
    {
        const QMutexLocker lock(&m_mutex);
        removals.swap(m_removals);
    }
    QStringList unreadable;
    const QSet<Record> now = census(unreadable);
    const QList<Removal> excuses = m_lastRemovals + removals;
    m_lastRemovals = removals;
    Findings out;
    for (const Removal &r : std::as_const(removals))
        out.removals << QStringLiteral("%1%2%3")
                            .arg(r.relative.isEmpty() ? QStringLiteral("the whole data folder") : r.relative,
                                 r.studentID.isEmpty() ? QString() : QStringLiteral(", student ") + r.studentID,
                                 r.acted ? QString() : QStringLiteral(" (told while no step acted)"));
    if (!m_first)
        for (const Record &record : std::as_const(m_kept))
            if (!now.contains(record) && !excused(record, excuses))
                out.failures << describe(record) + QStringLiteral(" is gone, and no Delete of Pollix's took it");
    QSet<QString> stillUnreadable;
    for (const QString &relative : std::as_const(unreadable)) {
        stillUnreadable.insert(relative);
        if (!m_unreadable.contains(relative))
            out.failures << relative + QStringLiteral(" no longer reads: ") + m_files.value(relative).problem;
    }
    m_unreadable = stillUnreadable;
    m_kept = now;
    m_first = false;
    std::sort(out.failures.begin(), out.failures.end());
    return out;
}

#include "RecordWatch.h"

#include "core/base/AppDelegateBase.h"
#include "core/store/DataFolderLayout.h"
#include "core/store/DataRemovals.h"
#include "core/store/DataSaves.h"
#include "core/store/GlobalFunctions.h"
#include "core/store/StudentRosterXmlHelper.h"
#include "core/store/TovStudentRoster.h"
#include "platform/ContentHash.h"

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
    DataSaves::setWatcher([this](const QString &path, const QByteArray &bytes) { toldSave(path, bytes); });
}

RecordWatch::~RecordWatch()
{
    DataRemovals::setWatcher({});
    DataSaves::setWatcher({});
}

std::optional<QString> RecordWatch::relativeOf(const QString &path) const
{
    const QString clean = QDir::cleanPath(path);
    if (clean == m_data)
        return QString();
    if (!clean.startsWith(m_data + QLatin1Char('/')))
        return std::nullopt;
    return clean.mid(m_data.size() + 1);
}

void RecordWatch::told(const QString &path, const QString &studentID)
{
    const std::optional<QString> relative = relativeOf(path);
    if (!relative)
        return;
    Removal removal;
    removal.relative = *relative;
    removal.studentID = studentID.toCaseFolded();
    removal.acted = m_acting && m_acting();
    const QMutexLocker lock(&m_mutex);
    m_removals << removal;
}

void RecordWatch::toldSave(const QString &path, const QByteArray &bytes)
{
    const std::optional<QString> relative = relativeOf(path);
    if (!relative || relative->isEmpty())
        return;
    const Save save{*relative, ContentHash::of(bytes)};
    const QMutexLocker lock(&m_mutex);
    m_saves << save;
}

QSet<RecordWatch::Record> RecordWatch::census(QStringList &unreadable, QStringList &changed)
{
    QStringList files;
    for (const DataFolderLayout::File &file : DataFolderLayout::filesOfKeptFolders())
        files << file.relative;
    if (QFileInfo::exists(m_data + QLatin1Char('/') + m_roster))
        files << m_roster;
    files.removeDuplicates();
    QSet<Record> out;
    QSet<QString> seen;
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
        seen.insert(relative);
        FileState &state = m_files[relative];
        if (state.stamp != stamp) {
            state.stamp = stamp;
            QFile file(path);
            const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
            state.problem = file.isOpen() ? DataFolderLayout::contentProblem(relative, bytes) : file.errorString();
            // A file that no longer reads is named for that alone.
            const QByteArray digest = ContentHash::of(bytes);
            if (!state.digest.isEmpty() && digest != state.digest && state.problem.isEmpty())
                changed << relative;
            state.digest = digest;
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
    // A file gone is judged as gone; one put under its name later is a new file.
    for (auto it = m_files.begin(); it != m_files.end();)
        it = seen.contains(it.key()) ? std::next(it) : m_files.erase(it);
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
    if (record.first == m_roster)
        return QStringLiteral("the school roster");
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
    QStringList unreadable, changed;
    const QSet<Record> now = census(unreadable, changed);
    // A save is told before its write: each one the census may have read is told by now.
    QList<Save> saves;
    {
        const QMutexLocker lock(&m_mutex);
        saves.swap(m_saves);
    }
    const QList<Removal> excuses = m_lastRemovals + removals;
    m_lastRemovals = removals;
    Findings out;
    for (const Save &save : std::as_const(saves)) {
        m_toldSaves[save.relative] << save.digest;
        out.saves << save.relative;
    }
    out.saves.removeDuplicates();
    for (const Removal &r : std::as_const(removals))
        out.removals << QStringLiteral("%1%2%3")
                            .arg(r.relative.isEmpty() ? QStringLiteral("the whole data folder") : r.relative,
                                 r.studentID.isEmpty() ? QString() : QStringLiteral(", student ") + r.studentID,
                                 r.acted ? QString() : QStringLiteral(" (told while no step acted)"));
    QSet<QString> lostIn;
    if (!m_first)
        for (const Record &record : std::as_const(m_kept))
            if (!now.contains(record) && !excused(record, excuses)) {
                out.failures << describe(record) + QStringLiteral(" is gone, and no Delete of Pollix's took it");
                lostIn.insert(record.first);
            }
    // A file that holds what Pollix said it would write has taken that save and those told before
    // it; one that holds anything else changed otherwise, unless named already for a record lost.
    for (auto it = m_toldSaves.begin(); it != m_toldSaves.end();) {
        const qsizetype taken = it->indexOf(m_files.value(it.key()).digest);
        if (taken >= 0)
            it->remove(0, taken + 1);
        if (changed.contains(it.key()) && taken >= 0)
            changed.removeAll(it.key());
        it = it->isEmpty() ? m_toldSaves.erase(it) : std::next(it);
    }
    for (const QString &relative : std::as_const(changed))
        if (!lostIn.contains(relative) && !excused({relative, QString()}, excuses))
            out.failures << describe({relative, QString()}) + QStringLiteral(" holds what no save of Pollix's wrote there");
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

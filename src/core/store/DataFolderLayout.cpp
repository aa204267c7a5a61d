#include "DataFolderLayout.h"

#include "TovGradeLetterXmlDatabase.h"
#include "TovGradeSessionsXmlDatabase.h"
#include "TovPeriodXmlDatabase.h"
#include "TovWeightAndSessionTypeXmlDatabase.h"
#include "core/base/AppDelegateBase.h"
#include "core/store/GlobalFunctions.h"
#include "core/store/StudentRosterXmlHelper.h"
#include "core/store/TovQuizXmlDatabase.h"
#include "core/store/TovStudentRoster.h"
#include "core/store/TovSubjectXmlDatabase.h"
#include "core/store/TovTeacherXmlDatabase.h"
#include "core/store/TovUserListXmlDatabase.h"
#include "platform/RecordFile.h"
#include "platform/RegularFile.h"
#include "platform/TakenFolders.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QHash>

#include <pugixml.hpp>

#include <algorithm>
#include <atomic>
#include <string_view>

namespace {
using GF = GlobalFunctions;

QString rootProblem(const pugi::xml_document &doc, const char *root, const char *what)
{
    if (std::string_view(doc.document_element().name()) == root)
        return QString();
    return QStringLiteral("it is no %1 (its root element is <%2>, not <%3>)")
        .arg(QLatin1String(what), GF::fromUtf8(doc.document_element().name()), QLatin1String(root));
}

QString sessionProblem(const pugi::xml_document &doc)
{
    const QString root = rootProblem(doc, TovQuizXmlDatabase::kRootName, "session file");
    if (!root.isEmpty())
        return root;
    // Read as the session list and the reports will read it.
    TovQuizXmlDatabase::sessionIn(doc);
    return QString();
}

QString studentsProblem(const pugi::xml_document &doc, const char *what)
{
    if (StudentRosterXmlHelper::studentsIn(doc))
        return QString();
    return QStringLiteral("it is no %1 (it holds no <Students>)").arg(QLatin1String(what));
}

QString loginProblem(const pugi::xml_document &doc)
{
    // The login window checks typed accounts against these; without one nobody could log in,
    // and Data Management, where a good backup could be restored, needs a login.
    for (const UserEntity &user : TovUserListXmlDatabase::usersIn(doc))
        if (!user.name().isEmpty())
            return QString();
    return QStringLiteral("it holds no login account");
}

// The files lying directly in the data folder that a store loads, with what it expects.
struct StoreFile
{
    const char *name;
    QString (*problem)(const pugi::xml_document &);
};

const QList<StoreFile> &storeFiles()
{
    static const QList<StoreFile> files{
        {TovUserListXmlDatabase::kFileName, loginProblem},
        {TovStudentRoster::kFileName, [](const pugi::xml_document &d) { return studentsProblem(d, "student roster"); }},
        {TovSubjectXmlDatabase::kFileName,
         [](const pugi::xml_document &d) { return rootProblem(d, TovSubjectXmlDatabase::kRootName, "subject list"); }},
        {TovTeacherXmlDatabase::kFileName,
         [](const pugi::xml_document &d) { return rootProblem(d, TovTeacherXmlDatabase::kRootName, "teacher roster"); }},
        {TovGradeLetterXmlDatabase::kFileName,
         [](const pugi::xml_document &d) { return rootProblem(d, TovGradeLetterXmlDatabase::kRootName, "letter-grade file"); }},
        {TovGradeSessionsXmlDatabase::kFileName,
         [](const pugi::xml_document &d) { return rootProblem(d, TovGradeSessionsXmlDatabase::kRootName, "course-grade file"); }},
        {TovPeriodXmlDatabase::kFileName,
         [](const pugi::xml_document &d) { return rootProblem(d, TovPeriodXmlDatabase::kRootName, "grading-period file"); }},
        {TovWeightAndSessionTypeXmlDatabase::kFileName, [](const pugi::xml_document &d) {
             return rootProblem(d, TovWeightAndSessionTypeXmlDatabase::kRootName, "weight file");
         }},
    };
    return files;
}

struct Folders
{
    QString data; // without trailing "/"
    QString sessions, pointsOnly, classes;
};

Folders folders()
{
    const AppDelegateBase *app = AppDelegateBase::getAppDelegate();
    if (!app || app->strDataFilePath().isEmpty())
        return {};
    const QString data = QDir::cleanPath(app->strDataFilePath());
    const QDir root(data);
    return {data, root.relativeFilePath(app->strQuizXmlDataFilePath()),
            root.relativeFilePath(app->strCourseGradeFilePath()), root.relativeFilePath(app->strClassXmlDataFilePath())};
}

QList<DataFolderLayout::File> filesBelow(const QString &data, const QString &folder)
{
    QList<DataFolderLayout::File> out;
    const QString path = folder.isEmpty() ? data : data + QLatin1Char('/') + folder;
    const QDir root(data);
    for (const QString &name : GF::fileListAtPath(path, QStringLiteral("xml")).value_or(QStringList())) {
        const QString file = GF::filePathForListedName(path, name, QStringLiteral("xml"));
        out << DataFolderLayout::File{file, root.relativeFilePath(file)};
    }
    return out;
}
} // namespace

namespace {
std::atomic<int> fileLimitSet{0};
} // namespace

int DataFolderLayout::fileLimit()
{
    const int set = fileLimitSet.load();
    return set > 0 ? set : kMaxFiles;
}

void DataFolderLayout::setFileLimit(int files)
{
    fileLimitSet.store(files);
}

QStringList DataFolderLayout::keptFolders()
{
    const Folders f = folders();
    if (f.data.isEmpty())
        return {};
    return {f.sessions, f.pointsOnly, f.classes};
}

QString DataFolderLayout::dataFolder()
{
    return folders().data;
}

QList<DataFolderLayout::File> DataFolderLayout::filesOfKeptFolders()
{
    const QString data = dataFolder();
    QList<File> out;
    if (!data.isEmpty())
        for (const QString &folder : keptFolders())
            out << filesBelow(data, folder);
    return out;
}

QList<DataFolderLayout::File> DataFolderLayout::filesOfDataFolder()
{
    const QString data = dataFolder();
    return data.isEmpty() ? QList<File>() : filesBelow(data, QString());
}

QList<DataFolderLayout::Unreadable> DataFolderLayout::unreadableBelow(const QString &folder)
{
    QList<Unreadable> out;
    // As the backup's listing goes: through the folders the start took as links too.
    for (const QString &start : QStringList{folder} + TakenFolders::linksIn(folder)) {
        // System: pipes, devices, sockets and links that lead nowhere, which Files alone passes over.
        QDirIterator it(start, QDir::Files | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            it.next();
            // The listing looked at each already: only what is no regular file is looked at again.
            if (!isDataFileName(it.fileName()) || it.fileInfo().isFile())
                continue;
            if (const QString why = RegularFile::problemAt(it.filePath()); !why.isEmpty())
                out << Unreadable{it.filePath(), why};
        }
    }
    return out;
}

QList<DataFolderLayout::BackupFile> DataFolderLayout::backupFiles(const QString &dataRoot, const QStringList &folders,
                                                                  QString *refusal)
{
    QList<BackupFile> out;
    QStringList refused;
    QHash<QString, qint64> sizes;
    const QString root = QDir::cleanPath(dataRoot);
    const QDir dataDir(root);
    const auto refuse = [&refused](const QString &file, const QString &problem) {
        const QString text = QStringLiteral("%1 (%2)").arg(file, problem);
        if (!refused.contains(text))
            refused << text;
    };
    QStringList linked;
    for (const QString &folder : folders) {
        // A folder of the data put in place as a link since the start (one the start took is
        // read as the folder it leads to) would bring another folder's files into the archive;
        // a taken link whose folder is away or that leads elsewhere now is told as such, with
        // its way out, as a save and a restore tell it.
        if (const QString clean = QDir::cleanPath(folder);
            clean != root && TakenFolders::kindAsReached(clean) == RecordFile::Kind::Link) {
            if (!linked.contains(clean))
                linked << clean;
            continue;
        }
        // A data file that is a pipe or a device (or a link to one) is no file the listing
        // takes, and would be left out of an archive said to be whole.
        for (const Unreadable &file : unreadableBelow(folder))
            refuse(QDir::cleanPath(file.path), file.why);
        const std::optional<QStringList> names = GF::fileListAtPath(folder, QStringLiteral("xml"));
        for (const QString &name : names.value_or(QStringList())) {
            // Named after the file's path with the data folder cut off; the data folder's own
            // pass so gives "//Quiz/x.xml". The name keeps the extension as the file has it. The
            // file itself goes by one clean path in both passes, so that a refusal names it once.
            const QString file = QDir::cleanPath(GF::filePathForListedName(folder, name, QStringLiteral("xml")));
            QString entry = QFileInfo(folder + QLatin1Char('/') + name).path() + QLatin1Char('/') + QFileInfo(file).fileName();
            if (entry.startsWith(root))
                entry = entry.mid(root.size());
            const QString relative = dataDir.relativeFilePath(file);
            // Only what a restore would take back goes in.
            const qint64 size = QFileInfo(file).size();
            QString problem = nameProblem(relative);
            if (problem.isEmpty() && quint64(std::max<qint64>(size, 0)) > kMaxFileSize)
                problem = QStringLiteral("it is larger than a data file may be (%1 MB)").arg(kMaxFileSize >> 20);
            if (!problem.isEmpty()) {
                refuse(file, problem);
                continue;
            }
            // Keyed by the place in the data folder: the two passes name a file by different paths.
            sizes.insert(relative, size);
            out << BackupFile{file, entry, relative, size};
        }
    }
    QString folderRefusal = linked.isEmpty() ? QString() : TakenFolders::refusalOf(linked);
    if (!linked.isEmpty() && folderRefusal.isEmpty())
        for (const QString &folder : std::as_const(linked))
            refuse(folder, QStringLiteral("it is %1").arg(RecordFile::kindText(RecordFile::Kind::Link)));
    if (!refused.isEmpty() || !folderRefusal.isEmpty()) {
        QStringList said;
        if (!folderRefusal.isEmpty())
            said << folderRefusal;
        if (!refused.isEmpty())
            said << QStringLiteral("These files cannot be backed up: %1").arg(refused.join(QStringLiteral(", ")));
        *refusal = said.join(QLatin1Char(' '));
        return {};
    }
    quint64 total = 0;
    for (const qint64 size : std::as_const(sizes))
        total += quint64(std::max<qint64>(size, 0));
    // Each file once, its size too, as a restore counts them, though the kept folders' files go
    // in twice.
    if (total > kMaxTotalSize || sizes.size() > fileLimit()) {
        *refusal = QStringLiteral("The data files (%1 MB in %2 files) are more than one backup may hold (%3 MB, %4 files).")
                       .arg(total >> 20).arg(sizes.size()).arg(kMaxTotalSize >> 20).arg(fileLimit());
        return {};
    }
    return out;
}

QString DataFolderLayout::backupRefusal(const QString &root)
{
    QStringList folders;
    for (const QString &kept : keptFolders())
        folders << QDir::cleanPath(root) + QLatin1Char('/') + kept;
    QString refusal;
    backupFiles(root, folders << QDir::cleanPath(root) + QLatin1Char('/'), &refusal);
    return refusal;
}

bool DataFolderLayout::isDataFileName(const QString &name)
{
    return name.endsWith(QStringLiteral(".xml"), Qt::CaseInsensitive);
}

bool DataFolderLayout::holdsDataFile(const QString &folder)
{
    for (const QString &start : QStringList{folder} + TakenFolders::linksIn(folder)) {
        QDirIterator it(start, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            it.next();
            if (isDataFileName(it.fileName()) && it.fileInfo().isFile())
                return true;
        }
    }
    return false;
}

QString DataFolderLayout::nameProblem(const QString &relative)
{
    const QStringList parts = relative.split(QLatin1Char('/'));
    for (const QString &part : parts) {
        if (part.isEmpty() || part == QLatin1String(".") || part == QLatin1String(".."))
            return QStringLiteral("\"%1\" is no plain path").arg(relative);
        for (const QChar c : part)
            if (c.unicode() < 0x20 || c == QLatin1Char('\\') || c.unicode() == 0x7f)
                return QStringLiteral("\"%1\" holds a character a backup cannot name").arg(relative);
    }
    if (parts.first().size() == 2 && parts.first().at(1) == QLatin1Char(':'))
        return QStringLiteral("\"%1\" begins with a drive letter").arg(relative);
    if (!isDataFileName(relative) || parts.last().size() <= 4)
        return QStringLiteral("\"%1\" is not a data file").arg(relative);
    return QString();
}

QString DataFolderLayout::entryNameProblem(const QString &entryName, const QString &relative)
{
    return entryNameProblem(entryName, relative, keptFolders());
}

QString DataFolderLayout::entryNameProblem(const QString &entryName, const QString &relative, const QStringList &kept)
{
    const QString name = QString(entryName).replace(QLatin1Char('\\'), QLatin1Char('/'));
    qsizetype leading = 0;
    while (leading < name.size() && name.at(leading) == QLatin1Char('/'))
        ++leading;
    const qsizetype slash = relative.indexOf(QLatin1Char('/'));
    // A file of the data folder itself, or of a kept folder: any form.
    if (slash < 0 || leading >= 2 || kept.contains(relative.left(slash)))
        return QString();
    return QStringLiteral("\"%1\" is not a place the program keeps data in").arg(entryName);
}

QString DataFolderLayout::contentProblem(const QString &relative, const QByteArray &bytes)
{
    if (quint64(bytes.size()) > kMaxFileSize)
        return QStringLiteral("it is larger than a data file may be (%1 MB)").arg(kMaxFileSize >> 20);
    pugi::xml_document doc;
    QString why;
    if (!GF::parseXmlBytes(bytes, doc, &why))
        return QStringLiteral("it is not readable XML: %1").arg(why);
    const qsizetype slash = relative.indexOf(QLatin1Char('/'));
    if (slash < 0) {
        for (const StoreFile &store : storeFiles())
            if (relative == QLatin1String(store.name))
                return store.problem(doc);
        return QString();
    }
    const Folders f = folders();
    const QString folder = relative.left(slash);
    if (folder == f.sessions || folder == f.pointsOnly)
        return sessionProblem(doc);
    if (folder == f.classes)
        return studentsProblem(doc, "class file");
    return QString();
}

QString DataFolderLayout::loginFile()
{
    return QString::fromLatin1(TovUserListXmlDatabase::kFileName);
}

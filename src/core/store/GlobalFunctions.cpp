#include "GlobalFunctions.h"

#include "DataSaves.h"
#include "StoreTransaction.h"

#include "core/base/AppDelegateBase.h"
#include "platform/AtomicFile.h"
#include "platform/ChangeJournal.h"
#include "platform/FileVersions.h"
#include "platform/FolderHandle.h"
#include "platform/Log.h"
#include "platform/RecordFile.h"
#include "platform/RegularFile.h"
#include "platform/TakenFolders.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QIODevice>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <climits>
#include <cstring>
#include <mutex>

#include <unistd.h>

namespace {
std::mutex g_clockMutex;
std::function<QDateTime()> g_clock;

constexpr int kStoredZoneOffset = 8 * 3600;

// Twenty non-zero key bytes below 10: every ASCII byte stays ASCII and none becomes zero.
constexpr unsigned char g_seedChars[20] = {3, 7, 1, 9, 4, 2, 8, 5, 6, 1, 7, 3, 9, 2, 4, 8, 6, 5, 1, 3};
} // namespace

QString GlobalFunctions::toXmlString(const QString &text)
{
    QString out = text;
    for (QChar &c : out)
        if (c.unicode() >= 0x01 && c.unicode() <= 0x19)
            c = QLatin1Char(' ');
    return out;
}

QString GlobalFunctions::currentTimeDesp()
{
    return currentDateTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
}

QDateTime GlobalFunctions::currentDateTime()
{
    {
        std::lock_guard lock(g_clockMutex);
        if (g_clock)
            return g_clock();
    }
    return QDateTime::currentDateTime();
}

void GlobalFunctions::setClockForTesting(std::function<QDateTime()> clock)
{
    std::lock_guard lock(g_clockMutex);
    g_clock = std::move(clock);
}

QDateTime GlobalFunctions::dateFromStoredDay(const QString &day)
{
    const QDate d = QDate::fromString(day.left(10), QStringLiteral("yyyy-MM-dd"));
    if (!d.isValid())
        return QDateTime();
    return QDateTime(d, QTime(0, 0, 0), Qt::OffsetFromUTC, kStoredZoneOffset);
}

QDateTime GlobalFunctions::dateFromStoredTimeStamp(const QString &stamp)
{
    const QDateTime local = QDateTime::fromString(stamp.left(19), QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
    if (!local.isValid())
        return QDateTime();
    return QDateTime(local.date(), local.time(), Qt::OffsetFromUTC, kStoredZoneOffset);
}

QString GlobalFunctions::standardDateText(const QDateTime &date)
{
    if (!date.isValid())
        return QString();
    return date.toOffsetFromUtc(kStoredZoneOffset).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) +
           QStringLiteral(" +0800");
}

QString GlobalFunctions::timeStampFromStandardText(const QString &text)
{
    QString out = text;
    if (out.size() > 10 && out.at(10) == QLatin1Char(' '))
        out[10] = QLatin1Char('T');
    return out.left(19);
}

QString GlobalFunctions::dayText(const QDateTime &date)
{
    return date.isValid() ? date.date().toString(QStringLiteral("yyyy-MM-dd")) : QString();
}

QDateTime GlobalFunctions::dateFromDayText(const QString &text)
{
    const QDate d = QDate::fromString(text.trimmed(), QStringLiteral("yyyy-MM-dd"));
    return d.isValid() ? QDateTime(d, QTime(0, 0)) : QDateTime();
}

namespace {
int codeOf(QChar c)
{
    return c.unicode();
}
int codeOf(char c)
{
    return static_cast<unsigned char>(c);
}

// Optional blanks and sign, then digits; clamped to the int range.
template <typename Char>
int leadingInteger(const Char *p, const Char *end, bool (*isSpace)(Char))
{
    while (p < end && isSpace(*p))
        ++p;
    bool negative = false;
    if (p < end && (*p == Char('-') || *p == Char('+'))) {
        negative = *p == Char('-');
        ++p;
    }
    long long value = 0;
    for (; p < end && *p >= Char('0') && *p <= Char('9'); ++p)
        value = std::min(value * 10 + (codeOf(*p) - '0'), static_cast<long long>(INT_MAX) + 1);
    if (negative)
        return static_cast<int>(std::max(-value, static_cast<long long>(INT_MIN)));
    return static_cast<int>(std::min(value, static_cast<long long>(INT_MAX)));
}
} // namespace

int GlobalFunctions::intValue(const QString &text)
{
    return leadingInteger<QChar>(text.constData(), text.constData() + text.size(),
                                 [](QChar c) { return c.isSpace(); });
}

int GlobalFunctions::intValueOfUtf8(std::string_view text)
{
    return leadingInteger<char>(text.data(), text.data() + text.size(),
                                [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); });
}

namespace {
// Where the longest leading [+-]digits[.digits][e[+-]digits] after blanks lies in a text:
// [first, second); empty when there is none.
template <typename Char>
std::pair<qsizetype, qsizetype> leadingNumber(const Char *text, qsizetype n, bool (*isSpace)(Char))
{
    qsizetype i = 0;
    while (i < n && isSpace(text[i]))
        ++i;
    const qsizetype start = i;
    const auto isDigit = [&](qsizetype k) { return k < n && text[k] >= Char('0') && text[k] <= Char('9'); };
    if (i < n && (text[i] == Char('+') || text[i] == Char('-')))
        ++i;
    qsizetype digits = 0;
    for (; isDigit(i); ++i)
        ++digits;
    if (i < n && text[i] == Char('.'))
        for (++i; isDigit(i); ++i)
            ++digits;
    if (digits == 0)
        return {start, start};
    qsizetype end = i;
    if (i < n && (text[i] == Char('e') || text[i] == Char('E'))) {
        qsizetype k = i + 1;
        if (k < n && (text[k] == Char('+') || text[k] == Char('-')))
            ++k;
        if (isDigit(k)) {
            while (isDigit(k))
                ++k;
            end = k;
        }
    }
    return {start, end};
}
} // namespace

float GlobalFunctions::floatValue(const QString &text)
{
    // Read with "." as the point whatever the locale.
    const auto [start, end] = leadingNumber<QChar>(text.constData(), text.size(), [](QChar c) { return c.isSpace(); });
    return start == end ? 0.0f : text.mid(start, end - start).toFloat();
}

float GlobalFunctions::floatValueOfUtf8(std::string_view text)
{
    const auto [start, end] = leadingNumber<char>(text.data(), qsizetype(text.size()),
                                                  [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); });
    return start == end ? 0.0f : QByteArrayView(text.data() + start, end - start).toFloat();
}

bool GlobalFunctions::boolValue(const QString &text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text.at(i).isSpace())
        ++i;
    if (i < n && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+')))
        ++i;
    while (i < n && text.at(i) == QLatin1Char('0'))
        ++i;
    if (i == n)
        return false;
    const QChar c = text.at(i);
    return (c >= QLatin1Char('1') && c <= QLatin1Char('9')) || QStringLiteral("YyTt").contains(c);
}

QString GlobalFunctions::getValueByTagName(const QString &tag, const pugi::xml_node &parent)
{
    const pugi::xml_node child = parent.child(utf8(tag).c_str());
    if (!child)
        return QString();
    return fromUtf8(child.text().get());
}

void GlobalFunctions::setValue(const QString &value, const QString &tag, pugi::xml_node parent)
{
    const std::string name = utf8(tag);
    pugi::xml_node child = parent.child(name.c_str());
    if (!child)
        child = parent.append_child(name.c_str());
    child.text().set(utf8(value).c_str());
}

void GlobalFunctions::deleteByTagName(const QString &tag, pugi::xml_node parent)
{
    const pugi::xml_node child = parent.child(utf8(tag).c_str());
    if (child)
        parent.remove_child(child);
}

QString GlobalFunctions::getValueByXPath(const QString &xpath, const pugi::xml_node &context)
{
    try {
        const pugi::xpath_node hit = context.select_node(utf8(xpath).c_str());
        if (!hit)
            return QString();
        if (hit.attribute())
            return fromUtf8(hit.attribute().value());
        const pugi::xml_node node = hit.node();
        if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata)
            return fromUtf8(node.value());
        return fromUtf8(node.child_value());
    } catch (const pugi::xpath_exception &e) {
        PollixLog(QString::fromUtf8(e.what()));
        return QString();
    }
}

std::optional<QStringList> GlobalFunctions::fileListAtPath(const QString &folder, const QString &ext)
{
    const QFileInfo info(folder);
    if (!info.isDir()) {
        // Missing is how a first start finds each folder before it is made; something else in
        // its place is a fault.
        if (const RecordFile::Kind kind = RecordFile::kindAt(folder); kind != RecordFile::Kind::Missing)
            PollixLog(QStringLiteral("Folder %1 cannot be listed: it is %2").arg(folder, RecordFile::kindText(kind)));
        return std::nullopt;
    }
    const QDir root(folder);
    QStringList out;
    // A folder the start took as a link (sessions moved to another disk) is listed as the folders
    // the iterator enters; no other link is.
    for (const QString &start : QStringList{folder} + TakenFolders::linksIn(folder)) {
        QDirIterator it(start, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            it.next();
            const QFileInfo fi = it.fileInfo();
            if (!fi.isFile())
                continue;
            const QString name = fi.fileName();
            const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
            if (dot < 0 || name.mid(dot + 1).compare(ext, Qt::CaseInsensitive) != 0)
                continue;
            QString rel = root.relativeFilePath(fi.filePath());
            rel.chop(name.size() - dot);
            out << rel;
        }
    }
    return out;
}

QString GlobalFunctions::filePathForListedName(const QString &folder, const QString &name, const QString &ext)
{
    const QString path = folder + QLatin1Char('/') + name + QLatin1Char('.') + ext;
    if (QFileInfo::exists(path))
        return path;
    // The listing ignores the extension's case and this file system does not.
    const QFileInfo wanted(path);
    const QString stem = wanted.completeBaseName() + QLatin1Char('.');
    const QDir dir = wanted.dir();
    for (const QString &entry : dir.entryList(QDir::Files | QDir::Hidden)) {
        if (entry.size() == stem.size() + ext.size() && entry.startsWith(stem) &&
            entry.endsWith(ext, Qt::CaseInsensitive))
            return dir.filePath(entry);
    }
    return path;
}

namespace {
// Anything at the path counts. Nothing there is no fault: a store's file is missing until the
// store first makes it, and a caller that needs it says why it failed; a question without a path
// is one, and is logged naming what was looked for.
bool existsAtPath(const QString &path, QLatin1String what)
{
    if (path.isNull()) {
        PollixLog(QStringLiteral("%1 looked for without a path").arg(what));
        return false;
    }
    const StoreTransaction *transaction = StoreTransaction::current();
    if (transaction && transaction->held(path))
        return true;
    if (transaction && transaction->removes(path)) {
        PollixLog(QStringLiteral("%1 %2 is being removed").arg(what, path));
        return false;
    }
    return QFileInfo::exists(path);
}
} // namespace

bool GlobalFunctions::directoryExistsAtPath(const QString &path)
{
    return existsAtPath(path, QLatin1String("Folder"));
}

bool GlobalFunctions::fileExistsAtPath(const QString &path)
{
    return existsAtPath(path, QLatin1String("File"));
}

QString GlobalFunctions::classXmlDatabasePath()
{
    const AppDelegateBase *app = AppDelegateBase::getAppDelegate();
    return app ? app->strClassXmlDataFilePath() : QString();
}

QString GlobalFunctions::pathInDataFolder(const QString &fileName)
{
    const AppDelegateBase *app = AppDelegateBase::getAppDelegate();
    return app && !app->strDataFilePath().isEmpty() ? app->strDataFilePath() + fileName : QString();
}

QString GlobalFunctions::pathInApplicationFolder(const QString &fileName)
{
    const AppDelegateBase *app = AppDelegateBase::getAppDelegate();
    return app && !app->strPollixFilePath().isEmpty() ? app->strPollixFilePath() + fileName : QString();
}

namespace {
// A file of a change the start could not finish is not written on its own either: finished
// later, that change would overwrite it or take it back (a change of several files checks all
// of them when it commits).
bool heldBackByUnfinishedChange(const QString &path, QString *errorText)
{
    const QString pending = ChangeJournal::unfinishedChangeOf({path});
    if (pending.isEmpty())
        return true;
    PollixLog(QStringLiteral("Failed to write %1: %2").arg(path, pending));
    return GlobalFunctions::failWith(errorText, pending);
}
} // namespace

bool GlobalFunctions::createQXmlFileAtPath(const QString &path, const QByteArray &data, QString *errorText)
{
    if (data.isNull())
        return true;
    if (path.isEmpty()) {
        PollixLog(QStringLiteral("Failed to write a store file: no data folder"));
        return failWith(errorText, QStringLiteral("no data folder"));
    }
    if (StoreTransaction *transaction = StoreTransaction::current()) {
        transaction->hold(path, data);
        return true;
    }
    if (!heldBackByUnfinishedChange(path, errorText))
        return false;
    // A first write into a folder that is not there yet (a fresh data folder) makes it, never
    // through a link below the data folder.
    const QString folder = QFileInfo(path).absolutePath();
    if (QString why; RecordFile::kindAt(folder) == RecordFile::Kind::Missing && !heldFolder(folder, true, &why).isOpen()) {
        PollixLog(QStringLiteral("Failed to write a store file: %1").arg(why));
        return failWith(errorText, why);
    }
    DataSaves::saving(path, data);
    return AtomicFile::write(path, data, errorText);
}

FolderHandle GlobalFunctions::heldFolder(const QString &path, bool make, QString *why)
{
    return TakenFolders::reach(path, make, why);
}

bool GlobalFunctions::removeFileAtPath(const QString &path, QString *errorText)
{
    if (path.isEmpty())
        return failWith(errorText, QStringLiteral("no data folder"));
    if (StoreTransaction *transaction = StoreTransaction::current()) {
        transaction->holdRemoval(path);
        return true;
    }
    if (!heldBackByUnfinishedChange(path, errorText))
        return false;
    if (QString why; AtomicFile::changeRefused(path, &why)) {
        PollixLog(QStringLiteral("Delete file %1 because of %2").arg(path, why));
        return failWith(errorText, why);
    }
    // Through its folder held open: a folder below the data folder that is a link leads the
    // removal nowhere else.
    QString why;
    const FolderHandle folder = heldFolder(QFileInfo(path).absolutePath(), false, &why);
    if (!folder.isOpen() && RecordFile::kindAt(QFileInfo(path).absolutePath()) == RecordFile::Kind::Missing)
        return true;
    if (folder.isOpen() && folder.removeFile(QFileInfo(path).fileName(), &why))
        return true;
    PollixLog(QStringLiteral("Delete file %1 because of %2").arg(path, why));
    return failWith(errorText, why);
}

namespace {
// The document's text straight into the bytes returned: a school's roster runs to megabytes,
// and a stream's buffer, its copy and a copy of that made every save touch three times the memory.
// A carriage return in a text (a line break pasted from another program ends in one) is written
// as a reference: an XML reader takes a bare one for a line feed, so the file would give back
// another value than the one written, and a record written so would never be as read again.
class BytesWriter : public pugi::xml_writer
{
public:
    explicit BytesWriter(QByteArray &bytes) : m_bytes(bytes) {}
    void write(const void *data, size_t size) override
    {
        const char *from = static_cast<const char *>(data);
        const char *const end = from + size;
        while (from < end) {
            const char *cr = static_cast<const char *>(std::memchr(from, '\r', size_t(end - from)));
            m_bytes.append(from, qsizetype((cr ? cr : end) - from));
            if (!cr)
                break;
            m_bytes.append("&#13;");
            from = cr + 1;
        }
    }

private:
    QByteArray &m_bytes;
};
} // namespace

QByteArray GlobalFunctions::xmlData(const pugi::xml_document &doc)
{
    QByteArray bytes("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n");
    BytesWriter writer(bytes);
    doc.save(writer, "", pugi::format_raw | pugi::format_no_declaration | pugi::format_no_empty_element_tags,
             pugi::encoding_utf8);
    return bytes;
}

pugi::xml_node GlobalFunctions::createRoot(pugi::xml_document &doc, const char *name, bool withNamespaces)
{
    pugi::xml_node root = doc.append_child(name);
    if (withNamespaces) {
        root.append_attribute("xmlns:xsi") = "http://www.w3.org/2001/XMLSchema-instance";
        root.append_attribute("xmlns:xsd") = "http://www.w3.org/2001/XMLSchema";
    }
    return root;
}

pugi::xml_node GlobalFunctions::appendTextChild(pugi::xml_node parent, const char *name, const QString &text)
{
    pugi::xml_node child = parent.append_child(name);
    if (!text.isEmpty())
        child.text().set(utf8(text).c_str());
    return child;
}

namespace {
bool loadStoreFile(const QString &path, pugi::xml_document &doc, QString *error, bool toChange)
{
    const StoreTransaction *transaction = StoreTransaction::current();
    std::optional<QByteArray> bytes = transaction ? transaction->held(path) : std::nullopt;
    if (!bytes && transaction && transaction->removes(path)) {
        if (error)
            *error = QStringLiteral("No such file or directory");
        return false;
    }
    if (!bytes) {
        // Read to change, its version is noted: a save of it then replaces only what was read here.
        bytes = toChange ? FileVersions::readToChange(path, error) : RegularFile::readAll(path, error);
        if (!bytes) {
            // A folder on its way that Pollix goes through no more (a link from the start whose
            // disk went away, one made a link since) is the reason, said as a save through it says it.
            if (const QString refused = TakenFolders::refusalOnTheWayTo(path); !refused.isEmpty() && error)
                *error = refused;
            return false;
        }
    }
    return GlobalFunctions::parseXmlBytes(*bytes, doc, error);
}
} // namespace

bool GlobalFunctions::loadXmlFile(const QString &path, pugi::xml_document &doc, QString *error)
{
    return loadStoreFile(path, doc, error, true);
}

bool GlobalFunctions::loadXmlFileToLook(const QString &path, pugi::xml_document &doc, QString *error)
{
    return loadStoreFile(path, doc, error, false);
}

bool GlobalFunctions::parseXmlBytes(const QByteArray &bytes, pugi::xml_document &doc, QString *error)
{
    // A value of blanks only (a " " title or total mark) is a value: keep it. Blanks between
    // elements of an indented file are still dropped.
    const pugi::xml_parse_result result = doc.load_buffer(bytes.constData(), size_t(bytes.size()),
                                                          pugi::parse_default | pugi::parse_ws_pcdata_single,
                                                          pugi::encoding_utf8);
    if (!result) {
        if (error)
            *error = QStringLiteral("%1 at offset %2").arg(QString::fromUtf8(result.description())).arg(result.offset);
        return false;
    }
    if (!doc.document_element()) {
        if (error)
            *error = QStringLiteral("no root element");
        return false;
    }
    return true;
}

bool GlobalFunctions::loadOrCreateXmlFile(const QString &path, const char *rootName, pugi::xml_document &doc,
                                          QString *errorText)
{
    if (!fileExistsAtPath(path)) {
        pugi::xml_document fresh;
        createRoot(fresh, rootName, false);
        if (!saveXmlDocument(path, fresh, errorText))
            return false;
    }
    return loadXmlFile(path, doc, errorText);
}

pugi::xml_node GlobalFunctions::nthChildWhere(pugi::xml_node parent, const char *name, int k,
                                              const std::function<bool(pugi::xml_node)> &matches)
{
    for (pugi::xml_node child : parent.children(name)) {
        if (!matches(child))
            continue;
        if (k-- == 0)
            return child;
    }
    return pugi::xml_node();
}

GlobalFunctions::FileEdit GlobalFunctions::editNthRootChild(const QString &path, const char *name, int k,
                                                            const std::function<bool(pugi::xml_node)> &matches,
                                                            const std::function<void(pugi::xml_node)> &edit,
                                                            QString *errorText, const std::optional<QByteArray> &asRead,
                                                            QByteArray *written)
{
    pugi::xml_document doc;
    if (!loadXmlFile(path, doc, errorText))
        return FileEdit::Failed;
    const pugi::xml_node child = nthChildWhere(doc.document_element(), name, k, matches);
    if (const QString why = asRead ? changedSinceRead(child, *asRead, path) : QString(); !why.isEmpty()) {
        failWith(errorText, why);
        return child ? FileEdit::Failed : FileEdit::NotInFile;
    }
    if (!child)
        return FileEdit::NotInFile;
    edit(child);
    if (written)
        *written = elementText(child);
    return saveXmlDocument(path, doc, errorText) ? FileEdit::Written : FileEdit::Failed;
}

QByteArray GlobalFunctions::elementText(pugi::xml_node element)
{
    QByteArray bytes;
    if (!element)
        return bytes;
    BytesWriter writer(bytes);
    element.print(writer, "", pugi::format_raw | pugi::format_no_empty_element_tags, pugi::encoding_utf8);
    return bytes;
}

QString GlobalFunctions::changedSinceRead(pugi::xml_node element, const QByteArray &asRead, const QString &path)
{
    return elementText(element) == asRead ? QString() : FileVersions::changedText(path);
}

QString GlobalFunctions::allText()
{
    return QCoreApplication::translate("GlobalFunctions", "All");
}

bool GlobalFunctions::saveXmlDocument(const QString &path, const pugi::xml_document &doc, QString *errorText)
{
    return createQXmlFileAtPath(path, xmlData(doc), errorText);
}

bool GlobalFunctions::failWith(QString *errorText, const QString &why)
{
    if (errorText)
        *errorText = why;
    return false;
}

QString GlobalFunctions::safeFileName(const QString &name)
{
    QString out = name;
    for (QChar &c : out)
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.unicode() == 0)
            c = QLatin1Char('_');
    return out;
}

QString GlobalFunctions::freeFilePath(const QString &folder, const QString &base, const QString &ext, QString *why)
{
    // A file name holds at most 255 bytes: a long name (a session name of many non-Latin
    // letters, an imported one) is cut at a whole character, leaving room for " (n)" and ext.
    constexpr qsizetype kMaxName = 255, kCounter = 8;
    QString fitted = base.left(kMaxName);
    const qsizetype room = kMaxName - kCounter - ext.toUtf8().size();
    while (!fitted.isEmpty() && fitted.toUtf8().size() > room)
        fitted.chop(fitted.size() > 1 && fitted.back().isLowSurrogate() ? 2 : 1);
    const QString stem = folder + QLatin1Char('/') + fitted;
    QString path = stem + ext;
    // A link whose file is missing takes its name too: the write would follow it out of the folder.
    // Only "missing" frees a name: an error is no answer, and taken for "there" the search would
    // never end where every look fails alike.
    for (int n = 2;; ++n) {
        QString reason;
        const std::optional<RecordFile::Kind> kind = RecordFile::lookAt(path, &reason);
        if (!kind) {
            failWith(why, QStringLiteral("cannot look for a free file name in the folder %1: %2").arg(folder, reason));
            return QString();
        }
        if (*kind == RecordFile::Kind::Missing)
            return path;
        if (n > kMostFreeNameTries) {
            failWith(why, QStringLiteral("no free file name in the folder %1: %2 and %3 more are taken")
                              .arg(folder, fitted + ext).arg(kMostFreeNameTries - 1));
            return QString();
        }
        path = stem + QStringLiteral(" (%1)").arg(n) + ext;
    }
}

QString GlobalFunctions::getIDOfXmlQuizFile(const QString &path)
{
    // Read straight from the descriptor: a search by ID reads the head of every session.
    const int fd = RegularFile::openDescriptor(path, nullptr);
    if (fd < 0)
        return QString();
    int error = 0;
    const QByteArray head = RegularFile::readDescriptor(fd, 254, 255, &error);
    ::close(fd);

    QString result;
    qsizetype tagStart = -1;
    qsizetype idStart = -1;
    for (qsizetype i = 0; i < head.size(); ++i) {
        const char c = head.at(i);
        if (c == '<') {
            tagStart = i;
        } else if (c == '>' && tagStart >= 0) {
            const QByteArray tag = head.mid(tagStart, i - tagStart + 1).toLower();
            if (tag == "<id>") {
                idStart = i + 1;
            } else if (tag == "</id>" && idStart >= 0) {
                result = QString::fromUtf8(head.mid(idStart, tagStart - idStart));
                break;
            } else if (tag == "<id/>") {
                break;
            }
        }
    }
    PollixLogf("%d", int(result.size()));
    return result;
}

QString GlobalFunctions::encryptForPasswordString(const QString &password)
{
    QByteArray bytes = password.toUtf8();
    for (qsizetype i = 0; i < bytes.size(); ++i)
        bytes[i] = char(static_cast<unsigned char>(bytes.at(i)) ^ g_seedChars[i % 20]);
    // The scrambled text is not logged: the key is fixed, so it is as good as the password.
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString out = decoder(bytes);
    if (decoder.hasError())
        return QString();
    return out;
}

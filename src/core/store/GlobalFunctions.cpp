#include "GlobalFunctions.h"

#include "core/app/Orvenda_AppDelegate.h"
#include "platform/AtomicFile.h"
#include "platform/Log.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace {
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
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
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
        PollixLog(QStringLiteral("Folder %1 does not exist").arg(folder));
        return std::nullopt;
    }
    const QDir root(folder);
    QStringList out;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
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
    return out;
}

bool GlobalFunctions::directoryExistsAtPath(const QString &path)
{
    if (path.isNull() || !QFileInfo::exists(path)) {
        PollixLog(QStringLiteral("Folder %1 does not exist").arg(path));
        return false;
    }
    return true;
}

bool GlobalFunctions::fileExistsAtPath(const QString &path)
{
    return directoryExistsAtPath(path);
}

QString GlobalFunctions::classXmlDatabasePath()
{
    const Orvenda_AppDelegate *app = Orvenda_AppDelegate::getAppDelegate();
    return app ? app->strClassXmlDataFilePath() : QString();
}

bool GlobalFunctions::createQXmlFileAtPath(const QString &path, const QByteArray &data)
{
    if (data.isNull())
        return true;
    if (!AtomicFile::write(path, data)) {
        PollixLog(QStringLiteral("Failed to create fileHandle. Path:%1").arg(path));
        return false;
    }
    return true;
}

QString GlobalFunctions::getIDOfXmlQuizFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    const QByteArray head = file.read(255);
    file.close();

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

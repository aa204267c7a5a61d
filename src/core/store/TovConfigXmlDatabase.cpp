#include "TovConfigXmlDatabase.h"

#include "GlobalFunctions.h"
#include "platform/Log.h"
#include "platform/Singleton.h"

#include <pugixml.hpp>

namespace {
struct DefaultSound
{
    const char *name;
    const char *file;
};
constexpr DefaultSound kSounds[] = {
    {"Enter Activity", "Enter.WAV"}, {"Start Answer", "Start.WAV"}, {"Stop Answer", "Stop.WAV"}};

// The stored number, or the fallback when the element is missing or empty.
int numberOr(pugi::xml_node root, const char *tag, int fallback)
{
    const QString text = GlobalFunctions::getValueByTagName(QString::fromLatin1(tag), root);
    return text.isEmpty() ? fallback : GlobalFunctions::intValue(text);
}
} // namespace

TovConfigXmlDatabase *TovConfigXmlDatabase::sharedConfigUI()
{
    return Singleton<TovConfigXmlDatabase>::instance();
}

TovConfigXmlDatabase::TovConfigXmlDatabase()
    : m_filePath(GlobalFunctions::pathInApplicationFolder(QStringLiteral("config.xml")))
{
    loadConfig();
}

bool TovConfigXmlDatabase::createXmlFileAtPath(const QString &path) const
{
    pugi::xml_document doc;
    pugi::xml_node root = GlobalFunctions::createRoot(doc, "Config", false);
    for (const DefaultSound &sound : kSounds) {
        pugi::xml_node music = root.append_child("Music");
        GlobalFunctions::appendTextChild(music, "Name", QString::fromLatin1(sound.name));
        GlobalFunctions::appendTextChild(music, "Path",
                                         GlobalFunctions::pathInApplicationFolder(QString::fromLatin1(sound.file)));
        GlobalFunctions::appendTextChild(music, "State", QStringLiteral("0"));
    }
    GlobalFunctions::appendTextChild(root, "MouseSetting", QStringLiteral("30"));
    GlobalFunctions::appendTextChild(root, "SendQuestionFlag", QStringLiteral("1"));
    return GlobalFunctions::saveXmlDocument(path, doc);
}

void TovConfigXmlDatabase::loadConfig()
{
    m_audioList.clear();
    if (m_filePath.isEmpty())
        return;
    if (!GlobalFunctions::fileExistsAtPath(m_filePath) && !createXmlFileAtPath(m_filePath))
        return;
    pugi::xml_document doc;
    if (!GlobalFunctions::loadXmlFile(m_filePath, doc))
        return;
    const pugi::xml_node root = doc.document_element();
    // A file without sounds keeps the previous speed and flag.
    if (!root.child("Music"))
        return;
    for (pugi::xml_node music : root.children("Music")) {
        AudioConfigEntity sound;
        sound.setName(GlobalFunctions::getValueByTagName(QStringLiteral("Name"), music));
        sound.setPath(GlobalFunctions::getValueByTagName(QStringLiteral("Path"), music));
        sound.setState(GlobalFunctions::intValue(GlobalFunctions::getValueByTagName(QStringLiteral("State"), music)));
        m_audioList.append(sound);
    }
    m_mouseSettionValue = numberOr(root, "MouseSetting", 30);
    m_sendQuestionState = numberOr(root, "SendQuestionFlag", 1);
}

std::optional<AudioConfigEntity> TovConfigXmlDatabase::musicByName(const QString &name) const
{
    for (const AudioConfigEntity &sound : m_audioList)
        if (sound.name().compare(name, Qt::CaseInsensitive) == 0)
            return sound;
    return std::nullopt;
}

bool TovConfigXmlDatabase::updateMusic(const AudioConfigEntity &music, QString *errorText)
{
    bool known = false;
    for (const DefaultSound &sound : kSounds)
        known = known || music.name().compare(QString::fromLatin1(sound.name), Qt::CaseInsensitive) == 0;
    if (!known)
        return GlobalFunctions::failWith(errorText, QStringLiteral("no sound called %1").arg(music.name()));
    pugi::xml_document doc;
    if (!GlobalFunctions::loadXmlFile(m_filePath, doc, errorText))
        return false;
    pugi::xml_node node = GlobalFunctions::nthChildWhere(doc.document_element(), "Music", 0, [&](pugi::xml_node n) {
        return GlobalFunctions::getValueByTagName(QStringLiteral("Name"), n) == music.name();
    });
    if (!node)
        return GlobalFunctions::failWith(errorText, QStringLiteral("%1 holds no sound called %2").arg(m_filePath, music.name()));
    GlobalFunctions::setValue(music.path(), QStringLiteral("Path"), node);
    GlobalFunctions::setValue(QString::number(music.state()), QStringLiteral("State"), node);
    PollixLogf("State:%d", music.state());
    if (!GlobalFunctions::saveXmlDocument(m_filePath, doc, errorText))
        return false;
    loadConfig();
    return true;
}

bool TovConfigXmlDatabase::updateNumber(const char *tag, int value, int &field, QString *errorText)
{
    pugi::xml_document doc;
    if (!GlobalFunctions::loadXmlFile(m_filePath, doc, errorText))
        return false;
    GlobalFunctions::setValue(QString::number(value), QString::fromLatin1(tag), doc.document_element());
    if (!GlobalFunctions::saveXmlDocument(m_filePath, doc, errorText))
        return false;
    field = value;
    return true;
}

bool TovConfigXmlDatabase::updateMouseSettionValue(int value, QString *errorText)
{
    return updateNumber("MouseSetting", value, m_mouseSettionValue, errorText);
}

bool TovConfigXmlDatabase::updateSendQuestionState(int state, QString *errorText)
{
    return updateNumber("SendQuestionFlag", state, m_sendQuestionState, errorText);
}

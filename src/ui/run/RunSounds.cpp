#include "RunSounds.h"

#include "RunTimer.h"

#include "core/store/TovConfigXmlDatabase.h"

#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

namespace {

QString configName(int type)
{
    switch (type) {
    case RunSounds::Enter: return QStringLiteral("Enter Activity");
    case RunSounds::Start: return QStringLiteral("Start Answer");
    default: return QStringLiteral("Stop Answer");
    }
}

QSoundEffect *makeSound(int type, QObject *parent)
{
    auto *effect = new QSoundEffect(parent);
    const auto music = TovConfigXmlDatabase::sharedConfigUI()->musicByName(configName(type));
    if (music && QFileInfo(music->path()).isFile())
        effect->setSource(QUrl::fromLocalFile(music->path()));
    return effect;
}

void stopIfPlaying(QSoundEffect *s)
{
    if (s && s->isPlaying())
        s->stop();
}

} // namespace

RunSounds::RunSounds(QObject *parent)
    : QObject(parent),
      soundStart(makeSound(Start, this)),
      soundStop(makeSound(Stop, this)),
      soundEnter(makeSound(Enter, this)),
      closeTimer(new RunTimer(this))
{
}

RunSounds::~RunSounds()
{
    for (QSoundEffect *s : {soundStart, soundStop, soundEnter})
        stopIfPlaying(s);
}

bool RunSounds::switchedOn(Cue type)
{
    const auto music = TovConfigXmlDatabase::sharedConfigUI()->musicByName(configName(type));
    return music && music->state() != 0;
}

void RunSounds::cue(Cue type)
{
    if (switchedOn(type))
        playSound(type);
}

QSoundEffect *RunSounds::sound(int type) const
{
    return type == Enter ? soundEnter : type == Start ? soundStart : soundStop;
}

void RunSounds::playSound(int type)
{
    m_nPlaySoundtype = type;
    nPlaySoundTime = 3;
    if (type == Start) {
        if (soundEnter->isPlaying())
            soundEnter->stop();
        else
            stopIfPlaying(soundStop);
    } else if (type == Stop) {
        stopIfPlaying(soundStart);
    }
    sound(type)->play();
    closeTimer->stop();
    m_bCloseTimerisValid = true;
    closeTimer->start([this] { startPlaySound(); });
}

void RunSounds::startPlaySound()
{
    if (nPlaySoundTime == 0)
        return;
    if (--nPlaySoundTime > 0)
        return;
    stopIfPlaying(sound(m_nPlaySoundtype));
    m_bCloseTimerisValid = false;
    closeTimer->stop();
}

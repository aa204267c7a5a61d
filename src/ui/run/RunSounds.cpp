#include "RunSounds.h"

#include "RunTimer.h"

#include "core/store/SoundFile.h"
#include "core/store/TovConfigXmlDatabase.h"
#include "platform/Log.h"
#include "platform/SoundPlayer.h"

namespace {

QString configName(int type)
{
    switch (type) {
    case RunSounds::Enter: return QStringLiteral("Enter Activity");
    case RunSounds::Start: return QStringLiteral("Start Answer");
    default: return QStringLiteral("Stop Answer");
    }
}

void stopIfPlaying(SoundPlayer *s)
{
    if (s && s->isPlaying())
        s->stop();
}

} // namespace

RunSounds::RunSounds(QObject *parent)
    : QObject(parent),
      soundStart(makeSound(Start)),
      soundStop(makeSound(Stop)),
      soundEnter(makeSound(Enter)),
      closeTimer(new RunTimer(this))
{
}

RunSounds::~RunSounds()
{
    for (SoundPlayer *s : {soundStart, soundStop, soundEnter})
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

SoundPlayer *RunSounds::makeSound(int type)
{
    auto *player = new SoundPlayer(this);
    const auto music = TovConfigXmlDatabase::sharedConfigUI()->musicByName(configName(type));
    if (!music)
        return player;
    // Nobody hears a silent cue during a run: a sound switched on that will not play is named now.
    const auto tell = [type, path = music->path()](const QString &why) {
        if (switchedOn(Cue(type)))
            PollixLog(QStringLiteral("The sound \"%1\" (%2) cannot be played: %3").arg(configName(type), path, why));
    };
    connect(player, &SoundPlayer::failed, this, tell);
    if (const QString why = SoundFile::whyNotASound(music->path()); !why.isEmpty())
        tell(why);
    else
        player->setSource(music->path());
    return player;
}

SoundPlayer *RunSounds::sound(int type) const
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

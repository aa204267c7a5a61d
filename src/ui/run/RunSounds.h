#pragma once

#include <QObject>

class SoundPlayer;
class RunTimer;

// The run window's three event sounds (entering the activity, start, stop), from the files and
// switches of the configuration, WAV or MP3. Each cue is cut three seconds after it starts; a start
// cue silences the entering or stop cue still playing, a stop cue the start cue. A sound switched
// on that cannot be played is named in the log with the reason.
class RunSounds : public QObject
{
    Q_OBJECT
public:
    enum Cue { Enter = 1, Start = 2, Stop = 3 };

    explicit RunSounds(QObject *parent = nullptr);
    ~RunSounds() override;

    // Plays the cue when the configuration switches it on.
    void cue(Cue type);
    static bool switchedOn(Cue type);

    void playSound(int type);
    int nPlaySoundtype() const { return m_nPlaySoundtype; }
    bool bCloseTimerisValid() const { return m_bCloseTimerisValid; }
    SoundPlayer *sound(int type) const;

private:
    void startPlaySound();
    SoundPlayer *makeSound(int type);

    SoundPlayer *soundStart = nullptr;
    SoundPlayer *soundStop = nullptr;
    SoundPlayer *soundEnter = nullptr;
    RunTimer *closeTimer = nullptr;
    int nPlaySoundTime = 0;
    int m_nPlaySoundtype = 0;
    bool m_bCloseTimerisValid = false;
};

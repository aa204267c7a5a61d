#pragma once

#include <QString>

// An event sound is played in the middle of a run, where nobody can stop to find out why it is
// silent: a sound file is checked when the teacher chooses it, not when it is due.
namespace SoundFile {

// Empty when path holds a sound Pollix plays (a WAV or MP3 file, told by its first bytes, not by
// its name); otherwise why not ("no file is chosen", "it is a folder", "it is not a WAV or MP3
// sound").
QString whyNotASound(const QString &path);

// Empty when path holds a WAV or MP3 sound that this computer can play: whyNotASound, then the
// sound read as a run reads it (an MP3 through the system's media back-end, which may lack its
// decoder). Otherwise why not.
QString whyNotPlayable(const QString &path);

} // namespace SoundFile

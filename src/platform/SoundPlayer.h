#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class QAudioOutput;
class QMediaPlayer;
class QSoundEffect;

// One sound file, loaded ahead and played on cue. A WAV plays through QSoundEffect (decoded once,
// it starts without delay); any other sound (an MP3) through a QMediaPlayer with a QAudioOutput,
// which hands it to the system's media back-end. Which of the two is told by the file's first
// bytes, not by its name. A sound that cannot be played says why, once, through failed().
class SoundPlayer : public QObject
{
    Q_OBJECT
public:
    enum class Kind { None, Wav, Mp3 };
    // The sound a file's first bytes (12 are enough) start: a RIFF WAVE header, or an MP3's ID3
    // tag or frame sync.
    static Kind kindOf(const QByteArray &head);
    // Why the sound at path cannot be played, as a player loading it finds out (waiting up to
    // timeoutMs for the media back-end); empty when it can, or when the back-end has not told in
    // that time. Of a WAV only the header is read (see the source).
    static QString whyNotPlayable(const QString &path, int timeoutMs = 3000);

    explicit SoundPlayer(QObject *parent = nullptr);
    ~SoundPlayer() override;

    // Loads the sound at path, dropping the one loaded before.
    void setSource(const QString &path);
    QString source() const { return m_path; }
    void play();
    void stop();
    bool isPlaying() const;
    // The sound is read and ready to start.
    bool isLoaded() const { return m_loaded; }
    // Why the loaded sound cannot be played; empty while it can or is still being read.
    QString error() const { return m_error; }
    // The player of a sound that is not a WAV; null for a WAV.
    QMediaPlayer *mediaPlayer() const { return m_player; }

signals:
    void loaded();
    void failed(const QString &why);

private:
    void unload();
    void setLoaded();
    void fail(const QString &why);

    QString m_path;
    QString m_error;
    bool m_loaded = false;
    QSoundEffect *m_effect = nullptr;
    QMediaPlayer *m_player = nullptr;
    QAudioOutput *m_output = nullptr;
};

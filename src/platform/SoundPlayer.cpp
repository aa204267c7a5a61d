#include "SoundPlayer.h"

#include "RegularFile.h"

#include <QAudioOutput>
#include <QEventLoop>
#include <QFile>
#include <QMediaPlayer>
#include <QSoundEffect>
#include <QTimer>
#include <QUrl>

SoundPlayer::Kind SoundPlayer::kindOf(const QByteArray &head)
{
    if (head.size() >= 12 && head.startsWith("RIFF") && head.mid(8, 4) == "WAVE")
        return Kind::Wav;
    // An MP3 starts with its ID3 tag or straight with a frame's sync bits.
    if (head.startsWith("ID3") || (head.size() >= 2 && uchar(head.at(0)) == 0xFF && (uchar(head.at(1)) & 0xE0) == 0xE0))
        return Kind::Mp3;
    return Kind::None;
}

QString SoundPlayer::whyNotPlayable(const QString &path, int timeoutMs)
{
    // Qt's sound effects keep every file they read in one cache, and a file read once without
    // success never reports again: a WAV tried here would leave the run's own player silent
    // without a word. Its header is all that is looked at.
    QFile file;
    QString why;
    if (!RegularFile::open(file, path, &why))
        return why;
    if (kindOf(file.read(12)) == Kind::Wav)
        return {};
    file.close();
    SoundPlayer probe;
    QEventLoop wait;
    connect(&probe, &SoundPlayer::loaded, &wait, &QEventLoop::quit);
    connect(&probe, &SoundPlayer::failed, &wait, &QEventLoop::quit);
    probe.setSource(path);
    if (!probe.isLoaded() && probe.error().isEmpty()) {
        QTimer::singleShot(timeoutMs, &wait, &QEventLoop::quit);
        wait.exec(QEventLoop::ExcludeUserInputEvents);
    }
    return probe.error();
}

SoundPlayer::SoundPlayer(QObject *parent) : QObject(parent) {}

SoundPlayer::~SoundPlayer()
{
    stop();
}

void SoundPlayer::unload()
{
    stop();
    delete m_effect;
    delete m_player;
    delete m_output;
    m_effect = nullptr;
    m_player = nullptr;
    m_output = nullptr;
    m_loaded = false;
    m_error.clear();
}

void SoundPlayer::setSource(const QString &path)
{
    unload();
    m_path = path;
    QFile file;
    QString why;
    if (!RegularFile::open(file, path, &why)) {
        fail(why);
        return;
    }
    const bool wav = kindOf(file.read(12)) == Kind::Wav;
    file.close();
    const QUrl url = QUrl::fromLocalFile(path);
    if (wav) {
        m_effect = new QSoundEffect(this);
        connect(m_effect, &QSoundEffect::statusChanged, this, [this] {
            if (m_effect->status() == QSoundEffect::Ready)
                setLoaded();
            else if (m_effect->status() == QSoundEffect::Error)
                fail(QStringLiteral("its WAV data cannot be read"));
        });
        m_effect->setSource(url);
        return;
    }
    m_player = new QMediaPlayer(this);
    m_output = new QAudioOutput(this);
    m_player->setAudioOutput(m_output);
    connect(m_player, &QMediaPlayer::mediaStatusChanged, this, [this](QMediaPlayer::MediaStatus status) {
        if (status == QMediaPlayer::LoadedMedia || status == QMediaPlayer::BufferedMedia)
            setLoaded();
        else if (status == QMediaPlayer::InvalidMedia)
            fail(m_player->errorString().isEmpty() ? QStringLiteral("the system's media player cannot read it")
                                                   : m_player->errorString());
    });
    connect(m_player, &QMediaPlayer::errorOccurred, this, [this](QMediaPlayer::Error, const QString &text) {
        fail(text.isEmpty() ? QStringLiteral("the system's media player cannot read it") : text);
    });
    m_player->setSource(url);
}

void SoundPlayer::setLoaded()
{
    if (m_loaded || !m_error.isEmpty())
        return;
    m_loaded = true;
    emit loaded();
}

void SoundPlayer::fail(const QString &why)
{
    // The back-end may say the same thing twice (an error, then the media status).
    if (!m_error.isEmpty())
        return;
    // A reason stands inside Pollix's own sentences ("… cannot be played (reason)."): the
    // back-end's full stop would end it twice.
    m_error = why.trimmed();
    while (m_error.endsWith(QLatin1Char('.')))
        m_error.chop(1);
    m_loaded = false;
    emit failed(m_error);
}

void SoundPlayer::play()
{
    // The media player would report playing a file it could not read.
    if (!m_error.isEmpty())
        return;
    if (m_effect) {
        m_effect->play();
    } else if (m_player) {
        // A cue given again while it sounds starts it over.
        if (m_player->playbackState() == QMediaPlayer::PlayingState)
            m_player->setPosition(0);
        m_player->play();
    }
}

void SoundPlayer::stop()
{
    if (m_effect && m_effect->isPlaying())
        m_effect->stop();
    if (m_player && m_player->playbackState() != QMediaPlayer::StoppedState)
        m_player->stop();
}

bool SoundPlayer::isPlaying() const
{
    if (m_effect)
        return m_effect->isPlaying();
    return m_player && m_player->playbackState() == QMediaPlayer::PlayingState;
}

#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

// Reads text aloud. The program takes the one it is given by create(): the system's offline
// engine (QtTextToSpeech, the first engine that works), or whatever a test installed. No engine
// at all is not an error: create() gives none and the caller says so.
class SpeechSynthesizer : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~SpeechSynthesizer() override = default;

    virtual QString engineName() const = 0;
    // The voices the engine offers, in its order.
    virtual QStringList voices() const = 0;
    // A voice of voices(); an index outside the list gives the engine's default voice.
    virtual void setVoice(int index) = 0;
    // Speed in words a minute.
    virtual void setRate(double wordsPerMinute) = 0;
    virtual double rate() const = 0;
    virtual void say(const QString &text) = 0;
    // Pauses at the next word boundary.
    virtual void pause() = 0;
    virtual void resume() = 0;
    virtual void stop() = 0;

    using Factory = std::function<std::unique_ptr<SpeechSynthesizer>()>;
    // Tests install their own engine; an empty factory brings back the system's.
    static void setFactory(Factory factory);
    static std::unique_ptr<SpeechSynthesizer> create(QObject *parent = nullptr);

signals:
    // The text was spoken to its end (not after stop()).
    void finishedSpeaking();
    // The engine could not speak; the reason is for the teacher.
    void failed(const QString &reason);
};

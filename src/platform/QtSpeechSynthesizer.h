#pragma once

#include "SpeechSynthesizer.h"

#include <QVoice>

class QTextToSpeech;

// The system's speech engines through QtTextToSpeech (on Debian the flite plugin speaks offline).
class QtSpeechSynthesizer : public SpeechSynthesizer
{
    Q_OBJECT
public:
    // The first engine that is not in an error state; null when there is none.
    static std::unique_ptr<QtSpeechSynthesizer> createFirstWorking(QObject *parent = nullptr);
    // Words a minute to the engine's rate (-1 slowest, 0 normal, 1 fastest): 180 is normal.
    static double engineRate(double wordsPerMinute);

    QString engineName() const override { return m_engine; }
    QStringList voices() const override;
    void setVoice(int index) override;
    void setRate(double wordsPerMinute) override;
    double rate() const override { return m_wordsPerMinute; }
    void say(const QString &text) override;
    void pause() override;
    void resume() override;
    void stop() override;

private:
    QtSpeechSynthesizer(QTextToSpeech *speech, const QString &engine, QObject *parent);

    QTextToSpeech *m_speech;
    QString m_engine;
    QVoice m_defaultVoice;
    double m_wordsPerMinute = 180;
    bool m_speaking = false;
    bool m_stopping = false;
};

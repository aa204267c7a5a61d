#include "QtSpeechSynthesizer.h"

#include "Log.h"

#include <QTextToSpeech>

namespace {
constexpr double kNormalWordsPerMinute = 180;
constexpr double kWordsPerMinuteToEnd = 80; // from normal to the engine's fastest or slowest
} // namespace

std::unique_ptr<QtSpeechSynthesizer> QtSpeechSynthesizer::createFirstWorking(QObject *parent)
{
    for (const QString &engine : QTextToSpeech::availableEngines()) {
        auto *speech = new QTextToSpeech(engine);
        if (speech->state() == QTextToSpeech::Error) {
            PollixLog(QStringLiteral("speech engine %1 not usable: %2").arg(engine, speech->errorString()));
            delete speech;
            continue;
        }
        return std::unique_ptr<QtSpeechSynthesizer>(new QtSpeechSynthesizer(speech, engine, parent));
    }
    return nullptr;
}

QtSpeechSynthesizer::QtSpeechSynthesizer(QTextToSpeech *speech, const QString &engine, QObject *parent)
    : SpeechSynthesizer(parent), m_speech(speech), m_engine(engine)
{
    m_speech->setParent(this);
    m_defaultVoice = m_speech->voice();
    connect(m_speech, &QTextToSpeech::stateChanged, this, [this](QTextToSpeech::State state) {
        if (state == QTextToSpeech::Error) {
            m_speaking = false;
            emit failed(m_speech->errorString().isEmpty() ? tr("The speech engine could not speak.")
                                                          : m_speech->errorString());
        } else if (state == QTextToSpeech::Ready && m_speaking) {
            m_speaking = false;
            if (!m_stopping)
                emit finishedSpeaking();
        }
    });
}

double QtSpeechSynthesizer::engineRate(double wordsPerMinute)
{
    return qBound(-1.0, (wordsPerMinute - kNormalWordsPerMinute) / kWordsPerMinuteToEnd, 1.0);
}

QStringList QtSpeechSynthesizer::voices() const
{
    QStringList names;
    for (const QVoice &v : m_speech->availableVoices())
        names << v.name();
    return names;
}

void QtSpeechSynthesizer::setVoice(int index)
{
    const QList<QVoice> all = m_speech->availableVoices();
    m_speech->setVoice(index >= 0 && index < all.size() ? all[index] : m_defaultVoice);
}

void QtSpeechSynthesizer::setRate(double wordsPerMinute)
{
    m_wordsPerMinute = wordsPerMinute;
    m_speech->setRate(engineRate(wordsPerMinute));
}

void QtSpeechSynthesizer::say(const QString &text)
{
    m_stopping = false;
    m_speaking = true;
    m_speech->say(text);
}

void QtSpeechSynthesizer::pause()
{
    m_speech->pause(QTextToSpeech::BoundaryHint::Word);
}

void QtSpeechSynthesizer::resume()
{
    m_speech->resume();
}

void QtSpeechSynthesizer::stop()
{
    m_stopping = true;
    m_speech->stop();
    m_speaking = false;
}

#include "SpeechSynthesizer.h"

#include "QtSpeechSynthesizer.h"

namespace {
SpeechSynthesizer::Factory &factory()
{
    static SpeechSynthesizer::Factory f;
    return f;
}
} // namespace

void SpeechSynthesizer::setFactory(Factory f)
{
    factory() = std::move(f);
}

std::unique_ptr<SpeechSynthesizer> SpeechSynthesizer::create(QObject *parent)
{
    std::unique_ptr<SpeechSynthesizer> s;
    if (factory())
        s = factory()();
    else
        s = QtSpeechSynthesizer::createFirstWorking();
    if (s)
        s->setParent(parent);
    return s;
}

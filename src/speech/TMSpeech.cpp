#include "speech/TMSpeech.h"

#include <espeak-ng/espeak_ng.h>

struct TMSpeech::Engine
{
};

TMSpeech::TMSpeech(QObject *owner) : QObject(owner), m_engine(std::make_unique<Engine>()) {}

TMSpeech::~TMSpeech() = default;

void TMSpeech::SelectEngine(const QString &name)
{
    if (!m_initialized)
        throw EMSpeechException("Speech Engine not initialized");
    if (!m_engines.contains(name, Qt::CaseInsensitive))
        throw EMSpeechException("Specified Speech Engine not found");
    m_engineSelected = true;
}

void TMSpeech::Speak()
{
    if (!m_initialized)
        throw EMSpeechException("Speech Engine not initialized");
    if (!m_engineSelected)
        throw EMSpeechException("Speech Engine not selected");
}

#include "speech/TSpVoice.h"

#include <libspeechd.h>

QString SpVoiceToken::GetDescription() const
{
    return language.isEmpty() ? name : name + QLatin1String(" (") + language + QLatin1Char(')');
}

struct TSpVoice::Connection
{
    SPDConnection *spd = nullptr;
};

TSpVoice::TSpVoice(QObject *parent) : QObject(parent), m_connection(std::make_unique<Connection>()) {}

TSpVoice::~TSpVoice()
{
    Disconnect();
}

bool TSpVoice::Connect()
{
    return false;
}

void TSpVoice::Disconnect()
{
    if (m_connection->spd)
        spd_close(m_connection->spd);
    m_connection->spd = nullptr;
}

bool TSpVoice::connected() const
{
    return m_connection->spd != nullptr;
}

QList<SpVoiceToken> TSpVoice::GetVoices()
{
    return {};
}

bool TSpVoice::setVoice(const SpVoiceToken &)
{
    return false;
}

bool TSpVoice::Speak(const QString &, int)
{
    return false;
}

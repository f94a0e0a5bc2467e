#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include <memory>

// The second speech generation: the user's Speech Dispatcher daemon. "Connected" means a
// connection to the daemon is open (a running one, or one the library starts for us).

// One synthesis voice of the daemon.
struct SpVoiceToken
{
    QString name;
    QString language;
    QString variant;
    // What the voice list shows: the name and the language.
    QString GetDescription() const;
};

class TSpVoice : public QObject
{
    Q_OBJECT
public:
    // Speak flag: return at once while the voice speaks.
    static constexpr int SVSFlagsAsync = 1;
    // EventInterests value for every event.
    static constexpr int SVEAllEvents = 33790;

    explicit TSpVoice(QObject *parent = nullptr);
    ~TSpVoice() override;

    // Opens the connection to the daemon; false (and unconnected) when there is none.
    bool Connect();
    void Disconnect();
    bool connected() const;

    int EventInterests() const { return m_eventInterests; }
    void setEventInterests(int value) { m_eventInterests = value; }

    // The daemon's synthesis voices (empty when not connected or on failure).
    QList<SpVoiceToken> GetVoices();
    // Makes a voice current for the next Speak; false on failure.
    bool setVoice(const SpVoiceToken &voice);
    // Sends a text; with SVSFlagsAsync it returns at once. Returns false on failure.
    bool Speak(const QString &text, int flags);

private:
    struct Connection;
    std::unique_ptr<Connection> m_connection;
    int m_eventInterests = 0;
};

#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>
#include <memory>

// The second speech generation: the user's Speech Dispatcher daemon. "Connected" means a
// connection to the daemon is open (a running one, or one the library starts for us).
// A connection that is lost (the daemon ended, or did not answer in time) is opened again on
// the next use, and meanwhile in the background, the wait between tries doubling from 2 s to a
// minute. An opening that outlasts its wait goes on in the background.

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

    // Opens the connection to the daemon; false (and unconnected) when there is none or it
    // did not answer within 3 s.
    bool Connect();
    // Closes the connection and stops trying to open it again.
    void Disconnect();
    bool connected() const;

    int EventInterests() const { return m_eventInterests; }
    void setEventInterests(int value) { m_eventInterests = value; }

    // The daemon's synthesis voices (empty when not connected or on failure).
    QList<SpVoiceToken> GetVoices();
    // Makes a voice current for the next Speak; false on failure.
    bool setVoice(const SpVoiceToken &voice);
    // Sends a text; with SVSFlagsAsync it returns at once. The daemon queues the texts: a newer
    // one waits for the one being spoken. Returns false on failure.
    bool Speak(const QString &text, int flags);

signals:
    void connectedChanged(bool connected);

private:
    struct Connection;
    struct Owner;
    bool open(std::chrono::milliseconds wait);
    void startOpening();
    void finishOpening();
    void checkLost();
    void scheduleRetry();

    std::unique_ptr<Connection> m_connection;
    std::shared_ptr<Owner> m_owner;
    int m_eventInterests = 0;
    QByteArray m_voiceName; // applied again to a new connection
    QTimer m_retry;
    int m_retryDelay;
};

#pragma once

#include "CpConnec.h"
#include "CpMsg.h"

#include <QObject>
#include <QString>
#include <QThread>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

class TCapi;

// Blocks in the CAPI library until a message arrives, then hands it to the thread of its TCapi
// and waits until it has been handled there.
class TCapiCallBack : public QThread
{
    Q_OBJECT
public:
    TCapiCallBack(uint32_t applId, TCapi *capi);

    void requestStop();    // ask the loop to end
    void cancelHandover(); // give up a message that waits for the main thread
    std::atomic<bool> postPending{false};

protected:
    void run() override;

private:
    void handOver(const QByteArray &message);

    const uint32_t m_applId;
    TCapi *const m_capi;
    std::atomic<bool> m_terminated{false};
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_cancelled = false;
};

// One registered CAPI 2.0 application: registration, the wait thread, the connection list, the
// standard responses to indications, and one hook for every received message.
class TCapi : public QObject
{
    Q_OBJECT
public:
    using MessageHook = std::function<void(TConnection *connection, TCapiMessage &message, bool &respond)>;
    using SendQueueEmptyHook = std::function<void(TConnection *connection, bool &finished, bool &success)>;
    using SendFinishedHook = std::function<void(TConnection *connection, bool success)>;
    using NoConnectionsHook = std::function<void(TCapi *sender)>;

    TCapi(uint32_t maxLogicalConnections, uint32_t maxB3DataBlocks, uint32_t maxB3DataBlockLength,
          QObject *parent = nullptr);
    ~TCapi() override;

    bool putMessage(TCapiMessagePtr message);
    bool disconnect(TConnection *connection);
    bool sendB3Data(TConnection *connection);
    QString errorText() const;

    uint32_t applicationId() const { return m_applId; }
    bool registered() const { return m_registered; }
    uint32_t lastError() const { return m_lastError; }
    TConnections &connections() { return m_connections; }

    MessageHook OnMessage;
    SendQueueEmptyHook OnSendQueueEmpty;
    SendFinishedHook OnSendFinished;
    NoConnectionsHook OnNoConnections;

    // How long the wait thread blocks in the library before it looks at its stop flag again.
    static constexpr int kWaitSliceMs = 250;
    // How long the release waits for the thread after its wake-up LISTEN_REQ.
    static constexpr int kReleaseWaitMs = 4000;

private:
    friend class TCapiCallBack;
    void handleMessage(const QByteArray &bytes);
    void handleIndication(TCapiMessage &message);
    void handleConfirmation(TCapiMessage &message);
    // Standard responses keep last error unless they fail.
    void respond(TCapiMessagePtr message, uint16_t messageNumber);
    bool put(TCapiMessagePtr message, const QByteArray &trailing = {});
    void release();
    void noConnectionsEvent();

    uint32_t m_applId = 0;
    std::unique_ptr<TCapiCallBack> m_thread;
    TConnections m_connections;
    bool m_registered = false;
    uint32_t m_lastError = 0;
    uint32_t m_maxLogicalConnections;
    uint32_t m_maxB3DataBlocks;
    uint32_t m_maxB3DataBlockLength;
};

#pragma once

#include "telephony/LineProvider.h"
#include "telephony/NetworkLineParser.h"

#include <QElapsedTimer>
#include <QHash>
#include <QTimer>

class QTcpSocket;

namespace telephony {

// A caller-ID source on the network (a router's call monitor or an NCID server) as a line
// device. It only listens: calls cannot be answered or dropped from here.
//
// A connection that fails or breaks closes the line. The next open after such a failure only
// starts a new attempt in the background and fails, so the caller's retry backs off; the open
// after that attempt succeeded finds the connection ready.
class NetworkDevice : public LineDevice
{
    Q_OBJECT
public:
    NetworkDevice(NetworkSource source, const NetworkConfig &config);
    ~NetworkDevice() override;

    const NetworkSource &source() const { return m_source; }
    void setConfig(const NetworkConfig &config) { m_config = config; }
    bool isConnected() const;
    bool isMonitoring() const { return m_monitoring; }

    QByteArray lineName() const override { return m_source.lineName; }
    QByteArray providerInfo() const override;
    DWORD callerIdCaps() const override;
    DWORD callFeatures() const override { return 0; }

    bool startMonitoring() override;
    void stopMonitoring() override;
    void answerCall(int callId, Done done) override;
    void dropCall(int callId, Done done) override;
    CallData callData(int callId) const override;

private:
    void connectSocket();
    void closeSocket();
    void readSocket();
    void fail();
    void handle(const NetworkEvent &event);
    void beginCall(const NetworkEvent &event);
    void endCall();

    NetworkSource m_source;
    NetworkConfig m_config;
    QTcpSocket *m_socket = nullptr;
    QTimer m_connectTimer;
    QTimer m_ringTimer;
    BoundedLineReader m_reader;
    bool m_monitoring = false;
    bool m_failed = false; // the latest connection failed or broke

    int m_callCounter = 0;
    int m_callId = 0; // 0 when no call is in progress
    QByteArray m_connection;
    QElapsedTimer m_sinceLastCall;
    int m_dataCallId = 0;
    CallData m_callData;
};

// The sources named in the [Network] group, each one line, present whether or not its server
// answers now (connecting is left to the line, which never blocks).
class NetworkProvider : public LineProvider
{
public:
    QList<QSharedPointer<LineDevice>> devices() override;

private:
    QHash<QByteArray, QSharedPointer<NetworkDevice>> m_known; // by line name
};

} // namespace telephony

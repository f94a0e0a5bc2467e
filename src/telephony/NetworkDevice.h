#pragma once

#include "telephony/LineProvider.h"
#include "telephony/NetworkLineParser.h"

#include <QElapsedTimer>
#include <QHash>
#include <QTimer>

class QTcpSocket;

namespace telephony {

// A caller-ID source on the network (a router's call monitor or an NCID server) as a line
// device. It only listens: calls cannot be answered or dropped from here. An open line reads
// every event of its connection.
//
// A connection that fails or breaks closes the line. From then on an open succeeds only on a
// connection that is up: the caller asks waitingForServer() until the server answers again, and
// the open after that takes the new connection with all the server has sent on it meanwhile.
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

    // For the retry of a lost line: whether the server of the network line of that name has not
    // answered again yet. Asking starts a new connection attempt when none is under way, so
    // asking often brings the line back as soon as its server is; false for other lines.
    static bool waitingForServer(const QString &lineName);

    bool startMonitoring() override;
    void stopMonitoring() override;
    void answerCall(int callId, Done done) override;
    void dropCall(int callId, Done done) override;
    CallData callData(int callId) const override;

private:
    void connectSocket();
    void closeSocket();
    void readSocket();
    void handleLines();
    void fail();
    bool handle(const NetworkEvent &event); // true when a new call began
    bool beginCall(const NetworkEvent &event);
    void endCall();

    NetworkSource m_source;
    NetworkConfig m_config;
    QTcpSocket *m_socket = nullptr;
    QTimer m_connectTimer;
    QTimer m_ringTimer;
    BoundedLineReader m_reader;
    QList<QByteArray> m_lines; // read, not handled yet
    bool m_monitoring = false;
    bool m_failed = false; // the connection failed or broke, and no open has taken a new one yet

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

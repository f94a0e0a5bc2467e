#pragma once

#include "telephony/CallSources.h"
#include "telephony/NetworkLineParser.h"

#include <QElapsedTimer>
#include <QTimer>

class QTcpSocket;

namespace telephony {

// A caller-ID source on the network (a router's call monitor or an NCID server). It only
// listens: calls cannot be answered or turned away from here. A started line reads every event
// of its connection.
//
// A connection that fails or breaks loses the line. From then on a start succeeds only on a
// connection that is up: a start that fails begins a new connection attempt when none is under
// way, and the start after the server answered takes the new connection with all the server has
// sent on it meanwhile. Trying costs one refused connection, so a lost line is tried often.
class NetworkCallSource : public CallSource
{
    Q_OBJECT
public:
    NetworkCallSource(NetworkSource source, const NetworkConfig &config, QObject *parent = nullptr);
    ~NetworkCallSource() override;

    bool start() override;
    void stop() override;
    bool isMonitoring() const override { return m_monitoring; }
    bool isConnected() const;
    int retryIntervalMs() const override { return kServerRetryMs; }
    static constexpr int kServerRetryMs = 500;

    // The configured network lines (the network line type), present whether or not their server
    // answers now: connecting is left to the source, which never blocks.
    static QList<LineInfo> lines();
    static std::unique_ptr<CallSource> create(const LineInfo &line, int rejectTimeOutSeconds);

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
    bool m_failed = false; // the connection failed or broke, and no start has taken a new one yet

    int m_callCounter = 0;
    int m_callId = 0; // 0 when no call is in progress
    QByteArray m_connection;
    QElapsedTimer m_sinceLastCall;
};

} // namespace telephony

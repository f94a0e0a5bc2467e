#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QTcpServer>
#include <QTimer>

class QTcpSocket;

// A router's call monitor and an NCID server on 127.0.0.1, for the demo and the tests: both
// report the calls played on request to every client connected.
class NetSim : public QObject
{
    Q_OBJECT
public:
    struct Options
    {
        quint16 callMonitorPort = 0; // 0: any free port
        quint16 ncidPort = 0;
        int ringPeriodMs = 4000;
        int rings = 6; // rings before the caller gives up
    };

    explicit NetSim(const Options &options, QObject *parent = nullptr);

    bool listen(QString *error);
    quint16 callMonitorPort() const { return m_callMonitor.serverPort(); }
    quint16 ncidPort() const { return m_ncid.serverPort(); }

    // Runs one control command and says how it went: "OK" or "ERROR: reason".
    //   call NUMBER [NAME...] [--called=NUMBER] [--private|--out-of-area] [--via=callmonitor|ncid]
    //   end | drop | raw [--via=...] TEXT | junk [BYTES] | long [BYTES] | flood [COUNT]
    QString execute(const QString &commandLine);

signals:
    void note(const QString &text);

private:
    enum Via
    {
        Both,
        CallMonitorOnly,
        NcidOnly
    };
    void accept(QTcpServer *server);
    void send(Via via, const QByteArray &callMonitorLine, const QByteArray &ncidLine);
    void ring();
    void endCall();
    QByteArray stamp() const;

    Options m_options;
    QTcpServer m_callMonitor;
    QTcpServer m_ncid;
    QList<QTcpSocket *> m_callMonitorClients;
    QList<QTcpSocket *> m_ncidClients;
    QTimer m_ringTimer;
    bool m_calling = false;
    Via m_via = Both;
    int m_ringsLeft = 0;
    int m_connection = 0;
    QByteArray m_called;
};

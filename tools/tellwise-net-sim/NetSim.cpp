#include "NetSim.h"

#include <QDateTime>
#include <QRandomGenerator>
#include <QTcpSocket>

NetSim::NetSim(const Options &options, QObject *parent) : QObject(parent), m_options(options)
{
    connect(&m_callMonitor, &QTcpServer::newConnection, this, [this] { accept(&m_callMonitor); });
    connect(&m_ncid, &QTcpServer::newConnection, this, [this] { accept(&m_ncid); });
    connect(&m_ringTimer, &QTimer::timeout, this, &NetSim::ring);
}

bool NetSim::listen(QString *error)
{
    if (!m_callMonitor.listen(QHostAddress::LocalHost, m_options.callMonitorPort)) {
        *error = QStringLiteral("call monitor: ") + m_callMonitor.errorString();
        return false;
    }
    if (!m_ncid.listen(QHostAddress::LocalHost, m_options.ncidPort)) {
        *error = QStringLiteral("NCID: ") + m_ncid.errorString();
        return false;
    }
    return true;
}

void NetSim::accept(QTcpServer *server)
{
    const bool ncid = server == &m_ncid;
    QList<QTcpSocket *> &clients = ncid ? m_ncidClients : m_callMonitorClients;
    while (QTcpSocket *client = server->nextPendingConnection()) {
        clients.append(client);
        connect(client, &QTcpSocket::disconnected, this, [this, client] {
            m_callMonitorClients.removeAll(client);
            m_ncidClients.removeAll(client);
            client->deleteLater();
        });
        // What the client says (NCID clients may ask for jobs) is not needed here.
        connect(client, &QTcpSocket::readyRead, client, [client] { client->readAll(); });
        if (ncid) {
            // The greeting and the call log come first: history, never a new call.
            client->write(
                "200 Tellwise NCID simulator\r\n"
                "CIDLOG: *DATE*12012026*TIME*0930*LINE*POTS*NMBR*0911111111*MESG*NONE*NAME*History*\r\n"
                "HUPLOG: *DATE*12012026*TIME*0931*LINE*POTS*NMBR*0922222222*MESG*NONE*NAME*History*\r\n"
                "300 End of call log\r\n");
        }
        emit note(QStringLiteral("%1 client connected")
                      .arg(ncid ? QStringLiteral("NCID") : QStringLiteral("call monitor")));
    }
}

QByteArray NetSim::stamp() const
{
    return QDateTime::currentDateTime().toString(QStringLiteral("dd.MM.yy hh:mm:ss")).toLatin1();
}

void NetSim::send(Via via, const QByteArray &callMonitorLine, const QByteArray &ncidLine)
{
    if (via != NcidOnly && !callMonitorLine.isNull()) {
        for (QTcpSocket *c : std::as_const(m_callMonitorClients))
            c->write(callMonitorLine);
    }
    if (via != CallMonitorOnly && !ncidLine.isNull()) {
        for (QTcpSocket *c : std::as_const(m_ncidClients))
            c->write(ncidLine);
    }
}

void NetSim::ring()
{
    if (!m_calling)
        return;
    if (--m_ringsLeft <= 0) {
        endCall();
        return;
    }
    const QByteArray time = QTime::currentTime().toString(QStringLiteral("hh:mm:ss")).toLatin1();
    send(m_via, QByteArray(),
         "CIDINFO: *LINE*POTS*RING*" + QByteArray::number(m_options.rings - m_ringsLeft + 1) + "*TIME*" +
             time + "*\r\n");
}

void NetSim::endCall()
{
    if (!m_calling)
        return;
    m_calling = false;
    m_ringTimer.stop();
    const QByteArray time = QTime::currentTime().toString(QStringLiteral("hh:mm:ss")).toLatin1();
    send(m_via, stamp() + ";DISCONNECT;" + QByteArray::number(m_connection) + ";0;\r\n",
         "CIDINFO: *LINE*POTS*RING*0*TIME*" + time + "*\r\n");
}

QString NetSim::execute(const QString &commandLine)
{
    QStringList words = commandLine.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.isEmpty())
        return QStringLiteral("ERROR: empty command");
    const QString command = words.takeFirst();
    Via via = Both;
    QByteArray called = "0123456789";
    enum
    {
        Normal,
        Private,
        OutOfArea
    } kind = Normal;
    QStringList rest;
    for (const QString &w : std::as_const(words)) {
        if (w == QLatin1String("--via=callmonitor"))
            via = CallMonitorOnly;
        else if (w == QLatin1String("--via=ncid"))
            via = NcidOnly;
        else if (w.startsWith(QLatin1String("--called=")))
            called = w.mid(9).toLatin1();
        else if (w == QLatin1String("--private"))
            kind = Private;
        else if (w == QLatin1String("--out-of-area"))
            kind = OutOfArea;
        else if (w.startsWith(QLatin1String("--")) && command != QLatin1String("raw"))
            return QStringLiteral("ERROR: unknown option ") + w;
        else
            rest.append(w);
    }
    if (command == QLatin1String("call")) {
        if (rest.isEmpty() && kind == Normal)
            return QStringLiteral("ERROR: call needs a number");
        endCall();
        const QByteArray number = kind == Normal ? rest.takeFirst().toLatin1() : QByteArray();
        const QByteArray name = rest.join(QLatin1Char(' ')).toUtf8();
        m_connection = (m_connection + 1) % 10;
        m_calling = true;
        m_via = via;
        m_ringsLeft = m_options.rings;
        m_called = called;
        const QByteArray ncidNumber = kind == Private     ? "PRIVATE"
                                      : kind == OutOfArea ? "OUT-OF-AREA"
                                                          : number;
        const QByteArray ncidName = kind == Private     ? "PRIVATE"
                                    : kind == OutOfArea ? "OUT-OF-AREA"
                                    : name.isEmpty()    ? "NO NAME"
                                                        : name;
        const QDateTime now = QDateTime::currentDateTime();
        send(via,
             stamp() + ";RING;" + QByteArray::number(m_connection) + ';' + number + ';' + called +
                 ";SIP0;\r\n",
             "CID: *DATE*" + now.toString(QStringLiteral("MMddyyyy")).toLatin1() + "*TIME*" +
                 now.toString(QStringLiteral("hhmm")).toLatin1() + "*LINE*" + called + "*NMBR*" + ncidNumber +
                 "*MESG*NONE*NAME*" + ncidName + "*\r\n");
        m_ringTimer.start(m_options.ringPeriodMs);
        return QStringLiteral("OK");
    }
    if (command == QLatin1String("end")) {
        endCall();
        return QStringLiteral("OK");
    }
    if (command == QLatin1String("drop")) {
        m_calling = false;
        m_ringTimer.stop();
        const QList<QTcpSocket *> all = m_callMonitorClients + m_ncidClients;
        for (QTcpSocket *c : all)
            c->abort();
        return QStringLiteral("OK");
    }
    if (command == QLatin1String("raw")) {
        const QByteArray text = rest.join(QLatin1Char(' ')).toUtf8() + "\r\n";
        send(via, text, text);
        return QStringLiteral("OK");
    }
    const int count = rest.isEmpty() ? 0 : rest.first().toInt();
    if (command == QLatin1String("junk")) {
        QByteArray bytes(count > 0 ? count : 4096, '\0');
        for (char &c : bytes)
            c = char(QRandomGenerator::global()->bounded(256));
        send(via, bytes, bytes);
        return QStringLiteral("OK");
    }
    if (command == QLatin1String("long")) {
        // One line far over any sane length, then a good line that must still be read.
        const QByteArray line = QByteArray(count > 0 ? count : 1 << 20, 'X') + "\r\n";
        send(via, line, line);
        return QStringLiteral("OK");
    }
    if (command == QLatin1String("flood")) {
        QByteArray cm;
        QByteArray ncid;
        for (int i = 0; i < (count > 0 ? count : 10000); ++i) {
            cm += stamp() + ";RING;" + QByteArray::number(i % 10) + ";0" + QByteArray::number(100000 + i) +
                  ";" + called + ";SIP0;\r\n";
            ncid += "CID: *NMBR*0" + QByteArray::number(100000 + i) + "*NAME*Flood*\r\n";
        }
        send(via, cm, ncid);
        return QStringLiteral("OK");
    }
    return QStringLiteral("ERROR: unknown command ") + command;
}

#include "MosquittoBroker.h"

#include "TestSupport.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <unistd.h>

namespace testsupport {

const char kAcl[] = "user a\ntopic readwrite tellwise/a/#\ntopic write homeassistant/#\n"
                    "user b\ntopic read tellwise/a/#\ntopic write tellwise/a/reject\n"
                    "user spy\ntopic readwrite #\nuser intruder\ntopic read #\n";

MosquittoBroker::~MosquittoBroker()
{
    stop();
}

bool MosquittoBroker::start()
{
    if (!m_port) {
        QTcpServer probe;
        if (!probe.listen(QHostAddress::LocalHost))
            return false;
        m_port = probe.serverPort();
        const QString passwords = m_dir.filePath(QStringLiteral("passwords"));
        writeFile(passwords, {});
        for (const char *user : {"a", "b", "spy", "intruder"}) {
            const QString name = QString::fromLatin1(user);
            if (QProcess::execute(QStringLiteral("mosquitto_passwd"),
                                  {QStringLiteral("-b"), passwords, name, name + QStringLiteral("-pw")}) != 0)
                return false;
        }
        writeFile(m_dir.filePath(QStringLiteral("acl")), kAcl);
        writeFile(
            m_dir.filePath(QStringLiteral("mosquitto.conf")),
            QStringLiteral("listener %1 127.0.0.1\nallow_anonymous false\npassword_file %2\nacl_file %3\n"
                           "persistence false\nlog_dest stderr\nlog_type error\nlog_type warning\n%4")
                .arg(m_port)
                .arg(passwords, m_dir.filePath(QStringLiteral("acl")),
                     // As root it would become "mosquitto", who cannot read the test's folder.
                     ::geteuid() == 0 ? QStringLiteral("user root\n") : QString())
                .toUtf8());
    }
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(QStringLiteral("mosquitto"),
                    {QStringLiteral("-c"), m_dir.filePath(QStringLiteral("mosquitto.conf"))});
    if (!m_process.waitForStarted(5000))
        return false;
    for (int i = 0; i < 100; ++i) {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, m_port);
        if (socket.waitForConnected(100))
            return true;
        QTest::qWait(50);
    }
    return false;
}

void MosquittoBroker::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(5000))
        m_process.kill();
    m_process.waitForFinished(1000);
}

QStringList MosquittoBroker::connection(const QString &user) const
{
    return {QStringLiteral("-h"),    QStringLiteral("127.0.0.1"),  QStringLiteral("-p"),
            QString::number(m_port), QStringLiteral("-u"),         user,
            QStringLiteral("-P"),    user + QStringLiteral("-pw"), QStringLiteral("-V"),
            QStringLiteral("5")};
}

QByteArray MosquittoBroker::subscribe(const QString &topic, int count, int seconds) const
{
    QProcess sub;
    sub.start(QStringLiteral("mosquitto_sub"),
              connection(QStringLiteral("spy")) +
                  QStringList{QStringLiteral("-v"), QStringLiteral("-t"), topic, QStringLiteral("-C"),
                              QString::number(count), QStringLiteral("-W"), QString::number(seconds)});
    sub.waitForFinished((seconds + 5) * 1000);
    return sub.readAllStandardOutput();
}

bool MosquittoBroker::startSubscriber(QProcess &sub, const QString &topic) const
{
    // The subscription is in place once a message sent after it came back.
    const QString marker = QStringLiteral("test/ready/%1").arg(quintptr(&sub));
    sub.start(QStringLiteral("mosquitto_sub"),
              connection(QStringLiteral("spy")) + QStringList{QStringLiteral("-v"), QStringLiteral("-t"),
                                                              topic, QStringLiteral("-t"), marker});
    for (int i = 0; sub.waitForStarted(5000) && i < 50; ++i) {
        publish(QStringLiteral("spy"), marker, "ready");
        if (QTest::qWaitFor([&sub] { return sub.peek(1 << 20).contains("ready"); }, 200))
            return true;
    }
    return false;
}

bool MosquittoBroker::publish(const QString &user, const QString &topic, const QByteArray &payload,
                              const QStringList &more) const
{
    QProcess pub;
    pub.start(QStringLiteral("mosquitto_pub"),
              connection(user) +
                  QStringList{QStringLiteral("-q"), QStringLiteral("1"), QStringLiteral("-t"), topic} +
                  (payload.isNull() ? QStringList{}
                                    : QStringList{QStringLiteral("-m"), QString::fromUtf8(payload)}) +
                  more);
    return pub.waitForFinished(10000) && pub.exitStatus() == QProcess::NormalExit && pub.exitCode() == 0;
}

} // namespace testsupport

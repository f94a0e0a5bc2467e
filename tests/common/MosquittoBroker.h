#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace testsupport {

// Debian's mosquitto on a loopback port of its own, with users and an access list: "a" writes
// under tellwise/a and reads its reject topic, "b" reads tellwise/a and may reject, "spy" reads
// and writes everything, "intruder" reads everything and writes nothing of tellwise/a. Every
// password is the user's name followed by "-pw".
class MosquittoBroker
{
public:
    ~MosquittoBroker();
    // Starts the broker (again on the same port after a stop).
    bool start();
    void stop();
    QString address() const { return QStringLiteral("127.0.0.1:%1").arg(m_port); }

    // mosquitto_sub as spy, "TOPIC PAYLOAD" a line, until COUNT messages came or SECONDS passed.
    QByteArray subscribe(const QString &topic, int count, int seconds) const;
    // mosquitto_sub as spy in SUB, once subscribed; its first line is its own.
    bool startSubscriber(QProcess &sub, const QString &topic) const;
    // mosquitto_pub as USER; true when it exited normally.
    bool publish(const QString &user, const QString &topic, const QByteArray &payload,
                 const QStringList &more = {}) const;

private:
    QStringList connection(const QString &user) const;
    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_port = 0;
};

} // namespace testsupport

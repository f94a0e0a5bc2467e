#pragma once

#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <csignal>
#include <sys/prctl.h>

namespace testsupport {

// The desktop's keyring of a test's own: gnome-keyring, unlocked, on a private session bus. Start
// it before anything asks a keyring, so the whole test process talks to this one.
class PrivateKeyring
{
public:
    ~PrivateKeyring()
    {
        for (QProcess *p : {&m_keyring, &m_bus}) {
            p->kill();
            p->waitForFinished(5000);
        }
    }
    static bool installed()
    {
        return !QStandardPaths::findExecutable(QStringLiteral("gnome-keyring-daemon")).isEmpty();
    }
    bool running() const { return m_keyring.state() == QProcess::Running; }

    bool start()
    {
        for (QProcess *p : {&m_keyring, &m_bus})
            p->setChildProcessModifier(
                [] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); }); // a crashed test leaves none
        m_bus.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--session"), QStringLiteral("--nofork"),
                                                    QStringLiteral("--print-address")});
        if (!m_bus.waitForReadyRead(10000))
            return false;
        qputenv("DBUS_SESSION_BUS_ADDRESS", m_bus.readLine().trimmed());
        m_keyring.start(QStringLiteral("gnome-keyring-daemon"),
                        {QStringLiteral("--foreground"), QStringLiteral("--unlock"),
                         QStringLiteral("--components=secrets")});
        m_keyring.write("test");
        m_keyring.closeWriteChannel();
        // Asking the service itself would have the bus start another one.
        return QTest::qWaitFor(
            [] {
                QProcess ask;
                ask.start(QStringLiteral("dbus-send"),
                          {QStringLiteral("--session"), QStringLiteral("--print-reply"),
                           QStringLiteral("--dest=org.freedesktop.DBus"), QStringLiteral("/"),
                           QStringLiteral("org.freedesktop.DBus.NameHasOwner"),
                           QStringLiteral("string:org.freedesktop.secrets")});
                return ask.waitForFinished(5000) && ask.readAll().contains("true");
            },
            10000);
    }

private:
    QProcess m_bus;
    QProcess m_keyring;
};

} // namespace testsupport

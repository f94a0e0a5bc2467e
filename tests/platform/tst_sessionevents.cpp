#include "platform/SessionEvents.h"

#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>

#include <csignal>

using namespace Qt::StringLiterals;

// The end of the session as the program sees it: real signals sent to this process, and
// logind's sleep announcement on a private message bus.
class TestSessionEvents : public QObject
{
    Q_OBJECT

private slots:
    void terminationSignalsBecomeQtSignals()
    {
        for (const int number : {SIGTERM, SIGHUP}) {
            SessionEvents events;
            QSignalSpy ending(&events, &SessionEvents::sessionEnding);
            QCOMPARE(::kill(::getpid(), number), 0); // without the handler this would end the test
            QTRY_COMPARE(ending.size(), 1);
            QCOMPARE(ending.at(0).at(0).toInt(), number);
        }
    }

    void sleepAnnouncementFromLogind()
    {
        const QString daemon = QStandardPaths::findExecutable(u"dbus-daemon"_s);
        if (daemon.isEmpty())
            QSKIP("dbus-daemon is not installed");
        QProcess bus;
        bus.start(daemon, {u"--session"_s, u"--nofork"_s, u"--print-address"_s});
        QVERIFY(bus.waitForStarted(5000));
        QTRY_VERIFY_WITH_TIMEOUT(bus.canReadLine(), 5000);
        const QString address = QString::fromUtf8(bus.readLine().trimmed());

        SessionEvents events;
        QSignalSpy suspending(&events, &SessionEvents::suspending);
        QVERIFY(events.watchSleep(address));

        QDBusConnection stranger = QDBusConnection::connectToBus(address, u"stranger"_s);
        QDBusConnection logind = QDBusConnection::connectToBus(address, u"logind"_s);
        QVERIFY(logind.isConnected());
        QVERIFY(logind.registerService(u"org.freedesktop.login1"_s));

        auto announce = [](QDBusConnection &from, bool start) {
            QDBusMessage m = QDBusMessage::createSignal(
                u"/org/freedesktop/login1"_s, u"org.freedesktop.login1.Manager"_s, u"PrepareForSleep"_s);
            m << start;
            QVERIFY(from.send(m));
        };

        announce(stranger, true); // anyone may send it; only logind is believed
        announce(logind, false);  // waking up again
        announce(logind, true);
        QTRY_COMPARE(suspending.size(), 1);
        QTest::qWait(200);
        QCOMPARE(suspending.size(), 1);

        QDBusConnection::disconnectFromBus(u"stranger"_s);
        QDBusConnection::disconnectFromBus(u"logind"_s);
        QDBusConnection::disconnectFromBus(u"tellwise-session-events"_s);
        bus.kill();
        bus.waitForFinished();
    }
};

QTEST_GUILESS_MAIN(TestSessionEvents)
#include "tst_sessionevents.moc"

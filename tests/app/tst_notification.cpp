#include "app/CallPipeline.h"
#include "app/MonitorProgram.h"
#include "app/TfrmStart.h"
#include "app/TrayFallbackWindow.h"
#include "telephony/TapiFunc.h"
#include "ui/TfrmMain.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

#include "SimProcess.h"
#include "TestProfile.h"

using namespace Qt::StringLiterals;

// The desktop's notification service as the program meets it, on a private bus.
class NotificationServer : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    // Serves the notifications on the test's bus as the desktop would.
    NotificationServer()
    {
        QVERIFY(
            m_bus.registerObject(u"/org/freedesktop/Notifications"_s, this, QDBusConnection::ExportAllSlots));
        QVERIFY(m_bus.registerService(u"org.freedesktop.Notifications"_s));
    }
    ~NotificationServer() override { QDBusConnection::disconnectFromBus(u"desktop"_s); }
    // The user clicks ACTION on notification 7.
    void invoke(const QString &action)
    {
        QDBusMessage invoked = QDBusMessage::createSignal(
            u"/org/freedesktop/Notifications"_s, u"org.freedesktop.Notifications"_s, u"ActionInvoked"_s);
        QVERIFY(m_bus.send(invoked << 7u << action));
    }

    QString summary, body;
    QStringList actions, hints;
    QList<uint> closed;

public slots:
    uint Notify(const QString &, uint, const QString &, const QString &s, const QString &b,
                const QStringList &a, const QVariantMap &h, int)
    {
        summary = s, body = b, actions = a, hints = h.keys();
        return 7;
    }
    void CloseNotification(uint id) { closed << id; }

private:
    QDBusConnection m_bus =
        QDBusConnection::connectToBus(qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS"), u"desktop"_s);
};

// A notification area's watcher that comes up late, as a panel started after the program.
class TrayWatcher : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")

public:
    TrayWatcher()
    {
        QVERIFY(m_bus.registerObject(u"/StatusNotifierWatcher"_s, this, QDBusConnection::ExportAllSlots));
        QVERIFY(m_bus.registerService(u"org.kde.StatusNotifierWatcher"_s));
    }
    ~TrayWatcher() override { QDBusConnection::disconnectFromBus(u"panel"_s); }
    QStringList items;
    // The panel reads the icon it is to draw.
    QDBusPendingCall readIcon()
    {
        QDBusMessage get = QDBusMessage::createMethodCall(items.value(0), u"/StatusNotifierItem"_s,
                                                          u"org.freedesktop.DBus.Properties"_s, u"Get"_s);
        return m_bus.asyncCall(get << u"org.kde.StatusNotifierItem"_s << u"IconPixmap"_s);
    }

public slots:
    void RegisterStatusNotifierItem(const QString &item) { items << item; }

private:
    QDBusConnection m_bus =
        QDBusConnection::connectToBus(qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS"), u"panel"_s);
};

class TestNotification : public QObject
{
    Q_OBJECT
    QProcess m_bus;

private slots:
    void initTestCase()
    {
        const QString daemon = QStandardPaths::findExecutable(u"dbus-daemon"_s);
        if (daemon.isEmpty())
            QSKIP("dbus-daemon is not installed");
        m_bus.start(daemon, {u"--session"_s, u"--nofork"_s, u"--print-address"_s});
        QVERIFY(m_bus.waitForStarted(5000));
        QTRY_VERIFY_WITH_TIMEOUT(m_bus.canReadLine(), 5000);
        qputenv("DBUS_SESSION_BUS_ADDRESS", m_bus.readLine().trimmed());
    }

    void cleanupTestCase() { m_bus.kill(), m_bus.waitForFinished(); }

    void callGoesToTheDesktop_data()
    {
        QTest::addColumn<bool>("blocked");
        QTest::newRow("unknown caller") << false;
        QTest::newRow("withheld number") << true;
    }
    void callGoesToTheDesktop()
    {
        QFETCH(bool, blocked);
        MonitorProgram program;
        NotificationServer server;

        CallerBlocked = blocked;
        HandleIdentifiedCall(u"Ana <b>"_s, u"0123456"_s, u"555"_s, -1, {});
        QTRY_COMPARE(server.summary, u"Ana <b>"_s);
        // Withheld: the stand-in is text, not markup, and offers nothing to add.
        QVERIFY(server.body.contains(blocked ? u"&lt; Sakriven &gt;"_s : u"555"_s));
        QCOMPARE(server.actions.size(), blocked ? 4 : 6);
        QCOMPARE(server.hints, (QStringList{u"desktop-entry"_s, u"urgency"_s}));

        server.invoke(u"calls"_s); // "Pozivi" opens the calls page
        QTRY_VERIFY(program.frmMain()->isVisible());
        QCOMPARE(program.frmMain()->currentPage(), 1);

        OnTapiCallEnded();
        QTRY_COMPARE(server.closed, QList<uint>{7});
        CallerBlocked = false;
    }

    // "Odbij" takes the ringing call off the hook and drops it, as the call window's reject does.
    void rejectReachesTheModem()
    {
        testsupport::writeModemConfig({.keepAliveMs = 300, .commandTimeoutMs = 600});
        testsupport::ModemEmulator sim;
        QVERIFY(sim.start() && testsupport::writeSettings({{Settings::DeviceName, u"Modem emulator"_s}}));
        MonitorProgram program;
        program.start();
        QVERIFY(sim.waitForCommand(u"AT+VCID=1"_s, 5000));
        NotificationServer server;
        sim.send("call 0912345678 ANA");
        QTRY_COMPARE_WITH_TIMEOUT(server.summary, u"ANA"_s, 10000);
        server.invoke(u"reject"_s);
        QTRY_VERIFY_WITH_TIMEOUT(sim.timeOf(u"ATH1"_s) >= 0, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(sim.timeOf(u"ATH0"_s) > sim.timeOf(u"ATH1"_s), 10000);
    }

    // The panel comes up after the program: the icon registers and the stand-in window goes; it
    // comes back when the panel leaves, and the icon registers again with the next panel.
    void lateTrayReplacesStandIn()
    {
        testsupport::writeModemConfig({.keepAliveMs = 300, .commandTimeoutMs = 600});
        testsupport::ModemEmulator sim;
        QVERIFY(sim.start() && testsupport::writeSettings({{Settings::DeviceName, u"Modem emulator"_s}}));
        MonitorProgram program;
        program.start();
        TrayFallbackWindow *standIn = program.frmStart()->fallbackWindow();
        QVERIFY(standIn->isVisible());
        QTest::qWait(2000);
        for (int panel = 0; panel < 2; ++panel) {
            auto watcher = std::make_unique<TrayWatcher>();
            QTRY_COMPARE(watcher->items, QStringList{u"org.kde.StatusNotifierItem-%1-1"_s.arg(
                                             QCoreApplication::applicationPid())});
            QTRY_VERIFY(!standIn->isVisible());
            QDBusPendingCall icon = watcher->readIcon();
            QTRY_VERIFY(icon.isFinished());
            QVERIFY2(!icon.isError(), qPrintable(icon.error().message()));
            watcher.reset();
            QTRY_VERIFY(standIn->isVisible());
        }
    }

    // Nobody serves notifications: the call is shown, nothing waits and nothing is reported.
    void noServiceIsSilent()
    {
        QTest::failOnWarning(QRegularExpression(u"^(?!This plugin)"_s)); // offscreen's own notes
        MonitorProgram program;
        HandleIdentifiedCall(u"Ana"_s, u"0123456"_s, u"555"_s, -1, {});
        OnTapiCallEnded();
        QTest::qWait(300);
    }
};

QTEST_MAIN(TestNotification)
#include "tst_notification.moc"

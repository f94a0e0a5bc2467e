#include "app/CallMonitor.h"
#include "app/MonitorProgram.h"
#include "platform/StatusNotifierItem.h"
#include "app/TfrmStart.h"
#include "app/TrayController.h"
#include "app/TrayFallbackWindow.h"
#include "ui/DialogSeams.h"
#include "ui/TfrmIncomingCall.h"
#include "ui/TfrmMain.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDialog>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

#include "SimProcess.h"
#include "TestCallSource.h"
#include "TestProfile.h"
#include "TestSupport.h"

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
    QStringList actions;
    QVariantMap hints;
    QList<uint> closed;

public slots:
    uint Notify(const QString &, uint, const QString &, const QString &s, const QString &b,
                const QStringList &a, const QVariantMap &h, int)
    {
        summary = s, body = b, actions = a, hints = h;
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
    int menuUpdates = 0;

    // The panel asks the item, as it does to draw it.
    QDBusMessage ask(const QString &path, const QString &interface, const QString &method,
                     const QVariantList &args)
    {
        QDBusMessage call = QDBusMessage::createMethodCall(items.value(0), path, interface, method);
        call.setArguments(args);
        return m_bus.call(call, QDBus::BlockWithGui);
    }
    QVariant property(const QString &name)
    {
        const QDBusMessage reply = ask(u"/StatusNotifierItem"_s, u"org.freedesktop.DBus.Properties"_s,
                                       u"Get"_s, {u"org.kde.StatusNotifierItem"_s, name});
        return reply.arguments().value(0).value<QDBusVariant>().variant();
    }
    // The panel follows the menu's changes.
    bool followMenu(const QString &path)
    {
        return m_bus.connect(items.value(0), path, u"com.canonical.dbusmenu"_s, u"ItemsPropertiesUpdated"_s,
                             this, SLOT(menuChanged()));
    }
    // The menu as the panel draws it: "-" a separator, "[x]" or "[ ]" a switch.
    QStringList menu(const QString &path)
    {
        const QDBusMessage reply =
            ask(path, u"com.canonical.dbusmenu"_s, u"GetLayout"_s, {0, -1, QStringList()});
        const auto layout = reply.arguments().value(1).value<QDBusArgument>();
        QStringList entries;
        int id = 0;
        QVariantMap p;
        layout.beginStructure();
        layout >> id >> p;
        layout.beginArray();
        while (!layout.atEnd()) {
            QDBusVariant child;
            layout >> child;
            const auto entry = child.variant().value<QDBusArgument>();
            entry.beginStructure();
            entry >> id >> p;
            entry.endStructure();
            QString shown = p.value(u"type"_s) == u"separator"_s ? u"-"_s : p.value(u"label"_s).toString();
            if (p.value(u"toggle-type"_s) == u"checkmark"_s)
                shown += p.value(u"toggle-state"_s).toInt() == 1 ? u" [x]"_s : u" [ ]"_s;
            entries << u"%1 %2"_s.arg(id).arg(shown);
        }
        layout.endArray();
        return entries;
    }

public slots:
    void RegisterStatusNotifierItem(const QString &item) { items << item; }
    void menuChanged() { ++menuUpdates; }

private:
    QDBusConnection m_bus =
        QDBusConnection::connectToBus(qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS"), u"panel"_s);
};

class TestNotification : public QObject
{
    Q_OBJECT
    QProcess m_bus;

    // The panel shows the tray's tool tip and draws the tray menu with the switches' states; a
    // click on a switch switches it, and the panel hears of it.
    static void checkMenu(MonitorProgram &program, TrayWatcher &panel)
    {
        const auto tip = panel.property(u"ToolTip"_s).value<QDBusArgument>();
        QCOMPARE(tip.currentSignature(), u"(sa(iiay)ss)"_s);
        // The first line is the title; the new calls, if any, its description.
        const auto shownTip = qdbus_cast<TrayToolTip>(tip);
        QCOMPARE(shownTip.title + (shownTip.description.isEmpty() ? QString() : u'\n' + shownTip.description),
                 program.frmStart()->findChild<TrayController *>()->toolTip());
        const QString menu = panel.property(u"Menu"_s).value<QDBusObjectPath>().path();
        QVERIFY(panel.followMenu(menu));
        QStringList shown =
            u"1 Adresar|2 Pozivi|3 -|4 Prati pozive [x]|5 Uključi zvuk [x]|6 Ne smetaj! [ ]|"
            u"7 Odbij! [ ]|8 -|9 Opcije|10 O programu|11 -|12 Zatvori Tellwise Monitor"_s.split(u'|');
        QCOMPARE(panel.menu(menu), shown);
        panel.ask(menu, u"com.canonical.dbusmenu"_s, u"Event"_s,
                  {5, u"clicked"_s, QVariant::fromValue(QDBusVariant(0)), 0u});
        QTRY_VERIFY(panel.menuUpdates > 0);
        QVERIFY(!program.settings().flag(Settings::EnableSound));
        shown[4] = u"5 Uključi zvuk [ ]"_s;
        QCOMPARE(panel.menu(menu), shown);
    }

    // The program's line, replaced by one the test drives.
    static testsupport::TestCallSource *driveCalls(MonitorProgram &program)
    {
        auto line = std::make_unique<testsupport::TestCallSource>();
        testsupport::TestCallSource *driven = line.get();
        program.frmStart()->calls().setSource(std::move(line));
        return driven;
    }

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
        QTest::addColumn<bool>("known");
        QTest::newRow("unknown caller") << false << false;
        QTest::newRow("withheld number, line that cannot reject") << true << false;
        QTest::newRow("contact with a picture") << false << true;
    }
    void callGoesToTheDesktop()
    {
        QFETCH(bool, blocked);
        QFETCH(bool, known);
        MonitorProgram program;
        NotificationServer server;
        if (known) {
            // An odd size and a colour whose bytes differ in every channel: a stretch, a stride or
            // a channel order gone wrong shows.
            QImage picture(37, 23, QImage::Format_RGB32);
            picture.fill(QColor(200, 100, 50));
            const QString file = testsupport::testDataDir() + u"ana.bmp"_s;
            QVERIFY(picture.save(file));
            AListAddress ana{.FirstName = u"Ana <b>"_s, .DisplayNameAs = u"Ana <b>"_s, .Picture = file};
            ana.PhoneNumber[0] = u"0123456"_s;
            QVERIFY(program.addressBook().AddContact(ana));
        }

        testsupport::TestCallSource *line = driveCalls(program);
        line->rejectable = !blocked;
        line->identify({.name = u"Ana <b>"_s, .number = u"0123456"_s, .calledNumber = u"555"_s, .withheld = blocked});
        QTRY_COMPARE(server.summary, u"Ana <b>"_s);
        // Withheld: the stand-in is text, not markup, and offers nothing to add.
        QVERIFY(server.body.contains(blocked ? u"&lt; Sakriven &gt;"_s : u"555"_s));
        const bool addable = !blocked && !known;
        QCOMPARE(server.actions.size(), addable ? 6 : blocked ? 2 : 4);
        QStringList hints{u"desktop-entry"_s, u"urgency"_s};
        if (known)
            hints.insert(1, u"image-data"_s);
        QCOMPARE(server.hints.keys(), hints);
        if (known) {
            // The call window's picture: 160 x 120, RGBA, the corners rounded off.
            const auto image = server.hints.value(u"image-data"_s).value<QDBusArgument>();
            int width = 0, height = 0, stride = 0, bits = 0, channels = 0;
            bool alpha = false;
            QByteArray bytes;
            image.beginStructure();
            image >> width >> height >> stride >> alpha >> bits >> channels >> bytes;
            image.endStructure();
            QCOMPARE((QList<int>{width, height, stride, bits, channels}), (QList<int>{160, 120, 640, 8, 4}));
            QVERIFY(alpha);
            QCOMPARE(bytes.size(), 640 * 120);
            QCOMPARE(bytes.mid(60 * 640 + 80 * 4, 4), QByteArray("\xc8\x64\x32\xff"));
            QCOMPARE(bytes.mid(119 * 640 + 159 * 4, 4), QByteArray(4, 0));
        }

        server.invoke(u"calls"_s); // "Pozivi" opens the calls page
        QTRY_VERIFY(program.frmMain()->isVisible());
        QCOMPARE(program.frmMain()->currentPage(), 1);

        if (addable) {
            // "Dodaj u adresar": the contact editor, filled as the call list's add fills it.
            QStringList prefilled;
            ModalDialogHook::pushNext([&](QDialog &editor) {
                for (const char *name : {"editFirstName", "editPhoneNumber1"})
                    prefilled << editor.findChild<QLineEdit *>(QLatin1String(name))->text();
                editor.reject();
            });
            server.invoke(u"add-contact"_s);
            QTRY_COMPARE(prefilled, (QStringList{u"Ana <b>"_s, u"012-3456"_s}));
        }

        line->end();
        QTRY_COMPARE(server.closed, QList<uint>{7});
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
        QTRY_COMPARE(server.closed, QList<uint>{7});
        QCOMPARE(sim.timeOf(u"ATH0"_s), -1);
        QTRY_VERIFY(!program.frmIncomingCall()->isVisible());
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
        TrayFallbackWindow *standIn = program.frmStart()->findChild<TrayController *>()->fallbackWindow();
        QVERIFY(standIn->isVisible());
        QTest::qWait(2000);
        for (int panel = 0; panel < 2; ++panel) {
            auto watcher = std::make_unique<TrayWatcher>();
            QTRY_COMPARE(watcher->items, QStringList{u"org.kde.StatusNotifierItem-%1-1"_s.arg(
                                             QCoreApplication::applicationPid())});
            QTRY_VERIFY(!standIn->isVisible());
            QVERIFY(watcher->property(u"IconPixmap"_s).isValid());
            if (panel == 0)
                checkMenu(program, *watcher);
            if (QTest::currentTestFailed())
                return;
            watcher.reset();
            QTRY_VERIFY(standIn->isVisible());
        }
    }

    // Nobody serves notifications: the call is shown, nothing waits and nothing is reported.
    void noServiceIsSilent()
    {
        QTest::failOnWarning(QRegularExpression(u"^(?!This plugin)"_s)); // offscreen's own notes
        MonitorProgram program;
        testsupport::TestCallSource *line = driveCalls(program);
        line->identify({.name = u"Ana"_s, .number = u"0123456"_s, .calledNumber = u"555"_s});
        line->end();
        QTest::qWait(300);
    }
};

QTEST_MAIN(TestNotification)
#include "tst_notification.moc"

#include "app/CallMonitor.h"
#include "app/CallPublisher.h"
#include "settings/Settings.h"
#include "store/AddressBook.h"
#include "store/CallLog.h"
#include "store/DataFiles.h"
#include "telephony/CallSources.h"
#include "telephony/ModemConfig.h"
#include "telephony/MqttCallSource.h"
#include "telephony/MqttConfig.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSettings>
#include <QTest>

#include "MosquittoBroker.h"
#include "PrivateKeyring.h"
#include "SimProcess.h"
#include "TestProfile.h"
#include "TestSupport.h"

using namespace Qt::StringLiterals;

namespace {

// An address book of one contact, Ana, under NAME.
void writeBook(const QString &dir, const QString &name)
{
    QDir().mkpath(dir);
    AListAddress ana;
    ana.DisplayNameAs = name;
    ana.Group = u"Obitelj"_s;
    ana.PhoneNumber[0] = u"091 234 5678"_s;
    QVERIFY(SaveAddressbook(dir, TContactList{ana}) &&
            SaveGroups(dir, TGroupList{AGroups{u"Obitelj"_s, {}}}));
}

void writePasswords(const QByteArray &bPassword, const QByteArray &aPassword = "a-pw")
{
    const QString path = QFileInfo(telephony::ModemConfig::filePath()).absolutePath() + u"/mqtt-passwords"_s;
    testsupport::writeFile(path, "b@127.0.0.1 " + bPassword + "\na@127.0.0.1 " + aPassword + '\n');
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
}

// The JSON of the "call" event of TYPE among mosquitto_sub's lines.
QJsonObject callEvent(const QByteArray &output, const QString &type)
{
    for (const QByteArray &line : output.split('\n')) {
        const QJsonObject o = QJsonDocument::fromJson(line.mid(line.indexOf(' ') + 1)).object();
        if (o.value("event_type"_L1).toString() == type)
            return o;
    }
    return {};
}

} // namespace

// Monitor A watches the modem emulator and publishes; monitor B shows A's calls through an MQTT
// line. Both run here, each with its own settings, address book and call log, against a real
// broker with users and an access list.
class TestMqtt : public QObject
{
    Q_OBJECT
    testsupport::PrivateKeyring m_keyring; // no entry there: the monitors read their file
    testsupport::MosquittoBroker m_broker;
    testsupport::ModemEmulator m_sim;
    Settings m_settingsA;
    AddressBook m_bookA{testsupport::testDataDir() + u"a/"_s};
    CallLog m_logA{m_bookA.folder()};
    CallMonitor m_a{m_settingsA, m_bookA, m_logA};
    std::unique_ptr<CallPublisher> m_publisher;
    Settings m_settingsB;
    AddressBook m_bookB{testsupport::testDataDir()};
    CallLog m_logB{testsupport::testDataDir()};
    CallMonitor m_b{m_settingsB, m_bookB, m_logB};
    QList<PresentedCall> m_shownOnB;
    int m_lostB = 0;
    int m_endedB = 0;

    void openB()
    {
        const auto line =
            telephony::FindLine(telephony::DeviceKind::Modem, u"MQTT tellwise/a@"_s + m_broker.address());
        QVERIFY(line);
        m_b.setSource(telephony::CreateCallSource(*line));
        QVERIFY(m_b.source()->start());
    }
    const telephony::MqttClient &clientB() const
    {
        return static_cast<telephony::MqttCallSource *>(m_b.source())->client();
    }
    // What the line monitor does with a lost line: starts it again until it answers.
    void waitForB() { QTRY_VERIFY_WITH_TIMEOUT(m_b.source()->start() && clientB().isConnected(), 20000); }
    // A call that rings a few times and goes; RINGS to keep it ringing long.
    void callAndWaitForB(int shown, const QByteArray &rings = "4")
    {
        const int ended = m_endedB;
        m_sim.send("call 0912345678 ANA --rings=" + rings);
        QTRY_COMPARE_WITH_TIMEOUT(m_shownOnB.size(), shown, 15000);
        if (rings == "4")
            QTRY_VERIFY_WITH_TIMEOUT(m_endedB > ended, 15000);
    }
    // What the subscriber received once it was ready, when TEXT came.
    static QByteArray waitFor(QProcess &sub, const char *text)
    {
        const auto received = [&sub] { return sub.peek(1 << 20).split('\n').mid(1).join('\n'); };
        (void)QTest::qWaitFor([&] { return received().contains(text); }, 10000);
        sub.kill();
        sub.waitForFinished();
        return sub.readAllStandardOutput().split('\n').mid(1).join('\n');
    }

private slots:
    void initTestCase()
    {
        if (testsupport::PrivateKeyring::installed())
            QVERIFY(m_keyring.start());
        QVERIFY(m_broker.start());
        testsupport::writeModemConfig({.keepAliveMs = 0, .commandTimeoutMs = 2000});
        {
            QSettings modems(telephony::ModemConfig::filePath(), QSettings::IniFormat);
            modems.setValue(u"Network/Mqtt"_s, QStringList{u"tellwise/a@"_s + m_broker.address()});
            modems.setValue(u"Network/MqttPasswordFile"_s, u"mqtt-passwords"_s);
        }
        writePasswords("b-pw");
        writeBook(m_bookA.folder(), u"Ana Horvat"_s);
        writeBook(testsupport::testDataDir(), u"Teta Ana"_s);
        QVERIFY(m_bookA.load() && m_bookB.load() && m_logA.load() && m_logB.load());

        QVERIFY(m_sim.start({u"--ring-period"_s, u"300"_s}));
        const auto modem = telephony::FindLine(telephony::DeviceKind::Modem, u"Modem emulator"_s);
        QVERIFY(modem);
        m_a.setSource(telephony::CreateCallSource(*modem));
        QVERIFY(m_a.source()->start() && m_sim.waitForCommand(u"CID=1"_s, 5000));
        m_publisher = std::make_unique<CallPublisher>(m_settingsA, m_a, [this] { m_a.reject(); });
        m_settingsA.setText(Settings::MqttBroker, m_broker.address());
        m_settingsA.setText(Settings::MqttUser, u"a"_s);
        m_settingsA.setText(Settings::MqttPrefix, u"tellwise/a"_s);
        m_settingsA.setFlag(Settings::MqttPublish, true);
        QTRY_VERIFY_WITH_TIMEOUT(m_publisher->client().isConnected(), 10000);

        connect(&m_b, &CallMonitor::callPresented, this,
                [this](const PresentedCall &call) { m_shownOnB << call; });
        connect(&m_b, &CallMonitor::lineLost, this, [this] { ++m_lostB; });
        connect(&m_b, &CallMonitor::callEnded, this, [this] { ++m_endedB; });
        openB();
        QTRY_VERIFY_WITH_TIMEOUT(clientB().isConnected(), 10000);
    }

    // The call as A's address book names it on the broker, as B's names it on B; only the
    // access list's own users can turn it away, and then A's modem answers and hangs up.
    void callIsSharedAndRejectedFromTheOtherMonitor()
    {
        QProcess sub;
        QVERIFY(m_broker.startSubscriber(sub, u"tellwise/a/call"_s));
        callAndWaitForB(1, "40");
        QCOMPARE(m_shownOnB[0].name, u"Teta Ana"_s);
        QVERIFY(m_shownOnB[0].known && m_shownOnB[0].rejectable);
        const QByteArray published = waitFor(sub, "identified");
        QVERIFY2(!callEvent(published, u"ringing"_s).isEmpty(), published.constData());
        const QJsonObject identified = callEvent(published, u"identified"_s);
        QCOMPARE(identified.value("name"_L1).toString(), u"Ana Horvat"_s);
        QCOMPARE(identified.value("digits"_L1).toString(), u"0912345678"_s);
        QCOMPARE(identified.value("group"_L1).toString(), u"Obitelj"_s);
        QVERIFY(identified.value("known"_L1).toBool() && !identified.value("withheld"_L1).toBool());
        QVERIFY(QDateTime::fromString(identified.value("time"_L1).toString(), Qt::ISODate).isValid());

        QVERIFY(m_broker.subscribe(u"tellwise/a/last_call"_s, 1, 5).contains("Ana Horvat"));
        const QByteArray discovery = m_broker.subscribe(u"homeassistant/#"_s, 3, 5);
        QVERIFY(discovery.contains("homeassistant/sensor/tellwise_a/last_call/config "));
        const qsizetype at = discovery.indexOf("homeassistant/event/tellwise_a/call/config ");
        const QByteArray eventConfig = discovery.mid(at).split('\n').value(0);
        const QJsonObject config =
            QJsonDocument::fromJson(eventConfig.mid(eventConfig.indexOf(' ') + 1)).object();
        QCOMPARE(config.value("state_topic"_L1).toString(), u"tellwise/a/call"_s);
        QVERIFY(config.value("event_types"_L1).toArray().contains(u"identified"_s));

        QVERIFY(m_broker.publish(u"intruder"_s, u"tellwise/a/reject"_s, "reject"));
        QTest::qWait(1000);
        QCOMPARE(m_sim.timeOf(u"ATH1"_s), -1);
        m_b.reject();
        QTRY_VERIFY_WITH_TIMEOUT(m_sim.timeOf(u"ATH1"_s) >= 0, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(m_sim.timeOf(u"ATH0"_s) > m_sim.timeOf(u"ATH1"_s), 15000);
        QTRY_VERIFY_WITH_TIMEOUT(m_endedB == 1, 15000);
    }

    // With the number only, nothing of A's address book leaves A; B still knows the caller.
    void numberOnlyKeepsTheAddressBookHome()
    {
        m_settingsA.setFlag(Settings::MqttNumberOnly, true);
        QProcess sub;
        QVERIFY(m_broker.startSubscriber(sub, u"tellwise/a/last_call"_s));
        callAndWaitForB(m_shownOnB.size() + 1);
        const QByteArray published = waitFor(sub, "identified");
        QVERIFY2(!published.contains("Ana Horvat") && !published.contains("Obitelj"), published.constData());
        QCOMPARE(m_shownOnB.last().name, u"Teta Ana"_s);
        m_settingsA.setFlag(Settings::MqttNumberOnly, false);
    }

    // A broker that goes and comes back, a wrong password corrected in its file: both
    // monitors come back by themselves, and calls flow again.
    void brokerAndPasswordTroubleHeals()
    {
        m_broker.stop();
        QTRY_VERIFY_WITH_TIMEOUT(m_lostB > 0 && !m_publisher->note().isEmpty(), 10000);
        QVERIFY(!m_b.source()->start());
        for (int i = 0; i < CallPublisher::kMaxQueued + 30; ++i) // events while the broker is away
            emit m_a.callEnded();
        QVERIFY2(m_publisher->note().contains(u": 30 "_s), qPrintable(m_publisher->note()));
        QVERIFY(m_broker.start());
        waitForB();
        QTRY_VERIFY_WITH_TIMEOUT(m_publisher->note().isEmpty(), 20000);

        writePasswords("wrong", "wrong");
        m_settingsA.setFlag(Settings::MqttPublish, false); // both connect anew, with the wrong password
        m_settingsA.setFlag(Settings::MqttPublish, true);
        openB();
        static const QRegularExpression refused(u"password|authori"_s,
                                                QRegularExpression::CaseInsensitiveOption);
        QTRY_VERIFY_WITH_TIMEOUT(clientB().error().contains(refused) && m_publisher->note().contains(refused),
                                 20000);
        writePasswords("b-pw");
        waitForB();
        QTRY_VERIFY_WITH_TIMEOUT(m_publisher->client().isConnected(), 10000);
        callAndWaitForB(m_shownOnB.size() + 1);
    }

    // A's right password in the keyring, a wrong one in the file: the keyring's is taken, while
    // the broker refuses, without a restart; the file keeps no copy of it.
    void passwordFromTheKeyring()
    {
        if (!m_keyring.running())
            QSKIP("gnome-keyring is not installed (deps/debian-packages.txt)");
        writePasswords("b-pw", "wrong");
        m_settingsA.setFlag(Settings::MqttPublish, false);
        m_settingsA.setFlag(Settings::MqttPublish, true);
        QTRY_VERIFY_WITH_TIMEOUT(m_publisher->note().contains(u"authori"_s, Qt::CaseInsensitive), 20000);
        telephony::LinePasswords::Answer answer;
        QVERIFY(telephony::MqttConfig::savePassword(u"a@127.0.0.1"_s, u"a-pw"_s, &answer));
        QCOMPARE(answer.store, telephony::PasswordStore::Keyring);
        QTRY_VERIFY_WITH_TIMEOUT(m_publisher->client().isConnected(), 20000);
        QVERIFY(!testsupport::readFile(telephony::MqttConfig::load().passwordFile).contains("a@"));
        callAndWaitForB(m_shownOnB.size() + 1);
    }

    // Junk, foreign JSON and a message too large to take change nothing; a flood is survived.
    void junkFromTheBroker()
    {
        const int shown = m_shownOnB.size();
        QByteArray big = "{\"event_type\":\"identified\",\"digits\":\"0912345678\",\"name\":\"";
        big += QByteArray(telephony::MqttClient::kMaxMessageSize, 'x') + "\"}";
        const QString bigFile = testsupport::testDataDir() + u"big.json"_s;
        testsupport::writeFile(bigFile, big);
        QVERIFY(m_broker.publish(u"spy"_s, u"tellwise/a/call"_s, {}, {u"-f"_s, bigFile}));
        for (const QByteArray &junk : {QByteArray("{"), QByteArray("[1,2]"), QByteArray("\xff\xfe\0x", 4),
                                       QByteArray("{\"event_type\":[\"identified\"]}")})
            QVERIFY(m_broker.publish(u"spy"_s, u"tellwise/a/call"_s, junk));
        QVERIFY(m_broker.publish(u"spy"_s, u"tellwise/a/call"_s, "{\"event_type\":\"ended\"}",
                                 {u"--repeat"_s, u"20000"_s}));
        QTest::qWait(500);
        QCOMPARE(m_shownOnB.size(), shown);
        QVERIFY(m_b.source()->isMonitoring());
        callAndWaitForB(shown + 1);
    }

    // A monitor that dies is shown offline by the broker's keeping of its last will.
    void killedMonitorIsOffline()
    {
        m_publisher.reset();
        QVERIFY(m_broker.subscribe(u"tellwise/a/status"_s, 1, 5).contains("offline"));
        m_a.setSource(nullptr);
        QVERIFY(testsupport::writeSettings(
            testsupport::emulatorProfile({{Settings::MqttPublish, true},
                                          {Settings::MqttBroker, m_broker.address()},
                                          {Settings::MqttUser, u"a"_s},
                                          {Settings::MqttPrefix, u"tellwise/a"_s}})));
        QProcess monitor;
        monitor.start(testsupport::toolPath(u"tellwise-monitor"_s));
        QVERIFY(monitor.waitForStarted(5000));
        QTRY_VERIFY_WITH_TIMEOUT(m_broker.subscribe(u"tellwise/a/status"_s, 1, 2).contains("online"), 20000);
        monitor.kill();
        QVERIFY(monitor.waitForFinished(5000));
        QTRY_VERIFY_WITH_TIMEOUT(m_broker.subscribe(u"tellwise/a/status"_s, 1, 2).contains("offline"), 10000);
    }
};

QTEST_MAIN(TestMqtt)
#include "tst_mqtt.moc"

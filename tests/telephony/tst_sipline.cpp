// The SIP line: callers as the stack parses real INVITEs, the account configuration, and the line
// against Kamailio (registrar and proxy with digest authentication) with baresip and sipsak as
// the caller's and the other telephones: calls through the call rules into Calls.dat, hang-up,
// forking, reject, withheld callers, floods, a wrong password and a registrar that goes away.

#include "PrivateKeyring.h"
#include "TestSupport.h"

#include "app/CallMonitor.h"
#include "settings/Settings.h"
#include "store/AddressBook.h"
#include "store/CallLog.h"
#include "store/DataFiles.h"
#include "telephony/ModemConfig.h"
#include "telephony/MqttConfig.h"
#include "telephony/SipCallSource.h"
#include "telephony/SipIdentity.h"
#include "telephony/SipStack.h"

#include <sofia-sip/sip_header.h>

#include <QDir>
#include <QProcess>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTcpSocket>
#include <QTest>
#include <QUdpSocket>

#include <csignal>
#include <sys/prctl.h>

using namespace telephony;
using namespace Qt::StringLiterals;

namespace {

const QString kTmp =
    QDir::tempPath() + u"/tst_sipline-"_s + QString::number(QCoreApplication::applicationPid());

QString callerText(const CallerId &c)
{
    return QStringList{c.name, c.number, c.calledNumber, QString::number(c.withheld),
                       QString::number(c.unavailable)}
        .join(u'|');
}

// A program from Debian, in its own folder, stopped when the object goes.
struct Peer
{
    QProcess process;
    QByteArray output;
    ~Peer()
    {
        process.terminate(); // baresip hangs up its calls as it quits
        if (!process.waitForFinished(5000))
            process.kill();
        process.waitForFinished(5000);
    }
    bool start(const QString &program, const QStringList &args)
    {
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.setChildProcessModifier(
            [] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); }); // a crashed test leaves none
        QObject::connect(&process, &QProcess::readyRead, [this] { output += process.readAll(); });
        process.start(program, args);
        return process.waitForStarted(10000);
    }
};

quint16 freePort(quint16 from)
{
    QUdpSocket udp;
    for (quint16 port = from;; port += 7) {
        if (udp.bind(QHostAddress::LocalHost, port)) {
            udp.close();
            return port;
        }
    }
}

} // namespace

class TestSipLine : public QObject
{
    Q_OBJECT

    quint16 m_port = 0;     // Kamailio's
    quint16 m_linePort = 0; // ours
    Settings m_settings;
    std::unique_ptr<AddressBook> m_book;
    std::unique_ptr<CallLog> m_log;
    std::unique_ptr<CallMonitor> m_monitor;
    SipCallSource *m_line = nullptr;
    std::unique_ptr<Peer> m_kamailio;
    testsupport::PrivateKeyring m_keyring; // no entry there: the lines read their files
    int m_phones = 0;

    QString registrar() const { return u"127.0.0.1:"_s + QString::number(m_port); }
    QString listen() const { return u"127.0.0.1:"_s + QString::number(m_linePort); }

    // Debian's kamailio is in /usr/sbin, which an ordinary user's PATH lacks.
    static QString kamailio()
    {
        const QString onPath = QStandardPaths::findExecutable(u"kamailio"_s);
        return onPath.isEmpty() ? QStandardPaths::findExecutable(u"kamailio"_s, {u"/usr/sbin"_s}) : onPath;
    }

    bool startKamailio()
    {
        QByteArray cfg = testsupport::readFile(
            QStringLiteral(TELLWISE_SOURCE_DIR "/tests/telephony/sipline-kamailio.cfg"));
        cfg.replace("@PORT@", QByteArray::number(m_port));
        const QDir lib(u"/usr/lib"_s);
        for (const QString &dir : lib.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
            if (QFile::exists(lib.filePath(dir + u"/kamailio/modules/tm.so"_s)))
                cfg.replace("@MODULES@", lib.filePath(dir + u"/kamailio/modules/"_s).toUtf8());
        testsupport::writeFile(kTmp + u"/kamailio.cfg"_s, cfg);
        m_kamailio = std::make_unique<Peer>();
        if (!m_kamailio->start(kamailio(), {u"-f"_s, kTmp + u"/kamailio.cfg"_s, u"-DD"_s, u"-E"_s, u"-Y"_s,
                                            kTmp, u"-P"_s, kTmp + u"/kamailio.pid"_s}))
            return false;
        return QTest::qWaitFor(
            [this] {
                QTcpSocket probe;
                probe.connectToHost(QHostAddress::LocalHost, m_port);
                return probe.waitForConnected(200);
            },
            20000);
    }

    // baresip as a telephone of USER (display name, password): it dials DIAL at once when given,
    // answers by itself with AUTOANSWER.
    std::unique_ptr<Peer> phone(const char *account, const QString &dial = {}, bool autoAnswer = false)
    {
        const QString dir = kTmp + u"/phone"_s + QString::number(++m_phones);
        QDir().mkpath(dir);
        testsupport::writeFile(
            dir + u"/config"_s,
            "sip_listen 127.0.0.1:0\nmodule_path /usr/lib/baresip/modules\nmodule g711.so\n"
            "module aubridge.so\nmodule_app account.so\nmodule_app menu.so\n"
            "audio_source aubridge,x\naudio_player aubridge,x\naudio_alert aubridge,x\n");
        testsupport::writeFile(dir + u"/accounts"_s, QString::fromLatin1(account).arg(registrar()).toUtf8() +
                                                         (autoAnswer ? ";answermode=auto\n" : "\n"));
        auto peer = std::make_unique<Peer>();
        QStringList args{u"-f"_s, dir};
        if (!dial.isEmpty())
            args << u"-e"_s << u"/dial sip:"_s + dial + u"@"_s + registrar();
        peer->start(u"baresip"_s, args);
        return peer;
    }

    void writeAccount(const QByteArray &password)
    {
        QSettings s(ModemConfig::filePath(), QSettings::IniFormat);
        s.beginGroup(u"Network"_s);
        s.setValue(u"Sip"_s, u"alice@"_s + registrar());
        s.setValue(u"SipPasswordFile"_s, kTmp + u"/passwords"_s);
        s.setValue(u"SipListen"_s, listen());
        s.setValue(u"SipExpires"_s, 20);
        testsupport::writeFile(kTmp + u"/passwords"_s, "# accounts\nalice@127.0.0.1 " + password + "\n");
        QFile::setPermissions(kTmp + u"/passwords"_s, QFile::ReadOwner | QFile::WriteOwner);
    }

private slots:
    void initTestCase()
    {
        QDir().mkpath(kTmp);
        QDir().mkpath(QFileInfo(ModemConfig::filePath()).absolutePath());
        m_port = freePort(20000 + QCoreApplication::applicationPid() % 20000);
        m_linePort = freePort(m_port + 1);
        if (testsupport::PrivateKeyring::installed())
            QVERIFY(m_keyring.start());
    }

    void cleanupTestCase() { QDir(kTmp).removeRecursively(); }

    void callerFromHeaders_data()
    {
        QTest::addColumn<QByteArray>("headers");
        QTest::addColumn<QString>("caller");
        QTest::newRow("From") << "From: \"Ana \\\"A\\\" Horvat\" <sip:+385-91-234-5678@pbx>;tag=1\r\n"_ba
                              << u"Ana \"A\" Horvat|+385912345678|015551234|0|0"_s;
        QTest::newRow("asserted identity wins")
            << "From: <sip:100@pbx>;tag=1\r\nRemote-Party-ID: <sip:200@pbx>\r\n"
               "P-Asserted-Identity: \"Ana\" <tel:091-234-5678;phone-context=x>\r\n"_ba
            << u"Ana|0912345678|015551234|0|0"_s;
        QTest::newRow("party id before From")
            << "From: <sip:100@pbx>;tag=1\r\nRemote-Party-ID: \"B\" <sip:200@pbx>;party=calling\r\n"_ba
            << u"B|200|015551234|0|0"_s;
        QTest::newRow("privacy id") << "From: \"Ana\" <sip:0912345678@pbx>;tag=1\r\nPrivacy: id\r\n"_ba
                                    << u"||015551234|1|0"_s;
        QTest::newRow("anonymous") << "From: \"Anonymous\" <sip:anonymous@anonymous.invalid>;tag=1\r\n"_ba
                                   << u"||015551234|1|0"_s;
        QTest::newRow("party id privacy")
            << "From: <sip:1@pbx>;tag=1\r\nRemote-Party-ID: <sip:2@pbx>;privacy=full\r\n"_ba
            << u"||015551234|1|0"_s;
        QTest::newRow("no number") << "From: <sip:alice%20b@pbx>;tag=1\r\n"_ba << u"alice b||015551234|0|1"_s;
        QTest::newRow("junk number") << "From: \"<b>\" <sip:12%3Cscript%3E@pbx>;tag=1\r\n"_ba
                                     << u"<b>||015551234|0|1"_s;
    }

    void callerFromHeaders()
    {
        QFETCH(QByteArray, headers);
        QVERIFY(SipStack::instance(listen())); // the stack's parser knows the identity headers
        const QByteArray text =
            "INVITE sip:015551234@10.0.0.1 SIP/2.0\r\nVia: SIP/2.0/UDP 10.0.0.2;branch=z9hG4bK1\r\n"
            "To: <sip:alice@pbx>\r\nCall-ID: 1\r\nCSeq: 1 INVITE\r\n" +
            headers + "Content-Length: 0\r\n\r\n";
        msg_t *msg = msg_make(sip_default_mclass(), 0, text.constData(), text.size());
        QVERIFY(msg);
        QTEST(callerText(sipCallerOf(sip_object(msg))), "caller");
        msg_destroy(msg);
    }

    void accountsAndPasswords()
    {
        SipAccount a;
        QVERIFY(SipAccount::parse(u" 015551234:auth7@PBX.example:5070;transport=TCP"_s, &a));
        QCOMPARE(a.lineName(), u"SIP 015551234@pbx.example:5070;transport=tcp"_s);
        QCOMPARE(a.authUser + a.registrarUri(), u"auth7sip:pbx.example:5070;transport=tcp"_s);
        QVERIFY(SipAccount::parse(u"a@[::1];transport=tls"_s, &a) && a.effectivePort() == 5061);
        for (const QString &bad : {u"@pbx"_s, u"a@"_s, u"a b@pbx"_s, u"a@pbx:0"_s, u"a@pbx;transport=sctp"_s,
                                   u"a@pbx>\r\nX: y"_s, u"a@[::1"_s})
            QVERIFY2(!SipAccount::parse(bad, &a), qPrintable(bad));
        writeAccount("alicepw");
        const SipConfig config = SipConfig::load();
        QCOMPARE(config.accounts.size(), 1);
        const QString key = config.accounts.first().key();
        QCOMPARE(config.passwords().readNow(key).password, u"alicepw"_s);
        // A file others may read holds no password.
        QFile::setPermissions(config.passwordFile, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
        const LinePasswords::Answer refused = config.passwords().readNow(key);
        QCOMPARE(refused.password, QString());
        QVERIFY(refused.error.contains(u"others"_s));
    }

    // A wrong password is the line's error; the password stored now is the one the next start
    // registers with. Calls then ring through the call rules into Calls.dat.
    void callsThroughKamailio()
    {
        if (kamailio().isEmpty() || QStandardPaths::findExecutable(u"baresip"_s).isEmpty())
            QSKIP("kamailio or baresip is not installed (deps/debian-packages.txt)");
        QVERIFY(startKamailio());
        writeAccount("wrong");
        const QList<LineInfo> lines = ListLines(DeviceKind::Modem);
        QCOMPARE(lines.size(), 1);
        QCOMPARE(lines.first().name, u"SIP alice@"_s + registrar());
        QVERIFY(lines.first().canReject && lines.first().showsName);

        m_book = std::make_unique<AddressBook>(testsupport::testDataDir());
        m_log = std::make_unique<CallLog>(testsupport::testDataDir());
        m_monitor = std::make_unique<CallMonitor>(m_settings, *m_book, *m_log);
        m_monitor->setSource(CreateCallSource(lines.first()));
        auto *line = m_line = static_cast<SipCallSource *>(m_monitor->source());
        QSignalSpy lost(m_monitor.get(), &CallMonitor::lineLost);
        QSignalSpy ended(m_monitor.get(), &CallMonitor::callEnded);
        QVERIFY(line->start());
        QTRY_COMPARE_WITH_TIMEOUT(lost.count(), 1, 20000);
        QVERIFY2(line->lastError().contains(u"password"_s), qPrintable(line->lastError()));
        writeAccount("alicepw");
        QTRY_VERIFY_WITH_TIMEOUT(line->start(), 20000);
        QVERIFY(line->isRegistered());

        QStringList presented;
        QObject scope;
        connect(m_monitor.get(), &CallMonitor::callPresented, &scope,
                [&](const PresentedCall &c) { presented << c.name + u'|' + c.number; });
        auto caller = phone("\"Ana Horvat\" <sip:0912345678@%1>;auth_pass=anapw", u"alice"_s);
        QTRY_COMPARE_WITH_TIMEOUT(presented.size(), 1, 30000);
        QCOMPARE(presented.first(), u"Ana Horvat|(091) 234-5678"_s);
        caller.reset();
        QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, 20000);
        TCallList calls;
        QTRY_VERIFY((LoadCalls(testsupport::testDataDir(), calls, FileAccess::ReadOnly), calls.size() == 1));
        QCOMPARE(calls[0].CallerName + u'|' + calls[0].CallerNumber, presented.first());
    }

    // Reject declines (603) every branch; a second call meanwhile is busy (486); a call another
    // telephone of the account answers ends for us; an anonymous caller is withheld.
    void callsEndingElsewhere()
    {
        QVERIFY2(m_line && m_line->isMonitoring(), "needs the line of callsThroughKamailio");
        QList<CallerId> callers;
        QObject scope;
        connect(m_line, &CallSource::callerKnown, &scope, [&](const CallerId &c) { callers << c; });
        QSignalSpy ended(m_line, &CallSource::callEnded);
        const char *ana = "\"Ana Horvat\" <sip:0912345678@%1>;auth_pass=anapw";
        auto first = phone(ana, u"alice"_s);
        QTRY_COMPARE_WITH_TIMEOUT(callers.size(), 1, 30000);
        auto second = phone(ana, u"alice"_s);
        QTRY_VERIFY_WITH_TIMEOUT(second->output.contains("486 Busy Here"), 30000);
        QCOMPARE(ended.count(), 0);
        m_monitor->reject();
        QTRY_VERIFY_WITH_TIMEOUT(first->output.contains("603 Decline"), 20000);
        QTRY_COMPARE(ended.count(), 1);

        auto otherPhone = phone("<sip:alice@%1>;auth_pass=alicepw", {}, true);
        QTRY_VERIFY_WITH_TIMEOUT(otherPhone->output.contains("200 OK"), 20000);
        auto third = phone(ana, u"alice"_s);
        QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 2, 30000);
        QCOMPARE(callers.size(), 2);
        QTRY_VERIFY(third->output.contains("established"));
        third.reset();
        otherPhone.reset();

        auto anonymous = phone("\"Anonymous\" <sip:anonymous@%1>;regint=0", u"alice"_s);
        QTRY_COMPARE_WITH_TIMEOUT(callers.size(), 3, 30000);
        QVERIFY(callers.last().withheld && callers.last().number.isEmpty());
        TCallList calls; // the declined call and the one answered elsewhere are logged too
        QTRY_VERIFY((LoadCalls(testsupport::testDataDir(), calls, FileAccess::ReadOnly), calls.size() == 4));
    }

    // Floods of requests and of junk leave memory bounded and the line working; a registrar that
    // goes away loses the line, which is back by itself when the registrar returns.
    void hostilePeersAndLostRegistrar()
    {
        QVERIFY2(m_line && m_line->isMonitoring(), "needs the line of callsThroughKamailio");
        const auto rss = [] {
            const QByteArray status = testsupport::readFile(u"/proc/self/status"_s);
            return status.mid(status.indexOf("VmRSS:") + 6, 20).trimmed().split(' ').value(0).toLong();
        };
        const long before = rss();
        const QString target = u"sip:alice@"_s + listen();
        for (const QStringList &args :
             {QStringList{u"-F"_s, u"-e"_s, u"20000"_s}, {u"-R"_s, u"-e"_s, u"2000"_s}}) {
            Peer sipsak;
            QVERIFY(sipsak.start(u"sipsak"_s, args + QStringList{u"-s"_s, target}));
            QVERIFY(QTest::qWaitFor([&] { return sipsak.process.state() == QProcess::NotRunning; }, 60000));
        }
        // INVITEs, one in three with a huge header, each a new call, straight at the line: a second
        // round, once the first round's transactions are over, needs no more memory.
        QUdpSocket flood;
        QList<long> grown;
        for (int i = 0; i < 40000; ++i) {
            flood.writeDatagram(
                u"INVITE sip:alice@%1 SIP/2.0\r\nVia: SIP/2.0/UDP 127.0.0.1:9;branch=z9hG4bK%2\r\n"
                "From: <sip:%2@x>;tag=%2\r\nTo: <sip:alice@x>\r\nCall-ID: %2\r\nCSeq: 1 INVITE\r\n"
                "Contact: <sip:x@127.0.0.1:9>\r\nMax-Forwards: 70\r\nX-Pad: %3\r\n\r\n"_s.arg(listen())
                    .arg(i)
                    .arg(QString(i % 3 * 20000, u'A'))
                    .toLatin1(),
                QHostAddress::LocalHost, m_linePort);
            if (i % 50 == 0)
                QTest::qWait(1);
            if (i % 20000 == 19999) {
                QTest::qWait(9000);
                grown << rss() - before;
            }
        }
        QVERIFY2(grown[1] - grown[0] < 8000, qPrintable(QString::number(grown[1] - grown[0])));
        m_line->reject(); // the flood's first INVITE rings as the call; the others were busy
        QSignalSpy offered(m_line, &CallSource::callOffered);
        auto caller = phone("<sip:0912345678@%1>;auth_pass=anapw", u"alice"_s);
        QTRY_COMPARE_WITH_TIMEOUT(offered.count(), 1, 30000);
        caller.reset();

        QSignalSpy lost(m_line, &CallSource::lineLost);
        m_kamailio.reset();
        QTRY_COMPARE_WITH_TIMEOUT(lost.count(), 1, 60000);
        QVERIFY(!m_line->start());
        QVERIFY(startKamailio());
        QTRY_VERIFY_WITH_TIMEOUT(m_line->start(), 60000);
    }

    // A password in the keyring is the one the line registers with, and the one the desktop's
    // own tools find there; the file keeps no copy. The MQTT passwords live beside it.
    void passwordsInTheKeyring()
    {
        if (!m_keyring.running())
            QSKIP("gnome-keyring is not installed (deps/debian-packages.txt)");
        QVERIFY2(m_line && m_line->isMonitoring(), "needs the line of callsThroughKamailio");
        writeAccount("wrong");
        const SipConfig config = SipConfig::load();
        QCOMPARE(config.passwords().write(u"alice@127.0.0.1"_s, u"alicepw"_s).store, PasswordStore::Keyring);
        QCOMPARE(testsupport::readFile(config.passwordFile), "# accounts\n");
        QProcess lookup;
        lookup.start(u"secret-tool"_s,
                     {u"lookup"_s, u"server"_s, u"Tellwise Monitor SIP"_s, u"user"_s, u"alice@127.0.0.1"_s});
        QVERIFY(lookup.waitForFinished(10000));
        QCOMPARE(lookup.readAllStandardOutput(), "alicepw");
        m_line->stop();
        QVERIFY(m_line->start());
        QTRY_VERIFY_WITH_TIMEOUT(m_line->isRegistered(), 20000);

        LinePasswords::Answer answer;
        QVERIFY(MqttConfig::savePassword(u"kitchen@broker.lan"_s, u"mqttpw"_s, &answer));
        QCOMPARE(MqttConfig::load().passwords().readNow(u"kitchen@broker.lan"_s).password, u"mqttpw"_s);
        QCOMPARE(answer.store, PasswordStore::Keyring);
    }
};

QTEST_MAIN(TestSipLine)
#include "tst_sipline.moc"

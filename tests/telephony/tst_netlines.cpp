// The network lines: both protocols' lines, a hostile stream, and a line against the network
// simulator through the telephony calls (caller, called number, no answering, loss and return).

#include "SimProcess.h"
#include "TestProfile.h"

#include "telephony/NetworkDevice.h"
#include "telephony/TapiFunc.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

using namespace telephony;

Q_DECLARE_METATYPE(NetworkEvent::Kind)

namespace {

QList<DWORD> g_messages;
HCALL g_offered = nullptr;

void CALLBACK callback(DWORD hDevice, DWORD msg, DWORD_PTR, DWORD_PTR p1, DWORD_PTR, DWORD_PTR)
{
    g_messages.append(msg);
    if (msg == LINE_CALLSTATE && p1 == LINECALLSTATE_OFFERING)
        g_offered = reinterpret_cast<HCALL>(DWORD_PTR(hDevice));
}

// The caller and the called number of a call, as the line service tells them.
QByteArrayList numbersOf(HCALL call)
{
    std::vector<char> buffer(2048);
    auto *info = reinterpret_cast<LINECALLINFO *>(buffer.data());
    info->dwTotalSize = DWORD(buffer.size());
    if (lineGetCallInfo(call, info) != 0)
        return {};
    const auto text = [&](DWORD size, DWORD at) { return size ? QByteArray(buffer.data() + at) : ""; };
    return {text(info->dwCallerIDSize, info->dwCallerIDOffset),
            text(info->dwCalledIDSize, info->dwCalledIDOffset)};
}

} // namespace

class TestNetLines : public QObject
{
    Q_OBJECT

private slots:
    void parsesLines_data()
    {
        QTest::addColumn<bool>("ncid");
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<NetworkEvent::Kind>("kind");
        QTest::addColumn<QByteArray>("connection");
        QTest::addColumn<uint>("flags");
        QTest::addColumn<QByteArray>("number");
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("called");
        const auto row = [](bool ncid, const char *line, NetworkEvent::Kind kind, const char *connection = "",
                            DWORD flags = 0, const char *number = "", const char *name = "",
                            const char *called = "") {
            QTest::newRow(line) << ncid << QByteArray(line) << kind << QByteArray(connection) << uint(flags)
                                << QByteArray(number) << QByteArray(name) << QByteArray(called);
        };
        using E = NetworkEvent;
        const DWORD addr = LINECALLPARTYID_ADDRESS;
        row(false, "06.12.26 21:40:01;RING;0;0912345678;015551234;SIP0;", E::Offer, "0", addr, "0912345678",
            "", "015551234");
        row(false, "06.12.26 21:40:01;RING;1;;015551234;SIP0;", E::Offer, "1", LINECALLPARTYID_BLOCKED, "",
            "", "015551234");
        row(false, "06.12.26 21:40:01;CALL;2;10;015551234;0912345678;SIP0;", E::None);
        row(false, "06.12.26 21:40:09;CONNECT;0;10;0912345678;", E::End, "0");
        row(false, "06.12.26 21:41:09;DISCONNECT;1;35;", E::End, "1");
        row(false, "06.12.26 21:40:01;RING;x;0912345678;01;SIP0;", E::None);
        row(false, "RING", E::None);
        row(true, "CID: *DATE*12062026*TIME*2140*LINE*POTS*NMBR*0912345678*MESG*NONE*NAME*Ana Horvat*",
            E::Offer, "", addr | LINECALLPARTYID_NAME, "0912345678", "Ana Horvat");
        row(true, "CID: *DATE*12062026*TIME*2140*LINE*-*NMBR*PRIVATE*MESG*NONE*NAME*PRIVATE*", E::Offer, "",
            LINECALLPARTYID_BLOCKED);
        row(true, "CID: *NMBR*OUT-OF-AREA*NAME*OUT-OF-AREA*", E::Offer, "", LINECALLPARTYID_OUTOFAREA);
        row(true, "CID: *NMBR*0912345678*NAME*NO NAME*LINE*015551234*", E::Offer, "", addr, "0912345678", "",
            "015551234");
        row(true, "CIDLOG: *DATE*12012026*TIME*0930*LINE*POTS*NMBR*0911111111*MESG*NONE*NAME*Old*", E::None);
        row(true, "200 Network CallerID Server", E::None);
        row(true, "300 End of call log", E::None);
        row(true, "CIDINFO: *LINE*POTS*RING*2*TIME*21:40:05*", E::Alive);
        row(true, "CIDINFO: *LINE*POTS*RING*0*TIME*21:40:09*", E::End);
        row(true, "CIDINFO: *LINE*POTS*RING*-1*TIME*21:40:09*", E::End);
        row(true, "END: *HTYPE*BYE*DATE*12062026*TIME*2141*LINE*POTS*NMBR*0912345678*", E::End);
        row(true, "CID: garbage", E::None);
        // Junk is no call, a router line has its time stamp, a junk called number spoils no call.
        row(false, "06.12.26 21:40:01;RING;0;<script>alert(1)</script>;015551234;SIP0;", E::None);
        row(false, ";RING;0;0912345678;015551234;SIP0;", E::None);
        row(false, "06.12.26 21:40:01;RING;0;+385 (91) 234-5678;<b>;SIP0;", E::Offer, "0", addr,
            "+385912345678");
        row(true, "CID: *NMBR*<script>alert(1)</script>*NAME*X*", E::None);
        row(true, "CID: *NMBR*091/222 3333*NAME*NO NAME*", E::Offer, "", addr, "0912223333");
        row(true, "CID: *NMBR*UNAVAILABLE*NAME*NO NAME*", E::Offer, "", LINECALLPARTYID_OUTOFAREA);
    }

    void parsesLines()
    {
        QFETCH(bool, ncid);
        QFETCH(QByteArray, line);
        const NetworkEvent e = ncid ? parseNcidLine(line) : parseCallMonitorLine(line);
        QTEST(e.kind, "kind");
        QTEST(e.connection, "connection");
        if (e.kind == NetworkEvent::Offer) {
            QTEST(uint(e.caller.callerIdFlags()), "flags");
            QTEST(e.caller.number(), "number");
            QTEST(e.caller.name(), "name");
            QTEST(e.called, "called");
        }
    }

    void readerSurvivesJunkAndEndlessLines()
    {
        BoundedLineReader reader;
        QList<QByteArray> lines;
        const auto sink = [&](const QByteArray &l) { lines.append(l); };
        // An endless line never grows the buffer; the line after its end is read again.
        for (int i = 0; i < 1000; ++i)
            reader.feed(QByteArray(4096, 'X'), sink);
        QVERIFY(reader.pendingBytes() <= BoundedLineReader::kMaxLineLength);
        // A control byte spoils its whole line ("091<DC2>222<ESC>3333"); TAB and the CR before LF do not.
        const QByteArray rest = "XX\r\nRI\x01N\0G\r\n091\x12"
                                "222\x1b"
                                "3333\nA\rB\r\n\0;\0;\0\nCID: *NMBR*1*\tX\r\n"_qba;
        for (const char c : rest) // split anywhere
            reader.feed(QByteArrayView(&c, 1), sink);
        QCOMPARE(lines, (QList<QByteArray>{"CID: *NMBR*1*\tX"}));
    }

    void refusingServerNeverBlocks()
    {
        NetworkSource source;
        QVERIFY(NetworkSource::parse(NetworkSource::CallMonitor, QStringLiteral("[::1]"), &source));
        QCOMPARE(source.lineName, QByteArray("Call monitor [::1]:1012"));
        QVERIFY(NetworkSource::parse(NetworkSource::CallMonitor, QStringLiteral("127.0.0.1:1"), &source));
        NetworkConfig config;
        config.connectTimeoutMs = 300;
        NetworkDevice device(source, config);
        QSignalSpy lost(&device, &LineDevice::deviceLost);
        QElapsedTimer clock;
        clock.start();
        QVERIFY(device.startMonitoring());
        QVERIFY(clock.elapsed() < 100);
        QCOMPARE(lost.count(), 0); // never inside the open
        QTRY_COMPARE_WITH_TIMEOUT(lost.count(), 1, 3000);
    }

    void lineThroughTheSimulator()
    {
        ClearLineProviders();
        auto provider = std::make_shared<NetworkProvider>();
        RegisterLineProvider(provider);
        auto sim = std::make_unique<testsupport::NetSimulator>();
        QVERIFY(sim->start({QStringLiteral("--ring-period"), QStringLiteral("200")}));
        testsupport::writeModemConfig();
        testsupport::writeNetworkLines({sim->callMonitor()}, {sim->ncid()});
        QStringList names;
        ListTapiDevices(names);
        QCOMPARE(names, (QStringList{QStringLiteral("Call monitor ") + sim->callMonitor(),
                                     QStringLiteral("NCID ") + sim->ncid()}));
        QVERIFY(!GetCallerDisplayCaps(0).reject);

        HLINEAPP app = nullptr;
        DWORD count = 0;
        HLINE line = nullptr;
        QCOMPARE(lineInitialize(&app, nullptr, callback, nullptr, &count), 0);
        QCOMPARE(lineOpen(app, 0, &line, 0x00020000, 0, 0, LINECALLPRIVILEGE_OWNER, LINEMEDIAMODE_DATAMODEM,
                          nullptr),
                 0);
        QTRY_COMPARE(sim->connections(), 1);
        // A flood before the call: the line stays up and the call after it is read.
        sim->send("flood 20000 --via=callmonitor");
        QTest::qWait(500);
        g_messages.clear();
        g_offered = nullptr;
        sim->send("call 0912345678 --called=015551234");
        QTRY_VERIFY(g_offered && g_messages.contains(LINE_CALLINFO));
        QCOMPARE(numbersOf(g_offered), (QByteArrayList{"0912345678", "015551234"}));
        QCOMPARE(DWORD(lineAnswer(g_offered, nullptr, 0)), DWORD(LINEERR_OPERATIONUNAVAIL));
        QCOMPARE(DWORD(lineDrop(g_offered, nullptr, 0)), DWORD(LINEERR_OPERATIONUNAVAIL));

        // The server drops the connection: the line closes. Asked about its server, the line
        // connects again at once, and the open after that reads what the server sent meanwhile.
        sim->send("drop");
        QTRY_VERIFY(g_messages.contains(LINE_CLOSE));
        QTRY_VERIFY(!NetworkDevice::waitingForServer(names.first()));
        QTRY_COMPARE(sim->connections(), 2);
        g_offered = nullptr;
        sim->send("call 0911111111");
        QTest::qWait(200);
        QCOMPARE(lineOpen(app, 0, &line, 0x00020000, 0, 0, LINECALLPRIVILEGE_MONITOR, 0, nullptr), 0);
        QTRY_VERIFY(g_offered);
        QCOMPARE(numbersOf(g_offered).value(0), "0911111111");

        // The server is gone for 3 s and comes back on its ports: the line is back within 2 s,
        // and a call at once arrives.
        const QStringList ports{QStringLiteral("--callmonitor-port"), sim->callMonitor().section(u':', 1),
                                QStringLiteral("--ncid-port"), sim->ncid().section(u':', 1)};
        sim.reset();
        QTRY_COMPARE(g_messages.count(LINE_CLOSE), 2);
        for (int i = 0; i < 6; ++i) {
            QVERIFY(NetworkDevice::waitingForServer(names.first()));
            QTest::qWait(500);
        }
        sim = std::make_unique<testsupport::NetSimulator>();
        QVERIFY(sim->start(ports));
        QTRY_VERIFY_WITH_TIMEOUT(!NetworkDevice::waitingForServer(names.first()), 2000);
        QCOMPARE(lineOpen(app, 0, &line, 0x00020000, 0, 0, LINECALLPRIVILEGE_MONITOR, 0, nullptr), 0);
        QTRY_COMPARE(sim->connections(), 1);
        g_offered = nullptr;
        sim->send("call 0922222222");
        QTRY_VERIFY(g_offered);
        QCOMPARE(numbersOf(g_offered).value(0), "0922222222");
        lineShutdown(app);
    }
};

QTEST_MAIN(TestNetLines)
#include "tst_netlines.moc"

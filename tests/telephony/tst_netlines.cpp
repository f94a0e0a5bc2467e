// The network lines: both protocols' lines, a hostile stream, and a line against the network
// simulator as a call source (caller, called number, no answering, loss and return).

#include "SimProcess.h"
#include "TestProfile.h"

#include "telephony/NetworkCallSource.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

using namespace telephony;

Q_DECLARE_METATYPE(NetworkEvent::Kind)

namespace {

// The caller of a call as one text: "name|number|called|withheld|unavailable".
QString callerText(const CallerId &c)
{
    return QStringList{c.name, c.number, c.calledNumber, QString::number(c.withheld), QString::number(c.unavailable)}
        .join(u'|');
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
        QTest::addColumn<QString>("caller"); // as callerText() writes it
        const auto row = [](bool ncid, const char *line, NetworkEvent::Kind kind, const char *connection = "",
                            const char *caller = "") {
            QTest::newRow(line) << ncid << QByteArray(line) << kind << QByteArray(connection)
                                << QString::fromUtf8(caller);
        };
        using E = NetworkEvent;
        row(false, "06.12.26 21:40:01;RING;0;0912345678;015551234;SIP0;", E::Offer, "0",
            "|0912345678|015551234|0|0");
        row(false, "06.12.26 21:40:01;RING;1;;015551234;SIP0;", E::Offer, "1", "||015551234|1|0");
        row(false, "06.12.26 21:40:01;CALL;2;10;015551234;0912345678;SIP0;", E::None);
        row(false, "06.12.26 21:40:09;CONNECT;0;10;0912345678;", E::End, "0");
        row(false, "06.12.26 21:41:09;DISCONNECT;1;35;", E::End, "1");
        row(false, "06.12.26 21:40:01;RING;x;0912345678;01;SIP0;", E::None);
        row(false, "RING", E::None);
        row(true, "CID: *DATE*12062026*TIME*2140*LINE*POTS*NMBR*0912345678*MESG*NONE*NAME*Ana Horvat*",
            E::Offer, "", "Ana Horvat|0912345678||0|0");
        row(true, "CID: *DATE*12062026*TIME*2140*LINE*-*NMBR*PRIVATE*MESG*NONE*NAME*PRIVATE*", E::Offer, "",
            "|||1|0");
        row(true, "CID: *NMBR*OUT-OF-AREA*NAME*OUT-OF-AREA*", E::Offer, "", "|||0|1");
        row(true, "CID: *NMBR*0912345678*NAME*NO NAME*LINE*015551234*", E::Offer, "", "|0912345678|015551234|0|0");
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
        row(false, "06.12.26 21:40:01;RING;0;+385 (91) 234-5678;<b>;SIP0;", E::Offer, "0", "|+385912345678||0|0");
        row(true, "CID: *NMBR*<script>alert(1)</script>*NAME*X*", E::None);
        row(true, "CID: *NMBR*091/222 3333*NAME*NO NAME*", E::Offer, "", "|0912223333||0|0");
        row(true, "CID: *NMBR*UNAVAILABLE*NAME*NO NAME*", E::Offer, "", "|||0|1");
    }

    void parsesLines()
    {
        QFETCH(bool, ncid);
        QFETCH(QByteArray, line);
        const NetworkEvent e = ncid ? parseNcidLine(line) : parseCallMonitorLine(line);
        QTEST(e.kind, "kind");
        QTEST(e.connection, "connection");
        if (e.kind == NetworkEvent::Offer) {
            CallerId caller = e.caller.callerId();
            caller.calledNumber = QString::fromLatin1(e.called);
            QTEST(callerText(caller), "caller");
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
        NetworkCallSource line(source, config);
        QSignalSpy lost(&line, &CallSource::lineLost);
        QElapsedTimer clock;
        clock.start();
        QVERIFY(line.start());
        QVERIFY(clock.elapsed() < 100);
        QCOMPARE(lost.count(), 0); // never inside the open
        QTRY_COMPARE_WITH_TIMEOUT(lost.count(), 1, 3000);
    }

    void lineThroughTheSimulator()
    {
        auto sim = std::make_unique<testsupport::NetSimulator>();
        QVERIFY(sim->start({QStringLiteral("--ring-period"), QStringLiteral("200")}));
        testsupport::writeModemConfig();
        testsupport::writeNetworkLines({sim->callMonitor()}, {sim->ncid()});
        const QList<LineInfo> lines = ListLines(DeviceKind::Modem);
        QCOMPARE(lines.size(), 2);
        const LineInfo &info = lines.first();
        QCOMPARE(info.name, QStringLiteral("Call monitor ") + sim->callMonitor());
        QCOMPARE(lines.last().name, QStringLiteral("NCID ") + sim->ncid());
        QCOMPARE(QStringLiteral("%1:%2").arg(info.host).arg(info.tcpPort), sim->callMonitor());
        QVERIFY(info.showsNumber && !info.showsName && !info.canReject);

        std::unique_ptr<CallSource> line = CreateCallSource(info);
        QVERIFY(line && !line->canReject());
        QStringList callers;
        QSignalSpy lost(line.get(), &CallSource::lineLost);
        connect(line.get(), &CallSource::callerKnown, this,
                [&callers](const CallerId &c) { callers.append(callerText(c)); });
        QVERIFY(line->start());
        QTRY_COMPARE(sim->connections(), 1);
        // A flood before the call: the line stays up and the call after it is read.
        sim->send("flood 20000 --via=callmonitor");
        QTest::qWait(500);
        callers.clear();
        sim->send("call 0912345678 --called=015551234");
        QTRY_COMPARE(callers, QStringList{QStringLiteral("|0912345678|015551234|0|0")});
        line->reject(); // listens only: nothing happens
        QVERIFY(line->isMonitoring());

        // The server drops the connection: the line is lost. A start that fails connects again at
        // once, and the start after that reads what the server sent meanwhile.
        sim->send("drop");
        QTRY_COMPARE(lost.count(), 1);
        QVERIFY(!line->isMonitoring());
        QVERIFY(!line->start());
        QTRY_VERIFY(static_cast<NetworkCallSource *>(line.get())->isConnected());
        QTRY_COMPARE(sim->connections(), 2);
        callers.clear();
        sim->send("call 0911111111");
        QTest::qWait(200);
        QVERIFY(line->start());
        QTRY_COMPARE(callers.size(), 1);
        QVERIFY(callers.first().startsWith(QStringLiteral("|0911111111|")));

        // The server is gone for 3 s and comes back on its ports: the line is back within 2 s,
        // and a call at once arrives.
        const QStringList ports{QStringLiteral("--callmonitor-port"), sim->callMonitor().section(u':', 1),
                                QStringLiteral("--ncid-port"), sim->ncid().section(u':', 1)};
        sim.reset();
        QTRY_COMPARE(lost.count(), 2);
        for (int i = 0; i < 6; ++i) {
            QVERIFY(!line->start());
            QTest::qWait(500);
        }
        sim = std::make_unique<testsupport::NetSimulator>();
        QVERIFY(sim->start(ports));
        QTRY_VERIFY_WITH_TIMEOUT(line->start(), 2000);
        QTRY_COMPARE(sim->connections(), 1);
        callers.clear();
        sim->send("call 0922222222");
        QTRY_COMPARE(callers.size(), 1);
        QVERIFY(callers.first().startsWith(QStringLiteral("|0922222222|")));
    }
};

QTEST_MAIN(TestNetLines)
#include "tst_netlines.moc"

#include "capi/CpConnec.h"
#include "capi/CpConst.h"
#include "capi/CpDLL.h"
#include "capi/CpInfo.h"
#include "capi/CpMsg.h"
#include "capi/CpStruct.h"

#include <QTest>

namespace {

QByteArray hex(const char *spaced)
{
    return QByteArray::fromHex(QByteArray(spaced).replace(' ', ""));
}

const uint8_t *bytes(const QByteArray &b)
{
    return reinterpret_cast<const uint8_t *>(b.constData());
}

QByteArray encoded(TCapiMessage &m)
{
    m.header().ApplId = 7;
    m.header().MessageNumber = 0x1234;
    return m.encode();
}

QString s(const TStruct &st)
{
    return QString::fromLatin1(st.content().toHex());
}

// Every field a decoded message exposes, in one line.
QString describe(TCapiMessage &m)
{
    const QString h = QStringLiteral("%1/%2 ").arg(m.header().ApplId).arg(m.header().MessageNumber);
    if (auto *c = dynamic_cast<TCapiConfirmation *>(&m))
        return h + QStringLiteral("conf id=%1 info=%2").arg(c->identifier(), 0, 16).arg(c->info(), 0, 16);
    if (auto *c = dynamic_cast<TConnectInd *>(&m))
        return h + QStringLiteral(
                       "connect plci=%1 cip=%2 called=%3:%4 calling=%5/%6:%7 subs=%8,%9 bc=%10 llc=%11 "
                       "hlc=%12 add=%13")
                       .arg(c->plci(), 0, 16)
                       .arg(c->cipValue())
                       .arg(c->calledPartyNumber().octet(), 0, 16)
                       .arg(c->calledPartyNumber().text())
                       .arg(c->callingPartyNumber().octet1(), 0, 16)
                       .arg(c->callingPartyNumber().octet2(), 0, 16)
                       .arg(c->callingPartyNumber().digits())
                       .arg(s(c->calledPartySubAddress()), s(c->callingPartySubAddress()), s(c->bc()),
                            s(c->llc()), s(c->hlc()), s(c->additionalInfo()));
    if (auto *c = dynamic_cast<TConnectActiveInd *>(&m))
        return h + QStringLiteral("active plci=%1 number=%2/%3:%4 sub=%5 llc=%6")
                       .arg(c->plci(), 0, 16)
                       .arg(c->connectedNumber().octet1(), 0, 16)
                       .arg(c->connectedNumber().octet2(), 0, 16)
                       .arg(c->connectedNumber().digits(), s(c->connectedSubAddress()), s(c->llc()));
    if (auto *c = dynamic_cast<TDisconnectInd *>(&m))
        return h +
               QStringLiteral("disconnect plci=%1 reason=%2").arg(c->plci(), 0, 16).arg(c->reason(), 0, 16);
    if (auto *c = dynamic_cast<TInfoInd *>(&m))
        return h + QStringLiteral("info plci=%1 number=%2 element=%3")
                       .arg(c->plci(), 0, 16)
                       .arg(c->infoNumber(), 0, 16)
                       .arg(s(c->infoElement()));
    if (auto *c = dynamic_cast<TFacilityConf *>(&m))
        return h + QStringLiteral("facility-conf id=%1 info=%2 selector=%3 param=%4")
                       .arg(c->identifier(), 0, 16)
                       .arg(c->info(), 0, 16)
                       .arg(c->facilitySelector())
                       .arg(s(c->facilityConfirmationParameter()));
    if (auto *c = dynamic_cast<TFacilityInd *>(&m))
        return h + QStringLiteral("facility-ind id=%1 selector=%2 param=%3")
                       .arg(c->identifier(), 0, 16)
                       .arg(c->facilitySelector())
                       .arg(s(c->facilityIndicationParameter()));
    if (auto *c = dynamic_cast<TNcpiIndication *>(&m))
        return h + QStringLiteral("ncpi ncci=%1 ncpi=%2").arg(c->ncci(), 0, 16).arg(s(c->ncpi()));
    if (auto *c = dynamic_cast<TDisconnectB3Ind *>(&m))
        return h + QStringLiteral("disconnect-b3 ncci=%1 reason=%2 ncpi=%3")
                       .arg(c->ncci(), 0, 16)
                       .arg(c->reasonB3(), 0, 16)
                       .arg(s(c->ncpi()));
    if (auto *c = dynamic_cast<TDataB3Conf *>(&m))
        return h + QStringLiteral("data-conf ncci=%1 handle=%2 info=%3")
                       .arg(c->ncci(), 0, 16)
                       .arg(c->dataHandle())
                       .arg(c->info(), 0, 16);
    if (auto *c = dynamic_cast<TDataB3Ind *>(&m))
        return h + QStringLiteral("data-ind ncci=%1 ptr=%2 len=%3 handle=%4 flags=%5")
                       .arg(c->ncci(), 0, 16)
                       .arg(c->dataPointer(), 0, 16)
                       .arg(c->dataLength())
                       .arg(c->dataHandle())
                       .arg(c->flags());
    return h + QStringLiteral("plain %1 params=%2")
                   .arg(m.command(), 4, 16, QLatin1Char('0'))
                   .arg(QString::fromLatin1(m.parameters().toHex()));
}

} // namespace

class TestCapiCodec : public QObject
{
    Q_OBJECT

private slots:
    void structureLengthPrefix_data()
    {
        QTest::addColumn<int>("contentLength");
        QTest::addColumn<QByteArray>("prefix");
        QTest::addColumn<int>("totalSize");
        QTest::newRow("empty is one zero byte") << 0 << hex("00") << 1;
        QTest::newRow("254 keeps one length byte") << 254 << hex("fe") << 255;
        QTest::newRow("255 takes the escape") << 255 << hex("ff ff 00") << 258;
        QTest::newRow("300 takes the escape") << 300 << hex("ff 2c 01") << 303;
    }
    void structureLengthPrefix()
    {
        QFETCH(int, contentLength);
        QFETCH(QByteArray, prefix);
        QFETCH(int, totalSize);
        TStruct st;
        st.allocate(contentLength);
        QCOMPARE(st.bytes().left(prefix.size()), prefix);
        QCOMPARE(st.totalSize(), totalSize);
        QCOMPARE(int(st.bytes().size()), totalSize);
        // A wrapped copy reads back the same length.
        TStruct wrapped(bytes(st.bytes()), st.bytes().size());
        QCOMPARE(wrapped.contentLength(), contentLength);
        QCOMPARE(wrapped.consumed(), totalSize);
    }

    void structureReadsStopAtContent()
    {
        const QByteArray raw = hex("03 11 22 33 44 55");
        TStruct st(bytes(raw), raw.size());
        QCOMPARE(st.consumed(), 4);
        QCOMPARE(st.readU16(), uint16_t(0x2211));
        // Two bytes would cross the content: zeros, and the position stays.
        QCOMPARE(st.readU16(), uint16_t(0));
        QCOMPARE(st.readPosition(), 2);
        QCOMPARE(st.readU8(), uint8_t(0x33));
        st.resetCursor();
        QCOMPARE(st.readU8(), uint8_t(0x11));
    }

    void structureCrossingTheEndReadsEmpty_data()
    {
        QTest::addColumn<QByteArray>("raw");
        QTest::newRow("short content") << hex("05 01 02");
        QTest::newRow("escape without length") << hex("ff 01");
        QTest::newRow("escape with short content") << hex("ff 00 01 aa");
        QTest::newRow("escape with a short length") << hex("ff 05 00 01 02 03 04");
        QTest::newRow("nothing at all") << QByteArray();
    }
    void structureCrossingTheEndReadsEmpty()
    {
        QFETCH(QByteArray, raw);
        TStruct st(bytes(raw), raw.size());
        QCOMPARE(st.contentLength(), 0);
        QCOMPARE(st.consumed(), int(raw.size()));
    }

    void escapeWithShortLengthIsRead()
    {
        const QByteArray raw = hex("ff 02 00 aa bb cc");
        TStruct st(bytes(raw), raw.size());
        QCOMPARE(st.contentLength(), 2);
        QCOMPARE(st.consumed(), 5);
        QCOMPARE(st.content(), hex("aa bb"));
    }

    void numberStructures()
    {
        TCallingPartyNumber number(0x21, 0x80, QStringLiteral("12345"));
        QCOMPARE(number.bytes(), hex("07 21 80 31 32 33 34 35"));
        const QByteArray onlyOctets = hex("02 21 80");
        TCallingPartyNumber read(bytes(onlyOctets), onlyOctets.size());
        QCOMPARE(read.octet1(), uint8_t(0x21));
        QCOMPARE(read.octet2(), uint8_t(0x80));
        QVERIFY(read.digits().isEmpty());

        TCallingPartySubAddress sub(0x80, QString());
        QCOMPARE(sub.bytes(), hex("01 80"));
        const QByteArray called = hex("04 81 39 38 37");
        TCallingPartySubAddress calledRead(bytes(called), called.size());
        QCOMPARE(calledRead.octet(), uint8_t(0x81));
        QCOMPARE(calledRead.text(), QStringLiteral("987"));

        TBProtocol protocol(1, 1, 0);
        QCOMPARE(protocol.bytes(), hex("09 0100 0100 0000 00 00 00"));
        TBProtocol configured(1, 2, 3, std::make_unique<TCallingPartySubAddress>(0x05, QString()));
        QCOMPARE(configured.bytes(), hex("0a 0100 0200 0300 01 05 00 00"));
    }

    void supplementaryServiceParameters()
    {
        QCOMPARE(TSuppServFacilityReqParameter(0).bytes(), hex("03 0000 00"));

        const QByteArray ok = hex("09 0000 06 0000 1d000000");
        TSuppServFacilityConfParameter conf(bytes(ok), ok.size());
        uint16_t info = 0xFFFF;
        uint32_t services = 0;
        QVERIFY(conf.supportedServices(info, services));
        QCOMPARE(info, uint16_t(0));
        QCOMPARE(services, uint32_t(0x1D));
        // Asking twice gives the same answer: the inner cursor is reset.
        services = 0;
        QVERIFY(conf.supportedServices(info, services));
        QCOMPARE(services, uint32_t(0x1D));

        const QByteArray other = hex("09 0100 06 0000 1d000000");
        TSuppServFacilityConfParameter notSupported(bytes(other), other.size());
        QCOMPARE(notSupported.function(), uint16_t(1));
        QVERIFY(!notSupported.supportedServices(info, services));
    }

    void buildMessages_data()
    {
        QTest::addColumn<std::shared_ptr<TCapiMessage>>("message");
        QTest::addColumn<QByteArray>("expected");
        auto row = [](const char *name, TCapiMessage *m, const char *bytes) {
            QTest::newRow(name) << std::shared_ptr<TCapiMessage>(m) << hex(bytes);
        };
        row("ALERT_REQ", new TAlertReq(0x101), "0d00 0700 0180 3412 01010000 00");
        row("CONNECT_RESP ignore", new TConnectResp(0x101, 1),
            "1300 0700 0283 3412 01010000 0100 00 00 00 00 00");
        row("CONNECT_RESP accept", new TConnectResp(0x101, 0, std::make_unique<TBProtocol>(1, 1, 0)),
            "1c00 0700 0283 3412 01010000 0000 09 0100 0100 0000 00 00 00 00 00 00 00");
        row("CONNECT_ACTIVE_RESP", new TConnectActiveResp(0x101), "0c00 0700 0383 3412 01010000");
        row("DISCONNECT_REQ", new TDisconnectReq(0x101), "0d00 0700 0480 3412 01010000 00");
        row("DISCONNECT_RESP", new TDisconnectResp(0x101), "0c00 0700 0483 3412 01010000");
        row("LISTEN_REQ empty structures", new TListenReq(1, 0x7F, 2, 0),
            "1a00 0700 0580 3412 01000000 7f000000 02000000 00000000 00 00");
        row("LISTEN_REQ monitor",
            new TListenReq(1, 0x7F, 0x1FFF03FE, 0, std::make_unique<TCallingPartyNumber>(0, 0x80, QString()),
                           std::make_unique<TCallingPartySubAddress>(0x80, QString())),
            "1d00 0700 0580 3412 01000000 7f000000 fe03ff1f 00000000 02 00 80 01 80");
        row("INFO_RESP", new TInfoResp(0x101), "0c00 0700 0883 3412 01010000");
        row("FACILITY_REQ", new TFacilityReq(1, 3, std::make_unique<TSuppServFacilityReqParameter>(0)),
            "1200 0700 8080 3412 01000000 0300 03 0000 00");
        row("FACILITY_RESP", new TFacilityResp(1, 3), "0f00 0700 8083 3412 01000000 0300 00");
        row("CONNECT_B3_REQ", new TConnectB3Req(0x101), "0d00 0700 8280 3412 01010000 00");
        row("CONNECT_B3_RESP", new TConnectB3Resp(0x10101, 2), "0f00 0700 8283 3412 01010100 0200 00");
        row("CONNECT_B3_ACTIVE_RESP", new TConnectB3ActiveResp(0x10101), "0c00 0700 8383 3412 01010100");
        row("DISCONNECT_B3_REQ", new TDisconnectB3Req(0x10101), "0d00 0700 8480 3412 01010100 00");
        row("DISCONNECT_B3_RESP", new TDisconnectB3Resp(0x10101), "0c00 0700 8483 3412 01010100");
        row("DATA_B3_REQ", new TDataB3Req(0x10101, 0, 5, 9, 4),
            "1600 0700 8680 3412 01010100 00000000 0500 0900 0400");
        row("DATA_B3_RESP", new TDataB3Resp(0x10101, 9), "0e00 0700 8683 3412 01010100 0900");
        row("RESET_B3_RESP", new TResetB3Resp(0x10101), "0c00 0700 8783 3412 01010100");
        row("CONNECT_B3_T90_ACTIVE_RESP", new TConnectB3T90ActiveResp(0x10101),
            "0c00 0700 8883 3412 01010100");
        row("long structure",
            new TDisconnectReq(
                0x101, std::make_unique<TCallingPartySubAddress>(0x80, QString(299, QLatin1Char('1')))),
            nullptr);
    }
    void buildMessages()
    {
        QFETCH(std::shared_ptr<TCapiMessage>, message);
        QFETCH(QByteArray, expected);
        const QByteArray actual = encoded(*message);
        if (expected.isEmpty()) {
            // 8 + PLCI + escaped structure of 300 content bytes
            QCOMPARE(actual.size(), 8 + 4 + 303);
            QCOMPARE(actual.mid(12, 3), hex("ff 2c 01"));
            QCOMPARE(uint8_t(actual[0]) | (uint8_t(actual[1]) << 8), 8 + 4 + 303);
            return;
        }
        QCOMPARE(actual.toHex(' '), expected.toHex(' '));
    }

    void decodeMessages_data()
    {
        QTest::addColumn<QByteArray>("raw");
        QTest::addColumn<QString>("expected");
        auto row = [](const char *name, const char *raw, const char *expected) {
            QTest::newRow(name) << hex(raw) << QString::fromLatin1(expected);
        };
        row("ALERT_CONF", "0e00 0100 0181 0500 01010000 0000", "1/5 conf id=101 info=0");
        row("LISTEN_CONF error", "0e00 0100 0581 0500 01000000 0220", "1/5 conf id=1 info=2002");
        row("CONNECT_B3_CONF", "0e00 0100 8281 0500 01010100 0000", "1/5 conf id=10101 info=0");
        row("CONNECT_IND",
            "2500 0100 0282 0600 01010000 1000 08 81 31323334353637 07 21 80 3132333435 00 00 00 00 00 00",
            "1/6 connect plci=101 cip=16 called=81:1234567 calling=21/80:12345 subs=, bc= llc= hlc= add=");
        row("CONNECT_IND all empty", "1a00 0100 0282 0600 01010000 0100 00 00 00 00 00 00 00 00",
            "1/6 connect plci=101 cip=1 called=0: calling=0/0: subs=, bc= llc= hlc= add=");
        row("CONNECT_IND with structures",
            "2000 0100 0282 0600 01010000 0400 01 81 01 01 02 0a0b 00 01 cc 01 dd 01 ee 01 ff",
            "1/6 connect plci=101 cip=4 called=81: calling=1/0: subs=0a0b, bc=cc llc=dd hlc=ee add=ff");
        row("CONNECT_ACTIVE_IND", "1500 0100 0382 0700 01010000 04 01 80 3132 00 02 aabb",
            "1/7 active plci=101 number=1/80:12 sub= llc=aabb");
        row("DISCONNECT_IND", "0e00 0100 0482 0800 01010000 9034", "1/8 disconnect plci=101 reason=3490");
        row("INFO_IND", "1000 0100 0882 0900 01010000 1800 01 89", "1/9 info plci=101 number=18 element=89");
        row("FACILITY_CONF", "1a00 0100 8081 0a00 01000000 0000 0300 09 0000 06 0000 1d000000",
            "1/10 facility-conf id=1 info=0 selector=3 param=00000600001d000000");
        row("FACILITY_IND", "1200 0100 8082 0b00 01000000 0300 03 0080 00",
            "1/11 facility-ind id=1 selector=3 param=008000");
        row("CONNECT_B3_IND", "0d00 0100 8282 0c00 01010100 00", "1/12 ncpi ncci=10101 ncpi=");
        row("CONNECT_B3_ACTIVE_IND", "0e00 0100 8382 0c00 01010100 01 77", "1/12 ncpi ncci=10101 ncpi=77");
        row("CONNECT_B3_T90_ACTIVE_IND", "0d00 0100 8882 0c00 01010100 00", "1/12 ncpi ncci=10101 ncpi=");
        row("DISCONNECT_B3_IND", "0f00 0100 8482 0d00 01010100 0133 00",
            "1/13 disconnect-b3 ncci=10101 reason=3301 ncpi=");
        row("DATA_B3_CONF", "1000 0100 8681 0e00 01010100 0900 0830",
            "1/14 data-conf ncci=10101 handle=9 info=3008");
        row("DATA_B3_IND", "1600 0100 8682 0f00 01010100 44332211 0500 0900 0100",
            "1/15 data-ind ncci=10101 ptr=11223344 len=5 handle=9 flags=1");
        row("unknown command stays plain", "0e00 0100 4182 1000 01010000 0000",
            "1/16 plain 4182 params=010100000000");
        row("truncated CONNECT_IND", "2500 0100 0282 0600 01010000 1000 08 81 3132",
            "1/6 connect plci=101 cip=16 called=0: calling=0/0: subs=, bc= llc= hlc= add=");
        row("truncated DISCONNECT_IND", "0e00 0100 0482 0800 0101", "1/8 disconnect plci=0 reason=0");
        row("header shorter than the bytes", "0c00 0100 0482 0800 01010000 9034",
            "1/8 disconnect plci=101 reason=0");
        row("header only", "0500 01", "1/0 plain 0000 params=");
    }
    void decodeMessages()
    {
        QFETCH(QByteArray, raw);
        QFETCH(QString, expected);
        // An exactly sized copy, so a read past the end is a read past the allocation.
        std::unique_ptr<uint8_t[]> exact(new uint8_t[std::size_t(qMax<qsizetype>(1, raw.size()))]);
        std::memcpy(exact.get(), raw.constData(), std::size_t(raw.size()));
        TCapiMessagePtr message = CreateCapiMessage(exact.get(), raw.size());
        exact.reset(); // the message owns its copy
        QCOMPARE(describe(*message), expected);
        FreeCapiMessage(message);
        QVERIFY(!message);
    }

    void infoTexts_data()
    {
        QTest::addColumn<int>("info");
        QTest::addColumn<QString>("text");
        QTest::newRow("no row for 0x1006") << 0x1006 << "unknown error ($1006)";
        QTest::newRow("0x110A repeats 0x100A")
            << 0x110A << "Controller does not support external equipment ($110A)";
        QTest::newRow("clearing cause") << 0x3490 << "Normal call clearing ($3490)";
        QTest::newRow("information class") << 0x0001 << "unknown error ($0001)";
        QTest::newRow("last network cause") << 0x34FF << "Interworking, unspecified ($34FF)";
        QTest::newRow("queue full keeps its dot")
            << 0x1103 << "the message could not be accepted because of a queue full condition. ($1103)";
    }
    void infoTexts()
    {
        QFETCH(int, info);
        QFETCH(QString, text);
        QCOMPARE(CapiInfoText(info), text);
    }

    void cipTexts_data()
    {
        QTest::addColumn<int>("cip");
        QTest::addColumn<QString>("text");
        QTest::newRow("speech") << 1 << "speech";
        QTest::newRow("9") << 9 << "unrestricted digital information with tones/announcements";
        QTest::newRow("gap 10") << 10 << "";
        QTest::newRow("28") << 28 << "Video Telephony F.721, second connection";
        QTest::newRow("above") << 29 << "";
    }
    void cipTexts()
    {
        QFETCH(int, cip);
        QFETCH(QString, text);
        QCOMPARE(CipValueText(uint16_t(cip)), text);
    }

    void statusTextsAndSizes()
    {
        QCOMPARE(CapiDllStatusText(0), QStringLiteral("CAPI 2.0 (32 Bit) installed"));
        QCOMPARE(CapiDllStatusText(1), QStringLiteral("libcapi20.so.3 not loaded."));
        QCOMPARE(CapiDllStatusText(2), QStringLiteral("File \"libcapi20.so.3\" not found."));
        QCOMPARE(CapiDllStatusText(3), QStringLiteral("CAPI 2.0 (32 Bit) not installed."));
        QCOMPARE(CapiDllStatusText(4), QString());
        QCOMPARE(CapiMessageBufferSize(1), 2048);
        QCOMPARE(CapiDllStatus(), int32_t(kCapiStatusNotLoaded));
    }

    void versionText_data()
    {
        QTest::addColumn<QList<uint32_t>>("values");
        QTest::addColumn<QString>("text");
        QTest::newRow("plain") << QList<uint32_t>{2, 0, 3, 12} << "CAPI: 2.0  Version: 3.12";
        QTest::newRow("packed words")
            << QList<uint32_t>{0x00010002, 0x00020000, 0x00030003, 0x0004000C} << "CAPI: 2.0  Version: 3.12";
    }
    void versionText()
    {
        QFETCH(QList<uint32_t>, values);
        QFETCH(QString, text);
        QCOMPARE(TCapiInfo::FormatVersion(values[0], values[1], values[2], values[3]), text);
    }

    void connectionIdsAndQueue()
    {
        TConnections list;
        QCOMPARE(list.add()->id, 1u);
        QCOMPARE(list.add()->id, 2u);
        TConnection *third = list.add();
        third->id = 5;
        QCOMPARE(list.nextId(), 6u);
        third->id = 0x7FFFFFFE;
        QCOMPARE(list.nextId(), 1u);
        third->setPlci(0x0203);
        QCOMPARE(third->controller, uint8_t(3));
        QCOMPARE(list.findByPlci(0x0203), third);
        list.remove(third);
        QVERIFY(!list.contains(third));
        QCOMPARE(list.count(), 2);

        TB3DataQueue queue;
        queue.add(1, "abc");
        queue.add(2, "de");
        queue.item(0).sent = true;
        QCOMPARE(queue.sentCount(), 1);
        QVERIFY(queue.removeByHandle(1));
        QVERIFY(!queue.removeByHandle(1));
        QCOMPARE(queue.count(), 1);
        QCOMPARE(queue.item(0).dataLength, uint16_t(2));
    }
};

QTEST_GUILESS_MAIN(TestCapiCodec)
#include "tst_capi_codec.moc"

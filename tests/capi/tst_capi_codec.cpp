#include "capi/CpConst.h"
#include "capi/CpDLL.h"
#include "capi/CpInfo.h"
#include "capi/CpMsg.h"
#include "capi/CpStruct.h"

#include <QTest>

using namespace Qt::StringLiterals;

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
    const QString h = u"%1/%2 "_s.arg(m.header().ApplId).arg(m.header().MessageNumber);
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
    if (auto *c = dynamic_cast<TDisconnectInd *>(&m))
        return h + u"disconnect plci=%1 reason=%2"_s.arg(c->plci(), 0, 16).arg(c->reason(), 0, 16);
    if (auto *c = dynamic_cast<TFacilityConf *>(&m))
        return h + u"facility-conf id=%1 info=%2 selector=%3 param=%4"_s.arg(c->identifier(), 0, 16)
                       .arg(c->info(), 0, 16)
                       .arg(c->facilitySelector())
                       .arg(s(c->facilityConfirmationParameter()));
    return h + u"plain %1 params=%2"_s.arg(m.command(), 4, 16, QLatin1Char('0'))
                   .arg(QString::fromLatin1(m.parameters().toHex()));
}

} // namespace

class TestCapiCodec : public QObject
{
    Q_OBJECT

private slots:
    // 254 content bytes keep one length byte; 255 take the escape.
    void structureLengthPrefix()
    {
        for (const auto &[contentLength, prefix] :
             {std::pair{254, hex("fe")}, std::pair{255, hex("ff ff 00")}}) {
            TStruct st;
            st.allocate(contentLength);
            QCOMPARE(st.bytes().left(prefix.size()), prefix);
            QCOMPARE(st.totalSize(), contentLength + int(prefix.size()));
            TStruct wrapped(bytes(st.bytes()), st.bytes().size());
            QCOMPARE(wrapped.contentLength(), contentLength);
            QCOMPARE(wrapped.consumed(), st.totalSize());
        }
    }

    void structureReadsStopAtContent()
    {
        const QByteArray raw = hex("03 11 22 33 44 55");
        TStruct st(bytes(raw), raw.size());
        QCOMPARE(st.consumed(), 4);
        QCOMPARE(st.readU16(), uint16_t(0x2211));
        // Two bytes would cross the content: zeros, and the position stays.
        QCOMPARE(st.readU16(), uint16_t(0));
        QCOMPARE(st.readU8(), uint8_t(0x33));
    }

    // The prefix decides where the content starts, also when the long form carries a short
    // length; a structure crossing the end of what was received reads as empty.
    void structureBoundedByItsPrefix_data()
    {
        QTest::addColumn<QByteArray>("raw");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("consumed");
        QTest::newRow("short content") << hex("05 01 02") << QByteArray() << 3;
        QTest::newRow("escape without length") << hex("ff 01") << QByteArray() << 2;
        QTest::newRow("escape with a short length, crossing")
            << hex("ff 05 00 01 02 03 04") << QByteArray() << 7;
        QTest::newRow("escape with a short length") << hex("ff 02 00 aa bb cc") << hex("aa bb") << 5;
    }
    void structureBoundedByItsPrefix()
    {
        QFETCH(QByteArray, raw);
        QFETCH(QByteArray, content);
        QFETCH(int, consumed);
        TStruct st(bytes(raw), raw.size());
        QCOMPARE(st.content(), content);
        QCOMPARE(st.contentLength(), int(content.size()));
        QCOMPARE(st.consumed(), consumed);
    }

    void buildMessages()
    {
        TAlertReq alert(0x101);
        QCOMPARE(encoded(alert), hex("0d00 0700 0180 3412 01010000 00"));
        TListenReq listen(1, 0x7F, 0x1FFF03FE, 0, std::make_unique<TCallingPartyNumber>(0x21, 0x80, u"12"_s),
                          std::make_unique<TCallingPartySubAddress>(0x80, QString()));
        QCOMPARE(encoded(listen),
                 hex("1f00 0700 0580 3412 01000000 7f000000 fe03ff1f 00000000 04 21 80 3132 01 80"));
    }

    void decodeMessages_data()
    {
        QTest::addColumn<QByteArray>("raw");
        QTest::addColumn<QString>("expected");
        auto row = [](const char *name, const char *raw, const char *expected) {
            QTest::newRow(name) << hex(raw) << QString::fromLatin1(expected);
        };
        row("DISCONNECT_IND", "0e00 0100 0482 0800 01010000 9034", "1/8 disconnect plci=101 reason=3490");
        row("CONNECT_IND",
            "2500 0100 0282 0600 01010000 1000 08 81 31323334353637 07 21 80 3132333435 00 00 00 00 00 00",
            "1/6 connect plci=101 cip=16 called=81:1234567 calling=21/80:12345 subs=, bc= llc= hlc= add=");
        row("CONNECT_IND with structures",
            "2000 0100 0282 0600 01010000 0400 01 81 01 01 02 0a0b 00 01 cc 01 dd 01 ee 01 ff",
            "1/6 connect plci=101 cip=4 called=81: calling=1/0: subs=0a0b, bc=cc llc=dd hlc=ee add=ff");
        row("FACILITY_CONF", "1a00 0100 8081 0a00 01000000 0000 0300 09 0000 06 0000 1d000000",
            "1/10 facility-conf id=1 info=0 selector=3 param=00000600001d000000");
        row("unknown command stays plain", "0e00 0100 4182 1000 01010000 0000",
            "1/16 plain 4182 params=010100000000");
        row("truncated CONNECT_IND", "2500 0100 0282 0600 01010000 1000 08 81 3132",
            "1/6 connect plci=101 cip=16 called=0: calling=0/0: subs=, bc= llc= hlc= add=");
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

    void textsForUnlistedValues()
    {
        QCOMPARE(CapiInfoText(0x1006), u"unknown error ($1006)"_s);
        QCOMPARE(CapiInfoText(0x3490), u"Normal call clearing ($3490)"_s);
        QCOMPARE(CipValueText(1), u"speech"_s);
        QCOMPARE(CipValueText(29), QString());
        QCOMPARE(CapiDllStatusText(4), QString());
        QCOMPARE(TCapiInfo::FormatVersion(0x00010002, 0x00020000, 0x00030003, 0x0004000C),
                 u"CAPI: 2.0  Version: 3.12"_s);
    }
};

QTEST_GUILESS_MAIN(TestCapiCodec)
#include "tst_capi_codec.moc"

// Controller information through the real libcapi20 against the simulated controllers.
#include "CapiTestSupport.h"
#include "capi/CpInfo.h"
#include "capi/CpMoni.h"

#include <QSignalSpy>
#include <QTest>

namespace {
QStringList supported(const TCapabilityList &list)
{
    QStringList texts;
    for (const TCapabilityEntry &e : list)
        if (e.supported)
            texts << e.text;
    return texts;
}
} // namespace

class TestCapiInfo : public QObject
{
    Q_OBJECT

private:
    SimHost m_host;

private slots:
    void initTestCase()
    {
        QVERIFY(m_host.start(1));
        qputenv("TELLWISE_CAPI_REMOTE", QByteArray("127.0.0.1:") + QByteArray::number(m_host.port()));
    }

    void controllersAndSupplementaryServices()
    {
        m_host.run([](IsdnSimulator &s) { s.setControllers(2); });
        TCapiInfo info;
        QVERIFY(info.CapiLoaded());
        QCOMPARE(info.ControllerCount(), uint16_t(2));
        QVERIFY(info.VersionText().startsWith(QLatin1String("CAPI: 2.0  Version: ")));
        QSignalSpy available(&info, &TCapiInfo::OnSuppServInfoAvailable);
        info.SelectController(1);
        QCOMPARE(info.Error(), 0u);
        QCOMPARE(info.BChannels(), uint16_t(2));
        QVERIFY(info.HasGlobalOption(0x10));
        QCOMPARE(supported(info.B2Protocols()),
                 (QStringList{"ISO 7776 (X.75 SLP)", "Prozirno", "T.30 za faks grupe 3"}));
        QVERIFY(available.wait(5000));
        QCOMPARE(available.first().first().value<QObject *>(), &info);

        // The second adapter has no supplementary services: no query, no event, an empty list.
        // (Both adapters' lists as the user sees them: the options window's devices test.)
        info.SelectController(2);
        QCOMPARE(info.Error(), 0u);
        QVERIFY(supported(info.SupplementaryServices()).isEmpty());
        QVERIFY(!available.wait(500));
        QCOMPARE(available.count(), 1);
        m_host.run([](IsdnSimulator &s) { s.setControllers(1); });
    }

    // The program keeps a monitor and an info component side by side; replacing the info's
    // engine (which makes the library drop its shared connection) must not disturb the monitor.
    void monitorKeepsListeningWhileInfoRequeries()
    {
        TCapiMonitor monitor;
        monitor.setRejectTimeOut(0);
        QSignalSpy calls(&monitor, &TCapiMonitor::OnIncomingCall);
        QSignalSpy ended(&monitor, &TCapiMonitor::OnDisconnectInfo);
        monitor.setActive(true);
        QVERIFY(monitor.Active());
        TCapiInfo info;
        QSignalSpy available(&info, &TCapiInfo::OnSuppServInfoAvailable);
        for (int i = 1; i <= 3; ++i) {
            info.SelectController(1);
            QTRY_COMPARE_WITH_TIMEOUT(available.count(), i, 5000);
        }
        QCOMPARE(info.ControllerCount(), uint16_t(1));
        SimCallOffer offer;
        offer.calling = QStringLiteral("777");
        const uint16_t applId = uint16_t(monitor.engine()->applicationId());
        QTRY_VERIFY_WITH_TIMEOUT(sentBy(m_host.sim(), applId).contains(QStringLiteral("0580 7f")), 5000);
        QVERIFY(m_host.offerCall(offer) != 0);
        QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, 5000);
        QCOMPARE(calls.count(), 1);
        QCOMPARE(calls.first().first().toString(), QStringLiteral("0777")); // a national number
    }

    void refusedQueryRaisesNoEvent()
    {
        m_host.run([](IsdnSimulator &s) { s.failNext(0x8080, 0x300B); });
        TCapiInfo info;
        QSignalSpy available(&info, &TCapiInfo::OnSuppServInfoAvailable);
        info.SelectController(1);
        QTRY_COMPARE_WITH_TIMEOUT(info.Error(), 0x300Bu, 5000);
        QCOMPARE(info.ErrorText(), QStringLiteral("facility not supported ($300B)"));
        QCOMPARE(available.count(), 0);
        QVERIFY(supported(info.SupplementaryServices()).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestCapiInfo)
#include "tst_capi_info.moc"

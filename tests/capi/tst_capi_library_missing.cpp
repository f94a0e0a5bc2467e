// Run with TELLWISE_CAPI_LIBRARY naming a file that does not exist.
#include "capi/CpDLL.h"
#include "capi/CpHand.h"
#include "capi/CpInfo.h"
#include "capi/CpMoni.h"

#include <QSignalSpy>
#include <QTest>

class TestCapiLibraryMissing : public QObject
{
    Q_OBJECT

private slots:
    void missingFileGivesStatusTwoEverywhere()
    {
        const QString file = qEnvironmentVariable("TELLWISE_CAPI_LIBRARY");
        QVERIFY(file.endsWith(QLatin1String("/no-such-folder/libcapi20.so.3")));

        LoadCapiDll();
        QCOMPARE(CapiDllStatus(), int32_t(kCapiStatusFileNotFound));
        QVERIFY(!CapiDllLoaded());
        QVERIFY(!UnloadCapiDll());

        TCapiMonitor monitor;
        QSignalSpy states(&monitor, &TCapiMonitor::OnStateChange);
        monitor.setActive(true);
        QVERIFY(!monitor.Active());
        QCOMPARE(monitor.Error(), 0x9002u);
        QCOMPARE(monitor.ErrorString(), QStringLiteral("File \"%1\" not found.").arg(file));
        QCOMPARE(states.count(), 0);
        monitor.HangUpCall(); // nothing to hang up, and no engine: must not crash

        TCapiInfo info;
        QVERIFY(!info.CapiLoaded());
        QCOMPARE(info.Error(), 2u);
        QCOMPARE(info.VersionText(), QString());
    }
};

QTEST_GUILESS_MAIN(TestCapiLibraryMissing)
#include "tst_capi_library_missing.moc"

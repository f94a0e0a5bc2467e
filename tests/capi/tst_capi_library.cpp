// The real libcapi20.so.3 on a machine without ISDN (no /dev/capi20, no usable configuration), and
// a library file that does not exist.
#include "capi/CpDLL.h"
#include "capi/CpInfo.h"
#include "capi/CpMoni.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>

class TestCapiLibrary : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(!QFile::exists(QStringLiteral("/dev/capi20")), "this test needs a machine without ISDN");
        QVERIFY(!QFile::exists(QDir::homePath() + QStringLiteral("/.capi20rc")));
        qunsetenv("TELLWISE_CAPI_REMOTE");
    }

    void missingFileGivesStatusTwoEverywhere()
    {
        QCOMPARE(CapiDllStatus(), int32_t(kCapiStatusNotLoaded));
        const QString file = QDir::currentPath() + QStringLiteral("/no-such-folder/libcapi20.so.3");
        qputenv("TELLWISE_CAPI_LIBRARY", QFile::encodeName(file));
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
        qunsetenv("TELLWISE_CAPI_LIBRARY");
    }

    void loadsButReportsNotInstalled()
    {
        LoadCapiDll();
        QVERIFY(CapiDllLoaded());
        QCOMPARE(CapiDllStatus(), int32_t(kCapiStatusNotInstalled));

        TCapiMonitor monitor;
        monitor.setActive(true);
        QVERIFY(!monitor.Active());
        QCOMPARE(monitor.Error(), 0x9003u);
        QCOMPARE(monitor.ErrorString(), QStringLiteral("CAPI 2.0 (32 Bit) not installed."));
        QVERIFY(!monitor.engine());
        TCapiInfo info;
        QCOMPARE(info.Error(), 3u);
        info.SelectController(1);
        QCOMPARE(info.BChannels(), uint16_t(0));
    }

    // A configuration that points at a port where nothing listens fails at once and cleanly.
    void remoteWithNobodyListening()
    {
        quint16 port;
        {
            QTcpServer probe;
            QVERIFY(probe.listen(QHostAddress::LocalHost));
            port = probe.serverPort();
        }
        QFile rc(QDir::homePath() + QStringLiteral("/.capi20rc"));
        QVERIFY(rc.open(QIODevice::WriteOnly));
        rc.write(QStringLiteral("REMOTE fritzbox 127.0.0.1 %1\n").arg(port).toLatin1());
        rc.close();

        QElapsedTimer clock;
        clock.start();
        TCapiMonitor monitor;
        monitor.setActive(true);
        QVERIFY(!monitor.Active());
        QCOMPARE(monitor.Error(), 0x9003u);
        QVERIFY2(clock.elapsed() < 3000, "a refused connection must not take long");
        rc.remove();
    }
};

QTEST_GUILESS_MAIN(TestCapiLibrary)
#include "tst_capi_library.moc"

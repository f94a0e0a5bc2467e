#include "app/MonitorProgram.h"
#include "app/TfrmStart.h"
#include "app/TrayController.h"
#include "app/TrayFallbackWindow.h"

#include <QProcess>
#include <QStandardPaths>
#include <QSystemTrayIcon>
#include <QTest>

#include "SimProcess.h"
#include "TestProfile.h"

using namespace Qt::StringLiterals;

// Qt's own tray icon on X11, where the panel that holds the tray can go and come back.
class TestXEmbedTray : public QObject
{
    Q_OBJECT

    QProcess m_panel;

    void startPanel()
    {
        m_panel.start(u"trayer"_s, {u"--edge"_s, u"top"_s});
        QVERIFY(m_panel.waitForStarted(5000));
        QTRY_VERIFY_WITH_TIMEOUT(QSystemTrayIcon::isSystemTrayAvailable(), 10000);
    }

private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(u"trayer"_s).isEmpty())
            QSKIP("trayer is not installed");
    }

    // The panel leaves: the stand-in window comes, so the program stays reachable; the panel
    // comes back: Qt's icon docks there again and the stand-in goes.
    void standInFollowsThePanel()
    {
        testsupport::writeModemConfig();
        testsupport::ModemEmulator sim;
        QVERIFY(sim.start() && testsupport::writeSettings({{Settings::DeviceName, u"Modem emulator"_s}}));
        startPanel();
        MonitorProgram program;
        program.start();
        TrayFallbackWindow *standIn = program.frmStart()->findChild<TrayController *>()->fallbackWindow();
        QSystemTrayIcon *icon = program.frmStart()->findChild<QSystemTrayIcon *>(u"TrayIcon"_s);
        QTRY_VERIFY(!icon->geometry().isEmpty());
        QVERIFY(!standIn->isVisible());
        for (int round = 0; round < 2; ++round) {
            m_panel.kill(), m_panel.waitForFinished();
            QTRY_VERIFY(standIn->isVisible());
            startPanel();
            QTRY_VERIFY(!standIn->isVisible());
            QTRY_VERIFY(!icon->geometry().isEmpty());
        }
    }

    void cleanupTestCase() { m_panel.kill(), m_panel.waitForFinished(); }
};

QTEST_MAIN(TestXEmbedTray)
#include "tst_xembedtray.moc"

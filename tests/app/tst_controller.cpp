#include "app/MonitorProgram.h"
#include "app/TfrmStart.h"
#include "app/TrayFallbackWindow.h"
#include "store/DataFiles.h"
#include "telephony/TapiFunc.h"
#include "ui/TfrmMain.h"
#include "ui/TfrmNewCallMessage.h"
#include "ui/TfrmOptions.h"
#include "widgets/ShowMessageDialog.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QRadioButton>
#include <QScreen>
#include <QSettings>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include "SimProcess.h"
#include "TestProfile.h"
#include "TestSupport.h"

#include <memory>

namespace {

QString settingsFile()
{
    return qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Kavelink/Tellwise Monitor.conf");
}

QVariant storedValue(const QString &name)
{
    QSettings file(settingsFile(), QSettings::IniFormat);
    return file.value(QStringLiteral("Settings/") + name);
}

// A dialog opened modally during a call: notes where it stands (and the options window's page
// and device type) and closes it with Cancel.
class ModalCloser : public QObject
{
public:
    ModalCloser()
    {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            centre = dialog->geometry().center();
            if (auto *options = qobject_cast<TfrmOptions *>(dialog)) {
                page = options->findChild<QTabWidget *>(QStringLiteral("PageControl"))->currentIndex();
                modem = options->findChild<QRadioButton *>(QStringLiteral("rbModem"))->isChecked();
            }
            dialog->reject();
        });
        m_timer.start(10);
    }
    int page = -1;
    bool modem = false;
    QPoint centre;

private:
    QTimer m_timer;
};

bool centredOnDesktop(QPoint centre)
{
    return (centre - QApplication::primaryScreen()->availableGeometry().center()).manhattanLength() <= 2;
}

} // namespace

// The controller with the real windows: tray states and texts, start-up device checks, the
// tray menu and its switches, monitoring the modem emulator until it is lost.
class TestController : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MonitorProgram> m_program;
    TfrmStart *start() { return m_program->frmStart(); }

    // A new program reading these stored settings.
    void restartWith(const testsupport::SettingValues &values)
    {
        m_program.reset();
        QVERIFY(testsupport::writeSettings(values));
        m_program = std::make_unique<MonitorProgram>();
    }

    // Start-up without a device: its message is answered and the options window it opens closed.
    void startWithoutDevice()
    {
        MessageDialogHook::setNextAnswer(QMessageBox::Ok);
        ModalCloser closer;
        m_program->start();
        MessageDialogHook::takeAnswered();
    }

private slots:
    void initTestCase()
    {
        // Only the emulator's link is a modem line here; no real port is probed.
        testsupport::writeModemConfig({.keepAliveMs = 300, .commandTimeoutMs = 600});
    }

    void init()
    {
        QFile::remove(settingsFile());
        for (const char *name : {"Addressbook.dat", "Groups.dat", "Calls.dat"})
            QFile::remove(testsupport::testDataDir() + QLatin1String(name));
        MessageDialogHook::clear();
        m_program = std::make_unique<MonitorProgram>();
    }

    void cleanup()
    {
        m_program.reset();
        QVERIFY(MessageDialogHook::pendingAnswers() == 0);
    }

    void storeFailuresReachTheMessageBox()
    {
        m_program.reset();
        // A folder where the call log should be: the file cannot be opened.
        const QString blocker = testsupport::testDataDir() + QLatin1String(kCallsFileName);
        QFile::remove(blocker);
        QVERIFY(QDir().mkpath(blocker));
        MessageDialogHook::setNextAnswer(QMessageBox::Ok);
        m_program = std::make_unique<MonitorProgram>();
        QDir(blocker).removeRecursively();

        const auto shown = MessageDialogHook::takeAnswered();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].caption, QStringLiteral("Greška"));
        QCOMPARE(shown[0].kind, QMessageBox::Critical);
        QVERIFY(!shown[0].text.isEmpty());
    }

    void trayStates_data()
    {
        QTest::addColumn<LineState::State>("state");
        QTest::addColumn<int>("newCalls");
        QTest::addColumn<QString>("toolTip");
        QTest::addColumn<QString>("status");
        QTest::addColumn<int>("connectionImage");
        using S = LineState;
        QTest::newRow("off") << S::Off << 0 << QStringLiteral("Tellwise Monitor  (Neaktivan)")
                             << QStringLiteral("Status:  Neaktivan!") << 0;
        QTest::newRow("one new call")
            << S::NewCall << 1 << QStringLiteral("Tellwise Monitor  (Pratim pozive)\nImaš 1 novi poziv!")
            << QStringLiteral("Status:  Pratim pozive!") << 1;
        QTest::newRow("error with 22 new calls")
            << S::Error << 22 << QStringLiteral("Tellwise Monitor  (Greška)\nImaš 22 nova poziva!")
            << QStringLiteral("Status:  Greška!") << 0;
    }

    void trayStates()
    {
        QFETCH(LineState::State, state);
        QFETCH(int, newCalls);
        QFETCH(QString, toolTip);
        QFETCH(QString, status);
        QFETCH(int, connectionImage);

        start()->line().setState(state == LineState::Off ? LineState::Monitoring : LineState::Off);
        start()->NewCallCount = newCalls;
        start()->timerScrlFlash->start();
        start()->line().setState(state);
        QCOMPARE(start()->toolTip(), toolTip);
        QCOMPARE(start()->line().statusText(), status);
        QCOMPARE(start()->ConnectionImage, connectionImage);
        // The indicators run exactly while there are new calls; the new-call texts follow.
        QCOMPARE(start()->timerCalls->isActive(), newCalls > 0);
        QCOMPARE(start()->timerScrlFlash->isActive(), newCalls > 0);
        auto *total = m_program->frmNewCallMessage()->findChild<QLabel *>(QStringLiteral("lblTotalCalls"));
        QVERIFY(total);
        QCOMPARE(total->text(),
                 newCalls > 0 ? TfrmStart::NewCallsText(newCalls) : QStringLiteral("Nemaš novih poziva!"));
        QCOMPARE(start()->fallbackWindow()->statusText(), status);
        QCOMPARE(m_program->frmMain()->findChild<QLabel *>(QStringLiteral("pbxConnection"))->toolTip(),
                 status);
    }

    void seeingTheCallsStopsTheIndicators()
    {
        start()->setNewCallCount(3);
        start()->SetTrayStateNewCall();
        start()->StartScrollLockFlashing();
        QVERIFY(start()->timerCalls->isActive());
        start()->setNewCallCount(0);
        QCOMPARE(start()->trayState(), TfrmStart::TrayState::ActiveMonitor);
        QVERIFY(!start()->timerCalls->isActive());
        QVERIFY(!start()->timerScrlFlash->isActive());
        QCOMPARE(start()->toolTip(), QStringLiteral("Tellwise Monitor  (Pratim pozive)"));
        QCOMPARE(start()->fallbackWindow()->callsText(), QStringLiteral("Nemaš novih poziva!"));
    }

    void trayItemsOpenTheirWindows()
    {
        // The two window items open the address book and call log window on their page.
        TfrmMain *main = m_program->frmMain();
        QVERIFY(!main->isVisible());
        QVERIFY(start()->miCalls->isEnabled());
        start()->miCalls->trigger();
        QVERIFY(main->isVisible());
        QCOMPARE(main->currentPage(), int(TfrmMain::PageCalls));
        QCOMPARE(
            main->titleBitmapName(),
            (m_program->settings().languageIndex() == 0 ? QStringLiteral("eng") : QStringLiteral("cro")) +
                QStringLiteral("CallsBar"));
        start()->miAddressbook->trigger();
        QCOMPARE(main->currentPage(), int(TfrmMain::PageAddressbook));
        ModalCloser closer;
        start()->miAbout->trigger();
        QVERIFY(centredOnDesktop(closer.centre));
        // Without a main window the items could not be chosen.
        start()->setMainWindowOpener({});
        QVERIFY(!start()->miAddressbook->isEnabled());
        QVERIFY(!start()->miCalls->isEnabled());
    }

    void trayClickOpensThePageOfTheNews_data()
    {
        QTest::addColumn<int>("newCalls");
        QTest::addColumn<int>("page");
        QTest::newRow("no new calls: address book") << 0 << 0;
        QTest::newRow("new calls: call list") << 2 << 1;
    }

    void trayClickOpensThePageOfTheNews()
    {
        QFETCH(int, newCalls);
        QFETCH(int, page);
        int opened = -1;
        start()->setMainWindowOpener([&](int p) { opened = p; });
        start()->NewCallCount = newCalls;
        start()->TrayIconClick();
        QCOMPARE(opened, page);
    }

    void startupReportsAMissingDevice_data()
    {
        QTest::addColumn<QString>("device");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("message");
        const QString gone = QStringLiteral("Ne mogu pronaći prethodno izabrani uređaj!\n\nOtvorite Opcije | "
                                            "Uređaji, te izaberite vrstu uređaja\ni uređaj koji želite.");
        QTest::newRow("none chosen") << QString() << Settings::kModem
                                     << QStringLiteral(
                                            "Nije izabran niti jedan uređaj!\n\nOtvorite Opcije | Uređaji, "
                                            "te izaberite vrstu uređaja i uređaj koji želite.");
        QTest::newRow("chosen but gone") << QStringLiteral("Modem on ttyUSB7") << Settings::kModem << gone;
        // No CAPI here: the adapter is gone and the modem takes its place.
        QTest::newRow("ISDN without CAPI") << QStringLiteral("ISDN Adapter #1") << Settings::kIsdn << gone;
    }

    void startupReportsAMissingDevice()
    {
        QFETCH(QString, device);
        QFETCH(int, type);
        QFETCH(QString, message);
        restartWith({{Settings::DeviceName, device}, {Settings::DeviceType, type}});

        MessageDialogHook::setNextAnswer(QMessageBox::Ok);
        ModalCloser closer;
        m_program->start();

        const auto shown = MessageDialogHook::takeAnswered();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].caption, QStringLiteral("Tellwise Monitor"));
        QCOMPARE(shown[0].text, message);
        QCOMPARE(shown[0].kind, QMessageBox::Information);
        QCOMPARE(closer.page, int(TfrmOptions::PageDevices));
        QVERIFY(centredOnDesktop(closer.centre));
        QVERIFY(closer.modem);
        QCOMPARE(m_program->settings().number(Settings::DeviceType), Settings::kModem);
        QVERIFY(!start()->IsMonitoringOn());
        QVERIFY(!start()->miMonitorCalls->isEnabled());
        QCOMPARE(start()->trayState(), TfrmStart::TrayState::Error);
        QVERIFY(!TapiLineOpen);
        // No notification area offscreen: the program shows its stand-in window.
        QVERIFY(start()->fallbackWindow()->isVisible());
    }

    void emulatorLostMidCallShowsTheError_data()
    {
        QTest::addColumn<bool>("animate");
        QTest::newRow("still icon") << false;
        QTest::newRow("animated icon") << true;
    }

    void emulatorLostMidCallShowsTheError()
    {
        QFETCH(bool, animate);
        testsupport::ModemEmulator sim;
        QVERIFY(sim.start({QStringLiteral("--ring-period"), QStringLiteral("300"), QStringLiteral("--rings"),
                           QStringLiteral("30")}));
        restartWith(
            {{Settings::DeviceName, QStringLiteral("Modem emulator")}, {Settings::AnimateIcon, animate}});
        m_program->start();

        QVERIFY(MessageDialogHook::takeAnswered().isEmpty());
        QVERIFY(start()->DeviceFound);
        QVERIFY(TapiLineOpen);
        QCOMPARE(start()->trayState(), TfrmStart::TrayState::ActiveMonitor);
        QCOMPARE(start()->ConnectionImage, 1);
        QVERIFY(sim.waitForCommand(QStringLiteral("AT+VCID=1"), 5000));
        if (animate) {
            QVERIFY(start()->TrayTimer->isActive());
            start()->TrayTimerTimer();
            QCOMPARE(start()->trayState(), TfrmStart::TrayState::Active);
            start()->TrayTimerTimer();
            QCOMPARE(start()->trayState(), TfrmStart::TrayState::ActiveMonitor);
        } else {
            // The monitoring switch closes and reopens the line.
            start()->miMonitorCalls->trigger();
            QVERIFY(!TapiLineOpen);
            QCOMPARE(start()->trayState(), TfrmStart::TrayState::NotActive);
            start()->miMonitorCalls->trigger();
            QVERIFY(TapiLineOpen);
            QCOMPARE(start()->trayState(), TfrmStart::TrayState::ActiveMonitor);
        }
        QTRY_COMPARE_WITH_TIMEOUT(sim.commands().count(QStringLiteral("AT+VCID=1")), animate ? 1 : 2, 5000);

        sim.send("call 0912345678 ANA");
        QTRY_COMPARE_WITH_TIMEOUT(start()->trayState(), TfrmStart::TrayState::NewCall, 10000);
        QVERIFY(start()->NewCallCount >= 1);
        if (animate)
            QCOMPARE(start()->TrayTimer->interval(), 750);

        // A dead line shows the error, not a blinking "monitoring", until it answers again.
        sim.kill();
        QTRY_COMPARE_WITH_TIMEOUT(start()->trayState(), TfrmStart::TrayState::Error, 5000);
        QVERIFY(!TapiLineOpen);
        QCOMPARE(start()->ConnectionImage, 0);
        QVERIFY(start()->toolTip().contains(QStringLiteral("Greška")));
        QVERIFY(!start()->TrayTimer->isActive());
    }

    // A rule switch without a rule chosen asks first (and opens the rules page on Yes, changes
    // nothing on No); with a rule chosen it toggles and saves at once.
    void ruleSwitch_data()
    {
        QTest::addColumn<bool>("reject");
        QTest::addColumn<int>("rule");
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("optionsPage");
        QTest::newRow("do not disturb without a rule, no") << false << -1 << int(QMessageBox::No) << -1;
        QTest::newRow("reject without a rule, yes")
            << true << -1 << int(QMessageBox::Yes) << int(TfrmOptions::PageUnwanted);
        QTest::newRow("do not disturb: only the address book")
            << false << int(Settings::DisplayOnlyAddressbook) << 0 << -1;
        QTest::newRow("reject: withheld") << true << int(Settings::AutoRejectBlocked) << 0 << -1;
    }

    void ruleSwitch()
    {
        QFETCH(bool, reject);
        QFETCH(int, rule);
        QFETCH(int, answer);
        QFETCH(int, optionsPage);
        if (rule >= 0)
            restartWith({{Settings::Key(rule), true}});
        startWithoutDevice();
        const QByteArray before = testsupport::readFile(settingsFile());
        QAction *item = reject ? start()->miAutoHangUp : start()->miDoNotDisturb;
        const QString caption = reject ? QStringLiteral("Odbij!") : QStringLiteral("Ne smetaj!");
        if (rule >= 0) {
            const QString stored = reject ? QStringLiteral("AutoReject") : QStringLiteral("DoNotDisturb");
            item->trigger();
            QVERIFY(MessageDialogHook::takeAnswered().isEmpty());
            QCOMPARE(item->data().toInt(), 1);
            QCOMPARE(storedValue(stored).toInt(), 1);
            item->trigger();
            QCOMPARE(item->data().toInt(), 0);
            QCOMPARE(storedValue(stored).toInt(), 0);
            return;
        }
        MessageDialogHook::setNextAnswer(QMessageBox::StandardButton(answer));
        ModalCloser closer;
        item->trigger();
        const auto shown = MessageDialogHook::takeAnswered();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].caption, caption);
        QVERIFY(
            shown[0].text.endsWith(QStringLiteral("Želite li opciju '%1' postaviti odmah?").arg(caption)));
        QCOMPARE(shown[0].buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(closer.page, optionsPage);
        QVERIFY(!(reject ? start()->IsAutoRejectOn() : start()->IsDoNotDisturbOn()));
        if (answer == QMessageBox::No)
            QCOMPARE(testsupport::readFile(settingsFile()), before);
    }

    void soundSwitchFollowsAndSaves()
    {
        startWithoutDevice();
        QVERIFY(start()->IsSoundOn());
        start()->miEnableSound->trigger();
        QVERIFY(!start()->IsSoundOn());
        QCOMPARE(storedValue(QStringLiteral("EnableSound")).toInt(), 0);

        // The options window's box changes the switch at once; Cancel takes it back, in the tray too.
        m_program->frmOptions()->show();
        m_program->frmOptions()->findChild<QCheckBox *>(QStringLiteral("chkEnableSound"))->click();
        QCOMPARE(start()->miEnableSound->data().toInt(), 1);
        m_program->frmOptions()->reject();
        QCOMPARE(start()->miEnableSound->data().toInt(), 0);
    }

    void deviceLabelShowsTheSavedDevice()
    {
        startWithoutDevice();
        TfrmOptions *options = m_program->frmOptions();
        options->setModemLister([] { return QStringList{QStringLiteral("Modem A")}; });
        options->show();
        options->findChild<QComboBox *>(QStringLiteral("cbDevices"))->setCurrentIndex(0);
        options->accept();
        QCOMPARE(m_program->frmMain()->findChild<QLabel *>(QStringLiteral("lblDevice"))->text(),
                 QStringLiteral("Modem A"));
    }

    void exportKeepsOrAddsTheExtension_data()
    {
        QTest::addColumn<bool>("csv");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("written");
        QTest::newRow("csv in capitals kept")
            << true << QStringLiteral("Kontakti.CSV") << QStringLiteral("Kontakti.CSV");
        QTest::newRow("csv appended") << true << QStringLiteral("Kontakti") << QStringLiteral("Kontakti.csv");
        QTest::newRow("xml after another extension")
            << false << QStringLiteral("Kontakti.txt") << QStringLiteral("Kontakti.txt.xml");
    }

    void exportKeepsOrAddsTheExtension()
    {
        QFETCH(bool, csv);
        QFETCH(QString, chosen);
        QFETCH(QString, written);
        const QString folder = QDir::tempPath() + QStringLiteral("/tellwise-export-test/");
        QDir(folder).removeRecursively();
        QDir().mkpath(folder);
        QString title;
        start()->setSaveFileDialog([&](const QString &t, const QString &, const QString &, const QString &) {
            title = t;
            return folder + chosen;
        });
        (csv ? start()->mainMenus.miExportToCSV : start()->mainMenus.miExportToXML)->trigger();
        QCOMPARE(title, QStringLiteral("Izvoz adresara"));
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{written});
        QDir(folder).removeRecursively();
    }
};

QTEST_MAIN(TestController)
#include "tst_controller.moc"

#include "app/CallMonitor.h"
#include "app/MonitorProgram.h"
#include "app/NewCallIndicators.h"
#include "app/TfrmStart.h"
#include "app/TrayController.h"
#include "app/TrayFallbackWindow.h"
#include "store/DataFiles.h"
#include "store/FileRecords.h"
#include "ui/DialogSeams.h"
#include "ui/TfrmMain.h"
#include "ui/TfrmNewCallMessage.h"
#include "ui/TfrmOptions.h"
#include "ui/TStatusPanels.h"
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
#include <QSessionManager>
#include <QSettings>
#include <QSystemTrayIcon>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "SimProcess.h"
#include "TestCallSource.h"
#include "TestProfile.h"
#include "TestSupport.h"

#include <memory>

using namespace Qt::StringLiterals;

namespace {

QString settingsFile()
{
    return qEnvironmentVariable("XDG_CONFIG_HOME") + u"/Kavelink/Tellwise Monitor.conf"_s;
}

int storedValue(const char *name)
{
    QSettings file(settingsFile(), QSettings::IniFormat);
    return file.value(u"Settings/"_s + QLatin1String(name)).toInt();
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
                page = options->findChild<QTabWidget *>(u"PageControl"_s)->currentIndex();
                modem = options->findChild<QRadioButton *>(u"rbModem"_s)->isChecked();
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
    bool lineMonitored() { return start()->calls().source() && start()->calls().source()->isMonitoring(); }
    QTimer *timer(const char *name) { return start()->findChild<QTimer *>(QLatin1String(name)); }
    int newCalls() { return start()->findChild<NewCallIndicators *>()->count(); }
    TrayController *tray() { return start()->findChild<TrayController *>(); }
    QAction *menuItem(const char *name) { return start()->findChild<QAction *>(QLatin1String(name)); }

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

    void storeFailuresReachTheMessageBox_data()
    {
        QTest::addColumn<QStringList>("blocked");
        QTest::addColumn<int>("boxes");
        QTest::newRow("call log") << QStringList{kCallsFileName} << 1;
        QTest::newRow("address book and groups") << QStringList{kAddressbookFileName, kGroupsFileName} << 1;
    }
    void storeFailuresReachTheMessageBox()
    {
        QFETCH(QStringList, blocked);
        QFETCH(int, boxes);
        m_program.reset();
        // A folder where a data file should be: the file cannot be opened.
        for (const QString &name : blocked) {
            const QString blocker = testsupport::testDataDir() + name;
            QVERIFY(QFile::remove(blocker) && QDir().mkpath(blocker));
        }
        for (int i = 0; i < boxes; ++i)
            MessageDialogHook::setNextAnswer(QMessageBox::Ok);
        m_program = std::make_unique<MonitorProgram>();
        for (const QString &name : blocked)
            QDir(testsupport::testDataDir() + name).removeRecursively();
        const auto shown = MessageDialogHook::takeAnswered();
        QCOMPARE(shown.size(), boxes);
        // Every file that failed is named, not only the first.
        QString texts;
        for (const MessageDialogHook::Record &box : shown) {
            QCOMPARE(box.kind, QMessageBox::Critical);
            texts += box.text;
        }
        for (const QString &name : blocked)
            QVERIFY2(texts.contains(name), qPrintable(texts));
    }

    // One count of new calls everywhere: the log's, from the start and after another program
    // changed it.
    void newCallsCountedFromTheLog()
    {
        m_program.reset();
        const QString dir = testsupport::testDataDir();
        TCallList calls;
        for (bool fresh : {true, true, false}) {
            ACalls call;
            call.CallerName = u"Ana"_s;
            call.CallDate = TDateFromQDate(QDate::currentDate());
            call.IsNew = fresh;
            calls.append(std::move(call));
        }
        QVERIFY(SaveCalls(dir, calls));
        m_program = std::make_unique<MonitorProgram>();
        const auto texts = [this] {
            return QStringList{m_program->frmMain()->findChild<QLabel *>(u"lblNewCalls"_s)->text(),
                               m_program->frmNewCallMessage()->findChild<QLabel *>(u"lblTotalCalls"_s)->text(),
                               tray()->toolTip().section(u'\n', 1)};
        };
        m_program->frmMain()->RefreshCallList();
        QCOMPARE(m_program->frmMain()->findChild<TStatusPanels *>(u"stbCalls"_s)->text(0), u" Novih poziva:  2"_s);
        QCOMPARE(texts(), QStringList(3, u"Imaš 2 nova poziva!"_s));
        for (int i = 0; i < calls.size(); ++i)
            calls[i].IsNew = false;
        QVERIFY(SaveCalls(dir, calls));
        QTRY_COMPARE(texts(), (QStringList{2, u"Nemaš novih poziva!"_s} << QString()));
    }

    // The desktop asks for the data at log-off, then quits the program: the data are backed up
    // and the log pruned once, so the backup and the safety copy hold the calls pruning removed.
    void sessionEndBacksUpAndPrunesOnce()
    {
        m_program.reset();
        const QString dir = testsupport::testDataDir();
        TCallList calls;
        for (int age : {0, 100}) {
            ACalls call;
            call.CallerName = u"Pozivatelj %1"_s.arg(age);
            call.CallDate = TDateFromQDate(QDate::currentDate().addDays(-age));
            calls.append(std::move(call));
        }
        QVERIFY(SaveCalls(dir, calls));
        const QByteArray before = testsupport::readFile(dir + QLatin1String(kCallsFileName));
        m_program = std::make_unique<MonitorProgram>();
        Settings &settings = m_program->settings();
        QVERIFY(settings.setNumber(Settings::KeepCalls, Settings::kKeepOnly) &&
                settings.setNumber(Settings::KeepDays, 30) &&
                settings.setFlag(Settings::BackupRecords, true));

        // Qt's own session manager; offscreen no desktop ever sends its request.
        auto *manager = qApp->findChild<QSessionManager *>();
        QVERIFY(manager);
        emit qApp->commitDataRequest(*manager);
        m_program.reset();

        const QString copy = QLatin1String(kSafetyCopyPrefix) + QLatin1String(kCallsFileName);
        QCOMPARE(testsupport::readFile(dir + QLatin1String(kBackupFolderName) + u'/' + copy), before);
        QCOMPARE(testsupport::readFile(dir + copy), before);
        TCallList left;
        QVERIFY(LoadCalls(dir, left, FileAccess::ReadOnly));
        QCOMPARE(left.size(), 1);
    }

    void trayStates_data()
    {
        QTest::addColumn<LineState::State>("state");
        QTest::addColumn<int>("newCalls");
        QTest::addColumn<QString>("toolTip");
        QTest::addColumn<QString>("status");
        using S = LineState;
        QTest::newRow("off") << S::Off << 0 << "Tellwise Monitor  (Neaktivan)"
                             << "Status:  Neaktivan!";
        QTest::newRow("one new call")
            << S::NewCall << 1 << "Tellwise Monitor  (Pratim pozive)\nImaš 1 novi poziv!"
            << "Status:  Pratim pozive!";
        QTest::newRow("error with 22 new calls")
            << S::Error << 22 << "Tellwise Monitor  (Greška)\nImaš 22 nova poziva!"
            << "Status:  Greška!";
    }

    void trayStates()
    {
        QFETCH(LineState::State, state);
        QFETCH(int, newCalls);
        QFETCH(QString, toolTip);
        QFETCH(QString, status);

        start()->line().setState(state == LineState::Off ? LineState::Monitoring : LineState::Off);
        start()->setNewCallCount(newCalls);
        timer("timerScrlFlash")->start();
        start()->line().setState(state);
        QCOMPARE(tray()->toolTip(), toolTip);
        QCOMPARE(start()->line().statusText(), status);
        // The indicators run exactly while there are new calls; the new-call texts follow.
        QCOMPARE((QList<bool>{timer("timerCalls")->isActive(), timer("timerScrlFlash")->isActive()}),
                 QList<bool>(2, newCalls > 0));
        auto *total = m_program->frmNewCallMessage()->findChild<QLabel *>(u"lblTotalCalls"_s);
        QCOMPARE(total->text(), newCalls > 0 ? NewCallIndicators::text(newCalls) : u"Nemaš novih poziva!"_s);
        QCOMPARE(tray()->fallbackWindow()->statusText(), status);
        QCOMPARE(m_program->frmMain()->findChild<QLabel *>(u"pbxConnection"_s)->toolTip(), status);

        // Seeing the calls stops the indicators; a line showing new calls goes back to monitoring.
        start()->setNewCallCount(0);
        QVERIFY(!timer("timerCalls")->isActive() && !timer("timerScrlFlash")->isActive());
        QCOMPARE(tray()->fallbackWindow()->callsText(), u"Nemaš novih poziva!"_s);
        QCOMPARE(start()->line().state(), state == LineState::NewCall ? LineState::Monitoring : state);
    }

    // A call that rings counts as new: the tray shows it at once, or with an animated icon at its
    // next frame, and Scroll Lock flashes when the options ask for it.
    void ringingCallIsCounted_data()
    {
        QTest::addColumn<bool>("animate");
        QTest::addColumn<bool>("flash");
        QTest::newRow("plain icon, flashing") << false << true;
        QTest::newRow("animated icon, no flashing") << true << false;
    }

    void ringingCallIsCounted()
    {
        QFETCH(bool, animate);
        QFETCH(bool, flash);
        m_program->settings().setFlag(Settings::AnimateIcon, animate);
        m_program->settings().setFlag(Settings::FlashScrollLock, flash);
        auto line = std::make_unique<testsupport::TestCallSource>();
        testsupport::TestCallSource *driven = line.get();
        start()->calls().setSource(std::move(line));
        driven->ring();
        QCOMPARE(newCalls(), 1);
        QCOMPARE(tray()->state() == TrayController::State::NewCall, !animate);
        QCOMPARE(timer("timerScrlFlash")->isActive(), flash);
    }

    void trayOpensTheMainWindow()
    {
        // The two window items open the address book and call log window on their page.
        TfrmMain *main = m_program->frmMain();
        QVERIFY(!main->isVisible());
        menuItem("miCalls")->trigger();
        QVERIFY(main->isVisible());
        QCOMPARE(main->currentPage(), int(TfrmMain::PageCalls));
        menuItem("miAddressbook")->trigger();
        QCOMPARE(main->currentPage(), int(TfrmMain::PageAddressbook));
        // The import button opens the import window.
        QString opened;
        ModalDialogHook::pushNext([&](QDialog &dialog) { opened = dialog.windowTitle(); });
        main->findChild<QToolButton *>(u"tbImportWAB"_s)->click();
        QCOMPARE(opened, QStringLiteral("Uvoz podataka iz datoteke adresara"));
        // A click on the icon opens the call list while there are new calls.
        start()->setNewCallCount(2);
        emit start()->findChild<QSystemTrayIcon *>(u"TrayIcon"_s)->activated(QSystemTrayIcon::Trigger);
        QCOMPARE(main->currentPage(), int(TfrmMain::PageCalls));
        start()->setNewCallCount(0);
        emit start()->findChild<QSystemTrayIcon *>(u"TrayIcon"_s)->activated(QSystemTrayIcon::Trigger);
        QCOMPARE(main->currentPage(), int(TfrmMain::PageAddressbook));
        ModalCloser closer;
        menuItem("miAbout")->trigger();
        QVERIFY(centredOnDesktop(closer.centre));
        // Without a main window the items could not be chosen.
        start()->setMainWindowOpener({});
        QVERIFY(!menuItem("miAddressbook")->isEnabled());
        QVERIFY(!menuItem("miCalls")->isEnabled());
    }

    void startupReportsAMissingDevice_data()
    {
        QTest::addColumn<QString>("device");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("message");
        const char *gone = "Ne mogu pronaći prethodno izabrani uređaj!\n";
        QTest::newRow("none chosen") << QString() << Settings::kModem << "Nije izabran niti jedan uređaj!\n";
        QTest::newRow("chosen but gone") << "Modem on ttyUSB7" << Settings::kModem << gone;
        // No CAPI here: the adapter is gone and the modem takes its place.
        QTest::newRow("ISDN without CAPI") << "ISDN Adapter #1" << Settings::kIsdn << gone;
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
        QVERIFY2(shown[0].text.startsWith(message), qPrintable(shown[0].text));
        QCOMPARE(shown[0].kind, QMessageBox::Information);
        // The options window opens on its devices page, centred, with the modem chosen.
        QCOMPARE(closer.page, int(TfrmOptions::PageDevices));
        QVERIFY(centredOnDesktop(closer.centre) && closer.modem);
        QCOMPARE(m_program->settings().number(Settings::DeviceType), Settings::kModem);
        QVERIFY(!m_program->settings().monitorCalls() && !menuItem("miMonitorCalls")->isEnabled());
        QCOMPARE(tray()->state(), TrayController::State::Error);
        QVERIFY(!lineMonitored());
        // No notification area offscreen: the program shows its stand-in window.
        QVERIFY(tray()->fallbackWindow()->isVisible());
    }

    // The modem emulator monitored with the animated icon: the icon blinks, the monitoring switch
    // closes and reopens the line, a call shows as new, and a dead line shows the error, not a
    // blinking "monitoring", until it answers again.
    void emulatorMonitoredUntilLost()
    {
        testsupport::ModemEmulator sim;
        QVERIFY(sim.start({u"--ring-period"_s, u"300"_s, u"--rings"_s, u"30"_s}));
        restartWith({{Settings::DeviceName, u"Modem emulator"_s}, {Settings::AnimateIcon, true}});
        m_program->start();
        QVERIFY(MessageDialogHook::takeAnswered().isEmpty());
        QVERIFY(lineMonitored());
        QCOMPARE(tray()->state(), TrayController::State::ActiveMonitor);
        QVERIFY(sim.waitForCommand(u"AT+VCID=1"_s, 5000));
        QVERIFY(timer("TrayTimer")->isActive());
        tray()->blink();
        QCOMPARE(tray()->state(), TrayController::State::Active);
        tray()->blink();
        QCOMPARE(tray()->state(), TrayController::State::ActiveMonitor);

        menuItem("miMonitorCalls")->trigger();
        QVERIFY(!lineMonitored());
        QCOMPARE(tray()->state(), TrayController::State::NotActive);
        menuItem("miMonitorCalls")->trigger();
        QVERIFY(lineMonitored());
        QCOMPARE(tray()->state(), TrayController::State::ActiveMonitor);
        QTRY_COMPARE_WITH_TIMEOUT(sim.commands().count(u"AT+VCID=1"_s), 2, 5000);

        // The animated icon shows the call at its next frame, and blinks faster.
        sim.send("call 0912345678 ANA");
        QTRY_VERIFY_WITH_TIMEOUT(newCalls() >= 1, 10000);
        for (int frame = 0; frame < 2 && tray()->state() != TrayController::State::NewCall; ++frame)
            tray()->blink();
        QCOMPARE(tray()->state(), TrayController::State::NewCall);
        QCOMPARE(timer("TrayTimer")->interval(), 750);

        sim.kill();
        QTRY_COMPARE_WITH_TIMEOUT(tray()->state(), TrayController::State::Error, 5000);
        QVERIFY(!lineMonitored());
        QVERIFY(tray()->toolTip().contains(u"Greška"_s));
        QVERIFY(!timer("TrayTimer")->isActive());
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
        QAction *item = reject ? menuItem("miAutoHangUp") : menuItem("miDoNotDisturb");
        if (rule >= 0) {
            for (int on : {1, 0}) {
                item->trigger();
                QCOMPARE(item->isChecked(), bool(on));
                QCOMPARE(storedValue(reject ? "AutoReject" : "DoNotDisturb"), on);
            }
            QVERIFY(MessageDialogHook::takeAnswered().isEmpty());
            return;
        }
        MessageDialogHook::setNextAnswer(QMessageBox::StandardButton(answer));
        ModalCloser closer;
        item->trigger();
        const auto shown = MessageDialogHook::takeAnswered();
        QCOMPARE(shown.size(), 1);
        const QString caption = reject ? u"Odbij!"_s : u"Ne smetaj!"_s;
        QVERIFY(shown[0].text.endsWith(u"Želite li opciju '%1' postaviti odmah?"_s.arg(caption)));
        QCOMPARE(shown[0].buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(closer.page, optionsPage);
        QVERIFY(!m_program->settings().flag(reject ? Settings::AutoReject : Settings::DoNotDisturb));
        QVERIFY(!item->isChecked());
        if (answer == QMessageBox::No)
            QCOMPARE(testsupport::readFile(settingsFile()), before);
    }

    void soundSwitchAndDeviceFollowTheOptions()
    {
        startWithoutDevice();
        QVERIFY(m_program->settings().flag(Settings::EnableSound));
        menuItem("miEnableSound")->trigger();
        QVERIFY(!m_program->settings().flag(Settings::EnableSound));
        QCOMPARE(storedValue("EnableSound"), 0);

        // The options window's box changes the switch at once; Cancel takes it back, in the tray too.
        m_program->frmOptions()->show();
        m_program->frmOptions()->findChild<QCheckBox *>(u"chkEnableSound"_s)->click();
        QCOMPARE(menuItem("miEnableSound")->data().toInt(), 1);
        m_program->frmOptions()->reject();
        QCOMPARE(menuItem("miEnableSound")->data().toInt(), 0);

        // The main window shows the device once it is saved.
        TfrmOptions *options = m_program->frmOptions();
        options->setModemLister([] { return QList<telephony::LineInfo>{{.name = u"Modem A"_s}}; });
        options->show();
        options->findChild<QComboBox *>(u"cbDevices"_s)->setCurrentIndex(0);
        options->accept();
        QCOMPARE(m_program->frmMain()->findChild<QLabel *>(u"lblDevice"_s)->text(), u"Modem A"_s);
    }

    // Each menu item writes its own format; the extension is added unless the name has it, in
    // any case.
    void exportMenusKeepOrAddTheExtension()
    {
        QTemporaryDir folder;
        const MainWindowMenus &menus = start()->mainWindowMenus();
        for (const auto &[item, chosen] : {std::pair{menus.miExportToCSV, "Kontakti.CSV"},
                                           std::pair{menus.miExportToXML, "Kontakti.txt"}}) {
            const QString file = folder.filePath(QLatin1String(chosen));
            start()->setSaveFileDialog(
                [file](const QString &, const QString &, const QString &, const QString &) { return file; });
            item->trigger();
        }
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files),
                 (QStringList{"Kontakti.CSV", "Kontakti.txt.xml"}));
    }
};

QTEST_MAIN(TestController)
#include "tst_controller.moc"

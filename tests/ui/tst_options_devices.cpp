// The devices page against real lines: the modem emulator on a pseudo-terminal, a configured
// network line, and two simulated ISDN controllers through the real libcapi20.

#include "SimHost.h"
#include "SimProcess.h"
#include "TestProfile.h"
#include "TestSupport.h"

#include "capi/CpInfo.h"
#include "settings/Settings.h"
#include "store/AddressBook.h"
#include "telephony/ModemConfig.h"
#include "telephony/MqttConfig.h"
#include "telephony/SipCallSource.h"
#include "ui/TfrmOptions.h"
#include "widgets/ShowMessageDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

using namespace Qt::Literals::StringLiterals;

namespace {

// The texts of ITEM's children, or only of those marked as present.
QStringList childTexts(const QTreeWidgetItem *item, bool presentOnly = false)
{
    QStringList texts;
    for (int i = 0; item && i < item->childCount(); ++i)
        if (!presentOnly || item->child(i)->data(0, Qt::UserRole).toBool())
            texts << item->child(i)->text(0);
    return texts;
}

QTreeWidgetItem *root(QTreeWidget *tree, const QString &text)
{
    const QList<QTreeWidgetItem *> found = tree->findItems(text, Qt::MatchExactly);
    return found.isEmpty() ? nullptr : found.first();
}

QTreeWidgetItem *child(QTreeWidgetItem *parent, const QString &text)
{
    for (int i = 0; parent && i < parent->childCount(); ++i)
        if (parent->child(i)->text(0) == text)
            return parent->child(i);
    return nullptr;
}

} // namespace

class TestOptionsDevices : public QObject
{
    Q_OBJECT

    SimHost m_host;
    testsupport::ModemEmulator m_modem;

private slots:
    void initTestCase()
    {
        QVERIFY(m_host.start(2));
        qputenv("TELLWISE_CAPI_REMOTE", QByteArray("127.0.0.1:") + QByteArray::number(m_host.port()));
        // Only the emulator: no serial ports of this machine are probed.
        testsupport::writeModemConfig();
        QVERIFY(m_modem.start({u"--info"_s, u"Acme Voice 56K"_s}));
    }

    void twoIsdnAdapters()
    {
        // The stored name is found whatever its case.
        QVERIFY(testsupport::writeSettings(
            {{Settings::DeviceType, Settings::kIsdn}, {Settings::DeviceName, u"isdn adapter #2"_s}}));
        Settings settings;
        AddressBook book{testsupport::testDataDir()};
        TfrmOptions form(settings, book);
        TCapiInfo info;
        form.setCapiInfo(&info);
        form.LoadSettings();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));

        auto *devices = form.findChild<QComboBox *>(u"cbDevices"_s);
        QCOMPARE(devices->count(), 2);
        QCOMPARE(devices->itemText(0), u"ISDN Adapter #1"_s);
        QCOMPARE(devices->currentText(), u"ISDN Adapter #2"_s);
        QCOMPARE(info.SelectedController(), 2u);

        auto *tree = form.findChild<QTreeWidget *>(u"tvFeatures"_s);
        QCOMPARE(childTexts(root(tree, u"Informacije o ISDN adapteru"_s)).mid(2),
                 (QStringList{u"Podržava B-kanala:  2"_s, u"Kontroler:  2"_s}));
        QTreeWidgetItem *abilities = root(tree, u"Mogućnosti ISDN adaptera"_s);
        QCOMPARE(childTexts(child(abilities, u"Osnovne mogućnosti"_s), true),
                 QStringList{u"Unutarnji kontroler"_s});

        // The first adapter also answers which supplementary services it has, a moment later:
        // an answer that comes after the second adapter was chosen again stays off its tree.
        QSignalSpy answered(&info, &TCapiInfo::OnSuppServInfoAvailable);
        QTest::keyClick(devices, Qt::Key_Up);
        QTest::keyClick(devices, Qt::Key_Down);
        QVERIFY(answered.wait(5000));
        QVERIFY(!child(root(tree, u"Mogućnosti ISDN adaptera"_s), u"Dodatne mogućnosti"_s));
        QTest::keyClick(devices, Qt::Key_Up);
        QCOMPARE(info.SelectedController(), 1u);
        abilities = root(tree, u"Mogućnosti ISDN adaptera"_s);
        QTRY_VERIFY_WITH_TIMEOUT(child(abilities, u"Dodatne mogućnosti"_s), 5000);
        QCOMPARE(childTexts(child(abilities, u"Dodatne mogućnosti"_s), true),
                 (QStringList{u"Zadržavanje i nastavak poziva"_s, u"Prespajanje poziva (ECT)"_s,
                              u"Konferencija u troje (3PTY)"_s, u"Preusmjeravanje poziva"_s}));

        QTest::mouseClick(form.findChild<QPushButton *>(u"btnSave"_s), Qt::LeftButton);
        Settings saved;
        QVERIFY(saved.LoadSettings());
        QCOMPARE(saved.number(Settings::DeviceType), Settings::kIsdn);
        QCOMPARE(saved.text(Settings::DeviceName), u"ISDN Adapter #1"_s);

        // Back to the modem: the adapters leave the list, and the modem line is the only one: no
        // serial port of this machine is probed.
        form.findChild<QTabWidget *>(u"PageControl"_s)->setCurrentIndex(TfrmOptions::PageDevices);
        form.show();
        QTest::mouseClick(form.findChild<QRadioButton *>(u"rbModem"_s), Qt::LeftButton, {}, QPoint(6, 6));
        QCOMPARE(devices->count(), 1);
        QCOMPARE(devices->currentText(), u"Modem emulator"_s);
        // The emulator's answers: who it is, its four caller ID abilities, and that it can reject.
        const QStringList line = childTexts(root(tree, u"Podaci o liniji"_s));
        QCOMPARE(line.size(), 3);
        QCOMPARE(line.value(0), u"Modem (odgovor na ATI):  Acme Voice 56K"_s);
        QVERIFY(line.value(2).startsWith(u"Serijski port:  /"_s));
        QCOMPARE(childTexts(root(tree, u"Mogućnosti modema"_s), true).size(), 5);
        tree->setFixedWidth(200); // a line longer than the tree is drawn whole: the tree scrolls sideways
        QCoreApplication::processEvents();
        QVERIFY(tree->header()->sectionSize(0) > 200);

        // A router's call monitor: its protocol and server; it shows numbers, and cannot reject.
        testsupport::writeNetworkLines({u"127.0.0.1:1"_s}, {});
        QTest::mouseClick(form.findChild<QRadioButton *>(u"rbISDN"_s), Qt::LeftButton, {}, QPoint(6, 6));
        QTest::mouseClick(form.findChild<QRadioButton *>(u"rbModem"_s), Qt::LeftButton, {}, QPoint(6, 6));
        QCOMPARE(devices->count(), 2);
        QTest::keyClick(devices, Qt::Key_Down);
        QCOMPARE(devices->currentText(), u"Call monitor 127.0.0.1:1"_s);
        QCOMPARE(childTexts(root(tree, u"Podaci o liniji"_s)),
                 (QStringList{u"Vrsta linije:  Nadzor poziva na usmjerivaču (TCP)"_s,
                              u"Poslužitelj:  127.0.0.1, port 1"_s}));
        QCOMPARE(childTexts(root(tree, u"Mogućnosti modema"_s), true),
                 (QStringList{u"Prikaz pozivatelja:  Telefonski broj"_s,
                              u"Prikaz pozivatelja:  Blokirani pozivi"_s,
                              u"Prikaz pozivatelja:  Nedostupni pozivi"_s}));
        form.reject();
    }

    // No keyring on the test's bus: the account the dialog saves is the line's, its password in
    // a file only the user may read, rewritten whole when it was not so; removal takes both.
    void sipAccountDialog()
    {
        const QString file =
            QFileInfo(telephony::ModemConfig::filePath()).absolutePath() + u"/sip-passwords"_s;
        testsupport::writeFile(file, "# mine\nbob@pbx bobpw\nalice@127.0.0.1 old\n");
        QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
        Settings settings;
        AddressBook book{testsupport::testDataDir()};
        TfrmOptions form(settings, book);
        form.LoadSettings();
        form.findChild<QTabWidget *>(u"PageControl"_s)->setCurrentIndex(TfrmOptions::PageDevices);
        form.show();
        auto *tree = form.findChild<QTreeWidget *>(u"tvFeatures"_s);
        auto *devices = form.findChild<QComboBox *>(u"cbDevices"_s);
        QTest::mouseClick(form.findChild<QRadioButton *>(u"rbModem"_s), Qt::LeftButton, {}, QPoint(6, 6));
        QTimer::singleShot(0, [] {
            QWidget *dialog = QApplication::activeModalWidget();
            const auto edit = [dialog](const char *name) {
                return dialog->findChild<QLineEdit *>(QLatin1String(name));
            };
            edit("edtSipRegistrar")->setText(u"127.0.0.1:5099"_s);
            edit("edtSipAuthUser")->setText(u"auth7"_s);
            edit("edtSipPassword")->setText(u"new pw"_s);
            dialog->findChild<QComboBox *>(u"cbSipTransport"_s)->setCurrentIndex(2);
            auto *save = dialog->findChild<QPushButton *>(u"btnSave"_s);
            edit("edtSipUser")->setText(u"a:b"_s); // a separator of the configured form
            QVERIFY(!save->isEnabled());
            edit("edtSipUser")->setText(u"alice"_s);
            QTest::mouseClick(save, Qt::LeftButton);
        });
        QTest::mouseClick(form.findChild<QPushButton *>(u"btnSipAdd"_s), Qt::LeftButton);
        QCOMPARE(devices->currentText(), u"SIP alice@127.0.0.1:5099;transport=tls"_s);
        QTRY_COMPARE(childTexts(root(tree, u"Podaci o liniji"_s)).filter(u"Lozinka"_s),
                     QStringList{u"Lozinka:  u datoteci "_s + file});
        const telephony::SipConfig config = telephony::SipConfig::load();
        QCOMPARE(config.accounts.value(0).authUser, u"auth7"_s);
        QCOMPARE(config.passwords().readNow(config.accounts.value(0).key()).password, u"new pw"_s);
        QCOMPARE(QFile::permissions(file),
                 QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
        QCOMPARE(testsupport::readFile(file), "# mine\nbob@pbx bobpw\nalice@127.0.0.1 new pw\n");
        QCOMPARE(telephony::SipCallSource::lines().value(0).identity, u"alice@127.0.0.1"_s);

        MessageDialogHook::setNextAnswer(QMessageBox::Yes);
        QTest::mouseClick(form.findChild<QPushButton *>(u"btnSipRemove"_s), Qt::LeftButton);
        QVERIFY(telephony::SipConfig::load().accounts.isEmpty());
        QCOMPARE(testsupport::readFile(file), "# mine\nbob@pbx bobpw\n");
        QVERIFY(!form.findChild<QPushButton *>(u"btnSipRemove"_s)->isEnabled());

        // The sharing page's password goes the same way, for the user at the broker.
        form.findChild<QLineEdit *>(u"edtMqttBroker"_s)->setText(u"broker.lan:1884"_s);
        form.findChild<QLineEdit *>(u"edtMqttUser"_s)->setText(u"kitchen"_s);
        form.findChild<QLineEdit *>(u"edtMqttPassword"_s)->setText(u"mqttpw"_s);
        QTest::mouseClick(form.findChild<QPushButton *>(u"btnSave"_s), Qt::LeftButton);
        const auto stored = telephony::MqttConfig::load().passwords().readFile(u"@broker.lan"_s);
        QCOMPARE(stored.key + u' ' + stored.password, u"kitchen@broker.lan mqttpw"_s);
    }
};

QTEST_MAIN(TestOptionsDevices)
#include "tst_options_devices.moc"

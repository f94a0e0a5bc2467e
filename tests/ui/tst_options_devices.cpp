// The devices page against real sources: the modem emulator on a pseudo-terminal through the
// line service, and two simulated ISDN controllers through the real libcapi20.

#include "SimHost.h"
#include "TestSupport.h"

#include "capi/CpInfo.h"
#include "settings/Settings.h"
#include "store/AddressBook.h"
#include "telephony/ModemConfig.h"
#include "ui/TfrmOptions.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

namespace {

void store(const QString &name, const QVariant &value)
{
    QSettings file(QStringLiteral("Kavelink"), QStringLiteral("Tellwise Monitor"));
    file.setValue(QStringLiteral("Settings/") + name, value);
}

QVariant stored(const QString &name)
{
    QSettings file(QStringLiteral("Kavelink"), QStringLiteral("Tellwise Monitor"));
    return file.value(QStringLiteral("Settings/") + name);
}

QStringList childTexts(const QTreeWidgetItem *item)
{
    QStringList texts;
    for (int i = 0; item && i < item->childCount(); ++i)
        texts << item->child(i)->text(0);
    return texts;
}

// The texts of the children marked as present.
QStringList present(const QTreeWidgetItem *item)
{
    QStringList texts;
    for (int i = 0; item && i < item->childCount(); ++i) {
        if (item->child(i)->data(0, Qt::UserRole).toBool())
            texts << item->child(i)->text(0);
    }
    return texts;
}

QTreeWidgetItem *root(QTreeWidget *tree, const QString &text)
{
    const QList<QTreeWidgetItem *> found = tree->findItems(text, Qt::MatchExactly);
    return found.isEmpty() ? nullptr : found.first();
}

QTreeWidgetItem *child(QTreeWidgetItem *parent, const QString &text)
{
    for (int i = 0; parent && i < parent->childCount(); ++i) {
        if (parent->child(i)->text(0) == text)
            return parent->child(i);
    }
    return nullptr;
}

} // namespace

class TestOptionsDevices : public QObject
{
    Q_OBJECT

    SimHost m_host;
    QProcess m_modem;

private slots:
    void initTestCase()
    {
        QVERIFY(m_host.start(2));
        qputenv("TELLWISE_CAPI_REMOTE", QByteArray("127.0.0.1:") + QByteArray::number(m_host.port()));

        // Only the emulator: no serial ports of this machine are probed.
        const QString config = telephony::ModemConfig::filePath();
        QDir().mkpath(QFileInfo(config).absolutePath());
        QSettings modems(config, QSettings::IniFormat);
        modems.setValue(QStringLiteral("Modems/Scan"), false);
        modems.sync();

        m_modem.setProgram(testsupport::toolPath(QStringLiteral("tellwise-modem-sim")));
        m_modem.setArguments({QStringLiteral("--info"), QStringLiteral("Acme Voice 56K")});
        m_modem.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_modem.start();
        QVERIFY(m_modem.waitForStarted(5000));
        QTRY_VERIFY_WITH_TIMEOUT(telephony::modemsim::emulatorRunning(), 10000);
    }

    void cleanupTestCase()
    {
        m_modem.kill();
        m_modem.waitForFinished(3000);
    }

    void modemLineFromTheEmulator()
    {
        store(QStringLiteral("DeviceType"), 0);
        store(QStringLiteral("DeviceName"), QStringLiteral("Modem emulator"));
        Settings settings;
        AddressBook book{testsupport::testDataDir()};
        TfrmOptions form(settings, book);
        form.LoadSettings();

        auto *devices = form.findChild<QComboBox *>(QStringLiteral("cbDevices"));
        QCOMPARE(devices->count(), 1);
        QCOMPARE(form.selectedDeviceText(), QStringLiteral("Modem emulator"));

        auto *tree = form.findChild<QTreeWidget *>(QStringLiteral("tvFeatures"));
        QCOMPARE(childTexts(root(tree, QStringLiteral("TAPI Informacije"))).value(2),
                 QStringLiteral("TSP:  Acme Voice 56K"));
        const QStringList callerId = {
            QStringLiteral("Caller ID:  Ime"), QStringLiteral("Caller ID:  Telefonski broj"),
            QStringLiteral("Caller ID:  Blokirani pozivi"), QStringLiteral("Caller ID:  Nedostupni pozivi")};
        QCOMPARE(childTexts(root(tree, QStringLiteral("Mogućnosti modema"))), callerId);
        QCOMPARE(present(root(tree, QStringLiteral("Mogućnosti modema"))), callerId);
    }

    void twoIsdnAdapters()
    {
        // The stored name is found whatever its case.
        store(QStringLiteral("DeviceType"), 1);
        store(QStringLiteral("DeviceName"), QStringLiteral("isdn adapter #2"));
        Settings settings;
        AddressBook book{testsupport::testDataDir()};
        TfrmOptions form(settings, book);
        TCapiInfo info;
        form.setCapiInfo(&info);
        form.LoadSettings();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));

        auto *devices = form.findChild<QComboBox *>(QStringLiteral("cbDevices"));
        QCOMPARE(devices->count(), 2);
        QCOMPARE(devices->itemText(0), QStringLiteral("ISDN Adapter #1"));
        QCOMPARE(devices->currentText(), QStringLiteral("ISDN Adapter #2"));
        QCOMPARE(info.SelectedController(), 2u);

        auto *tree = form.findChild<QTreeWidget *>(QStringLiteral("tvFeatures"));
        QCOMPARE(childTexts(root(tree, QStringLiteral("Informacije o ISDN adapteru"))).value(2),
                 QStringLiteral("Podržava B-kanala:  2"));
        QTreeWidgetItem *abilities = root(tree, QStringLiteral("Mogućnosti ISDN adaptera"));
        QCOMPARE(present(child(abilities, QStringLiteral("Osnovne mogućnosti"))),
                 QStringList{QStringLiteral("Internal controller supported")});

        // The first adapter also answers which supplementary services it has, a moment later.
        QTest::keyClick(devices, Qt::Key_Up);
        QCOMPARE(info.SelectedController(), 1u);
        abilities = root(tree, QStringLiteral("Mogućnosti ISDN adaptera"));
        QTRY_VERIFY_WITH_TIMEOUT(child(abilities, QStringLiteral("Dodatne mogućnosti")), 5000);
        QCOMPARE(present(child(abilities, QStringLiteral("Dodatne mogućnosti"))),
                 (QStringList{QStringLiteral("Hold / Retrieve"), QStringLiteral("ECT"), QStringLiteral("3PTY"),
                              QStringLiteral("Call-Forwarding")}));

        QTest::mouseClick(form.findChild<QPushButton *>(QStringLiteral("btnSave")), Qt::LeftButton);
        QCOMPARE(stored(QStringLiteral("DeviceType")).toInt(), 1);
        QCOMPARE(stored(QStringLiteral("DeviceName")).toString(), QStringLiteral("ISDN Adapter #1"));

        // Back to the modem: the adapters leave the list.
        form.findChild<QTabWidget *>(QStringLiteral("PageControl"))->setCurrentIndex(TfrmOptions::PageDevices);
        form.show();
        QTest::mouseClick(form.findChild<QRadioButton *>(QStringLiteral("rbModem")), Qt::LeftButton, {},
                          QPoint(6, 6));
        QCOMPARE(devices->findText(QStringLiteral("ISDN Adapter #1")), -1);
        QCOMPARE(devices->currentText(), QStringLiteral("Modem emulator"));
        QVERIFY(root(tree, QStringLiteral("TAPI Informacije")));
        form.reject();
    }
};

QTEST_MAIN(TestOptionsDevices)
#include "tst_options_devices.moc"

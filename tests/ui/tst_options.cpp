// The options window driven as a user drives it: clicks and keys on the real window, results
// read back from the settings file, the autostart entry, the groups file and the dialogs it
// raised.

#include "TestSupport.h"

#include "platform/Autostart.h"
#include "settings/Settings.h"
#include "store/AddressBook.h"
#include "store/FileRecords.h"
#include "ui/TfrmOptions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

#include <memory>

namespace {

struct Message
{
    QString caption;
    QString text;
};

QVariant stored(const QString &name)
{
    QSettings file(QStringLiteral("Kavelink"), QStringLiteral("Tellwise Monitor"));
    return file.value(QStringLiteral("Settings/") + name);
}

void store(const QString &name, const QVariant &value)
{
    QSettings file(QStringLiteral("Kavelink"), QStringLiteral("Tellwise Monitor"));
    file.setValue(QStringLiteral("Settings/") + name, value);
}

// A file the sound checks accept: it exists and its name ends in ".wav".
QString makeWave(const QString &name)
{
    const QString path = testsupport::testDataDir() + name;
    QDir().mkpath(QFileInfo(path).absolutePath());
    testsupport::writeFile(path, QByteArray("RIFF\x24\0\0\0WAVE", 12));
    return path;
}

} // namespace

class TestOptions : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void checkBoxesSaveOnOkAndRestoreOnCancel_data();
    void checkBoxesSaveOnOkAndRestoreOnCancel();
    void otherControlsSaveOnOkAndRestoreOnCancel();
    void upDownsStayInTheirRange_data();
    void upDownsStayInTheirRange();
    void dependentControlsFollowTheirSwitch();
    void speechControlsWithoutAnEngine();
    void ringSoundChoice_data();
    void ringSoundChoice();
    void testButtonsPlayTheShownSound();
    void autostartEntryFollowsTheCheckBox();
    void languageChangeIsAnnouncedOnce();
    void groupSoundIsStoredAtOnce();
    void groupSoundDeletionAsksFirst();
    void switchesWithoutRulesAreTurnedOff_data();
    void switchesWithoutRulesAreTurnedOff();
    void formatPreviewsFollowThePatterns_data();
    void formatPreviewsFollowThePatterns();

private:
    template <typename T> T *control(const char *name)
    {
        T *widget = m_form->findChild<T *>(QLatin1String(name));
        if (!widget)
            qFatal("no control %s", name);
        return widget;
    }
    void open();
    // The groups file holds GROUPS, and the address book has read it.
    void writeGroups(std::initializer_list<AGroups> groups)
    {
        TGroupList list;
        for (const AGroups &g : groups)
            list.append(g);
        QVERIFY(SaveGroups(testsupport::testDataDir(), list));
        QVERIFY(m_book->load());
    }
    // The sound labels run their text when it is long; what they hold is their text property.
    QString labelText(const char *name) { return control<QWidget>(name)->property("text").toString(); }
    void ok() { QTest::mouseClick(control<QPushButton>("btnSave"), Qt::LeftButton); }
    void cancel() { QTest::mouseClick(control<QPushButton>("btnCancel"), Qt::LeftButton); }
    void click(const char *name)
    {
        QTest::mouseClick(control<QAbstractButton>(name), Qt::LeftButton, {}, QPoint(6, 6));
    }

    std::unique_ptr<Settings> m_settings;
    std::unique_ptr<AddressBook> m_book;
    std::unique_ptr<TfrmOptions> m_form;
    QList<Message> m_messages;
    QMessageBox::StandardButton m_answer = QMessageBox::Ok;
    QString m_nextFile;
    QStringList m_fileDialogFolders;
    QStringList m_played;
    bool m_speech = false;
};

void TestOptions::init()
{
    // A clean account each time: no settings, no autostart entry, no groups.
    QFile::remove(QSettings(QStringLiteral("Kavelink"), QStringLiteral("Tellwise Monitor")).fileName());
    Autostart::disable();
    m_book = std::make_unique<AddressBook>(testsupport::testDataDir());
    writeGroups({});
    m_messages.clear();
    m_played.clear();
    m_fileDialogFolders.clear();
    m_answer = QMessageBox::Ok;
    m_speech = false;

    m_settings = std::make_unique<Settings>();
    m_settings->setProgramPath(QStringLiteral("/opt/Tellwise/bin/tellwise-monitor"));
    m_form = std::make_unique<TfrmOptions>(*m_settings, *m_book);
    m_form->setMessageDialog(
        [this](const QString &caption, const QString &text, QMessageBox::Icon, QMessageBox::StandardButtons) {
            m_messages.append({caption, text});
            return m_answer;
        });
    m_form->setOpenFileDialog([this](const QString &, const QString &folder, const QString &) {
        m_fileDialogFolders.append(folder);
        return m_nextFile;
    });
    m_form->setSoundPlayer([this](const QString &file) { m_played.append(file); });
    m_form->setModemLister([] { return QStringList{QStringLiteral("Modem A"), QStringLiteral("Modem B")}; });
    m_form->setSpeechAvailable([this] { return m_speech; });

    // Start-up: the first load writes the defaults.
    m_form->LoadSettings();
    m_form->ApplyLoadedSettings();
}

void TestOptions::cleanup()
{
    m_form.reset();
    m_book.reset();
    m_settings.reset();
}

void TestOptions::open()
{
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
}

void TestOptions::checkBoxesSaveOnOkAndRestoreOnCancel_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("initial");

    const struct
    {
        const char *name;
        int page;
        const char *value;
        bool initial;
    } rows[] = {
        {"chkWindowsStart", 0, "RunOnStartup", true},
        {"chkSystemTray", 0, "HideInTray", true},
        {"chkMonitorOnStart", 0, "MonitorOnStartup", true},
        {"chkCIDCloseTime", 0, "AutoCloseCID", true},
        {"chkAnimateCIDWindow", 0, "AnimateCID", true},
        {"chkAnimateIcon", 0, "AnimateIcon", true},
        {"chkConfimDelete", 0, "ConfirmDelete", true},
        {"chkBackupRecords", 0, "BackupRecords", true},
        {"chkOnlyShowAddressbook", 2, "DisplayOnlyAddressbook", false},
        {"chkDontShowBlackList", 2, "DontDisplayBlackList", false},
        {"chkDontShowBlocked", 2, "DontDisplayBlocked", false},
        {"chkRejectBlackList", 2, "AutoRejectBlackList", false},
        {"chkRejectBlocked", 2, "AutoRejectBlocked", false},
        {"chkLogBlackList", 2, "LogBlackList", true},
        {"chkLogBlocked", 2, "LogBlocked", true},
        {"chkShowCIDWindow", 3, "DisplayCIDWindow", true},
        {"chkShowCIDMessage", 3, "DisplayCIDMessage", true},
        {"chkFlashScrollLock", 3, "FlashScrollLock", true},
        {"chkEnableSound", 4, "EnableSound", true},
    };
    for (const auto &r : rows)
        QTest::newRow(r.name) << QString::fromLatin1(r.name) << r.page << QString::fromLatin1(r.value)
                              << r.initial;
}

void TestOptions::checkBoxesSaveOnOkAndRestoreOnCancel()
{
    QFETCH(QString, name);
    QFETCH(int, page);
    QFETCH(QString, value);
    QFETCH(bool, initial);
    const QByteArray n = name.toLatin1();

    m_form->findChild<QTabWidget *>(QStringLiteral("PageControl"))->setCurrentIndex(page);
    open();
    QCOMPARE(control<QCheckBox>(n)->isChecked(), initial);
    click(n);
    ok();
    QVERIFY(!m_form->isVisible());
    QCOMPARE(stored(value).toInt(), initial ? 0 : 1);
    QCOMPARE(
        m_settings->value(Settings::Key(QMetaEnum::fromType<Settings::Key>().keyToValue(value.toLatin1())))
            .toBool(),
        !initial);

    // Reopened it shows the saved state; a change that is cancelled comes back.
    open();
    QCOMPARE(control<QCheckBox>(n)->isChecked(), !initial);
    click(n);
    QCOMPARE(control<QCheckBox>(n)->isChecked(), initial);
    cancel();
    QCOMPARE(control<QCheckBox>(n)->isChecked(), !initial);
    QCOMPARE(stored(value).toInt(), initial ? 0 : 1);
}

void TestOptions::otherControlsSaveOnOkAndRestoreOnCancel()
{
    const QString ring = makeWave(QStringLiteral("Sounds/Bell.wav"));
    open();
    auto *tabs = control<QTabWidget>("PageControl");
    // Nothing chosen yet on a clean account: the list offers the lines but selects none.
    QCOMPARE(control<QComboBox>("cbDevices")->count(), 2);
    QCOMPARE(control<QComboBox>("cbDevices")->currentIndex(), -1);

    tabs->setCurrentIndex(TfrmOptions::PageBasic);
    QTest::keyClick(control<QSpinBox>("udCIDCloseTime"), Qt::Key_Up);
    tabs->setCurrentIndex(TfrmOptions::PageDevices);
    control<QComboBox>("cbDevices")->setCurrentIndex(1);
    tabs->setCurrentIndex(TfrmOptions::PageCalls);
    click("rbKeepOnly");
    QTest::keyClick(control<QSpinBox>("udKeepCalls"), Qt::Key_Up);
    control<QComboBox>("cbHowToFormat")->setCurrentIndex(0);
    tabs->setCurrentIndex(TfrmOptions::PageSound);
    m_nextFile = ring;
    click("btnChooseSound");
    tabs->setCurrentIndex(TfrmOptions::PageFormat);
    control<QComboBox>("cbFormat3")->setCurrentIndex(1);
    control<QComboBox>("cbFormat9")->setEditText(QStringLiteral("xxx xxx xxx xxxx"));
    ok();

    QCOMPARE(stored(QStringLiteral("AutoCloseCIDValue")).toInt(), 35);
    QCOMPARE(stored(QStringLiteral("DeviceName")).toString(), QStringLiteral("Modem B"));
    QCOMPARE(stored(QStringLiteral("DeviceType")).toInt(), 0);
    QCOMPARE(stored(QStringLiteral("KeepCalls")).toInt(), 1);
    QCOMPARE(stored(QStringLiteral("KeepDays")).toInt(), 12);
    QCOMPARE(stored(QStringLiteral("HowToFormat")).toInt(), 0);
    QCOMPARE(stored(QStringLiteral("PhoneRingWave")).toString(), ring);
    QCOMPARE(stored(QStringLiteral("FormatString3")).toString(), QStringLiteral("xxx-xx-xx"));
    QCOMPARE(stored(QStringLiteral("FormatString9")).toString(), QStringLiteral("xxx xxx xxx xxxx"));
    QCOMPARE(m_settings->currentDeviceName(), QStringLiteral("Modem B"));

    // Change everything again and cancel: every control shows the stored state once more.
    open();
    QTest::keyClick(control<QSpinBox>("udCIDCloseTime"), Qt::Key_Down);
    QTest::keyClick(control<QSpinBox>("udCIDCloseTime"), Qt::Key_Down);
    control<QComboBox>("cbDevices")->setCurrentIndex(0);
    click("rbKeepAll");
    control<QComboBox>("cbHowToFormat")->setCurrentIndex(2);
    m_nextFile = testsupport::testDataDir() + QStringLiteral("notes.txt");
    testsupport::writeFile(m_nextFile, "x");
    click("btnChooseSound");
    QCOMPARE(labelText("lblPhoneRingSound"), QString());
    control<QComboBox>("cbFormat9")->setEditText(QStringLiteral("x"));
    cancel();

    QCOMPARE(control<QSpinBox>("udCIDCloseTime")->value(), 35);
    QCOMPARE(control<QComboBox>("cbDevices")->currentText(), QStringLiteral("Modem B"));
    QVERIFY(control<QRadioButton>("rbKeepOnly")->isChecked());
    QCOMPARE(control<QSpinBox>("udKeepCalls")->value(), 12);
    QCOMPARE(control<QComboBox>("cbHowToFormat")->currentIndex(), 0);
    QCOMPARE(labelText("lblPhoneRingSound"), ring);
    QVERIFY(control<QPushButton>("btnTestSound")->isEnabled());
    QCOMPARE(control<QComboBox>("cbFormat3")->currentText(), QStringLiteral("xxx-xx-xx"));
    QCOMPARE(control<QComboBox>("cbFormat9")->currentText(), QStringLiteral("xxx xxx xxx xxxx"));
    QCOMPARE(stored(QStringLiteral("AutoCloseCIDValue")).toInt(), 35);

    // A stored device is found whatever its case; one that is gone leaves no selection.
    store(QStringLiteral("DeviceName"), QStringLiteral("MODEM a"));
    m_form->LoadSettings();
    QCOMPARE(control<QComboBox>("cbDevices")->currentText(), QStringLiteral("Modem A"));
    store(QStringLiteral("DeviceName"), QStringLiteral("Modem C"));
    m_form->LoadSettings();
    QCOMPARE(control<QComboBox>("cbDevices")->currentIndex(), -1);
    QCOMPARE(m_form->selectedDeviceText(), QString());
    QVERIFY(m_messages.isEmpty());
}

void TestOptions::upDownsStayInTheirRange_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("min");
    QTest::addColumn<int>("max");
    QTest::addColumn<int>("initial");
    QTest::newRow("close time") << "udCIDCloseTime"
                                << "editCIDCloseTime"
                                << "AutoCloseCIDValue" << 5 << 300 << 30;
    QTest::newRow("keep days") << "udKeepCalls"
                               << "editKeepCalls"
                               << "KeepDays" << 5 << 365 << 7;
}

void TestOptions::upDownsStayInTheirRange()
{
    QFETCH(QString, name);
    QFETCH(QString, edit);
    QFETCH(QString, value);
    QFETCH(int, min);
    QFETCH(int, max);
    QFETCH(int, initial);
    const QByteArray n = name.toLatin1();

    store(QStringLiteral("KeepCalls"), 1);
    m_form->LoadSettings();
    open();
    auto *upDown = control<QSpinBox>(n);
    QCOMPARE(upDown->value(), initial);
    QTest::keyClick(upDown, Qt::Key_Up);
    QCOMPARE(upDown->value(), initial + 5);
    QTest::keyClick(upDown, Qt::Key_Down);
    QCOMPARE(upDown->value(), initial);

    // Typing into the edit does nothing; only the arrows move the value.
    auto *text = control<QLineEdit>(edit.toLatin1());
    QVERIFY(text->isReadOnly());
    QTest::keyClicks(text, QStringLiteral("9"));
    QCOMPARE(upDown->value(), initial);

    for (int i = 0; i < 6; ++i)
        QTest::keyClick(upDown, Qt::Key_Down);
    QCOMPARE(upDown->value(), min);
    for (int i = 0; i < 80; ++i)
        QTest::keyClick(upDown, Qt::Key_Up);
    QCOMPARE(upDown->value(), max);
    ok();
    QCOMPARE(stored(value).toInt(), max);

    // A value outside the range in the settings file shows as the nearest end.
    store(value, max + 1000);
    m_form->LoadSettings();
    QCOMPARE(upDown->value(), max);
    store(value, -4);
    m_form->LoadSettings();
    QCOMPARE(upDown->value(), min);
}

void TestOptions::dependentControlsFollowTheirSwitch()
{
    open();
    auto *closeTime = control<QSpinBox>("udCIDCloseTime");
    auto *keepDays = control<QSpinBox>("udKeepCalls");
    QVERIFY(closeTime->isEnabled());
    QVERIFY(control<QLineEdit>("editCIDCloseTime")->isEnabled());
    QVERIFY(!keepDays->isEnabled());
    QVERIFY(!control<QLineEdit>("editKeepCalls")->isEnabled());

    click("chkCIDCloseTime");
    QVERIFY(!closeTime->isEnabled());
    QVERIFY(!control<QLineEdit>("editCIDCloseTime")->isEnabled());
    control<QTabWidget>("PageControl")->setCurrentIndex(TfrmOptions::PageCalls);
    click("rbKeepOnly");
    QVERIFY(keepDays->isEnabled());
    QVERIFY(control<QLineEdit>("editKeepCalls")->isEnabled());
    click("rbKeepAll");
    QVERIFY(!keepDays->isEnabled());
    click("rbKeepOnly");

    // Cancel brings back the stored states, and the edits with them.
    cancel();
    QVERIFY(closeTime->isEnabled());
    QVERIFY(!keepDays->isEnabled());

    // Saved the other way round, they come back that way at the next start.
    open();
    click("chkCIDCloseTime");
    click("rbKeepOnly");
    ok();
    Settings restarted;
    TfrmOptions again(restarted, *m_book);
    again.setModemLister([] { return QStringList(); });
    again.LoadSettings();
    again.ApplyLoadedSettings();
    QVERIFY(!again.findChild<QSpinBox *>(QStringLiteral("udCIDCloseTime"))->isEnabled());
    QVERIFY(again.findChild<QSpinBox *>(QStringLiteral("udKeepCalls"))->isEnabled());
}

void TestOptions::speechControlsWithoutAnEngine()
{
    // Stored on, but with no engine there is nothing to switch on.
    QCOMPARE(stored(QStringLiteral("EnableSpeech")).toInt(), 1);
    open();
    control<QTabWidget>("PageControl")->setCurrentIndex(TfrmOptions::PageSound);
    auto *speech = control<QCheckBox>("chkEnableSpeech");
    auto *engine = control<QPushButton>("btnSpeechEngine");
    QVERIFY(!speech->isEnabled());
    QVERIFY(!speech->isChecked());
    QVERIFY(!engine->isEnabled());
    ok();
    QCOMPARE(stored(QStringLiteral("EnableSpeech")).toInt(), 0);

    // With an engine the check box is the user's again, and the engine button follows it.
    int opened = 0;
    m_form->setSpeechWindowOpener([&opened] { ++opened; });
    m_speech = true;
    open();
    QVERIFY(speech->isEnabled());
    QVERIFY(!engine->isEnabled());
    click("chkEnableSpeech");
    QVERIFY(engine->isEnabled());
    click("btnSpeechEngine");
    QCOMPARE(opened, 1);
    click("chkEnableSpeech");
    QVERIFY(!engine->isEnabled());
    cancel();
}

void TestOptions::ringSoundChoice_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<bool>("create");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("wave file") << "Ring/Two Tone.wav" << true << true;
    QTest::newRow("other extension") << "Ring/tone.mp3" << true << false;
    QTest::newRow("upper-case extension") << "Ring/TONE.WAV" << true << false;
    QTest::newRow("missing file") << "Ring/gone.wav" << false << false;
}

void TestOptions::ringSoundChoice()
{
    QFETCH(QString, chosen);
    QFETCH(bool, create);
    QFETCH(bool, accepted);

    const QString present = makeWave(QStringLiteral("Old/ring.wav"));
    store(QStringLiteral("PhoneRingWave"), present);
    m_form->LoadSettings();
    open();
    const QString file = testsupport::testDataDir() + chosen;
    if (create)
        makeWave(chosen);

    // Cancelling the dialog keeps the present sound.
    m_nextFile.clear();
    click("btnChooseSound");
    QCOMPARE(m_fileDialogFolders.value(0), testsupport::testDataDir() + QStringLiteral("Old"));
    QCOMPARE(labelText("lblPhoneRingSound"), present);

    m_nextFile = file;
    click("btnChooseSound");
    QCOMPARE(labelText("lblPhoneRingSound"), accepted ? file : QString());
    QCOMPARE(control<QPushButton>("btnTestSound")->isEnabled(), accepted);

    // Without a present sound the dialog starts in the program folder.
    if (!accepted) {
        click("btnChooseSound");
        QCOMPARE(m_fileDialogFolders.last(), testsupport::testDataDir());
    }
    cancel();
}

void TestOptions::testButtonsPlayTheShownSound()
{
    const QString ring = makeWave(QStringLiteral("ring.wav"));
    const QString bell = makeWave(QStringLiteral("Group/bell.wav"));
    store(QStringLiteral("PhoneRingWave"), ring);
    writeGroups({{QStringLiteral("Posao"), bell}});
    m_form->LoadSettings();
    open();
    control<QTabWidget>("PageControl")->setCurrentIndex(TfrmOptions::PageSound);
    click("btnTestSound");
    click("btnTestGroupSound");
    QCOMPARE(m_played, (QStringList{ring, bell}));
    cancel();
}

void TestOptions::autostartEntryFollowsTheCheckBox()
{
    // The first start wrote the defaults, with the entry on.
    QVERIFY(Autostart::isEnabled());
    const QByteArray entry = testsupport::readFile(Autostart::entryPath());
    QVERIFY2(entry.contains("Exec=" + Autostart::execLine(m_settings->programPath()).toUtf8()),
             entry.constData());

    open();
    click("chkWindowsStart");
    ok();
    QVERIFY(!QFile::exists(Autostart::entryPath()));
    QCOMPARE(stored(QStringLiteral("RunOnStartup")).toInt(), 0);

    // Saving again with the entry already gone is no failure.
    open();
    ok();
    QVERIFY(!QFile::exists(Autostart::entryPath()));
    QVERIFY(m_messages.isEmpty());

    open();
    click("chkWindowsStart");
    ok();
    QVERIFY(Autostart::isEnabled());
}

void TestOptions::languageChangeIsAnnouncedOnce()
{
    const QString path = m_settings->programPath();
    const QString text = QStringLiteral("Jezik je promjenjen!\n\nPotrebno je program zatvoriti, te ga ponovo "
                                        "pokrenuti. Tek\nće tada ova promjena imati efekta.");
    store(QStringLiteral("Language"), 1);
    m_form->LoadSettings();
    open();
    control<QTabWidget>("PageControl")->setCurrentIndex(TfrmOptions::PageLanguage);
    control<QComboBox>("cbLanguage")->setCurrentIndex(0);
    ok();
    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(m_messages[0].caption, QStringLiteral("Informacija"));
    QCOMPARE(m_messages[0].text, text);
    QCOMPARE(Settings::languageOverride(path), QStringLiteral("ENU"));
    QCOMPARE(stored(QStringLiteral("Language")).toInt(), 0);
    QCOMPARE(m_settings->languageIndex(), 0);

    // Nothing changed: no message, and cancelling a change says nothing either.
    open();
    ok();
    open();
    control<QComboBox>("cbLanguage")->setCurrentIndex(1);
    cancel();
    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(Settings::languageOverride(path), QStringLiteral("ENU"));

    open();
    control<QComboBox>("cbLanguage")->setCurrentIndex(1);
    ok();
    QCOMPARE(m_messages.size(), 2);
    QCOMPARE(Settings::languageOverride(path), QString());
    QVERIFY(!Settings::overrideSelectsEnglish(path));
}

void TestOptions::groupSoundIsStoredAtOnce()
{
    const QString bell = makeWave(QStringLiteral("Zvuk/bell.wav"));
    writeGroups({{QStringLiteral("Posao"), QString()},
                 {QStringLiteral("Obitelj"), QString()},
                 {QStringLiteral("Prijatelji"), QString()}});
    const QString groupsFile = testsupport::testDataDir() + QLatin1String(kGroupsFileName);

    open();
    control<QTabWidget>("PageControl")->setCurrentIndex(TfrmOptions::PageSound);
    auto *tree = control<QTreeWidget>("tvGroupSound");
    QCOMPARE(tree->topLevelItemCount(), 3);
    QCOMPARE(tree->topLevelItem(0)->text(0), QStringLiteral("Obitelj"));
    QCOMPARE(tree->currentItem()->text(0), QStringLiteral("Obitelj"));
    QVERIFY(control<QPushButton>("btnChooseGroupSound")->isEnabled());
    QVERIFY(!control<QPushButton>("btnDeleteGroupSound")->isEnabled());
    QVERIFY(!control<QPushButton>("btnTestGroupSound")->isEnabled());

    // A file that is no wave file changes nothing.
    tree->setCurrentItem(tree->findItems(QStringLiteral("Posao"), Qt::MatchExactly).first());
    const QByteArray before = testsupport::readFile(groupsFile);
    m_nextFile = testsupport::testDataDir() + QStringLiteral("song.mp3");
    testsupport::writeFile(m_nextFile, "ID3");
    click("btnChooseGroupSound");
    QCOMPARE(testsupport::readFile(groupsFile), before);

    m_nextFile = bell;
    click("btnChooseGroupSound");
    // The group's record moved to the end of the file with its new sound.
    const QByteArray expected = EncodeFileRec(AGroups{QStringLiteral("Obitelj"), QString()}) +
                                EncodeFileRec(AGroups{QStringLiteral("Prijatelji"), QString()}) +
                                EncodeFileRec(AGroups{QStringLiteral("Posao"), bell});
    QCOMPARE(testsupport::readFile(groupsFile), expected);
    QCOMPARE(tree->currentItem()->text(0), QStringLiteral("Posao"));
    QCOMPARE(labelText("lblGroupSound"), bell);
    QVERIFY(control<QPushButton>("btnDeleteGroupSound")->isEnabled());
    QVERIFY(control<QPushButton>("btnTestGroupSound")->isEnabled());

    // Cancel of the window does not take it back.
    cancel();
    QCOMPARE(testsupport::readFile(groupsFile), expected);
}

void TestOptions::groupSoundDeletionAsksFirst()
{
    const QString bell = makeWave(QStringLiteral("bell.wav"));
    writeGroups({{QStringLiteral("Posao"), bell}, {QStringLiteral("Obitelj"), QString()}});
    const QString groupsFile = testsupport::testDataDir() + QLatin1String(kGroupsFileName);
    const QByteArray before = testsupport::readFile(groupsFile);

    open();
    auto *tree = control<QTreeWidget>("tvGroupSound");
    tree->setCurrentItem(tree->findItems(QStringLiteral("Posao"), Qt::MatchExactly).first());
    QVERIFY(control<QPushButton>("btnDeleteGroupSound")->isEnabled());

    m_answer = QMessageBox::No;
    click("btnDeleteGroupSound");
    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(m_messages[0].caption, QStringLiteral("Potvrda"));
    QCOMPARE(m_messages[0].text, QStringLiteral("Da li stvarno želiš obrisati zvuk grupe?"));
    QCOMPARE(testsupport::readFile(groupsFile), before);

    m_answer = QMessageBox::Yes;
    click("btnDeleteGroupSound");
    QCOMPARE(testsupport::readFile(groupsFile),
             EncodeFileRec(AGroups{QStringLiteral("Obitelj"), QString()}) +
                 EncodeFileRec(AGroups{QStringLiteral("Posao"), QString()}));
    QCOMPARE(tree->currentItem()->text(0), QStringLiteral("Posao"));
    QCOMPARE(labelText("lblGroupSound"), QString());
    QVERIFY(!control<QPushButton>("btnDeleteGroupSound")->isEnabled());
    QVERIFY(!control<QPushButton>("btnTestGroupSound")->isEnabled());
    cancel();
}

void TestOptions::switchesWithoutRulesAreTurnedOff_data()
{
    QTest::addColumn<QString>("switchValue");
    QTest::addColumn<QString>("rule");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("text");
    QTest::newRow("do not disturb") << "DoNotDisturb"
                                    << "chkDontShowBlocked"
                                    << "Ne smetaj!"
                                    << "Opcija 'Ne smetaj!' je isključena!";
    QTest::newRow("reject") << "AutoReject"
                            << "chkRejectBlackList"
                            << "Odbij!"
                            << "Opcija 'Odbij!' je isključena!";
}

void TestOptions::switchesWithoutRulesAreTurnedOff()
{
    QFETCH(QString, switchValue);
    QFETCH(QString, rule);
    QFETCH(QString, caption);
    QFETCH(QString, text);

    // With a rule to apply the switch stays on.
    store(switchValue, 1);
    store(QString::fromLatin1(rule == QLatin1String("chkDontShowBlocked") ? "DontDisplayBlocked"
                                                                          : "AutoRejectBlackList"),
          1);
    m_form->LoadSettings();
    open();
    ok();
    QVERIFY(m_messages.isEmpty());
    QCOMPARE(stored(switchValue).toInt(), 1);

    // The last rule unchecked: the switch goes off and the user is told, after the window is gone.
    open();
    control<QTabWidget>("PageControl")->setCurrentIndex(TfrmOptions::PageUnwanted);
    click(rule.toLatin1());
    bool hiddenFirst = false;
    m_form->setMessageDialog(
        [&](const QString &c, const QString &t, QMessageBox::Icon, QMessageBox::StandardButtons) {
            hiddenFirst = !m_form->isVisible();
            m_messages.append({c, t});
            return QMessageBox::Ok;
        });
    ok();
    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(m_messages[0].caption, caption);
    QCOMPARE(m_messages[0].text, text);
    QVERIFY(hiddenFirst);
    QCOMPARE(stored(switchValue).toInt(), 0);
}

void TestOptions::formatPreviewsFollowThePatterns_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("initial");
    QTest::addColumn<QString>("preview");
    QTest::newRow("5 digits") << 1 << "x-xx-xx"
                              << "12-345"
                              << "1-23-45";
    QTest::newRow("8 digits") << 4 << "(x) xxx-xxxx"
                              << "1234-5678"
                              << "(1) 234-5678";
    QTest::newRow("12 digits") << 8 << "+xx (xx) x xxx xxxx"
                               << "+123 (45) 678-9012"
                               << "+12 (34) 5 678 9012";
    QTest::newRow("13 digits typed") << 9 << "xxxx.xxxx.xxxxx"
                                     << "(123) 456-7890123"
                                     << "1234.5678.90123";
}

void TestOptions::formatPreviewsFollowThePatterns()
{
    QFETCH(int, row);
    QFETCH(QString, pattern);
    QFETCH(QString, initial);
    QFETCH(QString, preview);
    const QByteArray combo = "cbFormat" + QByteArray::number(row);
    const QByteArray edit = "editFormated" + QByteArray::number(row);

    open();
    control<QTabWidget>("PageControl")->setCurrentIndex(TfrmOptions::PageFormat);
    QCOMPARE(control<QLineEdit>(edit)->text(), initial);
    auto *box = control<QComboBox>(combo);
    const int item = box->findText(pattern);
    if (item >= 0) {
        box->setCurrentIndex(item);
    } else {
        box->lineEdit()->selectAll();
        QTest::keyClicks(box->lineEdit(), pattern);
    }
    QCOMPARE(control<QLineEdit>(edit)->text(), preview);
    cancel();
    QCOMPARE(control<QLineEdit>(edit)->text(), initial);
}

QTEST_MAIN(TestOptions)
#include "tst_options.moc"

// The options window driven as a user drives it: clicks and keys on the real window, results
// read back from the settings file, the autostart entry, the groups file and the dialogs it
// raised.

#include "TestSupport.h"
#include "UiTestSupport.h"

#include "platform/Autostart.h"
#include "settings/Settings.h"
#include "store/AddressBook.h"
#include "store/FileRecords.h"
#include "ui/TfrmOptions.h"
#include "widgets/ShowMessageDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <memory>

using namespace Qt::Literals::StringLiterals;
using uitest::makeWave;

namespace {

QVariant stored(const QString &name)
{
    return QSettings(u"Kavelink"_s, u"Tellwise Monitor"_s).value(u"Settings/"_s + name);
}

void store(const QString &name, const QVariant &value)
{
    QSettings(u"Kavelink"_s, u"Tellwise Monitor"_s).setValue(u"Settings/"_s + name, value);
}

} // namespace

class TestOptions : public QObject
{
    Q_OBJECT

    std::unique_ptr<Settings> m_settings;
    std::unique_ptr<AddressBook> m_book;
    std::unique_ptr<TfrmOptions> m_form;
    QString m_nextFile;
    QStringList m_fileDialogFolders;
    QStringList m_played;
    bool m_speech = false;

    template <typename T = QWidget> T *control(const char *name)
    {
        T *widget = m_form->findChild<T *>(QLatin1String(name));
        if (!widget)
            qFatal("no control %s", name);
        return widget;
    }
    void open()
    {
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    }
    void showPage(int page) { control<QTabWidget>("PageControl")->setCurrentIndex(page); }
    // Brings up the page that holds the control NAME.
    void showPageOf(const char *name)
    {
        auto *tabs = control<QTabWidget>("PageControl");
        for (int i = 0; i < tabs->count(); ++i)
            if (tabs->widget(i)->isAncestorOf(control(name)))
                tabs->setCurrentIndex(i);
        QCoreApplication::processEvents();
    }
    // The groups file holds GROUPS, and the address book has read it.
    void writeGroups(const QList<AGroups> &groups)
    {
        TGroupList list;
        for (const AGroups &g : groups)
            list.append(g);
        QVERIFY(SaveGroups(testsupport::testDataDir(), list));
        QVERIFY(m_book->load());
    }
    // The sound labels run their text when it is long; what they hold is their text property.
    QString labelText(const char *name) { return control(name)->property("text").toString(); }
    void ok() { QTest::mouseClick(control<QPushButton>("btnSave"), Qt::LeftButton); }
    void cancel() { QTest::mouseClick(control<QPushButton>("btnCancel"), Qt::LeftButton); }
    void click(const char *name)
    {
        QTest::mouseClick(control<QAbstractButton>(name), Qt::LeftButton, {}, QPoint(6, 6));
    }
    // The sound the groups file holds for GROUP, read as another program would.
    QString storedGroupSound(const QString &group) const
    {
        AddressBook reader(testsupport::testDataDir(), FileAccess::ReadOnly);
        if (reader.load())
            for (const AGroups &g : reader.groups())
                if (g.GroupName == group)
                    return g.GroupSound;
        return u"(none)"_s;
    }

private slots:
    void init()
    {
        // A clean account each time: no settings, no autostart entry, no groups.
        QFile::remove(QSettings(u"Kavelink"_s, u"Tellwise Monitor"_s).fileName());
        Autostart::disable();
        m_book = std::make_unique<AddressBook>(testsupport::testDataDir());
        writeGroups({});
        MessageDialogHook::clear();
        m_played.clear();
        m_fileDialogFolders.clear();
        m_speech = false;

        m_settings = std::make_unique<Settings>();
        m_settings->setProgramPath(u"/opt/Tellwise/bin/tellwise-monitor"_s);
        m_form = std::make_unique<TfrmOptions>(*m_settings, *m_book);
        m_form->setOpenFileDialog([this](const QString &, const QString &folder, const QString &) {
            m_fileDialogFolders.append(folder);
            return m_nextFile;
        });
        m_form->setSoundPlayer([this](const QString &file) { m_played.append(file); });
        m_form->setModemLister([] { return QList<telephony::LineInfo>{{.name = u"Modem A"_s}, {.name = u"Modem B"_s}}; });
        m_form->setSpeechAvailable([this] { return m_speech; });

        // Start-up: the first load writes the defaults.
        m_form->LoadSettings();
        m_form->ApplyLoadedSettings();
    }

    void cleanup()
    {
        m_form.reset();
        m_book.reset();
        m_settings.reset();
        QCOMPARE(MessageDialogHook::pendingAnswers(), 0);
    }

    // OK stores what the controls show; Cancel shows the stored state again. Check boxes are
    // checked against the values they stand for; the sound box sets its switch at once.
    void controlsSaveOnOkAndComeBackOnCancel()
    {
        const QList<std::pair<const char *, const char *>> boxes = {{"chkWindowsStart", "RunOnStartup"},
                                                                    {"chkSystemTray", "HideInTray"},
                                                                    {"chkConfimDelete", "ConfirmDelete"},
                                                                    {"chkRejectBlocked", "AutoRejectBlocked"},
                                                                    {"chkEnableSound", "EnableSound"}};
        const QString ring = makeWave(u"Sounds/Bell.wav"_s);
        open();
        // Nothing chosen yet on a clean account: the list offers the lines but selects none.
        auto *devices = control<QComboBox>("cbDevices");
        QCOMPARE(devices->count(), 2);
        QCOMPARE(devices->currentIndex(), -1);

        // Typing into the close time does nothing; only the arrows move it, in steps of five.
        QTest::keyClicks(control<QLineEdit>("editCIDCloseTime"), u"9"_s);
        QTest::keyClick(control<QSpinBox>("udCIDCloseTime"), Qt::Key_Up);
        devices->setCurrentIndex(1);
        showPage(TfrmOptions::PageCalls);
        click("rbKeepOnly");
        QTest::keyClick(control<QSpinBox>("udKeepCalls"), Qt::Key_Up);
        control<QComboBox>("cbHowToFormat")->setCurrentIndex(0);
        showPage(TfrmOptions::PageSound);
        m_nextFile = ring;
        click("btnChooseSound");
        control<QComboBox>("cbFormat9")->setEditText(u"xxx xxx xxx xxxx"_s);
        QList<bool> initial;
        for (const auto &[box, value] : boxes) {
            showPageOf(box);
            initial << control<QCheckBox>(box)->isChecked();
            click(box);
        }
        ok();
        QVERIFY(!m_form->isVisible());
        const QList<std::pair<const char *, QVariant>> saved = {
            {"AutoCloseCIDValue", 35}, {"DeviceName", u"Modem B"_s},
            {"DeviceType", 0},         {"KeepCalls", 1},
            {"KeepDays", 12},          {"HowToFormat", 0},
            {"PhoneRingWave", ring},   {"FormatString9", u"xxx xxx xxx xxxx"_s}};
        for (const auto &[name, value] : saved)
            QVERIFY2(stored(QLatin1String(name)).toString() == value.toString(), name);
        for (qsizetype i = 0; i < boxes.size(); ++i)
            QVERIFY2(stored(QLatin1String(boxes[i].second)).toBool() == !initial[i], boxes[i].second);
        QCOMPARE(QFile::exists(Autostart::entryPath()), !initial[0]);

        // Change everything again and cancel: every control shows the stored state once more.
        open();
        QTest::keyClick(control<QSpinBox>("udCIDCloseTime"), Qt::Key_Down);
        devices->setCurrentIndex(0);
        click("rbKeepAll");
        control<QComboBox>("cbHowToFormat")->setCurrentIndex(2);
        m_nextFile = makeWave(u"Sounds/Other.wav"_s);
        click("btnChooseSound");
        control<QComboBox>("cbFormat9")->setEditText(u"x"_s);
        for (const auto &[box, value] : boxes) {
            showPageOf(box);
            click(box);
        }
        QCOMPARE(m_settings->flag(Settings::EnableSound), initial[4]);
        cancel();
        const QStringList shown = {QString::number(control<QSpinBox>("udCIDCloseTime")->value()),
                                   devices->currentText(),
                                   QString::number(control<QRadioButton>("rbKeepOnly")->isChecked()),
                                   QString::number(control<QComboBox>("cbHowToFormat")->currentIndex()),
                                   labelText("lblPhoneRingSound"),
                                   control<QComboBox>("cbFormat9")->currentText()};
        QCOMPARE(shown, (QStringList{"35", "Modem B", "1", "0", ring, "xxx xxx xxx xxxx"}));
        for (qsizetype i = 0; i < boxes.size(); ++i) {
            QVERIFY2(control<QCheckBox>(boxes[i].first)->isChecked() == !initial[i], boxes[i].first);
            QVERIFY2(stored(QLatin1String(boxes[i].second)).toBool() == !initial[i], boxes[i].second);
        }
        QCOMPARE(m_settings->flag(Settings::EnableSound), !initial[4]);

        // A stored device that is gone leaves no selection.
        store(u"DeviceName"_s, u"Modem C"_s);
        m_form->LoadSettings();
        QCOMPARE(control<QComboBox>("cbDevices")->currentText(), QString());
    }

    void speechControlsWithoutAnEngine()
    {
        // Stored on, but with no engine there is nothing to switch on.
        QCOMPARE(stored(u"EnableSpeech"_s).toInt(), 1);
        open();
        showPage(TfrmOptions::PageSound);
        auto *speech = control<QCheckBox>("chkEnableSpeech");
        QVERIFY(!speech->isEnabled() && !speech->isChecked() && !control("btnSpeechEngine")->isEnabled());
        ok();
        QCOMPARE(stored(u"EnableSpeech"_s).toInt(), 0);

        // With an engine the check box is the user's again.
        int opened = 0;
        m_form->setSpeechWindowOpener([&opened] { ++opened; });
        m_speech = true;
        open();
        click("chkEnableSpeech");
        click("btnSpeechEngine");
        QCOMPARE(opened, 1);
        cancel();
    }

    // Which files count as wave files is the sound player's rule; here what the window does with them.
    void ringSoundChoice()
    {
        const QString present = makeWave(u"Old/ring.wav"_s);
        store(u"PhoneRingWave"_s, present);
        m_form->LoadSettings();
        open();

        // Cancelling the dialog keeps the present sound; the dialog starts in its folder.
        m_nextFile.clear();
        click("btnChooseSound");
        QCOMPARE(m_fileDialogFolders.value(0), testsupport::testDataDir() + u"Old"_s);
        QCOMPARE(labelText("lblPhoneRingSound"), present);

        m_nextFile = makeWave(u"Ring/Two Tone.wav"_s);
        click("btnChooseSound");
        QCOMPARE(labelText("lblPhoneRingSound"), m_nextFile);
        click("btnTestSound");
        QCOMPARE(m_played, QStringList{m_nextFile});

        // A file that is no sound empties the choice, and Test has nothing to play.
        m_nextFile = testsupport::testDataDir() + u"Ring/gone.wav"_s;
        click("btnChooseSound");
        QCOMPARE(labelText("lblPhoneRingSound"), QString());
        click("btnTestSound");
        QCOMPARE(m_played.size(), 1);
        cancel();
    }

    void languageChangeIsAnnouncedOnce()
    {
        const QString path = m_settings->programPath();
        store(u"Language"_s, 1);
        m_form->LoadSettings();
        open();
        showPage(TfrmOptions::PageLanguage);
        control<QComboBox>("cbLanguage")->setCurrentIndex(0);
        MessageDialogHook::setNextAnswer(QMessageBox::Ok);
        ok();
        QCOMPARE(MessageDialogHook::takeAnswered().size(), 1);
        QCOMPARE(Settings::languageOverride(path), u"ENU"_s);
        QCOMPARE(stored(u"Language"_s).toInt(), 0);
        // The language is in force at once, not only after the next start.
        QCOMPARE(m_settings->languageIndex(), 0);

        // Nothing changed: no message; back to Croatian drops the override.
        open();
        ok();
        QVERIFY(MessageDialogHook::takeAnswered().isEmpty());
        open();
        control<QComboBox>("cbLanguage")->setCurrentIndex(1);
        MessageDialogHook::setNextAnswer(QMessageBox::Ok);
        ok();
        QCOMPARE(MessageDialogHook::takeAnswered().size(), 1);
        QVERIFY(!Settings::overrideSelectsEnglish(path));
    }

    // A group's sound is stored at once, whatever the window's OK or Cancel.
    void groupSounds()
    {
        const QString bell = makeWave(u"Zvuk/bell.wav"_s);
        writeGroups({{u"Posao"_s, QString()}, {u"Obitelj"_s, QString()}, {u"Prijatelji"_s, QString()}});
        open();
        showPage(TfrmOptions::PageSound);
        auto *tree = control<QTreeWidget>("tvGroupSound");
        QCOMPARE(tree->currentItem()->text(0), u"Obitelj"_s); // sorted, first selected
        tree->setCurrentItem(tree->findItems(u"Posao"_s, Qt::MatchExactly).first());
        m_nextFile = bell;
        click("btnChooseGroupSound");
        QCOMPARE(storedGroupSound(u"Posao"_s), bell);
        QCOMPARE(tree->currentItem()->text(0), u"Posao"_s);
        QCOMPARE(labelText("lblGroupSound"), bell);
        click("btnTestGroupSound");
        QCOMPARE(m_played, QStringList{bell});
        cancel();

        // Deleting the sound asks first.
        open();
        tree->setCurrentItem(tree->findItems(u"Posao"_s, Qt::MatchExactly).first());
        MessageDialogHook::setNextAnswer(QMessageBox::No);
        click("btnDeleteGroupSound");
        QCOMPARE(storedGroupSound(u"Posao"_s), bell);
        MessageDialogHook::setNextAnswer(QMessageBox::Yes);
        click("btnDeleteGroupSound");
        QCOMPARE(MessageDialogHook::takeAnswered().size(), 2);
        QCOMPARE(storedGroupSound(u"Posao"_s), QString());
        QCOMPARE(labelText("lblGroupSound"), QString());
        cancel();
    }

    // The last rule of a switch unchecked: the switch goes off and the user is told, after the
    // window is gone.
    void switchesWithoutRulesAreTurnedOff()
    {
        store(u"AutoReject"_s, 1);
        store(u"AutoRejectBlackList"_s, 1);
        m_form->LoadSettings();
        open();
        showPage(TfrmOptions::PageUnwanted);
        click("chkRejectBlackList");
        // A real message box: what the screen shows while it is open.
        QStringList told;
        QTimer::singleShot(0, this, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            told << box->text() << (m_form->isVisible() ? u"window shown"_s : u"window gone"_s);
            box->button(QMessageBox::Ok)->click();
        });
        ok();
        QCOMPARE(told, (QStringList{u"Opcija 'Odbij!' je isključena!"_s, u"window gone"_s}));
        QCOMPARE(stored(u"AutoReject"_s).toInt(), 0);
    }
};

QTEST_MAIN(TestOptions)
#include "tst_options.moc"

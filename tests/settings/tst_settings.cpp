#include "settings/Settings.h"

#include "TestSupport.h"
#include "platform/Autostart.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>

// The settings as they land in the user's settings file, read back from the file itself.
namespace {

const QString kProgram = QStringLiteral("/opt/Tellwise Monitor/bin/tellwise-monitor");

QString settingsFile()
{
    return qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Kavelink/Tellwise Monitor.conf");
}

// The [Settings] section as "Name=value" lines, each value as the file holds it.
QStringList settingsLines()
{
    QSettings file(settingsFile(), QSettings::IniFormat);
    file.beginGroup(QStringLiteral("Settings"));
    QStringList lines;
    for (const QString &key : file.childKeys())
        lines << key + QLatin1Char('=') + file.value(key).toString();
    return lines;
}

// Writes one value into the settings file as another program (or a hand edit) would; an
// invalid VALUE removes it.
void putRaw(const QString &name, const QVariant &value)
{
    QSettings file(QStringLiteral("Kavelink"), QStringLiteral("Tellwise Monitor"));
    if (value.isValid())
        file.setValue(QStringLiteral("Settings/") + name, value);
    else
        file.remove(QStringLiteral("Settings/") + name);
}

std::unique_ptr<Settings> freshSettings()
{
    auto s = std::make_unique<Settings>();
    s->setProgramPath(kProgram);
    return s;
}

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QFile::remove(settingsFile());
        QFile::remove(Autostart::entryPath());
    }

    // The first start saves every value but the unchosen speech generation, once, with the
    // language the desktop's locale chose, and creates the autostart entry.
    void firstStartWritesTheDefaults()
    {
        Settings::chooseFirstLanguage(kProgram, QLocale(QLocale::German, QLocale::Austria));
        QCOMPARE(Settings::languageOverride(kProgram), QStringLiteral("ENU"));
        auto s = freshSettings();
        s->SyncLanguageValue();
        QVERIFY(!s->keyExists());    // nothing written before the first save
        QVERIFY(!s->LoadSettings()); // nothing to load: the defaults are saved instead
        QVERIFY(s->keyExists());
        const QStringList lines = settingsLines();
        QCOMPARE(lines.size(), Settings::kKeyCount - 1);
        QVERIFY(!lines.join(QLatin1Char('\n')).contains(QLatin1String("SapiVersion")));
        QVERIFY(lines.contains(QStringLiteral("FormatString9=(xxx) xxx-xxxxxxx")));
        QVERIFY(lines.contains(QStringLiteral("Language=0")));
        QCOMPARE(s->languageIndex(), 0);
        // Once settings exist, the locale no longer decides; a Croatian desktop starts Croatian.
        Settings::chooseFirstLanguage(kProgram, QLocale(QLocale::Croatian));
        QCOMPARE(Settings::languageOverride(kProgram), QStringLiteral("ENU"));
        QFile::remove(settingsFile());
        Settings::chooseFirstLanguage(kProgram, QLocale(QLocale::Croatian, QLocale::Croatia));
        auto hr = freshSettings();
        QVERIFY(!hr->LoadSettings());
        QCOMPARE(hr->languageIndex(), 1);
        QVERIFY(settingsLines().contains(QStringLiteral("Language=1")));
        QVERIFY(testsupport::readFile(Autostart::entryPath())
                    .contains("\nExec=\"/opt/Tellwise Monitor/bin/tellwise-monitor\"\n"));
        testsupport::writeFile(settingsFile(), "[Settings]\nHideInTray=1\n");
        Settings::chooseFirstLanguage(kProgram, QLocale(QLocale::English));
        QCOMPARE(Settings::languageOverride(kProgram), QStringLiteral("ENU"));
    }

    void everyValueSurvivesSaveAndLoad()
    {
        QVERIFY(freshSettings()->SaveSettings()); // the defaults, with the autostart entry
        auto written = freshSettings();
        for (int k = 0; k < Settings::kKeyCount; ++k) {
            const auto key = Settings::Key(k);
            switch (Settings::kind(key)) {
            case Settings::Kind::Bool:
                written->setFlag(key, !written->flag(key));
                break;
            case Settings::Kind::Int:
                // every number has 1 among its choices, and 1 differs from each default but
                // the smallest timeouts, which clamp to their lower end (5)
                written->setNumber(key, key == Settings::AutoCloseCIDValue ? 45
                                        : key == Settings::KeepDays        ? 90
                                                                           : 1);
                break;
            case Settings::Kind::Text:
                written->setText(key, Settings::name(key) + QStringLiteral(" čšž, \"x\" ; =%"));
                break;
            }
            QVERIFY2(written->value(key) != written->defaultValue(key), qPrintable(Settings::name(key)));
        }
        QVERIFY(written->SaveSettings());

        auto read = freshSettings();
        QVERIFY(read->LoadSettings());
        for (int k = 0; k < Settings::kKeyCount; ++k) {
            const auto key = Settings::Key(k);
            QVERIFY2(read->value(key) == written->value(key), qPrintable(Settings::name(key)));
        }
        QCOMPARE(read->currentDeviceName(), written->text(Settings::DeviceName));
        QCOMPARE(read->languageIndex(), 1);
        QVERIFY(!QFile::exists(Autostart::entryPath())); // RunOnStartup was switched off: it went

        // An unchosen speech generation leaves the stored one.
        read->setNumber(Settings::SapiVersion, Settings::kNoSapi);
        QVERIFY(read->SaveSettings());
        QVERIFY(settingsLines().contains(QStringLiteral("SapiVersion=1")));
    }

    void storedValueIsRead_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QVariant>("before"); // the value in memory when loading
        QTest::addColumn<QVariant>("stored"); // what the file holds; invalid = no value
        QTest::addColumn<QVariant>("expected");
        auto row = [](const char *name, Settings::Key key, const QVariant &before, const QVariant &stored,
                      const QVariant &expected) {
            QTest::newRow(name) << int(key) << before << stored << expected;
        };
        using S = Settings;
        row("missing flag: default", S::DoNotDisturb, true, {}, false);
        row("flag 2 is on", S::DoNotDisturb, false, "2", true);
        row("flag as word: default", S::AutoReject, true, "true", false);
        row("seconds above range", S::AutoCloseCIDValue, 60, "1000", 300);
        row("device type 7 changes nothing", S::DeviceType, 1, "7", 1);
        row("speech generation missing changes nothing", S::SapiVersion, 1, {}, 1);
        row("empty device name stays empty", S::DeviceName, "Modem A", "", "");
        // Typed by hand without quotes, a comma makes the value a list: "(xx) xxx, xxxx".
        row("hand-typed comma in a pattern", S::FormatString5, "x", QStringList{"(xx) xxx", "xxxx"},
            "(xx) xxx, xxxx");
    }

    void storedValueIsRead()
    {
        QFETCH(int, key);
        QFETCH(QVariant, before);
        QFETCH(QVariant, stored);
        QFETCH(QVariant, expected);
        const auto k = Settings::Key(key);
        auto s = freshSettings();
        QVERIFY(s->SaveSettings());
        QVERIFY(s->setValue(k, before));
        QCOMPARE(s->value(k), before);
        putRaw(Settings::name(k), stored);
        QVERIFY(s->LoadSettings());
        QCOMPARE(s->value(k), expected);
    }

    // A folder where the autostart entry cannot be made never stops the save.
    void blockedAutostartFolderDoesNotStopTheSave()
    {
        const QString folder = qEnvironmentVariable("XDG_CONFIG_HOME") + "/autostart";
        QDir(folder).removeRecursively();
        testsupport::writeFile(folder, "blocked");
        auto s = freshSettings();
        s->setNumber(Settings::KeepDays, 20);
        QVERIFY(s->SaveSettings());
        QVERIFY(settingsLines().contains(QStringLiteral("KeepDays=20")));
        QFile::remove(folder);
    }

    // A change is announced once; a load announces exactly the values that differ from memory.
    // The device in use is the one saved or loaded, not one only chosen.
    void changesAreAnnouncedAndTheDeviceIsTheSavedOne()
    {
        auto s = freshSettings();
        s->setText(Settings::DeviceName, QStringLiteral("ISDN Adapter #2"));
        QCOMPARE(s->currentDeviceName(), QString());
        QVERIFY(s->SaveSettings());
        QCOMPARE(s->currentDeviceName(), QStringLiteral("ISDN Adapter #2"));
        QSignalSpy changed(s.get(), &Settings::valueChanged);
        s->setFlag(Settings::EnableSound, true); // already on
        QCOMPARE(changed.size(), 0);
        s->setFlag(Settings::EnableSound, false);
        QCOMPARE(changed.size(), 1);

        changed.clear();
        putRaw(QStringLiteral("KeepDays"), 30);
        putRaw(QStringLiteral("DeviceName"), QStringLiteral("Modem B"));
        QVERIFY(s->LoadSettings());
        QCOMPARE(s->currentDeviceName(), QStringLiteral("Modem B"));
        QSet<Settings::Key> keys;
        for (const QList<QVariant> &signal : std::as_const(changed))
            keys << signal.at(0).value<Settings::Key>();
        QCOMPARE(changed.size(), 3);
        QCOMPARE(keys,
                 (QSet<Settings::Key>{Settings::EnableSound, Settings::KeepDays, Settings::DeviceName}));
    }

    void languageFollowsTheOverride_data()
    {
        QTest::addColumn<QString>("override");
        QTest::addColumn<int>("language");
        QTest::addColumn<bool>("english");
        QTest::newRow("no entry: Croatian") << QString() << 1 << false;
        QTest::newRow("ENU: English") << "ENU" << 0 << true;
        QTest::newRow("another module") << "DEU" << 0 << false;
    }

    // The override is kept per program path, as one value each.
    void languageFollowsTheOverride()
    {
        QFETCH(QString, override);
        QFETCH(int, language);
        QFETCH(bool, english);
        const QString other = QStringLiteral("/home/ana/tellwise copy/tellwise-monitor");
        QVERIFY(Settings::writeLanguageOverride(other, QStringLiteral("ENU")));
        if (!override.isNull())
            QVERIFY(Settings::writeLanguageOverride(kProgram, override));
        QCOMPARE(Settings::languageOverride(kProgram), override);
        auto s = freshSettings();
        s->setNumber(Settings::Language, 1 - language);
        QVERIFY(s->SaveSettings());
        s->SyncLanguageValue();
        QVERIFY(settingsLines().contains(QStringLiteral("Language=%1").arg(language)));
        QCOMPARE(s->number(Settings::Language), 1 - language); // memory waits for the load
        QVERIFY(s->LoadSettings());
        QCOMPARE(s->languageIndex(), language);
        QCOMPARE(Settings::overrideSelectsEnglish(kProgram), english);
        QSettings file(settingsFile(), QSettings::IniFormat);
        file.beginGroup(QStringLiteral("Locales"));
        QCOMPARE(file.childGroups(), QStringList());
        QCOMPARE(file.childKeys().size(), override.isNull() ? 1 : 2);
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"

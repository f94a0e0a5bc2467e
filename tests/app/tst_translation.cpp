#include "app/TfrmStart.h"
#include "settings/Settings.h"
#include "store/AddressBook.h"
#include "store/CallLog.h"
#include "store/Exports.h"
#include "telephony/ModemConfig.h"
#include "ui/TfrmContact.h"
#include "ui/TfrmOptions.h"
#include "widgets/ShowMessageDialog.h"

#include <QAbstractButton>
#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QStringList>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>
#include <QXmlStreamReader>

#include "TestSupport.h"

#include <memory>

namespace {

const QString kEmbedded = QStringLiteral(":/translations/tellwise_en.qm");

QString tsPath()
{
    return QStringLiteral(TELLWISE_SOURCE_DIR "/resources/translations/tellwise_en.ts");
}

// What must survive translation unchanged: the arguments filled in later, the speech tag the
// program replaces, and the line structure the message boxes and labels rely on.
QStringList markers(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral(R"(%(?:\d+|n|d|s)|<NAME>|\n|<br>)"));
    QStringList found;
    for (const QRegularExpressionMatch &m : pattern.globalMatch(text))
        found << m.captured();
    found.sort();
    return found;
}

struct TsMessage
{
    QString context;
    QString source;
    QStringList translations; // one per plural form, or the single translation
    QString type;             // "unfinished", "vanished", "obsolete" or empty when done
    int line = 0;
};

QList<TsMessage> readTs(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return {};
    }
    QList<TsMessage> messages;
    QXmlStreamReader xml(&file);
    QString context;
    TsMessage current;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            const auto name = xml.name();
            if (name == QLatin1String("name"))
                context = xml.readElementText();
            else if (name == QLatin1String("message"))
                current = TsMessage{context, {}, {}, {}, int(xml.lineNumber())};
            else if (name == QLatin1String("source"))
                current.source = xml.readElementText();
            else if (name == QLatin1String("translation")) {
                current.type = xml.attributes().value(QLatin1String("type")).toString();
                // A plural translation holds its forms as children; a plain one holds text.
                QString text;
                while (!xml.atEnd()) {
                    xml.readNext();
                    if (xml.isCharacters())
                        text += xml.text();
                    else if (xml.isStartElement() && xml.name() == QLatin1String("numerusform"))
                        current.translations << xml.readElementText();
                    else if (xml.isEndElement() && xml.name() == QLatin1String("translation"))
                        break;
                }
                if (current.translations.isEmpty())
                    current.translations << text;
            }
        } else if (xml.isEndElement() && xml.name() == QLatin1String("message")) {
            messages << current;
        }
    }
    if (xml.hasError())
        *error = QStringLiteral("line %1: %2").arg(xml.lineNumber()).arg(xml.errorString());
    return messages;
}

// A process started for the test, killed when the test is done with it.
class Child
{
public:
    ~Child()
    {
        if (process.state() == QProcess::NotRunning)
            return;
        process.terminate();
        if (!process.waitForFinished(10000)) {
            process.kill();
            process.waitForFinished(3000);
        }
    }
    QProcess process;
};

} // namespace

class TstTranslation : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTranslator> m_english;

    void installEnglish()
    {
        m_english = std::make_unique<QTranslator>();
        QVERIFY(m_english->load(kEmbedded));
        QVERIFY(QCoreApplication::installTranslator(m_english.get()));
    }

private slots:
    void cleanup()
    {
        if (m_english)
            QCoreApplication::removeTranslator(m_english.get());
        m_english.reset();
    }

    void englishIsEmbeddedInTheProgram()
    {
        QVERIFY(QFile::exists(kEmbedded));
        QTranslator english;
        QVERIFY(english.load(kEmbedded));
        QCOMPARE(english.language(), QStringLiteral("en_US"));
        QVERIFY(!english.isEmpty());
    }

    void knownTextsBecomeEnglish_data()
    {
        QTest::addColumn<QString>("context");
        QTest::addColumn<QString>("croatian");
        QTest::addColumn<QString>("english");
        auto row = [](const char *context, const char *croatian, const char *english) {
            QTest::addRow("%s: %s", context, english)
                << QString::fromUtf8(context) << QString::fromUtf8(croatian) << QString::fromUtf8(english);
        };
        row("TfrmStart", "Greška", "Error");
        row("TfrmOptions", "Greška", "Error");
        row("DataFiles", "Čitanje datoteke nije uspjelo:", "Could not read the file:");
        row("AddressBook", "Osoba pod tim imenom već postoji!", "A contact with that name already exists!");
        row("Exports", "Datoteku %1 nije moguće zapisati: %2", "Cannot write the file %1: %2");
        // Texts that end up in the data files, in the language in use.
        row("TapiFunc", "< Nepoznat >", "< Unknown >");
        row("TapiFunc", "< Sakriven >", "< Withheld >");
        row("TapiFunc", "< Neidentificiran >", "< Unidentified >");
        row("CallPipeline", "< Sakriven >", "< Withheld >");
        row("TfrmIncomingCall", "Odbij poziv!", "Reject call!");
    }

    void knownTextsBecomeEnglish()
    {
        QFETCH(QString, context);
        QFETCH(QString, croatian);
        QFETCH(QString, english);
        const QByteArray contextBytes = context.toUtf8();
        const QByteArray source = croatian.toUtf8();
        // Without the module the built-in Croatian stays.
        QCOMPARE(QCoreApplication::translate(contextBytes.constData(), source.constData()), croatian);
        installEnglish();
        QCOMPARE(QCoreApplication::translate(contextBytes.constData(), source.constData()), english);
    }

    void callLogPageIsEnglish()
    {
        installEnglish();
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("calls.htm"));
        TCallList calls;
        QVERIFY(ExportCallsHtml(calls, file));
        QByteArray page = testsupport::readFile(file);
        calls.append(ACalls{});
        QVERIFY(ExportCallsHtml(calls, file));
        page += testsupport::readFile(file);
        for (const char *text : {"<title>Tellwise Monitor - Calls</title>", ">Caller<", ">Phone number<",
                                 ">Called number<", ">Date : Time<", ">No data!<", ">Calls: "})
            QVERIFY2(page.contains(text), text);
    }

    void trayMenuAndStatusAreEnglish()
    {
        installEnglish();
        Settings settings;
        AddressBook book{testsupport::testDataDir()};
        CallLog log{testsupport::testDataDir()};
        TfrmStart start(settings, book, log);
        QStringList captions;
        for (QAction *item : start.pmTrayIcon->actions()) {
            if (!item->isSeparator())
                captions << item->text();
        }
        QCOMPARE(captions, (QStringList{QStringLiteral("Address Book"), QStringLiteral("Calls"),
                                        QStringLiteral("Monitor calls"), QStringLiteral("Sound on"),
                                        QStringLiteral("Do not disturb!"), QStringLiteral("Reject!"),
                                        QStringLiteral("Options"), QStringLiteral("About"),
                                        QStringLiteral("Close Tellwise Monitor")}));
        QCOMPARE(LineState::statusWord(LineState::Off), QStringLiteral("Inactive"));
        QCOMPARE(LineState::statusWord(LineState::Monitoring), QStringLiteral("Monitoring calls"));
    }

    void newCallCountsUseEnglishPlurals_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("croatian");
        QTest::addColumn<QString>("english");
        QTest::newRow("0") << 0 << QStringLiteral("Imaš 0 novih poziva!")
                           << QStringLiteral("You have 0 new calls!");
        QTest::newRow("1") << 1 << QStringLiteral("Imaš 1 novi poziv!")
                           << QStringLiteral("You have 1 new call!");
        QTest::newRow("3") << 3 << QStringLiteral("Imaš 3 nova poziva!")
                           << QStringLiteral("You have 3 new calls!");
        QTest::newRow("11") << 11 << QStringLiteral("Imaš 11 novih poziva!")
                            << QStringLiteral("You have 11 new calls!");
        // Croatian says "novi poziv" for 21 like for 1; English must not.
        QTest::newRow("21") << 21 << QStringLiteral("Imaš 21 novi poziv!")
                            << QStringLiteral("You have 21 new calls!");
        QTest::newRow("41") << 41 << QStringLiteral("Imaš 41 novi poziv!")
                            << QStringLiteral("You have 41 new calls!");
    }

    void newCallCountsUseEnglishPlurals()
    {
        QFETCH(int, count);
        QFETCH(QString, croatian);
        QFETCH(QString, english);
        QCOMPARE(TfrmStart::NewCallsText(count), croatian);
        installEnglish();
        QCOMPARE(TfrmStart::NewCallsText(count), english);
    }

    void messageBoxIsEnglishThroughout()
    {
        installEnglish();
        const QString caption = QCoreApplication::translate("TfrmOptions", "Greška");
        const QString text = QCoreApplication::translate("TfrmOptions", "Postavke nije moguće spremiti!");
        // Language index 0 is English: the buttons keep their English captions.
        std::unique_ptr<QMessageBox> box = CreateMessageDialog(
            caption, text, QMessageBox::Critical, QMessageBox::Yes | QMessageBox::No | QMessageBox::Ok, 0);
        QCOMPARE(box->windowTitle(), QStringLiteral("Error"));
        QCOMPARE(box->text(), QStringLiteral("The settings cannot be saved!"));
        QCOMPARE(box->button(QMessageBox::Yes)->text(), QStringLiteral("&Yes"));
        QCOMPARE(box->button(QMessageBox::No)->text(), QStringLiteral("&No"));
        QCOMPARE(box->button(QMessageBox::Ok)->text(), QStringLiteral("OK"));
    }

    void everyMessageIsTranslatedWithItsMarkers()
    {
        QString error;
        const QList<TsMessage> messages = readTs(tsPath(), &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QVERIFY(messages.size() > 100);
        for (const TsMessage &m : messages) {
            const QString where = QStringLiteral("%1 (line %2): %3").arg(m.context).arg(m.line).arg(m.source);
            QVERIFY2(m.type.isEmpty(), qPrintable(m.type + QStringLiteral(" ") + where));
            QVERIFY2(!m.translations.isEmpty(), qPrintable(where));
            for (const QString &translation : m.translations) {
                QVERIFY2(!translation.trimmed().isEmpty(), qPrintable(QStringLiteral("empty: ") + where));
                QVERIFY2(markers(translation) == markers(m.source),
                         qPrintable(QStringLiteral("markers differ: ") + where + QStringLiteral(" -> ") +
                                    translation));
                // Captions padded with spaces line up with their frames; keep the padding.
                QVERIFY2(translation.startsWith(QLatin1Char(' ')) == m.source.startsWith(QLatin1Char(' ')),
                         qPrintable(QStringLiteral("leading space: ") + where));
            }
        }
    }

    void everyCodeTextIsInTheEmbeddedModule()
    {
        // The .ts read back against what the program carries: a .ts edited without a rebuild,
        // or a message the compiler dropped, shows here.
        QString error;
        const QList<TsMessage> messages = readTs(tsPath(), &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QTranslator english;
        QVERIFY(english.load(kEmbedded));
        for (const TsMessage &m : messages) {
            const QByteArray context = m.context.toUtf8();
            const QByteArray source = m.source.toUtf8();
            const bool plural = m.translations.size() > 1;
            const QString got =
                english.translate(context.constData(), source.constData(), nullptr, plural ? 2 : -1);
            const QString expected = plural ? m.translations.last() : m.translations.first();
            QVERIFY2(got == expected,
                     qPrintable(m.context + QStringLiteral(": ") + m.source + QStringLiteral(" -> ") + got));
        }
    }
    void monitorWithEnglishOverrideWritesEnglishTexts()
    {
        // The program as the user starts it, with its language entry set to English: the texts
        // it stores for a caller nobody knows are the English ones.
        const QString program =
            QFileInfo(testsupport::toolPath(QStringLiteral("tellwise-monitor"))).canonicalFilePath();
        QVERIFY(!program.isEmpty());
        QVERIFY(Settings::writeLanguageOverride(program, QStringLiteral("ENU")));

        const QString modems = telephony::ModemConfig::filePath();
        QDir().mkpath(QFileInfo(modems).absolutePath());
        {
            QSettings config(modems, QSettings::IniFormat);
            config.beginGroup(QStringLiteral("Modems"));
            config.setValue(QStringLiteral("Scan"), false);
            config.setValue(QStringLiteral("RingTimeoutMs"), 1500);
            config.setValue(QStringLiteral("CallerIdSettleMs"), 250);
        }
        Settings settings;
        settings.setNumber(Settings::DeviceType, Settings::kModem);
        settings.setText(Settings::DeviceName, QStringLiteral("Modem emulator"));
        settings.setFlag(Settings::MonitorOnStartup, true);
        settings.setFlag(Settings::HideInTray, true);
        settings.setFlag(Settings::RunOnStartup, false);
        QVERIFY(settings.SaveSettings());
        const QString dir = testsupport::testDataDir();
        QVERIFY(SaveAddressbook(dir, TContactList()) && SaveCalls(dir, TCallList()));

        Child sim;
        sim.process.setProgram(testsupport::toolPath(QStringLiteral("tellwise-modem-sim")));
        sim.process.setArguments({QStringLiteral("--ring-period"), QStringLiteral("500"),
                                  QStringLiteral("--rings"), QStringLiteral("3")});
        sim.process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        sim.process.start();
        QVERIFY(sim.process.waitForStarted(5000));
        QTRY_VERIFY_WITH_TIMEOUT(sim.process.canReadLine(), 5000);
        QVERIFY(sim.process.readLine().startsWith("/dev/"));

        Child monitor;
        monitor.process.setProgram(program);
        monitor.process.setProcessChannelMode(QProcess::ForwardedChannels);
        monitor.process.start();
        QVERIFY(monitor.process.waitForStarted(5000));
        // The line is open once the program has turned caller ID on.
        QByteArray commands;
        QTRY_VERIFY_WITH_TIMEOUT((commands += sim.process.readAllStandardOutput()).contains("AT+VCID=1"),
                                 20000);

        sim.process.write("call 0912345678\n");
        CallLog log(dir, FileAccess::ReadOnly);
        QTRY_VERIFY_WITH_TIMEOUT(log.load() && !log.calls().isEmpty(), 15000);
        QCOMPARE(log.calls().size(), 1);
        QCOMPARE(log.calls()[0].CallerName, QStringLiteral("< Unknown >"));
        QCOMPARE(log.calls()[0].CalledNumber, QStringLiteral("< Unidentified >"));
        QCOMPARE(monitor.process.state(), QProcess::Running);
    }

    // With TELLWISE_SCREENSHOTS=DIR, saves the tray menu, every options page and every contact
    // editor tab in English there, to see that the English captions fit.
    void screenshots()
    {
        const QString dir = qEnvironmentVariable("TELLWISE_SCREENSHOTS");
        if (dir.isEmpty())
            QSKIP("TELLWISE_SCREENSHOTS is not set");
        QDir().mkpath(dir);
        installEnglish();
        Settings settings;
        AddressBook book{testsupport::testDataDir()};
        CallLog log{testsupport::testDataDir()};
        TfrmStart start(settings, book, log);
        start.pmTrayIcon->show();
        QVERIFY(start.pmTrayIcon->grab().save(dir + QStringLiteral("/en-tray-menu.png")));
        start.pmTrayIcon->hide();

        TfrmOptions options(settings, book);
        options.show();
        QVERIFY(QTest::qWaitForWindowExposed(&options));
        auto *pages = options.findChild<QTabWidget *>(QStringLiteral("PageControl"));
        QVERIFY(pages);
        for (int page = 0; page < pages->count(); ++page) {
            pages->setCurrentIndex(page);
            QTest::qWait(50);
            QVERIFY(options.grab().save(dir + QStringLiteral("/en-options-%1.png").arg(page)));
        }
        options.reject();

        TfrmContact editor(book);
        editor.ClearForNewContact();
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        for (int tab = TfrmContact::TabPerson; tab <= TfrmContact::TabSound; ++tab) {
            editor.showTab(TfrmContact::Tab(tab));
            QTest::qWait(50);
            QVERIFY(editor.grab().save(dir + QStringLiteral("/en-contact-%1.png").arg(tab)));
        }
        editor.reject();
    }
};

QTEST_MAIN(TstTranslation)
#include "tst_translation.moc"

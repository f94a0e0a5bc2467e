#include "app/NewCallIndicators.h"
#include "app/TfrmStart.h"
#include "settings/Settings.h"
#include "store/AddressBook.h"
#include "store/CallLog.h"
#include "store/Exports.h"
#include "widgets/ShowMessageDialog.h"

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>
#include <QXmlStreamReader>

#include "TestSupport.h"

#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QString kEmbedded = u":/translations/tellwise_en.qm"_s;

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

    // Every message of LANGUAGE's .ts is translated, every plural form, markers kept, and the
    // module the program carries says the same: a .ts edited without a rebuild shows here.
    void checkModule(const QString &language)
    {
        const QString name = u"tellwise_"_s + language.left(2);
        QTranslator module;
        QVERIFY(module.load(u":/translations/%1.qm"_s.arg(name)));
        QCOMPARE(module.language(), language);
        QFile file(QStringLiteral(TELLWISE_SOURCE_DIR "/resources/translations/") + name + u".ts"_s);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(&file);
        QByteArray context;
        int count = 0;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            if (xml.name() == QLatin1String("name"))
                context = xml.readElementText().toUtf8();
            if (xml.name() != QLatin1String("message"))
                continue;
            const bool plural = xml.attributes().value(QLatin1String("numerus")) == QLatin1String("yes");
            const qint64 line = xml.lineNumber();
            QString source, type;
            QStringList translations; // one per plural form, or the single translation
            while (xml.readNextStartElement()) {
                if (xml.name() == QLatin1String("source")) {
                    source = xml.readElementText();
                } else if (xml.name() == QLatin1String("translation")) {
                    type =
                        xml.attributes().value(QLatin1String("type")).toString(); // unfinished, vanished...
                    while (plural && xml.readNextStartElement())
                        translations << xml.readElementText();
                    if (!plural)
                        translations << xml.readElementText();
                } else {
                    xml.skipCurrentElement();
                }
            }
            ++count;
            const QString where = u"%1 (line %2): %3"_s.arg(QString::fromUtf8(context)).arg(line).arg(source);
            QVERIFY2(type.isEmpty() && !translations.isEmpty(), qPrintable(type + QLatin1Char(' ') + where));
            for (const QString &translation : std::as_const(translations)) {
                QVERIFY2(!translation.trimmed().isEmpty(), qPrintable(u"empty: "_s + where));
                QVERIFY2(markers(translation) == markers(source),
                         qPrintable(u"markers differ: "_s + where + u" -> "_s + translation));
                // Captions padded with spaces line up with their frames; keep the padding.
                QVERIFY2(translation.startsWith(QLatin1Char(' ')) == source.startsWith(QLatin1Char(' ')),
                         qPrintable(u"leading space: "_s + where));
            }
            const QString got =
                module.translate(context.constData(), source.toUtf8().constData(), nullptr, plural ? 2 : -1);
            QVERIFY2(got == translations.value(plural ? 1 : 0),
                     qPrintable(u"not embedded: "_s + where + u" -> "_s + got));
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QVERIFY(count >= 5);
    }

private slots:
    void cleanup()
    {
        if (m_english)
            QCoreApplication::removeTranslator(m_english.get());
        m_english.reset();
    }

    // With the English module in force the tray, the line's state and the call-log page (with
    // calls and without) read in English.
    void textsAreEnglish()
    {
        installEnglish();
        Settings settings;
        QVERIFY(Settings::writeLanguageOverride(settings.programPath(), u"ENU"_s));
        AddressBook book{testsupport::testDataDir()};
        CallLog log{testsupport::testDataDir()};
        TfrmStart start(settings, book, log);
        // Buttons keep the language of the texts when the options choose another for the next start.
        QVERIFY(settings.setNumber(Settings::Language, 1) && settings.SaveSettings() &&
                settings.LoadSettings());
        QCOMPARE(MessageDialogLanguage(), 0);
        QCOMPARE(start.findChild<QAction *>(u"miAutoHangUp"_s)->text(), u"Reject!"_s);
        QCOMPARE(LineState::statusWord(LineState::Monitoring), u"Monitoring calls"_s);
        QCOMPARE(TfrmStart::welcomeText(settings), u"Welcome to Tellwise Monitor"_s);
        QCOMPARE(QCoreApplication::translate("TfrmWab", " Windows Adresar  [ %n osoba ]:", nullptr, 1),
                 u" Windows Address Book  [ 1 contact ]:"_s);

        QTemporaryDir dir;
        const QString file = dir.filePath(u"calls.htm"_s);
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

    void newCallCountsInBothLanguages_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("croatian");
        QTest::addColumn<QString>("english");
        const QString one = u"Imaš %1 novi poziv!"_s;
        const QString few = u"Imaš %1 nova poziva!"_s;
        const QString many = u"Imaš %1 novih poziva!"_s;
        const QString calls = u"You have %1 new calls!"_s;
        QTest::newRow("0") << 0 << many.arg(0) << calls.arg(0);
        QTest::newRow("1") << 1 << one.arg(1) << u"You have 1 new call!"_s;
        // Croatian says "novi poziv" for 21 like for 1; English must not.
        for (int n : {21, 31, 51, 101})
            QTest::addRow("%d", n) << n << one.arg(n) << calls.arg(n);
        for (int n : {2, 4, 22, 24, 52, 122})
            QTest::addRow("%d", n) << n << few.arg(n) << calls.arg(n);
        for (int n : {5, 11, 12, 14, 20, 25, 111, 112})
            QTest::addRow("%d", n) << n << many.arg(n) << calls.arg(n);
    }

    void newCallCountsInBothLanguages()
    {
        QFETCH(int, count);
        QFETCH(QString, croatian);
        QFETCH(QString, english);
        QCOMPARE(NewCallIndicators::text(count), croatian);
        installEnglish();
        QCOMPARE(NewCallIndicators::text(count), english);
    }

    // Counted people take the Croatian plural forms of the Croatian module.
    void croatianCountsOfPeople()
    {
        QTranslator croatian;
        QVERIFY(croatian.load(u":/translations/tellwise_hr.qm"_s));
        QStringList forms;
        for (int n : {1, 2, 5, 11, 21, 22})
            forms << croatian.translate("TfrmWab", " Windows Adresar  [ %n osoba ]:", nullptr, n).mid(23, 5);
        QCOMPARE(forms.join(u' '), u"osoba osobe osoba osoba osoba osobe"_s);
    }

    void everyMessageIsTranslatedAndEmbedded()
    {
        checkModule(u"en_US"_s);
        checkModule(u"hr_HR"_s);
    }
};

QTEST_MAIN(TstTranslation)
#include "tst_translation.moc"

// tellwise-cli as scripts use it: the real program on a data folder, checked by its output,
// its exit code and the files it leaves.

#include "TestSupport.h"
#include "WabWriter.h"

#include "settings/Settings.h"
#include "store/DataFiles.h"
#include "store/FileRecords.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

Run cli(const QString &dataDir, const QStringList &args)
{
    QProcess p;
    p.start(testsupport::toolPath(u"tellwise-cli"_s), QStringList{"--data-dir", dataDir} + args);
    if (!p.waitForFinished(20000))
        qFatal("tellwise-cli did not finish");
    if (p.exitStatus() != QProcess::NormalExit)
        qFatal("tellwise-cli crashed");
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

} // namespace

class TestCliStore : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    QString dir() const { return m_dir.path(); }

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        for (const QString &name : QDir(dir()).entryList(QDir::Files | QDir::Hidden))
            QFile::remove(dir() + "/" + name);
    }

    void addAndListContacts()
    {
        QCOMPARE(cli(dir(), {"add-group", "Obitelj"}).exitCode, 0);
        const Run add =
            cli(dir(), {"add-contact", "--display-name", "Horvat, Ana", "--first", "Ana", "--last", "Horvat",
                        "--group", "Obitelj", "--phone", "Mobitel=091 234 5678", "--phone",
                        "Kod kuće=+385 1 2345678", "--notes", "line one\nline\ttwo \\ end"});
        QCOMPARE(add.exitCode, 0);
        QVERIFY(add.out.isEmpty());
        QCOMPARE(cli(dir(), {"add-contact", "--display-name", "Kovač", "--black-list"}).exitCode, 0);

        const Run list = cli(dir(), {"contacts"});
        QCOMPARE(list.exitCode, 0);
        const QStringList lines = list.out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        QStringList first = lines[0].split('\t');
        QCOMPARE(first.size(), 46);
        QCOMPARE(first.mid(0, 5), (QStringList{"Ana", "Horvat", "", "Horvat, Ana", "Obitelj"}));
        QCOMPARE(first.mid(19, 2), (QStringList{"Mobitel", "Kod kuće"}));
        QCOMPARE(first[27], u"091 234 5678"_s);
        QCOMPARE(first[39], u"line one\\nline\\ttwo \\\\ end"_s);
        QCOMPARE(first.mid(42), (QStringList{"0", "0", "0", "0"}));
        const QStringList second = lines[1].split('\t');
        QCOMPARE(second[3], u"Kovač"_s);
        QCOMPARE(second[4], u"Bez grupe"_s); // saved without a group, as the editor does
        QCOMPARE(second[45], u"1"_s);

        QCOMPARE(cli(dir(), {"groups"}).out, u"Obitelj\t\n"_s);
    }

    // A taken name ends with exit code 3 and the program's own text, and changes no file. "c"
    // followed by a combining caron is the "č" of the code page: one byte, and the same key.
    void refusesTakenNames()
    {
        QCOMPARE(cli(dir(), {"add-group", "Posao"}).exitCode, 0);
        QCOMPARE(cli(dir(), {"add-group", u"Kovac\u030C"_s}).exitCode, 0);
        QCOMPARE(cli(dir(), {"add-contact", "--display-name", u"Kovac\u030C"_s}).exitCode, 0);
        const QByteArray contacts = testsupport::readFile(dir() + "/Addressbook.dat");
        const QByteArray groups = testsupport::readFile(dir() + "/Groups.dat");
        QCOMPARE(contacts.mid(78, 6), QByteArray("\x05Kova\xe8"));

        const Run person = cli(dir(), {"add-contact", "--display-name", u"Kovač"_s});
        QCOMPARE(person.exitCode, 3);
        QVERIFY2(person.err.contains(u"Osoba pod tim imenom već postoji!"_s), qPrintable(person.err));
        QVERIFY(person.out.isEmpty());
        for (const QString &name : {u"  Posao "_s, u"Bez grupe"_s, u"Kovač"_s}) {
            const Run group = cli(dir(), {"add-group", name});
            QCOMPARE(group.exitCode, 3);
            QVERIFY2(group.err.contains(u"Grupa pod tim imenom već postoji!"_s), qPrintable(group.err));
        }
        QCOMPARE(testsupport::readFile(dir() + "/Addressbook.dat"), contacts);
        QCOMPARE(testsupport::readFile(dir() + "/Groups.dat"), groups);
    }

    // The look-up as scripts see it: name and location on a hit, exit code 1 on a miss.
    void lookupAnswersNameAndLocation()
    {
        QCOMPARE(cli(dir(), {"add-contact", "--display-name", "Ana", "--phone", "Kod kuće=+385 1 2345678"})
                     .exitCode,
                 0);
        const Run hit = cli(dir(), {"lookup", "01 2345678"});
        QCOMPARE(hit.exitCode, 0);
        QCOMPARE(hit.out, u"Ana\tKod kuće\n"_s);
        const Run miss = cli(dir(), {"lookup", "0038599999999"});
        QCOMPARE(miss.exitCode, 1);
        QVERIFY(miss.out.isEmpty());
    }

    void formatFollowsTheProgramsSettings()
    {
        Settings settings;
        QVERIFY(settings.setNumber(Settings::HowToFormat, 1));
        settings.setText(Settings::FormatString3, u"xx/xx xxx"_s);
        QVERIFY(settings.SaveSettings());
        Run r = cli(dir(), {"format", "012-3456"});
        QCOMPARE(r.out, u"01/23 456\n"_s);
        r = cli(dir(), {"format", "+385 (1) 234", "--how", "0"});
        QCOMPARE(r.out, u"3851234\n"_s);
        QVERIFY(QFile::remove(QDir::homePath() + "/.config/Kavelink/Tellwise Monitor.conf"));
    }

    void listsCallsAndExportsWithExtensions()
    {
        TCallList list;
        list.append(ACalls{"Ana\tH", "0912345678", "< Nepoznat >", 38000.0, 0.75, true});
        list.append(ACalls{"<script>\x1b[2J\x7f", "P", "", 37999.0, 0.5, false});
        QVERIFY(SaveCalls(dir() + "/", list));

        const Run calls = cli(dir(), {"calls"});
        QCOMPARE(calls.exitCode, 0);
        QCOMPARE(calls.out, QStringLiteral("Ana\\tH\t0912345678\t< Nepoznat >\t2004-01-14\t18:00:00\t1\n"
                                           "<script>\\x1b[2J\\x7f\tP\t\t2004-01-13\t12:00:00\t0\n"));

        QCOMPARE(cli(dir(), {"export", "calls", dir() + "/log"}).exitCode, 0);
        QVERIFY(QFile::exists(dir() + "/log.htm"));
        QCOMPARE(cli(dir(), {"export", "xml", dir() + "/book.txt"}).exitCode, 0);
        QVERIFY(QFile::exists(dir() + "/book.txt.xml"));
    }

    void badInputEndsWithExitTwoAndWritesNothing_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("unknown command") << QStringList{"frobnicate"};
        QTest::newRow("phone without location")
            << QStringList{"add-contact", "--display-name", "X", "--phone", "1"};
        QTest::newRow("display name too long")
            << QStringList{"add-contact", "--display-name", QString(66, 'a')};
        QTest::newRow("empty group name") << QStringList{"add-group", "  "};
        QTest::newRow("emoji for a name") << QStringList{"add-contact", "--display-name", u"😀"_s};
        QTest::newRow("nine phones") << [] {
            QStringList a{"add-contact", "--display-name", "X"};
            for (int i = 0; i < 9; ++i)
                a << "--phone" << u"L=%1"_s.arg(i);
            return a;
        }();
    }
    void badInputEndsWithExitTwoAndWritesNothing()
    {
        QFETCH(QStringList, args);
        const Run r = cli(dir(), args);
        QCOMPARE(r.exitCode, 2);
        QVERIFY(r.out.isEmpty());
        QVERIFY2(r.err.startsWith("tellwise-cli: "), qPrintable(r.err));
        QVERIFY(!QFile::exists(dir() + "/Copy of Addressbook.dat"));
        QVERIFY(!QFile::exists(dir() + "/Copy of Groups.dat"));
    }

    // Names in other scripts are taken in Latin letters, and the script is told which.
    void otherScriptsAreStoredInLatinLetters()
    {
        QCOMPARE(cli(dir(), {"add-group", u"Семья"_s}).err, u"NAME is stored as: Semja\n"_s);
        const Run add =
            cli(dir(), {"add-contact", "--display-name", u"Віталій Кличко"_s, "--group", u"Семья"_s});
        QCOMPARE(add.exitCode, 0);
        QVERIFY(add.err.contains(u"--display-name is stored as: Vitalij Kličko\n"_s));
        QCOMPARE(cli(dir(), {"add-contact", "--display-name", u"Виталий Кличко"_s}).exitCode, 3);
        QCOMPARE(cli(dir(), {"contacts"}).out.split('\t').mid(3, 2),
                 (QStringList{u"Vitalij Kličko"_s, "Semja"}));
    }

    // Found names in list order, exit 1 for none, 2 for what the window could not search.
    void search_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("out");
        QTest::newRow("all fields, any case") << QStringList{"čel"} << 0 << u"Zec\nAna\n"_s;
        QTest::newRow("identical first name")
            << QStringList{"ANA", "--field", "3", "--identical"} << 0 << u"Ana\n"_s;
        QTest::newRow("case counts") << QStringList{"--match-case", "ANA", "--field", "3"} << 1 << QString();
        QTest::newRow("none found") << QStringList{"xyz"} << 1 << QString();
        QTest::newRow("blank text") << QStringList{"  "} << 2 << QString();
        QTest::newRow("field out of range") << QStringList{"a", "--field", "24"} << 2 << QString();
    }
    void search()
    {
        QFETCH(QStringList, args);
        QCOMPARE(cli(dir(), {"add-contact", "--display-name", "Zec", "--company", "ČELIK"}).exitCode, 0);
        QCOMPARE(cli(dir(), {"add-contact", "--display-name", "Ana", "--first", "Ana", "--notes", "čelo"})
                     .exitCode,
                 0);
        const Run r = cli(dir(), QStringList{"search"} + args);
        QTEST(r.exitCode, "exitCode");
        QTEST(r.out, "out");
    }

    // Commands that only read create nothing, so they work on a read-only folder or mount.
    void readingCreatesNothing()
    {
        for (const QStringList &args :
             {QStringList{"contacts"}, QStringList{"groups"}, QStringList{"calls"},
              QStringList{"lookup", "091"}, QStringList{"export", "csv", dir() + "/x"}})
            QCOMPARE(cli(dir(), args).exitCode, args.first() == "lookup" ? 1 : 0);
        QCOMPARE(QDir(dir()).entryList(QDir::Files | QDir::Hidden), QStringList{"x.csv"});
    }

    // Writers started at once take turns: no one's contact is lost.
    void simultaneousWritersLoseNothing()
    {
        for (int i = 0; i < 15; ++i)
            QCOMPARE(cli(dir(), {"add-contact", "--display-name", u"Prije %1"_s.arg(i)}).exitCode, 0);
        std::vector<std::unique_ptr<QProcess>> writers;
        for (int i = 0; i < 20; ++i) {
            writers.push_back(std::make_unique<QProcess>());
            writers.back()->start(
                testsupport::toolPath("tellwise-cli"),
                {"--data-dir", dir(), "add-contact", "--display-name", u"Usporedo %1"_s.arg(i)});
        }
        for (auto &w : writers) {
            QVERIFY(w->waitForFinished(20000));
            QCOMPARE(w->exitCode(), 0);
        }
        QCOMPARE(cli(dir(), {"contacts"}).out.count(QLatin1Char('\n')), 35);
    }

    // A data file that cannot be opened (a folder in its place) is a store failure.
    void unusableDataFileIsAnError()
    {
        QVERIFY(QDir().mkpath(dir() + "/unusable/Groups.dat"));
        const Run r = cli(dir() + "/unusable", {"add-group", "G"});
        QCOMPARE(r.exitCode, 2);
        QVERIFY2(r.err.contains(u"Greška"_s), qPrintable(r.err));
    }

    // The file's contacts as the window lists them; an import of all of them into a free group;
    // a damaged file refused.
    void importAddressBookFile()
    {
        namespace w = wabwriter;
        const QString wab = dir() + "/a.wab";
        testsupport::writeFile(wab,
                               w::file({{1, {w::text8(0x3001001E, "Zora"), w::text8(0x3004001E, "a\tb")}},
                                        {2, {w::wide(0x3001001E, u"Ćiro"_s), w::text8(0x3A1C001E, "091")}}}));
        const Run list = cli(dir(), {"import", wab, "--list"});
        QCOMPARE(list.exitCode, 0);
        const QStringList lines = list.out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[0].split('\t')[23], u"a\\tb"_s); // sorted in the C locale
        QCOMPARE(lines[1].split('\t').mid(0, 12),
                 (QStringList{"Ćiro", "", "", "", "", "", "", "", "", "", "", "091"}));

        QCOMPARE(cli(dir(), {"import", wab}).out, u"Podaci su snimljeni u grupu \"Windows Adresar\"!\n"_s);
        QVERIFY(cli(dir(), {"contacts"}).out.contains(u"\tĆiro\tWindows Adresar\t"_s));
        // Growing the address book several times over wants --all.
        QList<w::Record> many;
        for (std::uint32_t i = 0; i < 600; ++i)
            many << w::Record{i, {w::text8(0x3001001E, QByteArray::number(i))}};
        testsupport::writeFile(wab, w::file(many));
        QCOMPARE(cli(dir(), {"import", wab}).exitCode, 3);
        QCOMPARE(cli(dir(), {"import", wab, "--all"}).exitCode, 0);
        testsupport::writeFile(wab, "no address book");
        const Run bad = cli(dir(), {"import", wab});
        QCOMPARE(bad.exitCode, 2);
        QVERIFY(bad.err.contains(u"nije datoteka Windows Adresara"_s));
    }

    // A .vcf file as the address-book file: listed, imported into its own group, then refused
    // as already there.
    void importVCardFile()
    {
        const QString vcf = dir() + "/k.vcf";
        testsupport::writeFile(vcf, "BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:"
                                    "=C5=BDuri=C4=87;Ana\r\nTEL;WORK;FAX:01 7\r\nEND:VCARD\r\n"
                                    "BEGIN:VCARD\nVERSION:3.0\nFN:Віталій\nTEL;TYPE=home:01 1\nTEL;TYPE=home:01 2\n"
                                    "END:VCARD\n");
        const QStringList lines = cli(dir(), {"import", vcf, "--list"}).out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[0].split('\t').mid(0, 3), (QStringList{"Ana Žurić", "Ana", "Žurić"}));
        QCOMPARE(lines[1].split('\t').last(3), (QStringList{"01 2", "", ""}));
        // The Ukrainian name is stored in Latin letters, and the message says how many were.
        QVERIFY(cli(dir(), {"import", vcf}).out.endsWith(u"\\n\\nImena zapisana latinicom (datoteka adresara ne "
                                                          "može zapisati njihova slova):  1\n"_s));
        QVERIFY(cli(dir(), {"import", vcf}).out.startsWith(u"Nije snimljen niti jedan podatak"_s));
    }
};

QTEST_GUILESS_MAIN(TestCliStore)
#include "tst_cli_store.moc"

#include "store/Cp1250.h"
#include "store/Exports.h"
#include "store/Records.h"
#include "store/StoreError.h"

#include "TestSupport.h"

#include <QDate>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLocale>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTime>
#include <QXmlStreamReader>

namespace {

const QStringList kFieldNames =
    QStringLiteral("FirstName;LastName;NickName;DisplayNameAs;Group;HomeAddress;HomeCity;HomePostNo;"
                   "HomeCountry;CompanyName;CompanyDepartment;CompanyOffice;CompanyJobTitle;"
                   "CompanyAddress;CompanyCity;CompanyPostNo;CompanyCountry;PhoneLocation1;"
                   "PhoneLocation2;PhoneLocation3;PhoneLocation4;PhoneLocation5;PhoneLocation6;"
                   "PhoneLocation7;PhoneLocation8;PhoneNumber1;PhoneNumber2;PhoneNumber3;"
                   "PhoneNumber4;PhoneNumber5;PhoneNumber6;PhoneNumber7;PhoneNumber8;EMail1;EMail2;"
                   "EMail3;EMail4;HomeWebPage;CompanyWebPage;Notes")
        .split(QLatin1Char(';'));

const QByteArray kCsvHeader = "RecordNo;" + kFieldNames.join(QLatin1Char(';')).toLatin1();

// A field of a contact by its exported name.
QString &field(AListAddress &c, const QString &name)
{
    static const QHash<QString, QString AListAddress::*> plain{
        {"FirstName", &AListAddress::FirstName},
        {"LastName", &AListAddress::LastName},
        {"NickName", &AListAddress::NickName},
        {"DisplayNameAs", &AListAddress::DisplayNameAs},
        {"Group", &AListAddress::Group},
        {"HomeAddress", &AListAddress::HomeAddress},
        {"HomeCity", &AListAddress::HomeCity},
        {"HomePostNo", &AListAddress::HomePostNo},
        {"HomeCountry", &AListAddress::HomeCountry},
        {"HomeWebPage", &AListAddress::HomeWebPage},
        {"CompanyName", &AListAddress::CompanyName},
        {"CompanyDepartment", &AListAddress::CompanyDepartment},
        {"CompanyOffice", &AListAddress::CompanyOffice},
        {"CompanyJobTitle", &AListAddress::CompanyJobTitle},
        {"CompanyAddress", &AListAddress::CompanyAddress},
        {"CompanyCity", &AListAddress::CompanyCity},
        {"CompanyPostNo", &AListAddress::CompanyPostNo},
        {"CompanyCountry", &AListAddress::CompanyCountry},
        {"CompanyWebPage", &AListAddress::CompanyWebPage},
        {"Notes", &AListAddress::Notes},
    };
    if (plain.contains(name))
        return c.*plain.value(name);
    const std::size_t k = std::size_t(name.back().digitValue() - 1);
    if (name.startsWith(QLatin1String("PhoneLocation")))
        return c.PhoneLocation[k];
    if (name.startsWith(QLatin1String("PhoneNumber")))
        return c.PhoneNumber[k];
    return c.EMail[k];
}

// A contact whose every exported field holds its own name with a mark, the fields left out of the
// exports filled too.
AListAddress namedContact(const QString &mark)
{
    AListAddress c;
    for (const QString &name : kFieldNames)
        field(c, name) = name + mark;
    c.UseThisSound = QStringLiteral("sound.wav");
    c.Picture = QStringLiteral("pic.jpg");
    c.SoundMode = 2;
    c.BlackList = true;
    return c;
}

QByteArray lines(const QList<QByteArray> &list)
{
    QByteArray bytes;
    for (const QByteArray &line : list)
        bytes += line + "\r\n";
    return bytes;
}

QByteArray cp1250(const QString &text)
{
    return EncodeCp1250(text);
}

ACalls call(const QString &name, const QString &number, const QString &called, double date, double time)
{
    return ACalls{name, number, called, date, time, true};
}

const QByteArray kStyle =
    "<style>\r\n"
    "A:link  {color : #03609E; text-decoration : none; font-family : Tahoma, Verdana, Arial, Helvetica, "
    "sans-serif; "
    "font-size : 8.5pt;}\r\n"
    "A:visited  {color : #03609E; text-decoration : none; font-family : Tahoma, Verdana, Arial, Helvetica, "
    "sans-serif; font-size : 8.5pt;}\r\n"
    "A:hover  {color : #FF6600; text-decoration : none; font-family : Tahoma, Verdana, Arial, Helvetica, "
    "sans-serif; "
    "font-size : 8.5pt;}\r\n"
    ".BODY {font-family: Tahoma, Verdana, Arial, Helvetica, sans-serif; font-size: 8.5pt; color: "
    "#000033;}\r\n"
    ".BODYred  {color : #CC0000; font-family : Tahoma, Verdana, Arial,  Helvetica, sans-serif; font-size : "
    "8.5pt;}\r\n"
    ".HEADER  {color : #990000; font-family : Tahoma, Verdana, Arial, Helvetica, sans-serif; font-size : "
    "14pt; "
    "font-style: italic;}\r\n"
    ".BODYbold {font-family: Tahoma, Verdana, Arial, Helvetica, sans-serif; font-size: 8.5pt; font-weight: "
    "bold; "
    "color: #000033;}\r\n"
    ".LABEL {font-family: Tahoma, Verdana, Arial, Helvetica, sans-serif; font-size: 8.5pt; font-weight: "
    "bold; "
    "color: #990000;}\r\n"
    ".bodyback\t{ background-color: #DEE3E7;}\r\n"
    ".bodyline\t{ background-color: #FFFFFF; border: 1px #006699 solid; }\r\n"
    ".menuline\t{ background-color: #EBF6FC; border: 1px #006699 solid; }\r\n"
    "td.head\t{ background-color: #EBF6FC; border: 1px #006699 solid; }\r\n"
    "td.row1\t{ background-color: #EFEFEF; font-family: Tahoma, Verdana, Arial, Helvetica, sans-serif; "
    "font-size: "
    "8.5pt; color: #000033;}\r\n"
    "td.row2\t{ background-color: #DEE3E7; font-family: Tahoma, Verdana, Arial, Helvetica, sans-serif; "
    "font-size: "
    "8.5pt; color: #000033;}\r\n"
    "</style>";

QList<QByteArray> pageHead()
{
    return {
        "<html>",
        "<title>Tellwise Monitor - Pozivi</title>",
        "<head><meta http-equiv=Content-Type content=\"\"text/html; charset=windows-1250\"\"></head>",
        kStyle,
        "<body class=\"bodyback\" topmargin=\"0\" bottommargin=\"0\">",
        "<br><table width=\"752\" cellspacing=\"0\" cellpadding=\"0\" border=\"0\" align=\"center\"><tr><td "
        "class=\"bodyline\">",
        "<br><center><span class=\"HEADER\">Tellwise Monitor - Pozivi</span><br><br>",
    };
}

QList<QByteArray> tableHead()
{
    return {
        "<table class=\"bodyline\" width=\"97%\" border=\"0\" cellspacing=\"1\" cellpadding=\"5\">",
        "<tr><td class=\"head\" width=\"30%\" align=\"left\"><span class=\"BODYbold\">Pozivatelj</span></td>",
        "<td class=\"head\" width=\"25%\" align=\"left\"><span class=\"BODYbold\">Telefonski "
        "broj</span></td>",
        "<td class=\"head\" width=\"25%\" align=\"left\"><span class=\"BODYbold\">Pozvani broj</span></td>",
        "<td class=\"head\" width=\"20%\" align=\"left\"><span class=\"BODYbold\">Datum : "
        "Vrijeme</span></td></tr>",
    };
}

QList<QByteArray> pageFoot()
{
    return {
        "</table>",
        "<hr class=\"bodyline\" size=\"1\" width=\"97%\">",
        "<span class=\"BODYbold\" align=\"center\">Kavelink</span><br>",
        "<a class=\"BODY\" href=\"https://tellwise.example/\">https://tellwise.example/</a>",
        "</center></td></tr></table><br>",
        "</BODY>",
        "</HTML>",
    };
}

QByteArray shortDate(int y, int m, int d)
{
    return cp1250(QLocale::system().toString(QDate(y, m, d), QLocale::ShortFormat));
}

QByteArray shortTime(int h, int m)
{
    return cp1250(QLocale::system().toString(QTime(h, m), QLocale::ShortFormat));
}

// Records of a CSV file as an independent RFC 4180 reader sees them (Python's csv module).
QList<QStringList> csvRecordsByPython(const QString &path)
{
    const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
    if (python.isEmpty())
        return {};
    QProcess p;
    p.start(python, {QStringLiteral("-c"),
                     QStringLiteral("import csv, json, sys\n"
                                    "with open(sys.argv[1], newline='', encoding='cp1250') as f:\n"
                                    "    print(json.dumps(list(csv.reader(f, delimiter=';'))))\n"),
                     path});
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        qFatal("python3 failed: %s", p.readAllStandardError().constData());
    QList<QStringList> records;
    for (const QJsonValue &row : QJsonDocument::fromJson(p.readAllStandardOutput()).array()) {
        QStringList fields;
        for (const QJsonValue &f : row.toArray())
            fields.append(f.toString());
        records.append(fields);
    }
    return records;
}

// The contacts of an exported XML file: for each RecordNo element, its fields by name.
QList<QHash<QString, QString>> xmlRecords(const QByteArray &bytes)
{
    QList<QHash<QString, QString>> records;
    QXmlStreamReader xml(DecodeCp1250(bytes));
    int depth = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            ++depth;
            if (depth == 2)
                records.append(QHash<QString, QString>());
            if (depth == 3) {
                const QString name = xml.name().toString();
                records.back().insert(name, xml.readElementText());
                --depth;
            }
        } else if (xml.isEndElement()) {
            --depth;
        }
    }
    if (xml.hasError())
        qFatal("XML does not parse: %s", qPrintable(xml.errorString()));
    return records;
}

void checkWithXmllint(const QString &path)
{
    const QString xmllint = QStandardPaths::findExecutable(QStringLiteral("xmllint"));
    if (xmllint.isEmpty())
        return;
    QProcess p;
    p.start(xmllint, {QStringLiteral("--noout"), path});
    QVERIFY(p.waitForFinished(30000));
    QVERIFY2(p.exitCode() == 0, p.readAllStandardError().constData());
}

} // namespace

class TestExports : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }

private slots:
    void init()
    {
        ContactList.clear();
        CallList.clear();
    }

    void emptyAddressBook()
    {
        ExportContactsCsv(path(QStringLiteral("empty.csv")));
        QCOMPARE(testsupport::readFile(path(QStringLiteral("empty.csv"))), kCsvHeader + "\r\n");
        ExportContactsXml(path(QStringLiteral("empty.xml")));
        QCOMPARE(testsupport::readFile(path(QStringLiteral("empty.xml"))),
                 lines({"<?xml version=\"1.0\" encoding=\"Windows-1250\" ?>",
                        "<Tellwise_Monitor_Addressbook>", "</Tellwise_Monitor_Addressbook>"}));
    }

    // Two contacts with every field distinct: the header order, the record numbers, the fields
    // left out, Windows-1250 and CR LF, byte for byte.
    void contactsByteExact()
    {
        ContactList.append(namedContact(QStringLiteral("-1")));
        AListAddress second = namedContact(QString::fromUtf8("-č"));
        second.Notes.clear();
        ContactList.append(second);

        QList<QByteArray> csv{kCsvHeader};
        QList<QByteArray> xml{"<?xml version=\"1.0\" encoding=\"Windows-1250\" ?>",
                              "<Tellwise_Monitor_Addressbook>"};
        for (int n = 1; n <= 2; ++n) {
            const QByteArray mark = n == 1 ? "-1" : "-\xE8";
            QByteArray line = QByteArray::number(n);
            xml.append("<RecordNo" + QByteArray::number(n) + ">");
            for (const QString &name : kFieldNames) {
                const QByteArray tag = name.toLatin1();
                const QByteArray value = n == 2 && name == QLatin1String("Notes") ? QByteArray() : tag + mark;
                line += ";" + value;
                xml.append("<" + tag + ">" + value + "</" + tag + ">");
            }
            csv.append(line);
            xml.append("</RecordNo" + QByteArray::number(n) + ">");
        }
        xml.append("</Tellwise_Monitor_Addressbook>");

        ExportContactsCsv(path(QStringLiteral("two.csv")));
        QCOMPARE(testsupport::readFile(path(QStringLiteral("two.csv"))), lines(csv));
        ExportContactsXml(path(QStringLiteral("two.xml")));
        QCOMPARE(testsupport::readFile(path(QStringLiteral("two.xml"))), lines(xml));
        checkWithXmllint(path(QStringLiteral("two.xml")));
    }

    void awkwardValues_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("csvField");
        QTest::addColumn<QByteArray>("xmlField");
        QTest::newRow("plain") << "Ana" << QByteArray("Ana") << QByteArray("Ana");
        QTest::newRow("ampersand") << "Ivić & sin" << QByteArray("Ivi\xE6 & sin")
                                   << QByteArray("Ivi\xE6 &amp; sin");
        QTest::newRow("markup") << "<b>\"x\"</b>" << QByteArray("\"<b>\"\"x\"\"</b>\"")
                                << QByteArray("&lt;b&gt;&quot;x&quot;&lt;/b&gt;");
        QTest::newRow("separator") << "a;b" << QByteArray("\"a;b\"") << QByteArray("a;b");
        QTest::newRow("line break") << "red 1\r\nred 2" << QByteArray("\"red 1\r\nred 2\"")
                                    << QByteArray("red 1&#13;\nred 2");
        QTest::newRow("bare line feed") << "a\nb" << QByteArray("\"a\nb\"") << QByteArray("a\nb");
        QTest::newRow("apostrophe and tab")
            << "O'Neil\tx" << QByteArray("O'Neil\tx") << QByteArray("O'Neil\tx");
        QTest::newRow("outside the code page")
            << QString::fromUtf8("日本 😀") << QByteArray("?? ?") << QByteArray("&#x65e5;&#x672c; &#x1f600;");
        QTest::newRow("control character")
            << QStringLiteral("a\x01z") << QByteArray("a\x01z") << QByteArray("a?z");
    }
    // A value lands in each file as RFC 4180 and XML want it, and real parsers read it back.
    void awkwardValues()
    {
        QFETCH(QString, value);
        QFETCH(QByteArray, csvField);
        QFETCH(QByteArray, xmlField);
        AListAddress c;
        c.DisplayNameAs = value;
        c.Notes = value + QStringLiteral(";end");
        ContactList.append(c);
        ContactList.append(namedContact(QStringLiteral("-2")));

        const QString csvPath = path(QStringLiteral("values.csv"));
        ExportContactsCsv(csvPath);
        const QByteArray csv = testsupport::readFile(csvPath);
        QVERIFY(csv.contains("\r\n1;;;;" + csvField + ";"));

        const QString xmlPath = path(QStringLiteral("values.xml"));
        ExportContactsXml(xmlPath);
        const QByteArray xml = testsupport::readFile(xmlPath);
        QVERIFY(xml.contains("\r\n<DisplayNameAs>" + xmlField + "</DisplayNameAs>\r\n"));
        checkWithXmllint(xmlPath);

        // What a reader gets back: the value itself, unless the code page or XML cannot hold it.
        const bool lossyInXml = QTest::currentDataTag() == QByteArray("control character");
        const QList<QHash<QString, QString>> records = xmlRecords(xml);
        QCOMPARE(records.size(), 2);
        QCOMPARE(records[0].size(), 40);
        QCOMPARE(records[0].value(QStringLiteral("DisplayNameAs")),
                 lossyInXml ? QStringLiteral("a?z") : value);
        QCOMPARE(records[1].value(QStringLiteral("PhoneNumber8")), QStringLiteral("PhoneNumber8-2"));
    }

    // One file holding every awkward value, read back by an independent RFC 4180 reader.
    void csvReadsBack()
    {
        const QStringList values{
            QString::fromUtf8("Ivić & sin"),
            QStringLiteral("<b>\"x\"</b>"),
            QStringLiteral("a;b"),
            QStringLiteral("red 1\r\nred 2"),
            QStringLiteral("a\nb"),
            QStringLiteral("lone\rreturn"),
            QStringLiteral("O'Neil\tx"),
            QStringLiteral("a\x01z"),
            QStringLiteral("\""),
            QStringLiteral(";"),
            QStringLiteral(" padded "),
            QString(),
        };
        for (const QString &value : values) {
            AListAddress c = namedContact(QStringLiteral("-x"));
            c.DisplayNameAs = value;
            c.Notes = value + QStringLiteral(";end");
            ContactList.append(c);
        }
        const QString csvPath = path(QStringLiteral("readback.csv"));
        ExportContactsCsv(csvPath);
        const QList<QStringList> rows = csvRecordsByPython(csvPath);
        if (rows.isEmpty())
            QSKIP("python3 is not installed");
        QCOMPARE(rows.size(), values.size() + 1);
        QCOMPARE(rows[0].join(QLatin1Char(';')).toLatin1(), kCsvHeader);
        for (int i = 0; i < values.size(); ++i) {
            const QStringList &row = rows[i + 1];
            QCOMPARE(row.size(), 41);
            QCOMPARE(row[0], QString::number(i + 1));
            QCOMPARE(row[1], QStringLiteral("FirstName-x"));
            QCOMPARE(row[4], values[i]);
            QCOMPARE(row[39], QStringLiteral("CompanyWebPage-x"));
            QCOMPARE(row[40], values[i] + QStringLiteral(";end"));
        }
    }

    // Three calls, newest first: alternating rows starting with row2, the period from the oldest
    // to the newest date, and a caller name that is markup shown as text.
    void callLogByteExact()
    {
        CallList.append(call(QStringLiteral("<script>alert(1)</script>"), QStringLiteral("091 234 5678"),
                             QStringLiteral("01 555"), 38002.0, 0.5));
        CallList.append(call(QString::fromUtf8("Ana Ćorić & Co"), QStringLiteral("< Sakriven >"),
                             QStringLiteral("< Neidentificiran >"), 38001.0, 0.25));
        CallList.append(
            call(QStringLiteral("< Nepoznat >"), QStringLiteral("012345678"), QString(), 38000.0, 0.75));

        const QByteArray d14 = shortDate(2004, 1, 14), d15 = shortDate(2004, 1, 15),
                         d16 = shortDate(2004, 1, 16);
        QList<QByteArray> page = pageHead();
        page.append("<center><span class=\"BODYbold\">Pozivi: " + d14 + " - " + d16 + "</span><br><br>");
        page.append(tableHead());
        const QByteArray row2 = "<td class=\"row2\" align=\"left\">",
                         row1 = "<td class=\"row1\" align=\"left\">";
        page.append({"<tr>", row2 + "&lt;script&gt;alert(1)&lt;/script&gt;</td>", row2 + "091 234 5678</td>",
                     row2 + "01 555</td>", row2 + d16 + "  " + shortTime(12, 0) + "</td>", "</tr>"});
        page.append({"<tr>", row1 + "Ana \xC6ori\xE6 &amp; Co</td>", row1 + "&lt; Sakriven &gt;</td>",
                     row1 + "&lt; Neidentificiran &gt;</td>", row1 + d15 + "  " + shortTime(6, 0) + "</td>",
                     "</tr>"});
        page.append({"<tr>", row2 + "&lt; Nepoznat &gt;</td>", row2 + "012345678</td>", row2 + "</td>",
                     row2 + d14 + "  " + shortTime(18, 0) + "</td>", "</tr>"});
        page.append(pageFoot());

        const QString file = path(QStringLiteral("calls.htm"));
        ExportCallsHtml(file);
        const QByteArray html = testsupport::readFile(file);
        QCOMPARE(html, lines(page));
        QVERIFY(!html.contains("<script>"));
    }

    void emptyCallLog()
    {
        QList<QByteArray> page = pageHead();
        page.append(tableHead());
        page.append(
            "<tr><td class=\"row1\" colspan=\"4\" height=\"25\" align=\"center\">Nema podataka!</td></tr>");
        page.append(pageFoot());
        const QString file = path(QStringLiteral("none.htm"));
        ExportCallsHtml(file);
        QCOMPARE(testsupport::readFile(file), lines(page));
    }

    void replacesTheFileOrLeavesIt()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("replace.csv"));
        testsupport::writeFile(file, QByteArray(100000, 'x'));
        ExportContactsCsv(file);
        QCOMPARE(testsupport::readFile(file), kCsvHeader + "\r\n");

        // A folder cannot be replaced by a file, and a file cannot hold one: both fail loudly, and
        // nothing is left behind.
        const QString folder = dir.filePath(QStringLiteral("folder.xml"));
        QVERIFY(QDir().mkpath(folder + QStringLiteral("/inside")));
        QVERIFY_THROWS_EXCEPTION(StoreError, ExportContactsXml(folder));
        QVERIFY(QFileInfo(folder + QStringLiteral("/inside")).isDir());
        QVERIFY_THROWS_EXCEPTION(StoreError, ExportCallsHtml(file + QStringLiteral("/calls.htm")));
        QCOMPARE(testsupport::readFile(file), kCsvHeader + "\r\n");
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({QStringLiteral("replace.csv")}));
    }

    void exportExtension_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QString>("written");
        QTest::newRow("none") << "/d/Addressbook"
                              << ".csv"
                              << "/d/Addressbook.csv";
        QTest::newRow("same") << "/d/Addressbook.csv"
                              << ".csv"
                              << "/d/Addressbook.csv";
        QTest::newRow("upper case") << "/d/Addressbook.XML"
                                    << ".xml"
                                    << "/d/Addressbook.XML";
        QTest::newRow("other") << "/d/Addressbook.txt"
                               << ".csv"
                               << "/d/Addressbook.txt.csv";
        QTest::newRow("dot in folder") << "/d.csv/Calls_2004"
                                       << ".htm"
                                       << "/d.csv/Calls_2004.htm";
        QTest::newRow("html is not htm") << "/d/Calls.html"
                                         << ".htm"
                                         << "/d/Calls.html.htm";
        QTest::newRow("trailing dot") << "/d/a."
                                      << ".xml"
                                      << "/d/a..xml";
    }
    void exportExtension()
    {
        QFETCH(QString, typed);
        QFETCH(QString, extension);
        QFETCH(QString, written);
        QCOMPARE(WithExportExtension(typed, extension), written);
    }
};

QTEST_GUILESS_MAIN(TestExports)
#include "tst_exports.moc"

#include "store/Cp1250.h"
#include "store/Exports.h"
#include "store/Records.h"

#include "TestSupport.h"

#include <QDate>
#include <QLocale>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTime>
#include <QXmlStreamReader>

using namespace Qt::StringLiterals;

namespace {

const QByteArray kCsvHeader =
    "RecordNo;FirstName;LastName;NickName;DisplayNameAs;Group;HomeAddress;HomeCity;HomePostNo;"
    "HomeCountry;CompanyName;CompanyDepartment;CompanyOffice;CompanyJobTitle;CompanyAddress;CompanyCity;"
    "CompanyPostNo;CompanyCountry;PhoneLocation1;PhoneLocation2;PhoneLocation3;PhoneLocation4;"
    "PhoneLocation5;PhoneLocation6;PhoneLocation7;PhoneLocation8;PhoneNumber1;PhoneNumber2;PhoneNumber3;"
    "PhoneNumber4;PhoneNumber5;PhoneNumber6;PhoneNumber7;PhoneNumber8;EMail1;EMail2;EMail3;EMail4;"
    "HomeWebPage;CompanyWebPage;Notes";

// A contact whose text fields, in record order, hold T1..T19 (FirstName..CompanyWebPage), then
// L1..L8, N1..N8, E1..E4 and the notes, each with a mark; the fields left out are filled too.
AListAddress markedContact(const QString &mark)
{
    AListAddress c;
    QString *const texts[] = {&c.FirstName,     &c.LastName,        &c.NickName,       &c.DisplayNameAs,
                              &c.Group,         &c.HomeAddress,     &c.HomeCity,       &c.HomePostNo,
                              &c.HomeCountry,   &c.HomeWebPage,     &c.CompanyName,    &c.CompanyDepartment,
                              &c.CompanyOffice, &c.CompanyJobTitle, &c.CompanyAddress, &c.CompanyCity,
                              &c.CompanyPostNo, &c.CompanyCountry,  &c.CompanyWebPage};
    for (int i = 0; i < 19; ++i)
        *texts[i] = u"T%1"_s.arg(i + 1) + mark;
    for (std::size_t k = 0; k < 8; ++k) {
        c.PhoneLocation[k] = u"L%1"_s.arg(k + 1) + mark;
        c.PhoneNumber[k] = u"N%1"_s.arg(k + 1) + mark;
    }
    for (std::size_t k = 0; k < 4; ++k)
        c.EMail[k] = u"E%1"_s.arg(k + 1) + mark;
    c.Notes = u"Notes"_s + mark;
    c.UseThisSound = u"UseThisSound"_s;
    c.Picture = u"Picture"_s;
    c.SoundMode = 2;
    c.BlackList = true;
    return c;
}

QByteArray localDate(int y, int m, int d)
{
    return EncodeCp1250(QLocale::system().toString(QDate(y, m, d), QLocale::ShortFormat));
}

QByteArray localTime(int h, int m)
{
    return EncodeCp1250(QLocale::system().toString(QTime(h, m), QLocale::ShortFormat));
}

// Each RecordNo element of an exported XML file as its fields by name.
QList<QHash<QString, QString>> xmlRecords(const QByteArray &bytes)
{
    QList<QHash<QString, QString>> records;
    QXmlStreamReader xml(DecodeCp1250(bytes));
    xml.readNextStartElement(); // the root
    while (xml.readNextStartElement()) {
        records.append(QHash<QString, QString>());
        while (xml.readNextStartElement())
            records.back().insert(xml.name().toString(), xml.readElementText());
    }
    if (xml.hasError())
        qFatal("XML does not parse: %s", qPrintable(xml.errorString()));
    return records;
}

bool xmllintAccepts(const QString &path)
{
    if (QStandardPaths::findExecutable(u"xmllint"_s).isEmpty())
        return true;
    return QProcess::execute(u"xmllint"_s, {u"--noout"_s, path}) == 0;
}

struct Awkward
{
    const char *tag;
    QString value;
    QByteArray csv, xml;
};

const QList<Awkward> &awkwardValues()
{
    static const QList<Awkward> values{
        {"ampersand", QString::fromUtf8("Ivić & sin"), "Ivi\xE6 & sin", "Ivi\xE6 &amp; sin"},
        {"markup", "<b>\"x\"</b>", "\"<b>\"\"x\"\"</b>\"", "&lt;b&gt;&quot;x&quot;&lt;/b&gt;"},
        {"separator", "a;b", "\"a;b\"", "a;b"},
        {"line break", "red 1\r\nred 2", "\"red 1\r\nred 2\"", "red 1&#13;\nred 2"},
        {"lone return", "a\rb", "\"a\rb\"", "a&#13;b"},
        {"apostrophe and tab", "O'Neil\tx", "O'Neil\tx", "O'Neil\tx"},
        {"only a quote", "\"", "\"\"\"\"", "&quot;"},
        {"empty", "", "", ""},
    };
    return values;
}

} // namespace

class TestExports : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    TContactList m_contacts;
    TCallList m_calls;
    QString path(const char *name) const { return m_dir.filePath(QString::fromLatin1(name)); }

private slots:
    void init()
    {
        m_contacts.clear();
        m_calls.clear();
    }

    void escapesValues_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("csvField");
        QTest::addColumn<QByteArray>("xmlField");
        QTest::addColumn<QString>("xmlReadsBack");
        auto row = [](const char *tag, const QString &value, const QByteArray &csv, const QByteArray &xml,
                      const QString &readsBack) { QTest::newRow(tag) << value << csv << xml << readsBack; };
        for (const Awkward &a : awkwardValues())
            row(a.tag, a.value, a.csv, a.xml, a.value);
        row("outside the code page", u"Юлія 😀"_s, "Julija ", "&#x42e;&#x43b;&#x456;&#x44f; &#x1f600;", u"Юлія 😀"_s);
        row("control character", u"a\x01z"_s, "a\x01z", "a?z", u"a?z"_s);
        // A spreadsheet would run these as formulas; the CSV cell is text, the XML value unchanged.
        row("formula", u"=1+2"_s, "'=1+2", "=1+2", u"=1+2"_s);
        row("formula with a separator", u"=A1;B1"_s, "\"'=A1;B1\"", "=A1;B1", u"=A1;B1"_s);
        row("at sign", u"@SUM(A1)"_s, "'@SUM(A1)", "@SUM(A1)", u"@SUM(A1)"_s);
        const QString dde = u"+cmd|' /C calc'!A0"_s;
        row("plus", dde, "'" + dde.toLatin1(), dde.toLatin1(), dde);
        row("minus", u"-2+3"_s, "'-2+3", "-2+3", u"-2+3"_s);
        row("tab", u"\t=1+1"_s, "'\t=1+1", "\t=1+1", u"\t=1+1"_s);
        row("carriage return", u"\r=1+1"_s, "\"'\r=1+1\"", "&#13;=1+1", u"\r=1+1"_s);
        row("phone number as text", u"+385 1 234"_s, "'+385 1 234", "+385 1 234", u"+385 1 234"_s);
    }
    void escapesValues()
    {
        QFETCH(QString, value);
        QFETCH(QByteArray, csvField);
        QFETCH(QByteArray, xmlField);
        QFETCH(QString, xmlReadsBack);
        AListAddress c;
        c.DisplayNameAs = c.Notes = value;
        m_contacts.append(c);
        m_contacts.append(markedContact(u"z"_s));

        // The value in a middle field and in the last; the next record's fields in header order.
        ExportContactsCsv(m_contacts, path("values.csv"));
        const QByteArray csv = testsupport::readFile(path("values.csv"));
        QVERIFY(csv.contains("\r\n1;;;;" + csvField + ";;"));
        QVERIFY(csv.contains(";" + csvField + "\r\n2;T1z;T2z;T3z;T4z;T5z;T6z;T7z;T8z;T9z;T11z;"));
        QVERIFY(csv.endsWith(";E4z;T10z;T19z;Notesz\r\n"));
        ExportContactsXml(m_contacts, path("values.xml"));
        const QByteArray xml = testsupport::readFile(path("values.xml"));
        QVERIFY(xml.contains("\r\n<DisplayNameAs>" + xmlField + "</DisplayNameAs>\r\n"));
        QVERIFY(xmllintAccepts(path("values.xml")));
        const QList<QHash<QString, QString>> records = xmlRecords(xml);
        QCOMPARE(records.size(), 2);
        QCOMPARE(records[0].size(), 40);
        QCOMPARE(records[0].value(u"DisplayNameAs"_s), xmlReadsBack);
        QCOMPARE(records[1].value(u"Notes"_s), u"Notesz"_s);
    }

    // Three calls, newest first: rows alternate, the period runs from the oldest call's date to
    // the newest's, markup in a caller's name shows as text; an empty log says so.
    void callLogPage()
    {
        ExportCallsHtml(m_calls, path("empty.htm"));
        const QByteArray empty = testsupport::readFile(path("empty.htm"));
        QVERIFY(empty.contains(">Nema podataka!</td>"));
        QVERIFY(!empty.contains("Pozivi: "));

        m_calls.append({u"<script>alert(1)</script>"_s, u"091 234 5678"_s, u"01 555"_s, 38002.0, 0.5, true});
        m_calls.append({QString::fromUtf8("Ana Ćorić & Co"), u"< Sakriven >"_s, u"< Neidentificiran >"_s,
                        38001.0, 0.25, false});
        m_calls.append({u"< Nepoznat >"_s, u"012345678"_s, QString(), 38000.0, 0.75, true});
        ExportCallsHtml(m_calls, path("calls.htm"));
        const QByteArray page = testsupport::readFile(path("calls.htm"));
        const QByteArray r2 = "<td class=\"row2\" align=\"left\">", r1 = "<td class=\"row1\" align=\"left\">";
        QVERIFY(page.contains("Pozivi: " + localDate(2004, 1, 14) + " - " + localDate(2004, 1, 16) + "<"));
        QVERIFY(page.contains(r2 + "&lt;script&gt;alert(1)&lt;/script&gt;</td>"));
        QVERIFY(!page.contains("<script>"));
        QVERIFY(page.contains(r1 + "Ana \xC6ori\xE6 &amp; Co</td>"));
        QVERIFY(page.contains(r2 + localDate(2004, 1, 14) + "  " + localTime(18, 0) + "</td>"));
        QVERIFY(page.indexOf("091 234 5678") < page.indexOf("012345678"));
        QVERIFY(page.endsWith("</BODY>\r\n</HTML>\r\n"));
    }

    void replacesTheFileOrLeavesIt()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(u"replace.csv"_s);
        testsupport::writeFile(file, QByteArray(100000, 'x'));
        ExportContactsCsv(m_contacts, file);
        QCOMPARE(testsupport::readFile(file), kCsvHeader + "\r\n");

        // A folder cannot become a file, and a file cannot hold one: both fail loudly and leave
        // nothing behind.
        const QString folder = dir.filePath(u"folder.xml"_s);
        QVERIFY(QDir().mkpath(folder + u"/inside"_s));
        QVERIFY(!ExportContactsXml(m_contacts, folder));
        QVERIFY(QFileInfo(folder + u"/inside"_s).isDir());
        QVERIFY(!ExportCallsHtml(m_calls, file + u"/calls.htm"_s));
        QCOMPARE(testsupport::readFile(file), kCsvHeader + "\r\n");
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({u"replace.csv"_s}));
    }
};

QTEST_GUILESS_MAIN(TestExports)
#include "tst_exports.moc"

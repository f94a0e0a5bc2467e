#include "store/CountryList.h"
#include "store/Cp1250.h"
#include "store/DataDir.h"

#include "TestSupport.h"

#include <QFile>
#include <QRegularExpression>
#include <QTest>

using namespace Qt::StringLiterals;

class TestCountryList : public QObject
{
    Q_OBJECT

private:
    QString m_file;

    void install(const QByteArray &bytes) { testsupport::writeFile(m_file, bytes); }

private slots:
    void initTestCase()
    {
        SetDataDir(testsupport::testDataDir());
        m_file = DataDir() + QStringLiteral("CountryList.dat");
    }
    void cleanup() { QFile::remove(m_file); }

    void parsesLines_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("code");
        auto row = [](const char *name, const QByteArray &file, const QStringList &names,
                      const QString &lookedUp,
                      const QString &code) { QTest::newRow(name) << file << names << lookedUp << code; };
        row("CR LF", "[Hrvatska][+385]\r\n[Italija][+39]\r\n", {u"Hrvatska"_s, u"Italija"_s}, u"Italija"_s,
            u"+39"_s);
        row("LF, CR and no final break", "[A][+1]\n[B][+2]\r[C][+3]", {u"A"_s, u"B"_s, u"C"_s}, u"C"_s,
            u"+3"_s);
        row("line without ] skipped", "Hrvatska +385\r\n[A][+1]\r\n[B\r\n", {u"A"_s}, u"Hrvatska +385"_s, {});
        row("name compared exactly", "[Hrvatska][+385]\r\n", {u"Hrvatska"_s}, u"hrvatska"_s, {});
        row("code up to the last ]", "[X][+1 [2]]\r\n", {u"X"_s}, u"X"_s, u"+1 [2]"_s);
        row("Windows-1250 names", "[\x8Aipan]\r\n[\x8Ak\xF3tska][+44]\r\n", {u"Šipan"_s, u"Škótska"_s},
            u"Škótska"_s, u"+44"_s);
    }
    void parsesLines()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, names);
        QFETCH(QString, name);
        QFETCH(QString, code);
        install(file);
        QCOMPARE(LoadCountryNames(), names);
        QCOMPARE(CountryCodeOf(name), code);
        if (!code.isEmpty())
            QCOMPARE(CountryNameOf(code), names.value(names.indexOf(name)));
    }

    // The list we ship: every line well-formed, codes as they stand in front of a number, names
    // unique, and the dialog's round trip name -> code -> name lands on a country with that code.
    void shippedListIsWellFormed()
    {
        const QByteArray bytes =
            testsupport::readFile(QStringLiteral(TELLWISE_SOURCE_DIR "/resources/CountryList.dat"));
        QVERIFY(bytes.endsWith("\r\n"));
        QVERIFY(!bytes.contains("\n\n"));
        QCOMPARE(EncodeCp1250(DecodeCp1250(bytes)), bytes);
        const QStringList lines = DecodeCp1250(bytes).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QVERIFY(lines.size() >= 200);
        const QRegularExpression shape(QStringLiteral("^\\[[^\\[\\]]+\\]\\[\\+[1-9][0-9]{0,3}\\]$"));
        for (const QString &line : lines)
            QVERIFY2(shape.match(line).hasMatch(), qPrintable(line));

        const QStringList names = CountryNamesIn(bytes);
        QCOMPARE(names.size(), lines.size());
        QCOMPARE(QSet<QString>(names.begin(), names.end()).size(), names.size());
        for (const QString &name : names) {
            const QString code = CountryCodeIn(bytes, name);
            QVERIFY2(!code.isEmpty(), qPrintable(name));
            QCOMPARE(CountryCodeIn(bytes, CountryNameIn(bytes, code)), code);
        }
        QCOMPARE(CountryCodeIn(bytes, QStringLiteral("Hrvatska")), QStringLiteral("+385"));
        QCOMPARE(CountryNameIn(bytes, QStringLiteral("+386")), QStringLiteral("Slovenija"));
    }
};

QTEST_GUILESS_MAIN(TestCountryList)
#include "tst_countrylist.moc"

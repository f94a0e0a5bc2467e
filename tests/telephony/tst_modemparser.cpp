#include "telephony/ModemLineParser.h"

#include <QTest>

using telephony::CallerIdRecord;
using telephony::ModemLine;
using telephony::ModemLineParser;

Q_DECLARE_METATYPE(ModemLine::Kind)

using namespace Qt::StringLiterals;

namespace {

QList<ModemLine> parse(ModemLineParser &parser, const QByteArray &bytes)
{
    QList<ModemLine> lines;
    parser.feed(bytes, [&](const ModemLine &l) { lines.append(l); });
    return lines;
}

} // namespace

class TestModemParser : public QObject
{
    Q_OBJECT

private slots:
    void classifiesLines_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<ModemLine::Kind>("kind");
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("value");
        auto row = [](const char *line, ModemLine::Kind kind, const char *key, const char *value) {
            QTest::newRow(line) << QByteArray(line) << kind << QByteArray(key) << QByteArray(value);
        };
        row("ring", ModemLine::Ring, "", "ring");
        row("AT+VCID=1", ModemLine::Echo, "", "AT+VCID=1");
        row("NMBR = 0912345678", ModemLine::CallerId, "NMBR", "0912345678");
        row("NAME =  Ana Horvat ", ModemLine::CallerId, "NAME", "Ana Horvat");
        row("FOO = 1", ModemLine::Text, "", "FOO = 1");
        row("RINGING", ModemLine::Text, "", "RINGING");
        row("0", ModemLine::Ok, "", "0");
        row("4", ModemLine::Error, "", "4");
        // Junk that looks like caller ID is text: it neither starts nor completes a call.
        for (const char *junk :
             {"DATE = 1399", "DATE = 12", "TIME = 2560", "NMBR = hello", "NMBR = ", "NMBR = 09-",
              "NAME = ", "NAME = !!!", "MESG = xyz", "xNMBR = 0912", "NMBR=1 TIME=99"})
            row(junk, ModemLine::Text, "", QByteArray(junk).trimmed().constData());
    }

    void classifiesLines()
    {
        QFETCH(QByteArray, line);
        QFETCH(ModemLine::Kind, kind);
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, value);
        ModemLineParser parser;
        const QList<ModemLine> lines = parse(parser, "\r\n" + line + "\r\n");
        QCOMPARE(lines.size(), 1);
        QCOMPARE(lines.first().kind, kind);
        QCOMPARE(lines.first().key, key);
        QCOMPARE(lines.first().value, value);
    }

    void splitsAndSurvivesNoise_data()
    {
        QTest::addColumn<QList<QByteArray>>("chunks");
        QTest::addColumn<QByteArray>("expected"); // kinds as letters: O k, R ring, C caller, T text

        QTest::newRow("split inside a line")
            << QList<QByteArray>{"\r\nRI", "NG\r", "\nNMBR = 1", "23\r\n"} << QByteArray("RC");
        QTest::newRow("lone line feeds") << QList<QByteArray>{"RING\nRING\n\n\nOK\n"} << QByteArray("RRO");
        // What is left of noise after dropping control bytes is a harmless text line.
        QTest::newRow("binary noise then ring")
            << QList<QByteArray>{QByteArray("\x00\x01\xff\xfe\x1b[2J", 8) + "\r\nRING\r\n"}
            << QByteArray("TR");
    }

    void splitsAndSurvivesNoise()
    {
        QFETCH(QList<QByteArray>, chunks);
        QFETCH(QByteArray, expected);
        ModemLineParser parser;
        QByteArray kinds;
        for (const QByteArray &c : chunks) {
            for (const ModemLine &l : parse(parser, c)) {
                const char letters[] = {'O', 'E', 'R', 'N', 'A', 'C', 'T'};
                kinds += letters[l.kind];
            }
        }
        QCOMPARE(kinds, expected);
    }

    void overlongLineIsDroppedWithBoundedMemory()
    {
        ModemLineParser parser;
        const QByteArray junk(1 << 20, 'x');
        QVERIFY(parse(parser, junk).isEmpty());
        QVERIFY(parser.pendingBytes() <= ModemLineParser::kMaxLineLength);
        // The rest of the endless line is skipped; the next line is read normally.
        const QList<ModemLine> lines = parse(parser, "more junk\r\nRING\r\n");
        QCOMPARE(lines.size(), 1);
        QCOMPARE(lines.first().kind, ModemLine::Ring);
    }

    void callerOfRecord_data()
    {
        QTest::addColumn<QByteArray>("number");
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QString>("caller"); // name|number|withheld|unavailable
        auto row = [](const char *number, const char *name, const char *caller) {
            QTest::newRow(QByteArray(number) + '/' + name)
                << QByteArray(number) << QByteArray(name) << QString::fromUtf8(caller);
        };
        row("0912345678", "Ana Horvat", "Ana Horvat|0912345678|0|0");
        row("private", "Private", "||1|0");
        row("OUT-OF-AREA", "", "||0|1");
        row("P", "Ana", "Ana||1|0");
        row("1", "Olga", "Olga|1|0|0"); // a name that merely starts with O
        row("", "", "||0|0");
    }

    void callerOfRecord()
    {
        QFETCH(QByteArray, number);
        QFETCH(QByteArray, name);
        CallerIdRecord record;
        record.add("DATE", "1206");
        record.add("NMBR", number);
        if (!name.isEmpty())
            record.add("NAME", name);
        const telephony::CallerId c = record.callerId();
        QTEST(QStringList({c.name, c.number, QString::number(c.withheld), QString::number(c.unavailable)})
                  .join(u'|'),
              "caller");
        QVERIFY(c.calledNumber.isEmpty());
    }

    void recordCompletesOnlyWithNumberAndName()
    {
        CallerIdRecord record;
        record.add("DATE", "1206");
        record.add("TIME", "0954");
        QVERIFY(!record.hasParty());
        record.add("NMBR", "0912345678");
        QVERIFY(record.hasParty());
        QVERIFY(!record.isComplete());
        record.add("NAME", "Ana");
        QVERIFY(record.isComplete());
    }

    void recordValuesAreBounded()
    {
        CallerIdRecord record;
        for (int i = 0; i < 10000; ++i)
            record.add("MESG", QByteArray(200, 'm'));
        record.add("NAME", QByteArray(500, 'n'));
        QVERIFY(record.rawText().size() < 1024);
        QCOMPARE(record.name().size(), CallerIdRecord::kMaxValueLength);
    }

    void wellFormedRecordLines_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("raw"); // the record as the line keeps it

        auto row = [](const char *name, const QByteArray &bytes, const QString &decoded,
                      const QByteArray &raw) { QTest::newRow(name) << bytes << decoded << raw; };
        row("compact record on one line", "DATE=1206 TIME=0954 NMBR=0912345678 NAME=Ana Horvat\r\n",
            u"Ana Horvat"_s, "DATE=1206\nTIME=0954\nNMBR=0912345678\nNAME=Ana Horvat\n");
        row("name in Windows-1250", "NMBR = 091\r\nNAME = \xC8\x61\xE8i\xE6\xD0\r\n", u"ČačićĐ"_s,
            "NMBR=091\nNAME=\xC8\x61\xE8i\xE6\xD0\n");
        row("name in UTF-8, junk between", "NMBR = 091\r\nNAME = ?\x01\r\nNAME = Čačić Đurđa\r\n",
            u"Čačić Đurđa"_s, "NMBR=091\nNAME=Čačić Đurđa\n");
    }

    void wellFormedRecordLines()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, name);
        QFETCH(QByteArray, raw);
        ModemLineParser parser;
        CallerIdRecord record;
        for (const ModemLine &l : parse(parser, bytes)) {
            if (l.kind == ModemLine::CallerId)
                record.add(l.key, l.value);
        }
        QCOMPARE(record.name(), name);
        QCOMPARE(record.rawText(), raw);
    }
};

QTEST_GUILESS_MAIN(TestModemParser)
#include "tst_modemparser.moc"

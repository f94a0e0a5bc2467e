// Address-book files written by our own writer, read back as the import reads them.

#include "TestSupport.h"
#include "WabWriter.h"

#include "exchange/ImportWabFunc.h"
#include "exchange/WabTags.h"

#include <QTest>
#include <QtEndian>

using namespace Qt::StringLiterals;
using namespace wab;
namespace w = wabwriter;

namespace {

QList<w::Record> sampleRecords()
{
    return {
        {7,
         {w::text8(PR_DISPLAY_NAME, "Horvat Ana"), w::text8(PR_COMPANY_NAME, "Kvarner d.d."),
          w::text8(PR_HOME_TELEPHONE_NUMBER, "051 111"), w::number(0x3A4E0003, 9),
          w::text8(PR_EMAIL_ADDRESS, "prva@x.hr"),
          w::multi8(PR_CONTACT_EMAIL_ADDRESSES, {"a@x.hr", "b@x.hr", "c@x.hr", "d@x.hr", "e@x.hr"}),
          w::text8(PR_COMMENT, "Kod \x9A"
                               "ef"),
          w::text8(0x3A44001E, "srednje ime")}},
        {8, {w::text8(PR_DISPLAY_NAME, "Obitelj")}, true, MAPI_DISTLIST},
        {9, {w::text8(PR_DISPLAY_NAME, "Obrisan")}, false},
        {12,
         {w::wide(PR_DISPLAY_NAME, u"Đurić\tŽeljka\x1b"_s),
          w::multiWide(PR_CONTACT_EMAIL_ADDRESSES, {u"z@ž.hr"_s}),
          w::wide(PR_EMAIL_ADDRESS, u"zadnja@x.hr"_s), w::wide(PR_BUSINESS_TELEPHONE_NUMBER, u"01 222"_s)},
         true,
         0},
    };
}

void patch(QByteArray &bytes, int at, std::uint32_t value)
{
    qToLittleEndian(value, bytes.data() + at);
}

QString readError(const QByteArray &bytes, QList<TWABRecord> *records = nullptr)
{
    const QString path = testsupport::testDataDir() + u"test.wab"_s;
    testsupport::writeFile(path, bytes);
    QList<TWABRecord> list{TWABRecord{}};
    QString error;
    const bool ok = ReadWabFile(path, list, &error);
    if (records)
        *records = list;
    if (!ok && !list.isEmpty())
        return u"records left after a failure"_s;
    return ok ? QString() : error;
}

} // namespace

class TestWabReader : public QObject
{
    Q_OBJECT

private slots:
    // Contacts only, in file order; 8-bit and wide strings; e-mail 1 from whichever of the
    // single address and the list comes later.
    void readsContacts()
    {
        QList<TWABRecord> list;
        QCOMPARE(readError(w::file(sampleRecords()), &list), QString());
        QCOMPARE(list.size(), 2);
        const TWABRecord &ana = list[0];
        QCOMPARE(ana.DisplayName, u"Horvat Ana"_s);
        QCOMPARE(ana.Comment, u"Kod šef"_s);
        QCOMPARE(ana.EMail, (std::array<QString, 4>{"a@x.hr", "b@x.hr", "c@x.hr", "d@x.hr"}));
        const TWABRecord &zeljka = list[1];
        QCOMPARE(zeljka.RecordNumber, 1);
        QCOMPARE(zeljka.DisplayName, u"Đurić Željka"_s);
        QCOMPARE(zeljka.EMail, (std::array<QString, 4>{"zadnja@x.hr", "", "", ""}));

        QCOMPARE(WabRecordFields(ana).size(), 28);

        QCOMPARE(WabInfoTip(ana),
                 u"Naziv osobe:  Horvat Ana\rTvrtka:  Kvarner d.d.\r\rTelefonski brojevi:\r   051 "
                 u"111\r\rE-mail adrese:\r   a@x.hr\r   b@x.hr\r   c@x.hr\r   d@x.hr"_s);
    }

    void damagedFileIsRefused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");
        const QList<w::Record> records = sampleRecords();
        const QByteArray good = w::file(records);
        const int second = w::recordOffset(records, 1);
        auto changed = [&](int at, std::uint32_t value) {
            QByteArray b = good;
            patch(b, at, value);
            return b;
        };
        QTest::newRow("empty") << QByteArray() << u"nije datoteka"_s;
        QTest::newRow("other signature") << changed(0, 0x12345678) << u"nije datoteka"_s;
        QTest::newRow("no index table") << changed(0x18, 0x84D0) << u"nema tablice"_s;
        QTest::newRow("index past the end") << changed(0x24, 0x7FFFFFFF) << u"tablica zapisa izlazi"_s;
        QTest::newRow("record past the end")
            << changed(0x78 + 4, std::uint32_t(good.size() - 8)) << u"izlazi izvan datoteke"_s;
        QTest::newRow("truncated") << good.left(good.size() - 3) << u"izlazi izvan datoteke"_s;
        QTest::newRow("data length lies") << changed(second + 28, 0xFFFFFFF0) << u"izlazi izvan datoteke"_s;
        QTest::newRow("id differs from index") << changed(second + 8, 99) << u"ne odgovara"_s;
        QByteArray twice = changed(0x78 + 8, 7);
        patch(twice, 0x78 + 12, std::uint32_t(w::recordOffset(records, 0)));
        QTest::newRow("records overlap") << twice << u"preklapaju"_s;
        QTest::newRow("property count lies") << changed(second + 12, 0x40000000) << u"više svojstava"_s;
        QTest::newRow("property runs past the record") << changed(second + 12, 3) << u"svojstvo zapisa"_s;
        // The e-mail list of the first record: tag, count, length of all values.
        const int list = int(good.indexOf(QByteArray::fromHex("1e10563a")));
        QTest::newRow("value count lies") << changed(list + 4, 1000) << u"svojstvo zapisa"_s;
        QTest::newRow("value length lies") << changed(list + 12, 0x7FFFFFFF) << u"svojstvo zapisa"_s;
    }

    void damagedFileIsRefused()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        const QString error = readError(bytes);
        QVERIFY2(error.contains(reason), qPrintable(error));
    }

    // Type-ahead from the row it is given, round to the top.
    void typeAhead()
    {
        QList<TWABRecord> list(3);
        list[0].DisplayName = u"Ana"_s;
        list[1].DisplayName = u"Marko"_s;
        list[2].DisplayName = u"Marija"_s;
        QCOMPARE(FindWabRow(list, u"ma"_s, 1, true), 1);
        QCOMPARE(FindWabRow(list, u"AN"_s, 1, true), 0);
        QCOMPARE(FindWabRow(list, u"AN"_s, 1, false), -1);
    }
};

QTEST_GUILESS_MAIN(TestWabReader)
#include "tst_wabreader.moc"

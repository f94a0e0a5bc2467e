// Address-book files laid out as the format's public description gives them, read as the import
// reads them.

#include "TestSupport.h"
#include "WabWriter.h"

#include "exchange/ImportWabFunc.h"
#include "exchange/WabCode.h"
#include "exchange/WabTags.h"

#include <QTest>
#include <QtEndian>

using namespace Qt::StringLiterals;
using namespace wab;
namespace w = wabwriter;

namespace {

// Contacts in 8-bit and wide strings, and what is not one: a distribution list (with its members,
// a multi-valued binary property), a deleted contact and a folder.
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
        {8, {w::text8(PR_DISPLAY_NAME, "Obitelj"), w::multi8(0x80091102, {"\x01\x02"})}, true, MAPI_DISTLIST},
        {9, {w::text8(PR_DISPLAY_NAME, "Obrisan")}, false},
        {10, {w::wide(PR_DISPLAY_NAME, u"Main Identity's Contacts"_s)}, true, 4},
        {12,
         {w::wide(PR_DISPLAY_NAME, u"Đurić\tŽeljka\x1b"_s),
          w::multiWide(PR_CONTACT_EMAIL_ADDRESSES, {u"z@ž.hr"_s}),
          w::wide(PR_EMAIL_ADDRESS, u"zadnja@x.hr"_s), w::wide(PR_BUSINESS_TELEPHONE_NUMBER, u"01 222"_s)}},
    };
}

void patch(QByteArray &bytes, int at, std::uint32_t value)
{
    qToLittleEndian(value, bytes.data() + at);
}

QString readError(const QByteArray &bytes, QList<TWABRecord> *records = nullptr, int *leftOut = nullptr)
{
    const QString path = testsupport::testDataDir() + u"test.wab"_s;
    testsupport::writeFile(path, bytes);
    QList<TWABRecord> list{TWABRecord{}};
    QString error;
    const bool ok = ReadWabFile(path, list, &error, leftOut);
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
    // One contact, byte by byte: header, index, record header, tag list, then the data with each
    // tag again before its length and value.
    void readsLiteralFile()
    {
        const QByteArray file = QByteArray::fromHex(
            "9ccbcb8d1375d211915800c04f7956a4 00000000 00000000"
            "a00f0000 08000000 78000000 01000000 d0840000 44000000 00000000 00000000"
            "d0840000 44000000 00000000 00000000 d0840000 44000000 00000000 00000000"
            "d0840000 44000000 00000000 00000000 d0840000 44000000 00000000 00000000"
            "01000000 80000000"
            "01000000 01000000 01000000 03000000 20000000 00000000 00000000 28000000"
            "0300fe0f 1f000130 1e001c3a"
            "0300fe0f 04000000 06000000 1f000130 08000000 41006e00 61000000 1e001c3a 04000000 30393100");
        QList<TWABRecord> list;
        QCOMPARE(readError(file, &list), QString());
        QCOMPARE(list.size(), 1);
        QCOMPARE(list[0].DisplayName, u"Ana"_s);
        QCOMPARE(list[0].MobilePhone, u"091"_s);
        // The signature of the files of Windows 95 and the first Outlook Express.
        const QByteArray old = QByteArray::fromHex("813284c18505d011b29000aa003cf676") + file.mid(16);
        QCOMPARE(readError(old), QString());
    }

    // Contacts only, in file order; 8-bit and wide strings; e-mail 1 from whichever of the single
    // address and the list comes later.
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
        QCOMPARE(zeljka.DisplayName, u"Đurić Željka"_s);
        QCOMPARE(zeljka.EMail, (std::array<QString, 4>{"zadnja@x.hr", "", "", ""}));
    }

    // A file of tiny records gives the most contacts that are read and counts the rest.
    void contactsPastTheLimitAreCounted()
    {
        const QList<w::Record> records(kMaxContacts + 2, w::Record{1, {w::text8(PR_DISPLAY_NAME, "A")}});
        QList<TWABRecord> list;
        int leftOut = 0;
        QCOMPARE(readError(w::file(records), &list, &leftOut), QString());
        QCOMPARE(list.size(), kMaxContacts);
        QCOMPARE(leftOut, 2);
    }

    void damagedFileIsRefused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");
        const QByteArray good = w::file(sampleRecords());
        // The index's second entry gives where the second record starts.
        const int second = int(qFromLittleEndian<std::uint32_t>(good.constData() + 0x78 + 12));
        auto changed = [&](int at, std::uint32_t value) {
            QByteArray b = good;
            patch(b, at, value);
            return b;
        };
        QTest::newRow("other signature") << changed(0, 0x12345678) << u"nije datoteka"_s;
        QTest::newRow("no index table") << changed(0x18, 0x84D0) << u"nema tablice"_s;
        QTest::newRow("index past the end") << changed(0x24, 0x7FFFFFFF) << u"tablica zapisa izlazi"_s;
        QTest::newRow("record past the end")
            << changed(0x78 + 4, std::uint32_t(good.size() - 8)) << u"izlazi izvan datoteke"_s;
        QTest::newRow("data length lies") << changed(second + 28, 0xFFFFFFF0) << u"izlazi izvan datoteke"_s;
        QByteArray twice = changed(0x78 + 8, 7);
        patch(twice, 0x78 + 12, qFromLittleEndian<std::uint32_t>(good.constData() + 0x78 + 4));
        QTest::newRow("records overlap") << twice << u"preklapaju"_s;
        QTest::newRow("property count lies")
            << changed(second + 12, 0x40000000) << u"izlazi izvan datoteke"_s;
        // The list's two more tags leave too little data for five properties.
        QByteArray more = changed(second + 12, 5);
        patch(more, second + 28, qFromLittleEndian<std::uint32_t>(good.constData() + second + 28) - 8);
        QTest::newRow("more properties than data") << more << u"više svojstava"_s;
        // The second record's data: the object type (12 bytes), then the name's tag and length.
        QTest::newRow("tags disagree") << changed(second + 56, 0x3001001F) << u"ne odgovaraju popisu"_s;
        QTest::newRow("property runs past the record")
            << changed(second + 60, 1000) << u"izlazi izvan zapisa"_s;
        // The e-mail list in the first record's data: tag, count, length of all values.
        const int list = int(good.lastIndexOf(QByteArray::fromHex("1e10563a")));
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
};

QTEST_GUILESS_MAIN(TestWabReader)
#include "tst_wabreader.moc"

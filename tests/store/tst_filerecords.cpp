#include "store/Cp1250.h"
#include "store/DataFiles.h"
#include "store/FileRecords.h"

#include "TestSupport.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

// The record codecs against byte images built by hand from the documented layouts: offsets and
// sizes below are written out literally, never taken from the code under test.
namespace {

// Puts a short string (length byte + Latin-1 text) at an offset of a hand-built record.
void put(QByteArray &bytes, int offset, const QByteArray &text)
{
    bytes[offset] = char(text.size());
    for (int i = 0; i < text.size(); ++i)
        bytes[offset + 1 + i] = text[i];
}

struct Field
{
    int offset;
    int capacity;
    QString AListAddress::*member;
};

// Every plain text field of a contact record, with its offset and capacity.
const QList<Field> &contactTextFields()
{
    static const QList<Field> fields = {
        {0, 25, &AListAddress::FirstName},        {26, 25, &AListAddress::LastName},
        {52, 25, &AListAddress::NickName},        {78, 65, &AListAddress::DisplayNameAs},
        {144, 40, &AListAddress::Group},          {185, 50, &AListAddress::HomeAddress},
        {236, 50, &AListAddress::HomeCity},       {287, 50, &AListAddress::HomePostNo},
        {338, 50, &AListAddress::HomeCountry},    {389, 50, &AListAddress::HomeWebPage},
        {440, 50, &AListAddress::CompanyName},    {491, 50, &AListAddress::CompanyDepartment},
        {542, 50, &AListAddress::CompanyOffice},  {593, 50, &AListAddress::CompanyJobTitle},
        {644, 50, &AListAddress::CompanyAddress}, {695, 50, &AListAddress::CompanyCity},
        {746, 50, &AListAddress::CompanyPostNo},  {797, 50, &AListAddress::CompanyCountry},
        {848, 50, &AListAddress::CompanyWebPage}, {1519, 255, &AListAddress::Notes},
        {1775, 255, &AListAddress::UseThisSound}, {2031, 255, &AListAddress::Picture},
    };
    return fields;
}

// A contact with a distinct text in every field, and its hand-built 2300-byte image.
void sampleContact(AListAddress &c, QByteArray &bytes)
{
    bytes = QByteArray(2300, '\0');
    int n = 0;
    for (const Field &f : contactTextFields()) {
        const QByteArray text = "f" + QByteArray::number(n++);
        c.*(f.member) = QString::fromLatin1(text);
        put(bytes, f.offset, text);
    }
    for (int k = 0; k < 8; ++k) {
        c.PhoneLocation[k] = u"loc%1"_s.arg(k + 1);
        put(bytes, 899 + 31 * k, "loc" + QByteArray::number(k + 1));
        c.PhoneNumber[k] = u"+385 1 %1"_s.arg(k + 1);
        put(bytes, 1147 + 31 * k, "+385 1 " + QByteArray::number(k + 1));
    }
    for (int k = 0; k < 4; ++k) {
        c.EMail[k] = u"m%1@x.hr"_s.arg(k + 1);
        put(bytes, 1395 + 31 * k, "m" + QByteArray::number(k + 1) + "@x.hr");
    }
    c.ActualDimensions = true;
    bytes[2287] = 1;
    c.CenterPicture = false;
    c.SoundMode = -0x01020304; // two's complement 0xFEFDFCFC, least significant byte first
    bytes[2292] = char(0xFC);
    bytes[2293] = char(0xFC);
    bytes[2294] = char(0xFD);
    bytes[2295] = char(0xFE);
    c.BlackList = true;
    bytes[2296] = 1;
}

} // namespace

class TestFileRecords : public QObject
{
    Q_OBJECT
private slots:
    // Garbage in the unused string bytes and the padding is ignored; any non-zero byte is true.
    void contactLayout()
    {
        AListAddress contact;
        QByteArray bytes;
        sampleContact(contact, bytes);
        QCOMPARE(EncodeFileRec(contact), bytes);
        QCOMPARE(TAddressFileRec::decode(bytes.constData()), contact);

        for (const Field &f : contactTextFields()) {
            const int used = 1 + int(static_cast<unsigned char>(bytes[f.offset]));
            for (int i = used; i <= f.capacity; ++i)
                bytes[f.offset + i] = char(0xA5);
        }
        for (int i : {2289, 2290, 2291, 2297, 2298, 2299})
            bytes[i] = char(0x5A);
        bytes[2288] = char(0x02);
        contact.CenterPicture = true;
        QCOMPARE(TAddressFileRec::decode(bytes.constData()), contact);
    }

    void groupLayout()
    {
        QByteArray expected(297, '\0');
        put(expected, 0, "Prijatelji");
        put(expected, 41, "/home/ana/ring.wav");
        const AGroups group{u"Prijatelji"_s, u"/home/ana/ring.wav"_s};
        QCOMPARE(EncodeFileRec(group), expected);
        QCOMPARE(TGroupFileRec::decode(expected.constData()), group);
    }

    void callLayout()
    {
        QByteArray expected(152, '\0');
        put(expected, 0, "Ana Horvat");
        put(expected, 66, "0911234567");
        put(expected, 97, "< Sakriven >");
        const char date[] = {0, 0, 0, 0, 0, char(0x8E), char(0xE2), 0x40}; // 38000.0
        const char time[] = {0, 0, 0, 0, 0, 0, char(0xE8), 0x3F};          // 0.75
        expected.replace(128, 8, QByteArray(date, 8));
        expected.replace(136, 8, QByteArray(time, 8));
        expected[144] = 1;
        const ACalls call{u"Ana Horvat"_s, u"0911234567"_s, u"< Sakriven >"_s, 38000.0, 0.75, true};
        QCOMPARE(EncodeFileRec(call), expected);
        QCOMPARE(TCallFileRec::decode(expected.constData()), call);
    }

    // Every byte decodes to one character and back, including the five bytes the code page
    // leaves without a character.
    void everyByteRoundTrips()
    {
        QByteArray all(256, Qt::Uninitialized);
        for (int i = 0; i < 256; ++i)
            all[i] = char(i);
        const QString text = DecodeCp1250(all);
        QCOMPARE(text.size(), 256);
        QCOMPARE(EncodeCp1250(text), all);
        QCOMPARE(text.mid(0x80, 2), u"\u20AC\u0081"_s);
        QCOMPARE(text.at(0x8A), QChar(u'\u0160'));
        QCOMPARE(text.at(0xFF), QChar(u'\u02D9'));
    }

    void textIsCutAndEncoded_data()
    {
        QTest::addColumn<int>("capacity");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QString>("readBack");

        const QString forty = QString(40, QLatin1Char('a'));
        QTest::newRow("40 chars in a 25 field")
            << 25 << forty << QByteArray(25, 'a') << QString(25, QLatin1Char('a'));
        QTest::newRow("croatian letters")
            << 30 << u"Šibenik Đurđ Žut"_s << QByteArray("\x8Aibenik \xD0ur\xF0 \x8Eut")
            << u"Šibenik Đurđ Žut"_s;
        QTest::newRow("not in code page")
            << 30 << u"Señor Кличко 中"_s << QByteArray("Senor Kli\xE8ko Zhong") << u"Senor Kličko Zhong"_s;
        QTest::newRow("emoji dropped") << 3 << u"a\U0001F600bcd"_s << QByteArray("abc") << u"abc"_s;
    }
    void textIsCutAndEncoded()
    {
        QFETCH(int, capacity);
        QFETCH(QString, text);
        QFETCH(QByteArray, stored);
        QFETCH(QString, readBack);

        QByteArray field(capacity + 3, char(0x77)); // sentinels after the field
        WriteShortString(field.data(), capacity, text);
        QCOMPARE(int(static_cast<unsigned char>(field[0])), int(stored.size()));
        QCOMPARE(field.mid(1, stored.size()), stored);
        QCOMPARE(field.mid(1 + stored.size(), capacity - stored.size()),
                 QByteArray(capacity - stored.size(), '\0'));
        QCOMPARE(field.right(2), QByteArray(2, char(0x77)));
        QCOMPARE(ReadShortString(field.constData(), capacity), readBack);
    }

    void dates_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QDateTime>("moment");
        QTest::newRow("epoch") << 0.0 << QDateTime(QDate(1899, 12, 30), QTime(0, 0));
        QTest::newRow("14 Jan 2004 18:00") << 38000.75 << QDateTime(QDate(2004, 1, 14), QTime(18, 0));
        QTest::newRow("before epoch") << -1.25 << QDateTime(QDate(1899, 12, 29), QTime(6, 0));
        QTest::newRow("milliseconds")
            << 45000.0 + 1234.0 / 86400000.0 << QDateTime(QDate(2023, 3, 15), QTime(0, 0, 1, 234));
    }
    void dates()
    {
        QFETCH(double, value);
        QFETCH(QDateTime, moment);
        QCOMPARE(DateTimeFromTDateTime(value), moment);
        QCOMPARE(DateFromTDateTime(value), moment.date());
        QCOMPARE(TimeFromTDateTime(value), moment.time());
        QVERIFY(std::fabs(TDateTimeFromQDateTime(moment) - value) < 1e-9);
        QCOMPARE(TDateFromQDate(moment.date()), std::trunc(value));
        QVERIFY(std::fabs(TTimeFromQTime(moment.time()) - std::fabs(value - std::trunc(value))) < 1e-9);
    }

    // Values read from a damaged file must give an invalid moment, not a crash or a wild date.
    void unusableValues()
    {
        for (const double value : {std::numeric_limits<double>::quiet_NaN(), 1e300}) {
            QVERIFY(!DateFromTDateTime(value).isValid());
            QVERIFY(!TimeFromTDateTime(value).isValid());
            QVERIFY(!DateTimeFromTDateTime(value).isValid());
        }
    }

    // Zeros are no records, a few records that cannot be are left out, and a file made mostly of
    // them is damaged: kept beside itself, and named in the result.
    void junkInDataFiles_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("loaded"); // -1: any number
        QTest::addColumn<bool>("damaged");
        const auto call = [](double date, double time) {
            return EncodeFileRec(ACalls{u"Ana"_s, u"091"_s, u"01"_s, date, time, false});
        };
        const QByteArray good = call(46000, 0.5);
        QByteArray tooLong = good;
        tooLong[66] = char(31);
        QByteArray random(2300 * 40, Qt::Uninitialized);
        QRandomGenerator(7).fillRange(reinterpret_cast<quint32 *>(random.data()), random.size() / 4);
        QTest::newRow("calls, then zeros")
            << u"Calls.dat"_s << good + good + QByteArray(152 * 9999, 0) << 2 << false;
        QTest::newRow("two bad of four")
            << u"Calls.dat"_s << good + call(1e300, 0) + good + tooLong << 2 << false;
        QTest::newRow("three bad of four")
            << u"Calls.dat"_s << good + call(46000.5, 0) + call(46000, -0.25) + tooLong << 1 << true;
        for (const QString &name : {u"Calls.dat"_s, u"Addressbook.dat"_s, u"Groups.dat"_s})
            QTest::newRow(qPrintable(u"random "_s + name)) << name << random << -1 << true;
    }
    void junkInDataFiles()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(int, loaded);
        QFETCH(bool, damaged);
        QTemporaryDir dir;
        const QString path = dir.path() + u'/' + name;
        testsupport::writeFile(path, bytes);
        TContactList contacts;
        TGroupList groups;
        TCallList calls;
        const StoreResult result =
            name == u"Calls.dat"_s    ? LoadCalls(dir.path() + u'/', calls, FileAccess::ReadOnly)
            : name == u"Groups.dat"_s ? LoadGroups(dir.path() + u'/', groups, FileAccess::ReadOnly)
                                      : LoadAddressbook(dir.path() + u'/', contacts, FileAccess::ReadOnly);
        QCOMPARE(result.kind, damaged ? StoreResult::Kind::Damaged : StoreResult::Kind::Ok);
        QVERIFY(loaded < 0 || calls.size() == loaded);
        QVERIFY(damaged ? testsupport::readFile(path + u".damaged"_s) == bytes
                        : !QFile::exists(path + u".damaged"_s));
    }

    void timeJustBeforeMidnight()
    {
        const double value = 38000.0 + 0.9999999999;
        QCOMPARE(TimeFromTDateTime(value), QTime(23, 59, 59, 999));
        QCOMPARE(DateTimeFromTDateTime(value), QDateTime(QDate(2004, 1, 15), QTime(0, 0)));
    }
};

QTEST_GUILESS_MAIN(TestFileRecords)
#include "tst_filerecords.moc"

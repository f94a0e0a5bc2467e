#include "store/Numbers.h"
#include "store/Records.h"

#include "TestSupport.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

TContactList g_contacts;

AListAddress contact(const QString &name, const QStringList &numbers, const QStringList &locations = {})
{
    AListAddress c;
    c.DisplayNameAs = name;
    for (int k = 0; k < numbers.size() && k < 8; ++k) {
        c.PhoneNumber[std::size_t(k)] = numbers[k];
        c.PhoneLocation[std::size_t(k)] = k < locations.size() ? locations[k] : u"L%1"_s.arg(k + 1);
    }
    return c;
}

// The look-up as a plain scan over the list does it: the first contact, and within it the first
// number, that NumbersMatch() accepts. The stored numbers are reduced to digits once beforehand.
ContactMatch referenceFind(const QList<std::array<QString, 8>> &stored, const QString &callerNumber)
{
    const QString digits = DigitsOnly(callerNumber);
    for (int i = 0; i < stored.size(); ++i) {
        for (std::size_t k = 0; k < 8; ++k) {
            if (NumbersMatch(digits, stored[i][k]))
                return {i, g_contacts[i].PhoneLocation[k]};
        }
    }
    return {};
}

void writeIni(const QString &path, const QByteArray &text)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    testsupport::writeFile(path, text);
}

} // namespace

class TestNumbers : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        g_contacts.clear();
        OwnAreaCode.clear();
    }

    // Only ASCII digits are digits of a telephone number.
    void reducesToCharacterSets()
    {
        QCOMPARE(DigitsOnly(u"+385 (1) 234-5678"_s), u"38512345678"_s);
        QCOMPARE(PhoneCharsOnly(u"+385 (1) 234-5678"_s), u"+3851234-5678"_s);
        QCOMPARE(DigitsOnly(QString::fromUtf8("٣4५")), u"4"_s);
        QCOMPARE(PhoneCharsOnly(QString::fromUtf8("٣4५")), u"4"_s);
    }

    void numbersMatch_data()
    {
        QTest::addColumn<QString>("caller");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("match");
        auto row = [](const char *name, const char *caller, const char *stored, bool match) {
            QTest::newRow(name) << QString::fromLatin1(caller) << QString::fromLatin1(stored) << match;
        };
        row("international caller, international stored", "0038512345678", "38512345678", true);
        row("national caller, international stored", "012345678", "38512345678", true);
        row("caller longer than stored", "38512345678", "012345678", false);
        row("blanks around", " 5678 ", "12345678", true);
        // Zeros alone would be an empty tail, which every number ends with.
        row("zeros-only caller", "000", "12345678", false);
        row("zeros-only stored", "12345678", "0000", false);
        row("zero inside counts", "0102", "99102", true);
    }
    void numbersMatch()
    {
        QFETCH(QString, caller);
        QFETCH(QString, stored);
        QFETCH(bool, match);
        QCOMPARE(NumbersMatch(caller, stored), match);
    }

    void findsFirstContact_data()
    {
        QTest::addColumn<QString>("callerNumber");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("location");
        // Contacts set up in findsFirstContact().
        QTest::newRow("international caller") << "00385 1 2345678" << 0 << "Posao";
        QTest::newRow("first contact wins a tie") << "2345678" << 0 << "Posao";
        QTest::newRow("lowest number wins within a contact") << "777" << 2 << "L2";
        QTest::newRow("later contact") << "098 765 432" << 1 << "Mobitel";
        QTest::newRow("black-listed contact takes part") << "0911111111" << 3 << "L1";
        QTest::newRow("zeros-only caller") << "0000" << -1 << "";
        QTest::newRow("more than eight digits") << "123456789012" << 4 << "L3";
        QTest::newRow("tail of a number longer than eight digits") << "89012" << 4 << "L2";
    }
    void findsFirstContact()
    {
        QFETCH(QString, callerNumber);
        QFETCH(int, index);
        QFETCH(QString, location);
        g_contacts.append(contact(u"Ana"_s, {u"+385 1 2345678"_s}, {u"Posao"_s}));
        g_contacts.append(
            contact(u"Ivo"_s, {u"000"_s, u"098/765-432"_s, u"01 2345678"_s}, {u"Kuća"_s, u"Mobitel"_s}));
        g_contacts.append(contact(u"Eva"_s, {QString(), u"777"_s, QString(), QString(), u"1777"_s}));
        AListAddress blocked = contact(u"Spam"_s, {u"091 111 1111"_s});
        blocked.BlackList = true;
        g_contacts.append(blocked);
        g_contacts.append(contact(u"Long"_s, {u"1"_s, u"23456789012"_s, u"0123456789012"_s}));

        const ContactMatch match = FindContactByNumber(g_contacts, callerNumber);
        QCOMPARE(match.index, index);
        QCOMPARE(match.location, location);
    }

    void seesListChanges()
    {
        g_contacts.append(contact(u"A"_s, {u"111 2222"_s}));
        QCOMPARE(FindContactByNumber(g_contacts, u"1112222"_s).index, 0);
        QCOMPARE(FindContactByNumber(g_contacts, u"3334444"_s).index, -1);

        g_contacts.insert(0, contact(u"B"_s, {u"333-4444"_s, u"1112222"_s}));
        QCOMPARE(FindContactByNumber(g_contacts, u"3334444"_s).index, 0);
        QCOMPARE(FindContactByNumber(g_contacts, u"1112222"_s), (ContactMatch{0, u"L2"_s}));

        g_contacts[0].PhoneNumber[1] = u"555"_s;
        QCOMPARE(FindContactByNumber(g_contacts, u"1112222"_s).index, 1);

        g_contacts.removeAt(1);
        QCOMPARE(FindContactByNumber(g_contacts, u"1112222"_s).index, -1);
        g_contacts.clear();
        QCOMPARE(FindContactByNumber(g_contacts, u"3334444"_s).index, -1);
    }

    // The cached scan must give exactly what the plain scan gives: same contact, same number.
    void cachedLookupEqualsPlainScan()
    {
        QRandomGenerator rng(20261206);
        auto randomDigits = [&](int maxLen) {
            QString s;
            const int n = int(rng.bounded(maxLen + 1));
            // A small alphabet makes tails collide often, so ties and near misses get exercised.
            for (int i = 0; i < n; ++i)
                s += QChar(u"00123"[rng.bounded(5)]);
            return s;
        };
        auto decorate = [&](const QString &digits) {
            QString s;
            for (QChar c : digits) {
                if (rng.bounded(6) == 0)
                    s += QChar(u" -/()+x"[rng.bounded(7)]);
                s += c;
            }
            return s;
        };
        QList<std::array<QString, 8>> stored;
        for (int i = 0; i < 3000; ++i) {
            AListAddress c;
            c.DisplayNameAs = QString::number(i);
            std::array<QString, 8> digits;
            for (std::size_t k = 0; k < 8; ++k) {
                if (rng.bounded(3) != 0)
                    c.PhoneNumber[k] = decorate(randomDigits(14));
                c.PhoneLocation[k] = u"%1/%2"_s.arg(i).arg(k);
                digits[k] = DigitsOnly(c.PhoneNumber[k]);
            }
            g_contacts.append(c);
            stored.append(digits);
        }
        int found = 0;
        const ContactNumberIndex index(g_contacts);
        for (int j = 0; j < 2000; ++j) {
            const QString caller = decorate(randomDigits(13));
            const ContactMatch expected = referenceFind(stored, caller);
            const ContactMatch actual = index.find(g_contacts, caller);
            QVERIFY2(actual == expected, qPrintable(u"caller \"%1\""_s.arg(caller)));
            found += expected.found() ? 1 : 0;
        }
        // Both outcomes must have been exercised.
        QVERIFY(found > 200);
        QVERIFY(found < 1800);
    }

    void stripsOwnAreaCode()
    {
        OwnAreaCode = u"01"_s;
        QCOMPARE(StripOwnAreaCode(u"0112345678"_s), u"12345678"_s);
        // A call that reports no called number leaves the area code as it is.
        QCOMPARE(StripOwnAreaCode(QString()), QString());
        QCOMPARE(OwnAreaCode, u"01"_s);
        // A number without the trunk prefix makes the code lose its "0" for good.
        QCOMPARE(StripOwnAreaCode(u"12345678"_s), u"2345678"_s);
        QCOMPARE(OwnAreaCode, u"1"_s);
        QCOMPARE(StripOwnAreaCode(u"0112345678"_s), u"0112345678"_s);

        OwnAreaCode = u"021"_s;
        QCOMPARE(StripOwnAreaCode(u"021"_s), QString());
        QCOMPARE(StripOwnAreaCode(u"02"_s), u"02"_s);
        QCOMPARE(OwnAreaCode, u"021"_s);
    }

    void readsTelephonyAreaCode_data()
    {
        QTest::addColumn<QByteArray>("systemIni");
        QTest::addColumn<QByteArray>("userIni");
        QTest::addColumn<QString>("areaCode");
        QTest::newRow("no files") << QByteArray() << QByteArray() << "";
        QTest::newRow("user location overrides")
            << QByteArray("[Locations]\nCurrentID=1\n[Location1]\nAreaCode=01\n[Location3]\nAreaCode=031\n")
            << QByteArray("[Locations]\nCurrentID=3\n") << "031";
        QTest::newRow("no current location, plain location group")
            << QByteArray("[Location]\nAreaCode=042\n[Location1]\nAreaCode=01\n") << QByteArray() << "042";
        QTest::newRow("current location not an integer")
            << QByteArray("[Locations]\nCurrentID=one\n[Location1]\nAreaCode=01\n") << QByteArray() << "";
    }
    void readsTelephonyAreaCode()
    {
        QFETCH(QByteArray, systemIni);
        QFETCH(QByteArray, userIni);
        QFETCH(QString, areaCode);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        qputenv("XDG_CONFIG_DIRS",
                QFile::encodeName(dir.filePath(u"sys1"_s) + QLatin1Char(':') + dir.filePath(u"sys2"_s)));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.filePath(u"user"_s)));
        const QStringList files = TelephonyLocationFiles();
        QCOMPARE(files, QStringList({dir.filePath(u"sys2/Kavelink/telephony-locations.ini"_s),
                                     dir.filePath(u"sys1/Kavelink/telephony-locations.ini"_s),
                                     dir.filePath(u"user/Kavelink/telephony-locations.ini"_s)}));
        if (!systemIni.isNull())
            writeIni(files[1], systemIni);
        if (!userIni.isNull())
            writeIni(files[2], userIni);
        QCOMPARE(ReadTelephonyAreaCode(), areaCode);
    }

    void formats_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<int>("how");
        QTest::addColumn<QString>("shown");
        QTest::newRow("unchanged") << "012345678" << 0 << "012345678";
        QTest::newRow("pattern 9 digits") << "012345678" << 1 << "(01) 234-5678";
        QTest::newRow("auto local 7") << "1234567" << 2 << "123-4567";
        QTest::newRow("auto local 9 falls back to pattern") << "123456789" << 2 << "(12) 345-6789";
        QTest::newRow("auto trunk 11 falls back to pattern") << "00385123456" << 2 << "+(38) 512-3456";
        QTest::newRow("pattern international 13") << "0038591234567" << 1 << "+(385) 9123-4567";
        QTest::newRow("auto toll-free") << "0800123456" << 2 << "0800 123 456";
        QTest::newRow("auto toll-free short") << "08001234" << 2 << "0800 1234";
        QTest::newRow("auto premium") << "060123456" << 2 << "060 123 456";
        QTest::newRow("auto mobile") << "0912345678" << 2 << "(091) 234-5678";
        QTest::newRow("auto Zagreb") << "012345678" << 2 << "(01) 234-5678";
        QTest::newRow("pattern 00 alone") << "00" << 1 << "+";
        QTest::newRow("pattern with plus, no double plus") << "00123456789012" << 1 << "+123 (45) 678-9012";
    }
    void formats()
    {
        QFETCH(QString, number);
        QFETCH(int, how);
        QFETCH(QString, shown);
        NumberFormatSettings settings;
        settings.HowToFormat = how;
        QCOMPARE(FormatPhoneNumber(number, settings), shown);
    }

    void userPatterns()
    {
        NumberFormatSettings settings;
        settings.HowToFormat = 1;
        settings.FormatString[0] = u"x.x.x"_s;      // fewer "x" than digits: the rest is dropped
        settings.FormatString[1] = u"X xxxxxxxx"_s; // only a lower-case "x" takes a digit
        settings.FormatString[2] = u"++xxxxxxx"_s;
        QCOMPARE(FormatByPattern(u"12345"_s, settings), u"1.2.3"_s);
        QCOMPARE(FormatByPattern(u"123456"_s, settings), u"X 123456"_s);
        QCOMPARE(FormatByPattern(u"1234567"_s, settings), u"+1234567"_s);
        QCOMPARE(FormatByPattern(u"001234567"_s, settings), u"++1234567"_s);
    }
};

QTEST_GUILESS_MAIN(TestNumbers)
#include "tst_numbers.moc"

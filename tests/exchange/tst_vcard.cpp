// vCards written by us and by others, read into the contact's fields.

#include "TestSupport.h"

#include "exchange/VCard.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

AListAddress fullContact()
{
    // clang-format off
    AListAddress c{.FirstName = u"Željka"_s, .LastName = u"Đurić; Horvat"_s, .NickName = u"Žuža, mala"_s,
        .DisplayNameAs = u"Đurić Željka"_s, .HomeAddress = u"Ulica 1\nstan 2"_s, .HomeCity = u"Rijeka"_s,
        .HomePostNo = u"51000"_s, .HomeCountry = u"Hrvatska"_s, .HomeWebPage = u"http://a.hr/?x=1,2;3"_s,
        .CompanyName = u"Kvarner d.d."_s, .CompanyDepartment = u"Prodaja"_s, .CompanyOffice = u"Soba 3"_s,
        .CompanyJobTitle = u"Šef\\voditelj"_s, .CompanyAddress = u"Riva 1"_s, .CompanyCity = u"Zagreb"_s,
        .CompanyPostNo = u"10000"_s, .CompanyCountry = u"HR"_s, .CompanyWebPage = u"https://k.hr"_s,
        .EMail = {u"a@x.hr"_s, u"b@x.hr"_s, u"c@x.hr"_s, u"d@x.hr"_s}, .Notes = QString(100, u'č') + u"\nkraj"_s};
    // clang-format on
    for (int s = 0; s < 8; ++s) {
        c.PhoneNumber[std::size_t(s)] = u"+385 51 00%1"_s.arg(s);
        c.PhoneLocation[std::size_t(s)] = vcard::phoneLocation(s);
    }
    return c;
}

AListAddress onePhone(int slot)
{
    AListAddress c;
    c.DisplayNameAs = u"Slot %1"_s.arg(slot + 1);
    c.PhoneNumber[std::size_t(slot)] = u"01 %1"_s.arg(slot + 1);
    c.PhoneLocation[std::size_t(slot)] = vcard::phoneLocation(slot);
    return c;
}

// The filled fields that tell the mapping apart, phones as "telK=number location".
QString summary(const AListAddress &c)
{
    QStringList out;
    auto add = [&](const char *name, const QString &v) {
        if (!v.isEmpty())
            out << QLatin1String(name) + u'=' + v;
    };
    add("fn", c.DisplayNameAs);
    add("first", c.FirstName);
    add("last", c.LastName);
    add("org", c.CompanyName);
    add("dept", c.CompanyDepartment);
    add("wcity", c.CompanyCity);
    add("note", c.Notes);
    for (int s = 0; s < 8; ++s)
        if (!c.PhoneNumber[std::size_t(s)].isEmpty())
            out << u"tel%1=%2 %3"_s.arg(s + 1).arg(c.PhoneNumber[std::size_t(s)],
                                                   c.PhoneLocation[std::size_t(s)]);
    for (const QString &e : c.EMail)
        add("mail", e);
    return out.join(u" | "_s);
}

// The standard output of PROGRAM, which must succeed.
QString run(const QString &program, const QStringList &args, const QByteArray &input = {})
{
    QProcess p;
    p.start(program, args);
    p.write(input);
    p.closeWriteChannel();
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return u"failed: "_s + QString::fromUtf8(p.readAllStandardError());
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

class TestVCard : public QObject
{
    Q_OBJECT

private slots:
    // Every field back unchanged, through escapes, folding and UTF-8; no line over 75 octets.
    void roundTrip()
    {
        const QByteArray bytes = WriteVCard(fullContact(), u"uid-1"_s);
        for (const QByteArray &line : bytes.split('\n'))
            QVERIFY2(line.size() <= 76, line.constData()); // 75 and the CR
        const QList<TVCard> cards = ReadVCards(bytes);
        QCOMPARE(cards.size(), 1);
        QVERIFY(cards[0].Contact == fullContact());
        QCOMPARE(cards[0].Uid, u"uid-1"_s);
    }

    // Each slot comes back to itself; without our slot marker (another program rewrote the card)
    // the TEL's type still gives the slot, except for the second home and work numbers.
    void phoneSlots()
    {
        const int byTypeOnly[8] = {0, 0, 2, 3, 4, 4, 6, 7};
        for (int slot = 0; slot < 8; ++slot) {
            QByteArray bytes = WriteVCard(onePhone(slot));
            QCOMPARE(summary(ReadVCards(bytes).value(0).Contact), summary(onePhone(slot)));
            bytes.replace(";X-TELLWISE-SLOT=" + QByteArray::number(slot + 1), "");
            QCOMPARE(ReadVCards(bytes).value(0).Contact.PhoneNumber[std::size_t(byTypeOnly[slot])],
                     u"01 %1"_s.arg(slot + 1));
        }
    }

    void foreignCards_data()
    {
        QTest::addColumn<QByteArray>("card");
        QTest::addColumn<QString>("expected");
        // As a phone exports it: quoted-printable with a soft break, charsets, bare types, no FN.
        QTest::newRow("phone 2.1")
            << QByteArray("BEGIN:VCARD\r\nVERSION:2.1\r\n"
                          "N;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=C5=BDuri=C4=87;Ana\r\n"
                          "TEL;CELL;PREF:+385 91 111\r\nTEL;HOME:051 222\r\nTEL;WORK;FAX:01 333\r\n"
                          "EMAIL;INTERNET:ana@x.hr\r\n"
                          "ADR;WORK;CHARSET=windows-1250;QUOTED-PRINTABLE:;;Trg 1;=8Aibenik;;;HR\r\n"
                          "NOTE;ENCODING=QUOTED-PRINTABLE:prvi=0A=\r\ndrugi\r\nEND:VCARD\r\n")
            << u"fn=Ana Žurić | first=Ana | last=Žurić | wcity=Šibenik | note=prvi\ndrugi | "
               u"tel1=051 222 Kuća | tel3=+385 91 111 Mobitel | tel7=01 333 Posao (FAX) | "
               u"mail=ana@x.hr"_s;
        QTest::newRow("4.0 with groups and uris")
            << QByteArray("BEGIN:VCARD\nVERSION:4.0\nFN:Kvarner\nORG:Kvarner;Prodaja\n"
                          "TEL;TYPE=\"work,voice\";VALUE=uri:tel:+38551\nitem1.TEL;TYPE=work:+38552\n"
                          "TEL;TYPE=fax:+38553\nTEL:+38554\nEND:VCARD\n")
            << u"fn=Kvarner | org=Kvarner | dept=Prodaja | tel1=+38554 Kuća | tel5=+38551 Posao | "
               u"tel6=+38552 Posao 2 | "
               u"tel7=+38553 Posao (FAX)"_s;
        // Hostile or damaged input: what can be read is, the rest is dropped.
        QTest::newRow("missing END") << QByteArray("BEGIN:VCARD\nFN:A\nTEL:1") << u"fn=A | tel1=1 Kuća"_s;
        QTest::newRow("huge line") << "BEGIN:VCARD\nFN:A\nNOTE:" + QByteArray(vcard::kMaxLineSize, 'x') +
                                          "\nTEL:1\nEND:VCARD"
                                   << u"fn=A | tel1=1 Kuća"_s;
        QTest::newRow("huge folded line")
            << "BEGIN:VCARD\nFN:A\nNOTE:" + QByteArray(" xxxxxxxx\r\n").repeated(200000) + "END:VCARD"
            << u"fn=A"_s;
        QTest::newRow("control characters in names")
            << "BEGIN:VCARD\nFN:A\0n\0a\0 Hor\x1b[2Jvat\nN:Horvat\\n;Ana\x07\nEND:VCARD"_ba
            << u"fn=Ana Hor[2Jvat | first=Ana | last=Horvat"_s;
        QTest::newRow("bad utf-8") << QByteArray("BEGIN:VCARD\nFN:\xC5\xFF\x9A\nEND:VCARD") << u"fn=Ĺ˙š"_s;
        QTest::newRow("group card") << QByteArray("BEGIN:VCARD\nKIND:group\nFN:G\nEND:VCARD") << QString();
        QTest::newRow("too big") << "BEGIN:VCARD\nFN:A\nEND:VCARD\n" + QByteArray(vcard::kMaxFileSize, '\n')
                                 << QString();
    }
    void foreignCards()
    {
        QFETCH(QByteArray, card);
        QFETCH(QString, expected);
        const QList<TVCard> cards = ReadVCards(card);
        QCOMPARE(cards.size(), expected.isEmpty() ? 0 : 1);
        if (!cards.isEmpty())
            QCOMPARE(summary(cards[0].Contact), expected);
    }

    // Another program's reader takes every card we write, with its names, numbers and e-mails.
    void vobjectParsesOurCards()
    {
        const QString path = testsupport::testDataDir() + u"all.vcf"_s;
        testsupport::writeFile(path, WriteVCard(fullContact(), u"uid-1"_s) + WriteVCard(onePhone(1)));
        const QString out =
            run(u"/usr/bin/python3"_s,
                {u"-c"_s,
                 u"import sys, vobject\n"
                 "for c in vobject.readComponents(open(sys.argv[1], encoding='utf-8').read(), "
                 "validate=True):\n"
                 "  print(c.fn.value, c.n.value.family, len(c.contents.get('tel', [])),"
                 " len(c.contents.get('email', [])))"_s,
                 path});
        QCOMPARE(out, u"Đurić Željka Đurić; Horvat 8 4\nSlot 2  1 0\n"_s);
    }

    // khard lists the numbers and e-mails of a card we wrote, and a card khard wrote is read
    // into the right fields.
    void khardRoundTrip()
    {
        const QString dir = testsupport::testDataDir();
        const QString config = qEnvironmentVariable("XDG_CONFIG_HOME") + u"/khard"_s;
        QVERIFY(QDir(dir + u"book"_s).removeRecursively() && QDir().mkpath(dir + u"book"_s) &&
                QDir().mkpath(config));
        testsupport::writeFile(config + u"/khard.conf"_s,
                               "[addressbooks]\n[[book]]\npath = " + dir.toUtf8() +
                                   "book\n[contact table]\ndisplay = formatted_name\n");
        testsupport::writeFile(dir + u"book/ours.vcf"_s, WriteVCard(fullContact(), u"ours"_s));
        const QString phones = run(u"khard"_s, {u"phone"_s, u"--parsable"_s});
        QCOMPARE(phones.count(u"\tĐurić Željka\t"_s), 8);
        QVERIFY2(phones.contains(u"+385 51 007\tĐurić Željka\thome, fax"_s), qPrintable(phones));

        QVERIFY(!run(u"khard"_s, {u"new"_s, u"-a"_s, u"book"_s},
                     "First name: Ivo\nLast name: Horvat\nOrganisation: Kvarner\nNote: bilješka\nPhone:\n"
                     "  home: 051 1\n  cell: 091 2\n  work: 01 3\n  fax: 01 4\nEmail:\n  home: ivo@x.hr\n")
                     .startsWith(u"failed"_s));
        const QStringList written =
            QDir(dir + u"book"_s).entryList({u"*.vcf"_s}).filter(QRegularExpression(u"^(?!ours)"_s));
        QCOMPARE(written.size(), 1);
        QCOMPARE(summary(ReadVCards(testsupport::readFile(dir + u"book/"_s + written[0])).value(0).Contact),
                 u"fn=Ivo Horvat | first=Ivo | last=Horvat | org=Kvarner | note=bilješka | tel1=051 1 Kuća | "
                 u"tel3=091 2 Mobitel | tel5=01 3 Posao | tel7=01 4 Posao (FAX) | mail=ivo@x.hr"_s);
    }
};

QTEST_GUILESS_MAIN(TestVCard)
#include "tst_vcard.moc"

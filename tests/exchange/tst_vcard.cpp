// vCards written by us and by others, read into the contact's fields.

#include "TestSupport.h"

#include "exchange/VCard.h"

#include <QBuffer>
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
        const AListAddress fourth{.DisplayNameAs = u"X"_s, .EMail = {{{}, {}, {}, u"d@x.hr"_s}}};
        QCOMPARE(ReadVCards(WriteVCard(fourth)).value(0).Contact, fourth);
    }

    // Without our slot marker (another program rewrote the card; with it the round trip above holds)
    // the TEL's type still gives the slot, except for the second home and work numbers.
    void phoneSlots()
    {
        const int byTypeOnly[8] = {0, 0, 2, 3, 4, 4, 6, 7};
        for (int slot = 0; slot < 8; ++slot) {
            QByteArray bytes = WriteVCard(onePhone(slot));
            bytes.replace(";X-TELLWISE-SLOT=" + QByteArray::number(slot + 1), "");
            QCOMPARE(ReadVCards(bytes).value(0).Contact.PhoneNumber[std::size_t(byTypeOnly[slot])],
                     u"01 %1"_s.arg(slot + 1));
        }
        // The words of the location say the kind before the slot does, in either language.
        for (const QString &row :
             u"Mobitel:cell,voice|Kod kuće:home,voice|Ured:work,voice|GSM:cell,voice|"
             u"Work fax:work,fax|Pager:pager|Ivan:home,voice|Automobil:home,voice"_s.split(u'|')) {
            AListAddress c = onePhone(0);
            c.PhoneLocation[0] = row.section(u':', 0, 0);
            QVERIFY2(WriteVCard(c).contains(";TYPE=" + row.section(u':', 1).toUtf8() + ";"), qPrintable(row));
        }
    }

    // Cards as phones and desktop programs export them, each row written as that program writes
    // it; then damaged and hostile input: what can be read is, the rest is counted.
    void foreignCards_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("expected"); // the first cards, a line each
        QTest::addColumn<QString>("counts");   // found, skipped, left out, numbers left out
        const auto utf16 = [](QStringConverter::Encoding e, const QString &text) {
            return (e == QStringConverter::Utf16LE ? "\xFF\xFE"_ba : "\xFE\xFF"_ba) +
                   QStringEncoder(e).encode(text);
        };
        QTest::newRow("Android 2.1, quoted-printable, photo with mixed line ends")
            << "BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=C5=BDuri=C4=87;Ana;;"
               ";\r\n"
               "TEL;CELL;PREF:+385 91 111\r\nTEL;HOME:051 222\r\nTEL;WORK;FAX:01 "
               "333\r\nEMAIL;INTERNET:ana@x.hr\r\n"
               "ADR;WORK;CHARSET=windows-1250;QUOTED-PRINTABLE:;;Trg 1;=8Aibenik;;;HR\r\n"
               "PHOTO;ENCODING=BASE64;JPEG:/9j/4AAQSkZJRgABAQ\r\n    AAAQABAAD/2wBD\n    "
               "AAgGBgcGBQgHBwcJ\r\n\r\n"
               "NOTE;ENCODING=QUOTED-PRINTABLE:prvi=0A=\r\ndrugi\r\nEND:VCARD\r\n"_ba
            << u"fn=Ana Žurić | first=Ana | last=Žurić | wcity=Šibenik | note=prvi\ndrugi | tel1=051 222 "
               u"Kuća | "
               u"tel3=+385 91 111 Mobitel | tel7=01 333 Posao (FAX) | mail=ana@x.hr"_s
            << u"1 0 0 0"_s;
        QTest::newRow("Samsung 2.1, soft breaks before a blank and =20, value on the next line")
            << "BEGIN:VCARD\r\nVERSION:2.1\r\nFN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=\r\n=C5=BDuto\r\n"
               "NOTE;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:prvi=0A=\r\n drugi red=\r\n=20kraj\r\nEND:VCARD\r\n"_ba
            << u"fn=Žuto | note=prvi\n drugi red kraj"_s << u"1 0 0 0"_s;
        QTest::newRow("Nokia 2.1 in Windows-1251, docomo in Shift_JIS, Outlook in Windows-1252")
            << "BEGIN:VCARD\nVERSION:2.1\nN;CHARSET=WINDOWS-1251;ENCODING=QUOTED-PRINTABLE:=CF=E5=F2=F0=EE="
               "E2;"
               "=C8=E2=E0=ED\nEND:VCARD\nBEGIN:VCARD\nVERSION:2.1\nN;CHARSET=SHIFT_JIS:\x93\x63\x92\x86;"
               "\x91\xBE\x98Y\n"
               "END:VCARD\nBEGIN:VCARD\nVERSION:2.1\nN;LANGUAGE=de;CHARSET=Windows-1252:M\xFCller;"
               "Fran\xE7ois\n"
               "TEL;WORK;VOICE:+49 89 1\nX-MS-OL-DEFAULT-POSTAL-ADDRESS:2\nEND:VCARD"_ba
            << u"fn=Иван Петров | first=Иван | last=Петров\nfn=太郎 田中 | first=太郎 | last=田中\n"
               u"fn=François Müller | first=François | last=Müller | tel5=+49 89 1 Posao"_s
            << u"3 0 0 0"_s;
        QTest::newRow("Nokia PC Suite, 8-bit without a charset, lower-case names, CR CR LF")
            << "begin:vcard\r\r\nversion:2.1\r\r\nn:\x8Ai\x9Ai\xE6;\x8E"
               "eljko\r\r\nnote:prvi \r\r\n dio\r\r\n"
               "tel;cell:091 2\r\r\nend:vcard\r\r\n"_ba
            << u"fn=Željko Šišić | first=Željko | last=Šišić | note=prvi dio | tel3=091 2 Mobitel"_s
            << u"1 0 0 0"_s;
        QTest::newRow("Windows program, UTF-16LE with a byte-order mark")
            << utf16(QStringConverter::Utf16LE,
                     u"BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Đuro Ćić\r\nEND:VCARD\r\n"_s)
            << u"fn=Đuro Ćić"_s << u"1 0 0 0"_s;
        QTest::newRow("UTF-16BE with a byte-order mark, no final line break")
            << utf16(QStringConverter::Utf16BE,
                     u"BEGIN:VCARD\nFN:Ana\nEND:VCARD\nBEGIN:VCARD\nFN:Iva\nEND:VCARD"_s)
            << u"fn=Ana\nfn=Iva"_s << u"2 0 0 0"_s;
        QTest::newRow("iPhone, grouped numbers with labels, UTF-8 split by folding, VERSION last")
            << "BEGIN:VCARD\r\nPRODID:-//Apple Inc.//iPhone OS 17.0//EN\r\nN:Kova\xC4\r\n \x8D;Marko;;;\r\n"
               "FN:Marko Kova\xC4\r\n \x8D\r\nitem1.TEL;type=pref:+385 98 "
               "111\r\nitem1.X-ABLabel:_$!<Mobile>!$_\r\n"
               "item2.TEL:+385 1 555\r\nitem2.X-ABLabel:Ured\r\nitem3.TEL:+385 1 556\r\n"
               "item3.X-ABLabel:_$!<WorkFAX>!$_\r\nVERSION:3.0\r\nEND:VCARD\r\n"_ba
            << u"fn=Marko Kovač | first=Marko | last=Kovač | tel3=+385 98 111 Mobitel | tel5=+385 1 555 "
               u"Posao | "
               u"tel7=+385 1 556 Posao (FAX)"_s
            << u"1 0 0 0"_s;
        QTest::newRow("no FN: Evolution's file-as, an empty FN with only an e-mail, only a number")
            << "BEGIN:VCARD\nVERSION:3.0\nN:;;;;\nX-EVOLUTION-FILE-AS:Kvarner\\, prodaja\nEND:VCARD\n"
               "BEGIN:VCARD\nVERSION:3.0\nFN:\nEMAIL;TYPE=INTERNET:ana@x.hr\nEND:VCARD\n"
               "BEGIN:VCARD\nVERSION:2.1\nN:;;;;\nTEL;CELL:091 3\nEND:VCARD\n"_ba
            << u"fn=Kvarner, prodaja\nfn=ana@x.hr | mail=ana@x.hr\nfn=091 3 | tel3=091 3 Mobitel"_s
            << u"3 0 0 0"_s;
        QTest::newRow("Thunderbird 4.0, tel: URI with ext, data: URI photo; Android pause and wait")
            << "BEGIN:VCARD\nVERSION:4.0\nFN:Tvrtka\nPHOTO:data:image/jpeg;base64,/9j/4AAQSkZJRg==\n"
               "TEL;VALUE=uri;TYPE=work:tel:+1-201-555-0123;ext=123\nTEL;TYPE=home:051 222w9#\n"
               "TEL;TYPE=cell:091 1,,45\nEND:VCARD\n"_ba
            << u"fn=Tvrtka | note=+1-201-555-0123: kućni broj 123\n051 222: kućni broj 9#\n091 1: kućni broj "
               u"45 | "
               u"tel1=051 222 Kuća | tel3=091 1 Mobitel | tel5=+1-201-555-0123 Posao"_s
            << u"1 0 0 0"_s;
        QTest::newRow("Google Contacts, ten numbers: voice and mobile before fax and pager")
            << "BEGIN:VCARD\nVERSION:3.0\nFN:Puno\nTEL;TYPE=PAGER:10\nTEL;TYPE=WORK,FAX:9\nTEL;TYPE=HOME,FAX:"
               "8\n"
               "TEL;TYPE=CELL:1\nTEL;TYPE=CELL:2\nTEL;TYPE=HOME:3\nTEL;TYPE=HOME:4\nTEL;TYPE=WORK:5\nTEL;"
               "TYPE=WORK:6\n"
               "TEL;TYPE=WORK:7\nEND:VCARD\n"_ba
            << u"fn=Puno | tel1=3 Kuća | tel2=4 Kuća 2 | tel3=1 Mobitel | tel4=7 Tvrtka | tel5=5 Posao | "
               u"tel6=6 Posao 2 | tel7=9 Posao (FAX) | tel8=2 Kuća (FAX)"_s
            << u"1 0 0 2"_s;
        QTest::newRow("phone export with a 20 MiB photo")
            << "BEGIN:VCARD\nVERSION:2.1\nFN:A\nPHOTO;ENCODING=BASE64;JPEG:" + QByteArray(20 << 20, 'Q') +
                   "\n\nTEL:1\nEND:VCARD\nBEGIN:VCARD\nFN:B\nPHOTO;ENCODING=b:" +
                   QByteArray(" QUFBQUFB\r\n").repeated(2 << 20) + "END:VCARD"
            << u"fn=A | tel1=1 Kuća\nfn=B"_s << u"2 0 0 0"_s;
        QTest::newRow("a group card, a card of junk, a card cut off")
            << "BEGIN:VCARD\nKIND:group\nFN:G\nEND:VCARD\nBEGIN:VCARD\n\x01\x02\xFF\nEND:VCARD\nBEGIN:VCARD\nFN:A\nTEL:1"_ba
            << u"fn=A | tel1=1 Kuća"_s << u"3 2 0 0"_s;
        QTest::newRow("more cards than the limit")
            << QByteArray("BEGIN:VCARD\nFN:A\nEND:VCARD\n").repeated(vcard::kMaxCards + 3)
            << u"fn=A\nfn=A\nfn=A"_s << u"50003 0 3 0"_s;
        QTest::newRow("huge line") << "BEGIN:VCARD\nFN:A\nNOTE:" + QByteArray(vcard::kMaxLineSize, 'x') +
                                          "\nTEL:1\nEND:VCARD"
                                   << u"fn=A | tel1=1 Kuća"_s << u"1 0 0 0"_s;
        QTest::newRow("huge folded line")
            << "BEGIN:VCARD\nFN:A\nNOTE:" + QByteArray(" xxxxxxxx\r\n").repeated(200000) + "END:VCARD"
            << u"fn=A"_s << u"1 0 0 0"_s;
        QTest::newRow("control characters in names")
            << "BEGIN:VCARD\nFN:A\0n\0a\0 Hor\x1b[2Jvat\nN:Horvat\\n;Ana\x07\nEND:VCARD"_ba
            << u"fn=Ana Hor[2Jvat | first=Ana | last=Horvat"_s << u"1 0 0 0"_s;
        QTest::newRow("bad utf-8") << QByteArray("BEGIN:VCARD\nFN:\xC5\xFF\x9A\nEND:VCARD") << u"fn=Ĺ˙š"_s
                                   << u"1 0 0 0"_s;
    }
    void foreignCards()
    {
        QFETCH(QByteArray, file);
        QBuffer buffer(&file);
        QVERIFY(buffer.open(QIODevice::ReadOnly));
        const TVCardReading reading = ReadVCards(buffer);
        QStringList cards;
        for (const TVCard &card : reading.Cards.first(std::min<qsizetype>(reading.Cards.size(), 3)))
            cards << summary(card.Contact);
        QTEST(cards.join(u'\n'), "expected");
        QTEST(u"%1 %2 %3 %4"_s.arg(reading.Found)
                  .arg(reading.Skipped)
                  .arg(reading.LeftOut)
                  .arg(reading.NumbersLeftOut),
              "counts");
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

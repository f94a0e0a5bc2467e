// Finding contacts: the text rules, the field choices, and the search thread over its copy of
// the address book while the book changes and when it is stopped.

#include "TestSupport.h"

#include "store/AddressBook.h"
#include "store/DataFiles.h"
#include "store/SearchContact.h"

#include <QDir>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

TContactList numbered(int count)
{
    TContactList list;
    for (int i = 0; i < count; ++i)
        list.append(
            {.DisplayNameAs = u"Osoba %1"_s.arg(i), .CompanyName = i % 3 ? u"Drvo"_s : u"Čelik d.d."_s});
    return list;
}

QStringList names(const QList<FoundContact> &found)
{
    QStringList out;
    for (const FoundContact &f : found)
        out << f.name;
    return out;
}

} // namespace

class TestSearchContact : public QObject
{
    Q_OBJECT

private slots:
    void matchText_data()
    {
        QTest::addColumn<QString>("search");
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("matchCase");
        QTest::addColumn<bool>("identical");
        QTest::addColumn<bool>("expected");
        QTest::newRow("capital letter equals small one") << u"Č"_s << u"č"_s << false << true << true;
        QTest::newRow("case counts when asked") << u"Č"_s << u"č"_s << true << true << false;
        QTest::newRow("inside a word in capitals") << u"čel"_s << u"ACME ČELIK"_s << false << false << true;
        QTest::newRow("empty text finds nothing") << QString() << u"Ana"_s << false << false << false;
        QTest::newRow("identical is not a prefix") << u"Ana"_s << u"Anamarija"_s << false << true << false;
        QTest::newRow("identical without case") << u"Ana"_s << u"ana"_s << false << true << true;
        QTest::newRow("blank kept at the start") << u" Ana"_s << u"Ana"_s << false << false << false;
        QTest::newRow("outside the basic plane")
            << u"\U00010428"_s << u"x\U00010400"_s << false << false << true;
        QTest::newRow("blank found inside") << u" Ana"_s << u"Ivo Ana"_s << false << false << true;
    }
    void matchText()
    {
        QFETCH(QString, search);
        QFETCH(QString, value);
        QFETCH(bool, matchCase);
        QFETCH(bool, identical);
        QFETCH(bool, expected);
        QCOMPARE(MatchText(search, value, matchCase, identical), expected);
    }

    void fieldChoices_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("expected");
        QTest::newRow("all fields: notes") << 0 << u"bilješka"_s << true;
        QTest::newRow("all fields: not the sound") << 0 << u"zvono"_s << false;
        QTest::newRow("surname only") << 2 << u"Ivo"_s << false;
        QTest::newRow("eighth phone location") << 18 << u"vikendica"_s << true;
        QTest::newRow("eighth phone number") << 19 << u"555"_s << true;
        // Numbers as the program shows or a user types them match by their digits.
        QTest::newRow("number without blanks") << 19 << u"021555123"_s << true;
        QTest::newRow("number laid out") << 0 << u"(021) 555-123"_s << true;
        QTest::newRow("other digits") << 19 << u"(021) 555-124"_s << false;
        QTest::newRow("fourth e-mail") << 20 << u"@posao"_s << true;
        QTest::newRow("no such choice") << 24 << u"ivo"_s << false;
    }
    void fieldChoices()
    {
        QFETCH(int, field);
        QFETCH(QString, text);
        QFETCH(bool, expected);
        AListAddress c{.FirstName = u"Ivo"_s, .LastName = u"Kovač"_s};
        c.PhoneLocation[7] = u"Vikendica"_s;
        c.PhoneNumber[7] = u"021 555 123"_s;
        c.EMail[3] = u"ivo@posao.hr"_s;
        c.Notes = u"Bilješka"_s;
        c.UseThisSound = u"zvono.wav"_s;
        QCOMPARE(ContactMatches(c, SearchCriteria{text, field, false, false}), expected);
        QCOMPARE(SearchFieldName(field).isEmpty(), field >= kSearchFieldCount);
    }

    // The book is changed, saved by another program and read again while the thread is halfway
    // through: it finds what the book held when the search started.
    void searchesItsSnapshotWhileTheBookChanges()
    {
        const QString dir = testsupport::testDataDir();
        QDir().mkpath(dir);
        QVERIFY(SaveAddressbook(dir, numbered(1000)));
        AddressBook book(dir);
        QVERIFY(book.load());
        const SearchCriteria criteria{u"čel"_s, 10, false, false};
        const QStringList expected = names(SearchContacts(book.contacts(), criteria));
        QCOMPARE(expected.size(), 334);

        TSearchContact worker(book.contacts(), criteria);
        worker.setBatchInterval(0);
        QStringList found;
        bool changed = false;
        // The thread waits while the first batch is taken, so the changes land mid-search.
        connect(
            &worker, &TSearchContact::progressed, this,
            [&](const QList<FoundContact> &batch, int) {
                found << names(batch);
                if (std::exchange(changed, true))
                    return;
                QVERIFY(book.DeleteContacts({u"Osoba 999"_s, u"Osoba 3"_s}));
                QVERIFY(book.AddContact({.DisplayNameAs = u"Nova"_s, .CompanyName = u"Čelik"_s}));
                QVERIFY(SaveAddressbook(dir, numbered(10)));
                QVERIFY(book.reloadChanged());
            },
            Qt::BlockingQueuedConnection);
        QSignalSpy done(&worker, &TSearchContact::searchDone);
        worker.start();
        QVERIFY(done.wait(20000));
        QVERIFY(changed);
        QCOMPARE(done.first().at(0).toInt(), 1000);
        QCOMPARE(found, expected);
    }

    // A stop takes effect after the contact in progress; everything found until then is reported.
    void stopKeepsWhatWasFound()
    {
        TSearchContact worker(numbered(1000), SearchCriteria{u"osoba"_s, 1, false, false});
        worker.setBatchInterval(0);
        QStringList found;
        connect(
            &worker, &TSearchContact::progressed, this,
            [&](const QList<FoundContact> &batch, int) {
                found << names(batch);
                worker.requestStop();
            },
            Qt::DirectConnection);
        QSignalSpy done(&worker, &TSearchContact::searchDone);
        worker.start();
        QVERIFY(done.wait(20000));
        const int tested = done.first().at(0).toInt();
        QVERIFY(done.first().at(1).toBool());
        QVERIFY(tested > 0 && tested < 1000);
        QCOMPARE(found, names(SearchContacts(numbered(tested), SearchCriteria{u"osoba"_s, 1, false, false})));
    }
};

QTEST_GUILESS_MAIN(TestSearchContact)
#include "tst_searchcontact.moc"

// The search window wired to the real address book and main window: a search typed and started
// as a user does, its count, and a result shown in the main window. The matching rules and the
// worker are tested without windows.

#include "TestSupport.h"
#include "UiTestSupport.h"

#include "settings/Settings.h"
#include "store/AddressBook.h"
#include "store/CallLog.h"
#include "store/DataFiles.h"
#include "ui/TfrmFindContact.h"
#include "ui/TfrmMain.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

using namespace Qt::Literals::StringLiterals;

class TestFindContact : public QObject
{
    Q_OBJECT

private slots:
    void searchAndShowInMainWindow()
    {
        const QString dir = testsupport::testDataDir();
        QDir().mkpath(dir);
        TContactList contacts;
        contacts.append(AListAddress{.DisplayNameAs = u"Horvat, Ana"_s, .CompanyName = u"ČELIČANA d.d."_s});
        contacts.append(AListAddress{.DisplayNameAs = u"Babić, Ivo"_s});
        contacts.append(AListAddress{.DisplayNameAs = u"Čelić, Marko"_s});
        QVERIFY(SaveAddressbook(dir, contacts));
        AddressBook book(dir);
        CallLog log(dir);
        QVERIFY(book.load() && log.load());
        Settings settings;
        TfrmMain main(settings, book, log);
        main.ShowPage(TfrmMain::PageAddressbook);
        main.selectContactRow(1);

        TfrmFindContact find(book);
        find.setShowContactsHandler([&](const QStringList &names) { main.ShowContacts(names); });
        find.show();
        QVERIFY(QTest::qWaitForWindowExposed(&find));
        QCOMPARE(find.size(), QSize(461, 251));

        uitest::typeText(find.editSearch, u"   "_s);
        QVERIFY(!find.btnSearch->isEnabled());
        find.editSearch->clear();
        uitest::typeText(find.editSearch, u"čel"_s);
        QTest::mouseClick(find.btnSearch, Qt::LeftButton);
        QCOMPARE(find.size(), QSize(461, 393));
        QTRY_VERIFY(!find.searching());
        QVERIFY(find.btnSearch->isEnabled() && !find.btnStop->isEnabled() && find.pgbSearch->isHidden());
        QCOMPARE(find.stbContacts->text(), u" Pronađeno osoba:  2"_s);
        QCOMPARE(find.resultName(0), u"Horvat, Ana"_s);
        QCOMPARE(find.resultName(1), u"Čelić, Marko"_s);

        find.lvContacts->setCurrentIndex(find.lvContacts->model()->index(1, 0));
        QVERIFY(find.btnShow->isEnabled());
        QTest::mouseClick(find.btnShow, Qt::LeftButton);
        QCOMPARE(main.selectedContactNames(), QStringList{u"Čelić, Marko"_s});
        // A result chosen with the mouse is the one shown, by the button as by a double click.
        const QRect first = find.lvContacts->visualRect(find.lvContacts->model()->index(0, 0));
        QTest::mouseClick(find.lvContacts->viewport(), Qt::LeftButton, {}, first.center());
        QTest::mouseClick(find.btnShow, Qt::LeftButton);
        QCOMPARE(main.selectedContactNames(), QStringList{u"Horvat, Ana"_s});

        find.close();
        QCOMPARE(find.size(), QSize(461, 251));
        QVERIFY(find.resultCount() == 0 && find.editSearch->text().isEmpty());
    }
};

QTEST_MAIN(TestFindContact)
#include "tst_findcontact.moc"

// The exchange with a vCard contacts folder, driven as a user drives it, on real folders.

#include "TestSupport.h"
#include "UiTestSupport.h"

#include "exchange/VCard.h"
#include "settings/Settings.h"
#include "store/AddressBook.h"
#include "ui/DialogSeams.h"
#include "ui/TfrmOutlookContacts.h"
#include "ui/TfrmOutlookFolders.h"
#include "ui/TfrmReading.h"
#include "ui/TypeAheadListView.h"
#include "widgets/ShowMessageDialog.h"

#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

class TestExchange : public QObject
{
    Q_OBJECT

    QString m_root;
    std::unique_ptr<Settings> m_settings;
    std::unique_ptr<AddressBook> m_book;
    std::unique_ptr<TfrmOutlookContacts> m_window;

    void card(const QString &book, const QString &name, int slot = 0, const QString &number = {})
    {
        AListAddress c{.DisplayNameAs = name};
        if (!number.isEmpty())
            c.PhoneNumber[std::size_t(slot)] = number;
        QVERIFY(QDir().mkpath(m_root + book));
        testsupport::writeFile(m_root + book + u'/' + name + u".vcf"_s, WriteVCard(c));
    }
    QStringList names(const QList<AListAddress> &list)
    {
        QStringList out;
        for (const AListAddress &c : list)
            out << c.DisplayNameAs;
        return out;
    }
    void click(QPushButton *button)
    {
        QVERIFY(button->isEnabled());
        QTest::mouseClick(button, Qt::LeftButton);
    }
    // The folder dialog, when it opens next, chooses the node named FOLDER.
    void chooseFolder(const QString &folder)
    {
        ModalDialogHook::pushNext([folder](QDialog &d) {
            auto &folders = static_cast<TfrmOutlookFolders &>(d);
            folders.tvOutlookFolders->setCurrentItem(
                folders.tvOutlookFolders->findItems(folder, Qt::MatchExactly | Qt::MatchRecursive).value(0));
            QTest::mouseClick(folders.btnAccept, Qt::LeftButton);
        });
    }

private slots:
    void init()
    {
        const QString data = testsupport::testDataDir() + u"exchange/"_s;
        QDir(data).removeRecursively();
        m_root = data + u"contacts/"_s;
        QVERIFY(QDir().mkpath(m_root + u"default"_s));
        m_settings = std::make_unique<Settings>();
        m_settings->setText(Settings::ContactsRoot, m_root);
        m_book = std::make_unique<AddressBook>(data);
        QVERIFY(m_book->load());
        m_window = std::make_unique<TfrmOutlookContacts>(*m_settings, *m_book);
        MessageDialogHook::clear();
    }
    void cleanup()
    {
        ModalDialogHook::clear();
        QCOMPARE(MessageDialogHook::pendingAnswers(), 0);
    }

    // A mobile-only card reads into slot 3; of three marked, the one already in the address book
    // is skipped and counted, into the first free "vCard Kontakti" group; the sides are sorted.
    void savesMarkedCardsIntoTheAddressbook()
    {
        card(u"default"_s, u"Cvita"_s);
        card(u"default"_s, u"Ana"_s, 2, u"091 123"_s);
        card(u"default"_s, u"Bruno"_s);
        testsupport::writeFile(m_root + u"default/group.vcf"_s, "BEGIN:VCARD\nKIND:group\nFN:G\nEND:VCARD\n");
        QVERIFY(m_book->AddGroup(u"vCard Kontakti"_s));
        QVERIFY(m_book->AddContact(AListAddress{.DisplayNameAs = u"Bruno"_s}));
        QString savedGroup;
        m_window->setSavedHandler([&savedGroup](const QString &group) { savedGroup = group; });

        TfrmOutlookContacts &win = *m_window;
        win.StartExchange();
        QVERIFY(win.isVisible());
        QVERIFY(!win.readingWindow().isVisible());
        QCOMPARE(win.gbOutlook->title(), u" vCard Kontakti  [ 3 osoba ]:"_s);
        QCOMPARE(win.gbAddressbook->title(), u" Adresar  [ 1 osoba ]:"_s);
        QCOMPARE(names(win.outlookList()), (QStringList{u"Ana"_s, u"Bruno"_s, u"Cvita"_s}));
        const AListAddress &ana = win.outlookList()[0];
        QCOMPARE(ana.PhoneNumber[2], u"091 123"_s);
        QCOMPARE(ana.PhoneLocation[2], u"Mobitel"_s);
        for (int slot : {0, 1, 3, 4, 5, 6, 7})
            QVERIFY(ana.PhoneLocation[std::size_t(slot)].isEmpty() &&
                    ana.PhoneNumber[std::size_t(slot)].isEmpty());
        QCOMPARE(win.lvOutlook->model()->index(0, 0).data(Qt::ToolTipRole).toString(),
                 u"Naziv osobe:  Ana\n\nTelefonski brojevi:\n   091 123"_s);

        click(win.btnOutlookMarkAll);
        MessageDialogHook::setNextAnswer(QMessageBox::Ok);
        click(win.btnSaveToAddressbook);
        QCOMPARE(uitest::messages(),
                 QStringList{u"Informacija|Podaci su snimljeni u grupu \"vCard Kontakti 1\"!\n\nOd "
                             "ukupno 3 označenih podataka snimljeno je 2. Nisu\nupisani podaci koji "
                             "već postoje u adresaru."_s});
        QCOMPARE(savedGroup, u"vCard Kontakti 1"_s);
        QCOMPARE(m_book->contacts()[m_book->indexOfContact(u"Ana"_s)].Group, u"vCard Kontakti 1"_s);
        QCOMPARE(win.gbAddressbook->title(), u" Adresar  [ 3 osoba ]:"_s);

        // Unmarked, nothing can be saved; closing lets go of the folder.
        click(win.btnOutlookUnmarkAll);
        QVERIFY(!win.btnSaveToAddressbook->isEnabled());
        click(win.btnClose);
        QVERIFY(!win.store().isLoggedOn() && win.outlookList().isEmpty());
    }

    // Identical names leave both lists (not a name that differs in case); nothing is deleted.
    void removesIdenticalNamesFromBothLists()
    {
        card(u"default"_s, u"Ana"_s);
        card(u"default"_s, u"ana"_s);
        QVERIFY(m_book->AddContact(AListAddress{.DisplayNameAs = u"Ana"_s}));
        QVERIFY(m_book->AddContact(AListAddress{.DisplayNameAs = u"Zora"_s}));
        m_window->StartExchange();
        click(m_window->btnRemoveIdentical);
        QCOMPARE(names(m_window->outlookList()), QStringList{u"ana"_s});
        QCOMPARE(names(m_window->bookList()), QStringList{u"Zora"_s});
        QCOMPARE(m_window->gbOutlook->title(), u" vCard Kontakti  [ 1 osoba ]:"_s);
        QVERIFY(QFile::exists(m_root + u"default/Ana.vcf"_s) && m_book->ContactExists(u"Ana"_s));
    }

    // A contact saved into a sub-folder lands there with its slots in place (slot 1 labelled
    // "Mobitel" is a mobile), the list then shows that folder, and khard lists the card.
    void savesMarkedContactsIntoAChosenFolder()
    {
        QVERIFY(QDir().mkpath(m_root + u"posao"_s));
        AListAddress zora{.DisplayNameAs = u"Zora"_s};
        zora.PhoneLocation[0] = u"Mobitel"_s;
        zora.PhoneNumber[0] = u"091 555"_s;
        zora.EMail[0] = u"zora@example.hr"_s;
        QVERIFY(m_book->AddContact(zora));
        m_window->StartExchange();
        QCOMPARE(m_window->cbOutlookFolders->count(), 2);

        chooseFolder(u"posao"_s);
        MessageDialogHook::setNextAnswer(QMessageBox::Ok);
        click(m_window->btnSaveToOutlook);
        QStringList shown = uitest::messages();
        QCOMPARE(shown.size(), 1);
        QVERIFY(shown[0].startsWith(u"Informacija|Kontakti su uspješno snimljeni u vCard kontakte!"_s));
        QCOMPARE(m_window->cbOutlookFolders->currentIndex(), 1);
        QCOMPARE(names(m_window->outlookList()), QStringList{u"Zora"_s});
        const QStringList files = QDir(m_root + u"posao"_s).entryList({u"*.vcf"_s});
        QCOMPARE(files.size(), 1);
        const AListAddress written =
            ReadVCards(testsupport::readFile(m_root + u"posao/"_s + files[0])).value(0).Contact;
        QCOMPARE(written.PhoneNumber[0], u"091 555"_s);
        QCOMPARE(written.PhoneLocation[0], u"Kuća"_s);

        const QString config = qEnvironmentVariable("XDG_CONFIG_HOME") + u"/khard"_s;
        QVERIFY(QDir().mkpath(config));
        testsupport::writeFile(config + u"/khard.conf"_s,
                               "[addressbooks]\n[[posao]]\npath = " + m_root.toUtf8() + "posao\n");
        QProcess khard;
        khard.start(u"khard"_s, {u"phone"_s, u"--parsable"_s});
        QVERIFY(khard.waitForFinished(60000));
        QCOMPARE(QString::fromUtf8(khard.readAllStandardOutput()), u"091 555\tZora\tcell, voice\n"_s);

        // A folder that cannot take a card: the failure is reported, not a success.
        QVERIFY(QDir(m_root + u"posao"_s).removeRecursively());
        testsupport::writeFile(m_root + u"posao"_s, "not a folder");
        m_window->lvContacts->selectAll();
        chooseFolder(u"posao"_s);
        MessageDialogHook::setNextAnswer(QMessageBox::Ok);
        click(m_window->btnSaveToOutlook);
        shown = uitest::messages();
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown[0].startsWith(u"Greška|Dogodila se greška pri snimanju kontakata u vCard kontakte!"_s),
                 qPrintable(shown[0]));
    }

    // Adding and deleting folders: the root cannot be deleted, a taken name is refused, a
    // folder with cards goes only after Yes.
    void addsAndDeletesFolders()
    {
        QVERIFY(QDir().mkpath(m_root + u"posao"_s));
        m_window->StartExchange();
        m_window->cbOutlookFolders->setCurrentIndex(1);
        TfrmOutlookFolders &folders = m_window->foldersWindow();
        folders.show();
        QVERIFY(!folders.btnAddFolder->isEnabled());
        folders.tvOutlookFolders->setCurrentItem(folders.tvOutlookFolders->topLevelItem(0));
        QVERIFY(!folders.btnDeleteFolder->isEnabled() && folders.btnAccept->isEnabled());
        MessageDialogHook::setNextAnswer(QMessageBox::Ok);
        for (int round = 0; round < 2; ++round) {
            folders.editFolderName->setText(u" Obitelj "_s);
            click(folders.btnAddFolder);
        }
        QCOMPARE(uitest::messages(), QStringList{u"Greška|Mapa koju pokušavate dodati već postoji!"_s});
        QCOMPARE(m_window->GetContactFolders(), (QStringList{u"default"_s, u"Obitelj"_s, u"posao"_s}));
        QCOMPARE(m_window->cbOutlookFolders->currentText(), u"posao"_s);
        QCOMPARE(folders.tvOutlookFolders->currentItem()->text(0), u"Obitelj"_s);
        card(u"Obitelj"_s, u"Ana"_s);

        MessageDialogHook::setNextAnswer(QMessageBox::No);
        click(folders.btnDeleteFolder);
        QCOMPARE(
            uitest::messages(),
            QStringList{
                u"Potvrda|Izbriši mapu iz vCard Kontakata?\n\nMapa se s kontaktima u njoj (1) premješta u "
                u"smeće, odakle se može vratiti."_s});
        QVERIFY(QFile::exists(m_root + u"Obitelj/Ana.vcf"_s));
        MessageDialogHook::setNextAnswer(QMessageBox::Yes);
        click(folders.btnDeleteFolder);
        QVERIFY(!QFileInfo::exists(m_root + u"Obitelj"_s));
        QCOMPARE(m_window->GetContactFolders(), (QStringList{u"default"_s, u"posao"_s}));
        QCOMPARE(folders.tvOutlookFolders->topLevelItem(0)->childCount(), 1);
    }

    // Half way through 200 cards the progress window says position 100 and 50%.
    void showsProgressWhileReading()
    {
        for (int i = 0; i < 200; ++i)
            card(u"default"_s, u"Osoba %1"_s.arg(i, 3, 10, QLatin1Char('0')));
        QString halfWay;
        TfrmReading &reading = m_window->readingWindow();
        connect(m_window.get(), &TfrmOutlookContacts::readingStep, this, [&](int position) {
            if (position == 100)
                halfWay = reading.lblPosition->text() + u'|' + reading.lblProgress->text() + u'|' +
                          reading.lblCount->text() + u'|' + reading.windowTitle();
        });
        m_window->StartExchange();
        QCOMPARE(halfWay, u"Čitam podatke sa pozicije br. 100|50%|200|Čitam vCard kontakte"_s);
        QCOMPARE(m_window->outlookList().size(), 200);
    }

    // A root that cannot be opened is reported and the window stays closed.
    void missingRootIsReported()
    {
        m_settings->setText(Settings::ContactsRoot, m_root + u"missing"_s);
        QVERIFY(IsOutlookInstalled(*m_settings));
        MessageDialogHook::setNextAnswer(QMessageBox::Ok);
        m_window->StartExchange();
        QVERIFY(!m_window->isVisible());
        QCOMPARE(uitest::messages(),
                 QStringList{u"Greška|Ne mogu otvoriti vCard kontakte!\n\n"_s + m_root + u"missing"_s});
        m_settings->setText(Settings::ContactsRoot, QString());
        QCOMPARE(IsOutlookInstalled(*m_settings),
                 QFileInfo(qEnvironmentVariable("XDG_DATA_HOME") + u"/contacts"_s).isDir());
    }
};

QTEST_MAIN(TestExchange)
#include "tst_exchange.moc"

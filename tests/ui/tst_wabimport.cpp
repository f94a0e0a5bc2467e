// The address-book import window on files laid out as Windows wrote them: what it lists, shows,
// asks and saves.

#include "TestSupport.h"
#include "UiTestSupport.h"
#include "WabWriter.h"

#include "exchange/WabTags.h"
#include "settings/Settings.h"
#include "store/AddressBook.h"
#include "ui/TfrmWab.h"
#include "widgets/ShowMessageDialog.h"
#include "widgets/TRunningLabel.h"

#include <QDir>
#include <QGroupBox>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;
namespace w = wabwriter;

class TestWabImport : public QObject
{
    Q_OBJECT

    QString m_dir;
    std::unique_ptr<Settings> m_settings;
    std::unique_ptr<AddressBook> m_book;
    std::unique_ptr<TfrmWab> m_window;
    QString m_importedGroup;

    QString writeWab(const QString &name, const QByteArray &bytes)
    {
        testsupport::writeFile(m_dir + name, bytes);
        return m_dir + name;
    }
    // Opens the window on FILE as the remembered file.
    void open(const QString &file)
    {
        m_settings->setText(Settings::WabFileName, file);
        m_window->show();
    }

private slots:
    void init()
    {
        m_dir = testsupport::testDataDir() + u"wab/"_s;
        QDir(m_dir).removeRecursively();
        QVERIFY(QDir().mkpath(m_dir));
        m_settings = std::make_unique<Settings>();
        m_book = std::make_unique<AddressBook>(m_dir);
        QVERIFY(m_book->load());
        m_window = std::make_unique<TfrmWab>(*m_settings, *m_book);
        m_importedGroup.clear();
        MessageDialogHook::clear();
        m_window->setImportedHandler([this](const QString &group) { m_importedGroup = group; });
    }

    // Existing names are skipped and counted; the group takes the first free name; phones keep
    // their slots; the main window is told the group.
    void importsMarkedContacts()
    {
        QVERIFY(m_book->AddGroup(u"Windows Adresar"_s));
        QVERIFY(m_book->AddGroup(u"Windows Adresar 1"_s));
        QVERIFY(m_book->AddContact(AListAddress{.DisplayNameAs = u"Ana"_s}));
        open(writeWab(u"a.wab"_s,
                      w::file({{1, {w::text8(wab::PR_DISPLAY_NAME, "Cvita")}},
                               {2, {w::text8(wab::PR_DISPLAY_NAME, "Ana")}},
                               {3, {w::text8(wab::PR_DISPLAY_NAME, "Lista")}, true, wab::MAPI_DISTLIST},
                               {4,
                                {w::text8(wab::PR_DISPLAY_NAME, "Bruno"),
                                 w::text8(wab::PR_BUSINESS_TELEPHONE_NUMBER, "01 222")}}})));
        TfrmWab &win = *m_window;
        QCOMPARE(win.gbAddressbook->title(), u" Windows Adresar  [ 3 osoba ]:"_s);
        // The title bar holds the whole title, the program's name and the buttons.
        QVERIFY(win.width() > QFontMetrics(win.font()).horizontalAdvance(win.windowTitle()) + 200);
        const QAbstractItemModel *rows = win.lvContacts->model();
        QCOMPARE(rows->index(1, 0).data().toString(), u"Bruno"_s);
        QCOMPARE(rows->index(1, 0).data(Qt::ToolTipRole).toString(),
                 u"Naziv osobe:  Bruno\n\nTelefonski brojevi:\n   01 222"_s);
        QCOMPARE(win.lvContacts->currentIndex().row(), 0);
        QVERIFY(win.btnImport->isEnabled());
        win.btnUnmarkAll->click();
        QVERIFY(!win.btnImport->isEnabled());
        win.lvContacts->keyboardSearch(u"c"_s);
        QCOMPARE(win.lvContacts->currentIndex().row(), 2);

        win.btnMarkAll->click();
        MessageDialogHook::setNextAnswer(QMessageBox::Ok);
        win.btnImport->click();
        QCOMPARE(uitest::messages(),
                 QStringList{u"Informacija|Podaci su snimljeni u grupu \"Windows Adresar 2\"!\n\nOd "
                             u"ukupno 3 označenih podataka snimljeno je 2. Nisu\nupisani podaci koji već "
                             u"postoje u adresaru."_s});
        QCOMPARE(m_importedGroup, u"Windows Adresar 2"_s);
        QVERIFY(!win.isVisible());
        const int bruno = m_book->indexOfContact(u"Bruno"_s);
        QVERIFY(bruno >= 0);
        QCOMPARE(m_book->contacts()[bruno].Group, u"Windows Adresar 2"_s);
        QCOMPARE(m_book->contacts()[bruno].PhoneLocation[2], u"Tvrtka"_s);
        QVERIFY(m_book->contacts()[bruno].PhoneLocation[0].isEmpty());
        QCOMPARE(win.gbAddressbook->title(), u" Windows Adresar  [ 0 osoba ]:"_s);
    }

    // A vCard file: its own title, group and phone slots.
    void importsVCardFile()
    {
        open(writeWab(u"k.VCF"_s, "BEGIN:VCARD\nVERSION:3.0\nFN:Ana\nTEL;TYPE=home:1\nTEL;TYPE=home:2\n"
                                  "TEL;TYPE=work,main:4\nEND:VCARD\nBEGIN:VCARD\nFN:Bob\n"));
        TfrmWab &win = *m_window;
        QCOMPARE(win.gbAddressbook->title(), u" vCard Adresar  [ 2 osoba ]:"_s);
        win.btnMarkAll->click();
        MessageDialogHook::setNextAnswer(QMessageBox::Ok);
        win.btnImport->click();
        QCOMPARE(uitest::messages().size(), 1);
        QCOMPARE(m_importedGroup, u"vCard Adresar"_s);
        const AListAddress &ana = m_book->contacts()[m_book->indexOfContact(u"Ana"_s)];
        QCOMPARE(ana.PhoneLocation, (std::array<QString, 8>{u"Kuća"_s, u"Kuća 2"_s, {}, u"Tvrtka"_s}));
    }

    // Growing the address book several times over is asked first; "No" leaves it as it was.
    void largeImportAsksFirst()
    {
        QList<w::Record> records;
        for (std::uint32_t i = 0; i <= 500; ++i)
            records << w::Record{i, {w::text8(wab::PR_DISPLAY_NAME, QByteArray::number(i))}};
        open(writeWab(u"big.wab"_s, w::file(records)));
        m_window->btnMarkAll->click();
        for (auto answer : {QMessageBox::No, QMessageBox::Yes, QMessageBox::Ok})
            MessageDialogHook::setNextAnswer(answer);
        m_window->btnImport->click();
        QVERIFY(uitest::messages().value(0).startsWith(
            u"Potvrda|Uvoz bi adresaru koji sada ima 0 osoba dodao još 501"_s));
        QVERIFY(m_book->contacts().isEmpty());
        m_window->btnImport->click();
        QCOMPARE(m_book->contacts().size(), 501);
    }

    void fileThatGivesNothing_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        QTest::newRow("lists only")
            << w::file({{1, {w::text8(wab::PR_DISPLAY_NAME, "L")}, true, wab::MAPI_DISTLIST}})
            << u"Nema podataka!|Izabrana datoteka je prazna!"_s;
        QTest::newRow("damaged") << w::file({{1, {w::text8(wab::PR_DISPLAY_NAME, "A")}}}).left(150)
                                 << u"Greška|Datoteka je oštećena: zapis 1 izlazi izvan datoteke."_s;
        QTest::newRow("not an address book")
            << QByteArray(200, 'x') << u"Greška|Datoteka nije datoteka Windows Adresara."_s;
    }

    void fileThatGivesNothing()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        MessageDialogHook::setNextAnswer(QMessageBox::Ok);
        open(writeWab(u"x.wab"_s, bytes));
        QCOMPARE(uitest::messages(), QStringList{message});
        QVERIFY(!m_window->btnMarkAll->isEnabled());
        QVERIFY(!m_window->btnImport->isEnabled());
        QCOMPARE(m_window->lvContacts->model()->rowCount(), 0);
    }

    // Only an existing ".wab" file is taken, and it is remembered for the next opening.
    void browse()
    {
        const QString wab = writeWab(u"b.WAB"_s, w::file({{1, {w::text8(wab::PR_DISPLAY_NAME, "Ana")}}}));
        const QString other = writeWab(u"b.txt"_s, "x");
        QString chosen;
        m_window->setOpenFileDialog(
            [&](const QString &, const QString &, const QString &) { return chosen; });
        open(QString());
        for (const QString &file : {other, m_dir + u"missing.wab"_s}) {
            chosen = file;
            m_window->btnBrowse->click();
            QVERIFY(m_window->lblWabFileName->text().isEmpty());
        }
        chosen = wab;
        m_window->btnBrowse->click();
        QCOMPARE(m_window->lblWabFileName->text(), wab);
        QCOMPARE(m_window->records().size(), 1);
        Settings reread;
        QVERIFY(reread.LoadSettings());
        QCOMPARE(reread.text(Settings::WabFileName), wab);
    }
};

QTEST_MAIN(TestWabImport)
#include "tst_wabimport.moc"

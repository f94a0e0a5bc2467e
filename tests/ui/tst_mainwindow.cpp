// The address book and call log window driven as a user drives it: the real window offscreen,
// the real store in the test's own data folder, the editor and the group dialog typed into and
// clicked, the message box answered. Results are read back from the data files on disk and from
// what the window shows.

#include "TestSupport.h"

#include "settings/Settings.h"
#include "store/Addressbook.h"
#include "store/FileRecords.h"
#include "store/Records.h"
#include "ui/DialogSeams.h"
#include "ui/MainLists.h"
#include "ui/TfrmMain.h"
#include "widgets/TBitmapButton.h"
#include "widgets/TLinkLabel.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSplitter>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>

#include <csignal>
#include <functional>
#include <memory>
#include <utility>

#include <sys/resource.h>

namespace {

struct Message
{
    QString caption;
    QString text;
    QMessageBox::StandardButtons buttons;
};

const QString kBezGrupe = QStringLiteral("Bez grupe");
const QDate kCallDate(2026, 3, 14);
const QTime kCallTime(13, 45);

QString dataFile(const QString &name)
{
    return testsupport::testDataDir() + name;
}

QByteArray fileBytes(const char *name)
{
    return testsupport::readFile(dataFile(QLatin1String(name)));
}

// Every record of a data file, decoded straight from its bytes.
template <typename Rec, typename Out> QList<Out> recordsOnDisk(const char *name)
{
    const QByteArray bytes = fileBytes(name);
    QList<Out> records;
    for (qsizetype at = 0; at + Rec::Size <= bytes.size(); at += Rec::Size)
        records << Rec::decode(bytes.constData() + at);
    return records;
}
QList<AListAddress> contactsOnDisk()
{
    return recordsOnDisk<TAddressFileRec, AListAddress>(kAddressbookFileName);
}
QList<AGroups> groupsOnDisk()
{
    return recordsOnDisk<TGroupFileRec, AGroups>(kGroupsFileName);
}
QList<ACalls> callsOnDisk()
{
    return recordsOnDisk<TCallFileRec, ACalls>(kCallsFileName);
}

// "name=group" per contact in file order, "!" after a black-listed one.
QStringList contactSummary()
{
    QStringList out;
    for (const AListAddress &c : contactsOnDisk())
        out << c.DisplayNameAs + QLatin1Char('=') + c.Group + (c.BlackList ? QStringLiteral("!") : QString());
    return out;
}

QStringList groupNamesOnDisk()
{
    QStringList out;
    for (const AGroups &g : groupsOnDisk())
        out << g.GroupName;
    return out;
}

AListAddress contact(const QString &display, const QString &first, const QString &group,
                     bool blackList = false)
{
    AListAddress c;
    c.DisplayNameAs = display;
    c.FirstName = first;
    c.Group = group;
    c.BlackList = blackList;
    return c;
}

ACalls call(const QString &name, const QString &number, bool isNew)
{
    return ACalls{
        name, number, QStringLiteral("01 555 0000"), TDateFromQDate(kCallDate), TTimeFromQTime(kCallTime),
        isNew};
}

// Types TEXT as key presses, letters outside ASCII included.
void typeText(QWidget *target, const QString &text)
{
    for (const QChar ch : text)
        QTest::sendKeyEvent(QTest::Click, target, Qt::Key_unknown, QString(ch), Qt::NoModifier);
}

// A control of DIALOG itself, not of the dialogs it owns (they reuse the button names).
template <typename T> T *own(QDialog &dialog, const char *name)
{
    for (T *w : dialog.findChildren<T *>(QLatin1String(name)))
        if (w->window() == &dialog)
            return w;
    qFatal("no control %s", name);
}

void retype(QDialog &dialog, const char *name, const QString &text)
{
    QLineEdit *edit = own<QLineEdit>(dialog, name);
    edit->selectAll();
    typeText(edit, text);
}

void clickSave(QDialog &dialog)
{
    QTest::mouseClick(own<QPushButton>(dialog, "btnSave"), Qt::LeftButton);
}

QStringList rows(const TfrmMain &w)
{
    QStringList out;
    for (int r = 0; r < w.contactRowCount(); ++r)
        out << w.contactRowText(r);
    return out;
}

// Lets no file of this process grow beyond BYTES while it lives, so that a save fails the way
// it does on a full disk.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_handler);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

private:
    rlimit m_old{};
    void (*m_handler)(int) = nullptr;
};

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void groupsTreeShape();
    void contactRowsPerNode_data();
    void contactRowsPerNode();
    void deleteGroup_data();
    void deleteGroup();
    void renameGroup_data();
    void renameGroup();
    void newContact_data();
    void newContact();
    void editContact_data();
    void editContact();
    void deleteContacts_data();
    void deleteContacts();
    void blackListToggle();
    void failedSaveLeavesContactsAsOnDisk_data();
    void failedSaveLeavesContactsAsOnDisk();
    void dropOnNode_data();
    void dropOnNode();
    void realDropOnTheTree();
    void callListRowsAndCounts();
    void addCallerEnabledOnlyForRealNumbers_data();
    void addCallerEnabledOnlyForRealNumbers();
    void laterContactNamesTheCallOnlyOnScreen();
    void addCallerFromTheCallList();
    void deleteCalls_data();
    void deleteCalls();
    void callLoggedDuringTheQuestion();
    void closingMarksCallsSeen_data();
    void closingMarksCallsSeen();
    void callsAfterClosingStayNew_data();
    void callsAfterClosingStayNew();
    void saveCalls_data();
    void saveCalls();
    void detailsPanel();
    void links_data();
    void links();
    void showHideGroupsAndDetails();

private:
    void answerNext(QMessageBox::StandardButton answer) { m_answers << answer; }
    QTreeWidgetItem *node(const QString &text) const
    {
        QTreeWidgetItem *n = m_window->groupNode(text);
        if (!n)
            qFatal("no node %s", qPrintable(text));
        return n;
    }
    void selectContacts(const QStringList &names);

    std::unique_ptr<Settings> m_settings;
    std::unique_ptr<TfrmMain> m_window;
    QList<Message> m_messages;
    QList<QMessageBox::StandardButton> m_answers;
    QList<bool> m_callsSeen;
    QStringList m_opened;
    QList<QStringList> m_saveDialogs;
    QString m_saveAnswer;
    // Runs while the next message box is open (the event loop goes on behind a modal box).
    std::function<void()> m_duringMessage;
};

void TestMainWindow::initTestCase()
{
    // A Croatian user: the lists sort with the language's letters (Č after C, Š after S).
    QLocale::setDefault(QLocale(QLocale::Croatian, QLocale::Croatia));
}

void TestMainWindow::init()
{
    QDir(testsupport::testDataDir()).removeRecursively();
    QDir().mkpath(testsupport::testDataDir());
    ModalDialogHook::clear();
    m_messages.clear();
    m_answers.clear();
    m_callsSeen.clear();
    m_opened.clear();
    m_saveDialogs.clear();
    m_duringMessage = nullptr;

    GroupList.clear();
    for (const char *g : {"Prijatelji", "Obitelj", "Šport", "Zabava"})
        GroupList.append(AGroups{QString::fromUtf8(g), QString()});
    GroupList[0].GroupSound = QStringLiteral("/zvuci/prijatelji.wav");
    ContactList.clear();
    AListAddress ana =
        contact(QStringLiteral("Horvat, Ana"), QStringLiteral("Ana"), QStringLiteral("Prijatelji"));
    ana.LastName = QStringLiteral("Horvat");
    ana.CompanyName = QStringLiteral("Alfa d.o.o.");
    ana.PhoneLocation[0] = QStringLiteral("Mobitel");
    ana.PhoneNumber[0] = QStringLiteral("091 111 1111");
    ana.PhoneNumber[2] = QStringLiteral("01 234 5678");
    ana.PhoneLocation[3] = QStringLiteral("Fax");
    ana.EMail[0] = QStringLiteral("ana@example.hr");
    ana.HomeWebPage = QStringLiteral("www.example.hr");
    ana.Notes = QStringLiteral("Zove navečer");
    ContactList.append(ana);
    AListAddress ivo =
        contact(QStringLiteral("Kovač, Ivo"), QStringLiteral("Ivo"), QStringLiteral("Obitelj"));
    ivo.LastName = QStringLiteral("Kovač");
    ContactList.append(ivo);
    ContactList.append(contact(QStringLiteral("Zoran"), QStringLiteral("Zoran"), QStringLiteral("Nestala")));
    ContactList.append(
        contact(QStringLiteral("Čedo"), QStringLiteral("Čedo"), QStringLiteral("Prijatelji"), true));
    ContactList.append(contact(QStringLiteral("Cvijeta"), QStringLiteral("Cvijeta"), kBezGrupe));
    ContactList.append(contact(QStringLiteral("Dario"), QStringLiteral("Dario"), QStringLiteral("Šport")));
    CallList.clear();
    CallList.append(call(QStringLiteral("< Nepoznat >"), QStringLiteral("0912223333"), true));
    CallList.append(call(QStringLiteral("< Neidentificiran >"), QStringLiteral("< Neidentificiran >"), true));
    CallList.append(call(QStringLiteral("Ana H."), QStringLiteral("091 111 1111"), false));
    CallList.append(call(QStringLiteral("< Sakriven >"), QStringLiteral("< Sakriven >"), false));
    CallList.append(call(QStringLiteral("Pero"), QStringLiteral("098 765 432"), false));
    QVERIFY(SaveGroups() && SaveAddressbook() && SaveCalls());
    LoadGroups();
    LoadAddressbook();
    LoadCalls();

    m_settings = std::make_unique<Settings>();
    m_window = std::make_unique<TfrmMain>(*m_settings);
    m_window->setMessageDialog([this](const QString &caption, const QString &text, QMessageBox::Icon,
                                      QMessageBox::StandardButtons buttons) {
        m_messages.append({caption, text, buttons});
        if (m_duringMessage)
            std::exchange(m_duringMessage, nullptr)();
        return m_answers.isEmpty() ? QMessageBox::Ok : m_answers.takeFirst();
    });
    m_window->setUrlOpener([this](const QString &url) { m_opened << url; });
    m_window->setCallsSeenHandler([this](bool ending) { m_callsSeen << ending; });
    m_window->setSaveFileDialog(
        [this](const QString &title, const QString &folder, const QString &name, const QString &filter) {
            m_saveDialogs.append({title, folder, name, filter});
            return m_saveAnswer;
        });
    m_window->setSoundPlayer([](const QString &) {});
    m_window->ShowPage(TfrmMain::PageAddressbook);
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestMainWindow::cleanup()
{
    m_window.reset();
    QCOMPARE(ModalDialogHook::pending(), 0);
}

void TestMainWindow::selectContacts(const QStringList &names)
{
    m_window->lvContacts->clearSelection();
    for (const QString &name : names) {
        const int row = rows(*m_window).indexOf(name);
        QVERIFY2(row >= 0, qPrintable(name));
        m_window->selectContactRow(row, true);
    }
}

void TestMainWindow::groupsTreeShape()
{
    QTreeWidget *tree = m_window->tvGroups;
    QCOMPARE(tree->topLevelItemCount(), 2);
    QTreeWidgetItem *all = tree->topLevelItem(0);
    QCOMPARE(all->text(0), QStringLiteral("Sve grupe"));
    QVERIFY(all->isExpanded());
    QCOMPARE(tree->currentItem(), all);
    QStringList children;
    QList<int> images;
    for (int i = 0; i < all->childCount(); ++i) {
        children << all->child(i)->text(0);
        images << TGroupsTree::imageOf(all->child(i));
    }
    QCOMPARE(children, (QStringList{kBezGrupe, "Obitelj", "Prijatelji", "Šport", "Zabava"}));
    QCOMPARE(images, (QList<int>{24, 9, 9, 9, 9}));
    QCOMPARE(TGroupsTree::imageOf(all), 9);
    QCOMPARE(tree->topLevelItem(1)->text(0), QStringLiteral("Crna Lista"));
    QCOMPARE(TGroupsTree::imageOf(tree->topLevelItem(1)), 23);
    QCOMPARE(m_window->stbGroups->text(0), QStringLiteral(" Ukupno grupa:  4"));
}

void TestMainWindow::contactRowsPerNode_data()
{
    QTest::addColumn<QString>("node");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<bool>("groupCommands");

    const QStringList all = {"Cvijeta", "Čedo", "Dario", "Horvat, Ana", "Kovač, Ivo", "Zoran"};
    QTest::newRow("all, sorted by the locale") << "Sve grupe" << all << false;
    QTest::newRow("without group: none and a vanished group")
        << "Bez grupe" << QStringList{"Cvijeta", "Zoran"} << false;
    QTest::newRow("a group, black-listed member too")
        << "Prijatelji" << QStringList{"Čedo", "Horvat, Ana"} << true;
    QTest::newRow("an empty group") << "Zabava" << QStringList{} << true;
    QTest::newRow("black list only") << "Crna Lista" << QStringList{"Čedo"} << false;
}

void TestMainWindow::contactRowsPerNode()
{
    QFETCH(QString, node);
    QFETCH(QStringList, expected);
    QFETCH(bool, groupCommands);

    m_window->tvGroups->setCurrentItem(this->node(node));
    QCOMPARE(rows(*m_window), expected);
    QCOMPARE(m_window->stbContacts->text(0), QStringLiteral(" Grupa:  ") + node);
    QCOMPARE(m_window->stbContacts->text(1), QStringLiteral(" Ukupno osoba:  %1").arg(expected.size()));
    QCOMPARE(m_window->tbRenameGroup->isEnabled(), groupCommands);
    QCOMPARE(m_window->tbDeleteGroup->isEnabled(), groupCommands);
    QCOMPARE(m_window->menus().miDeleteGroup->isEnabled(), groupCommands);
    // The first row comes selected, ready for the edit button.
    QCOMPARE(m_window->selectedContactNames(), expected.mid(0, 1));
    QCOMPARE(m_window->tbEditContact->isEnabled(), !expected.isEmpty());
    for (int r = 0; r < expected.size(); ++r)
        QCOMPARE(m_window->contactRowBlackListed(r), expected[r] == QStringLiteral("Čedo"));
}

void TestMainWindow::deleteGroup_data()
{
    QTest::addColumn<bool>("confirm");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("deleted");
    QTest::addColumn<QStringList>("contacts");

    QTest::newRow("Da: the group only, dangling names too")
        << true << int(QMessageBox::Yes) << true
        << QStringList{"Horvat, Ana=Bez grupe", "Kovač, Ivo=Obitelj", "Zoran=Bez grupe",
                       "Čedo=Bez grupe!",       "Cvijeta=Bez grupe",  "Dario=Šport"};
    QTest::newRow("Da, sve!: its contacts go")
        << true << int(QMessageBox::YesToAll) << true
        << QStringList{"Kovač, Ivo=Obitelj", "Zoran=Nestala", "Cvijeta=Bez grupe", "Dario=Šport"};
    QTest::newRow("Ne") << true << int(QMessageBox::No) << false << QStringList{};
    QTest::newRow("question closed") << true << int(QMessageBox::NoButton) << false << QStringList{};
    QTest::newRow("Escape") << true << int(QMessageBox::Cancel) << false << QStringList{};
    QTest::newRow("no confirmation: the group only")
        << false << 0 << true << QStringList{"Horvat, Ana=Bez grupe", "Kovač, Ivo=Obitelj", "Zoran=Bez grupe",
                                             "Čedo=Bez grupe!",       "Cvijeta=Bez grupe",  "Dario=Šport"};
}

void TestMainWindow::deleteGroup()
{
    QFETCH(bool, confirm);
    QFETCH(int, answer);
    QFETCH(bool, deleted);
    QFETCH(QStringList, contacts);

    m_settings->setFlag(Settings::ConfirmDelete, confirm);
    const QByteArray addressbook = fileBytes(kAddressbookFileName);
    const QByteArray groups = fileBytes(kGroupsFileName);
    m_window->tvGroups->setCurrentItem(node(QStringLiteral("Prijatelji")));
    answerNext(QMessageBox::StandardButton(answer));
    // The Delete key on the tree is the same command as the button.
    QTest::keyClick(m_window->tvGroups, Qt::Key_Delete);

    if (confirm) {
        QCOMPARE(m_messages.size(), 1);
        QCOMPARE(m_messages[0].caption, QStringLiteral("Potvrda"));
        QCOMPARE(m_messages[0].text,
                 QString::fromUtf8("Grupa:  Prijatelji\n\nZa brisanje samo grupe, klikni na "
                                   "\"Da\"!\nZa brisanje grupe i svih osoba u grupi, klikni "
                                   "na \"Da, sve!\"!\n\nObriši grupu?"));
        QCOMPARE(m_messages[0].buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::YesToAll);
    } else {
        QVERIFY(m_messages.isEmpty());
    }
    if (!deleted) {
        QCOMPARE(fileBytes(kAddressbookFileName), addressbook);
        QCOMPARE(fileBytes(kGroupsFileName), groups);
        QCOMPARE(m_window->selectedNodeText(), QStringLiteral("Prijatelji"));
        return;
    }
    QCOMPARE(groupNamesOnDisk(), (QStringList{"Obitelj", "Šport", "Zabava"}));
    QCOMPARE(contactSummary(), contacts);
    QVERIFY(!m_window->groupNode(QStringLiteral("Prijatelji")));
    QCOMPARE(m_window->stbGroups->text(0), QStringLiteral(" Ukupno grupa:  3"));
    QCOMPARE(m_window->selectedNodeText(), QStringLiteral("Sve grupe"));
    QCOMPARE(m_window->contactRowCount(), contacts.size());
}

void TestMainWindow::renameGroup_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("save");
    QTest::addColumn<QString>("renamed");

    QTest::newRow("new name, blanks trimmed") << "  Kolege " << true << "Kolege";
    QTest::newRow("to the without-group node refused") << "Bez grupe" << true << "";
    QTest::newRow("to an existing group refused") << "Obitelj" << true << "";
    QTest::newRow("cancelled") << "Kolege" << false << "";
}

void TestMainWindow::renameGroup()
{
    QFETCH(QString, typed);
    QFETCH(bool, save);
    QFETCH(QString, renamed);

    const QByteArray addressbook = fileBytes(kAddressbookFileName);
    const QByteArray groups = fileBytes(kGroupsFileName);
    QString caption, label, prefilled;
    m_window->tvGroups->setCurrentItem(node(QStringLiteral("Prijatelji")));
    ModalDialogHook::pushNext([&](QDialog &dialog) {
        caption = dialog.windowTitle();
        label = own<QGroupBox>(dialog, "gbGroup")->title();
        prefilled = own<QLineEdit>(dialog, "editGroupName")->text();
        retype(dialog, "editGroupName", typed);
        if (save)
            clickSave(dialog);
    });
    QTest::mouseClick(m_window->tbRenameGroup, Qt::LeftButton);
    QCOMPARE(caption, QStringLiteral("Preimenovanje grupe"));
    QCOMPARE(label, QStringLiteral(" Preimenuj grupu:"));
    QCOMPARE(prefilled, QStringLiteral("Prijatelji"));

    if (renamed.isEmpty()) {
        if (save) {
            QCOMPARE(m_messages.size(), 1);
            QCOMPARE(m_messages[0].caption, QStringLiteral("Informacija"));
            QCOMPARE(m_messages[0].text, QString::fromUtf8("Grupa pod tim imenom već postoji!"));
        }
        QCOMPARE(fileBytes(kAddressbookFileName), addressbook);
        QCOMPARE(fileBytes(kGroupsFileName), groups);
        QVERIFY(m_window->groupNode(QStringLiteral("Prijatelji")));
        return;
    }
    QVERIFY(m_messages.isEmpty());
    // The renamed group goes to the end of the file and loses its sound.
    const QList<AGroups> onDisk = groupsOnDisk();
    QCOMPARE(groupNamesOnDisk(), (QStringList{"Obitelj", "Šport", "Zabava", renamed}));
    QCOMPARE(onDisk.last().GroupSound, QString());
    QCOMPARE(contactSummary(), (QStringList{"Horvat, Ana=" + renamed, "Kovač, Ivo=Obitelj", "Zoran=Nestala",
                                            "Čedo=" + renamed + "!", "Cvijeta=Bez grupe", "Dario=Šport"}));
    QCOMPARE(m_window->selectedNodeText(), renamed);
    QCOMPARE(rows(*m_window), (QStringList{"Čedo", "Horvat, Ana"}));
    QVERIFY(!m_window->groupNode(QStringLiteral("Prijatelji")));
}

void TestMainWindow::newContact_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("last");
    QTest::addColumn<bool>("added");

    QTest::newRow("new name") << "Marko"
                              << "Marić" << true;
    QTest::newRow("name clash") << "Ana"
                                << "Horvat" << false;
}

void TestMainWindow::newContact()
{
    QFETCH(QString, first);
    QFETCH(QString, last);
    QFETCH(bool, added);

    const QByteArray before = fileBytes(kAddressbookFileName);
    ModalDialogHook::pushNext([&](QDialog &editor) {
        QCOMPARE(own<QLineEdit>(editor, "editFirstName")->text(), QString());
        typeText(own<QLineEdit>(editor, "editFirstName"), first);
        typeText(own<QLineEdit>(editor, "editLastName"), last);
        clickSave(editor);
    });
    QTest::mouseClick(m_window->tbNewContact, Qt::LeftButton);
    const QString name = last + QStringLiteral(", ") + first;
    if (!added) {
        QCOMPARE(m_messages.size(), 1);
        QCOMPARE(m_messages[0].caption, QStringLiteral("Informacija"));
        QCOMPARE(m_messages[0].text, QString::fromUtf8("Osoba pod tim imenom već postoji!"));
        QCOMPARE(fileBytes(kAddressbookFileName), before);
        return;
    }
    QVERIFY(m_messages.isEmpty());
    const QList<AListAddress> onDisk = contactsOnDisk();
    QCOMPARE(onDisk.size(), 7);
    QCOMPARE(onDisk.last().DisplayNameAs, name);
    QCOMPARE(onDisk.last().Group, kBezGrupe);
    QCOMPARE(m_window->selectedContactNames(), QStringList{name});
    QCOMPARE(m_window->stbContacts->text(1), QStringLiteral(" Ukupno osoba:  7"));
}

void TestMainWindow::editContact_data()
{
    QTest::addColumn<QString>("last");
    QTest::addColumn<bool>("save");
    QTest::addColumn<QStringList>("order");

    const QStringList unchanged = {"Horvat, Ana", "Kovač, Ivo", "Zoran", "Čedo", "Cvijeta", "Dario"};
    QTest::newRow("same name moves to the end")
        << "" << true << QStringList{"Horvat, Ana", "Zoran", "Čedo", "Cvijeta", "Dario", "Kovač, Ivo"};
    QTest::newRow("new name replaces the old")
        << "Kovačić" << true
        << QStringList{"Horvat, Ana", "Zoran", "Čedo", "Cvijeta", "Dario", "Kovačić, Ivo"};
    QTest::newRow("another contact's name refused") << "Horvat" << true << unchanged;
    QTest::newRow("cancelled") << "Kovačić" << false << unchanged;
}

void TestMainWindow::editContact()
{
    QFETCH(QString, last);
    QFETCH(bool, save);
    QFETCH(QStringList, order);

    const QByteArray before = fileBytes(kAddressbookFileName);
    selectContacts({QStringLiteral("Kovač, Ivo")});
    ModalDialogHook::pushNext([&](QDialog &editor) {
        QCOMPARE(own<QComboBox>(editor, "cbDisplayAs")->currentText(), QStringLiteral("Kovač, Ivo"));
        if (last == QLatin1String("Horvat"))
            retype(editor, "editFirstName", QStringLiteral("Ana"));
        if (!last.isEmpty())
            retype(editor, "editLastName", last);
        retype(editor, "editHomeCity", QStringLiteral("Split"));
        if (save)
            clickSave(editor);
    });
    // A double click on the row opens the editor as the button does.
    const QModelIndex index = m_window->lvContacts->currentIndex();
    emit m_window->lvContacts->doubleClicked(index);

    QStringList names;
    for (const AListAddress &c : contactsOnDisk())
        names << c.DisplayNameAs;
    QCOMPARE(names, order);
    if (order.last() != QLatin1String("Dario")) {
        QVERIFY(m_messages.isEmpty());
        QCOMPARE(contactsOnDisk().last().HomeCity, QStringLiteral("Split"));
        QCOMPARE(m_window->selectedContactNames(), QStringList{order.last()});
    } else {
        QCOMPARE(fileBytes(kAddressbookFileName), before);
        QCOMPARE(m_messages.size(), last == QLatin1String("Horvat") ? 1 : 0);
    }
}

void TestMainWindow::deleteContacts_data()
{
    QTest::addColumn<QStringList>("selected");
    QTest::addColumn<bool>("confirm");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("deleted");

    QTest::newRow("one") << QStringList{"Zoran"} << true << int(QMessageBox::Yes)
                         << "Osoba:  Zoran\n\nDa li stvarno želiš obrisati ovu osobu iz adresara?" << true;
    QTest::newRow("several")
        << QStringList{"Čedo", "Dario", "Zoran"} << true << int(QMessageBox::Yes)
        << "Osoba za brisanje:  3\n\nDa li stvarno želiš obrisati izabrane osobe iz adresara?" << true;
    QTest::newRow("answered No") << QStringList{"Čedo", "Zoran"} << true << int(QMessageBox::No)
                                 << "Osoba za brisanje:  2\n\nDa li stvarno želiš obrisati izabrane osobe iz "
                                    "adresara?"
                                 << false;
    QTest::newRow("no confirmation") << QStringList{"Dario", "Zoran"} << false << 0 << "" << true;
}

void TestMainWindow::deleteContacts()
{
    QFETCH(QStringList, selected);
    QFETCH(bool, confirm);
    QFETCH(int, answer);
    QFETCH(QString, text);
    QFETCH(bool, deleted);

    m_settings->setFlag(Settings::ConfirmDelete, confirm);
    const QByteArray before = fileBytes(kAddressbookFileName);
    selectContacts(selected);
    const MainWindowMenus &menus = m_window->menus();
    const bool several = selected.size() > 1;
    const QString deleteText =
        several ? QString::fromUtf8("Izbriši osobe") : QString::fromUtf8("Izbriši osobu");
    QCOMPARE(m_window->tbDeleteContact->toolTip(), deleteText);
    QCOMPARE(menus.miDeleteContact->text(), deleteText);
    QCOMPARE(menus.miEditContact->isVisible(), !several);
    QCOMPARE(menus.miAddToBlackList->isVisible(), !several);
    QCOMPARE(m_window->tbEditContact->isEnabled(), !several);

    answerNext(QMessageBox::StandardButton(answer));
    QTest::keyClick(m_window->lvContacts, Qt::Key_Delete);
    QCOMPARE(m_messages.size(), confirm ? 1 : 0);
    if (confirm) {
        QCOMPARE(m_messages[0].caption, QStringLiteral("Potvrda"));
        QCOMPARE(m_messages[0].text, text);
        QCOMPARE(m_messages[0].buttons, QMessageBox::Yes | QMessageBox::No);
    }
    if (!deleted) {
        QCOMPARE(fileBytes(kAddressbookFileName), before);
        return;
    }
    QStringList left = {"Horvat, Ana", "Kovač, Ivo", "Zoran", "Čedo", "Cvijeta", "Dario"};
    for (const QString &name : selected)
        left.removeOne(name);
    QStringList onDisk;
    for (const AListAddress &c : contactsOnDisk())
        onDisk << c.DisplayNameAs;
    QCOMPARE(onDisk, left);
    QCOMPARE(m_window->contactRowCount(), left.size());
}

void TestMainWindow::blackListToggle()
{
    QAction *item = m_window->menus().miAddToBlackList;
    auto onDisk = [](const QString &name) {
        for (const AListAddress &c : contactsOnDisk())
            if (c.DisplayNameAs == name)
                return c.BlackList;
        return false;
    };
    selectContacts({QStringLiteral("Horvat, Ana")});
    QCOMPARE(item->text(), QStringLiteral("Dodaj osobu u Crnu Listu"));
    item->trigger();
    QVERIFY(onDisk(QStringLiteral("Horvat, Ana")));
    QCOMPARE(m_window->selectedContactNames(), QStringList{"Horvat, Ana"});
    QVERIFY(m_window->contactRowBlackListed(rows(*m_window).indexOf(QStringLiteral("Horvat, Ana"))));
    QCOMPARE(item->text(), QStringLiteral("Makni osobu iz Crne Liste"));

    m_window->tvGroups->setCurrentItem(node(QStringLiteral("Crna Lista")));
    QCOMPARE(rows(*m_window), (QStringList{"Čedo", "Horvat, Ana"}));
    selectContacts({QStringLiteral("Čedo")});
    QCOMPARE(item->text(), QStringLiteral("Makni osobu iz Crne Liste"));
    item->trigger();
    QVERIFY(!onDisk(QStringLiteral("Čedo")));
    QVERIFY(onDisk(QStringLiteral("Horvat, Ana")));
    QCOMPARE(rows(*m_window), QStringList{"Horvat, Ana"});
}

void TestMainWindow::failedSaveLeavesContactsAsOnDisk_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("new contact") << "new";
    QTest::newRow("edit contact") << "edit";
    QTest::newRow("delete contact") << "delete";
    QTest::newRow("black-list toggle") << "black list";
}

void TestMainWindow::failedSaveLeavesContactsAsOnDisk()
{
    QFETCH(QString, command);

    m_settings->setFlag(Settings::ConfirmDelete, false);
    const QByteArray before = fileBytes(kAddressbookFileName);
    const QStringList shown = rows(*m_window);
    {
        const FileSizeLimit full(1000);
        if (command == QLatin1String("new")) {
            ModalDialogHook::pushNext([](QDialog &editor) {
                typeText(own<QLineEdit>(editor, "editFirstName"), QStringLiteral("Marko"));
                clickSave(editor);
            });
            m_window->tbNewContactClick();
        } else if (command == QLatin1String("edit")) {
            selectContacts({QStringLiteral("Kovač, Ivo")});
            ModalDialogHook::pushNext([](QDialog &editor) {
                retype(editor, "editLastName", QStringLiteral("Kovačić"));
                clickSave(editor);
            });
            m_window->tbEditContactClick();
        } else if (command == QLatin1String("delete")) {
            selectContacts({QStringLiteral("Zoran")});
            m_window->tbDeleteContactClick();
        } else {
            selectContacts({QStringLiteral("Horvat, Ana")});
            m_window->ToggleBlackList();
        }
    }
    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(m_messages[0].caption, QString::fromUtf8("Greška"));
    QVERIFY2(m_messages[0].text.startsWith(QStringLiteral("Pisanje datoteke nije uspjelo:")),
             qPrintable(m_messages[0].text));
    QCOMPARE(fileBytes(kAddressbookFileName), before);
    QCOMPARE(QDir(testsupport::testDataDir()).entryList({"Addressbook.dat.new-*"}), QStringList{});
    // The window shows what the file holds, not what the failed command wanted.
    QCOMPARE(rows(*m_window), shown);
    QVERIFY(!m_window->contactRowBlackListed(shown.indexOf(QStringLiteral("Horvat, Ana"))));
}

void TestMainWindow::dropOnNode_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("taken");
    QTest::addColumn<QStringList>("contacts");

    QTest::newRow("black list") << "Crna Lista" << true
                                << QStringList{"Horvat, Ana=Prijatelji", "Kovač, Ivo=Obitelj",
                                               "Zoran=Nestala!",         "Čedo=Prijatelji!",
                                               "Cvijeta=Bez grupe!",     "Dario=Šport!"};
    QTest::newRow("a group") << "Zabava" << true
                             << QStringList{"Horvat, Ana=Prijatelji", "Kovač, Ivo=Obitelj", "Zoran=Zabava",
                                            "Čedo=Prijatelji!",       "Cvijeta=Zabava",     "Dario=Zabava"};
    QTest::newRow("all groups refused") << "Sve grupe" << false << QStringList{};
    QTest::newRow("without group refused") << "Bez grupe" << false << QStringList{};
}

void TestMainWindow::dropOnNode()
{
    QFETCH(QString, target);
    QFETCH(bool, taken);
    QFETCH(QStringList, contacts);

    const QByteArray before = fileBytes(kAddressbookFileName);
    selectContacts({QStringLiteral("Cvijeta"), QStringLiteral("Dario"), QStringLiteral("Zoran")});
    QCOMPARE(m_window->DropContactsOnNode(node(target), m_window->selectedContactNames()), taken);
    if (taken)
        QCOMPARE(contactSummary(), contacts);
    else
        QCOMPARE(fileBytes(kAddressbookFileName), before);
}

void TestMainWindow::realDropOnTheTree()
{
    selectContacts({QStringLiteral("Cvijeta"), QStringLiteral("Kovač, Ivo"), QStringLiteral("Zoran")});
    QTreeView *list = m_window->lvContacts;
    const std::unique_ptr<QMimeData> mime(list->model()->mimeData(list->selectionModel()->selectedRows()));
    QWidget *viewport = m_window->tvGroups->viewport();
    bool moveAccepted = false;
    auto drop = [&](const QString &target) {
        const QPoint at = m_window->tvGroups->visualItemRect(node(target)).center();
        QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, mime.get(), Qt::LeftButton, {});
        QApplication::sendEvent(viewport, &enter);
        QDragMoveEvent move(at, Qt::CopyAction | Qt::MoveAction, mime.get(), Qt::LeftButton, {});
        QApplication::sendEvent(viewport, &move);
        QDropEvent dropped(QPointF(at), Qt::CopyAction | Qt::MoveAction, mime.get(), Qt::LeftButton, {});
        dropped.setAccepted(false);
        QApplication::sendEvent(viewport, &dropped);
        moveAccepted = move.isAccepted();
        return dropped.isAccepted();
    };
    const QByteArray before = fileBytes(kAddressbookFileName);
    QVERIFY(!drop(QStringLiteral("Sve grupe")));
    QVERIFY(!moveAccepted);
    QVERIFY(!drop(kBezGrupe));
    QVERIFY(!moveAccepted);
    QCOMPARE(fileBytes(kAddressbookFileName), before);
    QVERIFY(drop(QStringLiteral("Crna Lista")));
    QVERIFY(moveAccepted);
    QCOMPARE(contactSummary(), (QStringList{"Horvat, Ana=Prijatelji", "Kovač, Ivo=Obitelj!", "Zoran=Nestala!",
                                            "Čedo=Prijatelji!", "Cvijeta=Bez grupe!", "Dario=Šport"}));
    QVERIFY(drop(QStringLiteral("Šport")));
    QCOMPARE(contactSummary(), (QStringList{"Horvat, Ana=Prijatelji", "Kovač, Ivo=Šport!", "Zoran=Šport!",
                                            "Čedo=Prijatelji!", "Cvijeta=Šport!", "Dario=Šport"}));
}

void TestMainWindow::callListRowsAndCounts()
{
    QTest::mouseClick(m_window->btnCalls, Qt::LeftButton);
    QCOMPARE(m_window->currentPage(), int(TfrmMain::PageCalls));
    QCOMPARE(m_callsSeen, QList<bool>{false});
    QAbstractItemModel *model = m_window->lvCalls->model();
    QStringList headers;
    for (int c = 0; c < model->columnCount(); ++c)
        headers << model->headerData(c, Qt::Horizontal).toString();
    QCOMPARE(headers,
             (QStringList{"Naziv pozivatelja", "Telefon pozivatelja", "Pozvani broj", "Datum  :  Vrijeme"}));

    const QString when = QLocale::system().toString(kCallDate, QLocale::ShortFormat) + QStringLiteral("  ") +
                         QLocale::system().toString(kCallTime, QLocale::ShortFormat);
    const QStringList names = {"< Nepoznat >", "< Neidentificiran >", "Horvat, Ana", "< Sakriven >", "Pero"};
    const QStringList numbers = {"0912223333", "< Neidentificiran >", "091 111 1111", "< Sakriven >",
                                 "098 765 432"};
    QCOMPARE(m_window->callRowCount(), 5);
    for (int r = 0; r < 5; ++r) {
        QCOMPARE(m_window->callRowText(r, 0), names[r]);
        QCOMPARE(m_window->callRowText(r, 1), numbers[r]);
        QCOMPARE(m_window->callRowText(r, 2), QStringLiteral("01 555 0000"));
        QCOMPARE(m_window->callRowText(r, 3), when);
        QCOMPARE(m_window->callRowImage(r), r < 2 ? 26 : 25);
    }
    QCOMPARE(m_window->stbCalls->text(0), QStringLiteral(" Novih poziva:  2"));
    QCOMPARE(m_window->stbCalls->text(1), QStringLiteral(" Starih poziva:  3"));
    QCOMPARE(m_window->stbCalls->text(2), QStringLiteral(" Ukupno poziva:  5"));
    QCOMPARE(m_window->selectedCallRows(), QList<int>{0});
    // The call from Ana's number shows her contact's name; the log keeps its own until saved.
    QCOMPARE(callsOnDisk()[2].CallerName, QStringLiteral("Ana H."));
}

void TestMainWindow::addCallerEnabledOnlyForRealNumbers_data()
{
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<bool>("addable");

    QTest::newRow("a number") << QList<int>{0} << true;
    QTest::newRow("unidentified") << QList<int>{1} << false;
    QTest::newRow("withheld") << QList<int>{3} << false;
    QTest::newRow("two numbers") << QList<int>{0, 4} << false;
}

void TestMainWindow::addCallerEnabledOnlyForRealNumbers()
{
    QFETCH(QList<int>, selected);
    QFETCH(bool, addable);

    QTest::mouseClick(m_window->btnCalls, Qt::LeftButton);
    m_window->lvCalls->clearSelection();
    for (int r : selected)
        m_window->selectCallRow(r, true);
    const MainWindowMenus &menus = m_window->menus();
    QCOMPARE(m_window->tbAddToAddressbook->isEnabled(), addable);
    QCOMPARE(menus.miAddToAddressbook->isEnabled(), addable);
    QCOMPARE(menus.miAddToAddressbook->isVisible(), selected.size() == 1);
    const QString deleteText =
        selected.size() > 1 ? QString::fromUtf8("Izbriši pozive") : QString::fromUtf8("Izbriši poziv");
    QCOMPARE(m_window->tbDeleteCalls->toolTip(), deleteText);
    QCOMPARE(menus.miDeleteCall->text(), deleteText);
    if (addable)
        return;
    // Even asked directly, no editor opens for a placeholder.
    ModalDialogHook::pushNext([](QDialog &) { QFAIL("the editor opened"); });
    m_window->tbAddToAddressbookClick();
    QCOMPARE(ModalDialogHook::pending(), 1);
    ModalDialogHook::clear();
    QCOMPARE(contactsOnDisk().size(), 6);
}

void TestMainWindow::laterContactNamesTheCallOnlyOnScreen()
{
    const QByteArray calls = fileBytes(kCallsFileName);
    ModalDialogHook::pushNext([](QDialog &editor) {
        typeText(own<QLineEdit>(editor, "editFirstName"), QStringLiteral("Marija"));
        typeText(own<QLineEdit>(editor, "editLastName"), QStringLiteral("Novak"));
        typeText(own<QLineEdit>(editor, "editPhoneNumber1"), QStringLiteral("091 222 3333"));
        clickSave(editor);
    });
    QTest::mouseClick(m_window->tbNewContact, Qt::LeftButton);
    QCOMPARE(contactsOnDisk().last().PhoneNumber[0], QStringLiteral("091 222 3333"));
    QTest::mouseClick(m_window->btnCalls, Qt::LeftButton);
    QStringList shown;
    for (int r = 0; r < m_window->callRowCount(); ++r)
        shown << m_window->callRowText(r, 0);
    QCOMPARE(shown,
             (QStringList{"Novak, Marija", "< Neidentificiran >", "Horvat, Ana", "< Sakriven >", "Pero"}));
    QCOMPARE(fileBytes(kCallsFileName), calls);

    // The next save of the call log (the window closing on the calls page) writes the names.
    m_window->close();
    const QList<ACalls> onDisk = callsOnDisk();
    QCOMPARE(onDisk[0].CallerName, QStringLiteral("Novak, Marija"));
    QCOMPARE(onDisk[2].CallerName, QStringLiteral("Horvat, Ana"));
}

void TestMainWindow::addCallerFromTheCallList()
{
    QTest::mouseClick(m_window->btnCalls, Qt::LeftButton);
    m_window->selectCallRow(4);
    QString first, phone;
    ModalDialogHook::pushNext([&](QDialog &editor) {
        first = own<QLineEdit>(editor, "editFirstName")->text();
        phone = own<QLineEdit>(editor, "editPhoneNumber1")->text();
        typeText(own<QLineEdit>(editor, "editLastName"), QStringLiteral("Perić"));
        clickSave(editor);
    });
    QTest::mouseClick(m_window->tbAddToAddressbook, Qt::LeftButton);
    QCOMPARE(first, QStringLiteral("Pero"));
    QCOMPARE(phone, QStringLiteral("098 765 432"));
    const AListAddress added = contactsOnDisk().last();
    QCOMPARE(added.DisplayNameAs, QStringLiteral("Perić, Pero"));
    QCOMPARE(added.PhoneNumber[0], QStringLiteral("098 765 432"));
    QCOMPARE(m_window->currentPage(), int(TfrmMain::PageCalls));
    QCOMPARE(m_window->selectedCallRows(), QList<int>{4});
    QCOMPARE(m_window->callRowText(4, 0), QStringLiteral("Perić, Pero"));
    QCOMPARE(m_window->pendingCallerName(), QString());

    // The next new contact starts empty again.
    ModalDialogHook::pushNext(
        [&](QDialog &editor) { first = own<QLineEdit>(editor, "editFirstName")->text(); });
    m_window->tbNewContactClick();
    QCOMPARE(first, QString());
}

void TestMainWindow::deleteCalls_data()
{
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<bool>("confirm");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("left");

    const QStringList all = {"0912223333", "< Neidentificiran >", "091 111 1111", "< Sakriven >",
                             "098 765 432"};
    QTest::newRow("one") << QList<int>{2} << true << int(QMessageBox::Yes)
                         << "Da li stvarno želiš obrisati izabrani poziv?"
                         << QStringList{"0912223333", "< Neidentificiran >", "< Sakriven >", "098 765 432"};
    QTest::newRow("several, apart")
        << QList<int>{4, 0, 2} << true << int(QMessageBox::Yes)
        << "Poziva za brisanje:  3\n\nDa li stvarno želiš obrisati izabrane pozive?"
        << QStringList{"< Neidentificiran >", "< Sakriven >"};
    QTest::newRow("answered No") << QList<int>{1, 3} << true << int(QMessageBox::No)
                                 << "Poziva za brisanje:  2\n\nDa li stvarno želiš obrisati izabrane pozive?"
                                 << all;
    QTest::newRow("no confirmation") << QList<int>{1, 3} << false << 0 << ""
                                     << QStringList{"0912223333", "091 111 1111", "098 765 432"};
}

void TestMainWindow::deleteCalls()
{
    QFETCH(QList<int>, selected);
    QFETCH(bool, confirm);
    QFETCH(int, answer);
    QFETCH(QString, text);
    QFETCH(QStringList, left);

    m_settings->setFlag(Settings::ConfirmDelete, confirm);
    const QByteArray before = fileBytes(kCallsFileName);
    QTest::mouseClick(m_window->btnCalls, Qt::LeftButton);
    m_window->lvCalls->clearSelection();
    for (int r : selected)
        m_window->selectCallRow(r, true);
    answerNext(QMessageBox::StandardButton(answer));
    QTest::mouseClick(m_window->tbDeleteCalls, Qt::LeftButton);

    QCOMPARE(m_messages.size(), confirm ? 1 : 0);
    if (confirm) {
        QCOMPARE(m_messages[0].caption, QStringLiteral("Potvrda"));
        QCOMPARE(m_messages[0].text, text);
    }
    if (left.size() == 5) {
        QCOMPARE(fileBytes(kCallsFileName), before);
        return;
    }
    QStringList numbers;
    for (const ACalls &c : callsOnDisk()) {
        numbers << c.CallerNumber;
        QVERIFY(!c.IsNew); // seen before they were deleted
    }
    QCOMPARE(numbers, left);
    QCOMPARE(m_window->callRowCount(), left.size());
    QCOMPARE(m_window->stbCalls->text(2), QStringLiteral(" Ukupno poziva:  %1").arg(left.size()));
    QCOMPARE(m_window->stbCalls->text(0), QStringLiteral(" Novih poziva:  0"));
}

void TestMainWindow::callLoggedDuringTheQuestion()
{
    QTest::mouseClick(m_window->btnCalls, Qt::LeftButton);
    m_window->lvCalls->clearSelection();
    m_window->selectCallRow(2, true);
    m_window->selectCallRow(4, true);
    // The monitor logs a call as the pipeline does: newest first, saved, read back, list refreshed.
    m_duringMessage = [this] {
        ACalls fresh = call(QStringLiteral("Marija"), QStringLiteral("099 000 1111"), true);
        fresh.CallDate += 1;
        CallList.insert(0, fresh);
        QVERIFY(SaveCalls());
        LoadCalls();
        m_window->RefreshCallList();
    };
    answerNext(QMessageBox::Yes);
    m_window->tbDeleteCallsClick();
    QCOMPARE(m_messages.size(), 1);
    QStringList numbers;
    for (const ACalls &c : callsOnDisk())
        numbers << c.CallerNumber;
    QCOMPARE(numbers, (QStringList{"099 000 1111", "0912223333", "< Neidentificiran >", "< Sakriven >"}));
}

void TestMainWindow::closingMarksCallsSeen_data()
{
    QTest::addColumn<bool>("callsPage");
    QTest::newRow("calls page shown") << true;
    QTest::newRow("address book shown") << false;
}

void TestMainWindow::closingMarksCallsSeen()
{
    QFETCH(bool, callsPage);

    const QByteArray before = fileBytes(kCallsFileName);
    if (callsPage)
        QTest::mouseClick(m_window->btnCalls, Qt::LeftButton);
    const qsizetype seenBefore = m_callsSeen.size();
    QSignalSpy closed(m_window.get(), &TfrmMain::closed);
    QVERIFY(!m_window->close()); // closing hides: the window lives on in the tray
    QVERIFY(m_window->isHidden());
    QCOMPARE(closed.count(), 1);
    if (!callsPage) {
        QCOMPARE(fileBytes(kCallsFileName), before);
        QCOMPARE(m_callsSeen.size(), seenBefore);
        return;
    }
    QCOMPARE(m_callsSeen.mid(seenBefore), QList<bool>{false});
    for (const ACalls &c : callsOnDisk())
        QVERIFY(!c.IsNew);
    QCOMPARE(m_window->stbCalls->text(0), QStringLiteral(" Novih poziva:  0"));
    QCOMPARE(m_window->callRowImage(0), 25);
}

void TestMainWindow::callsAfterClosingStayNew_data()
{
    QTest::addColumn<bool>("minimise");
    QTest::newRow("closed to the tray") << false;
    QTest::newRow("minimised") << true;
}

void TestMainWindow::callsAfterClosingStayNew()
{
    QFETCH(bool, minimise);

    m_window->setMinimiseOnClose(minimise);
    QTest::mouseClick(m_window->btnCalls, Qt::LeftButton);
    m_window->close();
    QCOMPARE(m_window->isMinimized(), minimise);
    // A call comes while the window is away, then the program ends.
    CallList.insert(0, call(QStringLiteral("Pero"), QStringLiteral("098 765 432"), true));
    QVERIFY(SaveCalls());
    m_window->RefreshCallList();
    m_window->setProgramEnding(true);
    m_window->MarkAllCallsSeen();
    m_window.reset();
    QList<bool> fresh;
    for (const ACalls &c : callsOnDisk())
        fresh << c.IsNew;
    QCOMPARE(fresh, (QList<bool>{true, false, false, false, false, false}));
}

void TestMainWindow::saveCalls_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("written");

    QTest::newRow("extension appended") << "pozivi"
                                        << "pozivi.htm";
    QTest::newRow("extension in capitals kept") << "pozivi.HTM"
                                                << "pozivi.HTM";
    QTest::newRow("other extension kept, .htm added") << "pozivi.html"
                                                      << "pozivi.html.htm";
    QTest::newRow("cancelled") << ""
                               << "";
}

void TestMainWindow::saveCalls()
{
    QFETCH(QString, chosen);
    QFETCH(QString, written);

    m_saveAnswer = chosen.isEmpty() ? QString() : dataFile(chosen);
    QTest::mouseClick(m_window->btnCalls, Qt::LeftButton);
    QTest::mouseClick(m_window->tbSaveCalls, Qt::LeftButton);
    QCOMPARE(m_saveDialogs.size(), 1);
    const QString proposed = TfrmMain::SaveCallsProposedName(QDate::currentDate());
    QCOMPARE(m_saveDialogs[0],
             (QStringList{"Snimanje poziva", testsupport::testDataDir(), proposed, "HTML Files (*.htm)"}));
    const QStringList files = QDir(testsupport::testDataDir()).entryList({"pozivi*"}, QDir::Files);
    if (written.isEmpty()) {
        QVERIFY(files.isEmpty());
        return;
    }
    QCOMPARE(files, QStringList{written});
    const QByteArray page = testsupport::readFile(dataFile(written));
    QVERIFY(page.contains("098 765 432"));
    QVERIFY(page.contains("&lt; Sakriven &gt;"));

    // The proposed name: the short date without points or separators, the year in two digits.
    const QDate day(2026, 12, 6);
    QString format = QLocale::system().dateFormat(QLocale::ShortFormat);
    format.replace(QLatin1String("yyyy"), QLatin1String("yy"));
    const QString name = TfrmMain::SaveCallsProposedName(day);
    QVERIFY(name.startsWith(QLatin1String("Calls_")));
    QVERIFY(!name.contains(QLatin1Char('.')) && !name.contains(QLatin1Char('/')) &&
            !name.contains(QLatin1Char(' ')));
    QVERIFY(name.contains(QLatin1String("26")) && !name.contains(QLatin1String("2026")));
    QVERIFY(name.contains(QLocale::system().toString(day, format).remove(QRegularExpression("[./\\s]"))));
}

void TestMainWindow::detailsPanel()
{
    selectContacts({QStringLiteral("Horvat, Ana")});
    for (QLabel *heading : m_window->lblDetailsHeading)
        QCOMPARE(heading->text(), QStringLiteral("Horvat, Ana"));
    QCOMPARE(m_window->lblDetailsNumber[0]->text(), QStringLiteral("091 111 1111"));
    QCOMPARE(m_window->lblDetailsLocation[3]->text(), QStringLiteral("Fax"));
    QCOMPARE(m_window->lblDetailsEmail[0]->text(), QStringLiteral("ana@example.hr"));
    QCOMPARE(m_window->lblDetailsNotes->text(), QStringLiteral("Zove navečer"));
    // A separator stands only where a location or a number does.
    QList<bool> separators;
    for (QLabel *s : m_window->lblDetailsSeparator)
        separators << !s->isHidden();
    QCOMPARE(separators, (QList<bool>{true, false, true, true, false, false, false, false}));

    selectContacts({QStringLiteral("Horvat, Ana"), QStringLiteral("Zoran")});
    QCOMPARE(m_window->lblDetailsHeading[0]->text(), QString());
    QCOMPARE(m_window->lblDetailsNumber[0]->text(), QString());
    QVERIFY(m_window->lblDetailsSeparator[0]->isHidden());

    selectContacts({QStringLiteral("Zoran")});
    QCOMPARE(m_window->lblDetailsHeading[5]->text(), QStringLiteral("Zoran"));
    m_window->tvGroups->setCurrentItem(node(QStringLiteral("Zabava")));
    QCOMPARE(m_window->lblDetailsHeading[5]->text(), QString());
}

void TestMainWindow::links_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("url");

    QTest::newRow("e-mail") << "lblDetailsEmail2"
                            << "ana@example.hr"
                            << "mailto:ana@example.hr";
    QTest::newRow("web without scheme") << "lblDetailsHomeWebPage"
                                        << "www.example.hr"
                                        << "http://www.example.hr";
    QTest::newRow("http kept, any case") << "lblDetailsCompanyWebPage"
                                         << "HTTP://Alfa.example.hr"
                                         << "HTTP://Alfa.example.hr";
    QTest::newRow("https kept") << "lblDetailsHomeWebPage"
                                << "https://example.hr/ana"
                                << "https://example.hr/ana";
    QTest::newRow("empty label is no link") << "lblDetailsEmail4"
                                            << ""
                                            << "";
}

void TestMainWindow::links()
{
    QFETCH(QString, label);
    QFETCH(QString, text);
    QFETCH(QString, url);

    AListAddress &ana = ContactList[0];
    ana.EMail = {};
    ana.HomeWebPage.clear();
    if (label.startsWith(QLatin1String("lblDetailsEmail")))
        ana.EMail[std::size_t(label.right(1).toInt() - 1)] = text;
    else if (label == QLatin1String("lblDetailsHomeWebPage"))
        ana.HomeWebPage = text;
    else
        ana.CompanyWebPage = text;
    QVERIFY(SaveAddressbook());
    LoadAddressbook();
    m_window->RefreshContactRows();
    selectContacts({QStringLiteral("Horvat, Ana")});
    m_window->pcDetails->setCurrentIndex(4);
    auto *link = m_window->findChild<TLinkLabel *>(label);
    QVERIFY(link);
    QCOMPARE(link->text(), text);
    QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(2, link->height() / 2));
    QCOMPARE(m_opened, url.isEmpty() ? QStringList{} : QStringList{url});
}

void TestMainWindow::showHideGroupsAndDetails()
{
    QTreeView *list = m_window->lvContacts;
    auto widths = [list] {
        return QList<int>{list->columnWidth(0), list->columnWidth(1), list->columnWidth(2)};
    };
    QCOMPARE(widths(), (QList<int>{190, 149, 0}));
    QTest::mouseClick(m_window->tbShowGroups, Qt::LeftButton);
    QVERIFY(m_window->pnlGroups->isHidden());
    QCOMPARE(widths(), (QList<int>{190, 152, 150}));
    QVERIFY(m_window->tbManipulateGroups->isVisible());
    QTest::mouseClick(m_window->tbManipulateGroups, Qt::LeftButton, {}, QPoint(4, 4));
    QVERIFY(!m_window->pnlGroups->isHidden());
    QCOMPARE(widths(), (QList<int>{190, 149, 0}));

    QVERIFY(m_window->pnlContactDetails->isVisible());
    QTest::mouseClick(m_window->tbShowDetails, Qt::LeftButton);
    QVERIFY(!m_window->pnlContactDetails->isVisible());
    QCOMPARE(m_window->tbShowDetails->toolTip(), QString::fromUtf8("Prikaži detalje o osobi"));
    QTest::mouseClick(m_window->tbShowDetails, Qt::LeftButton);
    QVERIFY(m_window->pnlContactDetails->isVisible());
    QCOMPARE(m_window->tbShowDetails->toolTip(), QString::fromUtf8("Sakrij detalje o osobi"));
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"

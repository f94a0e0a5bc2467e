// The address book and call log window driven as a user drives it: the real window offscreen over
// the real store in the test's data folder, the editor and the group dialog typed into, the
// message box answered. The store's own rules are tested without windows; here each command is
// checked once for its wiring: what it asks, what reaches the file and what the window then shows.

#include "TestSupport.h"
#include "UiTestSupport.h"

#include "exchange/VCardCallerIndex.h"
#include "settings/Settings.h"
#include "store/AddressBook.h"
#include "store/CallLog.h"
#include "store/FileRecords.h"
#include "ui/DialogSeams.h"
#include "ui/TStatusPanels.h"
#include "ui/TfrmMain.h"
#include "widgets/ShowMessageDialog.h"
#include "widgets/TBitmapButton.h"
#include "widgets/TLinkLabel.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>

#include <csignal>
#include <functional>
#include <memory>

#include <sys/resource.h>

using namespace Qt::Literals::StringLiterals;
using uitest::own;
using uitest::typeText;

namespace {

const QDate kCallDate(2026, 3, 14);
const QTime kCallTime(13, 45);
const QStringList kNumbers = {"0912223333", "< Neidentificiran >", "091 111 1111", "< Sakriven >",
                              "098 765 432"};

// A call's date and time as the call list shows them.
QString when(int daysLater = 0)
{
    return QLocale::system().toString(kCallDate.addDays(daysLater), QLocale::ShortFormat) + u"  "_s +
           QLocale::system().toString(kCallTime, QLocale::ShortFormat);
}

QString dataFile(const QString &name)
{
    return testsupport::testDataDir() + name;
}

QByteArray fileBytes(const char *name)
{
    return testsupport::readFile(dataFile(QLatin1String(name)));
}

// What a data file holds, one text per record decoded straight from its bytes.
template <typename Rec, typename F> QStringList onDisk(const char *name, F text)
{
    const QByteArray bytes = fileBytes(name);
    QStringList out;
    for (qsizetype at = 0; at + Rec::Size <= bytes.size(); at += Rec::Size)
        out << text(Rec::decode(bytes.constData() + at));
    return out;
}
// "name=group" per contact in file order, "!" after a black-listed one.
QStringList contactSummary()
{
    return onDisk<TAddressFileRec>(kAddressbookFileName, [](const AListAddress &c) {
        return c.DisplayNameAs + u'=' + c.Group + (c.BlackList ? u"!"_s : QString());
    });
}
QStringList callsOnDisk(QString ACalls::*field)
{
    return onDisk<TCallFileRec>(kCallsFileName, [field](const ACalls &c) { return c.*field; });
}

AListAddress contact(const QString &display, const QString &group, bool blackList = false)
{
    AListAddress c;
    c.DisplayNameAs = c.FirstName = display;
    c.Group = group;
    c.BlackList = blackList;
    return c;
}

ACalls call(const QString &name, const QString &number, bool isNew, int daysLater = 0)
{
    return {name,
            number,
            u"01 555 0000"_s,
            TDateFromQDate(kCallDate.addDays(daysLater)),
            TTimeFromQTime(kCallTime),
            isNew};
}

void retype(QDialog &dialog, const char *name, const QString &text)
{
    own(dialog, name)->selectAll();
    typeText(own(dialog, name), text);
}

void clickSave(QDialog &dialog)
{
    QTest::mouseClick(own<QPushButton>(dialog, "btnSave"), Qt::LeftButton);
}

// Types the names into the editor and saves.
std::function<void(QDialog &)> typeNameAndSave(const QString &first, const QString &last,
                                               const QString &phone = {})
{
    return [=](QDialog &editor) {
        typeText(own(editor, "editFirstName"), first);
        typeText(own(editor, "editLastName"), last);
        typeText(own(editor, "editPhoneNumber1"), phone);
        clickSave(editor);
    };
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
struct FileSizeLimit
{
    rlimit old{};
    void (*handler)(int) = std::signal(SIGXFSZ, SIG_IGN);
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &old);
        const rlimit limit{bytes, old.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, handler);
    }
};

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<Settings> m_settings;
    std::unique_ptr<AddressBook> m_book;
    std::unique_ptr<CallLog> m_log;
    std::unique_ptr<TfrmMain> m_window;
    // What the window asked of the user (the message boxes of the last checkMessage) and the
    // desktop.
    QList<MessageDialogHook::Record> m_messages;
    QList<bool> m_callsSeen;
    QStringList m_opened;
    QString m_saveAnswer;

    template <typename T = QWidget> T *control(const char *name) const { return own<T>(*m_window, name); }
    void answerNext(int answer) { MessageDialogHook::setNextAnswer(QMessageBox::StandardButton(answer)); }
    QTreeWidgetItem *node(const QString &text) const
    {
        QTreeWidgetItem *n = m_window->groupNode(text);
        if (!n)
            qFatal("no node %s", qPrintable(text));
        return n;
    }
    void selectNode(const QString &text) { control<QTreeWidget>("tvGroups")->setCurrentItem(node(text)); }
    void selectContacts(const QStringList &names)
    {
        control<QTreeView>("lvContacts")->clearSelection();
        for (const QString &name : names) {
            QVERIFY2(rows(*m_window).contains(name), qPrintable(name));
            m_window->selectContactRow(int(rows(*m_window).indexOf(name)), true);
        }
    }
    void showCalls(const QList<int> &selected = {})
    {
        QTest::mouseClick(control("btnCalls"), Qt::LeftButton);
        if (selected.isEmpty())
            return;
        control<QTreeView>("lvCalls")->clearSelection();
        for (int r : selected)
            m_window->selectCallRow(r, true);
    }
    // One message box was shown since the last check, with this caption and text (text
    // unchecked when empty).
    void checkMessage(const QString &caption, const QString &text = {})
    {
        m_messages = MessageDialogHook::takeAnswered();
        QCOMPARE(m_messages.size(), 1);
        QCOMPARE(m_messages[0].caption, caption);
        if (!text.isEmpty())
            QCOMPARE(m_messages[0].text, text);
    }
    // A new call logged as the pipeline logs one, and its save done.
    void logCall(const ACalls &c)
    {
        m_log->BeginCall(c);
        QVERIFY(m_log->CompleteCall({}, {}, {}, false));
        QVERIFY(m_log->flush());
    }

private slots:
    void initTestCase()
    {
        // A Croatian user: the lists sort with the language's letters (Č after C, Š after S).
        QLocale::setDefault(QLocale(QLocale::Croatian, QLocale::Croatia));
    }

    void init()
    {
        QDir(testsupport::testDataDir()).removeRecursively();
        QDir().mkpath(testsupport::testDataDir());
        ModalDialogHook::clear();
        MessageDialogHook::clear();
        m_callsSeen.clear();
        m_opened.clear();

        TGroupList groups;
        for (const QString &g : {u"Prijatelji"_s, u"Obitelj"_s, u"Šport"_s, u"Zabava"_s})
            groups.append(AGroups{g, QString()});
        TContactList contacts;
        AListAddress ana = contact(u"Horvat, Ana"_s, u"Prijatelji"_s);
        ana.PhoneLocation[2] = u"Mobitel   "_s; // padded to its field, in the third slot
        ana.PhoneNumber[2] = u"091 111 1111"_s;
        ana.EMail[0] = u"ana@example.hr"_s;
        contacts.append(ana);
        AListAddress ivo = contact(u"Kovač, Ivo"_s, u"Obitelj"_s);
        ivo.FirstName = u"Ivo"_s;
        ivo.LastName = u"Kovač"_s;
        contacts.append(ivo);
        contacts.append(contact(u"Zoran"_s, u"Nestala"_s));
        contacts.append(contact(u"Čedo"_s, u"Prijatelji"_s, true));
        contacts.append(contact(u"Cvijeta"_s, u"Bez grupe"_s));
        contacts.append(contact(u"Dario"_s, u"Šport"_s));
        TCallList calls;
        const QStringList callers = {u"< Nepoznat >"_s, kNumbers[1], u"Ana H."_s, kNumbers[3], u"Pero"_s};
        for (int i = 0; i < 5; ++i)
            calls.append(call(callers[i], kNumbers[i], i < 2)); // the first two are new
        const QString dir = testsupport::testDataDir();
        QVERIFY(SaveGroups(dir, groups) && SaveAddressbook(dir, contacts) && SaveCalls(dir, calls));
        m_book = std::make_unique<AddressBook>(dir);
        m_log = std::make_unique<CallLog>(dir);
        QVERIFY(m_book->load() && m_log->load());

        m_settings = std::make_unique<Settings>();
        m_window = std::make_unique<TfrmMain>(*m_settings, *m_book, *m_log);
        m_window->setUrlOpener([this](const QString &url) {
            m_opened << url;
            return !url.startsWith(u"mailto:"_s); // no mail program here
        });
        m_window->setCallsSeenHandler([this](bool ending) { m_callsSeen << ending; });
        m_window->setSaveFileDialog([this](const QString &, const QString &, const QString &,
                                           const QString &) { return m_saveAnswer; });
        m_window->setSoundPlayer([](const QString &) {});
        m_window->ShowPage(TfrmMain::PageAddressbook);
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }

    void cleanup()
    {
        m_window.reset();
        QCOMPARE(ModalDialogHook::pending(), 0);
        QCOMPARE(MessageDialogHook::pendingAnswers(), 0);
    }

    // ---- the address book page ----

    void contactRowsPerNode_data()
    {
        QTest::addColumn<QString>("node");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("all, sorted by the locale")
            << "Sve grupe" << QStringList{"Cvijeta", "Čedo", "Dario", "Horvat, Ana", "Kovač, Ivo", "Zoran"};
        QTest::newRow("without group: none and a vanished group")
            << "Bez grupe" << QStringList{"Cvijeta", "Zoran"};
    }
    void contactRowsPerNode()
    {
        QFETCH(QString, node);
        QFETCH(QStringList, expected);

        // The groups sort with the locale's letters below the fixed nodes.
        QTreeWidgetItem *all = control<QTreeWidget>("tvGroups")->topLevelItem(0);
        QStringList groups;
        for (int i = 0; i < all->childCount(); ++i)
            groups << all->child(i)->text(0);
        QCOMPARE(groups, (QStringList{"Bez grupe", "Obitelj", "Prijatelji", "Šport", "Zabava"}));

        selectNode(node);
        QCOMPARE(rows(*m_window), expected);
        QCOMPARE(control<TStatusPanels>("stbContacts")->text(1),
                 u" Ukupno osoba:  %1"_s.arg(expected.size()));
        // The first row comes selected, ready for the edit button.
        QCOMPARE(m_window->selectedContactNames(), expected.mid(0, 1));
        for (int r = 0; r < expected.size(); ++r)
            QCOMPARE(m_window->contactRowBlackListed(r), expected[r] == u"Čedo"_s);
    }

    // The renamed node is selected with its contacts; deleting asks whether the contacts go too.
    void renameAndDeleteGroup()
    {
        selectNode(u"Prijatelji"_s);
        ModalDialogHook::pushNext([](QDialog &dialog) {
            QCOMPARE(own(dialog, "editGroupName")->text(), u"Prijatelji"_s);
            retype(dialog, "editGroupName", u"Kolege s posla i iz planinarskog društva"_s);
            clickSave(dialog);
        });
        QTest::mouseClick(control<QToolButton>("tbRenameGroup"), Qt::LeftButton);
        // A name longer than the panel is shown whole, the tree scrolling sideways.
        auto *tree = control<QTreeWidget>("tvGroups");
        QVERIFY(tree->columnWidth(0) > tree->fontMetrics().horizontalAdvance(m_window->selectedNodeText()));
        ModalDialogHook::pushNext([](QDialog &dialog) {
            retype(dialog, "editGroupName", u"Kolege"_s);
            clickSave(dialog);
        });
        QTest::mouseClick(control<QToolButton>("tbRenameGroup"), Qt::LeftButton);
        QCOMPARE(m_window->selectedNodeText(), u"Kolege"_s);
        QCOMPARE(rows(*m_window), (QStringList{"Čedo", "Horvat, Ana"}));

        // The Delete key on the tree is the same command as the button; "Ne" keeps everything.
        const QByteArray groups = fileBytes(kGroupsFileName);
        answerNext(QMessageBox::No);
        QTest::keyClick(control<QTreeWidget>("tvGroups"), Qt::Key_Delete);
        checkMessage(u"Potvrda"_s, u"Grupa:  Kolege\nOsoba u grupi:  2\n\nZa brisanje samo grupe, klikni na "
                                   "\"Da\"!\nZa brisanje grupe i svih osoba u grupi, klikni na \"Da, "
                                   "sve!\"!\n\nObriši grupu?"_s);
        QCOMPARE(m_messages[0].buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::YesToAll);
        QCOMPARE(fileBytes(kGroupsFileName), groups);

        // "Da": the group only, and the node goes.
        answerNext(QMessageBox::Yes);
        QTest::mouseClick(control<QToolButton>("tbDeleteGroup"), Qt::LeftButton);
        QCOMPARE(contactSummary()[0], u"Horvat, Ana=Bez grupe"_s);
        QVERIFY(!m_window->groupNode(u"Kolege"_s));
        QCOMPARE(control<TStatusPanels>("stbGroups")->text(0), u" Ukupno grupa:  3"_s);
        QCOMPARE(m_window->selectedNodeText(), u"Sve grupe"_s);
    }

    // A double click opens the editor on the contact, the focus on the first name whatever was
    // focused last; the edited contact stays selected.
    void editedContactStaysSelected()
    {
        selectContacts({u"Kovač, Ivo"_s});
        for (int round = 0; round < 2; ++round) {
            QStringList seen;
            ModalDialogHook::pushNext([&](QDialog &editor) {
                QWidget *focused = editor.focusWidget();
                seen << own<QComboBox>(editor, "cbDisplayAs")->currentText()
                     << (focused ? focused->objectName() : QString());
                own(editor, "editHomeCity")->setFocus();
                retype(editor, "editLastName", u"Kovačić"_s);
                if (round == 1)
                    clickSave(editor);
            });
            QTreeView *list = control<QTreeView>("lvContacts");
            emit list->doubleClicked(list->currentIndex());
            QCOMPARE(seen, (QStringList{"Kovač, Ivo", "editFirstName"}));
        }
        QVERIFY(MessageDialogHook::takeAnswered().isEmpty());
        QCOMPARE(contactSummary().last(), u"Kovačić, Ivo=Obitelj"_s);
        QCOMPARE(m_window->selectedContactNames(), QStringList{"Kovačić, Ivo"});
    }

    // A group made from inside the editor is where the user is heading: once the editor is
    // closed its node is selected, with the new contact in it and selected.
    void newGroupFromTheEditorSelectsItsNode()
    {
        selectNode(u"Obitelj"_s);
        ModalDialogHook::pushNext([](QDialog &editor) {
            ModalDialogHook::pushNext([](QDialog &dialog) {
                typeText(own(dialog, "editGroupName"), u"Kolege"_s);
                clickSave(dialog);
            });
            QTest::mouseClick(own<QPushButton>(editor, "btnNewGroup"), Qt::LeftButton);
            typeNameAndSave(u"Marko"_s, u"Marić"_s)(editor);
        });
        QTest::mouseClick(control<QToolButton>("tbNewContact"), Qt::LeftButton);
        QVERIFY(MessageDialogHook::takeAnswered().isEmpty());
        QCOMPARE(contactSummary().last(), u"Marić, Marko=Kolege"_s);
        QCOMPARE(m_window->selectedNodeText(), u"Kolege"_s);
        QCOMPARE(rows(*m_window), QStringList{"Marić, Marko"});
        QCOMPARE(m_window->selectedContactNames(), QStringList{"Marić, Marko"});
    }

    void deleteContacts()
    {
        const QByteArray before = fileBytes(kAddressbookFileName);
        m_window->menus().miSelectAllContacts->trigger();
        answerNext(QMessageBox::No);
        // The Delete key on the list is the same command as the button. The question counts the
        // contacts and names the first five.
        QTest::keyClick(control<QTreeView>("lvContacts"), Qt::Key_Delete);
        checkMessage(u"Potvrda"_s,
                     u"Osoba za brisanje:  6\n\nCvijeta\nČedo\nDario\nHorvat, Ana\nKovač, "
                     "Ivo\n… i još 1\n\nDa li stvarno želiš obrisati izabrane osobe iz adresara?"_s);
        QCOMPARE(fileBytes(kAddressbookFileName), before);

        selectContacts({u"Čedo"_s, u"Dario"_s, u"Zoran"_s});
        answerNext(QMessageBox::Yes);
        QTest::mouseClick(control<QToolButton>("tbDeleteContact"), Qt::LeftButton);
        checkMessage(u"Potvrda"_s);
        QCOMPARE(contactSummary(),
                 (QStringList{"Horvat, Ana=Prijatelji", "Kovač, Ivo=Obitelj", "Cvijeta=Bez grupe"}));
        QCOMPARE(m_window->contactRowCount(), 3);
    }

    // Another program's change is read in: the node shown and the contacts selected in it stay,
    // so Delete (unasked) deletes what the user chose; a selected contact that is gone leaves
    // nothing selected in its place.
    void outsideChangeKeepsTheSelection()
    {
        m_settings->setFlag(Settings::ConfirmDelete, false);
        selectNode(u"Prijatelji"_s);
        selectContacts({u"Čedo"_s, u"Horvat, Ana"_s});
        TGroupList groups;
        for (const QString &g : {u"Auti"_s, u"Prijatelji"_s})
            groups.append(AGroups{g, QString()});
        TContactList contacts;
        for (const QString &name : {u"Ante"_s, u"Horvat, Ana"_s, u"Kovač, Ivo"_s})
            contacts.append(contact(name, u"Prijatelji"_s));
        const QString dir = testsupport::testDataDir();
        QVERIFY(SaveGroups(dir, groups) && SaveAddressbook(dir, contacts) && m_book->reloadChanged());
        QCOMPARE(m_window->selectedNodeText(), u"Prijatelji"_s);
        QCOMPARE(rows(*m_window), (QStringList{"Ante", "Horvat, Ana", "Kovač, Ivo"}));
        QCOMPARE(m_window->selectedContactNames(), QStringList{"Horvat, Ana"});
        QTest::keyClick(control<QTreeView>("lvContacts"), Qt::Key_Delete);
        QCOMPARE(contactSummary(), (QStringList{"Ante=Prijatelji", "Kovač, Ivo=Prijatelji"}));
    }

    // A save that fails (here: a full disk) is reported, and the window shows what the file holds.
    void failedSaveLeavesContactsAsOnDisk_data()
    {
        QTest::addColumn<QString>("command");
        for (const char *command : {"new", "edit", "delete", "black list"})
            QTest::newRow(command) << QString::fromLatin1(command);
    }
    void failedSaveLeavesContactsAsOnDisk()
    {
        QFETCH(QString, command);

        m_settings->setFlag(Settings::ConfirmDelete, false);
        const QByteArray before = fileBytes(kAddressbookFileName);
        const QStringList shown = rows(*m_window);
        answerNext(QMessageBox::Ok);
        {
            const FileSizeLimit full(1000);
            if (command == u"new"_s) {
                ModalDialogHook::pushNext(typeNameAndSave(u"Marko"_s, {}));
                m_window->tbNewContactClick();
            } else if (command == u"edit"_s) {
                selectContacts({u"Kovač, Ivo"_s});
                ModalDialogHook::pushNext([](QDialog &editor) {
                    retype(editor, "editLastName", u"Kovačić"_s);
                    clickSave(editor);
                });
                m_window->tbEditContactClick();
            } else if (command == u"delete"_s) {
                selectContacts({u"Zoran"_s});
                m_window->tbDeleteContactClick();
            } else {
                selectContacts({u"Horvat, Ana"_s});
                m_window->ToggleBlackList();
            }
        }
        checkMessage(u"Greška"_s);
        QVERIFY2(m_messages[0].text.startsWith(u"Pisanje datoteke nije uspjelo:"_s),
                 qPrintable(m_messages[0].text));
        QCOMPARE(fileBytes(kAddressbookFileName), before);
        QCOMPARE(rows(*m_window), shown);
        QVERIFY(!m_window->contactRowBlackListed(int(shown.indexOf(u"Horvat, Ana"_s))));
    }

    // Contacts dragged onto the black list are black-listed, onto a group moved into it; the
    // menu item takes one off the black list again.
    void blackListAndDropOnTheTree()
    {
        selectContacts({u"Cvijeta"_s, u"Kovač, Ivo"_s, u"Zoran"_s});
        QTreeView *list = control<QTreeView>("lvContacts");
        const std::unique_ptr<QMimeData> mime(
            list->model()->mimeData(list->selectionModel()->selectedRows()));
        // The drag as the tree sees it: enter, move and drop on the node's middle.
        auto drop = [&](const QString &target) {
            const QPoint at = control<QTreeWidget>("tvGroups")->visualItemRect(node(target)).center();
            const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction;
            QDragEnterEvent enter(at, actions, mime.get(), Qt::LeftButton, {});
            QDragMoveEvent move(at, actions, mime.get(), Qt::LeftButton, {});
            QDropEvent dropped(QPointF(at), actions, mime.get(), Qt::LeftButton, {});
            dropped.setAccepted(false);
            for (QEvent *e : std::initializer_list<QEvent *>{&enter, &move, &dropped})
                QApplication::sendEvent(control<QTreeWidget>("tvGroups")->viewport(), e);
            return move.isAccepted() && dropped.isAccepted();
        };
        const QByteArray before = fileBytes(kAddressbookFileName);
        QVERIFY(!drop(u"Sve grupe"_s) && !drop(u"Bez grupe"_s));
        QCOMPARE(fileBytes(kAddressbookFileName), before);
        QVERIFY(drop(u"Crna Lista"_s));
        QCOMPARE(contactSummary(),
                 (QStringList{"Horvat, Ana=Prijatelji", "Kovač, Ivo=Obitelj!", "Zoran=Nestala!",
                              "Čedo=Prijatelji!", "Cvijeta=Bez grupe!", "Dario=Šport"}));

        // Taken off the black list while it is shown, the contact leaves the rows.
        QAction *item = m_window->menus().miAddToBlackList;
        selectNode(u"Crna Lista"_s);
        selectContacts({u"Čedo"_s});
        QCOMPARE(item->text(), u"Makni osobu iz Crne Liste"_s);
        item->trigger();
        QCOMPARE(contactSummary()[3], u"Čedo=Prijatelji"_s);
        QCOMPARE(rows(*m_window), (QStringList{"Cvijeta", "Kovač, Ivo", "Zoran"}));

        // The rows of the group shown follow a drop.
        selectNode(u"Zabava"_s);
        QVERIFY(m_window->DropContactsOnNode(node(u"Zabava"_s), {u"Dario"_s}));
        QCOMPARE(rows(*m_window), QStringList{"Dario"});
    }

    void detailsPanel()
    {
        selectContacts({u"Horvat, Ana"_s});
        QCOMPARE(control<QLabel>("lblDetailsHeading0")->text(), u"Horvat, Ana"_s);
        QCOMPARE(control<QLabel>("lblDetailsLocation1")->text() +
                     control<QLabel>("lblDetailsNumber1")->text(),
                 u"Mobitel091 111 1111"_s);
        control<QTabWidget>("pcDetails")->setCurrentIndex(4);
        TLinkLabel *link = control<TLinkLabel>("lblDetailsEmail1");
        QCOMPARE(link->text(), u"ana@example.hr"_s);
        answerNext(QMessageBox::Ok);
        QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(2, link->height() / 2));
        QCOMPARE(m_opened, QStringList{u"mailto:ana@example.hr"_s});
        checkMessage(u"Informacija"_s);
        QVERIFY(m_messages[0].text.contains(u"mailto:ana@example.hr"_s));

        // Several contacts show no details.
        selectContacts({u"Horvat, Ana"_s, u"Zoran"_s});
        QCOMPARE(control<QLabel>("lblDetailsHeading0")->text(), QString());
    }

    // ---- the calls page ----

    void callListRows()
    {
        // A contact that gets the first caller's number after the call.
        ModalDialogHook::pushNext(typeNameAndSave(u"Marija"_s, u"Novak"_s, u"091 222 3333"_s));
        QTest::mouseClick(control<QToolButton>("tbNewContact"), Qt::LeftButton);
        showCalls();
        QVERIFY(m_callsSeen.isEmpty()); // seen when the window closes, not before

        // Callers whose number belongs to a contact show the contact's name.
        const QStringList names = {"Novak, Marija", "< Neidentificiran >", "Horvat, Ana", "< Sakriven >",
                                   "Pero"};
        QCOMPARE(m_window->callRowCount(), 5);
        for (int r = 0; r < 5; ++r) {
            const QStringList shown = {m_window->callRowText(r, 0), m_window->callRowText(r, 1),
                                       m_window->callRowText(r, 3)};
            QCOMPARE(shown, (QStringList{names[r], kNumbers[r], when()}));
            QCOMPARE(m_window->callRowImage(r), r < 2 ? 26 : 25);
        }
        QCOMPARE(control<TStatusPanels>("stbCalls")->text(0), u" Novih poziva:  2"_s);
        QCOMPARE(m_window->selectedCallRows(), QList<int>{0});

        // The list is saved as a page where the user chooses.
        m_saveAnswer = dataFile(u"pozivi"_s);
        QTest::mouseClick(control<QToolButton>("tbSaveCalls"), Qt::LeftButton);
        const QByteArray page = testsupport::readFile(dataFile(u"pozivi.htm"_s));
        QVERIFY(page.contains("098 765 432") && page.contains("&lt; Sakriven &gt;"));

        // The next save of the call log (the window closing on the calls page) writes the names.
        m_window->close();
        QCOMPARE(callsOnDisk(&ACalls::CallerName).mid(0, 3),
                 (QStringList{"Novak, Marija", "< Neidentificiran >", "Horvat, Ana"}));
    }

    void addCallerFromTheCallList()
    {
        // A withheld number cannot be added, even when asked directly.
        showCalls({1});
        QVERIFY(!control<QToolButton>("tbAddToAddressbook")->isEnabled());
        ModalDialogHook::pushNext([](QDialog &) { QFAIL("the editor opened"); });
        m_window->tbAddToAddressbookClick();
        QCOMPARE(ModalDialogHook::pending(), 1);
        ModalDialogHook::clear();

        // An unknown caller logged by the English interface: shown in this one's words, and no
        // name offered to the editor, whose empty group box reads "Bez grupe".
        m_log->NameCallers({{4, u"< Unknown >"_s}});
        m_window->RefreshCallList();
        QCOMPARE(m_window->callRowText(4, 0), u"< Nepoznat >"_s);
        showCalls({4});
        QStringList prefilled;
        ModalDialogHook::pushNext([&](QDialog &editor) {
            const auto *groups = editor.findChild<QComboBox *>(u"cbGroups"_s);
            prefilled << own(editor, "editFirstName")->text() << editor.windowTitle()
                      << (groups->currentIndex() < 0 ? groups->placeholderText() : groups->currentText());
            editor.reject();
        });
        QTest::mouseClick(control<QToolButton>("tbAddToAddressbook"), Qt::LeftButton);
        QCOMPARE(prefilled, (QStringList{"", "Osoba:  ", "Bez grupe"}));
        m_log->NameCallers({{4, u"Pero"_s}});
        m_window->RefreshCallList();

        showCalls({4});
        prefilled.clear();
        ModalDialogHook::pushNext([&](QDialog &editor) {
            prefilled << own(editor, "editFirstName")->text() << own(editor, "editPhoneNumber1")->text();
            typeText(own(editor, "editLastName"), u"Perić"_s);
            clickSave(editor);
        });
        QTest::mouseClick(control<QToolButton>("tbAddToAddressbook"), Qt::LeftButton);
        QCOMPARE(prefilled, (QStringList{"Pero", "098 765 432"}));
        QCOMPARE(contactSummary().last(), u"Perić, Pero=Bez grupe"_s);
        QCOMPARE(m_window->currentPage(), int(TfrmMain::PageCalls));
        QCOMPARE(m_window->callRowText(4, 0), u"Perić, Pero"_s);

        // A caller a card of the contacts folder named comes with the rest of the card, even when
        // the log keeps the name in other letters.
        QTemporaryDir folder;
        testsupport::writeFile(folder.filePath(u"iva.vcf"_s), "BEGIN:VCARD\r\nFN:Ива\r\nN:Oblak;Iva\r\nTEL:099 000 "
                               "2222\r\nTEL;TYPE=work:01 555 0000\r\nEMAIL:iva@oblak.hr\r\nORG:Oblak\r\nEND:VCARD\r\n");
        VCardCallerIndex cards;
        cards.indexNow(folder.path());
        m_window->setCallerCard([&](const QString &name, const QString &number) { return cards.contactOf(name, number); });
        logCall(call(u"Ива"_s, u"099 000 2222"_s, true)); // logged in Latin letters
        for (int row = 0; row < m_log->calls().size(); ++row)
            if (m_log->calls()[row].CallerName == u"Iva"_s)
                showCalls({row});
        prefilled.clear();
        ModalDialogHook::pushNext([&](QDialog &editor) {
            for (const char *name : {"editLastName", "editPhoneNumber2", "editEmail1", "editCompanyName"})
                prefilled << own(editor, name)->text();
            editor.reject();
        });
        QTest::mouseClick(control<QToolButton>("tbAddToAddressbook"), Qt::LeftButton);
        QCOMPARE(prefilled, (QStringList{"Oblak", "01 555 0000", "iva@oblak.hr", "Oblak"}));
        m_window->setCallerCard({});
    }

    // The calls chosen go even when the monitor logs a newer call while the question is open: the
    // question is a real modal box here, with the event loop going on behind it.
    void deleteCalls()
    {
        showCalls({4, 0, 2});
        QString asked;
        QTimer::singleShot(0, this, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            asked = box->windowTitle() + u'|' + box->text();
            logCall(call(u"Marija"_s, u"099 000 1111"_s, true, 1));
            box->button(QMessageBox::Yes)->click();
        });
        QTest::mouseClick(control<QToolButton>("tbDeleteCalls"), Qt::LeftButton);
        QCOMPARE(asked,
                 u"Potvrda|Poziva za brisanje:  3\n\n< Nepoznat > (0912223333), %1\nHorvat, Ana (091 111 "
                 "1111), %1\nPero (098 765 432), %1\n\nDa li stvarno želiš obrisati izabrane pozive?"_s.arg(
                     when()));
        QCOMPARE(callsOnDisk(&ACalls::CallerNumber),
                 (QStringList{"099 000 1111", "< Neidentificiran >", "< Sakriven >"}));
        QCOMPARE(m_window->callRowCount(), 3);
    }

    // Calls logged while the user looks at the list move the rows: the call chosen stays chosen
    // (the question names it), and the list stays where it was scrolled.
    void loggedCallKeepsTheSelection()
    {
        TCallList calls;
        for (int i = 0; i < 45; ++i)
            calls.append(call(u"Pero"_s, u"098 %1"_s.arg(i), false, -i));
        QVERIFY(SaveCalls(testsupport::testDataDir(), calls) && m_log->reloadChanged());
        showCalls({2});
        auto *list = control<QTreeView>("lvCalls");
        list->scrollTo(list->model()->index(20, 0), QAbstractItemView::PositionAtTop);
        logCall(call(u"Marija"_s, u"099 000 1111"_s, true, 1));
        QCOMPARE(m_window->selectedCallRows(), QList<int>{3});
        QCOMPARE(list->indexAt(QPoint(1, 1)).row(), 21);
        answerNext(QMessageBox::No);
        QTest::keyClick(list, Qt::Key_Delete);
        checkMessage(
            u"Potvrda"_s,
            u"Poziv:  Pero (098 2), %1\n\nDa li stvarno želiš obrisati izabrani poziv?"_s.arg(when(-2)));
    }

    void closingMarksSeenOnlyWhatWasShown_data()
    {
        QTest::addColumn<bool>("callsPage");
        QTest::addColumn<bool>("minimise");
        QTest::newRow("calls page, closed to the tray") << true << false;
        QTest::newRow("calls page, minimised") << true << true;
        QTest::newRow("address book page") << false << false;
    }
    void closingMarksSeenOnlyWhatWasShown()
    {
        QFETCH(bool, callsPage);
        QFETCH(bool, minimise);

        m_window->setMinimiseOnClose(minimise);
        if (callsPage)
            showCalls();
        const QList<bool> seenBefore = m_callsSeen;
        QSignalSpy closed(m_window.get(), &TfrmMain::closed);
        QVERIFY(!m_window->close()); // closing hides: the window lives on in the tray
        QCOMPARE(m_window->isHidden(), !minimise);
        QCOMPARE(m_window->isMinimized(), minimise);
        QCOMPARE(closed.count(), 1);
        QCOMPARE(m_callsSeen, callsPage ? seenBefore + QList<bool>{false} : seenBefore);

        // A call comes while the window is away, then the program ends: with the calls page the
        // last page shown, that call is marked seen with the rest; otherwise every new call stays new.
        logCall(call(u"Pero"_s, kNumbers[4], true, 1));
        m_window->setProgramEnding(true);
        m_window->MarkAllCallsSeen();
        QCOMPARE(m_callsSeen.endsWith(true), callsPage);
        m_window.reset();
        const QString left = callsPage ? u"seen"_s : u"new"_s;
        QCOMPARE(onDisk<TCallFileRec>(kCallsFileName,
                                      [](const ACalls &c) { return c.IsNew ? u"new"_s : u"seen"_s; }),
                 (QStringList{left, left, left, "seen", "seen", "seen"}));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"

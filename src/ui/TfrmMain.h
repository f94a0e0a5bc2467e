#pragma once

#include "store/Records.h"
#include "ui/DialogSeams.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <array>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

class AddressBook;
class CallLog;
class QAction;
class QLabel;
class QMenu;
class QSplitter;
class QStackedWidget;
class QTabWidget;
class QToolButton;
class QTreeView;
class QTreeWidget;
class QTreeWidgetItem;
class Settings;
class TBitmapButton;
class TCallRowsModel;
class TContactRowsModel;
class TGroupsTree;
class TLinkLabel;
class TStatusPanels;
class TfrmContact;

// The popup menus the controller owns and lends to the main window, which connects their items
// to its own commands.
struct MainWindowMenus
{
    QMenu *groups = nullptr;
    QMenu *contacts = nullptr;
    QMenu *calls = nullptr;
    QMenu *exportContacts = nullptr;
    QAction *miShowGroups = nullptr;
    QAction *miNewGroup = nullptr;
    QAction *miRenameGroup = nullptr;
    QAction *miDeleteGroup = nullptr;
    QAction *miEditContact = nullptr;
    QAction *miDeleteContact = nullptr;
    QAction *miAddToBlackList = nullptr;
    QAction *miSelectAllContacts = nullptr;
    QAction *miAddToAddressbook = nullptr;
    QAction *miDeleteCall = nullptr;
    QAction *miSelectAllCalls = nullptr;
    QAction *miExportToCSV = nullptr;
    QAction *miExportToXML = nullptr;
};

// Makes the main window's popup menus, owned by OWNER, with their items named, captioned and
// enabled as a fresh window expects them.
MainWindowMenus CreateMainWindowMenus(QWidget *owner);

// The address book and call log window: the groups tree, the contact list and a contact's
// details on page 0, the call log on page 1. Every change goes through the address book or the
// call log, and the window follows their change signals; there is nothing to save. The window has no title
// bar of its own and is moved by its frame.
class TfrmMain : public QWidget
{
    Q_OBJECT

public:
    enum Page
    {
        PageAddressbook,
        PageCalls
    };

    // Tree node pictures, which also tell the node kinds apart.
    enum Image
    {
        ImageContact = 2,
        ImageGroup = 9,
        ImageBlackListed = 22,
        ImageBlackList = 23,
        ImageWithoutGroup = 24,
        ImageCallSeen = 25,
        ImageCallNew = 26
    };

    // MENUS may be left empty (tests); the window then makes its own.
    TfrmMain(Settings &settings, AddressBook &addressBook, CallLog &callLog,
             const MainWindowMenus &menus = {}, QWidget *parent = nullptr);
    ~TfrmMain() override;

    // What the window cannot do itself. Defaults: Qt's save dialog, the system's URL handler,
    // wave files on a thread.
    using SaveFileFn = std::function<QString(const QString &title, const QString &folder, const QString &name,
                                             const QString &filter)>;
    void setSaveFileDialog(SaveFileFn fn) { m_saveFileDialog = std::move(fn); }
    void setUrlOpener(std::function<bool(const QString &url)> fn) { m_openUrl = std::move(fn); }
    void setSoundPlayer(PlaySoundFn fn);
    void setSpeaker(SpeakTextFn fn);
    // The calls have been seen: the controller sets the new-call count to 0 and, unless the
    // program is ending, closes the new call notice and resets the tray.
    void setCallsSeenHandler(std::function<void(bool programEnding)> fn) { m_callsSeen = std::move(fn); }
    void setOptionsOpener(std::function<void()> fn) { m_openOptions = std::move(fn); }
    // The contacts-folder card that named a logged caller (NAME, NUMBER), for "Dodaj u adresar".
    using CallerCardFn = std::function<std::optional<AListAddress>(const QString &name, const QString &number)>;
    void setCallerCard(CallerCardFn fn) { m_callerCard = std::move(fn); }
    // Search, import and exchange windows; their buttons show only once a handler is set.
    void setFindContactHandler(std::function<void()> fn);
    void setImportHandler(std::function<void()> fn);
    void setExchangeHandler(std::function<void()> fn);
    // Without a notification area, closing the window minimises it instead of hiding it.
    void setMinimiseOnClose(bool on) { m_minimiseOnClose = on; }
    void setProgramEnding(bool ending) { m_programEnding = ending; }

    // Shows PAGE: title bitmap, lists refreshed, centred on the screen, in front.
    void ShowPage(int page);
    // Switches the notebook page (the page buttons do this), refreshing the call list first.
    void SetPage(int page);
    int currentPage() const;
    bool callsPageShown() const { return m_callsPageShown; }

    // Status strip, driven by the controller.
    void setNewCallsText(const QString &text);
    // The line reports more calls than a telephone can ring: the calls page says that some are
    // not logged, until it is quiet again.
    void setLineFlooding(bool flooding);
    // What the call sharing has to say (a broker away); empty for nothing.
    void setSharingNote(const QString &note);
    void setCallsIndicator(int callsBlinkPhase);
    void setConnectionIndicator(int connectionImage, const QString &hint);
    void setDeviceText(const QString &text);

    // The groups tree in its fixed shape; "Sve grupe" expanded and selected. Also refills the
    // contact editor's group choices.
    void RebuildGroupsTree();
    // The contact rows of the selected node (after imports and outside changes), the contacts
    // selected kept selected.
    void RefreshContactRows();
    // The call list and its counts (after every logged call), the calls selected kept selected
    // and the list where it was scrolled.
    void RefreshCallList();

    // Commands
    void tbNewContactClick();
    void tbEditContactClick();
    void tbDeleteContactClick();
    void ToggleBlackList();
    void tbNewGroupClick();
    void tbRenameGroupClick();
    void tbDeleteGroupClick();
    void tbShowGroupsClick();
    void tbManipulateGroupsClick();
    void tbShowDetailsClick();
    void tbAddToAddressbookClick();
    // The contact editor for a caller from outside the call list (the desktop notification),
    // filled as the call list's add fills it. Nothing while another modal window is open.
    void AddCallerToAddressbook(const QString &name, const QString &number);
    void tbDeleteCallsClick();
    void tbSaveCallsClick();
    void MarkAllCallsSeen();
    // Sets the black-list flag (black-list node) or the group (group node) of every contact named
    // in NAMES; false when the node takes no drop.
    bool DropContactsOnNode(QTreeWidgetItem *node, const QStringList &names);

    // Rows as shown, for the commands and for checking.
    int contactRowCount() const;
    QString contactRowText(int row, int column = 0) const;
    bool contactRowBlackListed(int row) const;
    QStringList selectedContactNames() const;
    void selectContactRow(int row, bool add = false);
    int callRowCount() const;
    QString callRowText(int row, int column) const;
    int callRowImage(int row) const;
    void selectCallRow(int row, bool add = false);
    QList<int> selectedCallRows() const;
    QTreeWidgetItem *groupNode(const QString &text) const;
    void selectGroupNode(const QString &text);
    // Shows the named contacts: the node of all contacts, and only these rows selected and
    // scrolled into view. The window is not brought forward.
    void ShowContacts(const QStringList &names);
    QString selectedNodeText() const;

    static QString SaveCallsProposedName(const QDate &today);

    TfrmContact *frmContact() const { return m_contact; }
    const MainWindowMenus &menus() const { return m_menus; }

signals:
    // The window was hidden; the controller may show the calls again.
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showNotes();
    // Controls, named as the program names them; their object names are the same, and are what
    // tests find them by.
    QStackedWidget *Notebook = nullptr;
    QLabel *imgMainPosition = nullptr;
    TBitmapButton *btnAddressbook = nullptr;
    TBitmapButton *btnCalls = nullptr;
    TBitmapButton *btnOptions = nullptr;
    TBitmapButton *minimizeBtn = nullptr;
    std::array<QWidget *, 4> frameImages{};
    QLabel *lblDevice = nullptr;
    QLabel *lblNewCalls = nullptr;
    QLabel *pbxCalls = nullptr;
    QLabel *pbxConnection = nullptr;

    QToolButton *tbNewContact = nullptr;
    QToolButton *tbEditContact = nullptr;
    QToolButton *tbDeleteContact = nullptr;
    QToolButton *tbShowGroups = nullptr;
    QToolButton *tbManipulateGroups = nullptr;
    QToolButton *tbNewGroup = nullptr;
    QToolButton *tbRenameGroup = nullptr;
    QToolButton *tbDeleteGroup = nullptr;
    QToolButton *tbFindContact = nullptr;
    QToolButton *tbImportWAB = nullptr;
    QToolButton *tbOutlookExchange = nullptr;
    QToolButton *tbDataExport = nullptr;
    QToolButton *tbShowDetails = nullptr;
    QToolButton *tbAddToAddressbook = nullptr;
    QToolButton *tbDeleteCalls = nullptr;
    QToolButton *tbSaveCalls = nullptr;

    QSplitter *splitter = nullptr;
    QWidget *pnlGroups = nullptr;
    TGroupsTree *tvGroups = nullptr;
    TStatusPanels *stbGroups = nullptr;
    QTreeView *lvContacts = nullptr;
    TStatusPanels *stbContacts = nullptr;
    QWidget *pnlContactDetails = nullptr;
    QTabWidget *pcDetails = nullptr;
    QLabel *imgDetailsPicture = nullptr;
    std::array<QLabel *, 6> lblDetailsHeading{};
    std::array<QLabel *, 8> lblDetailsLocation{};
    std::array<QLabel *, 8> lblDetailsSeparator{};
    std::array<QLabel *, 8> lblDetailsNumber{};
    std::array<TLinkLabel *, 4> lblDetailsEmail{};
    std::array<TLinkLabel *, 2> lblDetailsWeb{};
    QLabel *lblDetailsNotes = nullptr;
    QTreeView *lvCalls = nullptr;
    TStatusPanels *stbCalls = nullptr;

    // Construction
    QWidget *createFrame();
    QWidget *createStatusStrip();
    QWidget *createAddressbookPage();
    QWidget *createCallsPage();
    QWidget *createDetailsPanel();
    QToolButton *toolButton(const char *name, const QString &hint);
    void connectMenus();

    // Contacts
    // KEEPPLACE: the contacts selected stay so; else the first row is selected.
    void fillContactRows(const QString &nodeText, bool withoutGroup, bool blackList, bool all,
                         bool keepPlace);
    void refreshContactRows(bool keepPlace);
    void contactSelectionChanged();
    void showContactDetails();
    void clearContactDetails();
    void selectAndFocusContact(const QString &displayName);
    void contactsContextMenu(const QPoint &pos);
    bool runContactEditor();
    void openLink(TLinkLabel *label, bool email);

    // Groups
    // KEEPCONTACTS: the node was kept through a rebuild, not chosen by the user.
    void tvGroupsChange(bool keepContacts = false);
    void groupsContextMenu(const QPoint &pos);
    bool isGroupNode(const QTreeWidgetItem *node) const;
    void setGroupsShown(bool shown);

    // Calls
    void callSelectionChanged();
    // What a delete question names of the call in ROW: caller, number, date and time.
    QString callText(int row) const;
    void callsContextMenu(const QPoint &pos);

    // Opens URL with the desktop's program for it, and says so when there is none.
    void openUrl(const QString &url);
    bool confirmDelete() const;
    // The first few of LINES, one a line, and how many more there are: what a delete question
    // names of several records.
    static QString firstLines(const QStringList &lines);
    int languageIndex() const;
    void hideWindow();
    void centreOnScreen();

    Settings &m_settings;
    AddressBook &m_book;
    CallLog &m_log;
    MainWindowMenus m_menus;
    TfrmContact *m_contact = nullptr;
    TContactRowsModel *m_contactRows = nullptr;
    TCallRowsModel *m_callRows = nullptr;

    SaveFileFn m_saveFileDialog;
    std::function<bool(const QString &)> m_openUrl;
    CallerCardFn m_callerCard;
    std::function<void(bool)> m_callsSeen;
    std::function<void()> m_openOptions;
    std::function<void()> m_findContact;
    std::function<void()> m_import;
    std::function<void()> m_exchange;

    QString m_titleBitmap;
    QString m_floodingNote;
    QString m_sharingNote;
    QString m_pendingName;
    QString m_pendingNumber;
    std::optional<AListAddress> m_pendingCard;
    bool m_callsPageShown = false;
    bool m_minimiseOnClose = false;
    bool m_programEnding = false;
    bool m_groupsShown = true;
    QPoint m_dragOffset;
    bool m_dragging = false;
    // The details panel's plain fields and the contact field each one shows.
    std::vector<std::pair<QLabel *, QString AListAddress::*>> m_detailFields;
};

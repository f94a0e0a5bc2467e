// The main window's frame, pages and status strip; the commands live in TfrmMainContacts.cpp,
// TfrmMainGroups.cpp and TfrmMainCalls.cpp.

#include "ui/TfrmMain.h"

#include "settings/Settings.h"
#include "store/AddressBook.h"
#include "store/CallLog.h"
#include "ui/TCallRowsModel.h"
#include "ui/TContactRowsModel.h"
#include "ui/TGroupsTree.h"
#include "ui/TStatusPanels.h"
#include "ui/TfrmContact.h"
#include "widgets/ShowMessageDialog.h"
#include "widgets/Skin.h"
#include "widgets/TBitmapButton.h"
#include "widgets/TLinkLabel.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLinearGradient>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QSplitter>
#include <QStackedWidget>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeView>
#include <QUrl>
#include <QVBoxLayout>
#include <QWindow>

namespace {

constexpr int kWindowWidth = 980;
constexpr int kWindowHeight = 600;
constexpr int kTopFrame = 42;
constexpr int kSideFrame = 76;
constexpr int kEdge = 6;

const QColor kFrameTop(0x4b, 0x82, 0xbd);
const QColor kFrameBottom(0x1c, 0x3c, 0x63);
const QColor kClient(0xee, 0xf3, 0xf9);

// A part of the window's frame: transparent, it only gives the mouse something to hold.
QWidget *frameImage(const char *name, QWidget *parent)
{
    auto *w = new QWidget(parent);
    w->setObjectName(QLatin1String(name));
    w->setAttribute(Qt::WA_TranslucentBackground);
    return w;
}

QLabel *whiteLabel(const QString &text, int pointSize, bool bold)
{
    auto *label = new QLabel(text);
    QFont font = label->font();
    font.setPointSize(pointSize);
    font.setBold(bold);
    label->setFont(font);
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(p);
    return label;
}

// A page of the notebook, its controls in a column.
QWidget *notebookPage(const char *name, QVBoxLayout *&layout)
{
    auto *page = new QWidget;
    page->setObjectName(QLatin1String(name));
    layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(3);
    return page;
}

// A list in report style over MODEL: whole rows selected, several at once, nothing edited in
// place, rows of one height so that long lists stay quick.
QTreeView *reportView(const char *name, QAbstractItemModel *model)
{
    auto *view = new QTreeView;
    view->setObjectName(QLatin1String(name));
    view->setModel(model);
    view->setRootIsDecorated(false);
    view->setUniformRowHeights(true);
    view->setItemsExpandable(false);
    view->setAllColumnsShowFocus(true);
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    return view;
}

} // namespace

TfrmMain::TfrmMain(Settings &settings, AddressBook &addressBook, CallLog &callLog,
                   const MainWindowMenus &menus, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint),
      m_settings(settings), m_book(addressBook), m_log(callLog), m_menus(menus)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Tellwise Monitor"));
    setWindowIcon(skin::pixmap(QStringLiteral("mainLogo")));
    setFixedSize(kWindowWidth, kWindowHeight);
    // A window of its own (tests, tools) makes its own menus with the same items.
    if (!m_menus.groups)
        m_menus = CreateMainWindowMenus(this);

    m_contact = new TfrmContact(addressBook, this);
    m_contact->setLanguageIndex([this] { return languageIndex(); });
    // A group made from the editor is where the user is heading: its node is selected.
    connect(m_contact, &TfrmContact::groupAdded, this, &TfrmMain::selectGroupNode);

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    frameImages[0] = createFrame();
    grid->addWidget(frameImages[0], 0, 0, 1, 3);

    // The left frame holds the page buttons.
    frameImages[1] = frameImage("imgFrameLeft", this);
    frameImages[1]->setFixedWidth(kSideFrame);
    auto *left = new QVBoxLayout(frameImages[1]);
    left->setContentsMargins(0, 12, 0, 12);
    left->setSpacing(2);
    auto pageButton = [&](TBitmapButton *&button, const char *name, const char *skinName,
                          const QString &caption) {
        button = new TBitmapButton(frameImages[1]);
        button->setObjectName(QLatin1String(name));
        button->setSkinFaces(QLatin1String(skinName));
        button->setToolTip(caption);
        button->setCursor(Qt::PointingHandCursor);
        left->addWidget(button, 0, Qt::AlignHCenter);
        auto *label = whiteLabel(caption, 8, false);
        label->setAlignment(Qt::AlignHCenter);
        left->addWidget(label, 0, Qt::AlignHCenter);
        left->addSpacing(10);
    };
    pageButton(btnAddressbook, "btnAddressbook", "mainBtnAddressbook", tr("Adresar"));
    pageButton(btnCalls, "btnCalls", "mainBtnCalls", tr("Pozivi"));
    pageButton(btnOptions, "btnOptions", "mainBtnOptions", tr("Opcije"));
    left->addStretch(1);
    grid->addWidget(frameImages[1], 1, 0);

    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("pnlClient"));
    client->setAutoFillBackground(true);
    QPalette cp = client->palette();
    cp.setColor(QPalette::Window, kClient);
    client->setPalette(cp);
    auto *clientLayout = new QVBoxLayout(client);
    clientLayout->setContentsMargins(6, 4, 6, 6);
    clientLayout->setSpacing(4);
    clientLayout->addWidget(createStatusStrip());
    Notebook = new QStackedWidget(client);
    Notebook->setObjectName(QStringLiteral("Notebook"));
    Notebook->addWidget(createAddressbookPage());
    Notebook->addWidget(createCallsPage());
    clientLayout->addWidget(Notebook, 1);
    grid->addWidget(client, 1, 1);

    frameImages[2] = frameImage("imgFrameRight", this);
    frameImages[2]->setFixedWidth(kEdge);
    grid->addWidget(frameImages[2], 1, 2);
    frameImages[3] = frameImage("imgFrameBottom", this);
    frameImages[3]->setFixedHeight(kEdge);
    grid->addWidget(frameImages[3], 2, 0, 1, 3);
    for (QWidget *frame : frameImages)
        frame->installEventFilter(this);

    connect(btnAddressbook, &QAbstractButton::clicked, this, [this] { SetPage(PageAddressbook); });
    connect(btnCalls, &QAbstractButton::clicked, this, [this] { SetPage(PageCalls); });
    connect(btnOptions, &QAbstractButton::clicked, this, [this] {
        if (m_openOptions)
            m_openOptions();
    });
    connect(minimizeBtn, &QAbstractButton::clicked, this, &TfrmMain::hideWindow);

    connectMenus();
    setNewCallsText(tr("Nemaš novih poziva!"));
    setCallsIndicator(0);
    setConnectionIndicator(0, {});
    setDeviceText(m_settings.currentDeviceName());
    connect(&m_settings, &Settings::currentDeviceNameChanged, this, &TfrmMain::setDeviceText);

    // Made off-screen: the window is placed when it is first shown.
    move(-2 * kWindowWidth, -2 * kWindowHeight);
    m_titleBitmap = skin::languagePrefix(languageIndex()) + QStringLiteral("AddressbookBar");
    imgMainPosition->setPixmap(skin::pixmap(m_titleBitmap));
    RebuildGroupsTree();
    RefreshCallList();
    // Later refreshes keep what the user chose; the first one offers the newest call.
    selectCallRow(0);
    // Changes made anywhere (this window, the call pipeline, another program) show at once.
    connect(&m_book, &AddressBook::groupsChanged, this, &TfrmMain::RebuildGroupsTree);
    connect(&m_book, &AddressBook::contactsChanged, this, &TfrmMain::RefreshContactRows);
    connect(&m_log, &CallLog::callsChanged, this, &TfrmMain::RefreshCallList);
}

TfrmMain::~TfrmMain()
{
    m_programEnding = true;
    MarkAllCallsSeen();
}

QWidget *TfrmMain::createFrame()
{
    QWidget *top = frameImage("imgFrameTop", this);
    top->setFixedHeight(kTopFrame);
    auto *row = new QHBoxLayout(top);
    row->setContentsMargins(10, 4, 10, 4);
    row->setSpacing(8);
    auto *logo = new QLabel(top);
    logo->setObjectName(QStringLiteral("imgLogo"));
    logo->setPixmap(skin::pixmap(QStringLiteral("mainLogo")));
    row->addWidget(logo);
    auto *caption = whiteLabel(QStringLiteral("Tellwise Monitor"), 12, true);
    caption->setObjectName(QStringLiteral("lblCaption"));
    row->addWidget(caption);
    row->addSpacing(40);
    imgMainPosition = new QLabel(top);
    imgMainPosition->setObjectName(QStringLiteral("imgMainPosition"));
    row->addWidget(imgMainPosition);
    row->addStretch(1);
    minimizeBtn = new TBitmapButton(top);
    minimizeBtn->setObjectName(QStringLiteral("minimizeBtn"));
    minimizeBtn->setSkinFaces(QStringLiteral("mainBtnMinimize"));
    minimizeBtn->setToolTip(tr("Sakrij"));
    row->addWidget(minimizeBtn, 0, Qt::AlignTop);
    // The mouse on the caption or the title bitmap moves the window just as the frame does.
    logo->setAttribute(Qt::WA_TransparentForMouseEvents);
    caption->setAttribute(Qt::WA_TransparentForMouseEvents);
    imgMainPosition->setAttribute(Qt::WA_TransparentForMouseEvents);
    return top;
}

QWidget *TfrmMain::createStatusStrip()
{
    auto *strip = new QFrame;
    strip->setObjectName(QStringLiteral("pnlStatus"));
    strip->setFrameShape(QFrame::StyledPanel);
    strip->setFrameShadow(QFrame::Sunken);
    auto *row = new QHBoxLayout(strip);
    row->setContentsMargins(8, 3, 8, 3);
    row->setSpacing(10);
    auto *deviceCaption = new QLabel(tr("Uređaj:"));
    QFont bold = deviceCaption->font();
    bold.setBold(true);
    deviceCaption->setFont(bold);
    row->addWidget(deviceCaption);
    lblDevice = new QLabel;
    lblDevice->setObjectName(QStringLiteral("lblDevice"));
    lblDevice->setTextFormat(Qt::PlainText);
    row->addWidget(lblDevice, 1);
    lblNewCalls = new QLabel;
    lblNewCalls->setObjectName(QStringLiteral("lblNewCalls"));
    lblNewCalls->setFont(bold);
    row->addWidget(lblNewCalls);
    pbxCalls = new QLabel;
    pbxCalls->setObjectName(QStringLiteral("pbxCalls"));
    pbxCalls->setFixedSize(16, 16);
    row->addWidget(pbxCalls);
    pbxConnection = new QLabel;
    pbxConnection->setObjectName(QStringLiteral("pbxConnection"));
    pbxConnection->setFixedSize(16, 16);
    row->addWidget(pbxConnection);
    return strip;
}

QToolButton *TfrmMain::toolButton(const char *name, const QString &hint)
{
    auto *button = new QToolButton;
    button->setObjectName(QLatin1String(name));
    button->setAutoRaise(true);
    const QPixmap icon = skin::pixmap(QLatin1String(name));
    if (icon.isNull())
        button->setText(hint);
    else
        button->setIcon(icon);
    button->setIconSize(QSize(24, 24));
    button->setToolTip(hint);
    return button;
}

QWidget *TfrmMain::createAddressbookPage()
{
    QVBoxLayout *layout = nullptr;
    QWidget *page = notebookPage("tsAddressbook", layout);

    auto *bar = new QHBoxLayout;
    bar->setSpacing(1);
    tbNewContact = toolButton("tbNewContact", tr("Nova osoba"));
    tbEditContact = toolButton("tbEditContact", tr("Izmjeni podatke o osobi"));
    tbDeleteContact = toolButton("tbDeleteContact", tr("Izbriši osobu"));
    tbShowGroups = toolButton("tbShowGroups", tr("Sakrij grupe"));
    tbManipulateGroups = toolButton("tbManipulateGroups", tr("Prikaži grupe"));
    tbManipulateGroups->setMenu(m_menus.groups);
    tbManipulateGroups->setPopupMode(QToolButton::MenuButtonPopup);
    tbNewGroup = toolButton("tbNewGroup", tr("Nova grupa"));
    tbRenameGroup = toolButton("tbRenameGroup", tr("Preimenuj grupu"));
    tbDeleteGroup = toolButton("tbDeleteGroup", tr("Izbriši grupu"));
    tbFindContact = toolButton("tbFindContact", tr("Pronađi osobu"));
    tbImportWAB = toolButton("tbImportWAB", tr("Uvoz adresara"));
    tbOutlookExchange = toolButton("tbOutlookExchange", tr("Razmjena kontakata"));
    tbDataExport = toolButton("tbDataExport", tr("Izvoz adresara"));
    tbDataExport->setMenu(m_menus.exportContacts);
    tbDataExport->setPopupMode(QToolButton::MenuButtonPopup);
    tbShowDetails = toolButton("tbShowDetails", tr("Sakrij detalje o osobi"));
    tbShowDetails->setCheckable(true);
    tbShowDetails->setChecked(true);
    for (QToolButton *b : {tbNewContact, tbEditContact, tbDeleteContact})
        bar->addWidget(b);
    bar->addSpacing(10);
    for (QToolButton *b : {tbShowGroups, tbManipulateGroups, tbNewGroup, tbRenameGroup, tbDeleteGroup})
        bar->addWidget(b);
    bar->addSpacing(10);
    for (QToolButton *b : {tbFindContact, tbImportWAB, tbOutlookExchange, tbDataExport})
        bar->addWidget(b);
    bar->addStretch(1);
    bar->addWidget(tbShowDetails);
    layout->addLayout(bar);
    tbManipulateGroups->hide();
    // Shown once the program has a search, an import or an exchange to offer.
    tbFindContact->hide();
    tbImportWAB->hide();
    tbOutlookExchange->hide();
    tbEditContact->setEnabled(false);
    tbDeleteContact->setEnabled(false);
    tbRenameGroup->setEnabled(false);
    tbDeleteGroup->setEnabled(false);

    splitter = new QSplitter(Qt::Horizontal);
    splitter->setObjectName(QStringLiteral("splitter"));
    splitter->setChildrenCollapsible(false);

    pnlGroups = new QWidget;
    pnlGroups->setObjectName(QStringLiteral("pnlGroups"));
    auto *groupsLayout = new QVBoxLayout(pnlGroups);
    groupsLayout->setContentsMargins(0, 0, 0, 0);
    groupsLayout->setSpacing(0);
    tvGroups = new TGroupsTree;
    tvGroups->setObjectName(QStringLiteral("tvGroups"));
    tvGroups->setContextMenuPolicy(Qt::CustomContextMenu);
    tvGroups->installEventFilter(this);
    groupsLayout->addWidget(tvGroups, 1);
    stbGroups = new TStatusPanels(1);
    stbGroups->setObjectName(QStringLiteral("stbGroups"));
    groupsLayout->addWidget(stbGroups);
    pnlGroups->setMinimumWidth(130);
    splitter->addWidget(pnlGroups);

    auto *contacts = new QWidget;
    auto *contactsLayout = new QVBoxLayout(contacts);
    contactsLayout->setContentsMargins(0, 0, 0, 0);
    contactsLayout->setSpacing(0);
    m_contactRows = new TContactRowsModel(this);
    lvContacts = reportView("lvContacts", m_contactRows);
    lvContacts->setDragEnabled(true);
    lvContacts->setDragDropMode(QAbstractItemView::DragOnly);
    lvContacts->header()->setStretchLastSection(false);
    lvContacts->header()->setSectionsMovable(false);
    lvContacts->installEventFilter(this);
    contactsLayout->addWidget(lvContacts, 1);
    stbContacts = new TStatusPanels(2);
    stbContacts->setObjectName(QStringLiteral("stbContacts"));
    // The group's name takes what the count leaves.
    stbContacts->panel(1)->setFixedWidth(120);
    contactsLayout->addWidget(stbContacts);
    splitter->addWidget(contacts);

    pnlContactDetails = createDetailsPanel();
    splitter->addWidget(pnlContactDetails);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setStretchFactor(2, 0);
    splitter->setSizes({145, 345, 370});
    layout->addWidget(splitter, 1);
    setGroupsShown(true);

    connect(tbNewContact, &QToolButton::clicked, this, &TfrmMain::tbNewContactClick);
    connect(tbEditContact, &QToolButton::clicked, this, &TfrmMain::tbEditContactClick);
    connect(tbDeleteContact, &QToolButton::clicked, this, &TfrmMain::tbDeleteContactClick);
    connect(tbShowGroups, &QToolButton::clicked, this, &TfrmMain::tbShowGroupsClick);
    connect(tbManipulateGroups, &QToolButton::clicked, this, &TfrmMain::tbManipulateGroupsClick);
    connect(tbNewGroup, &QToolButton::clicked, this, &TfrmMain::tbNewGroupClick);
    connect(tbRenameGroup, &QToolButton::clicked, this, &TfrmMain::tbRenameGroupClick);
    connect(tbDeleteGroup, &QToolButton::clicked, this, &TfrmMain::tbDeleteGroupClick);
    connect(tbDataExport, &QToolButton::clicked, this, [this] { m_menus.miExportToCSV->trigger(); });
    connect(tbShowDetails, &QToolButton::clicked, this, &TfrmMain::tbShowDetailsClick);
    connect(tbFindContact, &QToolButton::clicked, this, [this] {
        if (m_findContact)
            m_findContact();
    });
    connect(tbImportWAB, &QToolButton::clicked, this, [this] {
        if (m_import)
            m_import();
    });
    connect(tbOutlookExchange, &QToolButton::clicked, this, [this] {
        if (m_exchange)
            m_exchange();
    });
    connect(tvGroups, &QTreeWidget::currentItemChanged, this, [this] { tvGroupsChange(); });
    connect(tvGroups, &QTreeWidget::itemDoubleClicked, this, [this] {
        if (tbRenameGroup->isEnabled())
            tbRenameGroupClick();
    });
    connect(tvGroups, &QWidget::customContextMenuRequested, this, &TfrmMain::groupsContextMenu);
    connect(tvGroups, &TGroupsTree::contactsDropped, this, &TfrmMain::DropContactsOnNode);
    connect(lvContacts->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TfrmMain::contactSelectionChanged);
    connect(lvContacts, &QAbstractItemView::doubleClicked, this, &TfrmMain::tbEditContactClick);
    connect(lvContacts, &QWidget::customContextMenuRequested, this, &TfrmMain::contactsContextMenu);
    return page;
}

QWidget *TfrmMain::createCallsPage()
{
    QVBoxLayout *layout = nullptr;
    QWidget *page = notebookPage("tsCalls", layout);
    auto *bar = new QHBoxLayout;
    bar->setSpacing(1);
    tbAddToAddressbook = toolButton("tbAddToAddressbook", tr("Dodaj telefonski broj u adresar"));
    tbDeleteCalls = toolButton("tbDeleteCalls", tr("Izbriši poziv"));
    tbSaveCalls = toolButton("tbSaveCalls", tr("Snimi pozive"));
    bar->addWidget(tbAddToAddressbook);
    bar->addWidget(tbDeleteCalls);
    bar->addSpacing(10);
    bar->addWidget(tbSaveCalls);
    bar->addStretch(1);
    layout->addLayout(bar);
    tbAddToAddressbook->setEnabled(false);
    tbDeleteCalls->setEnabled(false);

    m_callRows = new TCallRowsModel(m_log, m_book, this);
    lvCalls = reportView("lvCalls", m_callRows);
    lvCalls->header()->setStretchLastSection(true);
    // Sized to the first rows only: each row looks its caller up in the address book.
    lvCalls->header()->setResizeContentsPrecision(50);
    lvCalls->installEventFilter(this);
    layout->addWidget(lvCalls, 1);
    stbCalls = new TStatusPanels(4);
    stbCalls->setObjectName(QStringLiteral("stbCalls"));
    stbCalls->panel(3)->hide();
    layout->addWidget(stbCalls);

    connect(tbAddToAddressbook, &QToolButton::clicked, this, &TfrmMain::tbAddToAddressbookClick);
    connect(tbDeleteCalls, &QToolButton::clicked, this, &TfrmMain::tbDeleteCallsClick);
    connect(tbSaveCalls, &QToolButton::clicked, this, &TfrmMain::tbSaveCallsClick);
    connect(lvCalls->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TfrmMain::callSelectionChanged);
    connect(lvCalls, &QWidget::customContextMenuRequested, this, &TfrmMain::callsContextMenu);
    return page;
}

MainWindowMenus CreateMainWindowMenus(QWidget *owner)
{
    auto menu = [owner](const char *name) {
        auto *m = new QMenu(owner);
        m->setObjectName(QLatin1String(name));
        return m;
    };
    auto item = [](QMenu *menu, const char *name, const QString &caption, bool enabled = true) {
        QAction *a = menu->addAction(caption);
        a->setObjectName(QLatin1String(name));
        a->setEnabled(enabled);
        return a;
    };
    MainWindowMenus m;
    m.groups = menu("pmGroups");
    m.miShowGroups = item(m.groups, "miShowGroups", TfrmMain::tr("Prikaži grupe"));
    m.groups->setDefaultAction(m.miShowGroups);
    m.miNewGroup = item(m.groups, "miNewGroup", TfrmMain::tr("Nova grupa"));
    m.miRenameGroup = item(m.groups, "miRenameGroup", TfrmMain::tr("Preimenuj grupu"), false);
    m.miDeleteGroup = item(m.groups, "miDeleteGroup", TfrmMain::tr("Izbriši grupu"), false);

    m.contacts = menu("pmContacts");
    m.miEditContact = item(m.contacts, "miEditContact", TfrmMain::tr("Izmjeni podatke o osobi"), false);
    m.contacts->setDefaultAction(m.miEditContact);
    m.miDeleteContact = item(m.contacts, "miDeleteContact", TfrmMain::tr("Izbriši osobu"), false);
    m.miAddToBlackList = item(m.contacts, "miAddToBlackList", TfrmMain::tr("Dodaj osobu u Crnu Listu"));
    m.miSelectAllContacts = item(m.contacts, "miSelectAllContacts", TfrmMain::tr("Označi sve osobe"), false);

    m.calls = menu("pmCalls");
    m.miAddToAddressbook =
        item(m.calls, "miAddToAddressbook", TfrmMain::tr("Dodaj telefonski broj u adresar"), false);
    m.miDeleteCall = item(m.calls, "miDeleteCall", TfrmMain::tr("Izbriši poziv"), false);
    m.miSelectAllCalls = item(m.calls, "miSelectAllCalls", TfrmMain::tr("Označi sve pozive"), false);

    m.exportContacts = menu("pmExportContacts");
    m.miExportToCSV =
        item(m.exportContacts, "miExportToCSV", TfrmMain::tr("Vrijednosti odvojene zarezom (CSV)"));
    m.exportContacts->setDefaultAction(m.miExportToCSV);
    m.miExportToXML =
        item(m.exportContacts, "miExportToXML", TfrmMain::tr("Proširivi jezik za označavanje (XML)"));
    return m;
}

void TfrmMain::connectMenus()
{
    connect(m_menus.miShowGroups, &QAction::triggered, this, &TfrmMain::tbManipulateGroupsClick);
    connect(m_menus.miNewGroup, &QAction::triggered, this, &TfrmMain::tbNewGroupClick);
    connect(m_menus.miRenameGroup, &QAction::triggered, this, &TfrmMain::tbRenameGroupClick);
    connect(m_menus.miDeleteGroup, &QAction::triggered, this, &TfrmMain::tbDeleteGroupClick);
    connect(m_menus.miEditContact, &QAction::triggered, this, &TfrmMain::tbEditContactClick);
    connect(m_menus.miDeleteContact, &QAction::triggered, this, &TfrmMain::tbDeleteContactClick);
    connect(m_menus.miAddToBlackList, &QAction::triggered, this, &TfrmMain::ToggleBlackList);
    connect(m_menus.miSelectAllContacts, &QAction::triggered, lvContacts, &QAbstractItemView::selectAll);
    connect(m_menus.miAddToAddressbook, &QAction::triggered, this, &TfrmMain::tbAddToAddressbookClick);
    connect(m_menus.miDeleteCall, &QAction::triggered, this, &TfrmMain::tbDeleteCallsClick);
    connect(m_menus.miSelectAllCalls, &QAction::triggered, lvCalls, &QAbstractItemView::selectAll);
}

// --- Seams ----------------------------------------------------------------------------------------

void TfrmMain::setSoundPlayer(PlaySoundFn fn)
{
    m_contact->setSoundPlayer(std::move(fn));
}

void TfrmMain::setSpeaker(SpeakTextFn fn)
{
    m_contact->setSpeaker(std::move(fn));
}

void TfrmMain::setFindContactHandler(std::function<void()> fn)
{
    m_findContact = std::move(fn);
    tbFindContact->setVisible(bool(m_findContact));
}

void TfrmMain::setImportHandler(std::function<void()> fn)
{
    m_import = std::move(fn);
    tbImportWAB->setVisible(bool(m_import));
}

void TfrmMain::setExchangeHandler(std::function<void()> fn)
{
    m_exchange = std::move(fn);
    tbOutlookExchange->setVisible(bool(m_exchange));
}

bool TfrmMain::confirmDelete() const
{
    return m_settings.flag(Settings::ConfirmDelete);
}

int TfrmMain::languageIndex() const
{
    return m_settings.languageIndex();
}

void TfrmMain::openUrl(const QString &url)
{
    const bool opened = m_openUrl ? m_openUrl(url) : QDesktopServices::openUrl(QUrl(url));
    if (!opened)
        ShowMessageDialog(
            tr("Informacija"),
            tr("Nijedan program ne otvara ovu adresu:\n%1\n\nInstalirajte web preglednik ili program za "
               "e-poštu.")
                .arg(url),
            QMessageBox::Information, QMessageBox::Ok, this);
}

// --- Pages ----------------------------------------------------------------------------------------

void TfrmMain::ShowPage(int page)
{
    const bool wasVisible = isVisible() && !isMinimized();
    // The device is known only once the settings are loaded, after this window was made.
    setDeviceText(m_settings.currentDeviceName());
    SetPage(page);
    RefreshContactRows();
    // A window the user has already placed stays where it is.
    if (!wasVisible)
        centreOnScreen();
    if (isMinimized())
        showNormal();
    else
        show();
    raise();
    activateWindow();
    if (page == PageCalls)
        lvCalls->setFocus();
    else
        lvContacts->setFocus();
}

void TfrmMain::SetPage(int page)
{
    page = page == PageCalls ? PageCalls : PageAddressbook;
    RefreshCallList();
    Notebook->setCurrentIndex(page);
    m_titleBitmap = skin::languagePrefix(languageIndex()) +
                    (page == PageCalls ? QStringLiteral("CallsBar") : QStringLiteral("AddressbookBar"));
    imgMainPosition->setPixmap(skin::pixmap(m_titleBitmap));
    // The new calls stay new, and counted so everywhere, until the window closes on this page.
    m_callsPageShown = page == PageCalls;
}

int TfrmMain::currentPage() const
{
    return Notebook->currentIndex();
}

void TfrmMain::centreOnScreen()
{
    const QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
}

void TfrmMain::hideWindow()
{
    MarkAllCallsSeen();
    if (m_minimiseOnClose)
        showMinimized();
    else
        hide();
    emit closed();
}

void TfrmMain::closeEvent(QCloseEvent *event)
{
    // Closing never ends the program; the window waits in the tray.
    event->ignore();
    hideWindow();
}

// --- Status strip ---------------------------------------------------------------------------------

void TfrmMain::setNewCallsText(const QString &text)
{
    lblNewCalls->setText(text);
}

void TfrmMain::setLineFlooding(bool flooding)
{
    m_floodingNote = flooding ? tr(" Linija javlja previše poziva: dio ih nije zabilježen") : QString();
    showNotes();
}

void TfrmMain::setSharingNote(const QString &note)
{
    m_sharingNote = note;
    showNotes();
}

// The line's flooding and the call sharing's trouble share the status bar's last panel.
void TfrmMain::showNotes()
{
    QString text = m_floodingNote;
    if (!m_sharingNote.isEmpty())
        text += (text.isEmpty() ? QString() : QStringLiteral(";")) + m_sharingNote;
    stbCalls->setText(3, text);
    stbCalls->panel(3)->setVisible(!text.isEmpty());
}

void TfrmMain::setCallsIndicator(int callsBlinkPhase)
{
    pbxCalls->setPixmap(skin::pixmap(QStringLiteral("imagesCalls%1").arg(callsBlinkPhase)));
}

void TfrmMain::setConnectionIndicator(int connectionImage, const QString &hint)
{
    pbxConnection->setPixmap(skin::pixmap(QStringLiteral("imagesConnect%1").arg(connectionImage)));
    pbxConnection->setToolTip(hint);
}

void TfrmMain::setDeviceText(const QString &text)
{
    lblDevice->setText(text.isEmpty() ? tr("(nije izabran)") : text);
}

// --- Frame ----------------------------------------------------------------------------------------

void TfrmMain::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient frame(0, 0, 0, height());
    frame.setColorAt(0, kFrameTop);
    frame.setColorAt(0.08, QColor(0x2f, 0x5f, 0x95));
    frame.setColorAt(1, kFrameBottom);
    p.fillRect(rect(), frame);
    // A gloss over the title bar and a thin light line around the client area.
    QLinearGradient gloss(0, 0, 0, kTopFrame);
    gloss.setColorAt(0, QColor(255, 255, 255, 90));
    gloss.setColorAt(1, QColor(255, 255, 255, 0));
    p.fillRect(QRect(0, 0, width(), kTopFrame / 2), gloss);
    p.setPen(QColor(0x9d, 0xb4, 0xcc));
    p.drawRect(QRect(kSideFrame - 1, kTopFrame - 1, width() - kSideFrame - kEdge + 1,
                     height() - kTopFrame - kEdge + 1));
    p.setPen(QColor(0x0b, 0x1a, 0x2b));
    p.setBrush(Qt::NoBrush);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

bool TfrmMain::eventFilter(QObject *watched, QEvent *event)
{
    const bool frame = std::find(frameImages.begin(), frameImages.end(), watched) != frameImages.end();
    if (frame) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        switch (event->type()) {
        case QEvent::MouseButtonPress:
            if (mouse->button() == Qt::LeftButton) {
                // The window manager moves the window where it can; elsewhere we follow the mouse.
                if (windowHandle() && windowHandle()->startSystemMove())
                    return true;
                m_dragging = true;
                m_dragOffset = mouse->globalPosition().toPoint() - pos();
                return true;
            }
            break;
        case QEvent::MouseMove:
            if (m_dragging) {
                move(mouse->globalPosition().toPoint() - m_dragOffset);
                return true;
            }
            break;
        case QEvent::MouseButtonRelease:
            m_dragging = false;
            break;
        default:
            break;
        }
        return false;
    }
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Delete) {
        if (watched == lvContacts && tbDeleteContact->isEnabled()) {
            tbDeleteContactClick();
            return true;
        }
        if (watched == tvGroups && tbDeleteGroup->isEnabled()) {
            tbDeleteGroupClick();
            return true;
        }
        if (watched == lvCalls && tbDeleteCalls->isEnabled()) {
            tbDeleteCallsClick();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

#include "ui/TfrmOutlookContacts.h"

#include "exchange/ImportWabFunc.h"
#include "settings/Settings.h"
#include "store/AddressBook.h"
#include "ui/MainLists.h"
#include "ui/PictureItemDelegate.h"
#include "ui/TfrmOutlookFolders.h"
#include "ui/TfrmReading.h"
#include "ui/TypeAheadListView.h"
#include "widgets/ShowMessageDialog.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHash>
#include <QHideEvent>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The group marked contacts of a contacts folder are saved into, or the first free name after it.
const char *const kExchangeGroup = "vCard Kontakti";

QPushButton *button(const QString &caption, const char *name)
{
    auto *b = new QPushButton(caption);
    b->setObjectName(QLatin1String(name));
    return b;
}

// The list of one side: the names and companies of LIST with PICTURE, tool tips and type-ahead.
TTypeAheadListView *contactList(const char *name, const QList<AListAddress> &list, int picture,
                                TNameRowsModel *&rows, QObject *owner)
{
    rows = new TNameRowsModel(
        2, MainListImage(picture),
        [&list](int row, int column) {
            if (row >= list.size())
                return QString();
            return column == 0 ? list[row].DisplayNameAs : list[row].CompanyName;
        },
        [&list](int row) { return ContactInfoTip(list.value(row)); },
        [](int section) {
            return section == 0 ? TfrmOutlookContacts::tr("Ime osobe") : TfrmOutlookContacts::tr("Tvrtka");
        },
        owner);
    auto *view = new TTypeAheadListView;
    view->setObjectName(QLatin1String(name));
    view->setRows(rows, {220, 198});
    view->setRowFinder([&list](const QString &text, int start) {
        return FindNameRow(
            int(list.size()), [&list](int row) { return list[row].DisplayNameAs; }, text, start, true);
    });
    return view;
}

// One side of the window: a group with the row TOP (when there is one) over LIST, and the
// BUTTONS below it, a null entry standing for the space between them.
QGroupBox *side(const char *name, QLayout *top, QWidget *list, std::initializer_list<QPushButton *> buttons)
{
    auto *group = new QGroupBox;
    group->setObjectName(QLatin1String(name));
    auto *row = new QHBoxLayout;
    for (QPushButton *b : buttons) {
        if (b)
            row->addWidget(b);
        else
            row->addStretch(1);
    }
    auto *column = new QVBoxLayout(group);
    if (top)
        column->addLayout(top);
    column->addWidget(list, 1);
    column->addLayout(row);
    return group;
}

} // namespace

TfrmOutlookContacts::TfrmOutlookContacts(Settings &settings, AddressBook &addressBook, QWidget *parent)
    : QDialog(parent), m_settings(settings), m_book(addressBook)
{
    setObjectName(QStringLiteral("frmOutlookContacts"));
    setWindowTitle(tr("Razmjena podataka s vCard kontaktima"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
    setFixedSize(qMax(531, TitleRoom(*this)), 457);

    cbOutlookFolders = new QComboBox;
    cbOutlookFolders->setObjectName(QStringLiteral("cbOutlookFolders"));
    cbOutlookFolders->setItemDelegate(new TPictureItemDelegate(MainListImage(16), cbOutlookFolders));
    auto *folderRow = new QHBoxLayout;
    folderRow->addWidget(new QLabel(tr("Mapa:")));
    folderRow->addWidget(cbOutlookFolders, 1);
    lvOutlook = contactList("lvOutlook", OutlookList, 16, m_outlookRows, this);
    btnOutlookMarkAll = button(tr("Označi sve"), "btnOutlookMarkAll");
    btnOutlookUnmarkAll = button(tr("Odznači sve"), "btnOutlookUnmarkAll");
    btnOutlookRefresh = button(tr("Osvježi popis"), "btnOutlookRefresh");
    btnSaveToAddressbook = button(tr("Snimi u adresar"), "btnSaveToAddressbook");
    gbOutlook =
        side("gbOutlook", folderRow, lvOutlook,
             {btnOutlookMarkAll, btnOutlookUnmarkAll, btnOutlookRefresh, nullptr, btnSaveToAddressbook});

    lvContacts = contactList("lvContacts", BookList, 2, m_bookRows, this);
    btnAddressbookMarkAll = button(tr("Označi sve"), "btnAddressbookMarkAll");
    btnAddressbookUnmarkAll = button(tr("Odznači sve"), "btnAddressbookUnmarkAll");
    btnAddressbookRefresh = button(tr("Osvježi popis"), "btnAddressbookRefresh");
    btnSaveToOutlook = button(tr("Snimi u vCard kontakte"), "btnSaveToOutlook");
    gbAddressbook = side(
        "gbAddressbook", nullptr, lvContacts,
        {btnAddressbookMarkAll, btnAddressbookUnmarkAll, btnAddressbookRefresh, nullptr, btnSaveToOutlook});

    btnRemoveIdentical = button(tr("Izbaci identične zapise"), "btnRemoveIdentical");
    btnClose = button(tr("Zatvori"), "btnClose");
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(btnRemoveIdentical);
    bottom->addStretch(1);
    bottom->addWidget(btnClose);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(gbOutlook, 1);
    layout->addWidget(gbAddressbook, 1);
    layout->addLayout(bottom);

    for (QPushButton *b : {btnSaveToAddressbook, btnSaveToOutlook, btnRemoveIdentical})
        b->setEnabled(false);
    gbOutlook->setTitle(tr(" vCard Kontakti  [ %n osoba ]:", nullptr, 0));
    gbAddressbook->setTitle(tr(" Adresar  [ %n osoba ]:", nullptr, 0));

    // Only the user's choice reads a folder; the window sets the entry itself without reading.
    connect(cbOutlookFolders, &QComboBox::activated, this, &TfrmOutlookContacts::cbOutlookFoldersChange);
    connect(lvOutlook->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { btnSaveToAddressbook->setEnabled(lvOutlook->selectionModel()->hasSelection()); });
    connect(lvContacts->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { btnSaveToOutlook->setEnabled(lvContacts->selectionModel()->hasSelection()); });
    connect(btnOutlookMarkAll, &QPushButton::clicked, this, &TfrmOutlookContacts::btnOutlookMarkAllClick);
    connect(btnOutlookUnmarkAll, &QPushButton::clicked, this, &TfrmOutlookContacts::btnOutlookUnmarkAllClick);
    connect(btnOutlookRefresh, &QPushButton::clicked, this, &TfrmOutlookContacts::btnOutlookRefreshClick);
    connect(btnSaveToAddressbook, &QPushButton::clicked, this,
            &TfrmOutlookContacts::btnSaveToAddressbookClick);
    connect(btnAddressbookMarkAll, &QPushButton::clicked, this,
            &TfrmOutlookContacts::btnAddressbookMarkAllClick);
    connect(btnAddressbookUnmarkAll, &QPushButton::clicked, this,
            &TfrmOutlookContacts::btnAddressbookUnmarkAllClick);
    connect(btnAddressbookRefresh, &QPushButton::clicked, this,
            &TfrmOutlookContacts::btnAddressbookRefreshClick);
    connect(btnSaveToOutlook, &QPushButton::clicked, this, &TfrmOutlookContacts::btnSaveToOutlookClick);
    connect(btnRemoveIdentical, &QPushButton::clicked, this, &TfrmOutlookContacts::btnRemoveIdenticalClick);
    connect(btnClose, &QPushButton::clicked, this, &TfrmOutlookContacts::btnCloseClick);

    // Made with the window, as the program makes all its windows at start.
    m_folders = new TfrmOutlookFolders(*this, this);
    m_reading = new TfrmReading(this);
}

TfrmOutlookContacts::~TfrmOutlookContacts() = default;

void TfrmOutlookContacts::StartExchange()
{
    if (!ConnectOutlook()) {
        m_reading->hide();
        return;
    }
    const WaitCursor wait;
    m_folders->LoadOutlookFolders();
    ReadOutlookContacts();
    ShowAddressbookContacts();
}

bool TfrmOutlookContacts::ConnectOutlook()
{
    const QString root = TVCardFolders::rootPath(m_settings.text(Settings::ContactsRoot));
    if (!m_store.logon(root)) {
        m_currentFolder.clear();
        ShowMessageDialog(tr("Greška"),
                          tr("Ne mogu otvoriti vCard kontakte!") + QStringLiteral("\n\n") +
                              QDir::toNativeSeparators(root),
                          QMessageBox::Critical, QMessageBox::Ok, this);
        return false;
    }
    m_currentFolder = m_store.folderNames().value(0);
    return true;
}

QStringList TfrmOutlookContacts::GetContactFolders() const
{
    return m_store.folderNames();
}

int TfrmOutlookContacts::currentPosition() const
{
    return m_currentFolder.isEmpty() ? -1 : int(m_store.folderNames().indexOf(m_currentFolder));
}

void TfrmOutlookContacts::setCurrentPosition(int position)
{
    m_currentFolder = m_store.folderNames().value(position);
}

void TfrmOutlookContacts::ReadOutlookContacts()
{
    const int position = currentPosition();
    m_outlookRows->reset(0);
    OutlookList.clear();
    if (position < 0) {
        // The folder went away under us: nothing is left to show.
        m_reading->hide();
        hide();
        return;
    }
    const QStringList files = m_store.itemNames(position);
    const int count = int(files.size());
    m_reading->ReadingPicture = 8;
    m_reading->prepare(tr("Čitam vCard kontakte"), tr("Mapa \"%1\"").arg(m_currentFolder), count,
                       tr("Čitam podatke sa pozicije br. %1").arg(1));
    m_reading->show();
    m_reading->raise();
    for (int i = 1; i <= count; ++i) {
        m_reading->setProgress(tr("Čitam podatke sa pozicije br. %1").arg(i), i * 100 / count);
        QCoreApplication::processEvents();
        emit readingStep(i);
        // A file that holds no contact (a group card, something else) is passed over.
        TVCard card;
        if (m_store.readItem(position, files[i - 1], card))
            OutlookList << card.Contact;
    }
    SortContactsByName(OutlookList);
    show();
    raise();
    activateWindow();
    showOutlookRows();
    m_reading->hide();
    updateRemoveIdentical();
}

void TfrmOutlookContacts::showOutlookRows()
{
    m_outlookRows->reset(int(OutlookList.size()));
    lvOutlook->selectFirstRow();
    gbOutlook->setTitle(tr(" vCard Kontakti  [ %n osoba ]:", nullptr, int(OutlookList.size())));
}

void TfrmOutlookContacts::showBookRows()
{
    m_bookRows->reset(int(BookList.size()));
    lvContacts->selectFirstRow();
    gbAddressbook->setTitle(tr(" Adresar  [ %n osoba ]:", nullptr, int(BookList.size())));
}

void TfrmOutlookContacts::updateRemoveIdentical()
{
    btnRemoveIdentical->setEnabled(m_outlookRows->rowCount() > 0 && m_bookRows->rowCount() > 0);
}

void TfrmOutlookContacts::ShowAddressbookContacts()
{
    const WaitCursor wait;
    m_bookRows->reset(0);
    m_book.reloadChanged();
    BookList.clear();
    const TContactList &contacts = m_book.contacts();
    BookList.reserve(contacts.size());
    for (int i = 0; i < contacts.size(); ++i)
        BookList << contacts[i];
    SortContactsByName(BookList);
    showBookRows();
    updateRemoveIdentical();
}

void TfrmOutlookContacts::cbOutlookFoldersChange()
{
    if (cbOutlookFolders->count() == 0)
        return;
    setCurrentPosition(std::max(0, cbOutlookFolders->currentIndex()));
    btnOutlookRefreshClick();
}

void TfrmOutlookContacts::btnOutlookRefreshClick()
{
    if (!m_currentFolder.isEmpty())
        ReadOutlookContacts();
}

void TfrmOutlookContacts::btnAddressbookRefreshClick()
{
    ShowAddressbookContacts();
}

void TfrmOutlookContacts::btnOutlookMarkAllClick()
{
    lvOutlook->setFocus();
    lvOutlook->selectAll();
}

void TfrmOutlookContacts::btnOutlookUnmarkAllClick()
{
    lvOutlook->clearSelection();
    btnSaveToAddressbook->setEnabled(false);
}

void TfrmOutlookContacts::btnAddressbookMarkAllClick()
{
    lvContacts->setFocus();
    lvContacts->selectAll();
}

void TfrmOutlookContacts::btnAddressbookUnmarkAllClick()
{
    lvContacts->clearSelection();
    btnSaveToOutlook->setEnabled(false);
}

QList<int> TfrmOutlookContacts::selectedRows(const TTypeAheadListView *list) const
{
    QList<int> rows;
    for (const QModelIndex &index : list->selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

void TfrmOutlookContacts::btnRemoveIdenticalClick()
{
    QSet<QString> inFolder;
    for (const AListAddress &c : OutlookList)
        inFolder.insert(c.DisplayNameAs);
    QSet<QString> both;
    for (const AListAddress &c : BookList)
        if (inFolder.contains(c.DisplayNameAs))
            both.insert(c.DisplayNameAs);
    // Only the lists change: nothing is deleted in the folder or in the address book.
    const auto identical = [&both](const AListAddress &c) { return both.contains(c.DisplayNameAs); };
    OutlookList.removeIf(identical);
    BookList.removeIf(identical);
    showOutlookRows();
    showBookRows();
    btnSaveToAddressbook->setEnabled(!OutlookList.isEmpty());
    btnSaveToOutlook->setEnabled(!BookList.isEmpty());
    btnRemoveIdentical->setEnabled(btnSaveToAddressbook->isEnabled() && btnSaveToOutlook->isEnabled());
}

void TfrmOutlookContacts::btnSaveToAddressbookClick()
{
    const QList<int> rows = selectedRows(lvOutlook);
    // Each row takes the next contact of its name after the one taken last.
    QList<AListAddress> contacts;
    qsizetype from = 0;
    for (int row : rows) {
        const QString name = OutlookList.value(row).DisplayNameAs;
        if (name.trimmed().isEmpty())
            continue;
        for (qsizetype j = from; j < OutlookList.size(); ++j) {
            if (OutlookList[j].DisplayNameAs == name) {
                contacts << OutlookList[j];
                from = j + 1;
                break;
            }
        }
    }
    ImportCounts counts;
    QString group;
    const StoreResult result =
        m_book.ImportContacts(QString::fromUtf8(kExchangeGroup), contacts, &counts, &group);
    if (!result) {
        ShowMessageDialog(tr("Greška"), result.message, QMessageBox::Critical, QMessageBox::Ok, this);
        return;
    }
    if (counts.imported > 0 && m_saved)
        m_saved(group);
    ShowMessageDialog(tr("Informacija"), WabImportMessage(group, int(rows.size()), counts.imported, counts.fitted),
                      QMessageBox::Information, QMessageBox::Ok, this);
    ShowAddressbookContacts();
}

void TfrmOutlookContacts::btnSaveToOutlookClick()
{
    if (RunModalDialog(*m_folders) != QDialog::Accepted)
        return;
    const int target = m_folders->selectedPosition();
    if (target < 0)
        return;
    cbOutlookFolders->setCurrentIndex(target);

    // What to save is taken now: the address book may be read again while the window works.
    const QList<int> rows = selectedRows(lvContacts);
    const int n = int(rows.size());
    const TContactList &all = m_book.contacts();
    QHash<QString, QList<int>> byName;
    for (int i = 0; i < all.size(); ++i)
        byName[all[i].DisplayNameAs] << i;
    QList<AListAddress> contacts;
    for (int row : rows)
        for (int i : byName.value(BookList.value(row).DisplayNameAs))
            contacts << all[i];

    m_reading->prepare(tr("Snimam kontakte u vCard kontakte"),
                       tr("Mapa \"%1\"").arg(m_store.folderNames().value(target)), n,
                       tr("Snimam kontakt br. %1 od %2").arg(1).arg(n));
    m_reading->show();
    m_reading->raise();
    QString error;
    bool saved = true;
    for (int k = 1; k <= contacts.size() && saved; ++k) {
        m_reading->setProgress(tr("Snimam kontakt br. %1 od %2").arg(k).arg(n), k * 100 / n);
        QCoreApplication::processEvents();
        // Written straight into the chosen folder: a card is never left half-way in another.
        saved = m_store.save(target, contacts[k - 1], nullptr, &error);
    }
    m_reading->hide();
    if (!saved) {
        // What was saved before the failure stays in the folder.
        ShowMessageDialog(tr("Greška"),
                          tr("Dogodila se greška pri snimanju kontakata u vCard kontakte!") +
                              QStringLiteral("\n\n") + error,
                          QMessageBox::Critical, QMessageBox::Ok, this);
        return;
    }
    lvContacts->setFocus();
    ShowMessageDialog(tr("Informacija"),
                      tr("Kontakti su uspješno snimljeni u vCard kontakte!\n\n"
                         "Provjerite na koje su lokacije zapisani telefonski\n"
                         "brojevi kod snimljenih kontakata. S obzirom da lokacije\n"
                         "telefonskih brojeva u adresaru Tellwise Monitora možete\n"
                         "nazivati proizvoljno, nemoguće je pretpostaviti u koje\n"
                         "lokacije želite te telefonske brojeve snimiti u vCard\n"
                         "kontaktima. Zbog toga to u programu za kontakte morate\n"
                         "obaviti samostalno!"),
                      QMessageBox::Information, QMessageBox::Ok, this);
    cbOutlookFoldersChange();
}

void TfrmOutlookContacts::btnCloseClick()
{
    close();
}

void TfrmOutlookContacts::hideEvent(QHideEvent *event)
{
    QDialog::hideEvent(event);
    if (!event->spontaneous())
        FormClose();
}

void TfrmOutlookContacts::FormClose()
{
    OutlookList.clear();
    BookList.clear();
    m_outlookRows->reset(0);
    m_bookRows->reset(0);
    m_store.logoff();
    m_currentFolder.clear();
}

// The main window's contact list, its commands and the details panel.

#include "store/AddressBook.h"
#include "ui/CallerPicture.h"
#include "ui/MainLists.h"
#include "ui/TContactRowsModel.h"
#include "ui/TGroupsTree.h"
#include "ui/TStatusPanels.h"
#include "ui/TfrmContact.h"
#include "ui/TfrmMain.h"
#include "widgets/ShowMessageDialog.h"
#include "widgets/TLinkLabel.h"

#include <QAction>
#include <QDesktopServices>
#include <QFormLayout>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QScrollArea>
#include <QStackedWidget>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

#include <optional>

namespace {

QLabel *valueLabel(const char *name)
{
    auto *label = new QLabel;
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setWordWrap(true);
    return label;
}

} // namespace

// --- Details panel --------------------------------------------------------------------------------

QWidget *TfrmMain::createDetailsPanel()
{
    auto *panel = new QWidget;
    panel->setObjectName(QStringLiteral("pnlContactDetails"));
    panel->setMinimumWidth(370);
    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    pcDetails = new QTabWidget;
    pcDetails->setObjectName(QStringLiteral("pcDetails"));
    // Six tabs side by side in the panel's width, none hidden behind scroll arrows.
    pcDetails->setStyleSheet(QStringLiteral("QTabBar::tab { padding: 3px 5px; }"));
    layout->addWidget(pcDetails);

    auto page = [&](int index, const QString &title) {
        auto *tab = new QWidget;
        auto *v = new QVBoxLayout(tab);
        v->setContentsMargins(6, 6, 6, 6);
        lblDetailsHeading[std::size_t(index)] = new QLabel;
        lblDetailsHeading[std::size_t(index)]->setObjectName(
            QStringLiteral("lblDetailsHeading%1").arg(index));
        lblDetailsHeading[std::size_t(index)]->setTextFormat(Qt::PlainText);
        QFont font = lblDetailsHeading[std::size_t(index)]->font();
        font.setBold(true);
        font.setPointSize(font.pointSize() + 1);
        lblDetailsHeading[std::size_t(index)]->setFont(font);
        v->addWidget(lblDetailsHeading[std::size_t(index)]);
        auto *line = new QFrame;
        line->setFrameShape(QFrame::HLine);
        line->setFrameShadow(QFrame::Sunken);
        v->addWidget(line);
        pcDetails->addTab(tab, title);
        return v;
    };
    auto form =
        [&](QVBoxLayout *v,
            std::initializer_list<std::pair<QString, std::pair<const char *, QString AListAddress::*>>>
                rows) {
            auto *f = new QFormLayout;
            f->setLabelAlignment(Qt::AlignLeft);
            for (const auto &[caption, field] : rows) {
                QLabel *value = valueLabel(field.first);
                f->addRow(caption, value);
                m_detailFields.emplace_back(value, field.second);
            }
            v->addLayout(f);
        };

    QVBoxLayout *person = page(0, tr("Osoba"));
    imgDetailsPicture = new QLabel;
    imgDetailsPicture->setObjectName(QStringLiteral("imgDetailsPicture"));
    imgDetailsPicture->setFixedSize(kCallerPictureWidth, kCallerPictureHeight);
    person->addWidget(imgDetailsPicture, 0, Qt::AlignHCenter);
    form(person, {{tr("Ime:"), {"lblDetailsFirstName", &AListAddress::FirstName}},
                  {tr("Prezime:"), {"lblDetailsLastName", &AListAddress::LastName}},
                  {tr("Nadimak:"), {"lblDetailsNickName", &AListAddress::NickName}},
                  {tr("Grupa:"), {"lblDetailsGroup", &AListAddress::Group}}});
    person->addStretch(1);

    QVBoxLayout *home = page(1, tr("Kuća"));
    form(home, {{tr("Adresa:"), {"lblDetailsHomeAddress", &AListAddress::HomeAddress}},
                {tr("Poštanski broj:"), {"lblDetailsHomePostNo", &AListAddress::HomePostNo}},
                {tr("Grad:"), {"lblDetailsHomeCity", &AListAddress::HomeCity}},
                {tr("Država:"), {"lblDetailsHomeCountry", &AListAddress::HomeCountry}}});
    home->addStretch(1);

    QVBoxLayout *company = page(2, tr("Posao"));
    form(company, {{tr("Tvrtka:"), {"lblDetailsCompanyName", &AListAddress::CompanyName}},
                   {tr("Odjel:"), {"lblDetailsCompanyDepartment", &AListAddress::CompanyDepartment}},
                   {tr("Ured:"), {"lblDetailsCompanyOffice", &AListAddress::CompanyOffice}},
                   {tr("Radno mjesto:"), {"lblDetailsCompanyJobTitle", &AListAddress::CompanyJobTitle}},
                   {tr("Adresa:"), {"lblDetailsCompanyAddress", &AListAddress::CompanyAddress}},
                   {tr("Poštanski broj:"), {"lblDetailsCompanyPostNo", &AListAddress::CompanyPostNo}},
                   {tr("Grad:"), {"lblDetailsCompanyCity", &AListAddress::CompanyCity}},
                   {tr("Država:"), {"lblDetailsCompanyCountry", &AListAddress::CompanyCountry}}});
    company->addStretch(1);

    QVBoxLayout *phones = page(3, tr("Telefoni"));
    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(4);
    for (int k = 0; k < 8; ++k) {
        const auto i = std::size_t(k);
        lblDetailsLocation[i] = valueLabel("lblDetailsLocation");
        lblDetailsLocation[i]->setObjectName(QStringLiteral("lblDetailsLocation%1").arg(k + 1));
        lblDetailsLocation[i]->setWordWrap(false);
        lblDetailsSeparator[i] = new QLabel(QStringLiteral(":"));
        lblDetailsSeparator[i]->setObjectName(QStringLiteral("lblDetailsSeparator%1").arg(k + 1));
        lblDetailsNumber[i] = valueLabel("lblDetailsNumber");
        lblDetailsNumber[i]->setObjectName(QStringLiteral("lblDetailsNumber%1").arg(k + 1));
        lblDetailsNumber[i]->setWordWrap(false);
        grid->addWidget(lblDetailsLocation[i], k, 0);
        grid->addWidget(lblDetailsSeparator[i], k, 1);
        grid->addWidget(lblDetailsNumber[i], k, 2);
    }
    grid->setColumnStretch(2, 1);
    phones->addLayout(grid);
    phones->addStretch(1);

    QVBoxLayout *internet = page(4, tr("Internet"));
    auto *mails = new QFormLayout;
    for (int k = 0; k < 4; ++k) {
        auto *link = new TLinkLabel;
        link->setObjectName(QStringLiteral("lblDetailsEmail%1").arg(k + 1));
        link->setProperty("Tag", 10);
        link->setOnClick([this, link] { openLink(link, true); });
        lblDetailsEmail[std::size_t(k)] = link;
        mails->addRow(tr("E-mail %1:").arg(k + 1), link);
    }
    const QString webCaptions[] = {tr("Privatna:"), tr("Poslovna:")};
    for (int k = 0; k < 2; ++k) {
        auto *link = new TLinkLabel;
        link->setObjectName(k == 0 ? QStringLiteral("lblDetailsHomeWebPage")
                                   : QStringLiteral("lblDetailsCompanyWebPage"));
        link->setProperty("Tag", 20);
        link->setOnClick([this, link] { openLink(link, false); });
        lblDetailsWeb[std::size_t(k)] = link;
        mails->addRow(webCaptions[k], link);
    }
    internet->addLayout(mails);
    internet->addStretch(1);

    QVBoxLayout *notes = page(5, tr("Napomena"));
    lblDetailsNotes = valueLabel("lblDetailsNotes");
    lblDetailsNotes->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto *scroll = new QScrollArea;
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidget(lblDetailsNotes);
    notes->addWidget(scroll, 1);

    clearContactDetails();
    return panel;
}

void TfrmMain::clearContactDetails()
{
    for (QLabel *heading : lblDetailsHeading)
        heading->clear();
    for (auto &[label, field] : m_detailFields)
        label->clear();
    for (int k = 0; k < 8; ++k) {
        lblDetailsLocation[std::size_t(k)]->clear();
        lblDetailsNumber[std::size_t(k)]->clear();
        lblDetailsSeparator[std::size_t(k)]->setVisible(false);
    }
    for (TLinkLabel *link : lblDetailsEmail)
        link->clear();
    for (TLinkLabel *link : lblDetailsWeb)
        link->clear();
    lblDetailsNotes->clear();
    imgDetailsPicture->clear();
}

void TfrmMain::showContactDetails()
{
    const QStringList names = selectedContactNames();
    const int i = names.size() == 1 ? m_book.indexOfContact(names.first()) : -1;
    if (i < 0) {
        clearContactDetails();
        return;
    }
    const AListAddress &c = m_book.contacts()[i];
    for (QLabel *heading : lblDetailsHeading)
        heading->setText(c.DisplayNameAs);
    for (auto &[label, field] : m_detailFields)
        label->setText(c.*field);
    // The numbers in slot order, one under the other: empty slots leave no gap, and locations
    // stored padded to their field show without the blanks.
    std::size_t row = 0;
    for (std::size_t slot = 0; slot < 8; ++slot) {
        if (c.PhoneNumber[slot].trimmed().isEmpty())
            continue;
        lblDetailsLocation[row]->setText(c.PhoneLocation[slot].trimmed());
        lblDetailsNumber[row]->setText(c.PhoneNumber[slot].trimmed());
        lblDetailsSeparator[row++]->setVisible(true);
    }
    for (; row < 8; ++row) {
        lblDetailsLocation[row]->clear();
        lblDetailsNumber[row]->clear();
        lblDetailsSeparator[row]->setVisible(false);
    }
    for (int k = 0; k < 4; ++k)
        lblDetailsEmail[std::size_t(k)]->setText(c.EMail[std::size_t(k)]);
    lblDetailsWeb[0]->setText(c.HomeWebPage);
    lblDetailsWeb[1]->setText(c.CompanyWebPage);
    lblDetailsNotes->setText(c.Notes);
    imgDetailsPicture->setPixmap(QPixmap::fromImage(
        LoadCallerPicture(c.Picture, c.ActualDimensions, c.CenterPicture, languageIndex())));
}

void TfrmMain::openLink(TLinkLabel *label, bool email)
{
    const QString text = label->text();
    if (text.isEmpty())
        return;
    QString url;
    if (email)
        url = QStringLiteral("mailto:") + text;
    else if (text.left(7).toLower() == QLatin1String("http://") ||
             text.left(8).toLower() == QLatin1String("https://"))
        // An address that names its scheme already is opened as it stands.
        url = text;
    else
        url = QStringLiteral("http://") + text;
    openUrl(url);
}

void TfrmMain::tbShowDetailsClick()
{
    const bool show = tbShowDetails->isChecked();
    pnlContactDetails->setVisible(show);
    tbShowDetails->setToolTip(show ? tr("Sakrij detalje o osobi") : tr("Prikaži detalje o osobi"));
}

// --- Contact rows ---------------------------------------------------------------------------------

void TfrmMain::fillContactRows(const QString &nodeText, bool withoutGroup, bool blackList, bool all,
                               bool keepPlace)
{
    WaitCursor wait;
    clearContactDetails();
    std::optional<KeepListPlace<TContactRowsModel>> place;
    if (keepPlace)
        place.emplace(lvContacts, *m_contactRows);
    std::vector<TContactRec> rows;
    rows.reserve(std::size_t(m_book.contacts().size()));
    for (const AListAddress &c : m_book.contacts()) {
        bool take;
        if (blackList)
            take = c.BlackList;
        else if (all)
            take = true;
        else if (withoutGroup)
            take = !m_book.GroupExists(c.Group);
        else
            take = c.Group == nodeText;
        if (take)
            rows.push_back({c.DisplayNameAs, c.CompanyName, c.Group, c.BlackList});
    }
    m_contactRows->setRows(std::move(rows));
    if (place) {
        place->restore();
    } else if (m_contactRows->rowCount() > 0) {
        lvContacts->setCurrentIndex(m_contactRows->index(0, 0));
        selectContactRow(0);
    }
    stbContacts->setText(1, tr(" Ukupno osoba:  %1").arg(m_contactRows->rowCount()));
    contactSelectionChanged();
}

void TfrmMain::RefreshContactRows()
{
    refreshContactRows(true);
}

void TfrmMain::refreshContactRows(bool keepPlace)
{
    const QTreeWidgetItem *node = tvGroups->currentItem();
    if (!node) {
        fillContactRows({}, false, false, true, keepPlace);
        return;
    }
    const int image = TGroupsTree::imageOf(node);
    const int level = TGroupsTree::levelOf(node);
    fillContactRows(node->text(0), image == ImageWithoutGroup, image == ImageBlackList,
                    level == 0 && image == ImageGroup, keepPlace);
}

int TfrmMain::contactRowCount() const
{
    return m_contactRows->rowCount();
}

QString TfrmMain::contactRowText(int row, int column) const
{
    return m_contactRows->data(m_contactRows->index(row, column), Qt::DisplayRole).toString();
}

bool TfrmMain::contactRowBlackListed(int row) const
{
    return row >= 0 && row < m_contactRows->rowCount() && m_contactRows->row(row).BlackList;
}

QStringList TfrmMain::selectedContactNames() const
{
    QStringList names;
    for (int r : SelectedRowsOf(lvContacts))
        if (r < m_contactRows->rowCount())
            names << m_contactRows->row(r).DisplayName;
    return names;
}

void TfrmMain::selectContactRow(int row, bool add)
{
    if (row < 0 || row >= m_contactRows->rowCount())
        return;
    const QModelIndex index = m_contactRows->index(row, 0);
    auto flags =
        QItemSelectionModel::Rows | (add ? QItemSelectionModel::Select : QItemSelectionModel::ClearAndSelect);
    lvContacts->selectionModel()->setCurrentIndex(index, flags);
    lvContacts->scrollTo(index);
}

void TfrmMain::selectAndFocusContact(const QString &displayName)
{
    const int row = m_contactRows->indexOfName(displayName);
    if (row < 0)
        return;
    selectContactRow(row);
    if (Notebook->currentIndex() == PageAddressbook)
        lvContacts->setFocus();
}

void TfrmMain::ShowContacts(const QStringList &names)
{
    if (tvGroups->topLevelItemCount() == 0)
        return;
    tvGroups->setCurrentItem(tvGroups->topLevelItem(0));
    lvContacts->clearSelection();
    for (const QString &name : names)
        selectContactRow(m_contactRows->indexOfName(name), true);
}

void TfrmMain::contactSelectionChanged()
{
    const QList<int> rows = SelectedRowsOf(lvContacts);
    const int selected = int(rows.size());
    tbEditContact->setEnabled(selected == 1);
    tbDeleteContact->setEnabled(selected >= 1);
    const QString deleteText = selected >= 2 ? tr("Izbriši osobe") : tr("Izbriši osobu");
    tbDeleteContact->setToolTip(deleteText);
    m_menus.miDeleteContact->setText(deleteText);
    m_menus.miEditContact->setEnabled(selected == 1);
    m_menus.miAddToBlackList->setEnabled(selected == 1);
    m_menus.miDeleteContact->setEnabled(selected >= 1);
    m_menus.miEditContact->setVisible(selected < 2);
    m_menus.miAddToBlackList->setVisible(selected < 2);
    m_menus.miSelectAllContacts->setEnabled(m_contactRows->rowCount() > 0);
    const bool blackListed = selected == 1 && contactRowBlackListed(rows.first());
    m_menus.miAddToBlackList->setText(blackListed ? tr("Makni osobu iz Crne Liste")
                                                  : tr("Dodaj osobu u Crnu Listu"));
    showContactDetails();
}

void TfrmMain::contactsContextMenu(const QPoint &pos)
{
    contactSelectionChanged();
    m_menus.contacts->popup(lvContacts->viewport()->mapToGlobal(pos));
}

// --- Contact commands -----------------------------------------------------------------------------

bool TfrmMain::runContactEditor()
{
    m_contact->RefreshGroupChoices();
    return RunModalDialog(*m_contact) == QDialog::Accepted;
}

void TfrmMain::tbNewContactClick()
{
    m_contact->ClearForNewContact(m_pendingName, m_pendingNumber);
    // A caller named by a contacts-folder card comes with the rest of the card.
    if (m_pendingCard)
        m_contact->FillFromContact(*m_pendingCard);
    if (!runContactEditor())
        return;
    const QString name = m_contact->displayName();
    const StoreResult result = m_book.AddContact(m_contact->CreateRecord());
    ShowStoreResult(result, this);
    if (result.kind == StoreResult::Kind::Refused)
        return;
    if (Notebook->currentIndex() == PageAddressbook)
        selectAndFocusContact(name);
    m_pendingName = name;
}

void TfrmMain::tbEditContactClick()
{
    const QStringList names = selectedContactNames();
    if (names.size() != 1)
        return;
    const QString oldName = names.first();
    if (!m_contact->FillFromContact(oldName))
        return;
    m_contact->showTab(TfrmContact::TabPerson);
    if (!runContactEditor())
        return;
    const QString newName = m_contact->displayName();
    const StoreResult result = m_book.EditContact(oldName, m_contact->CreateRecord());
    ShowStoreResult(result, this);
    if (result.kind == StoreResult::Kind::Refused)
        return;
    selectAndFocusContact(m_book.ContactExists(newName) ? newName : oldName);
}

void TfrmMain::tbDeleteContactClick()
{
    const QStringList names = selectedContactNames();
    if (names.isEmpty())
        return;
    const QString text =
        names.size() == 1
            ? tr("Osoba:  %1\n\nDa li stvarno želiš obrisati ovu osobu iz adresara?").arg(names.first())
            : tr("Osoba za brisanje:  %1\n\n%2\n\nDa li stvarno želiš obrisati izabrane osobe iz adresara?")
                  .arg(QString::number(names.size()), firstLines(names));
    if (confirmDelete() && ShowMessageDialog(tr("Potvrda"), text, QMessageBox::Question,
                                             QMessageBox::Yes | QMessageBox::No, this) != QMessageBox::Yes)
        return;
    ShowStoreResult(m_book.DeleteContacts(names), this);
    if (!tvGroups->currentItem() && tvGroups->topLevelItemCount() > 0)
        tvGroups->setCurrentItem(tvGroups->topLevelItem(0));
}

QString TfrmMain::firstLines(const QStringList &lines)
{
    constexpr int kNamed = 5;
    QString text = lines.mid(0, kNamed).join(QLatin1Char('\n'));
    if (lines.size() > kNamed)
        text += QLatin1Char('\n') + tr("… i još %1").arg(lines.size() - kNamed);
    return text;
}

void TfrmMain::ToggleBlackList()
{
    const QModelIndexList rows = lvContacts->selectionModel()->selectedRows();
    if (rows.size() != 1)
        return;
    const int row = rows.first().row();
    const QString name = m_contactRows->row(row).DisplayName;
    const bool blackListed = m_contactRows->row(row).BlackList;
    if (!m_book.ContactExists(name))
        return;
    ShowStoreResult(m_book.SetBlackList({name}, !blackListed), this);
    selectAndFocusContact(name);
}

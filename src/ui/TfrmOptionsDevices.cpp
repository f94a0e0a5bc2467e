// The devices page: the device list for the chosen kind of device and what the chosen device
// can do.

#include "ui/TfrmOptions.h"

#include "capi/CpInfo.h"
#include "telephony/SipAccount.h"
#include "ui/OptionsIcons.h"
#include "ui/TfrmSipAccount.h"
#include "widgets/ShowMessageDialog.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <algorithm>

namespace {

QTreeWidgetItem *addRoot(QTreeWidget *tree, const QString &text)
{
    auto *item = new QTreeWidgetItem(tree, {text});
    item->setIcon(0, OptionsIcons::infoNode());
    return item;
}

QTreeWidgetItem *addNode(QTreeWidgetItem *parent, const QString &text, const QIcon &icon)
{
    auto *item = new QTreeWidgetItem(parent, {text});
    item->setIcon(0, icon);
    return item;
}

// The mark is also the item's data, for whoever reads the tree without looking at it.
void addFeature(QTreeWidgetItem *parent, const QString &text, bool present)
{
    addNode(parent, text, present ? OptionsIcons::featurePresent() : OptionsIcons::featureAbsent())
        ->setData(0, Qt::UserRole, present);
}

// A SIP line's account, and where its password is kept: the window says what the line will
// register with. The keyring answers later; the node says so once it has.
void addSipAccount(QTreeWidgetItem *line, const telephony::SipAccount &account, const QIcon &plain)
{
    addNode(line, TfrmOptions::tr("Korisnik:  %1 (prijava kao %2)").arg(account.key(), account.authUser),
            plain);
    const char *transports[] = {"UDP", "TCP", "TLS"};
    addNode(line, TfrmOptions::tr("Prijenos:  %1").arg(QLatin1String(transports[account.transport])), plain);
    QTreeWidgetItem *password =
        addNode(line, TfrmOptions::tr("Lozinka:  %1").arg(QStringLiteral("...")), plain);
    static int asked = 0;
    const int question = ++asked;
    password->setData(0, Qt::UserRole + 1, question);
    QTreeWidget *tree = line->treeWidget();
    TfrmSipAccount::passwordPlace(account, tree, [tree, question](const QString &place) {
        // The tree may have been filled again meanwhile: only this question's node takes it.
        for (QTreeWidgetItemIterator it(tree); *it; ++it) {
            if ((*it)->data(0, Qt::UserRole + 1).toInt() == question)
                (*it)->setText(0, TfrmOptions::tr("Lozinka:  %1").arg(place));
        }
    });
}

void addCapabilities(QTreeWidgetItem *parent, const QString &text, const TCapabilityList &list)
{
    QTreeWidgetItem *node = addNode(parent, text, OptionsIcons::infoNode());
    for (const TCapabilityEntry &entry : list)
        addFeature(node, entry.text, entry.supported);
}

// The global option of an adapter that answers which supplementary services it has.
constexpr uint32_t kSupplementaryServicesOption = 0x10;

} // namespace

// The program drives its modems itself; the text says so instead of naming an operating
// system's components.
QString TfrmOptions::modemDriverText()
{
    return tr("Upravljački program:  AT modem s prikazom pozivatelja");
}

void TfrmOptions::rbModemClick()
{
    const bool modem = rbModem->isChecked();
    pbDevice->setPixmap(modem ? OptionsIcons::modemPicture() : OptionsIcons::isdnPicture());
    // Emptied for either kind: a line service that fails to start must not leave the adapters
    // of the other kind in the list.
    cbDevices->clear();
    m_lines = modem ? m_listModems() : telephony::ListLines(telephony::DeviceKind::Isdn);
    for (const telephony::LineInfo &line : std::as_const(m_lines))
        cbDevices->addItem(line.name);
    if (cbDevices->count() > 0)
        cbDevices->setCurrentIndex(0);
    cbDevicesChange();
}

void TfrmOptions::cbDevicesChange()
{
    const int index = cbDevices->currentIndex();
    const bool sip = rbModem->isChecked() && index >= 0 && index < m_lines.size() &&
                     telephony::SipConfig::findAccount(m_lines.at(index).name);
    pnlSipAccount->setVisible(rbModem->isChecked());
    btnSipEdit->setEnabled(sip);
    btnSipRemove->setEnabled(sip);
    tvFeatures->clear();
    if (rbModem->isChecked())
        fillModemFeatures();
    else
        fillIsdnFeatures();
    tvFeatures->expandAll();
}

void TfrmOptions::fillModemFeatures()
{
    if (cbDevices->currentIndex() < 0 || cbDevices->currentIndex() >= m_lines.size())
        return;
    const telephony::LineInfo &info = m_lines.at(cbDevices->currentIndex());

    QTreeWidgetItem *line = addRoot(tvFeatures, tr("Podaci o liniji"));
    const QIcon plain = OptionsIcons::infoNode();
    // A modem says who it is in its ATI answer; a network line names its protocol and server.
    if (info.port.isEmpty()) {
        addNode(line, tr("Vrsta linije:  ") + info.kindText, plain);
        if (!info.host.isEmpty())
            addNode(line, tr("Poslužitelj:  %1, port %2").arg(info.host).arg(info.tcpPort), plain);
        if (const std::optional<telephony::SipAccount> account = telephony::SipConfig::findAccount(info.name))
            addSipAccount(line, *account, plain);
    } else {
        addNode(line, tr("Modem (odgovor na ATI):  ") + info.identity, plain);
        addNode(line, modemDriverText(), plain);
        addNode(line, tr("Serijski port:  ") + info.port, plain);
    }

    QTreeWidgetItem *features = addRoot(tvFeatures, tr("Mogućnosti modema"));
    addFeature(features, tr("Prikaz pozivatelja:  Ime"), info.showsName);
    addFeature(features, tr("Prikaz pozivatelja:  Telefonski broj"), info.showsNumber);
    addFeature(features, tr("Prikaz pozivatelja:  Blokirani pozivi"), info.showsWithheld);
    addFeature(features, tr("Prikaz pozivatelja:  Nedostupni pozivi"), info.showsUnavailable);
    addFeature(features, tr("Odbijanje poziva (Odbij!)"), info.canReject);
}

QWidget *TfrmOptions::createSipAccountButtons()
{
    pnlSipAccount = new QWidget;
    pnlSipAccount->setObjectName(QStringLiteral("pnlSipAccount"));
    auto *layout = new QHBoxLayout(pnlSipAccount);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addStretch();
    const auto button = [layout](const char *name, const QString &caption) {
        auto *b = new QPushButton(caption);
        b->setObjectName(QLatin1String(name));
        layout->addWidget(b);
        return b;
    };
    btnSipAdd = button("btnSipAdd", tr("Dodaj SIP račun..."));
    btnSipEdit = button("btnSipEdit", tr("Uredi SIP račun..."));
    btnSipRemove = button("btnSipRemove", tr("Ukloni SIP račun"));
    connect(btnSipAdd, &QPushButton::clicked, this, [this] { editSipAccount(true); });
    connect(btnSipEdit, &QPushButton::clicked, this, [this] { editSipAccount(false); });
    connect(btnSipRemove, &QPushButton::clicked, this, &TfrmOptions::btnSipRemoveClick);
    return pnlSipAccount;
}

void TfrmOptions::editSipAccount(bool add)
{
    const int index = cbDevices->currentIndex();
    std::optional<telephony::SipAccount> account;
    if (!add && index >= 0 && index < m_lines.size())
        account = telephony::SipConfig::findAccount(m_lines.at(index).name);
    TfrmSipAccount dialog(account, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    // The device list as the configuration has it now, on the line just saved.
    rbModemClick();
    cbDevices->setCurrentIndex(cbDevices->findText(dialog.account().lineName()));
    cbDevicesChange();
}

void TfrmOptions::btnSipRemoveClick()
{
    const int index = cbDevices->currentIndex();
    const std::optional<telephony::SipAccount> account =
        index >= 0 && index < m_lines.size() ? telephony::SipConfig::findAccount(m_lines.at(index).name)
                                             : std::nullopt;
    if (!account || ShowMessageDialog(tr("Potvrda"), tr("Ukloniti SIP račun %1?").arg(account->key()),
                                      QMessageBox::Question, QMessageBox::Yes | QMessageBox::No,
                                      this) != QMessageBox::Yes)
        return;
    QString error;
    if (!telephony::SipConfig::saveAccount(account->lineName(), std::nullopt, &error)) {
        ShowMessageDialog(tr("Greška"), tr("SIP račun nije moguće ukloniti: %1").arg(error),
                          QMessageBox::Critical, QMessageBox::Ok, this);
        return;
    }
    // Its password goes with it, unless another account of the same user and registrar remains.
    const telephony::SipConfig config = telephony::SipConfig::load();
    if (std::none_of(config.accounts.cbegin(), config.accounts.cend(),
                     [&](const telephony::SipAccount &a) { return a.key() == account->key(); }))
        config.passwords().write(account->key(), {});
    rbModemClick();
}

void TfrmOptions::fillIsdnFeatures()
{
    const int index = cbDevices->currentIndex();
    if (index < 0 || index >= m_lines.size())
        return;
    TCapiInfo *info = capiInfo();
    info->SelectController(m_lines.at(index).controller);
    if (info->Error() != 0)
        return;

    // "CAPI: 2.0  Version: 3.12" shows as its two halves.
    const QString version = info->VersionText();
    const qsizetype capiAt = qMax<qsizetype>(version.indexOf(QLatin1String("CAPI")), 0);
    const qsizetype cutAt = version.indexOf(QLatin1String("  Ver"));
    const qsizetype verAt = version.indexOf(QLatin1String("Ver"));
    QTreeWidgetItem *capi = addRoot(tvFeatures, tr("CAPI Informacije"));
    const QIcon plain = OptionsIcons::infoNode();
    addNode(capi, cutAt > capiAt ? version.mid(capiAt, cutAt - capiAt) : QString(), plain);
    addNode(capi, verAt >= 0 ? version.mid(verAt, 100) : QString(), plain);

    QTreeWidgetItem *adapter = addRoot(tvFeatures, tr("Informacije o ISDN adapteru"));
    addNode(adapter, tr("Proizvođač:  ") + info->ManufacturerText(), plain);
    addNode(adapter, tr("Serijski broj:  ") + info->SerialNumberText(), plain);
    addNode(adapter, tr("Podržava B-kanala:  ") + QString::number(info->BChannels()), plain);
    addNode(adapter, tr("Kontroler:  %1").arg(m_lines.at(index).controller), plain);

    QTreeWidgetItem *abilities = addRoot(tvFeatures, tr("Mogućnosti ISDN adaptera"));
    addCapabilities(abilities, tr("Osnovne mogućnosti"), info->GlobalOptions());
    addCapabilities(abilities, tr("Podrška za B%1 protokol").arg(1), info->B1Protocols());
    addCapabilities(abilities, tr("Podrška za B%1 protokol").arg(2), info->B2Protocols());
    addCapabilities(abilities, tr("Podrška za B%1 protokol").arg(3), info->B3Protocols());
}

void TfrmOptions::capiInfoSuppServInfoAvailable()
{
    // An answer to the query of an adapter chosen before belongs to that adapter, not the
    // one shown now.
    if (!m_capiInfo || rbModem->isChecked() || cbDevices->currentIndex() < 0 ||
        cbDevices->currentIndex() >= m_lines.size() ||
        m_capiInfo->SelectedController() != m_lines.at(cbDevices->currentIndex()).controller ||
        !m_capiInfo->HasGlobalOption(kSupplementaryServicesOption))
        return;
    const QList<QTreeWidgetItem *> roots =
        tvFeatures->findItems(tr("Mogućnosti ISDN adaptera"), Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (roots.isEmpty())
        return;
    addCapabilities(roots.first(), tr("Dodatne mogućnosti"), m_capiInfo->SupplementaryServices());
    roots.first()->setExpanded(true);
    for (int i = 0; i < roots.first()->childCount(); ++i)
        roots.first()->child(i)->setExpanded(true);
}

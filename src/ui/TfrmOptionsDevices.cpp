// The devices page: the device list for the chosen kind of device and what the chosen device
// can do.

#include "ui/TfrmOptions.h"

#include "capi/CpInfo.h"
#include "telephony/ModemConfig.h"
#include "telephony/ModemProvider.h"
#include "telephony/TapiFunc.h"
#include "ui/OptionsIcons.h"

#include <QComboBox>
#include <QLabel>
#include <QRadioButton>
#include <QTreeWidget>

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

void addCapabilities(QTreeWidgetItem *parent, const QString &text, const TCapabilityList &list)
{
    QTreeWidgetItem *node = addNode(parent, text, OptionsIcons::infoNode());
    for (const TCapabilityEntry &entry : list)
        addFeature(node, entry.text, entry.supported);
}

// The global option of an adapter that answers which supplementary services it has.
constexpr uint32_t kSupplementaryServicesOption = 0x10;

} // namespace

// The modem lines come from the program's own line service, whose modems are driven by its
// AT modem provider; the texts say so instead of naming an operating system's components.
QString TfrmOptions::telephonyVersionText()
{
    return tr("Linijska usluga:  Tellwise Monitor");
}

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
    if (modem) {
        cbDevices->addItems(m_listModems());
    } else {
        const int count = capiInfo()->ControllerCount();
        for (int i = 1; i <= count; ++i)
            cbDevices->addItem(QStringLiteral("ISDN Adapter #%1").arg(i));
    }
    if (cbDevices->count() > 0)
        cbDevices->setCurrentIndex(0);
    cbDevicesChange();
}

void TfrmOptions::cbDevicesChange()
{
    tvFeatures->clear();
    if (rbModem->isChecked())
        fillModemFeatures();
    else
        fillIsdnFeatures();
    tvFeatures->expandAll();
}

void TfrmOptions::fillModemFeatures()
{
    if (cbDevices->currentIndex() < 0)
        return;
    const int deviceId = FindTapiDevice(cbDevices->currentText());
    if (deviceId < 0)
        return;

    QTreeWidgetItem *line = addRoot(tvFeatures, tr("Podaci o liniji"));
    const QIcon plain = OptionsIcons::infoNode();
    addNode(line, telephonyVersionText(), plain);
    addNode(line, tr("Dogovorena inačica:  %1.%2").arg(TapiApiVersion >> 16).arg(TapiApiVersion & 0xFFFF),
            plain);
    // A modem says who it is in its ATI answer; a network line names its protocol.
    QString port;
    for (const telephony::ModemProvider::Candidate &c :
         telephony::ModemProvider::candidates(telephony::ModemConfig::load()))
        if (QString::fromLatin1(c.name) == cbDevices->currentText())
            port = c.path;
    if (port.isEmpty()) {
        addNode(line, tr("Vrsta linije:  ") + TapiProviderInfo, plain);
    } else {
        addNode(line, tr("Modem (odgovor na ATI):  ") + TapiProviderInfo, plain);
        addNode(line, modemDriverText(), plain);
        addNode(line, tr("Serijski port:  ") + port, plain);
    }

    const TCallerDisplayCaps caps = GetCallerDisplayCaps(DWORD(deviceId));
    QTreeWidgetItem *features = addRoot(tvFeatures, tr("Mogućnosti modema"));
    addFeature(features, tr("Prikaz pozivatelja:  Ime"), caps.name);
    addFeature(features, tr("Prikaz pozivatelja:  Telefonski broj"), caps.number);
    addFeature(features, tr("Prikaz pozivatelja:  Blokirani pozivi"), caps.blocked);
    addFeature(features, tr("Prikaz pozivatelja:  Nedostupni pozivi"), caps.outOfArea);
    addFeature(features, tr("Odbijanje poziva (Odbij!)"), caps.reject);
}

void TfrmOptions::fillIsdnFeatures()
{
    const int index = cbDevices->currentIndex();
    if (index < 0)
        return;
    TCapiInfo *info = capiInfo();
    info->SelectController(uint32_t(index + 1));
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

    QTreeWidgetItem *abilities = addRoot(tvFeatures, tr("Mogućnosti ISDN adaptera"));
    addCapabilities(abilities, tr("Osnovne mogućnosti"), info->GlobalOptions());
    addCapabilities(abilities, tr("Podrška za B%1-Protocol").arg(1), info->B1Protocols());
    addCapabilities(abilities, tr("Podrška za B%1-Protocol").arg(2), info->B2Protocols());
    addCapabilities(abilities, tr("Podrška za B%1-Protocol").arg(3), info->B3Protocols());
}

void TfrmOptions::capiInfoSuppServInfoAvailable()
{
    // An answer to the query of an adapter chosen before belongs to that adapter, not the
    // one shown now.
    if (!m_capiInfo || rbModem->isChecked() ||
        m_capiInfo->SelectedController() != uint32_t(cbDevices->currentIndex() + 1) ||
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

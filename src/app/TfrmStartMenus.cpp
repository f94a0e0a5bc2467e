// The controller's menus: the tray menu with its switches, and the popup menus the main window
// borrows.

#include "app/SvgIcon.h"
#include "app/TfrmAbout.h"
#include "app/TfrmStart.h"
#include "store/AddressBook.h"
#include "store/DataDir.h"
#include "store/Exports.h"
#include "ui/TfrmOptions.h"
#include "widgets/ShowMessageDialog.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QMenu>

namespace {

QIcon renderIcon(const char *name)
{
    return SvgIcon(QStringLiteral(":/app/%1.svg").arg(QLatin1String(name)), {16, 24, 32});
}

const QIcon &markIcon(bool on)
{
    static const QIcon off = renderIcon("markOff");
    static const QIcon onIcon = renderIcon("markOn");
    return on ? onIcon : off;
}

QAction *addItem(QMenu *menu, const char *name, const QString &caption, const QIcon &icon = {})
{
    QAction *item = menu->addAction(icon, caption);
    item->setObjectName(QLatin1String(name));
    return item;
}

} // namespace

void TfrmStart::createMenus()
{
    pmTrayIcon = new QMenu(this);
    pmTrayIcon->setObjectName(QStringLiteral("pmTrayIcon"));
    miAddressbook = addItem(pmTrayIcon, "miAddressbook", tr("Adresar"), renderIcon("menuAddressbook"));
    miCalls = addItem(pmTrayIcon, "miCalls", tr("Pozivi"), renderIcon("menuCalls"));
    // Disabled until a main window is there to open.
    miAddressbook->setEnabled(false);
    miCalls->setEnabled(false);
    connect(miAddressbook, &QAction::triggered, this, [this] { ShowMainWindowPage(0); });
    connect(miCalls, &QAction::triggered, this, [this] { ShowMainWindowPage(1); });
    pmTrayIcon->addSeparator();
    miMonitorCalls = addSwitch(pmTrayIcon, "miMonitorCalls", tr("Prati pozive"));
    miEnableSound = addSwitch(pmTrayIcon, "miEnableSound", tr("Uključi zvuk"));
    miDoNotDisturb = addSwitch(pmTrayIcon, "miDoNotDisturb", tr("Ne smetaj!"));
    miAutoHangUp = addSwitch(pmTrayIcon, "miAutoHangUp", tr("Odbij!"));
    connect(miMonitorCalls, &QAction::triggered, this, &TfrmStart::miMonitorCallsClick);
    connect(miEnableSound, &QAction::triggered, this, &TfrmStart::miEnableSoundClick);
    connect(miDoNotDisturb, &QAction::triggered, this, &TfrmStart::miDoNotDisturbClick);
    connect(miAutoHangUp, &QAction::triggered, this, &TfrmStart::miAutoHangUpClick);
    // A click checks or unchecks the item by itself; a switch the click did not change (a rule
    // question answered No) must not stay shown as changed.
    for (QAction *item : {miMonitorCalls, miEnableSound, miDoNotDisturb, miAutoHangUp})
        connect(item, &QAction::triggered, this, &TfrmStart::showSwitches);
    pmTrayIcon->addSeparator();
    miOptions = addItem(pmTrayIcon, "miOptions", tr("Opcije"), renderIcon("menuOptions"));
    miAbout = addItem(pmTrayIcon, "miAbout", tr("O programu"), renderIcon("menuAbout"));
    connect(miOptions, &QAction::triggered, this, &TfrmStart::miOptionsClick);
    connect(miAbout, &QAction::triggered, this, &TfrmStart::miAboutClick);
    pmTrayIcon->addSeparator();
    miClose = addItem(pmTrayIcon, "miClose", tr("Zatvori Tellwise Monitor"), renderIcon("menuClose"));
    connect(miClose, &QAction::triggered, this, &TfrmStart::miCloseClick);

    showSwitches();

    // The main window's menus; it connects their items to its own commands, the exports stay here.
    mainMenus = CreateMainWindowMenus(this);
    connect(mainMenus.miExportToCSV, &QAction::triggered, this, &TfrmStart::miExportToCSVClick);
    connect(mainMenus.miExportToXML, &QAction::triggered, this, &TfrmStart::miExportToXMLClick);
}

// --- Switches: the settings object holds them; the items show them, tag 1 and the checked mark
// meaning on ---------------------------------------------------------------------------------------

QAction *TfrmStart::addSwitch(QMenu *menu, const char *name, const QString &caption)
{
    QAction *item = addItem(menu, name, caption);
    // Checkable, so that the state is told as "checked", not only drawn.
    item->setCheckable(true);
    showSwitch(item, false);
    return item;
}

void TfrmStart::showSwitch(QAction *item, bool on)
{
    item->setData(on ? 1 : 0);
    item->setChecked(on);
    item->setIcon(markIcon(on));
}

// Whoever changed a switch (the tray, the options window, a load of the stored settings), the
// items show it.
void TfrmStart::showSwitches()
{
    showSwitch(miMonitorCalls, m_settings.monitorCalls());
    miMonitorCalls->setEnabled(m_settings.monitorCallsEnabled());
    showSwitch(miEnableSound, m_settings.flag(Settings::EnableSound));
    showSwitch(miDoNotDisturb, m_settings.flag(Settings::DoNotDisturb));
    showSwitch(miAutoHangUp, m_settings.flag(Settings::AutoReject));
}

void TfrmStart::SetMonitorMenu(bool on, bool enabled)
{
    m_settings.setMonitorCalls(on, enabled);
}

bool TfrmStart::IsMonitoringOn() const
{
    return m_settings.monitorCalls();
}

void TfrmStart::SetSoundMenu(bool on)
{
    m_settings.setFlag(Settings::EnableSound, on);
}

bool TfrmStart::IsSoundOn() const
{
    return m_settings.flag(Settings::EnableSound);
}

void TfrmStart::SetDoNotDisturbMenu(bool on)
{
    m_settings.setFlag(Settings::DoNotDisturb, on);
}

bool TfrmStart::IsDoNotDisturbOn() const
{
    return m_settings.flag(Settings::DoNotDisturb);
}

void TfrmStart::SetAutoRejectMenu(bool on)
{
    m_settings.setFlag(Settings::AutoReject, on);
}

bool TfrmStart::IsAutoRejectOn() const
{
    return m_settings.flag(Settings::AutoReject);
}

// --- Tray commands -------------------------------------------------------------------------------

void TfrmStart::miMonitorCallsClick()
{
    SetMonitorMenu(!IsMonitoringOn(), true);
    if (IsMonitoringOn())
        StartMonitoring();
    else
        StopMonitoring();
}

void TfrmStart::miEnableSoundClick()
{
    SetSoundMenu(!IsSoundOn());
    m_settings.SaveSettings();
}

// A switch that applies to nobody would do nothing; before it goes on, at least one kind of
// caller must be chosen in the options. Returns true when the switch may be toggled.
bool TfrmStart::askForRules(const QString &caption, const QString &text, int optionsPage)
{
    if (ShowMessageDialog(caption, text, QMessageBox::Information, QMessageBox::Yes | QMessageBox::No) ==
        QMessageBox::Yes)
        openOptions(optionsPage);
    return false;
}

void TfrmStart::miDoNotDisturbClick()
{
    if (!IsDoNotDisturbOn() && !m_settings.flag(Settings::DisplayOnlyAddressbook) &&
        !m_settings.flag(Settings::DontDisplayBlackList) && !m_settings.flag(Settings::DontDisplayBlocked)) {
        askForRules(
            tr("Ne smetaj!"),
            tr("Prije uključenja ove opcije, potrebno je u opcijama\npostaviti za koju vrstu pozivatelja se "
               "opcija odnosi.\nKada opcija bude aktivna, pozivatelji koje postavite\nviše neće biti "
               "prikazivani.\n\nŽelite li opciju 'Ne smetaj!' postaviti odmah?"),
            TfrmOptions::PageUnwanted);
        return;
    }
    SetDoNotDisturbMenu(!IsDoNotDisturbOn());
    m_settings.SaveSettings();
}

void TfrmStart::miAutoHangUpClick()
{
    if (!IsAutoRejectOn() && !m_settings.flag(Settings::AutoRejectBlackList) &&
        !m_settings.flag(Settings::AutoRejectBlocked)) {
        askForRules(
            tr("Odbij!"),
            tr("Prije uključenja ove opcije, potrebno je u opcijama\npostaviti za koju vrstu pozivatelja se "
               "opcija odnosi.\nKada opcija bude aktivna, pozivatelji koje postavite\nautomatski će biti "
               "odbijeni.\n\nŽelite li opciju 'Odbij!' postaviti odmah?"),
            TfrmOptions::PageUnwanted);
        return;
    }
    SetAutoRejectMenu(!IsAutoRejectOn());
    m_settings.SaveSettings();
}

int TfrmStart::openOptions(int page)
{
    if (!m_options)
        return 0;
    if (m_options->isVisible()) {
        m_options->raise();
        m_options->activateWindow();
        return 0;
    }
    return m_options->showPage(TfrmOptions::Page(page));
}

void TfrmStart::miOptionsClick()
{
    openOptions(TfrmOptions::PageBasic);
}

void TfrmStart::miAboutClick()
{
    if (!m_about)
        return;
    if (m_about->isVisible()) {
        m_about->raise();
        m_about->activateWindow();
        return;
    }
    m_about->showFirstPage();
}

void TfrmStart::miCloseClick()
{
    // Not quit(): that asks every window first, and a call window busy sliding out would refuse.
    QCoreApplication::exit(0);
}

// --- Exports of the address book -----------------------------------------------------------------

void TfrmStart::exportContacts(bool csv)
{
    const QString filter =
        csv ? tr("Vrijednosti odvojene zarezom (*.csv)") : tr("Proširivi jezik za označavanje (*.xml)");
    const QString title = tr("Izvoz adresara");
    const QString name = QStringLiteral("Addressbook");
    QString chosen;
    if (m_saveFileDialog) {
        chosen = m_saveFileDialog(title, DataDir(), name, filter);
    } else {
        chosen = QFileDialog::getSaveFileName(QApplication::activeWindow(), title, DataDir() + name, filter);
    }
    if (chosen.isEmpty())
        return;
    const QString fileName =
        WithExportExtension(chosen, csv ? QStringLiteral(".csv") : QStringLiteral(".xml"));
    const TContactList &contacts = m_book.contacts();
    showFailure(csv ? ExportContactsCsv(contacts, fileName) : ExportContactsXml(contacts, fileName));
}

void TfrmStart::miExportToCSVClick()
{
    exportContacts(true);
}

void TfrmStart::miExportToXMLClick()
{
    exportContacts(false);
}

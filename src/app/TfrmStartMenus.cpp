// The tray's switches and commands, and the exports of the main window's menus.

#include "app/LineMonitor.h"
#include "app/TfrmAbout.h"
#include "app/TfrmStart.h"
#include "store/AddressBook.h"
#include "store/DataDir.h"
#include "store/Exports.h"
#include "ui/TfrmOptions.h"
#include "widgets/ShowMessageDialog.h"

#include <QApplication>
#include <QFileDialog>

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
        m_lineMonitor->start();
    else
        m_lineMonitor->stop();
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

// The call sharing page: publishing this line's calls to an MQTT broker. The password is not a
// setting: it goes to the desktop's keyring, or where none runs to the password file the modem
// configuration names, readable by the user alone.

#include "ui/TfrmOptions.h"

#include "telephony/MqttConfig.h"
#include "ui/TfrmSipAccount.h"
#include "widgets/ShowMessageDialog.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {

QLineEdit *lineEdit(const char *name)
{
    auto *edit = new QLineEdit;
    edit->setObjectName(QLatin1String(name));
    return edit;
}

QCheckBox *sharingBox(const char *name, const QString &caption)
{
    auto *box = new QCheckBox(caption);
    box->setObjectName(QLatin1String(name));
    return box;
}

} // namespace

QWidget *TfrmOptions::createSharingPage()
{
    auto *page = new QWidget;
    chkMqttPublish = sharingBox("chkMqttPublish", tr(" Objavljuj pozive na MQTT posrednik"));
    edtMqttBroker = lineEdit("edtMqttBroker");
    edtMqttBroker->setPlaceholderText(tr("adresa[:port], npr. homeassistant.local"));
    edtMqttUser = lineEdit("edtMqttUser");
    edtMqttPrefix = lineEdit("edtMqttPrefix");
    chkMqttTls = sharingBox("chkMqttTls", tr(" Šifrirana veza (TLS)"));
    edtMqttCaFile = lineEdit("edtMqttCaFile");
    edtMqttCaFile->setPlaceholderText(tr("certifikati sustava"));
    edtMqttClientCert = lineEdit("edtMqttClientCert");
    chkMqttNumberOnly =
        sharingBox("chkMqttNumberOnly", tr(" Objavljuj samo broj, bez imena i grupe iz adresara"));
    edtMqttPassword = lineEdit("edtMqttPassword");
    edtMqttPassword->setEchoMode(QLineEdit::Password);
    edtMqttPassword->setPlaceholderText(tr("prazno: ostaje spremljena"));
    lblMqttPassword = new QLabel;
    lblMqttPassword->setObjectName(QStringLiteral("lblMqttPassword"));
    lblMqttPassword->setWordWrap(true);
    lblMqttPassword->setTextFormat(Qt::PlainText);

    auto *form = new QFormLayout;
    form->addRow(tr("Posrednik:"), edtMqttBroker);
    form->addRow(tr("Korisnik:"), edtMqttUser);
    form->addRow(tr("Lozinka:"), edtMqttPassword);
    form->addRow(tr("Prefiks tema:"), edtMqttPrefix);
    form->addRow(QString(), chkMqttTls);
    form->addRow(tr("Datoteka CA:"), edtMqttCaFile);
    form->addRow(tr("Certifikat klijenta:"), edtMqttClientCert);
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(chkMqttPublish);
    layout->addLayout(form);
    layout->addWidget(chkMqttNumberOnly);
    layout->addWidget(lblMqttPassword);
    layout->addStretch();

    connect(chkMqttPublish, &QCheckBox::toggled, this, &TfrmOptions::chkMqttPublishClick);
    connect(chkMqttTls, &QCheckBox::toggled, this, &TfrmOptions::chkMqttPublishClick);
    showMqttPasswordPlace();
    return page;
}

void TfrmOptions::chkMqttPublishClick()
{
    const bool on = chkMqttPublish->isChecked();
    for (QWidget *w : std::initializer_list<QWidget *>{edtMqttBroker, edtMqttUser, edtMqttPassword,
                                                       edtMqttPrefix, chkMqttTls, chkMqttNumberOnly})
        w->setEnabled(on);
    edtMqttCaFile->setEnabled(on && chkMqttTls->isChecked());
    edtMqttClientCert->setEnabled(on && chkMqttTls->isChecked());
}

void TfrmOptions::sharingToControls()
{
    const Settings &s = m_settings;
    chkMqttPublish->setChecked(s.flag(Settings::MqttPublish));
    edtMqttBroker->setText(s.text(Settings::MqttBroker));
    edtMqttUser->setText(s.text(Settings::MqttUser));
    edtMqttPrefix->setText(s.text(Settings::MqttPrefix));
    edtMqttPrefix->setPlaceholderText(telephony::DefaultMqttPrefix(s.currentDeviceName()));
    chkMqttTls->setChecked(s.flag(Settings::MqttTls));
    edtMqttCaFile->setText(s.text(Settings::MqttCaFile));
    edtMqttClientCert->setText(s.text(Settings::MqttClientCert));
    chkMqttNumberOnly->setChecked(s.flag(Settings::MqttNumberOnly));
    edtMqttPassword->clear();
    chkMqttPublishClick();
    showMqttPasswordPlace();
}

// Where the publishing's password is kept, told once the keyring answered.
void TfrmOptions::showMqttPasswordPlace()
{
    const telephony::MqttConfig config = telephony::MqttConfig::load();
    const QString file =
        config.passwordFile.isEmpty() ? QStringLiteral("mqtt-passwords") : config.passwordFile;
    const QString rule = TfrmSipAccount::newPasswordRule(file);
    telephony::MqttBroker broker;
    const QString user = m_settings.text(Settings::MqttUser);
    if (user.isEmpty() || !telephony::MqttBroker::parse(m_settings.text(Settings::MqttBroker), &broker)) {
        lblMqttPassword->setText(rule);
        return;
    }
    config.passwords().read(
        user + QLatin1Char('@') + broker.host, lblMqttPassword,
        [this, rule, file = config.passwordFile](const telephony::LinePasswords::Answer &a) {
            lblMqttPassword->setText(tr("Lozinka:  %1").arg(TfrmSipAccount::placeText(a.store, file)) +
                                     QLatin1Char('\n') + rule);
        });
}

// A new password is kept before the settings change, so that the connection they start uses it.
void TfrmOptions::saveMqttPassword()
{
    const QString password = edtMqttPassword->text();
    const QString user = edtMqttUser->text().trimmed();
    telephony::MqttBroker broker;
    if (password.isEmpty())
        return;
    if (user.isEmpty() || !telephony::MqttBroker::parse(edtMqttBroker->text().trimmed(), &broker)) {
        ShowMessageDialog(tr("Greška"), tr("Lozinka se sprema uz korisnika i adresu posrednika."),
                          QMessageBox::Warning, QMessageBox::Ok, this);
        return;
    }
    telephony::LinePasswords::Answer answer;
    if (!telephony::MqttConfig::savePassword(user + QLatin1Char('@') + broker.host, password, &answer))
        ShowMessageDialog(tr("Greška"), tr("Lozinku nije moguće spremiti: %1").arg(answer.error),
                          QMessageBox::Critical, QMessageBox::Ok, this);
    edtMqttPassword->clear();
}

void TfrmOptions::controlsToSharing()
{
    saveMqttPassword();
    Settings &s = m_settings;
    s.setText(Settings::MqttBroker, edtMqttBroker->text().trimmed());
    s.setText(Settings::MqttUser, edtMqttUser->text().trimmed());
    s.setText(Settings::MqttPrefix, edtMqttPrefix->text().trimmed());
    s.setFlag(Settings::MqttTls, chkMqttTls->isChecked());
    s.setText(Settings::MqttCaFile, edtMqttCaFile->text().trimmed());
    s.setText(Settings::MqttClientCert, edtMqttClientCert->text().trimmed());
    s.setFlag(Settings::MqttNumberOnly, chkMqttNumberOnly->isChecked());
    // Last: the publishing follows the other values once it is switched.
    s.setFlag(Settings::MqttPublish, chkMqttPublish->isChecked());
    showMqttPasswordPlace();
}

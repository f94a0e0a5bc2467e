// The call sharing page: publishing this line's calls to an MQTT broker. The password is not
// kept here but in the file the modem configuration names, readable by the user alone.

#include "ui/TfrmOptions.h"

#include "telephony/ModemConfig.h"
#include "telephony/MqttConfig.h"

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
    auto *password =
        new QLabel(tr("Lozinka se čuva u datoteci MqttPasswordFile u %1, redak KORISNIK@ADRESA LOZINKA; "
                      "datoteku smije čitati samo vlasnik.")
                       .arg(telephony::ModemConfig::filePath()));
    password->setWordWrap(true);

    auto *form = new QFormLayout;
    form->addRow(tr("Posrednik:"), edtMqttBroker);
    form->addRow(tr("Korisnik:"), edtMqttUser);
    form->addRow(tr("Prefiks tema:"), edtMqttPrefix);
    form->addRow(QString(), chkMqttTls);
    form->addRow(tr("Datoteka CA:"), edtMqttCaFile);
    form->addRow(tr("Certifikat klijenta:"), edtMqttClientCert);
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(chkMqttPublish);
    layout->addLayout(form);
    layout->addWidget(chkMqttNumberOnly);
    layout->addWidget(password);
    layout->addStretch();

    connect(chkMqttPublish, &QCheckBox::toggled, this, &TfrmOptions::chkMqttPublishClick);
    connect(chkMqttTls, &QCheckBox::toggled, this, &TfrmOptions::chkMqttPublishClick);
    return page;
}

void TfrmOptions::chkMqttPublishClick()
{
    const bool on = chkMqttPublish->isChecked();
    for (QWidget *w : std::initializer_list<QWidget *>{edtMqttBroker, edtMqttUser, edtMqttPrefix, chkMqttTls,
                                                       chkMqttNumberOnly})
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
    chkMqttPublishClick();
}

void TfrmOptions::controlsToSharing()
{
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
}

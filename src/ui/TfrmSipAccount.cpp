#include "ui/TfrmSipAccount.h"

#include "ui/DialogSeams.h"
#include "widgets/ShowMessageDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using telephony::SipAccount;
using telephony::SipConfig;

namespace {

QLineEdit *lineEdit(const char *name, const QString &text = {})
{
    auto *edit = new QLineEdit(text);
    edit->setObjectName(QLatin1String(name));
    edit->setMinimumWidth(240);
    return edit;
}

} // namespace

TfrmSipAccount::TfrmSipAccount(const std::optional<SipAccount> &account, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmSipAccount"));
    setWindowTitle(account ? tr("SIP račun") : tr("Novi SIP račun"));
    const SipAccount a = account.value_or(SipAccount{});
    m_replacing = account ? a.lineName() : QString();

    const QString host = a.host + (a.port ? QLatin1Char(':') + QString::number(a.port) : QString());
    edtSipRegistrar = lineEdit("edtSipRegistrar", host);
    edtSipRegistrar->setPlaceholderText(tr("adresa[:port], npr. 192.168.1.1"));
    edtSipUser = lineEdit("edtSipUser", a.user);
    edtSipAuthUser = lineEdit("edtSipAuthUser", a.authUser != a.user ? a.authUser : QString());
    edtSipAuthUser->setPlaceholderText(tr("kao korisnik"));
    cbSipTransport = new QComboBox;
    cbSipTransport->setObjectName(QStringLiteral("cbSipTransport"));
    cbSipTransport->addItems({QStringLiteral("UDP"), QStringLiteral("TCP"), QStringLiteral("TLS")});
    cbSipTransport->setCurrentIndex(a.transport);
    edtSipPassword = lineEdit("edtSipPassword");
    edtSipPassword->setEchoMode(QLineEdit::Password);
    edtSipPassword->setPlaceholderText(account ? tr("prazno: ostaje spremljena") : QString());
    lblSipPassword = new QLabel;
    lblSipPassword->setObjectName(QStringLiteral("lblSipPassword"));
    lblSipPassword->setWordWrap(true);
    lblSipPassword->setTextFormat(Qt::PlainText);
    const QString file = SipConfig::load().passwords().file();
    const QString text = newPasswordRule(file.isEmpty() ? QStringLiteral("sip-passwords") : file);
    lblSipPassword->setText(text);
    if (account) {
        passwordPlace(a, lblSipPassword, [this, text](const QString &place) {
            lblSipPassword->setText(tr("Lozinka:  %1").arg(place) + QLatin1Char('\n') + text);
        });
    }

    auto *form = new QFormLayout;
    form->addRow(tr("Registrar:"), edtSipRegistrar);
    form->addRow(tr("Korisnik:"), edtSipUser);
    form->addRow(tr("Korisnik za prijavu:"), edtSipAuthUser);
    form->addRow(tr("Prijenos:"), cbSipTransport);
    form->addRow(tr("Lozinka:"), edtSipPassword);
    QDialogButtonBox *buttons = AcceptCancelButtons(this, tr("Snimi"), "btnSave", btnSave, btnCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(lblSipPassword);
    layout->addWidget(buttons);
    btnSave->setDefault(true);

    const auto fieldsChanged = [this] {
        SipAccount ignored;
        btnSave->setEnabled(fieldsAccount(&ignored));
    };
    for (QLineEdit *edit : {edtSipRegistrar, edtSipUser, edtSipAuthUser})
        connect(edit, &QLineEdit::textChanged, this, fieldsChanged);
    fieldsChanged();
}

void TfrmSipAccount::passwordPlace(const SipAccount &account, QObject *context,
                                   std::function<void(const QString &)> done)
{
    const SipConfig config = SipConfig::load();
    config.passwords().read(
        account.key(), context,
        [done, file = config.passwordFile](const telephony::LinePasswords::Answer &answer) {
            done(placeText(answer.store, file));
        });
}

QString TfrmSipAccount::placeText(telephony::PasswordStore store, const QString &file)
{
    switch (store) {
    case telephony::PasswordStore::Keyring:
        return tr("u privjesku ključeva");
    case telephony::PasswordStore::File:
        return tr("u datoteci %1").arg(file);
    case telephony::PasswordStore::Unsafe:
        return tr("datoteku %1 mogu čitati i drugi, ne koristi se").arg(file);
    case telephony::PasswordStore::None:
        break;
    }
    return tr("nije spremljena");
}

QString TfrmSipAccount::newPasswordRule(const QString &file)
{
    return tr("Nova lozinka sprema se u privjesak ključeva; gdje ga nema, u datoteku %1, koju smije "
              "čitati samo vlasnik.")
        .arg(file);
}

bool TfrmSipAccount::fieldsAccount(SipAccount *account) const
{
    const QString user = edtSipUser->text().trimmed();
    const QString authUser = edtSipAuthUser->text().trimmed();
    const QString registrar = edtSipRegistrar->text().trimmed();
    // Each field holds its own part alone: no separator of the configured form.
    for (const QString &field : {user, authUser, registrar}) {
        if (field.contains(QLatin1Char('@')) || field.contains(QLatin1Char(';')) ||
            field.contains(QLatin1Char(',')))
            return false;
    }
    if (user.contains(QLatin1Char(':')) || authUser.contains(QLatin1Char(':')))
        return false;
    const char *transports[] = {"udp", "tcp", "tls"};
    const QString text = user + (authUser.isEmpty() ? QString() : QLatin1Char(':') + authUser) +
                         QLatin1Char('@') + registrar + QStringLiteral(";transport=") +
                         QLatin1String(transports[cbSipTransport->currentIndex()]);
    return SipAccount::parse(text, account);
}

void TfrmSipAccount::accept()
{
    SipAccount account;
    if (!fieldsAccount(&account))
        return;
    QString error;
    if (!SipConfig::saveAccount(m_replacing, account, &error)) {
        ShowMessageDialog(tr("Greška"), tr("SIP račun nije moguće spremiti: %1").arg(error),
                          QMessageBox::Critical, QMessageBox::Ok, this);
        return;
    }
    m_replacing = account.lineName();
    m_saved = account;
    const QString password = edtSipPassword->text();
    if (!password.isEmpty()) {
        const telephony::LinePasswords::Answer answer =
            SipConfig::load().passwords().write(account.key(), password);
        if (answer.store == telephony::PasswordStore::None) {
            ShowMessageDialog(tr("Greška"), tr("Lozinku nije moguće spremiti: %1").arg(answer.error),
                              QMessageBox::Critical, QMessageBox::Ok, this);
            return;
        }
    }
    QDialog::accept();
}

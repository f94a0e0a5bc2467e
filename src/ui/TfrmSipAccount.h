#pragma once

#include "telephony/SipAccount.h"

#include <QDialog>

#include <functional>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The account of a SIP line, added or changed from the devices page: registrar, user,
// authentication user, transport and password. Saving writes the account into the modem
// configuration and the password where the line reads it (the keyring, else the password file)
// at once, as group sounds go to their file; the options window then chooses the line as any
// other.
class TfrmSipAccount : public QDialog
{
    Q_OBJECT
public:
    // ACCOUNT: the one to change; without one, a new account.
    explicit TfrmSipAccount(const std::optional<telephony::SipAccount> &account, QWidget *parent = nullptr);

    // The account as saved.
    telephony::SipAccount account() const { return m_saved; }
    void accept() override;

    // Where ACCOUNT's password is kept, in words for the window, told to DONE once the keyring
    // answered, unless CONTEXT is gone by then.
    static void passwordPlace(const telephony::SipAccount &account, QObject *context,
                              std::function<void(const QString &place)> done);
    // Where a password is kept, in words for the window; FILE is the password file. The call
    // sharing page says it the same way.
    static QString placeText(telephony::PasswordStore store, const QString &file);
    // Where a new password goes: the keyring, else FILE.
    static QString newPasswordRule(const QString &file);

private:
    // The account the fields give; false while they give none.
    bool fieldsAccount(telephony::SipAccount *account) const;

    QString m_replacing; // the line name of the account changed
    telephony::SipAccount m_saved;
    QLineEdit *edtSipRegistrar = nullptr;
    QLineEdit *edtSipUser = nullptr;
    QLineEdit *edtSipAuthUser = nullptr;
    QComboBox *cbSipTransport = nullptr;
    QLineEdit *edtSipPassword = nullptr;
    QLabel *lblSipPassword = nullptr;
    QPushButton *btnSave = nullptr;
    QPushButton *btnCancel = nullptr;
};

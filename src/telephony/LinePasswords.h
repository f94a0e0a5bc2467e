#pragma once

#include <QString>

#include <functional>

class QObject;

namespace telephony {

// Where a line's password is kept.
enum class PasswordStore
{
    None,
    Keyring,
    File,
    Unsafe, // a file others may read: not used
};

// The passwords of the SIP and MQTT accounts, each under "USER@HOST": in the desktop's keyring
// (the Secret Service, through QtKeychain) and, where no keyring runs or it does not answer, in a
// file of "USER@HOST PASSWORD" lines that only the user may read. A keyring entry wins over the
// file, so that a script's file stays usable beside the keyring.
class LinePasswords
{
public:
    enum Service
    {
        Sip,
        Mqtt
    };
    struct Answer
    {
        QString key; // the entry found: "@HOST" asks for the file's first entry for HOST
        QString password;
        PasswordStore store = PasswordStore::None;
        QString error; // why a store was passed over
    };
    // How long a caller waits for the keyring before it takes the file; a keyring that kept us
    // waiting (a locked one that prompts) is left alone for kQuietMs.
    static constexpr int kKeyringWaitMs = 3000;
    static constexpr int kQuietMs = 5 * 60 * 1000;

    LinePasswords(Service service, const QString &file) : m_service(service), m_file(file) {}

    // DONE is called on CONTEXT's thread, never inside this call, unless CONTEXT is gone first.
    void read(const QString &key, QObject *context, std::function<void(const Answer &)> done) const;
    // The same, waiting for the answer (events run meanwhile).
    Answer readNow(const QString &key) const;
    // PASSWORD under KEY in the keyring, taken out of the file; where no keyring answers, in the
    // file. An empty PASSWORD removes KEY from both. The answer tells where it went, or why it did
    // not (store None).
    Answer write(const QString &key, const QString &password) const;

    Answer readFile(const QString &key) const;
    // KEY's line of the file replaced (or removed for an empty PASSWORD), the other lines kept;
    // the file is made anew with mode 0600.
    bool writeFile(const QString &key, const QString &password, QString *error) const;

    QString file() const { return m_file; }

private:
    QString serviceName() const;
    Service m_service;
    QString m_file;
};

} // namespace telephony

#include "telephony/LinePasswords.h"

#include <qt6keychain/keychain.h>

#include <QDateTime>
#include <QEventLoop>
#include <QFile>
#include <QSaveFile>
#include <QTimer>

#include <memory>
#include <optional>

#include <sys/stat.h>
#include <unistd.h>

namespace telephony {

namespace {

constexpr qsizetype kMaxFileSize = 64 * 1024;

// Until when the keyring is passed over after it kept a caller waiting.
qint64 g_quietUntil = 0;

bool keyringUsable(const QString &key)
{
    return !key.startsWith(QLatin1Char('@')) && QDateTime::currentMSecsSinceEpoch() >= g_quietUntil;
}

void keyringKeptUsWaiting()
{
    g_quietUntil = QDateTime::currentMSecsSinceEpoch() + LinePasswords::kQuietMs;
}

// "USER@HOST PASSWORD": the key, or empty for a line that holds none.
QByteArray keyOf(const QByteArray &line)
{
    const qsizetype space = line.indexOf(' ');
    return space > 0 && line.left(space).lastIndexOf('@') >= 0 ? line.left(space) : QByteArray();
}

bool matches(const QByteArray &lineKey, const QString &key)
{
    if (lineKey.isEmpty())
        return false;
    if (key.startsWith(QLatin1Char('@'))) // any user of the host
        return QString::fromUtf8(lineKey.mid(lineKey.lastIndexOf('@'))).compare(key, Qt::CaseInsensitive) ==
               0;
    return QString::fromUtf8(lineKey).compare(key, Qt::CaseInsensitive) == 0;
}

// Runs JOB and waits for it at most the keyring's time; false when it did not finish.
bool runNow(QKeychain::Job *job)
{
    QEventLoop loop;
    bool finished = false;
    QObject::connect(job, &QKeychain::Job::finished, &loop, [&] {
        finished = true;
        loop.quit();
    });
    QTimer::singleShot(LinePasswords::kKeyringWaitMs, &loop, &QEventLoop::quit);
    job->start();
    if (!finished)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (!finished)
        keyringKeptUsWaiting();
    return finished;
}

} // namespace

QString LinePasswords::serviceName() const
{
    return m_service == Sip ? QStringLiteral("Tellwise Monitor SIP")
                            : QStringLiteral("Tellwise Monitor MQTT");
}

void LinePasswords::read(const QString &key, QObject *context, std::function<void(const Answer &)> done) const
{
    const LinePasswords self = *this;
    auto answered = std::make_shared<bool>(false);
    // The keyring's answer, or the file's when the keyring has no entry, fails or is silent.
    auto finish = [self, key, answered, done](const Answer *fromKeyring, const QString &keyringError) {
        if (std::exchange(*answered, true))
            return;
        if (fromKeyring)
            return done(*fromKeyring);
        Answer answer = self.readFile(key);
        if (answer.store == PasswordStore::None && answer.error.isEmpty())
            answer.error = keyringError;
        done(answer);
    };
    if (!keyringUsable(key)) {
        QTimer::singleShot(0, context, [finish] { finish(nullptr, {}); });
        return;
    }
    auto *job = new QKeychain::ReadPasswordJob(serviceName());
    job->setAutoDelete(true);
    job->setKey(key);
    // The job may finish inside start(); the answer is always handed on later.
    QObject::connect(job, &QKeychain::Job::finished, context, [context, finish, key](QKeychain::Job *j) {
        const auto *read = static_cast<QKeychain::ReadPasswordJob *>(j);
        const Answer answer{key, read->textData(), PasswordStore::Keyring, {}};
        const QKeychain::Error error = read->error();
        const QString text = error == QKeychain::EntryNotFound ? QString() : read->errorString();
        QTimer::singleShot(0, context, [finish, answer, error, text] {
            finish(error == QKeychain::NoError ? &answer : nullptr, text);
        });
    });
    QTimer::singleShot(kKeyringWaitMs, context, [finish, answered] {
        if (*answered)
            return;
        keyringKeptUsWaiting();
        finish(nullptr, QStringLiteral("the keyring does not answer"));
    });
    job->start();
}

LinePasswords::Answer LinePasswords::readNow(const QString &key) const
{
    if (!keyringUsable(key))
        return readFile(key); // no events run where only the file can answer
    QEventLoop loop;
    std::optional<Answer> answer;
    read(key, &loop, [&](const Answer &a) {
        answer = a;
        loop.quit();
    });
    // Bounded: the keyring's own time-out answers from the file.
    while (!answer)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    return *answer;
}

LinePasswords::Answer LinePasswords::write(const QString &key, const QString &password) const
{
    Answer answer{key, password, PasswordStore::None, {}};
    if (keyringUsable(key)) {
        QKeychain::Job *job = nullptr;
        if (password.isEmpty()) {
            job = new QKeychain::DeletePasswordJob(serviceName());
        } else {
            auto *writeJob = new QKeychain::WritePasswordJob(serviceName());
            writeJob->setTextData(password);
            job = writeJob;
        }
        job->setAutoDelete(false);
        job->setKey(key);
        const bool finished = runNow(job);
        const bool stored = finished && job->error() == QKeychain::NoError;
        answer.error = !finished ? QStringLiteral("the keyring does not answer")
                       : stored  ? QString()
                                 : job->errorString();
        if (finished)
            delete job;
        else
            job->setAutoDelete(true); // gone once the keyring answers after all
        if (stored && !password.isEmpty()) {
            // No older password stays behind in the file.
            QString ignored;
            if (QFile::exists(m_file))
                writeFile(key, {}, &ignored);
            answer.store = PasswordStore::Keyring;
            return answer;
        }
    }
    QString error;
    if (!writeFile(key, password, &error))
        answer.error = error;
    else if (!password.isEmpty())
        answer.store = PasswordStore::File;
    return answer;
}

LinePasswords::Answer LinePasswords::readFile(const QString &key) const
{
    Answer answer{key, {}, PasswordStore::None, {}};
    if (m_file.isEmpty())
        return answer;
    QFile file(m_file);
    if (!file.open(QIODevice::ReadOnly)) {
        answer.error = QStringLiteral("%1: %2").arg(m_file, file.errorString());
        return answer;
    }
    // A password others can read is no secret: such a file is not used at all.
    struct stat st = {};
    if (::fstat(file.handle(), &st) != 0 || (st.st_mode & (S_IRWXG | S_IRWXO)) != 0 ||
        st.st_uid != ::geteuid()) {
        answer.error = QStringLiteral("%1 may be read by others than its owner").arg(m_file);
        answer.store = PasswordStore::Unsafe;
        return answer;
    }
    for (const QByteArray &raw : file.read(kMaxFileSize).split('\n')) {
        const QByteArray line = raw.trimmed();
        const QByteArray lineKey = keyOf(line);
        if (matches(lineKey, key)) {
            answer.key = QString::fromUtf8(lineKey);
            answer.password = QString::fromUtf8(line.mid(lineKey.size() + 1).trimmed());
            answer.store = PasswordStore::File;
            break;
        }
    }
    return answer;
}

bool LinePasswords::writeFile(const QString &key, const QString &password, QString *error) const
{
    if (m_file.isEmpty()) {
        *error = QStringLiteral("no password file is configured");
        return false;
    }
    if (key.startsWith(QLatin1Char('@')) || key.contains(QLatin1Char(' ')) ||
        password.contains(QLatin1Char('\n')) || password.contains(QLatin1Char('\r')) ||
        password.trimmed() != password) {
        *error = QStringLiteral("a password file cannot hold this password");
        return false;
    }
    QByteArray text;
    QFile old(m_file);
    if (old.open(QIODevice::ReadOnly)) {
        if (old.size() > kMaxFileSize) {
            *error = QStringLiteral("%1 is too large").arg(m_file);
            return false;
        }
        text = old.readAll();
    } else if (old.exists()) {
        *error = QStringLiteral("%1: %2").arg(m_file, old.errorString());
        return false;
    } else if (password.isEmpty()) {
        return true;
    }
    QByteArray rewritten;
    bool written = password.isEmpty();
    const QByteArray entry = key.toUtf8() + ' ' + password.toUtf8() + '\n';
    for (const QByteArray &line : text.split('\n')) {
        if (matches(keyOf(line.trimmed()), key)) {
            if (!std::exchange(written, true))
                rewritten += entry;
        } else if (!line.isEmpty()) {
            rewritten += line + '\n';
        }
    }
    if (!written)
        rewritten += entry;
    QSaveFile file(m_file);
    file.setDirectWriteFallback(false);
    // Only the user may read it before anything is in it.
    if (!file.open(QIODevice::WriteOnly) || ::fchmod(file.handle(), S_IRUSR | S_IWUSR) != 0 ||
        file.write(rewritten) != rewritten.size() || !file.commit()) {
        *error = QStringLiteral("%1: %2").arg(m_file, file.errorString());
        return false;
    }
    return true;
}

} // namespace telephony

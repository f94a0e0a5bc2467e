#include "speech/TSpVoice.h"

#include "platform/SoundPlayer.h"

#include <QThread>

#include <libspeechd.h>

#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdlib>
#include <deque>
#include <fcntl.h>
#include <functional>
#include <future>
#include <mutex>
#include <optional>
#include <poll.h>
#include <pthread.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// How long the window thread waits for the daemon. A daemon that died answers at once (its
// socket reports the end); the bound is for one that hangs without answering.
constexpr std::chrono::milliseconds kReplyWait{1500};
// Starting the user's daemon when none runs takes longer (about 0.2 s on a quiet machine).
constexpr std::chrono::milliseconds kConnectWait{3000};
// How long closing a connection waits for its thread, which is idle or has just had its socket
// shut down.
constexpr std::chrono::milliseconds kStopWait{200};
// The waits between tries to open a lost connection again, as for a lost telephone line.
constexpr int kFirstRetry = 2000;
constexpr int kLastRetry = 60000;

} // namespace

QString SpVoiceToken::GetDescription() const
{
    return language.isEmpty() ? name : name + QLatin1String(" (") + language + QLatin1Char(')');
}

// libspeechd waits for the daemon's answers without a time limit, and writes with write(), so a
// daemon that died would end the program with SIGPIPE. Every call therefore runs on a thread of
// the connection's own, with SIGPIPE blocked there, and the window thread waits a bounded time.
// A call that hangs is ended by shutting the socket down through a second descriptor of it.
// The thread is the connection's: closing the connection stops it and waits for it.
struct TSpVoice::Connection
{
    struct Shared
    {
        std::mutex mutex;
        std::condition_variable changed;
        std::deque<std::function<void()>> jobs;
        bool quit = false;
        SPDConnection *spd = nullptr; // used on the connection's thread only
        int watch = -1;
        std::atomic<bool> broken{false};
    };
    std::shared_ptr<Shared> shared;
    std::unique_ptr<QThread> thread;
    bool open = false;
    // Valid while an opening is under way: its result.
    std::shared_future<bool> opening;
    // The last call failed because the daemon did not answer in time.
    bool stalled = false;

    static void run(const std::shared_ptr<Shared> &s)
    {
        sigset_t pipe;
        sigemptyset(&pipe);
        sigaddset(&pipe, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
        for (;;) {
            std::function<void()> job;
            {
                std::unique_lock lock(s->mutex);
                s->changed.wait(lock, [&] { return !s->jobs.empty() || s->quit; });
                if (s->jobs.empty())
                    break;
                job = std::move(s->jobs.front());
                s->jobs.pop_front();
            }
            job();
        }
        if (s->spd)
            spd_close(s->spd);
        std::lock_guard lock(s->mutex);
        if (s->watch >= 0)
            ::close(s->watch);
        s->watch = -1;
    }

    void start()
    {
        shared = std::make_shared<Shared>();
        thread.reset(QThread::create([s = shared] { run(s); }));
        thread->start();
        stalled = false;
    }

    void post(std::function<void()> job)
    {
        std::lock_guard lock(shared->mutex);
        shared->jobs.push_back(std::move(job));
        shared->changed.notify_all();
    }

    void stop()
    {
        if (shared) {
            std::lock_guard lock(shared->mutex);
            shared->quit = true;
            shared->changed.notify_all();
        }
        // A call that ran out of time had its socket shut down and returns at once. Only the
        // library's opening of a connection to a daemon that accepts it and never answers
        // cannot be cut short: that thread ends when the library gives up, and is let go.
        if (thread && !thread->wait(QDeadlineTimer(kStopWait)))
            (void)thread.release();
        thread.reset();
        shared.reset();
        open = false;
        opening = {};
    }

    // The daemon closed the connection (it ended or was killed): the socket reads as ended. An
    // idle connection has nothing to read, as no notifications are asked for.
    static bool peerGone(const SPDConnection *spd)
    {
        if (!spd->stream)
            return true;
        pollfd p{spd->socket, POLLIN, 0};
        return ::poll(&p, 1, 0) != 0;
    }

    // Runs F with the connection on its thread; nothing when the connection is (or turns out)
    // broken or the daemon does not answer in time.
    template <typename R>
    std::optional<R> call(std::function<R(SPDConnection *)> f, std::chrono::milliseconds wait = kReplyWait)
    {
        if (!shared)
            return std::nullopt;
        auto promise = std::make_shared<std::promise<std::optional<R>>>();
        std::future<std::optional<R>> result = promise->get_future();
        post([s = shared, promise, f = std::move(f)] {
            if (s->spd && peerGone(s->spd)) {
                s->broken = true;
                promise->set_value(std::nullopt);
                return;
            }
            R value = f(s->spd);
            if (s->spd && !s->spd->stream)
                s->broken = true;
            promise->set_value(s->broken ? std::nullopt : std::optional<R>(std::move(value)));
        });
        if (result.wait_for(wait) != std::future_status::ready) {
            std::lock_guard lock(shared->mutex);
            if (shared->watch >= 0)
                ::shutdown(shared->watch, SHUT_RDWR);
            shared->broken = true;
            stalled = true;
        }
        if (shared->broken) {
            stop();
            return std::nullopt;
        }
        return result.get();
    }
};

// The connection's thread tells the window thread that an opening ended, unless the voice is
// gone by then.
struct TSpVoice::Owner
{
    std::mutex mutex;
    TSpVoice *voice = nullptr;
    quint64 attempt = 0; // window thread only

    void opened(quint64 which)
    {
        std::lock_guard lock(mutex);
        if (voice)
            QMetaObject::invokeMethod(
                voice,
                [v = voice, which] {
                    if (which == v->m_owner->attempt)
                        v->finishOpening();
                },
                Qt::QueuedConnection);
    }
};

TSpVoice::TSpVoice(QObject *parent)
    : QObject(parent), m_connection(std::make_unique<Connection>()), m_owner(std::make_shared<Owner>()),
      m_retryDelay(kFirstRetry)
{
    m_owner->voice = this;
    m_retry.setSingleShot(true);
    connect(&m_retry, &QTimer::timeout, this, [this] {
        if (!m_connection->open && !m_connection->opening.valid())
            startOpening();
    });
}

TSpVoice::~TSpVoice()
{
    {
        std::lock_guard lock(m_owner->mutex);
        m_owner->voice = nullptr;
    }
    Disconnect();
}

bool TSpVoice::Connect()
{
    return open(kConnectWait);
}

void TSpVoice::Disconnect()
{
    m_retry.stop();
    m_retryDelay = kFirstRetry;
    ++m_owner->attempt;
    m_connection->stop();
}

bool TSpVoice::connected() const
{
    return m_connection->open;
}

// Opens a connection unless one is open, waiting up to WAIT. An opening still under way from
// earlier is not waited for again: that daemon is slow, and the caller has other ways to speak.
bool TSpVoice::open(std::chrono::milliseconds wait)
{
    if (m_connection->open)
        return true;
    if (!m_connection->opening.valid()) {
        startOpening();
        m_connection->opening.wait_for(wait);
    }
    finishOpening();
    return m_connection->open;
}

void TSpVoice::startOpening()
{
    m_connection->stop();
    m_connection->start();
    // As the desktop's own clients do: the running daemon, or a new one started for the user.
    // Tests turn the start off.
    const bool spawn = qEnvironmentVariable("TELLWISE_SPEECHD_AUTOSPAWN") != QLatin1String("0");
    auto promise = std::make_shared<std::promise<bool>>();
    m_connection->opening = promise->get_future().share();
    m_connection->post([s = m_connection->shared, spawn, promise, owner = m_owner, which = ++m_owner->attempt,
                        voice = m_voiceName] {
        // The library writes its error text through this pointer without checking it.
        char *error = nullptr;
        SPDConnection *spd =
            spd_open2("tellwise-monitor", "main", nullptr, SPD_MODE_SINGLE, nullptr, spawn ? 1 : 0, &error);
        std::free(error);
        if (spd) {
            {
                std::lock_guard lock(s->mutex);
                s->spd = spd;
                s->watch = ::fcntl(spd->socket, F_DUPFD_CLOEXEC, 0);
            }
            if (!voice.isEmpty())
                spd_set_synthesis_voice(spd, voice.constData());
        }
        promise->set_value(spd && spd->stream);
        owner->opened(which);
    });
}

// Takes the result of an opening that has ended.
void TSpVoice::finishOpening()
{
    std::shared_future<bool> &opening = m_connection->opening;
    if (!opening.valid() || opening.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
        return;
    if (opening.get()) {
        opening = {};
        m_connection->open = true;
        m_retry.stop();
        m_retryDelay = kFirstRetry;
        emit connectedChanged(true);
    } else {
        m_connection->stop();
        scheduleRetry();
    }
}

// A call found the connection broken and closed it.
void TSpVoice::checkLost()
{
    if (m_connection->open)
        return;
    emit connectedChanged(false);
    scheduleRetry();
}

void TSpVoice::scheduleRetry()
{
    if (m_retry.isActive())
        return;
    m_retry.start(m_retryDelay);
    m_retryDelay = qMin(2 * m_retryDelay, kLastRetry);
}

QList<SpVoiceToken> TSpVoice::GetVoices()
{
    // The list is read with the plain command: spd_list_synthesis_voices reads a reply that is
    // not there when the daemon goes away during the call, and crashes.
    // The first list also starts the daemon's synthesis module, which takes as long as a start.
    if (!open(kReplyWait))
        return {};
    const std::optional<QByteArray> reply = m_connection->call<QByteArray>(
        [](SPDConnection *spd) {
            char *text = nullptr;
            QByteArray result;
            if (spd_execute_command_with_reply(spd, "LIST SYNTHESIS_VOICES", &text) == 0 && text)
                result = text;
            std::free(text);
            return result;
        },
        kConnectWait);
    QList<SpVoiceToken> voices;
    if (!reply) {
        checkLost();
        return voices;
    }
    // "249-NAME\tLANGUAGE\tVARIANT" lines, then the final "249 OK ..." line.
    for (const QByteArray &line : reply->split('\n')) {
        if (line.size() < 5 || line.at(3) != '-')
            continue;
        const QList<QByteArray> fields = line.mid(4).trimmed().split('\t');
        SpVoiceToken voice;
        voice.name = QString::fromUtf8(fields.value(0));
        voice.language = QString::fromUtf8(fields.value(1));
        voice.variant = QString::fromUtf8(fields.value(2));
        if (!voice.name.isEmpty())
            voices << voice;
    }
    return voices;
}

bool TSpVoice::setVoice(const SpVoiceToken &voice)
{
    m_voiceName = voice.name.toUtf8();
    if (!open(kReplyWait))
        return false;
    const std::optional<bool> set = m_connection->call<bool>([name = m_voiceName](SPDConnection *spd) {
        return spd_set_synthesis_voice(spd, name.constData()) == 0;
    });
    if (!set)
        checkLost();
    return set.value_or(false);
}

bool TSpVoice::Speak(const QString &text, int flags)
{
    Q_UNUSED(flags); // the daemon queues every text and answers at once: always asynchronous
    const QByteArray utf8 = text.toUtf8();
    // A daemon that was restarted is found gone at once, and the text goes to the new one. One
    // that did not answer in time is not waited for twice.
    for (int tries = 0; tries < 2; ++tries) {
        if (!open(kReplyWait))
            return false;
        if (SoundPlayer::recordSpeech(text))
            return true;
        // Priority "message": texts of the same priority queue behind each other.
        const std::optional<bool> said = m_connection->call<bool>(
            [utf8](SPDConnection *spd) { return spd_say(spd, SPD_MESSAGE, utf8.constData()) >= 0; });
        if (said)
            return *said;
        const bool stalled = m_connection->stalled;
        checkLost();
        if (stalled)
            return false;
    }
    return false;
}

#include "app/SoundPlay.h"

#include "platform/SoundPlayer.h"

#include <QDeadlineTimer>

#include <atomic>
#include <mutex>

namespace {

std::atomic<int> g_running{0};

// Sounds are numbered in the order they were started on the main thread. A thread that the
// system schedules late must not cut short a sound that was started after it: the ring step
// and the identified step of an ISDN call start their threads within a millisecond, and the
// caller's own sound has to win.
std::atomic<quint64> g_lastTicket{0};
std::mutex g_playOrder;
quint64 g_newestPlaying = 0;

bool takeTurn(quint64 ticket)
{
    std::lock_guard lock(g_playOrder);
    if (ticket < g_newestPlaying)
        return false;
    g_newestPlaying = ticket;
    return true;
}

bool isNewest(quint64 ticket)
{
    std::lock_guard lock(g_playOrder);
    return ticket == g_newestPlaying;
}

// Every thread started so far is now older than the newest sound: none plays again.
void retireAll()
{
    std::lock_guard lock(g_playOrder);
    g_newestPlaying = ++g_lastTicket;
}

} // namespace

TSoundPlay::TSoundPlay(QString fileName) : m_fileName(std::move(fileName)), m_ticket(++g_lastTicket)
{
    ++g_running;
    // The thread object lives on the starting (main) thread; it is deleted there once the
    // sound has ended.
    connect(this, &QThread::finished, this, &QObject::deleteLater);
}

TSoundPlay::~TSoundPlay()
{
    wait();
}

void TSoundPlay::start(const QString &fileName)
{
    auto *thread = new TSoundPlay(fileName);
    thread->QThread::start();
}

int TSoundPlay::runningCount()
{
    return g_running.load();
}

bool TSoundPlay::stopAll(int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    // Again and again: a thread that was just starting may begin its sound after a stop.
    retireAll();
    while (g_running.load() > 0 && !deadline.hasExpired()) {
        SoundPlayer::stopAll();
        QThread::msleep(5);
    }
    return g_running.load() == 0;
}

void TSoundPlay::run()
{
    // A file that plays nothing takes no turn, so it leaves an earlier sound playing.
    if (!isInterruptionRequested() && IsWaveFile(m_fileName) && takeTurn(m_ticket)) {
        // An older thread that took its turn first may still reach the sound output after us
        // and cut our sound short; then we are still the newest and play once more, which
        // ends the older sound. Cut short by a newer sound, we are done.
        if (!SoundPlayer::play(m_fileName) && !isInterruptionRequested() && isNewest(m_ticket))
            SoundPlayer::play(m_fileName);
    }
    --g_running;
}

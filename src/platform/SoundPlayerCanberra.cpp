#include "platform/SoundSink.h"

#include <QFile>
#include <QFileInfo>

#include <canberra.h>

#include <condition_variable>
#include <mutex>

namespace {

// libcanberra plays event sounds through whatever the desktop uses (PulseAudio, PipeWire or
// ALSA), decodes the wave file itself and can cancel a sound by its id, which is exactly the
// "newer sound replaces the playing one" behaviour we need.
class CanberraSink : public SoundSink
{
public:
    ~CanberraSink() override
    {
        if (m_context)
            ca_context_destroy(m_context);
    }

    bool play(const QString &fileName) override { return playOn(m_ring, fileName); }
    void stopAll() override { stop(m_ring); }
    bool playSpeech(const QString &fileName) override { return playOn(m_speech, fileName); }
    void stopSpeech() override { stop(m_speech); }

private:
    // Ring sounds and spoken names announce a caller: both play in the notification role, which
    // a desktop's muted system sounds (the event role) do not silence; the phone role would also
    // carry them off to a headset. Each channel has one sound at a time, so neither cuts the other.
    struct Channel
    {
        const char *role;
        std::uint32_t current = 0;
    };

    struct Finish
    {
        std::mutex mutex;
        std::condition_variable changed;
        bool done = false;
        int error = CA_SUCCESS;
    };

    // Runs on a thread of libcanberra; it may only signal.
    static void finished(ca_context *, std::uint32_t, int error, void *data)
    {
        auto *finish = static_cast<Finish *>(data);
        std::lock_guard lock(finish->mutex);
        finish->error = error;
        finish->done = true;
        finish->changed.notify_all();
    }

    bool openContext()
    {
        if (m_context)
            return true;
        if (ca_context_create(&m_context) != CA_SUCCESS) {
            m_context = nullptr;
            return false;
        }
        ca_context_change_props(m_context, CA_PROP_APPLICATION_NAME, "Tellwise Monitor",
                                CA_PROP_APPLICATION_ID, "tellwise-monitor", nullptr);
        if (ca_context_open(m_context) != CA_SUCCESS) {
            // No sound output now; try again with the next sound, a device may appear.
            ca_context_destroy(m_context);
            m_context = nullptr;
            return false;
        }
        return true;
    }

    void cancelCurrent(Channel &channel)
    {
        if (m_context && channel.current != 0)
            ca_context_cancel(m_context, channel.current);
        channel.current = 0;
    }

    void stop(Channel &channel)
    {
        std::lock_guard lock(m_startMutex);
        cancelCurrent(channel);
    }

    bool playOn(Channel &channel, const QString &fileName)
    {
        Finish finish;
        std::uint32_t id = 0;
        {
            std::lock_guard lock(m_startMutex);
            cancelCurrent(channel);
            if (!QFileInfo(fileName).isFile() || !openContext())
                return false;
            id = ++m_lastId;
            ca_proplist *props = nullptr;
            if (ca_proplist_create(&props) != CA_SUCCESS)
                return false;
            const QByteArray path = QFile::encodeName(QFileInfo(fileName).absoluteFilePath());
            ca_proplist_sets(props, CA_PROP_MEDIA_FILENAME, path.constData());
            ca_proplist_sets(props, CA_PROP_MEDIA_ROLE, channel.role);
            ca_proplist_sets(props, CA_PROP_CANBERRA_CACHE_CONTROL, "never");
            const int rc = ca_context_play_full(m_context, id, props, &CanberraSink::finished, &finish);
            ca_proplist_destroy(props);
            if (rc != CA_SUCCESS)
                return false;
            channel.current = id;
        }
        std::unique_lock wait(finish.mutex);
        finish.changed.wait(wait, [&] { return finish.done; });
        wait.unlock();
        {
            std::lock_guard lock(m_startMutex);
            if (channel.current == id)
                channel.current = 0;
        }
        return finish.error == CA_SUCCESS;
    }

    std::mutex m_startMutex; // guards the context, the ids and the start of a sound
    ca_context *m_context = nullptr;
    std::uint32_t m_lastId = 0;
    Channel m_ring{"notification"};
    Channel m_speech{"notification"};
};

} // namespace

std::unique_ptr<SoundSink> createSystemSoundSink()
{
    return std::make_unique<CanberraSink>();
}

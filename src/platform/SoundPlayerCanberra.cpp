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

    bool play(const QString &fileName) override
    {
        Finish finish;
        std::uint32_t id = 0;
        {
            std::lock_guard lock(m_startMutex);
            cancelCurrent();
            if (!QFileInfo(fileName).isFile() || !openContext())
                return false;
            id = ++m_lastId;
            ca_proplist *props = nullptr;
            if (ca_proplist_create(&props) != CA_SUCCESS)
                return false;
            const QByteArray path = QFile::encodeName(QFileInfo(fileName).absoluteFilePath());
            ca_proplist_sets(props, CA_PROP_MEDIA_FILENAME, path.constData());
            ca_proplist_sets(props, CA_PROP_MEDIA_ROLE, "event");
            ca_proplist_sets(props, CA_PROP_CANBERRA_CACHE_CONTROL, "never");
            const int rc = ca_context_play_full(m_context, id, props, &CanberraSink::finished, &finish);
            ca_proplist_destroy(props);
            if (rc != CA_SUCCESS)
                return false;
            m_current = id;
        }
        std::unique_lock wait(finish.mutex);
        finish.changed.wait(wait, [&] { return finish.done; });
        wait.unlock();
        {
            std::lock_guard lock(m_startMutex);
            if (m_current == id)
                m_current = 0;
        }
        return finish.error == CA_SUCCESS;
    }

    void stopAll() override
    {
        std::lock_guard lock(m_startMutex);
        cancelCurrent();
    }

private:
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

    void cancelCurrent()
    {
        if (m_context && m_current != 0)
            ca_context_cancel(m_context, m_current);
        m_current = 0;
    }

    std::mutex m_startMutex; // guards the context, the ids and the start of a sound
    ca_context *m_context = nullptr;
    std::uint32_t m_lastId = 0;
    std::uint32_t m_current = 0;
};

} // namespace

std::unique_ptr<SoundSink> createSystemSoundSink()
{
    return std::make_unique<CanberraSink>();
}

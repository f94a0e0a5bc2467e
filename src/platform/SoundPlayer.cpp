#include "platform/SoundPlayer.h"

#include "platform/SoundSink.h"
#include "platform/WaveFile.h"

#include <QFile>

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace {

// Plays nothing and hears nothing: the whole program runs as if there were no sound card.
class SilentSink : public SoundSink
{
public:
    bool play(const QString &) override { return false; }
    void stopAll() override {}
};

// Stands in for a sound card in tests: notes which file each sound would play and takes as
// long as that file's sound, so cutting one sound short by the next behaves as on a desktop.
class RecordingSink : public SoundSink
{
public:
    explicit RecordingSink(QString logFile) : m_logFile(std::move(logFile)) {}

    bool play(const QString &fileName) override
    {
        std::unique_lock lock(m_mutex);
        const quint64 mine = ++m_generation;
        m_changed.notify_all();
        const std::optional<WaveInfo> wave = ReadWaveInfo(fileName);
        if (!wave)
            return false;
        appendLine(fileName);
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(wave->durationMs());
        const bool cut = m_changed.wait_until(lock, end, [&] { return m_generation != mine; });
        return !cut;
    }

    void stopAll() override
    {
        std::lock_guard lock(m_mutex);
        ++m_generation;
        m_changed.notify_all();
    }

    bool recordSpeech(const QString &text) override
    {
        std::lock_guard lock(m_mutex);
        QString line = text;
        line.replace(QLatin1Char('\\'), QLatin1String("\\\\"))
            .replace(QLatin1Char('\r'), QLatin1String("\\r"))
            .replace(QLatin1Char('\n'), QLatin1String("\\n"));
        appendLine(QLatin1String("speak: ") + line);
        return true;
    }

private:
    void appendLine(const QString &fileName)
    {
        QFile log(m_logFile);
        if (!log.open(QIODevice::WriteOnly | QIODevice::Append))
            qWarning("cannot write the sound log %s", qPrintable(m_logFile));
        else
            log.write(fileName.toUtf8() + '\n');
    }

    QString m_logFile;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    quint64 m_generation = 0;
};

SoundSink *createSink()
{
    const QString choice = qEnvironmentVariable("TELLWISE_SOUND_SINK");
    if (choice.startsWith(QLatin1String("record:")))
        return new RecordingSink(choice.mid(7));
    if (choice == QLatin1String("none"))
        return new SilentSink;
    if (!choice.isEmpty() && choice != QLatin1String("system"))
        qWarning("unknown TELLWISE_SOUND_SINK '%s', using the system sound", qPrintable(choice));
    return createSystemSoundSink().release();
}

SoundSink &sink()
{
    // Never destroyed: sound threads may still be inside play() while the program exits.
    static SoundSink *const instance = createSink();
    return *instance;
}

} // namespace

namespace SoundPlayer {

bool play(const QString &fileName)
{
    return sink().play(fileName);
}

void stopAll()
{
    sink().stopAll();
}

bool recordSpeech(const QString &text)
{
    return sink().recordSpeech(text);
}

bool playSpeech(const QString &fileName)
{
    return sink().playSpeech(fileName);
}

void stopSpeech()
{
    sink().stopSpeech();
}

} // namespace SoundPlayer

#include "speech/TMSpeech.h"

#include "platform/SoundPlayer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>
#include <QThread>
#include <QTimer>
#include <QtEndian>

#include <espeak-ng/speak_lib.h>

#include <atomic>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <functional>
#include <mutex>
#include <vector>

namespace {

struct VoiceEntry
{
    QString name;
    QByteArray identifier; // the voice file under espeak-ng-data/voices, also accepted as a name
    QString language;
    // Every language the voice speaks, with eSpeak's priority (smaller is better).
    std::vector<std::pair<QString, int>> languages;
    int gender = 0; // 0 none, 1 male, 2 female
    int age = 0;
};

// A word or phoneme eSpeak reported, at its place in the audio.
struct Mark
{
    int ms = 0;
    bool word = false;
    std::uint32_t position = 0;
    TTSMouth mouth;
};
using Marks = std::vector<Mark>;

// One Speak, handed from the window thread to the synthesis thread. The hooks post to the
// component's own thread and do nothing once the component is gone.
struct SpeechJob
{
    QByteArray text;
    QByteArray voice;
    bool toFile = false;
    QString fileName;
    std::function<bool()> wanted;
    std::function<void(Marks paced)> started;
    // ENDED: the audio ran to its end (not cut short), so every word of it was heard.
    std::function<void(Marks immediate, bool ended)> stopped;
    // A spoken text that could not be played: no voice, no synthesis or no sound output.
    std::function<void()> failed;
};

// A rough mouth for an eSpeak phoneme mnemonic: closed for pauses, shut lips for p/b/m, teeth
// on the lip for f/v, open for the vowels (wide, spread or rounded).
TTSMouth mouthFor(const char *phoneme)
{
    TTSMouth m;
    const char c = phoneme[0];
    auto is = [c](const char *set) { return c != '\0' && std::strchr(set, c) != nullptr; };
    if (c == '\0' || c == '_')
        return m;
    if (is("pbm")) {
        m.MouthWidth = 110;
        m.LipTension = 200;
    } else if (is("fv")) {
        m.MouthWidth = 120;
        m.MouthHeight = 30;
        m.JawOpen = 20;
        m.TeethUpperVisible = 200;
    } else if (is("aA&V")) {
        m.MouthWidth = 150;
        m.MouthHeight = 200;
        m.JawOpen = 200;
        m.TeethUpperVisible = 80;
    } else if (is("eEiI3@")) {
        m.MouthWidth = 200;
        m.MouthHeight = 90;
        m.MouthUpturn = 150;
        m.JawOpen = 90;
        m.TeethUpperVisible = 150;
        m.TeethLowerVisible = 100;
    } else if (is("oOuUw")) {
        m.MouthWidth = 60;
        m.MouthHeight = 150;
        m.JawOpen = 100;
        m.LipTension = 150;
    } else {
        m.MouthWidth = 120;
        m.MouthHeight = 50;
        m.JawOpen = 50;
        m.TeethUpperVisible = 100;
        m.TeethLowerVisible = 100;
        m.TonguePosn = 150;
    }
    return m;
}

QByteArray waveHeader(int sampleRate, std::uint32_t dataBytes)
{
    QByteArray h(44, '\0');
    char *p = h.data();
    std::memcpy(p, "RIFF", 4);
    qToLittleEndian<quint32>(36 + dataBytes, p + 4);
    std::memcpy(p + 8, "WAVEfmt ", 8);
    qToLittleEndian<quint32>(16, p + 16);
    qToLittleEndian<quint16>(1, p + 20); // PCM
    qToLittleEndian<quint16>(1, p + 22); // mono
    qToLittleEndian<quint32>(quint32(sampleRate), p + 24);
    qToLittleEndian<quint32>(quint32(sampleRate) * 2, p + 28);
    qToLittleEndian<quint16>(2, p + 32);
    qToLittleEndian<quint16>(16, p + 34);
    std::memcpy(p + 36, "data", 4);
    qToLittleEndian<quint32>(dataBytes, p + 40);
    return h;
}

// What one synthesis produces; filled by eSpeak's callback on the synthesis thread.
struct Render
{
    QByteArray pcm; // 16-bit little-endian samples
    Marks marks;
    std::function<bool()> wanted;
    std::function<void()> firstSamples;
    bool started = false;
};
Render *g_render = nullptr; // only the synthesis thread synthesises

int synthCallback(short *wav, int count, espeak_EVENT *events)
{
    Render &r = *g_render;
    if (wav && count > 0) {
        if (!r.started) {
            r.started = true;
            if (r.firstSamples)
                r.firstSamples();
        }
        const qsizetype at = r.pcm.size();
        r.pcm.resize(at + qsizetype(count) * 2);
        qToLittleEndian<qint16>(wav, count, r.pcm.data() + at);
    }
    for (; events && events->type != espeakEVENT_LIST_TERMINATED; ++events) {
        Mark mark;
        mark.ms = events->audio_position;
        if (events->type == espeakEVENT_WORD) {
            mark.word = true;
            // eSpeak counts characters from 1
            mark.position = std::uint32_t(qMax(0, events->text_position - 1));
        } else if (events->type == espeakEVENT_PHONEME) {
            char name[9] = {};
            std::memcpy(name, events->id.string, 8);
            mark.mouth = mouthFor(name);
        } else {
            continue;
        }
        r.marks.push_back(mark);
    }
    return r.wanted() ? 0 : 1;
}

// What eSpeak NG says about itself once it is initialised. It keeps its whole state in globals,
// so the process initialises it once and never ends it.
struct EspeakData
{
    bool ok = false;
    QString version;
    std::vector<VoiceEntry> voices;
    int sampleRate = 0;
    // The pitch and rate ranges as eSpeak's parameters report them; they are the same for
    // every voice.
    std::uint16_t pitchHigh = 0, pitchLow = 0;
    std::uint32_t speedHigh = 0, speedLow = 0;

    static const EspeakData &instance()
    {
        static const EspeakData data = initialise();
        return data;
    }

private:
    static EspeakData initialise()
    {
        EspeakData d;
        // Without DONT_EXIT eSpeak ends the process when its data is missing; with it the sample
        // rate stays 0.
        d.sampleRate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr,
                                         espeakINITIALIZE_PHONEME_EVENTS | espeakINITIALIZE_DONT_EXIT);
        if (d.sampleRate <= 0)
            return d;
        espeak_SetSynthCallback(synthCallback);
        d.version = QString::fromUtf8(espeak_Info(nullptr));
        const espeak_VOICE **list = espeak_ListVoices(nullptr);
        for (int i = 0; list && list[i]; ++i) {
            const espeak_VOICE *v = list[i];
            // languages: a priority byte, then the name, for each language
            const char *language = v->languages && v->languages[0] ? v->languages + 1 : "";
            VoiceEntry entry{QString::fromUtf8(v->name),
                             QByteArray(v->identifier),
                             QString::fromUtf8(language),
                             {},
                             v->gender,
                             v->age};
            for (const char *l = v->languages; l && l[0]; l += std::strlen(l + 1) + 2)
                entry.languages.emplace_back(QString::fromUtf8(l + 1), int(l[0]));
            d.voices.push_back(std::move(entry));
        }
        const auto [ph, pl] = probe(espeakPITCH, 65535);
        d.pitchHigh = std::uint16_t(ph);
        d.pitchLow = std::uint16_t(pl);
        std::tie(d.speedHigh, d.speedLow) = probe(espeakRATE, -1);
        d.ok = true;
        return d;
    }

    // Reads a parameter's current value, sets the highest and reads it back, sets 0 and reads it
    // back, then puts the current value back.
    static std::pair<std::uint32_t, std::uint32_t> probe(espeak_PARAMETER parameter, int highest)
    {
        const int current = espeak_GetParameter(parameter, 1);
        espeak_SetParameter(parameter, highest, 0);
        const auto high = std::uint32_t(espeak_GetParameter(parameter, 1));
        espeak_SetParameter(parameter, 0, 0);
        const auto low = std::uint32_t(espeak_GetParameter(parameter, 1));
        espeak_SetParameter(parameter, current, 0);
        return {high, low};
    }
};

// The engine the living components share: one at a time, as eSpeak is one. It owns two threads:
// one synthesises, the other plays what was rendered, in order: a newer text waits for the one
// sounding, and is synthesised meanwhile. The last component to go takes it with it: the
// threads are stopped and joined, and what still sounds is cut short.
class EspeakHost
{
public:
    static std::shared_ptr<EspeakHost> acquire()
    {
        static std::mutex mutex;
        static std::weak_ptr<EspeakHost> shared;
        std::lock_guard lock(mutex);
        std::shared_ptr<EspeakHost> host = shared.lock();
        if (!host) {
            host.reset(new EspeakHost);
            shared = host;
        }
        return host;
    }

    ~EspeakHost()
    {
        {
            std::lock_guard lock(m_jobMutex);
            m_quit = true;
            m_jobAdded.notify_all();
        }
        // A synthesis under way ends at its next samples: no component wants it any more.
        m_synthesis->wait();
        {
            std::unique_lock lock(m_playMutex);
            m_playQuit = true;
            m_playChanged.notify_all();
            while (m_playing) {
                lock.unlock();
                SoundPlayer::stopSpeech();
                lock.lock();
                m_playChanged.wait_for(lock, std::chrono::milliseconds(5), [&] { return !m_playing; });
            }
            for (const Playback &p : m_pending)
                QFile::remove(p.file);
        }
        m_player->wait();
    }

    void post(std::function<void()> job)
    {
        std::lock_guard lock(m_jobMutex);
        m_jobs.push_back(std::move(job));
        m_jobAdded.notify_one();
    }

    // Synthesis thread only.
    bool useVoice(const QByteArray &identifier)
    {
        if (identifier == m_currentVoice)
            return true;
        if (espeak_SetVoiceByName(identifier.constData()) != EE_OK)
            return false;
        m_currentVoice = identifier;
        return true;
    }

    void speak(const SpeechJob &job);

private:
    EspeakHost()
        : m_synthesis(QThread::create([this] { work(); })), m_player(QThread::create([this] { playLoop(); }))
    {
        m_synthesis->start();
        m_player->start();
    }

    void work()
    {
        for (;;) {
            std::function<void()> job;
            {
                std::unique_lock lock(m_jobMutex);
                m_jobAdded.wait(lock, [&] { return !m_jobs.empty() || m_quit; });
                if (m_quit)
                    return;
                job = std::move(m_jobs.front());
                m_jobs.pop_front();
            }
            job();
        }
    }

    struct Playback
    {
        QString file;
        Marks marks;
        std::function<void(Marks)> started;
        std::function<void(Marks, bool)> stopped;
        std::function<void()> failed;
    };

    // Hands a rendered text to the player, behind those still waiting.
    void queuePlayback(Playback p)
    {
        std::lock_guard lock(m_playMutex);
        m_pending.push_back(std::move(p));
        m_playChanged.notify_all();
    }

    void playLoop()
    {
        for (;;) {
            std::unique_lock lock(m_playMutex);
            m_playChanged.wait(lock, [&] { return !m_pending.empty() || m_playQuit; });
            if (m_playQuit)
                return;
            Playback p = std::move(m_pending.front());
            m_pending.pop_front();
            m_playing = true;
            lock.unlock();
            p.started(std::move(p.marks));
            const bool ended = SoundPlayer::playSpeech(p.file);
            QFile::remove(p.file);
            p.stopped({}, ended);
            if (!ended && !m_playQuit)
                p.failed();
            lock.lock();
            m_playing = false;
            m_playChanged.notify_all();
        }
    }

    QByteArray m_currentVoice;
    std::mutex m_jobMutex;
    std::condition_variable m_jobAdded;
    std::deque<std::function<void()>> m_jobs;
    bool m_quit = false;

    std::mutex m_playMutex;
    std::condition_variable m_playChanged;
    std::deque<Playback> m_pending;
    bool m_playing = false;
    std::atomic<bool> m_playQuit{false};

    const std::unique_ptr<QThread> m_synthesis;
    const std::unique_ptr<QThread> m_player;
};

void EspeakHost::speak(const SpeechJob &job)
{
    if (!job.wanted())
        return;
    if (!useVoice(job.voice))
        return job.failed();
    QSaveFile out(job.fileName);
    if (job.toFile && (job.fileName.isEmpty() || !out.open(QIODevice::WriteOnly)))
        return; // the file cannot be written: nothing is spoken
    Render render;
    render.wanted = job.wanted;
    if (job.toFile)
        render.firstSamples = [&] { job.started({}); };
    g_render = &render;
    const espeak_ERROR rc = espeak_Synth(job.text.constData(), size_t(job.text.size()) + 1, 0, POS_CHARACTER,
                                         0, espeakCHARS_UTF8, nullptr, nullptr);
    g_render = nullptr;
    const bool complete = rc == EE_OK && job.wanted();
    const int sampleRate = EspeakData::instance().sampleRate;
    const QByteArray wave = waveHeader(sampleRate, std::uint32_t(render.pcm.size())) + render.pcm;

    if (job.toFile) {
        // Written under a temporary name and renamed at the end: a failure leaves the old file
        // (or none), never half of the new one.
        if (complete && out.write(wave) == wave.size())
            out.commit();
        else
            out.cancelWriting();
        if (render.started)
            job.stopped(complete ? std::move(render.marks) : Marks{}, complete);
        return;
    }
    if (!complete)
        return job.failed();
    QTemporaryFile temp(QDir::tempPath() + QLatin1String("/tellwise-speech-XXXXXX.wav"));
    temp.setAutoRemove(false);
    if (!temp.open())
        return job.failed();
    if (temp.write(wave) != wave.size() || !temp.flush()) {
        temp.remove();
        return job.failed();
    }
    temp.close();
    queuePlayback({temp.fileName(), std::move(render.marks), job.started, job.stopped, job.failed});
}

// The connection from the engine's threads back to one component.
class Link
{
public:
    explicit Link(QObject *owner) : m_owner(owner) {}
    void cut()
    {
        std::lock_guard lock(m_mutex);
        m_owner = nullptr;
    }
    bool alive()
    {
        std::lock_guard lock(m_mutex);
        return m_owner != nullptr;
    }
    // Runs F on the component's thread, unless the component is gone by then.
    void post(std::function<void()> f)
    {
        std::lock_guard lock(m_mutex);
        if (m_owner)
            QMetaObject::invokeMethod(m_owner, std::move(f), Qt::QueuedConnection);
    }

private:
    std::mutex m_mutex;
    QObject *m_owner;
};

} // namespace

struct TMSpeech::Engine
{
    std::shared_ptr<EspeakHost> host = EspeakHost::acquire();
    std::shared_ptr<Link> link;
    QByteArray voice;
    quint64 selection = 0;

    // Word and phoneme reports of the text sounding now, handed out as the audio reaches them.
    QTimer pacer;
    QElapsedTimer clock;
    Marks marks;
    std::size_t next = 0;

    void deliver(TMSpeech &s, const Mark &m)
    {
        if (m.word)
            s.m_lastWordPosition = m.position;
        else
            emit s.OnVisual(0, m.mouth);
    }

    void pace(TMSpeech &s, Marks paced)
    {
        marks = std::move(paced);
        next = 0;
        clock.start();
        due(s);
    }

    void due(TMSpeech &s)
    {
        while (next < marks.size() && marks[next].ms <= clock.elapsed())
            deliver(s, marks[next++]);
        if (next < marks.size())
            pacer.start(int(marks[next].ms - clock.elapsed()));
    }

    // Reports still due are handed out when the audio ended on its own (an output that plays
    // faster than real time), and dropped when it was cut short.
    void stopPacing(TMSpeech &s, bool ended)
    {
        while (ended && next < marks.size())
            deliver(s, marks[next++]);
        pacer.stop();
        marks.clear();
        next = 0;
    }
};

TMSpeech::TMSpeech(QObject *owner) : QObject(owner), m_engine(std::make_unique<Engine>())
{
    m_engine->link = std::make_shared<Link>(this);
    m_engine->pacer.setSingleShot(true);
    connect(&m_engine->pacer, &QTimer::timeout, this, [this] { m_engine->due(*this); });

    const EspeakData &espeak = EspeakData::instance();
    m_initialized = espeak.ok;
    for (const VoiceEntry &v : espeak.voices)
        m_engines << v.name;
    Version = espeak.version;
}

TMSpeech::~TMSpeech()
{
    m_initialized = false;
    m_engine->link->cut();
}

void TMSpeech::SelectEngine(const QString &name)
{
    if (!m_initialized)
        throw EMSpeechException("Speech Engine not initialized");
    qsizetype index = 0;
    while (index < m_engines.size() && m_engines[index].compare(name, Qt::CaseInsensitive) != 0)
        ++index;
    if (index == m_engines.size())
        throw EMSpeechException("Specified Speech Engine not found");

    const EspeakData &espeak = EspeakData::instance();
    const VoiceEntry &v = espeak.voices[std::size_t(index)];
    m_engineSelected = true;
    m_engine->voice = v.identifier;
    const quint64 selection = ++m_engine->selection;

    m_info.ModeName = v.name;
    m_info.Dialect = v.language;
    m_info.MfgName = QStringLiteral("eSpeak NG");
    m_info.ProductName = QStringLiteral("eSpeak NG ") + espeak.version;
    m_info.ModeID = QLatin1Char('{') + QString::fromUtf8(v.identifier) + QLatin1Char('}');
    m_info.EngineID = QStringLiteral("{espeak-ng}");
    m_info.Speaker = v.name;
    m_info.Style.clear();
    static const char *const genders[] = {"NEUTRAL", "MALE", "FEMALE"};
    if (v.gender >= 0 && v.gender <= 2)
        m_info.Gender = QLatin1String(genders[v.gender]);
    m_info.Age = v.age;
    m_info.PitchHigh = espeak.pitchHigh;
    m_info.PitchLow = espeak.pitchLow;
    m_info.SpeedHigh = espeak.speedHigh;
    m_info.SpeedLow = espeak.speedLow;
    m_info.Reserved1 = 100;
    m_info.Reserved2 = 0;

    // Load the voice now, off this thread, so that the first text starts quickly; a voice eSpeak
    // listed but cannot load leaves nothing selected.
    std::shared_ptr<Link> link = m_engine->link;
    const QByteArray voice = v.identifier;
    EspeakHost &host = *m_engine->host;
    host.post([link, voice, selection, &host, this] {
        if (!link->alive() || host.useVoice(voice))
            return;
        link->post([this, selection] {
            if (m_engine->selection == selection)
                m_engineSelected = false;
        });
    });
}

quint64 TMSpeech::Speak()
{
    if (!m_initialized)
        throw EMSpeechException("Speech Engine not initialized");
    if (!m_engineSelected)
        throw EMSpeechException("Speech Engine not selected");

    if (Output == TSpeechOutput::soGeneral && SoundPlayer::recordSpeech(Text.join(QLatin1String("\r\n"))))
        return 0;
    QString joined;
    for (const QString &line : std::as_const(Text))
        joined += line + QLatin1String("\r\n");

    EspeakHost &host = *m_engine->host;
    std::shared_ptr<Link> link = m_engine->link;
    SpeechJob job;
    job.text = joined.toUtf8();
    job.voice = m_engine->voice;
    job.toFile = Output == TSpeechOutput::soFile;
    job.fileName = job.toFile && !Filename.isEmpty() ? QFileInfo(Filename).absoluteFilePath() : QString();
    job.wanted = [link] { return link->alive(); };
    const quint64 number = ++m_spoken;
    job.failed = [link, this, number] { link->post([this, number] { emit failed(number); }); };
    job.started = [link, this](Marks paced) {
        link->post([this, paced = std::move(paced)]() mutable {
            m_engine->pace(*this, std::move(paced));
            emit OnStart();
        });
    };
    job.stopped = [link, this](Marks immediate, bool ended) {
        link->post([this, immediate = std::move(immediate), ended] {
            m_engine->stopPacing(*this, ended);
            for (const Mark &m : immediate)
                m_engine->deliver(*this, m);
            emit OnStop();
        });
    };
    host.post([job = std::move(job), &host] { host.speak(job); });
    return number;
}

QString TMSpeech::voiceForLanguage(const QString &language) const
{
    // The voice eSpeak itself prefers for the language: the smallest priority, the first voice
    // of the list among equals.
    const std::vector<VoiceEntry> &voices = EspeakData::instance().voices;
    const VoiceEntry *best = nullptr;
    int bestPriority = INT_MAX;
    for (const VoiceEntry &v : voices)
        for (const auto &[name, priority] : v.languages)
            if (name.compare(language, Qt::CaseInsensitive) == 0 && priority < bestPriority) {
                best = &v;
                bestPriority = priority;
            }
    return best ? best->name : QString();
}

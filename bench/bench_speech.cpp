// A caller's name spoken through the eSpeak NG engine: the time from Speak to the first audio
// sample (the engine's start report, which eSpeak's first block of samples sends), and to the
// whole wave file, beside the espeak-ng command-line program rendering the same text into a wave
// file in the same run. Google Benchmark prints the load average, as the machine may be shared.
//
//   bench_speech [google benchmark flags]

#include "speech/TMSpeech.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <spawn.h>
#include <sys/wait.h>

extern char **environ;

namespace {

const char kName[] = "Zove Kovač d.o.o.";
QTemporaryDir *g_dir = nullptr;

using Clock = std::chrono::steady_clock;

// Speaks once into a file; returns the seconds to the start report and to the end report, or
// negative ones when the engine did not report in time.
std::pair<double, double> speakOnce(TMSpeech &speech)
{
    QEventLoop loop;
    Clock::time_point started{}, stopped{};
    const auto a = QObject::connect(&speech, &TMSpeech::OnStart, [&] { started = Clock::now(); });
    const auto b = QObject::connect(&speech, &TMSpeech::OnStop, [&] {
        stopped = Clock::now();
        loop.quit();
    });
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    const Clock::time_point begin = Clock::now();
    speech.Speak();
    loop.exec();
    QObject::disconnect(a);
    QObject::disconnect(b);
    if (stopped == Clock::time_point{})
        return {-1, -1};
    return {std::chrono::duration<double>(started - begin).count(),
            std::chrono::duration<double>(stopped - begin).count()};
}

// ANOTHERVOICE: each round first speaks with another voice, so the timed Speak also loads the
// Croatian voice and dictionary again, as the first call after the start does.
void runSpeech(benchmark::State &state, bool toEnd, bool anotherVoice = false)
{
    TMSpeech speech;
    if (!speech.initialized() || !speech.engines().contains(QStringLiteral("Croatian"))) {
        state.SkipWithError("no eSpeak NG Croatian voice");
        return;
    }
    speech.Output = TSpeechOutput::soFile;
    speech.Filename = g_dir->filePath(QStringLiteral("speech.wav"));
    speech.Text = QStringList{QString::fromUtf8(kName)};
    speech.SelectEngine(QStringLiteral("Croatian"));
    speakOnce(speech);
    for (auto _ : state) {
        if (anotherVoice) {
            speech.SelectEngine(QStringLiteral("English (Great Britain)"));
            speakOnce(speech);
            speech.SelectEngine(QStringLiteral("Croatian"));
        }
        const auto [first, end] = speakOnce(speech);
        if (end < 0) {
            state.SkipWithError("no report from the engine");
            break;
        }
        state.SetIterationTime(toEnd ? end : first);
    }
}

void BM_SpeakToFirstSample(benchmark::State &state)
{
    runSpeech(state, false);
}

void BM_SpeakToFirstSampleNewVoice(benchmark::State &state)
{
    runSpeech(state, false, true);
}

void BM_SpeakToWaveFile(benchmark::State &state)
{
    runSpeech(state, true);
}

// The command-line program, from its start to its exit with the wave file written.
void BM_EspeakNgCommand(benchmark::State &state)
{
    const QByteArray file = QFile::encodeName(g_dir->filePath(QStringLiteral("command.wav")));
    char program[] = "espeak-ng";
    char voice[] = "-v";
    char hr[] = "hr";
    char write[] = "-w";
    char text[sizeof kName];
    std::memcpy(text, kName, sizeof kName);
    char *argv[] = {program, voice, hr, write, const_cast<char *>(file.constData()), text, nullptr};
    for (auto _ : state) {
        const Clock::time_point begin = Clock::now();
        pid_t pid = 0;
        int status = 0;
        if (posix_spawnp(&pid, program, nullptr, nullptr, argv, environ) != 0 ||
            ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("espeak-ng failed");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - begin).count());
    }
}

BENCHMARK(BM_SpeakToFirstSample)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(50);
BENCHMARK(BM_SpeakToFirstSampleNewVoice)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(50);
BENCHMARK(BM_SpeakToWaveFile)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(50);
BENCHMARK(BM_EspeakNgCommand)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(50);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    g_dir = &dir;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

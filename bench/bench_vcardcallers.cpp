// Callers named from the vCard contacts folder: the index of a folder of 20 000 cards (built on
// the calling thread, and on the worker until it is ready), its memory, a look-up that finds
// nobody (every number examined) and one that finds the last card, the time from a card replaced
// through a rename to the index naming it, and a call through the call rules to the call window
// for a caller of the address book beside one found only in the folder, in the same run.
//
// Runs by hand (not under CTest): build/bin/bench_vcardcallers. It makes its own temporary data,
// configuration and contacts folders.

#include "app/CallMonitor.h"
#include "app/CallWindows.h"
#include "exchange/VCardCallerIndex.h"
#include "settings/Settings.h"
#include "store/AddressBook.h"
#include "store/CallLog.h"
#include "store/DataDir.h"
#include "store/FileRecords.h"
#include "ui/TfrmCallerNotes.h"
#include "ui/TfrmIncomingCall.h"
#include "ui/TfrmNewCallMessage.h"
#include "widgets/TRunningLabel.h"

#include "TestCallSource.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <functional>

namespace {

constexpr int kCards = 20'000;
QString g_root;

// A card as phones and cloud address books write them: a name, two or three numbers, an e-mail,
// a note; every tenth with a small picture.
QByteArray card(int i, const QString &name)
{
    QByteArray text = "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:card-" + QByteArray::number(i) +
                      "\r\nFN:" + name.toUtf8() + "\r\nN:" + name.toUtf8() + ";;;;\r\nTEL;TYPE=cell:+385 9" +
                      QByteArray::number(1 + i % 8) + " " + QByteArray::number(1000000 + i) +
                      "\r\nTEL;TYPE=home:01 " + QByteArray::number(2000000 + i) + "\r\nEMAIL:c" +
                      QByteArray::number(i) + "@example.org\r\nNOTE:Kartica broj " + QByteArray::number(i) +
                      "\r\n";
    if (i % 10 == 0)
        text += "PHOTO;ENCODING=b;TYPE=JPEG:" + QByteArray(3000, 'A') + "\r\n";
    return text + "END:VCARD\r\n";
}

QString cardPath(int i)
{
    return g_root + QStringLiteral("/%1/card-%2.vcf").arg(i % 2 ? "work" : "home").arg(i);
}

void writeFolder()
{
    QDir().mkpath(g_root + QStringLiteral("/home"));
    QDir().mkpath(g_root + QStringLiteral("/work"));
    for (int i = 0; i < kCards; ++i) {
        QFile file(cardPath(i));
        file.open(QIODevice::WriteOnly);
        file.write(card(i, QStringLiteral("Osoba %1").arg(i)));
    }
}

double residentMb()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    statm.open(QIODevice::ReadOnly);
    return statm.readAll().split(' ').value(1).toDouble() * 4096 / (1024 * 1024);
}

bool waitFor(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

void BM_IndexBuild(benchmark::State &state)
{
    double memory = 0;
    for (auto _ : state) {
        const double before = residentMb();
        auto index = std::make_unique<VCardCallerIndex>();
        index->indexNow(g_root);
        memory = std::max(memory, residentMb() - before); // later rounds reuse the freed memory
        if (index->cardCount() != kCards)
            state.SkipWithError("not every card was indexed");
    }
    state.counters["cards"] = kCards;
    state.counters["memory_mb"] = memory;
}
BENCHMARK(BM_IndexBuild)->Iterations(5)->Unit(benchmark::kMillisecond);

// From setRoot on the window thread to the worker's index being in place.
void BM_IndexOnWorker(benchmark::State &state)
{
    for (auto _ : state) {
        VCardCallerIndex index;
        const auto start = std::chrono::steady_clock::now();
        index.setRoot(g_root);
        if (!waitFor([&] { return index.isReady(); }, 30000))
            state.SkipWithError("the worker did not finish");
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
}
BENCHMARK(BM_IndexOnWorker)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_Lookup(benchmark::State &state)
{
    VCardCallerIndex index;
    index.indexNow(g_root);
    const bool miss = state.range(0) == 0;
    const QString number =
        miss ? QStringLiteral("+385 99 999 9999") : QStringLiteral("091 %1").arg(1000000 + kCards - 8);
    for (auto _ : state) {
        const std::optional<VCardCaller> found = index.find(number);
        if (found.has_value() == miss)
            state.SkipWithError("unexpected result");
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(BM_Lookup)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// A card replaced as vdirsyncer replaces it (written beside, renamed over the old one) until
// the running index names the caller anew.
void BM_RenamedCardToIndex(benchmark::State &state)
{
    VCardCallerIndex index;
    index.setRoot(g_root);
    waitFor([&] { return index.isReady(); }, 30000);
    const QString number = QStringLiteral("01 %1").arg(2000000 + 7);
    int round = 0;
    for (auto _ : state) {
        const QString name = QStringLiteral("Novo ime %1").arg(++round);
        const QString temp = g_root + QStringLiteral("/work/.new.tmp");
        QFile file(temp);
        file.open(QIODevice::WriteOnly);
        file.write(card(7, name));
        file.close();
        const auto start = std::chrono::steady_clock::now();
        ::rename(QFile::encodeName(temp).constData(), QFile::encodeName(cardPath(7)).constData());
        if (!waitFor([&] { return index.find(number).value_or(VCardCaller{}).name == name; }, 10000))
            state.SkipWithError("the change was not seen");
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
}
BENCHMARK(BM_RenamedCardToIndex)->Iterations(10)->UseManualTime()->Unit(benchmark::kMillisecond);

// Identify → the window shows the name: Arg 0 a contact of a 10 000-contact address book,
// Arg 1 nobody there but a card of the folder.
void BM_CallToWindow(benchmark::State &state)
{
    static bool filled = false;
    if (!filled) {
        TContactList contacts;
        for (int i = 0; i < 10'000; ++i) {
            AListAddress c;
            c.DisplayNameAs = QStringLiteral("Kontakt %1").arg(i);
            c.PhoneNumber[0] = QStringLiteral("098 %1").arg(3000000 + i);
            contacts.append(c);
        }
        SaveAddressbook(DataDir(), contacts);
        filled = true;
    }
    Settings settings;
    settings.setFlag(Settings::EnableSound, false);
    AddressBook book(DataDir());
    CallLog log(DataDir());
    book.load();
    log.load();
    TfrmNewCallMessage message;
    TfrmCallerNotes notes;
    TfrmIncomingCall window(&message, &notes);
    window.setAnimate(false);
    message.setAnimate(false);
    VCardCallerIndex cards;
    cards.indexNow(g_root);
    CallMonitor monitor(settings, book, log);
    auto *line = new testsupport::TestCallSource;
    monitor.setSource(std::unique_ptr<telephony::CallSource>(line));
    monitor.setCardIndex(&cards);
    ConnectCallWindows(monitor, settings, window, message, nullptr);
    auto *label = window.findChild<TRunningLabel *>(QStringLiteral("lblCallerName"));
    const bool fromCards = state.range(0) == 1;
    const QString number = fromCards ? QStringLiteral("091 %1").arg(1000000 + kCards - 8)
                                     : QStringLiteral("098 %1").arg(3000000 + 9999);
    const QString expected =
        fromCards ? QStringLiteral("Osoba %1").arg(kCards - 8) : QStringLiteral("Kontakt 9999");
    for (auto _ : state) {
        line->ring();
        const auto start = std::chrono::steady_clock::now();
        line->identify({.number = number});
        if (!waitFor([&] { return window.isVisible() && label->text() == expected; }, 10000))
            state.SkipWithError("the window did not show the caller");
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        line->end();
        log.flush();
        window.hide();
        message.hide();
    }
}
BENCHMARK(BM_CallToWindow)->Arg(0)->Arg(1)->Iterations(20)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QTemporaryDir root;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(root.path() + QStringLiteral("/run")));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(root.path() + QStringLiteral("/config")));
    qputenv("XDG_DATA_HOME", QFile::encodeName(root.path() + QStringLiteral("/share")));
    qputenv("TELLWISE_DATA_DIR", QFile::encodeName(root.path() + QStringLiteral("/data")));
    qputenv("TELLWISE_SOUND_SINK", "none");
    for (const char *dir : {"/run", "/config", "/share", "/data"})
        QDir().mkpath(root.path() + QLatin1String(dir));
    QFile::setPermissions(root.path() + QStringLiteral("/run"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    g_root = root.path() + QStringLiteral("/share/contacts");

    QApplication app(argc, argv);
    writeFolder();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

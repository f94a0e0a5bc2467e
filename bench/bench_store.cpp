// Saving and loading 10 000 contacts through the store, against writing (with the same flush to
// disk) and reading the same bytes with plain file calls, in the same run. Prints the store's
// throughput as a share of the plain calls' throughput.
//
// A change of one contact through the address book (EditContact, saved to disk) is measured
// against the same plain write of 10 000 contacts' bytes; at 100 000 contacts, the change is
// timed until its file is on disk while a 1 ms timer ticks on the same thread, and the longest gap
// between two ticks is reported (how long the window would stand still).
//
// A load is measured three ways: in this process, over the list it replaces (what follows
// another program's change); the same with every record changed; and in a new process (the
// program's start, where all memory is fresh; the plain read then reads into a new buffer in a
// new process too).
//
//   bench_store [--data-dir DIR] [google benchmark flags]
// DIR defaults to a temporary folder under the current folder (not /tmp, which may live in
// memory and make the flush free).

#include "store/AddressBook.h"
#include "store/DataDir.h"
#include "store/DataFiles.h"
#include "store/FileRecords.h"
#include "store/Records.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <map>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

constexpr int kContacts = 10000;

TContactList g_contacts;

// A plausible address book: names, a group, a few numbers, an address, an e-mail and notes.
void fillContacts(TContactList &list, int count = kContacts)
{
    list.clear();
    static const char *const kFirst[] = {"Ana",    "Ivan",     "Marija", "Željko",
                                         "Lucija", "Tomislav", "Đurđa",  "Šime"};
    static const char *const kLast[] = {"Horvat", "Kovačević", "Babić",   "Marić",
                                        "Jurić",  "Novak",     "Knežević"};
    for (int i = 0; i < count; ++i) {
        AListAddress c;
        c.FirstName = QString::fromUtf8(kFirst[i % 8]);
        c.LastName = QString::fromUtf8(kLast[i % 7]);
        c.DisplayNameAs = QStringLiteral("%1 %2 %3").arg(c.FirstName, c.LastName).arg(i);
        c.Group = QStringLiteral("Grupa %1").arg(i % 12);
        c.HomeAddress = QStringLiteral("Ilica %1").arg(i % 300);
        c.HomeCity = QStringLiteral("Zagreb");
        c.HomePostNo = QStringLiteral("10000");
        c.CompanyName = QStringLiteral("Tvrtka %1 d.o.o.").arg(i % 97);
        for (int k = 0; k < 3; ++k) {
            c.PhoneLocation[k] = QStringLiteral("Telefon %1").arg(k + 1);
            c.PhoneNumber[k] = QStringLiteral("+385 9%1 %2").arg(k).arg(1000000 + i);
        }
        c.EMail[0] = QStringLiteral("kontakt%1@example.hr").arg(i);
        c.Notes = QStringLiteral("Bilješka uz kontakt broj %1.").arg(i);
        c.SoundMode = i % 3;
        list.append(std::move(c));
    }
}

QByteArray contactBytes()
{
    TContactList list;
    fillContacts(list);
    QByteArray bytes;
    bytes.reserve(qsizetype(kContacts) * TAddressFileRec::Size);
    for (const AListAddress &c : list)
        bytes += EncodeFileRec(c);
    return bytes;
}

QByteArray plainPath()
{
    return QFile::encodeName(DataDir() + QStringLiteral("plain.dat"));
}

// The baseline's file, written without the store.
bool writePlainFile(const QByteArray &bytes)
{
    QFile out(QFile::decodeName(plainPath()));
    return out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size();
}

void BM_SaveAddressbook(benchmark::State &state)
{
    fillContacts(g_contacts);
    for (auto _ : state) {
        if (!SaveAddressbook(DataDir(), g_contacts))
            state.SkipWithError("save failed");
    }
    state.SetBytesProcessed(state.iterations() * kContacts * TAddressFileRec::Size);
}

void BM_PlainWrite(benchmark::State &state)
{
    const QByteArray bytes = contactBytes();
    const QByteArray path = plainPath();
    for (auto _ : state) {
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0 || ::write(fd, bytes.constData(), std::size_t(bytes.size())) != bytes.size() ||
            ::fsync(fd) != 0)
            state.SkipWithError("write failed");
        ::close(fd);
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

// A data folder of its own holding COUNT contacts, and an address book that has read it.
QString bookFolder(int count)
{
    const QString dir = DataDir() + QStringLiteral("book%1/").arg(count);
    TContactList list;
    fillContacts(list, count);
    if (!QDir().mkpath(dir) || !SaveAddressbook(dir, list))
        return {};
    return dir;
}

// The change every round makes: the contact in the middle of the list gets a new note.
AListAddress changedContact(const AddressBook &book, int round)
{
    AListAddress contact = book.contacts()[book.contacts().size() / 2];
    contact.Notes = QStringLiteral("Promijenjeno %1.").arg(round);
    return contact;
}

// Starts one change; DONE is called once its file is on disk.
void startChange(AddressBook &book, int round, const std::function<void()> &done)
{
    const AListAddress contact = changedContact(book, round);
    if (!book.EditContact(contact.DisplayNameAs, contact))
        std::fprintf(stderr, "the change failed\n");
    done();
}

void BM_EditContact(benchmark::State &state)
{
    const QString dir = bookFolder(int(state.range(0)));
    AddressBook book(dir);
    if (dir.isEmpty() || !book.load())
        state.SkipWithError("cannot write the address book");
    int round = 0;
    for (auto _ : state) {
        QEventLoop loop;
        bool finished = false;
        startChange(book, ++round, [&] {
            finished = true;
            loop.quit();
        });
        if (!finished)
            loop.exec();
        if (book.contacts().size() != state.range(0))
            state.SkipWithError("the change lost contacts");
    }
    state.SetBytesProcessed(state.iterations() * state.range(0) * TAddressFileRec::Size);
}

// One change run from the event loop while a 1 ms timer ticks: the round's time is from the
// change's start to its file on disk; "stall_ms" is the longest gap between two ticks in that
// time (and up to the first tick after it), the worst of all rounds.
void BM_ChangeWhileTicking(benchmark::State &state)
{
    const QString dir = bookFolder(int(state.range(0)));
    AddressBook book(dir);
    if (dir.isEmpty() || !book.load())
        state.SkipWithError("cannot write the address book");
    QElapsedTimer clock;
    clock.start();
    qint64 worstGap = 0;
    int round = 0;
    for (auto _ : state) {
        QEventLoop loop;
        QTimer ticker;
        ticker.setTimerType(Qt::PreciseTimer);
        ticker.setInterval(1);
        qint64 lastTick = 0, longestGap = 0, started = 0, finished = -1;
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            const qint64 now = clock.nsecsElapsed();
            if (started > 0)
                longestGap = std::max(longestGap, now - lastTick);
            lastTick = now;
            if (finished >= 0)
                loop.quit();
        });
        QTimer::singleShot(20, [&] {
            started = lastTick = clock.nsecsElapsed();
            startChange(book, ++round, [&] { finished = clock.nsecsElapsed(); });
        });
        ticker.start();
        loop.exec();
        worstGap = std::max(worstGap, longestGap);
        state.SetIterationTime(double(finished - started) / 1e9);
    }
    state.counters["stall_ms"] = double(worstGap) / 1e6;
}

void BM_LoadAddressbook(benchmark::State &state)
{
    fillContacts(g_contacts);
    SaveAddressbook(DataDir(), g_contacts);
    for (auto _ : state) {
        LoadAddressbook(DataDir(), g_contacts, FileAccess::ReadOnly);
        if (g_contacts.size() != kContacts)
            state.SkipWithError("load lost contacts");
    }
    state.SetBytesProcessed(state.iterations() * kContacts * TAddressFileRec::Size);
}

// A reload where every record changed: two files, the second with the contacts moved on by one,
// loaded in turn, so each load replaces the texts of every record (a sorted and saved list).
void BM_ReloadChanged(benchmark::State &state)
{
    const QString first = DataDir() + QStringLiteral("first/");
    const QString second = DataDir() + QStringLiteral("second/");
    fillContacts(g_contacts);
    if (!QDir().mkpath(first) || !QDir().mkpath(second) || !SaveAddressbook(first, g_contacts))
        state.SkipWithError("cannot write the first file");
    g_contacts.append(g_contacts.takeAt(0));
    if (!SaveAddressbook(second, g_contacts))
        state.SkipWithError("cannot write the second file");
    bool useFirst = true;
    for (auto _ : state) {
        LoadAddressbook(useFirst ? first : second, g_contacts, FileAccess::ReadOnly);
        useFirst = !useFirst;
        if (g_contacts.size() != kContacts)
            state.SkipWithError("load lost contacts");
    }
    state.SetBytesProcessed(state.iterations() * kContacts * TAddressFileRec::Size);
}

void BM_PlainRead(benchmark::State &state)
{
    const QByteArray bytes = contactBytes();
    const QByteArray path = plainPath();
    if (!writePlainFile(bytes))
        state.SkipWithError("cannot write the file");
    // One buffer for all rounds: the baseline pays for no allocation at all.
    QByteArray buffer(bytes.size(), Qt::Uninitialized);
    for (auto _ : state) {
        const int fd = ::open(path.constData(), O_RDONLY);
        if (fd < 0 || ::read(fd, buffer.data(), std::size_t(buffer.size())) != buffer.size())
            state.SkipWithError("read failed");
        ::close(fd);
        benchmark::DoNotOptimize(buffer.data());
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

// ---- loads in a new process ----

// In the child: one load or one plain read, timed alone; prints the seconds it took.
int childMain(const char *what)
{
    const auto start = std::chrono::steady_clock::now();
    if (std::strcmp(what, "load") == 0) {
        LoadAddressbook(DataDir(), g_contacts, FileAccess::ReadOnly);
        if (g_contacts.size() != kContacts)
            return 1;
    } else {
        const int fd = ::open(plainPath().constData(), O_RDONLY);
        struct stat st;
        if (fd < 0 || ::fstat(fd, &st) != 0)
            return 1;
        // A new buffer, as any program has at its start.
        char *buffer = static_cast<char *>(std::malloc(std::size_t(st.st_size)));
        if (!buffer || ::read(fd, buffer, std::size_t(st.st_size)) != st.st_size)
            return 1;
        benchmark::DoNotOptimize(buffer);
        ::close(fd);
        std::free(buffer);
    }
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::printf("%.9f\n", took.count());
    return 0;
}

// Runs this program as a child for `what` and returns the time the child measured, or a negative
// value when it failed.
double childSeconds(const char *what)
{
    int out[2];
    if (::pipe(out) != 0)
        return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    const QByteArray dir = QFile::encodeName(DataDir());
    char self[] = "/proc/self/exe";
    char child[] = "--child";
    char dataDirFlag[] = "--data-dir";
    char *argv[] = {self,   child, const_cast<char *>(what), dataDirFlag, const_cast<char *>(dir.constData()),
                    nullptr};
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, self, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    char text[64] = {};
    qsizetype got = 0;
    while (spawned == 0 && got < qsizetype(sizeof text) - 1) {
        const ssize_t n = ::read(out[0], text + got, sizeof text - 1 - std::size_t(got));
        if (n <= 0)
            break;
        got += n;
    }
    ::close(out[0]);
    int status = 0;
    if (spawned != 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return -1;
    return std::strtod(text, nullptr);
}

void runChildren(benchmark::State &state, const char *what)
{
    for (auto _ : state) {
        const double seconds = childSeconds(what);
        if (seconds < 0) {
            state.SkipWithError("the child failed");
            break;
        }
        state.SetIterationTime(seconds);
    }
    state.SetBytesProcessed(state.iterations() * kContacts * TAddressFileRec::Size);
}

void BM_StartLoad(benchmark::State &state)
{
    fillContacts(g_contacts);
    SaveAddressbook(DataDir(), g_contacts);
    runChildren(state, "load");
}

void BM_StartRead(benchmark::State &state)
{
    if (!writePlainFile(contactBytes()))
        state.SkipWithError("cannot write the file");
    runChildren(state, "read");
}

BENCHMARK(BM_EditContact)->Arg(kContacts)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ChangeWhileTicking)->Arg(100000)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);
BENCHMARK(BM_SaveAddressbook)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlainWrite)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LoadAddressbook)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_ReloadChanged)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_PlainRead)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_StartLoad)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(20);
BENCHMARK(BM_StartRead)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(20);

// Keeps the mean wall and CPU time of each benchmark as it is printed, for the ratios at the end.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred && run.iterations > 0) {
                const double n = double(run.iterations);
                m_times[run.run_name.function_name + "/" + run.run_name.args] = {
                    run.real_accumulated_time / n, run.cpu_accumulated_time / n};
            }
        }
    }
    // The CPU columns are left out for runs in child processes, whose CPU time is not measured.
    void printRatio(const char *label, const std::string &store, const std::string &plain,
                    bool cpu = true) const
    {
        const auto s = m_times.find(store);
        const auto p = m_times.find(plain);
        if (s == m_times.end() || p == m_times.end())
            return;
        const double ratio = p->second.first / s->second.first;
        if (!cpu) {
            std::printf("%-10s store %7.2f ms,            plain %7.2f ms:            store throughput = %.2f "
                        "of plain\n",
                        label, s->second.first * 1e3, p->second.first * 1e3, ratio);
            return;
        }
        std::printf("%-10s store %7.2f ms (CPU %6.2f), plain %7.2f ms (CPU %6.2f): "
                    "store throughput = %.2f of plain (CPU %.2f)\n",
                    label, s->second.first * 1e3, s->second.second * 1e3, p->second.first * 1e3,
                    p->second.second * 1e3, ratio, p->second.second / s->second.second);
    }

private:
    std::map<std::string, std::pair<double, double>> m_times; // wall, CPU seconds per iteration
};

} // namespace

int main(int argc, char **argv)
{
    QString dataDir;
    const char *child = nullptr;
    std::vector<char *> args{argv[0]};
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--child") == 0 && i + 1 < argc)
            child = argv[++i];
        else if (std::strcmp(argv[i], "--data-dir") == 0 && i + 1 < argc)
            dataDir = QString::fromLocal8Bit(argv[++i]);
        else
            args.push_back(argv[i]);
    }
    if (child) {
        SetDataDir(dataDir);
        return childMain(child);
    }
    QCoreApplication app(argc, argv);
    QTemporaryDir temp(QDir::currentPath() + QStringLiteral("/bench_store-XXXXXX"));
    if (dataDir.isEmpty()) {
        if (!temp.isValid()) {
            std::fprintf(stderr, "cannot create a folder for the data files\n");
            return 1;
        }
        dataDir = temp.path();
    }
    SetDataDir(dataDir);

    int count = int(args.size());
    benchmark::Initialize(&count, args.data());
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n%d contacts, %lld bytes:\n", kContacts, (long long)kContacts * TAddressFileRec::Size);
    reporter.printRatio("change", "BM_EditContact/10000", "BM_PlainWrite/");
    reporter.printRatio("save", "BM_SaveAddressbook/", "BM_PlainWrite/");
    reporter.printRatio("load", "BM_LoadAddressbook/", "BM_PlainRead/");
    reporter.printRatio("changed", "BM_ReloadChanged/", "BM_PlainRead/");
    reporter.printRatio("start", "BM_StartLoad/", "BM_StartRead/", false);
    benchmark::Shutdown();
    return 0;
}

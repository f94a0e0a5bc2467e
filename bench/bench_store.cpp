// Saving and loading 10 000 contacts through the store, against writing (with the same flush to
// disk) and reading the same bytes with plain file calls, in the same run. Prints the store's
// throughput as a share of the plain calls' throughput.
//
//   bench_store [--data-dir DIR] [google benchmark flags]
// DIR defaults to a temporary folder under the current folder (not /tmp, which may live in
// memory and make the flush free).

#include "store/Addressbook.h"
#include "store/DataDir.h"
#include "store/FileRecords.h"
#include "store/Records.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <string>
#include <unistd.h>

namespace {

constexpr int kContacts = 10000;

// A plausible address book: names, a group, a few numbers, an address, an e-mail and notes.
void fillContacts(TContactList &list)
{
    list.clear();
    static const char *const kFirst[] = {"Ana",    "Ivan",     "Marija", "Željko",
                                         "Lucija", "Tomislav", "Đurđa",  "Šime"};
    static const char *const kLast[] = {"Horvat", "Kovačević", "Babić",   "Marić",
                                        "Jurić",  "Novak",     "Knežević"};
    for (int i = 0; i < kContacts; ++i) {
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

void BM_SaveAddressbook(benchmark::State &state)
{
    fillContacts(ContactList);
    for (auto _ : state) {
        if (!SaveAddressbook())
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

// Drops the file's pages from the page cache, so that the next read comes from the disk.
void dropCache(const QByteArray &path)
{
    const int fd = ::open(path.constData(), O_RDONLY);
    if (fd >= 0) {
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
        ::close(fd);
    }
}

// state.range(0): 0 reloads the list from the page cache, 1 from the disk; 2 loads into an
// empty list (the program's start), from the page cache.
void BM_LoadAddressbook(benchmark::State &state)
{
    fillContacts(ContactList);
    SaveAddressbook();
    const QByteArray path = QFile::encodeName(DataDir() + QStringLiteral("Addressbook.dat"));
    for (auto _ : state) {
        if (state.range(0) == 1) {
            state.PauseTiming();
            dropCache(path);
            state.ResumeTiming();
        } else if (state.range(0) == 2) {
            state.PauseTiming();
            ContactList.clear();
            state.ResumeTiming();
        }
        LoadAddressbook();
        if (ContactList.size() != kContacts)
            state.SkipWithError("load lost contacts");
    }
    state.SetBytesProcessed(state.iterations() * kContacts * TAddressFileRec::Size);
}

void BM_PlainRead(benchmark::State &state)
{
    const QByteArray bytes = contactBytes();
    const QByteArray path = plainPath();
    QFile out(QFile::decodeName(path));
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size())
        state.SkipWithError("cannot write the file");
    out.close();
    // One buffer for all rounds: the baseline pays for no allocation at all.
    QByteArray buffer(bytes.size(), Qt::Uninitialized);
    for (auto _ : state) {
        if (state.range(0)) {
            state.PauseTiming();
            dropCache(path);
            state.ResumeTiming();
        }
        const int fd = ::open(path.constData(), O_RDONLY);
        if (fd < 0 || ::read(fd, buffer.data(), std::size_t(buffer.size())) != buffer.size())
            state.SkipWithError("read failed");
        ::close(fd);
        benchmark::DoNotOptimize(buffer.data());
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

BENCHMARK(BM_SaveAddressbook)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlainWrite)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LoadAddressbook)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlainRead)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// Keeps the mean time of each benchmark as it is printed, for the ratios at the end.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred && run.iterations > 0)
                m_seconds[run.run_name.function_name + "/" + run.run_name.args] =
                    run.real_accumulated_time / double(run.iterations);
        }
    }
    void printRatio(const char *label, const std::string &store, const std::string &plain) const
    {
        const auto s = m_seconds.find(store);
        const auto p = m_seconds.find(plain);
        if (s == m_seconds.end() || p == m_seconds.end())
            return;
        std::printf("%-16s %8.2f ms store, %8.2f ms plain: store throughput = %.2f of plain\n", label,
                    s->second * 1e3, p->second * 1e3, p->second / s->second);
    }

private:
    std::map<std::string, double> m_seconds;
};

} // namespace

int main(int argc, char **argv)
{
    QString dataDir;
    std::vector<char *> args{argv[0]};
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--data-dir") == 0 && i + 1 < argc)
            dataDir = QString::fromLocal8Bit(argv[++i]);
        else
            args.push_back(argv[i]);
    }
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
    reporter.printRatio("save", "BM_SaveAddressbook/", "BM_PlainWrite/");
    reporter.printRatio("load, cached", "BM_LoadAddressbook/0", "BM_PlainRead/0");
    reporter.printRatio("load, from disk", "BM_LoadAddressbook/1", "BM_PlainRead/1");
    reporter.printRatio("first load", "BM_LoadAddressbook/2", "BM_PlainRead/0");
    benchmark::Shutdown();
    return 0;
}

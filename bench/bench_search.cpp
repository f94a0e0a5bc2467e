// Finding contacts: a contains search over all fields, without match case, over 10 000 and
// 100 000 contacts, against a plain loop calling QString::contains (case-insensitive) on the same
// fields, in the same run. Then the search window over an address book of 100 000 contacts
// (offscreen): the time from the click on "Traži" to the last result shown, and the longest
// stretch its event loop was blocked meanwhile (the copy of the contacts taken at the click, the
// batches of results added to the list).
//
//   bench_search [google benchmark flags]
// The window's address book is written to a temporary folder under the current folder.

#include "store/AddressBook.h"
#include "store/DataFiles.h"
#include "store/SearchContact.h"
#include "ui/TfrmFindContact.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>

#include <time.h>

namespace {

// Matches the surname "Kovačević", one contact in seven; the others are tested field by field.
const QString kText = QStringLiteral("ČEVIĆ");

// A plausible address book: most text fields filled, several numbers and e-mail addresses.
TContactList makeContacts(int count)
{
    static const char *const kFirst[] = {"Ana",    "Ivan",     "Marija", "Željko",
                                         "Lucija", "Tomislav", "Đurđa",  "Šime"};
    static const char *const kLast[] = {"Horvat", "Kovačević", "Babić",   "Marić",
                                        "Jurić",  "Novak",     "Knežević"};
    TContactList list;
    for (int i = 0; i < count; ++i) {
        AListAddress c;
        c.FirstName = QString::fromUtf8(kFirst[i % 8]);
        c.LastName = QString::fromUtf8(kLast[i % 7]);
        c.NickName = QStringLiteral("nadimak%1").arg(i % 50);
        c.DisplayNameAs = QStringLiteral("%1 %2 %3").arg(c.FirstName, c.LastName).arg(i);
        c.Group = QStringLiteral("Grupa %1").arg(i % 12);
        c.HomeAddress = QStringLiteral("Ilica %1").arg(i % 300);
        c.HomeCity = QStringLiteral("Zagreb");
        c.HomePostNo = QStringLiteral("10000");
        c.HomeCountry = QStringLiteral("Hrvatska");
        c.CompanyName = QStringLiteral("Tvrtka %1 d.o.o.").arg(i % 97);
        c.CompanyDepartment = QStringLiteral("Prodaja");
        c.CompanyJobTitle = QStringLiteral("Referent");
        c.CompanyAddress = QStringLiteral("Savska %1").arg(i % 200);
        c.CompanyCity = QStringLiteral("Split");
        c.CompanyPostNo = QStringLiteral("21000");
        c.CompanyWebPage = QStringLiteral("www.tvrtka%1.hr").arg(i % 97);
        for (std::size_t k = 0; k < 3; ++k) {
            c.PhoneLocation[k] = QStringLiteral("Telefon %1").arg(k + 1);
            c.PhoneNumber[k] = QStringLiteral("+385 9%1 %2").arg(k).arg(1000000 + i);
        }
        c.EMail[0] = QStringLiteral("kontakt%1@example.hr").arg(i);
        c.EMail[1] = QStringLiteral("posao%1@tvrtka.hr").arg(i);
        c.Notes = QStringLiteral("Bilješka uz kontakt broj %1.").arg(i);
        list.append(std::move(c));
    }
    return list;
}

const TContactList &contacts(int count)
{
    static std::map<int, TContactList> made;
    auto it = made.find(count);
    if (it == made.end())
        it = made.emplace(count, makeContacts(count)).first;
    return it->second;
}

// The same forty fields, in the same order, tested with QString::contains.
bool plainMatch(const AListAddress &c, const QString &text)
{
    const QString *fields[] = {&c.FirstName,     &c.LastName,        &c.NickName,       &c.DisplayNameAs,
                               &c.Group,         &c.HomeAddress,     &c.HomeCity,       &c.HomePostNo,
                               &c.HomeCountry,   &c.HomeWebPage,     &c.CompanyName,    &c.CompanyDepartment,
                               &c.CompanyOffice, &c.CompanyJobTitle, &c.CompanyAddress, &c.CompanyCity,
                               &c.CompanyPostNo, &c.CompanyCountry,  &c.CompanyWebPage, &c.Notes};
    for (const QString *f : fields)
        if (f->contains(text, Qt::CaseInsensitive))
            return true;
    for (const auto *array : {c.PhoneLocation.data(), c.PhoneNumber.data()})
        for (std::size_t k = 0; k < 8; ++k)
            if (array[k].contains(text, Qt::CaseInsensitive))
                return true;
    for (const QString &e : c.EMail)
        if (e.contains(text, Qt::CaseInsensitive))
            return true;
    return false;
}

void BM_SearchContacts(benchmark::State &state)
{
    const TContactList &list = contacts(int(state.range(0)));
    const SearchCriteria criteria{kText, 0, false, false};
    qsizetype found = 0;
    for (auto _ : state)
        found = SearchContacts(list, criteria).size();
    state.counters["found"] = double(found);
}

void BM_PlainContains(benchmark::State &state)
{
    const TContactList &list = contacts(int(state.range(0)));
    qsizetype found = 0;
    for (auto _ : state) {
        QList<FoundContact> out;
        for (const AListAddress &c : list)
            if (plainMatch(c, kText))
                out.append({c.DisplayNameAs, c.CompanyName});
        found = out.size();
    }
    state.counters["found"] = double(found);
}

// The copy the search thread works on, taken when the search starts. It shares the book's list,
// so what costs is the book's first change while the search holds it: the book then copies its
// list (freeing the search's copy afterwards is the search thread's and is not timed).
void BM_Snapshot(benchmark::State &state)
{
    TContactList list = contacts(int(state.range(0)));
    for (auto _ : state) {
        auto snapshot = std::make_unique<TContactList>(list);
        list[0].BlackList = !list[0].BlackList;
        state.PauseTiming();
        snapshot.reset();
        state.ResumeTiming();
    }
}

BENCHMARK(BM_Snapshot)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SearchContacts)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlainContains)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond)->UseRealTime();

qint64 threadCpuNs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return qint64(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

struct WindowRun
{
    double totalMs = 0;
    double longestBlockMs = 0;
    double longestBlockCpuMs = 0; // of the window's thread, in that stretch
    int found = 0;
};

// One search in the window: from the click to the worker's end, with a 1 ms timer noting the
// longest gap between two turns of the event loop.
WindowRun searchInWindow(TfrmFindContact &window, const QString &text)
{
    window.editSearch->setText(text);
    window.cbSearchInFields->setCurrentIndex(0);
    WindowRun run;
    QElapsedTimer clock;
    qint64 lastTurn = 0;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(1);
    qint64 lastCpu = 0;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        const qint64 cpu = threadCpuNs();
        if (double(now - lastTurn) / 1e6 > run.longestBlockMs) {
            run.longestBlockMs = double(now - lastTurn) / 1e6;
            run.longestBlockCpuMs = double(cpu - lastCpu) / 1e6;
        }
        lastTurn = now;
        lastCpu = cpu;
    });
    QEventLoop loop;
    QTimer done;
    done.setInterval(1);
    QObject::connect(&done, &QTimer::timeout, [&] {
        if (!window.searching()) {
            run.totalMs = double(clock.nsecsElapsed()) / 1e6;
            loop.quit();
        }
    });
    QTimer::singleShot(0, [&] {
        clock.start();
        lastCpu = threadCpuNs();
        tick.start();
        window.btnSearch->click();
        done.start();
    });
    loop.exec();
    run.found = window.resultCount();
    window.btnClearClick();
    return run;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();

    QTemporaryDir temp(QDir::currentPath() + QStringLiteral("/bench_search-XXXXXX"));
    if (!temp.isValid() || !SaveAddressbook(temp.path() + QLatin1Char('/'), contacts(100'000))) {
        std::fprintf(stderr, "cannot write the address book\n");
        return 1;
    }
    AddressBook book(temp.path() + QLatin1Char('/'), FileAccess::ReadOnly);
    if (!book.load()) {
        std::fprintf(stderr, "cannot read the address book\n");
        return 1;
    }
    TfrmFindContact window(book);
    window.show();
    std::printf("\nSearch window, %d contacts (median of 5 searches):\n", int(book.contacts().size()));
    for (const QString &text : {kText, QStringLiteral("a")}) {
        std::vector<WindowRun> runs;
        for (int i = 0; i < 5; ++i)
            runs.push_back(searchInWindow(window, text));
        std::sort(runs.begin(), runs.end(),
                  [](const WindowRun &a, const WindowRun &b) { return a.totalMs < b.totalMs; });
        double longest = 0;
        double longestCpu = 0;
        for (const WindowRun &r : runs) {
            longest = std::max(longest, r.longestBlockMs);
            longestCpu = std::max(longestCpu, r.longestBlockCpuMs);
            std::printf("    %.1f ms, blocked at most %.1f ms (window thread's CPU %.1f ms)\n", r.totalMs,
                        r.longestBlockMs, r.longestBlockCpuMs);
        }
        std::printf("  \"%s\": %d found, click to last result %.1f ms, event loop blocked at most %.1f ms "
                    "(window thread's CPU in such a stretch at most %.1f ms)\n",
                    qPrintable(text), runs[2].found, runs[2].totalMs, longest, longestCpu);
    }
    benchmark::Shutdown();
    return 0;
}

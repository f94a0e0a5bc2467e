// The caller look-up for a number that matches nobody (the worst case: every stored number is
// looked at), over address books of 1 000, 10 000 and 100 000 contacts with eight numbers each,
// against the plain scan that reduces every stored number to digits on each call, in the same
// run. Also the one-off cost of rebuilding the digit cache after the list changed.
//
//   bench_numbers [google benchmark flags]

#include "store/Numbers.h"
#include "store/Records.h"

#include <QRandomGenerator>

#include <benchmark/benchmark.h>

namespace {

// Numbers as people type them, in several styles, made of the digits 1..8 after their prefix,
// so that a caller number holding a 9 matches none of them.
QString typedNumber(QRandomGenerator &rng)
{
    auto digits = [&](int n) {
        QString s;
        for (int i = 0; i < n; ++i)
            s += QChar(u'1' + char16_t(rng.bounded(8)));
        return s;
    };
    switch (rng.bounded(4)) {
    case 0:
        return QStringLiteral("+385 ") + digits(1) + QLatin1Char(' ') + digits(7);
    case 1:
        return QStringLiteral("0") + digits(2) + QLatin1Char('/') + digits(3) + QLatin1Char('-') + digits(4);
    case 2:
        return QStringLiteral("00") + digits(3) + QStringLiteral(" (") + digits(2) + QStringLiteral(") ") +
               digits(6);
    default:
        return digits(6);
    }
}

TContactList g_contacts;

void fillContacts(int count)
{
    g_contacts.clear();
    QRandomGenerator rng(count);
    for (int i = 0; i < count; ++i) {
        AListAddress c;
        c.DisplayNameAs = QStringLiteral("Kontakt %1").arg(i);
        for (std::size_t k = 0; k < 8; ++k) {
            c.PhoneNumber[k] = typedNumber(rng);
            c.PhoneLocation[k] = QStringLiteral("Mjesto");
        }
        g_contacts.append(c);
    }
}

const QString kMissingCaller = QStringLiteral("+385 91 999 9999");

void BM_FindContactByNumber_Miss(benchmark::State &state)
{
    fillContacts(int(state.range(0)));
    const ContactNumberIndex index(g_contacts);
    for (auto _ : state) {
        const ContactMatch match = index.find(g_contacts, kMissingCaller);
        if (match.found())
            state.SkipWithError("the caller number matched");
        benchmark::DoNotOptimize(match);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0) * 8);
}

// The look-up as a plain linear scan does it, without any cache.
int plainScan(const QString &callerNumber)
{
    const QString caller = DigitsOnly(callerNumber);
    for (int i = 0; i < g_contacts.size(); ++i) {
        for (const QString &number : g_contacts[i].PhoneNumber) {
            const QString stored = DigitsOnly(number);
            if (!stored.isEmpty() && NumbersMatch(caller, stored))
                return i;
        }
    }
    return -1;
}

void BM_PlainScan_Miss(benchmark::State &state)
{
    fillContacts(int(state.range(0)));
    for (auto _ : state) {
        const int index = plainScan(kMissingCaller);
        if (index >= 0)
            state.SkipWithError("the caller number matched");
        benchmark::DoNotOptimize(index);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0) * 8);
}

// The first look-up after the list changed pays for the cache.
void BM_FindContactByNumber_AfterChange(benchmark::State &state)
{
    fillContacts(int(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(FindContactByNumber(g_contacts, kMissingCaller));
    }
}

} // namespace

BENCHMARK(BM_FindContactByNumber_Miss)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlainScan_Miss)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FindContactByNumber_AfterChange)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();

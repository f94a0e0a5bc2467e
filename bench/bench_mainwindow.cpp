// How quickly the address book and call log window shows its pages over 10 000 contacts with
// eight numbers each and 100 000 logged calls, and how quickly the call list scrolls, against a
// plain Qt list of the same number of rows shown in the same run.
//
// Runs by hand (not under CTest): build/bin/bench_mainwindow. Offscreen; every figure includes
// painting the whole window once, as a user would see it.

#include "settings/Settings.h"
#include "store/AddressBook.h"
#include "store/CallLog.h"
#include "store/DataDir.h"
#include "store/FileRecords.h"
#include "ui/TfrmMain.h"

#include <benchmark/benchmark.h>

#include <QAbstractTableModel>
#include <QApplication>
#include <QDate>
#include <QDir>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTreeView>

#include <memory>

namespace {

constexpr int kContacts = 10'000;
constexpr int kCalls = 100'000;

// Writes the data files the window then loads.
void fillLists()
{
    TContactList contacts;
    TGroupList groups;
    TCallList calls;
    for (int g = 0; g < 20; ++g)
        groups.append(AGroups{QStringLiteral("Grupa %1").arg(g), QString()});
    for (int i = 0; i < kContacts; ++i) {
        AListAddress c;
        // Not in sorted order, so the rows really are sorted.
        const int n = (i * 7919) % kContacts;
        c.FirstName = QStringLiteral("Ime%1").arg(n);
        c.LastName = QStringLiteral("Prezime%1").arg(n);
        c.DisplayNameAs = QStringLiteral("Čavić %1, Ana").arg(n, 5, 10, QLatin1Char('0'));
        c.CompanyName = QStringLiteral("Tvrtka %1 d.o.o.").arg(n % 300);
        c.Group = QStringLiteral("Grupa %1").arg(n % 20);
        c.Notes = QStringLiteral("Napomena\r\nu dva reda");
        c.BlackList = n % 97 == 0;
        for (int k = 0; k < 8; ++k)
            c.PhoneNumber[std::size_t(k)] =
                QStringLiteral("0%1 %2").arg(20 + k).arg(n, 7, 10, QLatin1Char('0'));
        contacts.append(std::move(c));
    }
    const double today = TDateFromQDate(QDate::currentDate());
    for (int i = 0; i < kCalls; ++i) {
        ACalls call;
        call.CallerName = QStringLiteral("Pozivatelj %1").arg(i);
        // Every other call comes from a contact's number, the rest from unknown numbers, so the
        // rows shown mix hits and full misses of the look-up.
        call.CallerNumber =
            i % 2 == 0 ? QStringLiteral("0%1%2").arg(20 + i % 8).arg(i % kContacts, 7, 10, QLatin1Char('0'))
                       : QStringLiteral("099%1").arg(i, 7, 10, QLatin1Char('0'));
        call.CalledNumber = QStringLiteral("012345678");
        call.CallDate = today - i / 50;
        call.CallTime = double(i % 50) / 50.0;
        call.IsNew = i < 25;
        calls.append(std::move(call));
    }
    SaveAddressbook(DataDir(), contacts);
    SaveGroups(DataDir(), groups);
    SaveCalls(DataDir(), calls);
}

struct Window
{
    Window()
    {
        // Questions and the seen-calls save are not what is measured.
        settings.setFlag(Settings::ConfirmDelete, false);
        book.load();
        log.load();
        main = std::make_unique<TfrmMain>(settings, book, log);
        main->setCallsSeenHandler([](bool) {});
    }
    Settings settings;
    AddressBook book{DataDir()};
    CallLog log{DataDir()};
    std::unique_ptr<TfrmMain> main;
};

Window &window()
{
    static Window w;
    return w;
}

// The whole window painted now, not at the next pass of the event loop.
void paintNow(QWidget *w)
{
    QCoreApplication::processEvents();
    w->repaint();
}

// From a hidden window to PAGE shown and painted.
void showPage(benchmark::State &state, TfrmMain::Page page)
{
    TfrmMain &main = *window().main;
    for (auto _ : state) {
        state.PauseTiming();
        main.hide();
        QCoreApplication::processEvents();
        state.ResumeTiming();
        main.ShowPage(page);
        paintNow(&main);
    }
    state.counters["rows"] = page == TfrmMain::PageCalls ? main.callRowCount() : main.contactRowCount();
}

void BM_ShowAddressbookPage(benchmark::State &state)
{
    showPage(state, TfrmMain::PageAddressbook);
}
BENCHMARK(BM_ShowAddressbookPage)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ShowCallsPage(benchmark::State &state)
{
    showPage(state, TfrmMain::PageCalls);
}
BENCHMARK(BM_ShowCallsPage)->Unit(benchmark::kMillisecond)->UseRealTime();

// The page buttons of a window already shown.
void BM_SwitchPages(benchmark::State &state)
{
    TfrmMain &main = *window().main;
    main.ShowPage(TfrmMain::PageAddressbook);
    int page = 0;
    for (auto _ : state) {
        page = 1 - page;
        main.SetPage(page);
        paintNow(&main);
    }
}
BENCHMARK(BM_SwitchPages)->Unit(benchmark::kMillisecond)->UseRealTime();

// One page down in the call list: new rows, each looked up in the address book.
void BM_ScrollCalls(benchmark::State &state)
{
    TfrmMain &main = *window().main;
    main.ShowPage(TfrmMain::PageCalls);
    auto *calls = main.findChild<QTreeView *>(QStringLiteral("lvCalls"));
    QScrollBar *bar = calls->verticalScrollBar();
    for (auto _ : state) {
        bar->setValue(bar->value() + bar->pageStep() > bar->maximum() ? 0 : bar->value() + bar->pageStep());
        paintNow(calls);
    }
}
BENCHMARK(BM_ScrollCalls)->Unit(benchmark::kMillisecond)->UseRealTime();

// The baseline: a plain Qt list with the call list's row count and four fixed texts per row,
// shown and painted in a window of the same size.
class PlainModel : public QAbstractTableModel
{
public:
    int rowCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : kCalls; }
    int columnCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : 4; }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (role != Qt::DisplayRole)
            return {};
        return QStringLiteral("Red %1, stupac %2").arg(index.row()).arg(index.column());
    }
};

void BM_PlainList(benchmark::State &state)
{
    PlainModel model;
    QTreeView view;
    view.setRootIsDecorated(false);
    view.setUniformRowHeights(true);
    view.setModel(&model);
    view.resize(window().main->size());
    for (auto _ : state) {
        state.PauseTiming();
        view.hide();
        QCoreApplication::processEvents();
        state.ResumeTiming();
        view.show();
        paintNow(&view);
    }
}
BENCHMARK(BM_PlainList)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    QTemporaryDir root;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(root.path() + QStringLiteral("/config")));
    qputenv("TELLWISE_DATA_DIR", QFile::encodeName(root.path() + QStringLiteral("/data")));
    QDir().mkpath(root.path() + QStringLiteral("/data"));
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    fillLists();

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    window().main.reset();
    return 0;
}

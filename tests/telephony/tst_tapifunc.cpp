#include "telephony/LineProvider.h"
#include "telephony/TapiFunc.h"

#include <QElapsedTimer>
#include <QHash>
#include <QTest>
#include <QTimer>

#include <cstring>
#include <vector>

using telephony::CallData;

// An in-process line device for what no modem can show: old API versions, non-ASCII names,
// oversized structures, arbitrary changed-item masks, a line that vanishes.
class TestLineDevice : public telephony::LineDevice
{
    Q_OBJECT
public:
    QByteArray name;
    QByteArray info = "Test provider";
    DWORD format = STRINGFORMAT_ASCII;
    DWORD media = LINEMEDIAMODE_DATAMODEM | LINEMEDIAMODE_INTERACTIVEVOICE;
    DWORD highVersion = 0x00020000;
    DWORD cidCaps = LINECALLPARTYID_NAME | LINECALLPARTYID_ADDRESS;
    QByteArray extra;
    bool openSucceeds = true;

    int starts = 0;
    int stops = 0;
    QStringList requests; // "answer 1", "drop 2"
    QHash<int, telephony::CallData> calls;

    explicit TestLineDevice(QByteArray lineName) : name(std::move(lineName)) {}

    QByteArray lineName() const override { return name; }
    QByteArray providerInfo() const override { return info; }
    DWORD stringFormat() const override { return format; }
    DWORD mediaModes() const override { return media; }
    DWORD highestApiVersion() const override { return highVersion; }
    DWORD callerIdCaps() const override { return cidCaps; }
    QByteArray devSpecific() const override { return extra; }
    bool startMonitoring() override
    {
        ++starts;
        return openSucceeds;
    }
    void stopMonitoring() override { ++stops; }
    void answerCall(int callId, Done done) override { request("answer", callId, done); }
    void dropCall(int callId, Done done) override { request("drop", callId, done); }
    telephony::CallData callData(int callId) const override { return calls.value(callId); }

    void offer(int callId) { emit callStateChanged(callId, LINECALLSTATE_OFFERING, LINEOFFERINGMODE_ACTIVE); }
    void identify(int callId, const telephony::CallData &data, DWORD mask = LINECALLINFOSTATE_CALLERID)
    {
        calls[callId] = data;
        emit callInfoChanged(callId, mask);
    }
    void end(int callId)
    {
        emit callStateChanged(callId, LINECALLSTATE_DISCONNECTED, LINEDISCONNECTMODE_NORMAL);
        emit callStateChanged(callId, LINECALLSTATE_IDLE, 0);
    }
    void lose() { emit deviceLost(); }

private:
    void request(const char *what, int callId, Done done)
    {
        requests.append(QStringLiteral("%1 %2").arg(QLatin1String(what)).arg(callId));
        QTimer::singleShot(0, this, [done] { done(0); });
    }
};

class TestLineProvider : public telephony::LineProvider
{
public:
    QList<QSharedPointer<TestLineDevice>> list;

    QList<QSharedPointer<telephony::LineDevice>> devices() override
    {
        QList<QSharedPointer<telephony::LineDevice>> result;
        for (const auto &d : list)
            result.append(d);
        return result;
    }
};

namespace {

struct Events
{
    int rings = 0;
    int ended = 0;
    int failed = 0;
    QStringList callers; // "name|number|blocked|outOfArea"
};

Events g_events;

// Raw messages of a line application that the tests drive directly.
struct RawMessage
{
    DWORD device, message;
    DWORD_PTR p1, p2, p3;
};
std::vector<RawMessage> g_raw;

void CALLBACK rawCallback(DWORD hDevice, DWORD msg, DWORD_PTR, DWORD_PTR p1, DWORD_PTR p2, DWORD_PTR p3)
{
    g_raw.push_back({hDevice, msg, p1, p2, p3});
}

std::vector<char> buffer(DWORD size)
{
    std::vector<char> b(size, 0);
    std::memcpy(b.data(), &size, sizeof size);
    return b;
}

} // namespace

class TestTapiFunc : public QObject
{
    Q_OBJECT
private:
    std::shared_ptr<TestLineProvider> m_provider;
    QSharedPointer<TestLineDevice> m_modem, m_old, m_unicode, m_voice, m_big, m_after;

private slots:
    void initTestCase()
    {
        telephony::ClearLineProviders();
        m_provider = std::make_shared<TestLineProvider>();
        telephony::RegisterLineProvider(m_provider);

        OnTapiRing = [] { ++g_events.rings; };
        OnTapiCallEnded = [] { ++g_events.ended; };
        OnTapiLineFailed = [] { ++g_events.failed; };
        OnTapiCallerIdentified = [](const QString &name, const QString &number, const QString &called,
                                    bool handOn) {
            QVERIFY(called.isEmpty());
            QVERIFY(handOn);
            g_events.callers.append(
                QStringList{name, number, QString::number(CallerBlocked), QString::number(CallerOutOfArea)}
                    .join(QLatin1Char('|')));
        };
    }

    void init()
    {
        m_modem.reset(new TestLineDevice("Modem A"));
        m_old.reset(new TestLineDevice("Old Modem"));
        m_old->highVersion = 0x00010003;
        m_unicode.reset(new TestLineDevice(QByteArray("M\0o\0d\0e\0m\0 \0\x0c\x01", 14)));
        m_unicode->format = STRINGFORMAT_UNICODE;
        m_voice.reset(new TestLineDevice("Voice Line"));
        m_voice->media = LINEMEDIAMODE_INTERACTIVEVOICE;
        m_big.reset(new TestLineDevice("Big Modem"));
        m_big->extra = QByteArray(3000, 'x');
        m_after.reset(new TestLineDevice("After Big"));
        m_provider->list = {m_modem, m_old, m_unicode, m_voice, m_big, m_after};
        g_events = Events();
        g_raw.clear();
    }

    void cleanup()
    {
        StopTapiMonitor();
        QCoreApplication::processEvents();
    }

    void rejectBeforeAnyCallDoesNothing()
    {
        StartTapiMonitor(QStringLiteral("Modem A"));
        QVERIFY(TapiLineOpen);
        RejectTapiCall();
        QTest::qWait(20);
        QVERIFY(m_modem->requests.isEmpty());
    }

    void listsAndFindsUsableModemLines()
    {
        QStringList list{QStringLiteral("stale entry")};
        ListTapiDevices(list);
        // Old Modem negotiates below 1.4, the Unicode name is not ASCII, Voice Line has no data
        // modem; Big Modem's caps do not fit the first buffer and must be read again.
        const QStringList usable{QStringLiteral("Modem A"), QStringLiteral("Big Modem"),
                                 QStringLiteral("After Big")};
        QCOMPARE(list, usable);
        // Finding takes the exact ASCII name, usable or not.
        QCOMPARE(FindTapiDevice(QStringLiteral("Old Modem")), 1);
        QCOMPARE(uint(TapiApiVersion), 0x00010003u);
        QCOMPARE(FindTapiDevice(QStringLiteral("After Big")), 5);
        QCOMPARE(FindTapiDevice(QStringLiteral("modem a")), -1);
        QCOMPARE(FindTapiDevice(QStringLiteral("Modem Č")), -1);

        // Listing and finding again while the monitor holds a line leaves the line working, and
        // its messages come through the event loop.
        StartTapiMonitor(QStringLiteral("Modem A"));
        ListTapiDevices(list);
        QCOMPARE(list, usable);
        QCOMPARE(FindTapiDevice(QStringLiteral("Modem A")), 0);
        QVERIFY(TapiLineOpen);
        m_modem->offer(9);
        QCOMPARE(g_events.rings, 0); // never from inside the provider's call
        QTRY_COMPARE(g_events.rings, 1);
        m_modem->end(9);
        QTRY_COMPARE(g_events.ended, 1); // DISCONNECTED and IDLE end one call once
        QCOMPARE(m_modem->stops, 0);
    }

    // Everything is closed again: a later start on a good device works. (Stopping twice: the
    // modem line's test.)
    void lineThatDoesNotOpenFails()
    {
        m_modem->openSucceeds = false;
        StartTapiMonitor(QStringLiteral("Modem A"));
        QVERIFY(TapiLineFailed && !TapiLineOpen);
        m_modem->openSucceeds = true;
        StartTapiMonitor(QStringLiteral("Modem A"));
        QVERIFY(TapiLineOpen && !TapiLineFailed);
    }

    void readsCallerInfo_data()
    {
        QTest::addColumn<uint>("flags");
        QTest::addColumn<QByteArray>("number");
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<int>("extra");
        QTest::addColumn<QString>("expected");
        auto row = [](const char *what, uint flags, const char *number, const char *name, int extra,
                      const char *expected) {
            QTest::newRow(what) << flags << QByteArray(number) << QByteArray(name) << extra
                                << QString(expected);
        };
        const uint blk = LINECALLPARTYID_BLOCKED, ooa = LINECALLPARTYID_OUTOFAREA,
                   both = LINECALLPARTYID_NAME | LINECALLPARTYID_ADDRESS;
        row("name and number", both, "0912345678", "Ana Horvat", 0, "Ana Horvat|0912345678|0|0");
        row("withheld", blk, "", "", 0, "< Nepoznat >|< Sakriven >|1|0");
        row("withheld but number delivered", blk | LINECALLPARTYID_ADDRESS, "0912", "", 0,
            "< Nepoznat >|0912|1|0");
        row("both flags: out of area wins", blk | ooa, "", "", 0, "< Nepoznat >|< Neidentificiran >|1|1");
        row("no flags", 0, "0912", "Ana", 0, "||0|0");
        row("larger than the first buffer", both, "0912345678", "Ana Horvat", 4000,
            "Ana Horvat|0912345678|0|0");
    }

    void readsCallerInfo()
    {
        QFETCH(uint, flags);
        QFETCH(QByteArray, number);
        QFETCH(QByteArray, name);
        QFETCH(int, extra);
        QFETCH(QString, expected);
        StartTapiMonitor(QStringLiteral("Modem A"));
        CallerBlocked = true; // left over from an earlier call: must be cleared
        CallerOutOfArea = true;
        m_modem->offer(7);
        m_modem->identify(7, CallData{flags, number, name, {}, QByteArray(extra, 'd'), {}});
        QTRY_COMPARE(g_events.callers.size(), 1);
        QCOMPARE(g_events.callers.first(), expected);
    }

    void ignoresCallerItemWithOtherItems()
    {
        StartTapiMonitor(QStringLiteral("Modem A"));
        m_modem->offer(3);
        const CallData data{LINECALLPARTYID_ADDRESS, "0912", {}, {}, {}, {}};
        m_modem->identify(3, data, LINECALLINFOSTATE_CALLERID | LINECALLINFOSTATE_OTHER);
        m_modem->identify(3, data, LINECALLINFOSTATE_OTHER);
        QTest::qWait(30);
        QVERIFY(g_events.callers.isEmpty());
        m_modem->identify(3, data, LINECALLINFOSTATE_CALLERID);
        QTRY_COMPARE(g_events.callers, QStringList{QStringLiteral("|0912|0|0")});
    }

    void textFieldsOutsideTheStructureReadEmpty()
    {
        // A provider's structure is outside input: offsets past the block must not be followed.
        auto block = buffer(kCallInfoBufferSize);
        auto *info = reinterpret_cast<LPLINECALLINFO>(block.data());
        const QByteArray number("0912345678");
        std::memcpy(block.data() + 1000, number.constData(), size_t(number.size()) + 1);
        info->dwCallerIDFlags = LINECALLPARTYID_ADDRESS | LINECALLPARTYID_NAME;
        info->dwCallerIDOffset = 1000;
        info->dwCallerIDSize = DWORD(number.size()) + 1;
        info->dwCallerIDNameOffset = kCallInfoBufferSize - 4;
        info->dwCallerIDNameSize = 100;
        ReadCallerInfo(info);
        info->dwCallerIDOffset = 0xFFFFFFF0;
        info->dwCallerIDNameSize = 0;
        ReadCallerInfo(info);
        QCOMPARE(g_events.callers, (QStringList{QStringLiteral("|0912345678|0|0"), QStringLiteral("||0|0")}));
    }

    void answerAndDropReplyLater()
    {
        HLINEAPP app = nullptr;
        DWORD count = 0;
        HLINE line = nullptr;
        QCOMPARE(lineInitialize(&app, nullptr, rawCallback, nullptr, &count), 0);
        QCOMPARE(lineOpen(app, 0, &line, 0x00020000, 0, 0, LINECALLPRIVILEGE_OWNER, LINEMEDIAMODE_DATAMODEM,
                          nullptr),
                 0);
        m_modem->offer(5);
        const auto isState = [](const RawMessage &m) { return m.message == LINE_CALLSTATE; };
        QTRY_VERIFY(std::any_of(g_raw.begin(), g_raw.end(), isState));
        const auto offering = std::find_if(g_raw.begin(), g_raw.end(), isState);
        QCOMPARE(offering->p1, DWORD_PTR(LINECALLSTATE_OFFERING));
        const HCALL call = reinterpret_cast<HCALL>(DWORD_PTR(offering->device));
        g_raw.clear();
        const LONG answer = lineAnswer(call, nullptr, 0);
        QVERIFY(answer > 0 && g_raw.empty()); // the reply comes later, through the event loop
        QTRY_COMPARE(g_raw.size(), size_t(1));
        QCOMPARE(g_raw[0].p1, DWORD_PTR(answer));
        // An active call cannot be deallocated by its owner; an idle one can, once.
        QCOMPARE(DWORD(lineDeallocateCall(call)), DWORD(LINEERR_INVALCALLSTATE));
        m_modem->end(5);
        QTRY_VERIFY(g_raw.back().message == LINE_CALLSTATE && g_raw.back().p1 == LINECALLSTATE_IDLE);
        QCOMPARE(lineDeallocateCall(call), 0);
        QCOMPARE(DWORD(lineDeallocateCall(call)), DWORD(LINEERR_INVALCALLHANDLE));
        lineShutdown(app);
    }

    void rejectDropsTheCallCurrentAfterTheHold()
    {
        StartTapiMonitor(QStringLiteral("Modem A"));
        m_modem->offer(1);
        QTRY_COMPARE(g_events.rings, 1);
        QElapsedTimer clock;
        clock.start();
        RejectTapiCall();
        QTRY_COMPARE(m_modem->requests, QStringList{QStringLiteral("answer 1")});
        // A new call arrives while the rejected one is held: the drop goes to the current one.
        m_modem->end(1);
        m_modem->offer(2);
        QTRY_COMPARE(g_events.rings, 2);
        QTRY_COMPARE_WITH_TIMEOUT(m_modem->requests.size(), 2, 7000);
        QVERIFY(clock.elapsed() >= kRejectHoldMs - 50);
        QCOMPARE(m_modem->requests.last(), QStringLiteral("drop 2"));
    }
};

QTEST_GUILESS_MAIN(TestTapiFunc)
#include "tst_tapifunc.moc"

#include "telephony/TapiFunc.h"

#include "store/CallPlaceholders.h"
#include "store/Cp1250.h"

#include <QByteArrayView>
#include <QCoreApplication>
#include <QTimer>

#include <cstring>
#include <vector>

DWORD TapiApiVersion = 0;
QString TapiProviderInfo;
bool TapiLineOpen = false;
bool TapiLineFailed = false;
bool CallerBlocked = false;
bool CallerOutOfArea = false;

std::function<void()> OnTapiRing;
std::function<void(const QString &, const QString &, const QString &, bool)> OnTapiCallerIdentified;
std::function<void()> OnTapiCallEnded;
std::function<void()> OnTapiLineFailed;
std::function<bool()> TapiDeviceIsModem = [] { return true; };

namespace {

constexpr DWORD kLowestApiVersion = 0x00010000;
constexpr DWORD kHighestApiVersion = 0x10000000;
constexpr DWORD kListedMinimumVersion = 0x00010004;

HLINEAPP g_lineApp = nullptr;
HLINE g_line = nullptr;
DWORD g_deviceCount = 0;
LINEEXTENSIONID g_extensionId{};
HCALL g_currentCall = nullptr;
// The call whose end was reported: DISCONNECTED and IDLE both end a call, the pipeline hears it once.
HCALL g_endedCall = nullptr;
// Bumped by StopTapiMonitor, so a reject still waiting does not drop a call of a later start.
unsigned g_monitorGeneration = 0;

// A heap block for one of the variable-size structures, its dwTotalSize kept equal to its size.
class VarBuffer
{
public:
    explicit VarBuffer(DWORD size) { resize(size); }

    void resize(DWORD size)
    {
        m_bytes.assign(size, 0);
        std::memcpy(m_bytes.data(), &size, sizeof size);
    }
    template <typename T> T *as() { return reinterpret_cast<T *>(m_bytes.data()); }

private:
    std::vector<char> m_bytes;
};

// Calls once; when the provider needs more room than the block has, grows the block to the
// needed size and calls once more.
template <typename T, typename Call> LONG readStructure(VarBuffer &buffer, Call call)
{
    LONG r = call(buffer.as<T>());
    if (r == 0 && buffer.as<T>()->dwNeededSize > buffer.as<T>()->dwTotalSize) {
        buffer.resize(buffer.as<T>()->dwNeededSize);
        r = call(buffer.as<T>());
    }
    return r;
}

// A text field (size counting the terminating zero, offset from the structure's start). A field
// pointing outside the structure reads as empty rather than past the block.
template <typename T> QString fieldText(const T *s, DWORD size, DWORD offset)
{
    if (offset == 0 || size == 0)
        return {};
    if (offset >= s->dwTotalSize || size > s->dwTotalSize - offset)
        return {};
    const char *begin = reinterpret_cast<const char *>(s) + offset;
    QByteArrayView text(begin, qsizetype(size - 1));
    if (const qsizetype zero = text.indexOf('\0'); zero >= 0)
        text = text.first(zero);
    // Texts of the line are in the system's code page: Windows-1250 (names with Croatian letters).
    return DecodeCp1250(text.data(), text.size());
}

LONG negotiate(HLINEAPP app, DWORD deviceId)
{
    return lineNegotiateAPIVersion(app, deviceId, kLowestApiVersion, kHighestApiVersion, &TapiApiVersion,
                                   &g_extensionId);
}

void callEnded()
{
    if (g_endedCall == g_currentCall)
        return;
    g_endedCall = g_currentCall;
    if (OnTapiCallEnded)
        OnTapiCallEnded();
}

void lineLost()
{
    // The line service has closed the line already; shut the application down with it.
    g_line = nullptr;
    if (g_lineApp)
        lineShutdown(g_lineApp);
    g_lineApp = nullptr;
    TapiLineOpen = false;
    TapiLineFailed = true;
    if (OnTapiLineFailed)
        OnTapiLineFailed();
}

} // namespace

void StartTapiMonitor(const QString &deviceName)
{
    TapiLineOpen = false;
    TapiLineFailed = false;
    g_lineApp = nullptr;
    const LONG init = lineInitialize(&g_lineApp, nullptr, LineCallback, nullptr, &g_deviceCount);
    const int deviceId = FindTapiDevice(deviceName);
    bool ok = init == 0 && g_deviceCount > 0 && deviceId >= 0;
    if (ok)
        ok = lineNegotiateAPIVersion(g_lineApp, DWORD(deviceId), kLowestApiVersion, kHighestApiVersion,
                                     &TapiApiVersion, &g_extensionId) == 0;
    if (ok) {
        ok = lineOpen(g_lineApp, DWORD(deviceId), &g_line, TapiApiVersion, 0, 0,
                      LINECALLPRIVILEGE_OWNER | LINECALLPRIVILEGE_MONITOR, LINEMEDIAMODE_DATAMODEM,
                      nullptr) == 0 &&
             g_lineApp != nullptr;
    }
    if (ok) {
        TapiLineOpen = true;
        return;
    }
    StopTapiMonitor();
    TapiLineFailed = true;
}

void StopTapiMonitor()
{
    if (g_line)
        lineClose(g_line);
    if (g_lineApp)
        lineShutdown(g_lineApp);
    g_line = nullptr;
    g_lineApp = nullptr;
    ++g_monitorGeneration;
    TapiLineOpen = false;
    TapiLineFailed = false;
}

void ListTapiDevices(QStringList &list)
{
    HLINEAPP local = nullptr;
    if (lineInitialize(&local, nullptr, LineCallback, nullptr, &g_deviceCount) != 0) {
        if (local)
            lineShutdown(local);
        return;
    }
    list.clear();
    VarBuffer buffer(kDevCapsBufferSize);
    for (DWORD id = 0; id < g_deviceCount; ++id) {
        if (negotiate(local, id) != 0 || TapiApiVersion < kListedMinimumVersion)
            continue;
        const DWORD version = TapiApiVersion;
        const LONG r = readStructure<LINEDEVCAPS>(
            buffer, [&](LINEDEVCAPS *caps) { return lineGetDevCaps(local, id, version, 0, caps); });
        const LINEDEVCAPS *caps = buffer.as<LINEDEVCAPS>();
        if (r == 0 && caps->dwStringFormat == STRINGFORMAT_ASCII &&
            (caps->dwMediaModes & LINEMEDIAMODE_DATAMODEM))
            list.append(fieldText(caps, caps->dwLineNameSize, caps->dwLineNameOffset));
    }
    lineShutdown(local);
}

int FindTapiDevice(const QString &name)
{
    int result = -1;
    HLINEAPP local = nullptr;
    if (lineInitialize(&local, nullptr, LineCallback, nullptr, &g_deviceCount) == 0) {
        VarBuffer buffer(kDevCapsBufferSize);
        for (DWORD id = 0; id < g_deviceCount; ++id) {
            if (negotiate(local, id) != 0)
                continue;
            const DWORD version = TapiApiVersion;
            const LONG r = readStructure<LINEDEVCAPS>(
                buffer, [&](LINEDEVCAPS *caps) { return lineGetDevCaps(local, id, version, 0, caps); });
            const LINEDEVCAPS *caps = buffer.as<LINEDEVCAPS>();
            if (r != 0 || caps->dwStringFormat != STRINGFORMAT_ASCII)
                continue;
            const QString lineName = fieldText(caps, caps->dwLineNameSize, caps->dwLineNameOffset);
            TapiProviderInfo = fieldText(caps, caps->dwProviderInfoSize, caps->dwProviderInfoOffset);
            if (lineName == name) {
                result = int(id);
                break;
            }
        }
    }
    if (local)
        lineShutdown(local);
    return result;
}

TCallerDisplayCaps GetCallerDisplayCaps(DWORD deviceId, TCallerDisplayCaps caps)
{
    HLINEAPP local = nullptr;
    if (lineInitialize(&local, nullptr, LineCallback, nullptr, &g_deviceCount) == 0 &&
        negotiate(local, deviceId) == 0) {
        const DWORD version = TapiApiVersion;
        VarBuffer buffer(kAddressCapsBufferSize);
        const LONG r = readStructure<LINEADDRESSCAPS>(buffer, [&](LINEADDRESSCAPS *c) {
            return lineGetAddressCaps(local, deviceId, 0, version, 0, c);
        });
        if (r == 0) {
            const DWORD flags = buffer.as<LINEADDRESSCAPS>()->dwCallerIDFlags;
            caps.name = flags & LINECALLPARTYID_NAME;
            caps.number = flags & LINECALLPARTYID_ADDRESS;
            caps.blocked = flags & LINECALLPARTYID_BLOCKED;
            caps.outOfArea = flags & LINECALLPARTYID_OUTOFAREA;
            caps.reject = buffer.as<LINEADDRESSCAPS>()->dwCallFeatures & LINECALLFEATURE_ANSWER;
        }
    }
    if (local)
        lineShutdown(local);
    return caps;
}

void RejectTapiCall()
{
    if (!g_currentCall)
        return;
    lineAnswer(g_currentCall, nullptr, 0);
    // A timer instead of a nested message loop: the program stays responsive the same way, and
    // the drop goes to the call that is current when the time is up. A precise timer: a coarse
    // one may fire up to 5 % early.
    const unsigned generation = g_monitorGeneration;
    QTimer::singleShot(kRejectHoldMs, Qt::PreciseTimer, [generation] {
        if (generation == g_monitorGeneration && g_currentCall)
            lineDrop(g_currentCall, nullptr, 0);
    });
}

void CALLBACK LineCallback(DWORD hDevice, DWORD dwMessage, DWORD_PTR, DWORD_PTR dwParam1, DWORD_PTR,
                           DWORD_PTR)
{
    if (dwMessage == LINE_CALLSTATE || dwMessage == LINE_CALLINFO)
        g_currentCall = reinterpret_cast<HCALL>(DWORD_PTR(hDevice));

    switch (dwMessage) {
    case LINE_CALLSTATE:
        if (dwParam1 == LINECALLSTATE_OFFERING) {
            g_endedCall = nullptr; // a handle may come again after its call was deallocated
            if (OnTapiRing)
                OnTapiRing();
        } else if (dwParam1 == LINECALLSTATE_DISCONNECTED) {
            callEnded();
        } else if (dwParam1 == LINECALLSTATE_IDLE && g_currentCall) {
            lineDeallocateCall(g_currentCall);
            callEnded();
        }
        break;
    case LINE_CALLINFO:
        if (dwParam1 == kCallerItemMask && g_currentCall) {
            VarBuffer buffer(kCallInfoBufferSize);
            const HCALL call = g_currentCall;
            const LONG r = readStructure<LINECALLINFO>(
                buffer, [call](LINECALLINFO *info) { return lineGetCallInfo(call, info); });
            if (r == 0 && (!TapiDeviceIsModem || TapiDeviceIsModem()))
                ReadCallerInfo(buffer.as<LINECALLINFO>());
        }
        break;
    case LINE_CLOSE:
        // Deliberately not ignored: a monitor whose line is gone must not claim to monitor.
        if (g_line && hDevice == DWORD(reinterpret_cast<DWORD_PTR>(g_line)))
            lineLost();
        break;
    default:
        break;
    }
}

void ReadCallerInfo(const LINECALLINFO *info)
{
    CallerBlocked = false;
    CallerOutOfArea = false;
    QString name;
    QString number;
    const DWORD flags = info->dwCallerIDFlags;
    if (flags & LINECALLPARTYID_BLOCKED) {
        CallerBlocked = true;
        name = PlaceholderUnknown();
        number = PlaceholderBlocked();
    }
    if (flags & LINECALLPARTYID_OUTOFAREA) {
        CallerOutOfArea = true;
        name = PlaceholderUnknown();
        number = PlaceholderUnidentified();
    }
    if (flags & LINECALLPARTYID_NAME)
        name = fieldText(info, info->dwCallerIDNameSize, info->dwCallerIDNameOffset);
    if (flags & LINECALLPARTYID_ADDRESS)
        number = fieldText(info, info->dwCallerIDSize, info->dwCallerIDOffset);
    QString called;
    if (info->dwCalledIDFlags & LINECALLPARTYID_ADDRESS)
        called = fieldText(info, info->dwCalledIDSize, info->dwCalledIDOffset);
    if (OnTapiCallerIdentified)
        OnTapiCallerIdentified(name, number, called, true);
}

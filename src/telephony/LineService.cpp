// Our implementation of the telephony entry points on Linux: line applications, lines and
// calls over the devices of the registered service providers.

#include "telephony/LineProvider.h"
#include "telephony/ModemProvider.h"
#include "telephony/NetworkDevice.h"
#include "telephony/Tapi.h"

#include <QCoreApplication>
#include <QHash>
#include <QPointer>
#include <QRecursiveMutex>
#include <QThread>

#include <cstddef>
#include <cstring>
#include <vector>

namespace telephony {

namespace {

struct AppRec
{
    LINECALLBACK callback = nullptr;
    QPointer<QObject> context; // lives in the thread that called lineInitialize
    QList<QSharedPointer<LineDevice>> devices;
};

struct LineRec
{
    quint32 app = 0;
    DWORD deviceId = 0;
    QSharedPointer<LineDevice> device;
    DWORD_PTR instance = 0;
    DWORD privileges = 0;
    QHash<int, quint32> calls; // provider call ID -> our call handle
};

struct CallRec
{
    quint32 line = 0;
    int callId = 0;
    DWORD state = 0;
};

struct DeviceUse
{
    int lines = 0;
    QList<QMetaObject::Connection> connections;
};

struct Service
{
    QRecursiveMutex mutex;
    std::vector<std::shared_ptr<LineProvider>> providers;
    bool providersChosen = false;
    quint32 nextHandle = 1;
    LONG nextRequest = 1;
    QHash<quint32, AppRec> apps;
    QHash<quint32, LineRec> lines;
    QHash<quint32, CallRec> calls;
    QHash<LineDevice *, DeviceUse> inUse;
};

Service &service()
{
    // Never destroyed: devices hold socket notifiers that must not outlive the event loop's
    // teardown in a static destructor.
    static Service *s = new Service;
    return *s;
}

template <typename H> quint32 idOf(H handle)
{
    return quint32(reinterpret_cast<quintptr>(handle));
}

template <typename H> H handleOf(quint32 id)
{
    return reinterpret_cast<H>(quintptr(id));
}

quint32 newHandle()
{
    Service &s = service();
    quint32 id = s.nextHandle++;
    if (s.nextHandle == 0)
        s.nextHandle = 1;
    return id;
}

void post(quint32 appId, DWORD hDevice, DWORD message, DWORD_PTR instance, DWORD_PTR p1, DWORD_PTR p2,
          DWORD_PTR p3)
{
    Service &s = service();
    const auto it = s.apps.constFind(appId);
    if (it == s.apps.constEnd() || !it->context)
        return;
    const LINECALLBACK callback = it->callback;
    QMetaObject::invokeMethod(
        it->context.data(),
        [=] {
            {
                QMutexLocker lock(&service().mutex);
                if (!service().apps.contains(appId))
                    return;
            }
            callback(hDevice, message, instance, p1, p2, p3);
        },
        Qt::QueuedConnection);
}

QList<quint32> linesOf(LineDevice *device)
{
    QList<quint32> result;
    for (auto it = service().lines.cbegin(); it != service().lines.cend(); ++it) {
        if (it->device.data() == device)
            result.append(it.key());
    }
    std::sort(result.begin(), result.end());
    return result;
}

void onCallState(LineDevice *device, int callId, DWORD state, DWORD mode)
{
    Service &s = service();
    QMutexLocker lock(&s.mutex);
    for (const quint32 lineId : linesOf(device)) {
        LineRec &line = s.lines[lineId];
        quint32 callHandle = line.calls.value(callId);
        DWORD privilege = 0;
        if (!callHandle) {
            if (state == LINECALLSTATE_IDLE)
                continue;
            callHandle = newHandle();
            line.calls.insert(callId, callHandle);
            s.calls.insert(callHandle, {lineId, callId, state});
            privilege = (line.privileges & LINECALLPRIVILEGE_OWNER) ? LINECALLPRIVILEGE_OWNER
                                                                    : LINECALLPRIVILEGE_MONITOR;
            if (privilege == LINECALLPRIVILEGE_OWNER)
                post(line.app, lineId, LINE_APPNEWCALL, line.instance, 0, callHandle, privilege);
        }
        s.calls[callHandle].state = state;
        post(line.app, callHandle, LINE_CALLSTATE, line.instance, state, mode, privilege);
        if (state == LINECALLSTATE_IDLE)
            line.calls.remove(callId); // the handle stays valid until lineDeallocateCall
    }
}

void onCallInfo(LineDevice *device, int callId, DWORD items)
{
    Service &s = service();
    QMutexLocker lock(&s.mutex);
    for (const quint32 lineId : linesOf(device)) {
        const LineRec &line = s.lines[lineId];
        if (const quint32 callHandle = line.calls.value(callId))
            post(line.app, callHandle, LINE_CALLINFO, line.instance, items, 0, 0);
    }
}

void removeLine(quint32 lineId)
{
    Service &s = service();
    const LineRec line = s.lines.take(lineId);
    for (auto it = s.calls.begin(); it != s.calls.end();) {
        if (it->line == lineId)
            it = s.calls.erase(it);
        else
            ++it;
    }
    auto use = s.inUse.find(line.device.data());
    if (use == s.inUse.end())
        return;
    if (--use->lines > 0)
        return;
    for (const auto &c : use->connections)
        QObject::disconnect(c);
    s.inUse.erase(use);
    line.device->stopMonitoring();
}

void onDeviceLost(LineDevice *device)
{
    Service &s = service();
    QMutexLocker lock(&s.mutex);
    for (const quint32 lineId : linesOf(device)) {
        const LineRec line = s.lines.value(lineId);
        post(line.app, lineId, LINE_CLOSE, line.instance, 0, 0, 0);
        removeLine(lineId);
    }
}

void ensureProviders()
{
    Service &s = service();
    if (!s.providersChosen) {
        s.providersChosen = true;
        s.providers.push_back(std::make_shared<ModemProvider>());
        s.providers.push_back(std::make_shared<NetworkProvider>());
    }
}

AppRec *findApp(HLINEAPP app)
{
    const auto it = service().apps.find(idOf(app));
    return it == service().apps.end() ? nullptr : &*it;
}

LONG deviceFor(HLINEAPP app, DWORD deviceId, QSharedPointer<LineDevice> *device)
{
    const AppRec *a = findApp(app);
    if (!a)
        return LONG(LINEERR_INVALAPPHANDLE);
    if (deviceId >= DWORD(a->devices.size()))
        return LONG(LINEERR_BADDEVICEID);
    *device = a->devices.at(deviceId);
    return 0;
}

// The device, when the version is one it agrees to.
LONG deviceAtVersion(HLINEAPP app, DWORD deviceId, DWORD version, DWORD extVersion,
                     QSharedPointer<LineDevice> *device)
{
    if (const LONG r = deviceFor(app, deviceId, device))
        return r;
    if (version < (*device)->lowestApiVersion() || version > (*device)->highestApiVersion())
        return LONG(LINEERR_INCOMPATIBLEAPIVERSION);
    if (extVersion != 0)
        return LONG(LINEERR_INCOMPATIBLEEXTVERSION);
    return 0;
}

QByteArray withTerminator(const QByteArray &text, DWORD format)
{
    if (text.isEmpty())
        return {};
    return format == STRINGFORMAT_UNICODE ? text + QByteArray(2, '\0') : text + '\0';
}

struct VarField
{
    std::size_t sizeAt;
    std::size_t offsetAt;
    QByteArray data;
};

void putDword(void *base, std::size_t at, DWORD value)
{
    std::memcpy(static_cast<char *>(base) + at, &value, sizeof value);
}

// Fills a variable-size structure the way the telephony API does: the fixed part always, the
// variable part only when all of it fits, and dwNeededSize either way.
template <typename T> LONG fillStructure(T *target, T fixed, const QList<VarField> &fields)
{
    if (!target)
        return LONG(LINEERR_INVALPOINTER);
    DWORD total = 0;
    std::memcpy(&total, target, sizeof total);
    if (total < sizeof(T))
        return LONG(LINEERR_STRUCTURETOOSMALL);
    DWORD needed = sizeof(T);
    for (const VarField &f : fields)
        needed += DWORD(f.data.size());
    QByteArray var;
    if (needed <= total) {
        for (const VarField &f : fields) {
            if (f.data.isEmpty())
                continue;
            putDword(&fixed, f.sizeAt, DWORD(f.data.size()));
            putDword(&fixed, f.offsetAt, DWORD(sizeof(T) + var.size()));
            var += f.data;
        }
    }
    fixed.dwTotalSize = total;
    fixed.dwNeededSize = needed;
    fixed.dwUsedSize = DWORD(sizeof(T) + var.size());
    std::memcpy(target, &fixed, sizeof(T));
    if (!var.isEmpty())
        std::memcpy(reinterpret_cast<char *>(target) + sizeof(T), var.constData(), var.size());
    return 0;
}

LONG startRequest(HCALL hCall, bool answer)
{
    Service &s = service();
    const auto call = s.calls.constFind(idOf(hCall));
    if (call == s.calls.constEnd())
        return LONG(LINEERR_INVALCALLHANDLE);
    const LineRec &line = s.lines[call->line];
    if (!(line.privileges & LINECALLPRIVILEGE_OWNER))
        return LONG(LINEERR_NOTOWNER);
    if (!(line.device->callFeatures() & (answer ? LINECALLFEATURE_ANSWER : LINECALLFEATURE_DROP)))
        return LONG(LINEERR_OPERATIONUNAVAIL);
    if (answer ? call->state != LINECALLSTATE_OFFERING : call->state == LINECALLSTATE_IDLE)
        return LONG(LINEERR_INVALCALLSTATE);
    const LONG request = s.nextRequest;
    s.nextRequest = s.nextRequest == 0x7FFFFFFF ? 1 : s.nextRequest + 1;
    const quint32 app = line.app;
    const DWORD_PTR instance = line.instance;
    auto reply = [app, instance, request](LONG result) {
        QMutexLocker lock(&service().mutex);
        post(app, 0, LINE_REPLY, instance, DWORD_PTR(request), DWORD(result), 0);
    };
    if (answer)
        line.device->answerCall(call->callId, reply);
    else
        line.device->dropCall(call->callId, reply);
    return request;
}

} // namespace

void RegisterLineProvider(std::shared_ptr<LineProvider> provider)
{
    QMutexLocker lock(&service().mutex);
    ensureProviders();
    service().providers.push_back(std::move(provider));
}

void UnregisterLineProvider(const std::shared_ptr<LineProvider> &provider)
{
    QMutexLocker lock(&service().mutex);
    auto &list = service().providers;
    list.erase(std::remove(list.begin(), list.end(), provider), list.end());
}

void ClearLineProviders()
{
    QMutexLocker lock(&service().mutex);
    service().providersChosen = true;
    service().providers.clear();
}

} // namespace telephony

using namespace telephony;

LONG WINAPI lineInitialize(LPHLINEAPP lphLineApp, HINSTANCE, LINECALLBACK lpfnCallback, LPCSTR,
                           LPDWORD lpdwNumDevs)
{
    if (!lphLineApp || !lpdwNumDevs || !lpfnCallback)
        return LONG(LINEERR_INVALPOINTER);
    Service &s = service();
    QMutexLocker lock(&s.mutex);
    ensureProviders();
    AppRec app;
    app.callback = lpfnCallback;
    for (const auto &provider : s.providers)
        app.devices += provider->devices();
    app.context = new QObject;
    const quint32 id = newHandle();
    *lpdwNumDevs = DWORD(app.devices.size());
    s.apps.insert(id, app);
    *lphLineApp = handleOf<HLINEAPP>(id);
    return 0;
}

LONG WINAPI lineShutdown(HLINEAPP hLineApp)
{
    Service &s = service();
    QMutexLocker lock(&s.mutex);
    if (!findApp(hLineApp))
        return LONG(LINEERR_INVALAPPHANDLE);
    const quint32 appId = idOf(hLineApp);
    for (const quint32 lineId : s.lines.keys()) {
        if (s.lines[lineId].app == appId)
            removeLine(lineId);
    }
    const AppRec app = s.apps.take(appId);
    if (QObject *context = app.context.data()) {
        // Deleting the context drops the messages still queued for this application.
        if (context->thread() == QThread::currentThread())
            delete context;
        else
            context->deleteLater();
    }
    return 0;
}

LONG WINAPI lineNegotiateAPIVersion(HLINEAPP hLineApp, DWORD dwDeviceID, DWORD dwAPILowVersion,
                                    DWORD dwAPIHighVersion, LPDWORD lpdwAPIVersion,
                                    LPLINEEXTENSIONID lpExtensionID)
{
    QMutexLocker lock(&service().mutex);
    QSharedPointer<LineDevice> device;
    if (const LONG r = deviceFor(hLineApp, dwDeviceID, &device))
        return r;
    if (!lpdwAPIVersion || !lpExtensionID)
        return LONG(LINEERR_INVALPOINTER);
    if (dwAPILowVersion > dwAPIHighVersion || dwAPIHighVersion < device->lowestApiVersion() ||
        dwAPILowVersion > device->highestApiVersion())
        return LONG(LINEERR_INCOMPATIBLEAPIVERSION);
    *lpdwAPIVersion = std::min(dwAPIHighVersion, device->highestApiVersion());
    *lpExtensionID = LINEEXTENSIONID{};
    return 0;
}

LONG WINAPI lineGetDevCaps(HLINEAPP hLineApp, DWORD dwDeviceID, DWORD dwAPIVersion, DWORD dwExtVersion,
                           LPLINEDEVCAPS lpLineDevCaps)
{
    QMutexLocker lock(&service().mutex);
    QSharedPointer<LineDevice> device;
    if (const LONG r = deviceAtVersion(hLineApp, dwDeviceID, dwAPIVersion, dwExtVersion, &device))
        return r;
    LINEDEVCAPS caps{};
    const QByteArray name = device->lineName();
    caps.dwPermanentLineID = DWORD(qHash(name) & 0x7FFFFFFF);
    caps.dwStringFormat = device->stringFormat();
    caps.dwAddressModes = LINEADDRESSMODE_ADDRESSID;
    caps.dwNumAddresses = 1;
    caps.dwBearerModes = LINEBEARERMODE_VOICE;
    caps.dwMediaModes = device->mediaModes();
    caps.dwDevCapFlags = LINEDEVCAPFLAGS_CLOSEDROP;
    caps.dwMaxNumActiveCalls = 1;
    caps.dwAnswerMode = 1; // the line answers without holding another call
    caps.dwRingModes = 1;
    caps.dwLineStates = LINEDEVSTATE_OTHER | LINEDEVSTATE_RINGING | LINEDEVSTATE_OPEN | LINEDEVSTATE_CLOSE;
    using S = LINEDEVCAPS;
    return fillStructure(
        lpLineDevCaps, caps,
        {{offsetof(S, dwProviderInfoSize), offsetof(S, dwProviderInfoOffset),
          withTerminator(device->providerInfo(), STRINGFORMAT_ASCII)},
         {offsetof(S, dwLineNameSize), offsetof(S, dwLineNameOffset),
          withTerminator(name, device->stringFormat())},
         {offsetof(S, dwDevSpecificSize), offsetof(S, dwDevSpecificOffset), device->devSpecific()}});
}

LONG WINAPI lineGetAddressCaps(HLINEAPP hLineApp, DWORD dwDeviceID, DWORD dwAddressID, DWORD dwAPIVersion,
                               DWORD dwExtVersion, LPLINEADDRESSCAPS lpAddressCaps)
{
    QMutexLocker lock(&service().mutex);
    QSharedPointer<LineDevice> device;
    if (const LONG r = deviceAtVersion(hLineApp, dwDeviceID, dwAPIVersion, dwExtVersion, &device))
        return r;
    if (dwAddressID != 0)
        return LONG(LINEERR_INVALADDRESSID);
    LINEADDRESSCAPS caps{};
    caps.dwLineDeviceID = dwDeviceID;
    caps.dwAddressSharing = 1; // private to this line
    caps.dwCallInfoStates = LINECALLINFOSTATE_CALLERID | LINECALLINFOSTATE_OTHER;
    caps.dwCallerIDFlags = device->callerIdCaps();
    caps.dwCalledIDFlags = LINECALLPARTYID_UNKNOWN;
    caps.dwConnectedIDFlags = LINECALLPARTYID_UNKNOWN;
    caps.dwRedirectionIDFlags = LINECALLPARTYID_UNKNOWN;
    caps.dwRedirectingIDFlags = LINECALLPARTYID_UNKNOWN;
    caps.dwCallStates =
        LINECALLSTATE_IDLE | LINECALLSTATE_OFFERING | LINECALLSTATE_CONNECTED | LINECALLSTATE_DISCONNECTED;
    caps.dwDisconnectModes = LINEDISCONNECTMODE_NORMAL | LINEDISCONNECTMODE_UNKNOWN;
    caps.dwMaxNumActiveCalls = 1;
    caps.dwCallFeatures = device->callFeatures();
    caps.dwAvailableMediaModes = device->mediaModes();
    return fillStructure(lpAddressCaps, caps, {});
}

LONG WINAPI lineOpen(HLINEAPP hLineApp, DWORD dwDeviceID, LPHLINE lphLine, DWORD dwAPIVersion,
                     DWORD dwExtVersion, DWORD_PTR dwCallbackInstance, DWORD dwPrivileges, DWORD dwMediaModes,
                     const LINECALLPARAMS *)
{
    Service &s = service();
    QMutexLocker lock(&s.mutex);
    QSharedPointer<LineDevice> device;
    if (const LONG r = deviceAtVersion(hLineApp, dwDeviceID, dwAPIVersion, dwExtVersion, &device))
        return r;
    if (!lphLine)
        return LONG(LINEERR_INVALPOINTER);
    constexpr DWORD known = LINECALLPRIVILEGE_NONE | LINECALLPRIVILEGE_MONITOR | LINECALLPRIVILEGE_OWNER;
    if (dwPrivileges == 0 || (dwPrivileges & ~known) ||
        ((dwPrivileges & LINECALLPRIVILEGE_NONE) && dwPrivileges != LINECALLPRIVILEGE_NONE))
        return LONG(LINEERR_INVALPRIVSELECT);
    if ((dwPrivileges & LINECALLPRIVILEGE_OWNER) &&
        (dwMediaModes == 0 || (dwMediaModes & ~device->mediaModes())))
        return LONG(LINEERR_INVALMEDIAMODE);

    LineDevice *raw = device.data();
    auto use = s.inUse.find(raw);
    if (use == s.inUse.end()) {
        if (!device->startMonitoring())
            return LONG(LINEERR_RESOURCEUNAVAIL);
        DeviceUse fresh;
        fresh.connections.append(QObject::connect(
            raw, &LineDevice::callStateChanged, raw,
            [raw](int id, DWORD state, DWORD mode) { onCallState(raw, id, state, mode); },
            Qt::DirectConnection));
        fresh.connections.append(QObject::connect(
            raw, &LineDevice::callInfoChanged, raw,
            [raw](int id, DWORD items) { onCallInfo(raw, id, items); }, Qt::DirectConnection));
        fresh.connections.append(QObject::connect(
            raw, &LineDevice::deviceLost, raw, [raw] { onDeviceLost(raw); }, Qt::DirectConnection));
        use = s.inUse.insert(raw, fresh);
    }
    ++use->lines;
    LineRec line;
    line.app = idOf(hLineApp);
    line.deviceId = dwDeviceID;
    line.device = device;
    line.instance = dwCallbackInstance;
    line.privileges = dwPrivileges;
    const quint32 id = newHandle();
    s.lines.insert(id, line);
    *lphLine = handleOf<HLINE>(id);
    return 0;
}

LONG WINAPI lineClose(HLINE hLine)
{
    QMutexLocker lock(&service().mutex);
    if (!service().lines.contains(idOf(hLine)))
        return LONG(LINEERR_INVALLINEHANDLE);
    removeLine(idOf(hLine));
    return 0;
}

LONG WINAPI lineGetCallInfo(HCALL hCall, LPLINECALLINFO lpCallInfo)
{
    Service &s = service();
    QMutexLocker lock(&s.mutex);
    const auto call = s.calls.constFind(idOf(hCall));
    if (call == s.calls.constEnd())
        return LONG(LINEERR_INVALCALLHANDLE);
    const LineRec &line = s.lines[call->line];
    const CallData data = line.device->callData(call->callId);
    LINECALLINFO info{};
    info.hLine = handleOf<HLINE>(call->line);
    info.dwLineDeviceID = line.deviceId;
    info.dwBearerMode = LINEBEARERMODE_VOICE;
    info.dwMediaMode = LINEMEDIAMODE_UNKNOWN;
    info.dwCallID = DWORD(call->callId);
    info.dwCallStates =
        LINECALLSTATE_IDLE | LINECALLSTATE_OFFERING | LINECALLSTATE_CONNECTED | LINECALLSTATE_DISCONNECTED;
    info.dwOrigin = LINECALLORIGIN_INBOUND;
    info.dwReason = LINECALLREASON_DIRECT;
    for (const LineRec &l : std::as_const(s.lines)) {
        if (l.device == line.device && l.calls.contains(call->callId)) {
            if (l.privileges & LINECALLPRIVILEGE_OWNER)
                ++info.dwNumOwners;
            else
                ++info.dwNumMonitors;
        }
    }
    info.dwCallerIDFlags = data.callerIdFlags ? data.callerIdFlags : LINECALLPARTYID_UNKNOWN;
    info.dwCalledIDFlags = data.calledId.isEmpty() ? LINECALLPARTYID_UNKNOWN : LINECALLPARTYID_ADDRESS;
    info.dwConnectedIDFlags = LINECALLPARTYID_UNKNOWN;
    info.dwRedirectionIDFlags = LINECALLPARTYID_UNKNOWN;
    info.dwRedirectingIDFlags = LINECALLPARTYID_UNKNOWN;
    using S = LINECALLINFO;
    return fillStructure(
        lpCallInfo, info,
        {{offsetof(S, dwCallerIDSize), offsetof(S, dwCallerIDOffset),
          withTerminator(data.callerId, STRINGFORMAT_ASCII)},
         {offsetof(S, dwCallerIDNameSize), offsetof(S, dwCallerIDNameOffset),
          withTerminator(data.callerIdName, STRINGFORMAT_ASCII)},
         {offsetof(S, dwCalledIDSize), offsetof(S, dwCalledIDOffset),
          withTerminator(data.calledId, STRINGFORMAT_ASCII)},
         {offsetof(S, dwDisplaySize), offsetof(S, dwDisplayOffset), data.display},
         {offsetof(S, dwDevSpecificSize), offsetof(S, dwDevSpecificOffset), data.devSpecific}});
}

LONG WINAPI lineAnswer(HCALL hCall, LPCSTR, DWORD)
{
    QMutexLocker lock(&service().mutex);
    return startRequest(hCall, true);
}

LONG WINAPI lineDrop(HCALL hCall, LPCSTR, DWORD)
{
    QMutexLocker lock(&service().mutex);
    return startRequest(hCall, false);
}

LONG WINAPI lineDeallocateCall(HCALL hCall)
{
    Service &s = service();
    QMutexLocker lock(&s.mutex);
    const auto call = s.calls.find(idOf(hCall));
    if (call == s.calls.end())
        return LONG(LINEERR_INVALCALLHANDLE);
    const LineRec &line = s.lines[call->line];
    if (call->state != LINECALLSTATE_IDLE && (line.privileges & LINECALLPRIVILEGE_OWNER))
        return LONG(LINEERR_INVALCALLSTATE);
    s.lines[call->line].calls.remove(call->callId);
    s.calls.erase(call);
    return 0;
}

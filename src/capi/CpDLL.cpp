#include "CpDLL.h"

#include <QByteArray>

#include <chrono>
#include <csignal>
#include <cstring>
#include <ctime>
#include <dlfcn.h>
#include <mutex>
#include <pthread.h>
#include <sys/time.h>

const char *const kCapiLibraryName = "libcapi20.so.3";

namespace {

using FnIsInstalled = unsigned (*)();
using FnRegister = unsigned (*)(unsigned, unsigned, unsigned, unsigned *);
using FnRelease = unsigned (*)(unsigned);
using FnPutMessage = unsigned (*)(unsigned, unsigned char *);
using FnGetMessage = unsigned (*)(unsigned, unsigned char **);
using FnWaitForMessage = unsigned (*)(unsigned, struct timeval *);
using FnGetProfile = unsigned (*)(unsigned, unsigned char *);
using FnGetText = unsigned char *(*)(unsigned, unsigned char *);
using FnSetInt = void (*)(int);
using FnSetText = void (*)(char *);

constexpr uint32_t kNotInstalled = 0x1009;
// The library's CAPI-over-TCP driver copies a fixed-size block from the message pointer, so
// every message is handed over inside a buffer at least that large.
constexpr int kPutBufferSize = 16384;

struct Library
{
    void *handle = nullptr;
    bool loaded = false;
    int32_t status = kCapiStatusNotLoaded;
    FnIsInstalled isInstalled = nullptr;
    FnRegister registerApp = nullptr;
    FnRelease release = nullptr;
    FnPutMessage putMessage = nullptr;
    FnGetMessage getMessage = nullptr;
    FnWaitForMessage waitForMessage = nullptr;
    FnGetProfile getProfile = nullptr;
    FnGetText getManufacturer = nullptr;
    FnGetText getVersion = nullptr;
    FnGetText getSerialNumber = nullptr;

    // The library goes with the process; its own clean-up runs when it is closed here.
    ~Library()
    {
        if (handle)
            dlclose(handle);
    }
};

Library &lib()
{
    static Library l;
    return l;
}

// Serialises the library's own bookkeeping between the wait threads and the main thread.
std::timed_mutex &libraryMutex()
{
    static std::timed_mutex m;
    return m;
}

QByteArray libraryFile()
{
    const QByteArray name = qgetenv("TELLWISE_CAPI_LIBRARY");
    return name.isEmpty() ? QByteArray(kCapiLibraryName) : name;
}

template <typename F> bool resolve(void *handle, const char *name, F &out)
{
    out = reinterpret_cast<F>(dlsym(handle, name));
    return out != nullptr;
}

// TELLWISE_CAPI_REMOTE=HOST:PORT points the library's "fritzbox" driver at a CAPI-over-TCP
// server without touching the user's .capi20rc.
void applyRemote(void *handle)
{
    const QByteArray remote = qgetenv("TELLWISE_CAPI_REMOTE");
    const int colon = remote.lastIndexOf(':');
    if (colon <= 0)
        return;
    QByteArray host = remote.left(colon);
    if (host.startsWith('[') && host.endsWith(']'))
        host = host.mid(1, host.size() - 2);
    bool ok = false;
    const int port = remote.mid(colon + 1).toInt(&ok);
    if (!ok || port <= 0 || port > 65535)
        return;
    FnSetText setDriver = nullptr;
    FnSetText setHost = nullptr;
    FnSetInt setPort = nullptr;
    if (!resolve(handle, "capi20ext_set_driver", setDriver) ||
        !resolve(handle, "capi20ext_set_host", setHost) || !resolve(handle, "capi20ext_set_port", setPort))
        return;
    char driver[] = "fritzbox";
    setDriver(driver);
    setHost(host.data());
    setPort(port);
}

// The library writes to its sockets without MSG_NOSIGNAL: when the far end (a router, the
// simulator) has gone, that write would raise SIGPIPE and end the program. The signal is held
// back for the calling thread during the call and a pending one is swallowed.
class SigPipeGuard
{
public:
    SigPipeGuard()
    {
        sigemptyset(&m_pipe);
        sigaddset(&m_pipe, SIGPIPE);
        sigset_t pending;
        sigpending(&pending);
        m_wasPending = sigismember(&pending, SIGPIPE) == 1;
        pthread_sigmask(SIG_BLOCK, &m_pipe, &m_old);
    }
    ~SigPipeGuard()
    {
        if (!m_wasPending) {
            const struct timespec zero = {0, 0};
            while (sigtimedwait(&m_pipe, nullptr, &zero) > 0) {
            }
        }
        pthread_sigmask(SIG_SETMASK, &m_old, nullptr);
    }
    SigPipeGuard(const SigPipeGuard &) = delete;
    SigPipeGuard &operator=(const SigPipeGuard &) = delete;

private:
    sigset_t m_pipe;
    sigset_t m_old;
    bool m_wasPending = false;
};

bool usable()
{
    return lib().status == kCapiStatusInstalled;
}

} // namespace

void LoadCapiDll()
{
    Library &l = lib();
    if (l.status == kCapiStatusInstalled)
        return;
    if (!l.handle) {
        l.handle = dlopen(libraryFile().constData(), RTLD_NOW | RTLD_LOCAL);
        if (!l.handle) {
            l.loaded = false;
            l.status = kCapiStatusFileNotFound;
            return;
        }
    }
    l.loaded = true;
    l.status = kCapiStatusInstalled;

    FnSetInt setTraceLevel = nullptr;
    if (resolve(l.handle, "capi20ext_set_tracelevel", setTraceLevel))
        setTraceLevel(0);
    applyRemote(l.handle);

    const bool all = resolve(l.handle, "capi20_isinstalled", l.isInstalled) &&
                     resolve(l.handle, "capi20_register", l.registerApp) &&
                     resolve(l.handle, "capi20_release", l.release) &&
                     resolve(l.handle, "capi20_put_message", l.putMessage) &&
                     resolve(l.handle, "capi20_get_message", l.getMessage) &&
                     resolve(l.handle, "capi20_waitformessage", l.waitForMessage) &&
                     resolve(l.handle, "capi20_get_profile", l.getProfile) &&
                     resolve(l.handle, "capi20_get_manufacturer", l.getManufacturer) &&
                     resolve(l.handle, "capi20_get_version", l.getVersion) &&
                     resolve(l.handle, "capi20_get_serial_number", l.getSerialNumber);
    unsigned installed = kNotInstalled;
    if (all) {
        std::lock_guard lock(libraryMutex());
        SigPipeGuard noPipeSignal;
        installed = l.isInstalled();
    }
    if (!all || installed != 0)
        l.status = kCapiStatusNotInstalled;
}

bool UnloadCapiDll()
{
    Library &l = lib();
    if (!l.handle)
        return false;
    if (dlclose(l.handle) != 0)
        return false;
    l.handle = nullptr;
    l = Library{};
    return true;
}

bool CapiDllLoaded()
{
    return lib().loaded;
}

int32_t CapiDllStatus()
{
    return lib().status;
}

QString CapiDllStatusText(int32_t status)
{
    const QString file = QString::fromLocal8Bit(libraryFile());
    switch (status) {
    case kCapiStatusInstalled:
        return QStringLiteral("CAPI 2.0 (32 Bit) installed");
    case kCapiStatusNotLoaded:
        return file + QStringLiteral(" not loaded.");
    case kCapiStatusFileNotFound:
        return QStringLiteral("File \"%1\" not found.").arg(file);
    case kCapiStatusNotInstalled:
        return QStringLiteral("CAPI 2.0 (32 Bit) not installed.");
    default:
        return {};
    }
}

int32_t CapiMessageBufferSize(int32_t maxLogicalConnections)
{
    return 1024 + 1024 * maxLogicalConnections;
}

namespace capi {

uint32_t Register(uint32_t /*messageBufferSize: this library sizes its buffers itself*/,
                  uint32_t maxLogicalConnection, uint32_t maxBDataBlocks, uint32_t maxBDataLen,
                  uint32_t *applId)
{
    *applId = 0;
    if (!usable())
        return kNotInstalled;
    std::lock_guard lock(libraryMutex());
    unsigned id = 0;
    SigPipeGuard noPipeSignal;
    const unsigned r = lib().registerApp(maxLogicalConnection, maxBDataBlocks, maxBDataLen, &id);
    *applId = id;
    return r;
}

uint32_t Release(uint32_t applId)
{
    if (!usable())
        return kNotInstalled;
    // A wait thread stuck inside the library must not hold the release up for ever.
    std::unique_lock lock(libraryMutex(), std::chrono::milliseconds(1000));
    SigPipeGuard noPipeSignal;
    return lib().release(applId);
}

uint32_t PutMessage(uint32_t applId, const uint8_t *message, const QByteArray &trailing)
{
    if (!usable())
        return kNotInstalled;
    const int length = message[0] | (message[1] << 8);
    QByteArray copy(qMax<qsizetype>(kPutBufferSize, length + trailing.size() + 1), '\0');
    std::memcpy(copy.data(), message, std::size_t(length));
    if (!trailing.isEmpty())
        std::memcpy(copy.data() + length, trailing.constData(), std::size_t(trailing.size()));
    std::lock_guard lock(libraryMutex());
    SigPipeGuard noPipeSignal;
    return lib().putMessage(applId, reinterpret_cast<unsigned char *>(copy.data()));
}

uint32_t GetMessage(uint32_t applId, uint8_t **message)
{
    *message = nullptr;
    if (!usable())
        return kNotInstalled;
    std::lock_guard lock(libraryMutex());
    SigPipeGuard noPipeSignal;
    return lib().getMessage(applId, message);
}

uint32_t WaitForSignal(uint32_t applId, int timeoutMs)
{
    if (!usable())
        return kNotInstalled;
    // No lock: this blocks, and the library's wait only looks at the application's socket.
    SigPipeGuard noPipeSignal;
    if (timeoutMs < 0)
        return lib().waitForMessage(applId, nullptr);
    struct timeval tv;
    tv.tv_sec = timeoutMs / 1000;
    tv.tv_usec = (timeoutMs % 1000) * 1000;
    return lib().waitForMessage(applId, &tv);
}

uint32_t GetProfile(uint8_t *buffer, uint32_t controller)
{
    std::memset(buffer, 0, 64);
    if (!usable())
        return kNotInstalled;
    std::lock_guard lock(libraryMutex());
    SigPipeGuard noPipeSignal;
    return lib().getProfile(controller, buffer);
}

uint32_t GetManufacturer(char *buffer)
{
    std::memset(buffer, 0, 64);
    if (!usable())
        return kNotInstalled;
    std::lock_guard lock(libraryMutex());
    return lib().getManufacturer(0, reinterpret_cast<unsigned char *>(buffer)) ? 0 : kNotInstalled;
}

uint32_t GetVersion(uint32_t *capiMajor, uint32_t *capiMinor, uint32_t *manufacturerMajor,
                    uint32_t *manufacturerMinor)
{
    uint32_t v[4] = {0, 0, 0, 0};
    uint32_t r = kNotInstalled;
    if (usable()) {
        std::lock_guard lock(libraryMutex());
        // Room to spare: some drivers write more than the four integers.
        unsigned char buffer[64] = {};
        if (lib().getVersion(0, buffer)) {
            std::memcpy(v, buffer, sizeof v);
            r = 0;
        }
    }
    *capiMajor = v[0];
    *capiMinor = v[1];
    *manufacturerMajor = v[2];
    *manufacturerMinor = v[3];
    return r;
}

uint32_t GetSerialNumber(char *buffer)
{
    std::memset(buffer, 0, 8);
    if (!usable())
        return kNotInstalled;
    std::lock_guard lock(libraryMutex());
    unsigned char scratch[64] = {};
    if (!lib().getSerialNumber(0, scratch))
        return kNotInstalled;
    std::memcpy(buffer, scratch, 7);
    return 0;
}

} // namespace capi

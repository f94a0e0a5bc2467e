#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

// Binding to the CAPI 2.0 library. The library is loaded on first use, never linked, so the
// program runs without ISDN. On Linux it is libcapi20.so.3 (TELLWISE_CAPI_LIBRARY names another
// file); TELLWISE_CAPI_REMOTE=HOST:PORT selects its CAPI-over-TCP driver.

// Load states.
enum : int32_t
{
    kCapiStatusInstalled = 0,
    kCapiStatusNotLoaded = 1,
    kCapiStatusFileNotFound = 2,
    kCapiStatusNotInstalled = 3,
};

// The file this platform loads by default.
extern const char *const kCapiLibraryName;

void LoadCapiDll();
bool UnloadCapiDll();
bool CapiDllLoaded();
int32_t CapiDllStatus();
QString CapiDllStatusText(int32_t status);
int32_t CapiMessageBufferSize(int32_t maxLogicalConnections);

// The ten calls the engine makes, with the engine's parameters. They may only be called while
// CapiDllStatus() is 0; otherwise they fail with 0x1009 (COMMON-ISDN-API not installed).
namespace capi {

uint32_t Register(uint32_t messageBufferSize, uint32_t maxLogicalConnection, uint32_t maxBDataBlocks,
                  uint32_t maxBDataLen, uint32_t *applId);
uint32_t Release(uint32_t applId);
// trailing: B3 data sent behind the message (the library reads DATA_B3_REQ data from there).
uint32_t PutMessage(uint32_t applId, const uint8_t *message, const QByteArray &trailing = {});
// The buffer belongs to the library and stays valid until the next GetMessage of this application.
uint32_t GetMessage(uint32_t applId, uint8_t **message);
// Blocks until a message waits or timeoutMs has passed (negative: no time-out).
uint32_t WaitForSignal(uint32_t applId, int timeoutMs);
uint32_t GetProfile(uint8_t *buffer, uint32_t controller); // buffer of 64 bytes
uint32_t GetManufacturer(char *buffer);                    // buffer of 64 bytes
uint32_t GetVersion(uint32_t *capiMajor, uint32_t *capiMinor, uint32_t *manufacturerMajor,
                    uint32_t *manufacturerMinor);
uint32_t GetSerialNumber(char *buffer); // buffer of 8 bytes

} // namespace capi

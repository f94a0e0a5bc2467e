#include "CpInfo.h"

#include "CpDLL.h"

#include <QMetaMethod>

#include <cstring>

namespace {

constexpr uint32_t kSupplementaryServicesOption = 0x10;
constexpr uint16_t kSupplementaryServicesSelector = 3;

uint32_t le32(const uint8_t *p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

struct BitText
{
    int bit;
    const char *text;
};

TCapabilityList listFor(uint32_t mask, std::initializer_list<BitText> texts)
{
    TCapabilityList list;
    for (const BitText &t : texts)
        list.append({QLatin1String(t.text), (mask & (1u << t.bit)) != 0});
    return list;
}

} // namespace

TCapiInfo::TCapiInfo(QObject *parent) : QObject(parent)
{
    LoadCapiDll();
    m_capiLoaded = CapiDllLoaded();
    if (CapiDllStatus() != kCapiStatusInstalled) {
        m_error = uint32_t(CapiDllStatus());
        m_errorText = CapiDllStatusText(CapiDllStatus());
    } else {
        m_errorText = QStringLiteral("OK");
    }
}

TCapiInfo::~TCapiInfo() = default;

bool TCapiInfo::usable() const
{
    return CapiDllStatus() == kCapiStatusInstalled;
}

uint16_t TCapiInfo::ControllerCount()
{
    if (!usable())
        return 0;
    uint8_t buffer[64];
    m_error = capi::GetProfile(buffer, 0);
    return m_error == 0 ? uint16_t(buffer[0] | (buffer[1] << 8)) : 0;
}

void TCapiInfo::SelectController(uint32_t controller)
{
    m_controller = controller;
    if (!usable())
        return;
    uint8_t buffer[64];
    m_error = capi::GetProfile(buffer, controller);
    if (m_error != 0)
        return;
    std::memcpy(m_profile, buffer, sizeof m_profile);
    m_bChannels = uint16_t(m_profile[2] | (m_profile[3] << 8));
    m_globalOptions = le32(m_profile + 4);
    m_b1 = le32(m_profile + 8);
    m_b2 = le32(m_profile + 12);
    m_b3 = le32(m_profile + 16);
    m_supportedServices = 0; // belongs to the controller selected before

    static const QMetaMethod event = QMetaMethod::fromSignal(&TCapiInfo::OnSuppServInfoAvailable);
    if (!(m_globalOptions & kSupplementaryServicesOption) || !isSignalConnected(event))
        return;
    m_capi.reset();
    m_capi = std::make_unique<TCapi>(1, 2, 128);
    updateErrorState();
    if (m_error == 0) {
        m_capi->OnMessage = [this](TConnection *c, TCapiMessage &m, bool &r) { handleMessage(c, m, r); };
        if (m_capi->putMessage(
                std::make_unique<TFacilityReq>(controller, kSupplementaryServicesSelector,
                                               std::make_unique<TSuppServFacilityReqParameter>(0))))
            return; // the answer arrives later
    }
    updateErrorState();
    m_capi.reset();
}

void TCapiInfo::updateErrorState()
{
    m_error = m_capi ? m_capi->lastError() : 0;
    const QString text = m_capi ? m_capi->errorText() : QString();
    m_errorText = text.isEmpty() ? QStringLiteral("OK") : text;
}

void TCapiInfo::handleMessage(TConnection *, TCapiMessage &message, bool &)
{
    updateErrorState();
    if (message.command() != capicmd::FacilityConf)
        return;
    auto &conf = static_cast<TFacilityConf &>(message);
    // A refused query has no services to tell of; its error is in Error().
    if (conf.facilitySelector() != kSupplementaryServicesSelector || conf.info() > 0xFF)
        return;
    TSuppServFacilityConfParameter parameter(conf.facilityConfirmationParameter());
    uint16_t info = 0;
    uint32_t services = 0;
    if (parameter.supportedServices(info, services))
        m_supportedServices = services;
    emit OnSuppServInfoAvailable(this);
}

QString TCapiInfo::ManufacturerText()
{
    if (!usable())
        return {};
    char buffer[64];
    capi::GetManufacturer(buffer);
    m_error = 0;
    return QString::fromLatin1(buffer, qsizetype(strnlen(buffer, sizeof buffer)));
}

QString TCapiInfo::FormatVersion(uint32_t capiMajor, uint32_t capiMinor, uint32_t manufacturerMajor,
                                 uint32_t manufacturerMinor)
{
    if (capiMajor > 65535) {
        capiMajor %= 65536;
        capiMinor %= 65536;
        manufacturerMajor %= 65536;
        manufacturerMinor %= 65536;
    }
    return QStringLiteral("CAPI: %1.%2  Version: %3.%4")
        .arg(capiMajor)
        .arg(capiMinor)
        .arg(manufacturerMajor)
        .arg(manufacturerMinor);
}

QString TCapiInfo::VersionText()
{
    if (!usable())
        return {};
    uint32_t v[4];
    m_error = capi::GetVersion(&v[0], &v[1], &v[2], &v[3]);
    return FormatVersion(v[0], v[1], v[2], v[3]);
}

QString TCapiInfo::SerialNumberText()
{
    if (!usable())
        return {};
    char buffer[8];
    m_error = capi::GetSerialNumber(buffer);
    return QString::fromLatin1(buffer, qsizetype(strnlen(buffer, sizeof buffer)));
}

TCapabilityList TCapiInfo::GlobalOptions() const
{
    return listFor(le32(m_profile + 4), {{0, "Internal controller supported"},
                                         {1, "External equipment supported"},
                                         {2, "Handset supported"},
                                         {3, "DTMF supported"},
                                         {4, "Supplementary Services"},
                                         {5, "Channel allocation supported"}});
}

TCapabilityList TCapiInfo::B1Protocols() const
{
    return listFor(le32(m_profile + 8),
                   {{0, "64 kbit/s with HDLC framing"},
                    {1, "64 kbit/s bit-transparent operation with byte framing from the network"},
                    {2, "V.110 asynchronous operation with start/stop byte framing"},
                    {3, "V.110 synchronous operation with HDLC framing"},
                    {4, "T.30 modem for fax group 3"},
                    {5, "64 kbit/s inverted with HDLC framing"},
                    {6, "56 kbit/s bit-transparent operation with byte framing from the network"},
                    {7, "Modem with all negotiations"},
                    {8, "Modem asynchronous operation with start/stop byte framing"},
                    {9, "Modem synchronous operation with HDLC framing"}});
}

TCapabilityList TCapiInfo::B2Protocols() const
{
    return listFor(le32(m_profile + 12),
                   {{0, "ISO 7776 (X.75 SLP)"},
                    {1, "Transparent"},
                    {2, "SDLC"},
                    {3, "LAPD in accordance with Q.921 for D-channel X.25 (SAPI 16)"},
                    {4, "T.30 for fax group 3"},
                    {5, "Point-to-Point Protocol (PPP)"},
                    {6, "Transparent (ignoring framing errors of B1 protocol)"},
                    {7, "Modem error correction and compression (V.42 bis or MNP5)"},
                    {8, "ISO 7776 (X.75 SLP) modified supporting V.42 bis compression"},
                    {9, "V.120 asynchronous mode"},
                    {10, "V.120 asynchronous mode supporting V.42 bis"},
                    {11, "V.120 bit-transparent mode"},
                    {12, "LAPD in accordance with Q.921 including free SAPI selection"}});
}

TCapabilityList TCapiInfo::B3Protocols() const
{
    return listFor(le32(m_profile + 16),
                   {{0, "Transparent"},
                    {1, "T.90NL with compatibility to T.70NL in accordance to T.90 Appendix II"},
                    {2, "ISO 8208 (X.25 DTE-DTE)"},
                    {3, "X.25 DCE"},
                    {4, "T.30 for fax group 3"},
                    {5, "T.30 for fax group 3 with extensions"},
                    {7, "Modem"}});
}

TCapabilityList TCapiInfo::SupplementaryServices() const
{
    return listFor(m_supportedServices, {{0, "Hold / Retrieve"},
                                         {1, "Terminal Portability"},
                                         {2, "ECT"},
                                         {3, "3PTY"},
                                         {4, "Call-Forwarding"},
                                         {5, "Call-Deflection"}});
}

#include "CpInfo.h"

#include "CpDLL.h"

#include <QCoreApplication>
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
        list.append({QCoreApplication::translate("TCapiInfo", t.text), (mask & (1u << t.bit)) != 0});
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
    return listFor(le32(m_profile + 4), {{0, QT_TRANSLATE_NOOP("TCapiInfo", "Unutarnji kontroler")},
                                         {1, QT_TRANSLATE_NOOP("TCapiInfo", "Vanjski uređaji")},
                                         {2, QT_TRANSLATE_NOOP("TCapiInfo", "Slušalica")},
                                         {3, QT_TRANSLATE_NOOP("TCapiInfo", "Tonsko biranje (DTMF)")},
                                         {4, QT_TRANSLATE_NOOP("TCapiInfo", "Dodatne usluge")},
                                         {5, QT_TRANSLATE_NOOP("TCapiInfo", "Dodjela kanala")}});
}

TCapabilityList TCapiInfo::B1Protocols() const
{
    return listFor(
        le32(m_profile + 8),
        {{0, QT_TRANSLATE_NOOP("TCapiInfo", "64 kbit/s s HDLC okvirima")},
         {1, QT_TRANSLATE_NOOP("TCapiInfo", "64 kbit/s, bitovno prozirno, s okvirima bajtova iz mreže")},
         {2, QT_TRANSLATE_NOOP("TCapiInfo", "V.110 asinkrono, sa start/stop okvirima bajtova")},
         {3, QT_TRANSLATE_NOOP("TCapiInfo", "V.110 sinkrono, s HDLC okvirima")},
         {4, QT_TRANSLATE_NOOP("TCapiInfo", "T.30 modem za faks grupe 3")},
         {5, QT_TRANSLATE_NOOP("TCapiInfo", "64 kbit/s invertirano, s HDLC okvirima")},
         {6, QT_TRANSLATE_NOOP("TCapiInfo", "56 kbit/s, bitovno prozirno, s okvirima bajtova iz mreže")},
         {7, QT_TRANSLATE_NOOP("TCapiInfo", "Modem sa svim pregovaranjima")},
         {8, QT_TRANSLATE_NOOP("TCapiInfo", "Modem, asinkrono, sa start/stop okvirima bajtova")},
         {9, QT_TRANSLATE_NOOP("TCapiInfo", "Modem, sinkrono, s HDLC okvirima")}});
}

TCapabilityList TCapiInfo::B2Protocols() const
{
    return listFor(
        le32(m_profile + 12),
        {{0, QT_TRANSLATE_NOOP("TCapiInfo", "ISO 7776 (X.75 SLP)")},
         {1, QT_TRANSLATE_NOOP("TCapiInfo", "Prozirno")},
         {2, QT_TRANSLATE_NOOP("TCapiInfo", "SDLC")},
         {3, QT_TRANSLATE_NOOP("TCapiInfo", "LAPD prema Q.921 za X.25 na D-kanalu (SAPI 16)")},
         {4, QT_TRANSLATE_NOOP("TCapiInfo", "T.30 za faks grupe 3")},
         {5, QT_TRANSLATE_NOOP("TCapiInfo", "Point-to-Point Protocol (PPP)")},
         {6, QT_TRANSLATE_NOOP("TCapiInfo", "Prozirno (zanemaruje greške okvira B1 protokola)")},
         {7, QT_TRANSLATE_NOOP("TCapiInfo", "Ispravljanje grešaka i sažimanje modema (V.42 bis ili MNP5)")},
         {8, QT_TRANSLATE_NOOP("TCapiInfo", "ISO 7776 (X.75 SLP), izmijenjen za sažimanje V.42 bis")},
         {9, QT_TRANSLATE_NOOP("TCapiInfo", "V.120 asinkroni način")},
         {10, QT_TRANSLATE_NOOP("TCapiInfo", "V.120 asinkroni način s V.42 bis")},
         {11, QT_TRANSLATE_NOOP("TCapiInfo", "V.120 bitovno prozirni način")},
         {12, QT_TRANSLATE_NOOP("TCapiInfo", "LAPD prema Q.921 sa slobodnim izborom SAPI-ja")}});
}

TCapabilityList TCapiInfo::B3Protocols() const
{
    return listFor(le32(m_profile + 16),
                   {{0, QT_TRANSLATE_NOOP("TCapiInfo", "Prozirno")},
                    {1, QT_TRANSLATE_NOOP("TCapiInfo", "T.90NL, sukladan s T.70NL prema dodatku II T.90")},
                    {2, QT_TRANSLATE_NOOP("TCapiInfo", "ISO 8208 (X.25 DTE-DTE)")},
                    {3, QT_TRANSLATE_NOOP("TCapiInfo", "X.25 DCE")},
                    {4, QT_TRANSLATE_NOOP("TCapiInfo", "T.30 za faks grupe 3")},
                    {5, QT_TRANSLATE_NOOP("TCapiInfo", "T.30 za faks grupe 3 s proširenjima")},
                    {7, QT_TRANSLATE_NOOP("TCapiInfo", "Modem")}});
}

TCapabilityList TCapiInfo::SupplementaryServices() const
{
    return listFor(m_supportedServices, {{0, QT_TRANSLATE_NOOP("TCapiInfo", "Zadržavanje i nastavak poziva")},
                                         {1, QT_TRANSLATE_NOOP("TCapiInfo", "Prijenosnost terminala")},
                                         {2, QT_TRANSLATE_NOOP("TCapiInfo", "Prespajanje poziva (ECT)")},
                                         {3, QT_TRANSLATE_NOOP("TCapiInfo", "Konferencija u troje (3PTY)")},
                                         {4, QT_TRANSLATE_NOOP("TCapiInfo", "Preusmjeravanje poziva")},
                                         {5, QT_TRANSLATE_NOOP("TCapiInfo", "Skretanje poziva")}});
}

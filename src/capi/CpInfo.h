#pragma once

#include "CpHand.h"

#include <QList>
#include <QObject>
#include <QString>

#include <cstdint>
#include <memory>

struct TCapabilityEntry
{
    QString text;
    bool supported = false;
};
using TCapabilityList = QList<TCapabilityEntry>;

// Describes the CAPI side: controller count, one controller's profile, the implementation's
// texts, and (asynchronously) the supplementary services a controller supports.
class TCapiInfo : public QObject
{
    Q_OBJECT
public:
    explicit TCapiInfo(QObject *parent = nullptr);
    ~TCapiInfo() override;

    bool CapiLoaded() const { return m_capiLoaded; }
    uint16_t ControllerCount();
    uint16_t BChannels() const { return m_bChannels; }
    void SelectController(uint32_t controller);
    QString ManufacturerText();
    QString VersionText();
    QString SerialNumberText();
    bool HasGlobalOption(uint32_t mask) const { return (m_globalOptions & mask) != 0; }

    TCapabilityList GlobalOptions() const;
    TCapabilityList B1Protocols() const;
    TCapabilityList B2Protocols() const;
    TCapabilityList B3Protocols() const;
    TCapabilityList SupplementaryServices() const;

    uint32_t Error() const { return m_error; }
    QString ErrorText() const { return m_errorText; }
    uint32_t SelectedController() const { return m_controller; }

    static QString FormatVersion(uint32_t capiMajor, uint32_t capiMinor, uint32_t manufacturerMajor,
                                 uint32_t manufacturerMinor);

signals:
    void OnSuppServInfoAvailable(QObject *sender);

private:
    bool usable() const;
    void updateErrorState();
    void handleMessage(TConnection *connection, TCapiMessage &message, bool &respond);

    bool m_capiLoaded = false;
    uint32_t m_error = 0;
    QString m_errorText;
    std::unique_ptr<TCapi> m_capi;
    uint32_t m_controller = 0;
    uint8_t m_profile[64] = {};
    uint16_t m_bChannels = 0;
    uint32_t m_globalOptions = 0;
    uint32_t m_b1 = 0;
    uint32_t m_b2 = 0;
    uint32_t m_b3 = 0;
    uint32_t m_supportedServices = 0;
};

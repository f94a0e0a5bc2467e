#include "telephony/CallSources.h"

#include "telephony/CapiCallSource.h"
#include "telephony/ModemCallSource.h"
#include "telephony/MqttCallSource.h"
#include "telephony/NetworkCallSource.h"
#include "telephony/SipCallSource.h"

namespace telephony {

namespace {

const CallSourceType kTypes[] = {
    {DeviceKind::Modem, ModemCallSource::lines, ModemCallSource::create},
    {DeviceKind::Modem, NetworkCallSource::lines, NetworkCallSource::create},
    {DeviceKind::Modem, SipCallSource::lines, SipCallSource::create},
    {DeviceKind::Modem, MqttCallSource::lines, MqttCallSource::create},
    {DeviceKind::Isdn, CapiCallSource::lines, CapiCallSource::create},
};

} // namespace

QList<LineInfo> ListLines(DeviceKind kind)
{
    QList<LineInfo> result;
    for (const CallSourceType &type : kTypes) {
        if (type.kind != kind)
            continue;
        for (LineInfo line : type.lines()) {
            line.kind = kind;
            line.type = &type;
            result.append(line);
        }
    }
    return result;
}

std::optional<LineInfo> FindLine(DeviceKind kind, const QString &name)
{
    for (const LineInfo &line : ListLines(kind)) {
        if (line.name == name)
            return line;
    }
    return std::nullopt;
}

std::unique_ptr<CallSource> CreateCallSource(const LineInfo &line, int rejectTimeOutSeconds)
{
    return line.type ? line.type->create(line, rejectTimeOutSeconds) : nullptr;
}

} // namespace telephony

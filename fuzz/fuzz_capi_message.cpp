// The CAPI message factory on arbitrary bytes: every class must decode without reading past the
// bytes it was given (AddressSanitizer watches the exactly sized copy).
#include "capi/CpMsg.h"
#include "capi/CpStruct.h"

#include <cstdint>
#include <cstring>
#include <memory>

namespace {

void touch(TStruct &s)
{
    volatile uint8_t sink = 0;
    for (char c : s.content())
        sink = sink ^ uint8_t(c);
    sink = sink ^ s.readU8();
    (void)sink;
}

void exercise(TCapiMessage &m)
{
    if (auto *c = dynamic_cast<TConnectInd *>(&m)) {
        (void)c->callingPartyNumber().digits();
        (void)c->calledPartyNumber().text();
        touch(c->bc());
        touch(c->additionalInfo());
    } else if (auto *f = dynamic_cast<TFacilityConf *>(&m)) {
        TSuppServFacilityConfParameter p(f->facilityConfirmationParameter());
        uint16_t info = 0;
        uint32_t services = 0;
        (void)p.supportedServices(info, services);
    } else if (auto *a = dynamic_cast<TConnectActiveInd *>(&m)) {
        (void)a->connectedNumber().digits();
        touch(a->llc());
    } else if (auto *i = dynamic_cast<TInfoInd *>(&m)) {
        touch(i->infoElement());
    } else if (auto *n = dynamic_cast<TNcpiIndication *>(&m)) {
        touch(n->ncpi());
    } else if (auto *d = dynamic_cast<TDisconnectB3Ind *>(&m)) {
        touch(d->ncpi());
    } else if (auto *fi = dynamic_cast<TFacilityInd *>(&m)) {
        touch(fi->facilityIndicationParameter());
    }
    (void)m.encode();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::unique_ptr<uint8_t[]> exact(new uint8_t[size ? size : 1]);
    std::memcpy(exact.get(), data, size);
    TCapiMessagePtr message = CreateCapiMessage(exact.get(), qsizetype(size));
    exercise(*message);
    // A structure read straight from the bytes, as the facility parameters are.
    TSuppServFacilityConfParameter parameter(exact.get(), qsizetype(size));
    uint16_t info = 0;
    uint32_t services = 0;
    (void)parameter.supportedServices(info, services);
    return 0;
}

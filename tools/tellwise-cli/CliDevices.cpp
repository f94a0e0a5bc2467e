// devices: the device list the options window offers, so a script can choose DeviceName.
#include "CliCommand.h"

#include "capi/CpInfo.h"
#include "telephony/TapiFunc.h"

namespace {

int devices(const QStringList &args)
{
    if (!args.isEmpty())
        throw cli::UsageError{QStringLiteral("devices takes no arguments")};
    QStringList modems;
    ListTapiDevices(modems);
    for (const QString &name : modems)
        cli::out(name + QStringLiteral("\tmodem"));

    TCapiInfo info;
    const int adapters = info.CapiLoaded() ? info.ControllerCount() : 0;
    for (int i = 1; i <= adapters; ++i)
        cli::out(QStringLiteral("ISDN Adapter #%1\tisdn").arg(i));
    return 0;
}

const cli::CliRegistration devicesCommand{
    {QStringLiteral("devices"),
     QStringLiteral("devices   the modem lines and ISDN adapters the program can watch, each with a tab and "
                    "its kind"),
     devices}};

} // namespace

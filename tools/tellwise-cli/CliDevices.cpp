// devices: the device list the options window offers, so a script can choose DeviceName.
#include "CliCommand.h"

#include "telephony/CallSources.h"

namespace {

int devices(const QStringList &args)
{
    if (!args.isEmpty())
        throw cli::UsageError{QStringLiteral("devices takes no arguments")};
    using telephony::DeviceKind;
    for (const telephony::LineInfo &line : telephony::ListLines(DeviceKind::Modem)) {
        if (line.kindText == QLatin1String("SIP")) // a SIP account: the user and the registrar
            cli::out(line.name + QStringLiteral("\tsip\t") + line.identity);
        else if (line.kindText == QLatin1String("MQTT")) // another monitor's calls: its prefix@broker
            cli::out(line.name + QStringLiteral("\tmqtt\t") + line.identity);
        else
            cli::out(line.name + QStringLiteral("\tmodem"));
    }
    for (const telephony::LineInfo &line : telephony::ListLines(DeviceKind::Isdn))
        cli::out(line.name + QStringLiteral("\tisdn"));
    return 0;
}

const cli::CliRegistration devicesCommand{
    {QStringLiteral("devices"),
     QStringLiteral(
         "devices   the modem lines and ISDN adapters the program can watch, each with a tab and "
         "its kind (a SIP line also with its user@registrar, an MQTT line with its prefix@broker)"),
     devices}};

} // namespace

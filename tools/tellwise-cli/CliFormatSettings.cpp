#include "CliFormatSettings.h"

#include "settings/Settings.h"

namespace cli {

NumberFormatSettings CurrentNumberFormat()
{
    Settings settings;
    // Loading a missing settings group would create it; the command line only reads.
    if (!settings.keyExists())
        return NumberFormatSettings{};
    settings.LoadSettings();
    return settings.numberFormat();
}

} // namespace cli

#include "CliFormatSettings.h"

namespace cli {

NumberFormatSettings CurrentNumberFormat()
{
    return NumberFormatSettings{};
}

} // namespace cli

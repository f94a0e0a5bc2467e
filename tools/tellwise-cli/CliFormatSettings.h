#pragma once

#include "store/Numbers.h"

namespace cli {

// The number formatting values of the program's settings when they exist, else the defaults.
NumberFormatSettings CurrentNumberFormat();

} // namespace cli

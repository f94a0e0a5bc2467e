#pragma once

#include <QString>

#include <cstdint>

// Texts of CAPI info values and CIP values.
QString CapiInfoText(int32_t info);
QString CipValueText(uint16_t cipValue);

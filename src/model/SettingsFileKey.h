#pragma once

#include <array>
#include <cstdint>

extern const std::array<uint8_t, 4096> kSettingsFileKey;

#pragma once

// Counters of the SetupAPI stand-in over the real devices, for leak checks.

#include <cstddef>

namespace platform {

// Device information sets created and not yet destroyed.
std::size_t liveDeviceInfoSets();

} // namespace platform

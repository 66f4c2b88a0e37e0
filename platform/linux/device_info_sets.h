#pragma once

// SetupAPI's device information sets, served the same way whatever the devices are: a set is
// a snapshot of the interfaces of one class that the device backend lists when it is made.

#include "platform/win32_api.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// One device interface and the registry properties of the device that owns it; a property
// that is absent is one the device does not have.
struct tDeviceInterface {
    std::string devicePath;
    std::optional<std::string> enumeratorName;
    std::optional<std::string> description;
    std::optional<std::string> friendlyName;
};

// The present interfaces of the volume class (`volumes`) or of the disk class, in the order the
// platform lists them. Each device backend provides it; false with a Win32 code when the
// devices cannot be listed.
bool listDeviceInterfaces(bool volumes, std::vector<tDeviceInterface>& interfaces, DWORD& error);

// Device information sets made and not yet destroyed.
std::size_t liveDeviceInfoSets();

} // namespace platform

// The sizes the discovery code hands to the platform, pinned for the shipped 32-bit build.

#include "platform/win32_api.h"

#include <cstddef>

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(SP_DEVINFO_DATA) == 28);
static_assert(sizeof(SP_DEVICE_INTERFACE_DATA) == 28);
static_assert(sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A) == 5);
static_assert(offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath) == 4);
#endif

// The same on every build.
static_assert(sizeof(STORAGE_DEVICE_NUMBER) == 12);
static_assert(offsetof(STORAGE_DEVICE_NUMBER, DeviceNumber) == 4);
static_assert(sizeof(DISK_EXTENT) == 24);
static_assert(offsetof(VOLUME_DISK_EXTENTS, Extents) == 8);
static_assert(sizeof(VOLUME_DISK_EXTENTS) == 32);

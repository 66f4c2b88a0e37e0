#pragma once

#include "discovery/owners.h"

// What the disk and volume enumerations share: the set of present interfaces of one class,
// the interface detail, and a handle for device queries.

// The present devices exposing `interfaceClass`. Raises tWindowsError.
HDEVINFO getPresentInterfaces(const GUID& interfaceClass);

// Makes `detail` hold an interface detail block with its cbSize set, ready for the first call.
void prepareDetailBuffer(tHeapBuffer& detail);

// Fetches the interface detail into `detail`, growing it as the platform asks, and fills
// `device` with the device that owns the interface. Raises tWindowsError.
void fetchInterfaceDetail(HDEVINFO set, SP_DEVICE_INTERFACE_DATA& interfaceData,
                          tHeapBuffer& detail, SP_DEVINFO_DATA& device);

// The DevicePath of a fetched detail block.
const char* devicePathOf(const tHeapBuffer& detail);

// Opens a device for control requests that need no access rights. Raises tWindowsError.
HANDLE openDeviceForQuery(const char* devicePath);

// IOCTL_STORAGE_GET_DEVICE_NUMBER on an open device: its DeviceNumber. Raises tWindowsError.
DWORD queryStorageDeviceNumber(HANDLE device);

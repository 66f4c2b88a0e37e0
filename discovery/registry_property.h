#pragma once

#include "discovery/owners.h"

#include <string>

// Reads one device registry property into `buffer`, growing it to the size the platform asks
// for. Raises tWindowsError for every other failure, a missing property (13) included.
void readDeviceRegistryProperty(HDEVINFO set, SP_DEVINFO_DATA* device, DWORD property,
                                tHeapBuffer& buffer);

// The buffer's text up to its first NUL (empty without a block).
std::string bufferText(const tHeapBuffer& buffer);

// Grows `buffer` to the size the platform just reported as required. A report that asks for no
// more than the buffer already holds could never be satisfied, so it raises `failure` instead
// of asking again forever.
void growToRequired(tHeapBuffer& buffer, DWORD required, DWORD failure);

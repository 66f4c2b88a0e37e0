#pragma once

#include "platform/win32_api.h"

#include <string>
#include <vector>

// One selectable USB flash disk.
struct tUsbDiskEntry {
    DWORD diskNumber = 0;
    std::string label;
};

// Appends an entry for every USB mass-storage disk, labelled with the volumes on it.
// S_OK, or E_FAIL with `diskList` as it was when discovery failed.
HRESULT buildUsbDiskList(std::vector<tUsbDiskEntry>& diskList);

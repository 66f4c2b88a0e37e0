#include "discovery/usb_disk_list.h"

#include "discovery/disk_enumeration.h"
#include "discovery/volume_enumeration.h"
#include "discovery/windows_error.h"

#include <algorithm>

namespace {

std::string volumePart(const tVolumeInfo& volume) {
    std::string part;
    // A volume without a letter is named by its description alone: a NUL in its place would
    // end the label wherever it is shown.
    if (volume.driveLetter != 0) {
        part += volume.driveLetter;
        part += ": ";
    }
    part += volume.description;
    if (!volume.friendlyName.empty())
        part += " - " + volume.friendlyName;
    return part;
}

std::string diskLabel(const tDiskInfo& disk, const std::vector<tVolumeInfo>& volumes) {
    std::string label = disk.description + " - " + disk.friendlyName;
    for (const tVolumeInfo& volume : volumes) {
        const auto& numbers = volume.diskNumbers;
        if (std::find(numbers.begin(), numbers.end(), disk.deviceNumber) != numbers.end())
            label = volumePart(volume) + " (" + label + ")";
    }
    return label;
}

} // namespace

HRESULT buildUsbDiskList(std::vector<tUsbDiskEntry>& diskList) {
    try {
        std::vector<tVolumeInfo> volumes;
        enumerateVolumes(volumes);
        std::vector<tDiskInfo> disks;
        enumerateDisks(disks);

        for (const tDiskInfo& disk : disks) {
            if (disk.enumeratorName != "USBSTOR")
                continue;
            diskList.push_back(tUsbDiskEntry{disk.deviceNumber, diskLabel(disk, volumes)});
        }
        return S_OK;
    } catch (const tWindowsError&) {
        return E_FAIL;
    }
}

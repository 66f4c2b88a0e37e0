// Prints the USB flash disks the program would offer, as discovery finds them on this machine;
// with --all also every disk and volume that discovery saw on the way.

#include "discovery/disk_enumeration.h"
#include "discovery/usb_disk_list.h"
#include "discovery/volume_enumeration.h"
#include "discovery/windows_error.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

void printAll() {
    try {
        std::vector<tDiskInfo> disks;
        enumerateDisks(disks);
        printf("disks:\n");
        for (const tDiskInfo& disk : disks)
            printf("  %-6u %-8s %s | %s | %s\n", disk.deviceNumber, disk.enumeratorName.c_str(),
                   disk.devicePath.c_str(), disk.description.c_str(), disk.friendlyName.c_str());
        std::vector<tVolumeInfo> volumes;
        enumerateVolumes(volumes);
        printf("volumes:\n");
        for (const tVolumeInfo& volume : volumes) {
            printf("  %c: %s | %s | on disks", volume.driveLetter ? volume.driveLetter : '-',
                   volume.description.c_str(), volume.friendlyName.c_str());
            for (DWORD number : volume.diskNumbers)
                printf(" %u", number);
            printf("\n");
        }
    } catch (const tWindowsError& error) {
        printf("discovery failed with Win32 error %u\n", error.code);
    }
}

} // namespace

int main(int argc, char** argv) {
    bool all = argc > 1 && strcmp(argv[1], "--all") == 0;
    if (argc > 2 || (argc == 2 && !all)) {
        fprintf(stderr, "usage: %s [--all]\n", argv[0]);
        return 2;
    }
    if (all)
        printAll();

    std::vector<tUsbDiskEntry> list;
    HRESULT result = buildUsbDiskList(list);
    printf("buildUsbDiskList: %s, %zu USB flash disk%s\n", result == S_OK ? "S_OK" : "E_FAIL",
           list.size(), list.size() == 1 ? "" : "s");
    for (const tUsbDiskEntry& entry : list)
        printf("  \\\\.\\PhysicalDrive%u  %s\n", entry.diskNumber, entry.label.c_str());
    return result == S_OK ? 0 : 1;
}

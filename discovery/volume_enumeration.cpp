#include "discovery/volume_enumeration.h"

#include "discovery/device_interfaces.h"
#include "discovery/registry_property.h"
#include "discovery/windows_error.h"

#include <cstddef>
#include <cstring>

namespace {

const char letterTable[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";

// Codes with which a drive root answers when no volume of its own lies behind it.
bool isLetterWithoutVolume(DWORD code) {
    return code == ERROR_INVALID_FUNCTION || code == ERROR_PATH_NOT_FOUND ||
           code == ERROR_INVALID_PARAMETER;
}

DWORD extentsSize(DWORD count) {
    return static_cast<DWORD>(offsetof(VOLUME_DISK_EXTENTS, Extents) + count * sizeof(DISK_EXTENT));
}

} // namespace

void mapVolumeNamesToDriveLetters(tDriveLetterMap& letterMap) {
    DWORD mask = GetLogicalDrives();
    if (mask == 0)
        raiseLastError();
    for (int i = 0; i < 26; ++i) {
        if (!(mask & (DWORD(1) << i)))
            continue;
        const char root[] = {letterTable[i], ':', '\\', '\0'};
        std::string name;
        try {
            getVolumeNameForMountPoint(root, name);
        } catch (const tWindowsError& error) {
            if (isLetterWithoutVolume(error.code))
                continue;
            throw;
        }
        letterMap[name] = letterTable[i];
    }
}

void getVolumeNameForMountPoint(const char* mountPoint, std::string& volumeName) {
    char buffer[MAX_PATH] = {};
    if (!GetVolumeNameForVolumeMountPointA(mountPoint, buffer, MAX_PATH))
        raiseLastError();
    volumeName.assign(buffer, strnlen(buffer, MAX_PATH));
}

void getDiskExtents(const char* volumePath, std::vector<DWORD>& diskNumbers) {
    tHeapBuffer extents;
    getDiskExtents(volumePath, diskNumbers, extents);
}

void getDiskExtents(const char* volumePath, std::vector<DWORD>& diskNumbers, tHeapBuffer& buffer) {
    tHandle volume(openDeviceForQuery(volumePath));
    if (buffer.size() < extentsSize(1))
        buffer.grow(extentsSize(1));
    for (;;) {
        DWORD returned = 0;
        BOOL answered = DeviceIoControl(volume.get(), IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS, nullptr,
                                        0, buffer.data(), buffer.size(), &returned, nullptr);
        DWORD code = answered ? ERROR_SUCCESS : GetLastError();
        DWORD count = 0;
        memcpy(&count, buffer.data(), sizeof(count));
        // A count the block cannot hold is read as a request for more room, never past its end.
        if (answered && extentsSize(count) > buffer.size())
            code = ERROR_MORE_DATA;
        switch (code) {
        case ERROR_SUCCESS:
            for (DWORD k = 0; k < count; ++k) {
                DWORD diskNumber = 0;
                memcpy(&diskNumber,
                       buffer.data() + extentsSize(k) + offsetof(DISK_EXTENT, DiskNumber),
                       sizeof(diskNumber));
                diskNumbers.push_back(diskNumber);
            }
            return;
        case ERROR_MORE_DATA:
            growToRequired(buffer, extentsSize(count), code);
            break;
        case ERROR_NOT_SUPPORTED:
            diskNumbers.push_back(queryStorageDeviceNumber(volume.get()));
            return;
        case ERROR_INVALID_FUNCTION:
            return;
        default:
            throw tWindowsError(code);
        }
    }
}

void enumerateVolumes(std::vector<tVolumeInfo>& volumes) {
    tDriveLetterMap letterMap;
    mapVolumeNamesToDriveLetters(letterMap);

    tDeviceInfoSet set(getPresentInterfaces(GUID_DEVINTERFACE_VOLUME));

    SP_DEVICE_INTERFACE_DATA interfaceData{};
    interfaceData.cbSize = sizeof(interfaceData);
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof(device);

    tHeapBuffer detail;
    prepareDetailBuffer(detail);
    tHeapBuffer property;
    tHeapBuffer extents;

    for (DWORD index = 0; SetupDiEnumDeviceInterfaces(set.get(), nullptr, &GUID_DEVINTERFACE_VOLUME,
                                                      index, &interfaceData);
         ++index) {
        fetchInterfaceDetail(set.get(), interfaceData, detail, device);
        const char* devicePath = devicePathOf(detail);

        volumes.emplace_back();
        tVolumeInfo& volume = volumes.back();
        readDeviceRegistryProperty(set.get(), &device, SPDRP_DEVICEDESC, property);
        volume.description = bufferText(property);
        try {
            readDeviceRegistryProperty(set.get(), &device, SPDRP_FRIENDLYNAME, property);
            volume.friendlyName = bufferText(property);
        } catch (const tWindowsError& error) {
            if (error.code != ERROR_INVALID_DATA)
                throw;
        }
        getDiskExtents(devicePath, volume.diskNumbers, extents);

        std::string name;
        getVolumeNameForMountPoint((std::string(devicePath) + '\\').c_str(), name);
        auto found = letterMap.find(name);
        volume.driveLetter = found != letterMap.end() ? found->second : 0;
    }
}

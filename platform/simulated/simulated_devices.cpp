// The device calls served from the installed inventory with the documented Win32 behaviour:
// its interfaces for SetupAPI (platform/linux/device_info_sets.cpp serves the sets), devices
// for CreateFileA and DeviceIoControl (ERROR_MORE_DATA with the full extent count), drive
// letters and volume names.

#include "platform/simulated/simulated_platform.h"

#include "platform/linux/call_detail.h"
#include "platform/linux/device_info_sets.h"
#include "platform/linux/handle_table.h"
#include "platform/linux/physical_drive.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstring>

namespace sim {

namespace {

// A device opened with CreateFileA.
struct tDeviceObject : platform::tKernelObject {
    const tSimDisk* disk = nullptr;
    const tSimVolume* volume = nullptr;
};

BOOL fail(DWORD code) {
    SetLastError(code);
    return FALSE;
}

const tInventory* inventory() {
    return current() ? &current()->inventory() : nullptr;
}

std::string upperCase(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

} // namespace

} // namespace sim

using namespace sim;

HANDLE WINAPI CreateFileA(LPCSTR fileName, DWORD desiredAccess, DWORD shareMode,
                          LPSECURITY_ATTRIBUTES securityAttributes, DWORD creationDisposition,
                          DWORD flagsAndAttributes, HANDLE templateFile) {
    if (DWORD code = platform::enterCall("CreateFileA", [&] {
            return platform::callDetail("%s access=0x%x share=%u disposition=%u",
                                        fileName ? fileName : "(null)", desiredAccess, shareMode,
                                        creationDisposition);
        })) {
        SetLastError(code);
        return INVALID_HANDLE_VALUE;
    }
    (void)securityAttributes;
    (void)flagsAndAttributes;
    (void)templateFile;
    auto device = std::make_shared<tDeviceObject>();
    DWORD openError = ERROR_FILE_NOT_FOUND;
    if (inventory() && fileName) {
        if ((device->disk = current()->diskAt(fileName)))
            openError = device->disk->openError;
        else if ((device->volume = current()->volumeAt(fileName)))
            openError = device->volume->openError;
    }
    if (creationDisposition != OPEN_EXISTING)
        openError = ERROR_ACCESS_DENIED;
    if (openError != 0) {
        SetLastError(openError);
        return INVALID_HANDLE_VALUE;
    }
    return platform::insertHandle(device);
}

BOOL WINAPI DeviceIoControl(HANDLE handle, DWORD ioControlCode, LPVOID inBuffer, DWORD inBufferSize,
                            LPVOID outBuffer, DWORD outBufferSize, LPDWORD bytesReturned,
                            LPOVERLAPPED overlapped) {
    if (DWORD code = platform::enterCall("DeviceIoControl", [&] {
            return platform::callDetail("code=0x%x size=%u", ioControlCode, outBufferSize);
        }))
        return fail(code);
    (void)inBuffer;
    (void)inBufferSize;
    (void)overlapped;
    auto device = platform::lookupHandleAs<tDeviceObject>(handle);
    if (!device)
        return fail(ERROR_INVALID_HANDLE);
    if (bytesReturned)
        *bytesReturned = 0;

    if (ioControlCode == IOCTL_STORAGE_GET_DEVICE_NUMBER) {
        if (device->disk && device->disk->numberError)
            return fail(device->disk->numberError);
        if (!outBuffer || outBufferSize < sizeof(STORAGE_DEVICE_NUMBER))
            return fail(ERROR_INSUFFICIENT_BUFFER);
        STORAGE_DEVICE_NUMBER number{};
        number.DeviceType = FILE_DEVICE_DISK;
        number.DeviceNumber =
            device->disk ? device->disk->deviceNumber : device->volume->deviceNumber;
        number.PartitionNumber = device->disk ? 0 : 1;
        memcpy(outBuffer, &number, sizeof number);
        if (bytesReturned)
            *bytesReturned = sizeof number;
        return TRUE;
    }

    if (ioControlCode == IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS) {
        if (!device->volume)
            return fail(ERROR_INVALID_FUNCTION);
        const tSimVolume& volume = *device->volume;
        if (volume.extentsError)
            return fail(volume.extentsError);
        if (!outBuffer || outBufferSize < sizeof(VOLUME_DISK_EXTENTS))
            return fail(ERROR_INSUFFICIENT_BUFFER);
        DWORD count = static_cast<DWORD>(volume.extents.size());
        memcpy(outBuffer, &count, sizeof count);
        std::size_t needed = offsetof(VOLUME_DISK_EXTENTS, Extents) + count * sizeof(DISK_EXTENT);
        if (outBufferSize < needed) {
            if (bytesReturned)
                *bytesReturned = sizeof(DWORD);
            return fail(ERROR_MORE_DATA);
        }
        BYTE* at = static_cast<BYTE*>(outBuffer) + offsetof(VOLUME_DISK_EXTENTS, Extents);
        for (DWORD k = 0; k < count; ++k, at += sizeof(DISK_EXTENT)) {
            DISK_EXTENT extent{};
            extent.DiskNumber = volume.extents[k];
            extent.StartingOffset.QuadPart = 1 << 20;
            extent.ExtentLength.QuadPart = 63LL << 20;
            memcpy(at, &extent, sizeof extent);
        }
        if (bytesReturned)
            *bytesReturned = static_cast<DWORD>(needed);
        return TRUE;
    }

    return fail(ERROR_INVALID_FUNCTION);
}

DWORD WINAPI GetLogicalDrives(void) {
    if (DWORD code = platform::enterCall("GetLogicalDrives")) {
        SetLastError(code);
        return 0;
    }
    if (!inventory()) {
        SetLastError(ERROR_NOT_READY);
        return 0;
    }
    DWORD mask = 0;
    auto mark = [&mask](char letter) {
        if (letter >= 'A' && letter <= 'Z')
            mask |= DWORD(1) << (letter - 'A');
    };
    for (const tSimVolume& volume : inventory()->volumes)
        for (char letter : volume.driveLetters)
            mark(letter);
    for (const auto& [letter, code] : inventory()->lettersWithoutVolume)
        mark(letter);
    if (mask == 0)
        SetLastError(ERROR_SUCCESS);
    return mask;
}

BOOL WINAPI GetVolumeNameForVolumeMountPointA(LPCSTR volumeMountPoint, LPSTR volumeName,
                                              DWORD bufferLength) {
    if (DWORD code = platform::enterCall("GetVolumeNameForVolumeMountPointA", [&] {
            return platform::callDetail(
                "%s size=%u", volumeMountPoint ? volumeMountPoint : "(null)", bufferLength);
        }))
        return fail(code);
    if (!inventory())
        return fail(ERROR_NOT_READY);
    if (!volumeMountPoint || !volumeName)
        return fail(ERROR_INVALID_PARAMETER);
    std::string path = volumeMountPoint;
    if (path.empty() || path.back() != '\\')
        return fail(ERROR_INVALID_PARAMETER);
    path.pop_back();

    const tSimVolume* found = nullptr;
    if (path.size() == 2 && path[1] == ':') {
        char letter = upperCase(path.substr(0, 1))[0];
        auto without = inventory()->lettersWithoutVolume.find(letter);
        if (without != inventory()->lettersWithoutVolume.end())
            return fail(without->second);
        for (const tSimVolume& volume : inventory()->volumes)
            if (!found && volume.driveLetters.find(letter) != std::string::npos)
                found = &volume;
        if (!found)
            return fail(ERROR_PATH_NOT_FOUND);
    } else {
        found = current()->volumeAt(path);
        if (!found)
            return fail(ERROR_INVALID_PARAMETER);
        if (found->nameError)
            return fail(found->nameError);
    }
    if (found->volumeName.size() + 1 > bufferLength)
        return fail(ERROR_FILENAME_EXCED_RANGE);
    memcpy(volumeName, found->volumeName.c_str(), found->volumeName.size() + 1);
    return TRUE;
}

namespace platform {

bool listDeviceInterfaces(bool volumes, std::vector<tDeviceInterface>& interfaces, DWORD& error) {
    const tInventory* devices = inventory();
    if (!devices) {
        error = ERROR_NOT_READY;
        return false;
    }
    if (volumes)
        for (const tSimVolume& volume : devices->volumes)
            interfaces.push_back({volume.devicePath, std::string("STORAGE"), volume.description,
                                  volume.friendlyName});
    else
        for (const tSimDisk& disk : devices->disks)
            interfaces.push_back(
                {disk.devicePath, disk.enumeratorName, disk.description, disk.friendlyName});
    return true;
}

bool resolvePhysicalDrive(DWORD number, std::string& path, DWORD& error) {
    if (const tInventory* devices = inventory())
        for (const tSimDisk& disk : devices->disks)
            if (disk.deviceNumber == number && !disk.backingFile.empty()) {
                path = disk.backingFile;
                return true;
            }
    error = ERROR_FILE_NOT_FOUND;
    return false;
}

} // namespace platform

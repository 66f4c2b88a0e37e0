// SetupAPI and the kernel32 device and volume calls, served from the installed inventory with
// the documented Win32 behaviour: sizes asked for first, ERROR_INSUFFICIENT_BUFFER with the
// required size, ERROR_MORE_DATA with the full extent count, ERROR_NO_MORE_ITEMS past the end.

#include "platform/simulated/simulated_platform.h"

#include "platform/linux/handle_table.h"
#include "platform/linux/physical_drive.h"

#include <algorithm>
#include <cstddef>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <set>

namespace sim {

namespace {

// Device setup classes, as Windows files disks and volumes.
constexpr GUID diskDeviceClass = {
    0x4d36e967, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};
constexpr GUID volumeDeviceClass = {
    0x71a27cdd, 0x812a, 0x11d0, {0xbe, 0xc7, 0x08, 0x00, 0x2b, 0xe2, 0x09, 0x2f}};

constexpr DWORD interfaceActive = 1;

struct tDeviceSet {
    bool volumes; // the volume interface class, else the disk class
    std::size_t count;
};

std::set<const tDeviceSet*>& liveSets() {
    static std::set<const tDeviceSet*> sets;
    return sets;
}

// A device opened with CreateFileA.
struct tDeviceObject : platform::tKernelObject {
    const tSimDisk* disk = nullptr;
    const tSimVolume* volume = nullptr;
};

std::string format(const char* pattern, ...) __attribute__((format(printf, 1, 2)));
std::string format(const char* pattern, ...) {
    char text[512];
    va_list args;
    va_start(args, pattern);
    vsnprintf(text, sizeof text, pattern, args);
    va_end(args);
    return text;
}

const char* blockState(const void* block, DWORD size) {
    if (!block)
        return "null";
    const BYTE* bytes = static_cast<const BYTE*>(block);
    return std::all_of(bytes, bytes + size, [](BYTE b) { return b == 0; }) ? "zeroed" : "used";
}

BOOL fail(DWORD code) {
    SetLastError(code);
    return FALSE;
}

const tInventory* inventory() {
    return current() ? &current()->inventory() : nullptr;
}

tDeviceSet* setOf(HDEVINFO set) {
    auto* candidate = static_cast<tDeviceSet*>(set);
    return liveSets().count(candidate) ? candidate : nullptr;
}

const std::string& pathOf(const tDeviceSet& set, std::size_t index) {
    return set.volumes ? inventory()->volumes[index].devicePath
                       : inventory()->disks[index].devicePath;
}

// Writes a REG_SZ value the way the registry answers: the text with its NUL, or the size.
BOOL answerText(const std::optional<std::string>& value, PBYTE buffer, DWORD size,
                PDWORD required) {
    if (!value)
        return fail(ERROR_INVALID_DATA);
    DWORD needed = static_cast<DWORD>(value->size() + 1);
    if (required)
        *required = needed;
    if (!buffer && size != 0)
        return fail(ERROR_INVALID_PARAMETER);
    if (size < needed)
        return fail(ERROR_INSUFFICIENT_BUFFER);
    memcpy(buffer, value->c_str(), needed);
    return TRUE;
}

std::string upperCase(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

} // namespace

std::size_t liveDeviceInfoSets() {
    return liveSets().size();
}

} // namespace sim

using namespace sim;

HDEVINFO WINAPI SetupDiGetClassDevsA(const GUID* classGuid, LPCSTR enumerator, HWND parent,
                                     DWORD flags) {
    bool volumes = classGuid && *classGuid == GUID_DEVINTERFACE_VOLUME;
    if (DWORD code = platform::enterCall("SetupDiGetClassDevsA", [&] {
            return format("%s flags=0x%x", volumes ? "volume" : "disk", flags);
        })) {
        SetLastError(code);
        return INVALID_HANDLE_VALUE;
    }
    (void)parent;
    if (!inventory()) {
        SetLastError(ERROR_NOT_READY);
        return INVALID_HANDLE_VALUE;
    }
    if (!classGuid || enumerator || !(flags & DIGCF_DEVICEINTERFACE) ||
        (!volumes && *classGuid != GUID_DEVINTERFACE_DISK)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    auto* set =
        new tDeviceSet{volumes, volumes ? inventory()->volumes.size() : inventory()->disks.size()};
    liveSets().insert(set);
    return set;
}

BOOL WINAPI SetupDiEnumDeviceInterfaces(HDEVINFO set, PSP_DEVINFO_DATA device,
                                        const GUID* interfaceClassGuid, DWORD memberIndex,
                                        PSP_DEVICE_INTERFACE_DATA interfaceData) {
    if (DWORD code = platform::enterCall("SetupDiEnumDeviceInterfaces",
                                         [&] { return format("index=%u", memberIndex); }))
        return fail(code);
    tDeviceSet* devices = setOf(set);
    if (!devices)
        return fail(ERROR_INVALID_HANDLE);
    if (device || !interfaceClassGuid ||
        *interfaceClassGuid !=
            (devices->volumes ? GUID_DEVINTERFACE_VOLUME : GUID_DEVINTERFACE_DISK))
        return fail(ERROR_INVALID_PARAMETER);
    if (!interfaceData || interfaceData->cbSize != sizeof(SP_DEVICE_INTERFACE_DATA))
        return fail(ERROR_INVALID_USER_BUFFER);
    if (memberIndex >= devices->count)
        return fail(ERROR_NO_MORE_ITEMS);
    interfaceData->InterfaceClassGuid = *interfaceClassGuid;
    interfaceData->Flags = interfaceActive;
    interfaceData->Reserved = memberIndex + 1;
    return TRUE;
}

BOOL WINAPI SetupDiGetDeviceInterfaceDetailA(HDEVINFO set, PSP_DEVICE_INTERFACE_DATA interfaceData,
                                             PSP_DEVICE_INTERFACE_DETAIL_DATA_A detail,
                                             DWORD detailSize, PDWORD requiredSize,
                                             PSP_DEVINFO_DATA device) {
    if (DWORD code = platform::enterCall("SetupDiGetDeviceInterfaceDetailA", [&] {
            return format("size=%u cbSize=%u", detailSize, detail ? detail->cbSize : 0);
        }))
        return fail(code);
    tDeviceSet* devices = setOf(set);
    if (!devices)
        return fail(ERROR_INVALID_HANDLE);
    if (!interfaceData || interfaceData->Reserved == 0 || interfaceData->Reserved > devices->count)
        return fail(ERROR_INVALID_PARAMETER);
    if ((detail && detail->cbSize != sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A)) ||
        (device && device->cbSize != sizeof(SP_DEVINFO_DATA)))
        return fail(ERROR_INVALID_USER_BUFFER);
    if (!detail && detailSize != 0)
        return fail(ERROR_INVALID_USER_BUFFER);

    std::size_t index = interfaceData->Reserved - 1;
    const std::string& path = pathOf(*devices, index);
    DWORD needed = static_cast<DWORD>(offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath) +
                                      path.size() + 1);
    if (requiredSize)
        *requiredSize = needed;
    if (detailSize < needed)
        return fail(ERROR_INSUFFICIENT_BUFFER);
    memcpy(detail->DevicePath, path.c_str(), path.size() + 1);
    if (device) {
        device->ClassGuid = devices->volumes ? volumeDeviceClass : diskDeviceClass;
        device->DevInst = static_cast<DWORD>(index + 1);
        device->Reserved = reinterpret_cast<ULONG_PTR>(devices);
    }
    return TRUE;
}

BOOL WINAPI SetupDiGetDeviceRegistryPropertyA(HDEVINFO set, PSP_DEVINFO_DATA device, DWORD property,
                                              PDWORD propertyRegDataType, PBYTE propertyBuffer,
                                              DWORD propertyBufferSize, PDWORD requiredSize) {
    if (DWORD code = platform::enterCall("SetupDiGetDeviceRegistryPropertyA", [&] {
            return format("property=%u buffer=%s size=%u", property,
                          blockState(propertyBuffer, propertyBufferSize), propertyBufferSize);
        }))
        return fail(code);
    tDeviceSet* devices = setOf(set);
    if (!devices)
        return fail(ERROR_INVALID_HANDLE);
    if (!device || device->cbSize != sizeof(SP_DEVINFO_DATA))
        return fail(ERROR_INVALID_USER_BUFFER);
    if (device->Reserved != reinterpret_cast<ULONG_PTR>(devices) || device->DevInst == 0 ||
        device->DevInst > devices->count)
        return fail(ERROR_INVALID_PARAMETER);
    if (propertyRegDataType)
        *propertyRegDataType = REG_SZ;

    std::size_t index = device->DevInst - 1;
    const std::optional<std::string>* value = nullptr;
    if (devices->volumes) {
        const tSimVolume& volume = inventory()->volumes[index];
        if (property == SPDRP_DEVICEDESC)
            value = &volume.description;
        else if (property == SPDRP_FRIENDLYNAME)
            value = &volume.friendlyName;
        else if (property == SPDRP_ENUMERATOR_NAME) {
            static const std::optional<std::string> storage = std::string("STORAGE");
            value = &storage;
        }
    } else {
        const tSimDisk& disk = inventory()->disks[index];
        if (property == SPDRP_DEVICEDESC)
            value = &disk.description;
        else if (property == SPDRP_FRIENDLYNAME)
            value = &disk.friendlyName;
        else if (property == SPDRP_ENUMERATOR_NAME)
            value = &disk.enumeratorName;
    }
    if (!value)
        return fail(ERROR_INVALID_DATA);
    return answerText(*value, propertyBuffer, propertyBufferSize, requiredSize);
}

BOOL WINAPI SetupDiDestroyDeviceInfoList(HDEVINFO set) {
    if (DWORD code = platform::enterCall("SetupDiDestroyDeviceInfoList"))
        return fail(code);
    tDeviceSet* devices = setOf(set);
    if (!devices)
        return fail(ERROR_INVALID_HANDLE);
    liveSets().erase(devices);
    delete devices;
    return TRUE;
}

HANDLE WINAPI CreateFileA(LPCSTR fileName, DWORD desiredAccess, DWORD shareMode,
                          LPSECURITY_ATTRIBUTES securityAttributes, DWORD creationDisposition,
                          DWORD flagsAndAttributes, HANDLE templateFile) {
    if (DWORD code = platform::enterCall("CreateFileA", [&] {
            return format("%s access=0x%x share=%u disposition=%u", fileName ? fileName : "(null)",
                          desiredAccess, shareMode, creationDisposition);
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
            return format("code=0x%x size=%u", ioControlCode, outBufferSize);
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
            return format("%s size=%u", volumeMountPoint ? volumeMountPoint : "(null)",
                          bufferLength);
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

#include "win32_queries.h"

#include <cstring>
#include <memory>

namespace fixtures {

namespace {

std::optional<std::string> property(HDEVINFO set, SP_DEVINFO_DATA& device, DWORD which,
                                    DWORD& error) {
    DWORD required = 0;
    if (SetupDiGetDeviceRegistryPropertyA(set, &device, which, nullptr, nullptr, 0, &required))
        return std::string();
    if (GetLastError() == ERROR_INVALID_DATA)
        return std::nullopt;
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
        error = GetLastError();
        return std::nullopt;
    }
    std::vector<BYTE> buffer(required);
    DWORD type = 0;
    if (!SetupDiGetDeviceRegistryPropertyA(set, &device, which, &type, buffer.data(), required,
                                           &required)) {
        error = GetLastError();
        return std::nullopt;
    }
    if (type != REG_SZ || buffer.back() != 0)
        error = ERROR_INVALID_DATA;
    return std::string(reinterpret_cast<const char*>(buffer.data()));
}

} // namespace

std::vector<tSeenInterface> seenInterfaces(const GUID& interfaceClass, DWORD* error) {
    std::vector<tSeenInterface> seen;
    DWORD failure = ERROR_SUCCESS;
    HDEVINFO set = SetupDiGetClassDevsA(&interfaceClass, nullptr, nullptr,
                                        DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (set == INVALID_HANDLE_VALUE) {
        if (error)
            *error = GetLastError();
        return seen;
    }
    SP_DEVICE_INTERFACE_DATA interfaceData{};
    interfaceData.cbSize = sizeof interfaceData;
    for (DWORD index = 0;
         SetupDiEnumDeviceInterfaces(set, nullptr, &interfaceClass, index, &interfaceData);
         ++index) {
        DWORD required = 0;
        SP_DEVINFO_DATA device{};
        device.cbSize = sizeof device;
        SetupDiGetDeviceInterfaceDetailA(set, &interfaceData, nullptr, 0, &required, nullptr);
        std::vector<BYTE> block(required > 5 ? required : 5);
        auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(block.data());
        detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
        if (!SetupDiGetDeviceInterfaceDetailA(set, &interfaceData, detail,
                                              static_cast<DWORD>(block.size()), &required,
                                              &device)) {
            failure = GetLastError();
            break;
        }
        tSeenInterface found;
        found.devicePath = detail->DevicePath;
        found.enumeratorName = property(set, device, SPDRP_ENUMERATOR_NAME, failure);
        found.description = property(set, device, SPDRP_DEVICEDESC, failure);
        found.friendlyName = property(set, device, SPDRP_FRIENDLYNAME, failure);
        seen.push_back(found);
    }
    if (failure == ERROR_SUCCESS && GetLastError() != ERROR_NO_MORE_ITEMS)
        failure = GetLastError();
    SetupDiDestroyDeviceInfoList(set);
    if (error)
        *error = failure;
    return seen;
}

const tSeenInterface* findPath(const std::vector<tSeenInterface>& interfaces,
                               const std::string& path) {
    for (const tSeenInterface& found : interfaces)
        if (found.devicePath == path)
            return &found;
    return nullptr;
}

HANDLE openForQuery(const std::string& path, DWORD* error) {
    HANDLE device = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    if (error)
        *error = device == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS;
    return device;
}

tDeviceAnswer deviceNumberOf(const std::string& path, STORAGE_DEVICE_NUMBER& number) {
    tDeviceAnswer answer;
    HANDLE device = openForQuery(path, &answer.error);
    if (device == INVALID_HANDLE_VALUE)
        return answer;
    answer.answered = DeviceIoControl(device, IOCTL_STORAGE_GET_DEVICE_NUMBER, nullptr, 0, &number,
                                      sizeof number, &answer.returned, nullptr);
    answer.error = answer.answered ? ERROR_SUCCESS : GetLastError();
    CloseHandle(device);
    return answer;
}

tExtentsAnswer extentsOf(const std::string& path, DWORD size) {
    tExtentsAnswer answer;
    HANDLE device = openForQuery(path, &answer.error);
    if (device == INVALID_HANDLE_VALUE)
        return answer;
    std::vector<BYTE> block(size + 1, 0xEE); // one guard byte past the end
    answer.answered = DeviceIoControl(device, IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS, nullptr, 0,
                                      block.data(), size, &answer.returned, nullptr);
    answer.error = answer.answered ? ERROR_SUCCESS : GetLastError();
    CloseHandle(device);
    if (block[size] != 0xEE)
        answer.error = ERROR_INVALID_USER_BUFFER; // written past the block
    if (size >= sizeof(DWORD))
        memcpy(&answer.count, block.data(), sizeof answer.count);
    std::size_t header = offsetof(VOLUME_DISK_EXTENTS, Extents);
    for (std::size_t at = header; at + sizeof(DISK_EXTENT) <= answer.returned;
         at += sizeof(DISK_EXTENT)) {
        DISK_EXTENT extent;
        memcpy(&extent, block.data() + at, sizeof extent);
        answer.extents.push_back(extent);
    }
    return answer;
}

tNameAnswer volumeNameAt(const std::string& mountPoint, DWORD size) {
    tNameAnswer answer;
    std::vector<char> buffer(size + 1, 0);
    answer.answered = GetVolumeNameForVolumeMountPointA(mountPoint.c_str(), buffer.data(), size);
    answer.error = answer.answered ? ERROR_SUCCESS : GetLastError();
    if (answer.answered)
        answer.name = buffer.data();
    return answer;
}

} // namespace fixtures

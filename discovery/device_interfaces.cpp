#include "discovery/device_interfaces.h"

#include "discovery/registry_property.h"
#include "discovery/windows_error.h"

#include <cstddef>

HDEVINFO getPresentInterfaces(const GUID& interfaceClass) {
    HDEVINFO set = SetupDiGetClassDevsA(&interfaceClass, nullptr, nullptr,
                                        DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (set == INVALID_HANDLE_VALUE)
        raiseLastError();
    return set;
}

void prepareDetailBuffer(tHeapBuffer& detail) {
    detail.grow(sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A));
    reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(detail.data())->cbSize =
        sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
}

void fetchInterfaceDetail(HDEVINFO set, SP_DEVICE_INTERFACE_DATA& interfaceData,
                          tHeapBuffer& detail, SP_DEVINFO_DATA& device) {
    DWORD required = 0;
    while (!SetupDiGetDeviceInterfaceDetailA(
        set, &interfaceData, reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(detail.data()),
        detail.size(), &required, &device)) {
        DWORD code = GetLastError();
        if (code != ERROR_INSUFFICIENT_BUFFER)
            throw tWindowsError(code);
        growToRequired(detail, required, code);
    }
}

const char* devicePathOf(const tHeapBuffer& detail) {
    return reinterpret_cast<const char*>(detail.data()) +
           offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath);
}

HANDLE openDeviceForQuery(const char* devicePath) {
    HANDLE device = CreateFileA(devicePath, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    if (device == nullptr || device == INVALID_HANDLE_VALUE)
        raiseLastError();
    return device;
}

DWORD queryStorageDeviceNumber(HANDLE device) {
    STORAGE_DEVICE_NUMBER number{};
    DWORD returned = 0;
    if (!DeviceIoControl(device, IOCTL_STORAGE_GET_DEVICE_NUMBER, nullptr, 0, &number,
                         sizeof(number), &returned, nullptr))
        raiseLastError();
    return number.DeviceNumber;
}

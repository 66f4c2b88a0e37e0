#include "discovery/registry_property.h"

#include "discovery/windows_error.h"

#include <cstring>

void growToRequired(tHeapBuffer& buffer, DWORD required, DWORD failure) {
    if (required <= buffer.size())
        throw tWindowsError(failure);
    buffer.grow(required);
}

void readDeviceRegistryProperty(HDEVINFO set, SP_DEVINFO_DATA* device, DWORD property,
                                tHeapBuffer& buffer) {
    DWORD required = 0;
    while (!SetupDiGetDeviceRegistryPropertyA(set, device, property, nullptr, buffer.data(),
                                              buffer.size(), &required)) {
        DWORD code = GetLastError();
        if (code != ERROR_INSUFFICIENT_BUFFER)
            throw tWindowsError(code);
        growToRequired(buffer, required, code);
    }
}

std::string bufferText(const tHeapBuffer& buffer) {
    const char* text = reinterpret_cast<const char*>(buffer.data());
    if (!text)
        return {};
    return std::string(text, strnlen(text, buffer.size()));
}

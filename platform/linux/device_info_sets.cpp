// SetupAPI over snapshots of the device backend's interfaces, with the documented Win32
// behaviour: sizes asked for first, ERROR_INSUFFICIENT_BUFFER with the required size,
// ERROR_NO_MORE_ITEMS past the last interface, ERROR_INVALID_DATA for a property the device
// does not have.

#include "platform/linux/device_info_sets.h"

#include "platform/linux/call_detail.h"
#include "platform/linux/call_hook.h"

#include <algorithm>

#include <cstddef>
#include <memory>
#include <optional>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace {

using platform::callDetail;
using platform::tDeviceInterface;

// Device setup classes, as Windows files disks and volumes.
constexpr GUID diskDeviceClass = {
    0x4d36e967, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};
constexpr GUID volumeDeviceClass = {
    0x71a27cdd, 0x812a, 0x11d0, {0xbe, 0xc7, 0x08, 0x00, 0x2b, 0xe2, 0x09, 0x2f}};

constexpr DWORD interfaceActive = 1; // SPINT_ACTIVE

// A device information set: the interfaces of one class as they were when it was made.
struct tDeviceSet {
    GUID interfaceClass;
    bool volumes;
    std::vector<tDeviceInterface> interfaces;
};

struct tLiveSets {
    std::mutex mutex;
    std::set<const tDeviceSet*> sets;
};

tLiveSets& liveSets() {
    static tLiveSets* instance = new tLiveSets; // outlives statics that may still release sets
    return *instance;
}

// The set behind a handle, or null. Sets are used by one thread at a time, as on Windows.
tDeviceSet* setOf(HDEVINFO set) {
    tLiveSets& live = liveSets();
    std::lock_guard<std::mutex> lock(live.mutex);
    auto* candidate = static_cast<tDeviceSet*>(set);
    return live.sets.count(candidate) ? candidate : nullptr;
}

BOOL fail(DWORD code) {
    SetLastError(code);
    return FALSE;
}

std::string describeGuid(const GUID* guid) {
    if (!guid)
        return "(null)";
    if (*guid == GUID_DEVINTERFACE_DISK)
        return "disk";
    if (*guid == GUID_DEVINTERFACE_VOLUME)
        return "volume";
    return "other";
}

// How a buffer handed to the call looks, for the call log.
const char* blockState(const void* block, DWORD size) {
    if (!block)
        return "null";
    const BYTE* bytes = static_cast<const BYTE*>(block);
    return std::all_of(bytes, bytes + size, [](BYTE b) { return b == 0; }) ? "zeroed" : "used";
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

} // namespace

namespace platform {

std::size_t liveDeviceInfoSets() {
    tLiveSets& live = liveSets();
    std::lock_guard<std::mutex> lock(live.mutex);
    return live.sets.size();
}

} // namespace platform

HDEVINFO WINAPI SetupDiGetClassDevsA(const GUID* classGuid, LPCSTR enumerator, HWND parent,
                                     DWORD flags) {
    if (DWORD code = platform::enterCall("SetupDiGetClassDevsA", [&] {
            return describeGuid(classGuid) + callDetail(" flags=0x%x", flags);
        })) {
        SetLastError(code);
        return INVALID_HANDLE_VALUE;
    }
    (void)parent;
    // Only interface classes are served, all present devices, not filtered by enumerator.
    if (!classGuid || enumerator || !(flags & DIGCF_DEVICEINTERFACE) ||
        (flags & DIGCF_ALLCLASSES)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    auto set = std::make_unique<tDeviceSet>();
    set->interfaceClass = *classGuid;
    set->volumes = *classGuid == GUID_DEVINTERFACE_VOLUME;
    DWORD error = ERROR_SUCCESS;
    // Any other interface class has no members here, as on a machine without such devices.
    bool taken = true;
    if (set->volumes || *classGuid == GUID_DEVINTERFACE_DISK)
        taken = platform::listDeviceInterfaces(set->volumes, set->interfaces, error);
    if (!taken) {
        SetLastError(error);
        return INVALID_HANDLE_VALUE;
    }
    tLiveSets& live = liveSets();
    std::lock_guard<std::mutex> lock(live.mutex);
    live.sets.insert(set.get());
    return set.release();
}

BOOL WINAPI SetupDiEnumDeviceInterfaces(HDEVINFO set, PSP_DEVINFO_DATA device,
                                        const GUID* interfaceClassGuid, DWORD memberIndex,
                                        PSP_DEVICE_INTERFACE_DATA interfaceData) {
    if (DWORD code = platform::enterCall("SetupDiEnumDeviceInterfaces",
                                         [&] { return callDetail("index=%u", memberIndex); }))
        return fail(code);
    tDeviceSet* devices = setOf(set);
    if (!devices)
        return fail(ERROR_INVALID_HANDLE);
    if (device || !interfaceClassGuid)
        return fail(ERROR_INVALID_PARAMETER);
    if (!interfaceData || interfaceData->cbSize != sizeof(SP_DEVICE_INTERFACE_DATA))
        return fail(ERROR_INVALID_USER_BUFFER);
    if (*interfaceClassGuid != devices->interfaceClass || memberIndex >= devices->interfaces.size())
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
            return callDetail("size=%u cbSize=%u", detailSize, detail ? detail->cbSize : 0);
        }))
        return fail(code);
    tDeviceSet* devices = setOf(set);
    if (!devices)
        return fail(ERROR_INVALID_HANDLE);
    if (!interfaceData || interfaceData->Reserved == 0 ||
        interfaceData->Reserved > devices->interfaces.size())
        return fail(ERROR_INVALID_PARAMETER);
    if ((detail && detail->cbSize != sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A)) ||
        (device && device->cbSize != sizeof(SP_DEVINFO_DATA)))
        return fail(ERROR_INVALID_USER_BUFFER);
    if (!detail && detailSize != 0)
        return fail(ERROR_INVALID_USER_BUFFER);

    std::size_t index = interfaceData->Reserved - 1;
    const std::string& path = devices->interfaces[index].devicePath;
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
            return callDetail("property=%u buffer=%s size=%u", property,
                              blockState(propertyBuffer, propertyBufferSize), propertyBufferSize);
        }))
        return fail(code);
    tDeviceSet* devices = setOf(set);
    if (!devices)
        return fail(ERROR_INVALID_HANDLE);
    if (!device || device->cbSize != sizeof(SP_DEVINFO_DATA))
        return fail(ERROR_INVALID_USER_BUFFER);
    if (device->Reserved != reinterpret_cast<ULONG_PTR>(devices) || device->DevInst == 0 ||
        device->DevInst > devices->interfaces.size())
        return fail(ERROR_INVALID_PARAMETER);

    const tDeviceInterface& found = devices->interfaces[device->DevInst - 1];
    std::optional<std::string> value;
    if (property == SPDRP_DEVICEDESC)
        value = found.description;
    else if (property == SPDRP_FRIENDLYNAME)
        value = found.friendlyName;
    else if (property == SPDRP_ENUMERATOR_NAME)
        value = found.enumeratorName;
    if (value && propertyRegDataType)
        *propertyRegDataType = REG_SZ;
    return answerText(value, propertyBuffer, propertyBufferSize, requiredSize);
}

BOOL WINAPI SetupDiDestroyDeviceInfoList(HDEVINFO set) {
    if (DWORD code = platform::enterCall("SetupDiDestroyDeviceInfoList"))
        return fail(code);
    tDeviceSet* devices = nullptr;
    {
        tLiveSets& live = liveSets();
        std::lock_guard<std::mutex> lock(live.mutex);
        auto found = live.sets.find(static_cast<tDeviceSet*>(set));
        if (found == live.sets.end())
            return fail(ERROR_INVALID_HANDLE);
        devices = const_cast<tDeviceSet*>(*found);
        live.sets.erase(found);
    }
    delete devices;
    return TRUE;
}

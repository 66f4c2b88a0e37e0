#include "discovery/disk_enumeration.h"

#include "discovery/device_interfaces.h"
#include "discovery/registry_property.h"

void enumerateDisks(std::vector<tDiskInfo>& disks) {
    tDeviceInfoSet set(getPresentInterfaces(GUID_DEVINTERFACE_DISK));

    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof(device);
    SP_DEVICE_INTERFACE_DATA interfaceData{};
    interfaceData.cbSize = sizeof(interfaceData);

    tHeapBuffer detail;
    prepareDetailBuffer(detail);
    tHeapBuffer property;

    for (DWORD index = 0; SetupDiEnumDeviceInterfaces(set.get(), nullptr, &GUID_DEVINTERFACE_DISK,
                                                      index, &interfaceData);
         ++index) {
        fetchInterfaceDetail(set.get(), interfaceData, detail, device);

        disks.emplace_back();
        tDiskInfo& disk = disks.back();
        disk.devicePath = devicePathOf(detail);
        readDeviceRegistryProperty(set.get(), &device, SPDRP_ENUMERATOR_NAME, property);
        disk.enumeratorName = bufferText(property);
        readDeviceRegistryProperty(set.get(), &device, SPDRP_DEVICEDESC, property);
        disk.description = bufferText(property);
        readDeviceRegistryProperty(set.get(), &device, SPDRP_FRIENDLYNAME, property);
        disk.friendlyName = bufferText(property);
        disk.deviceNumber = getStorageDeviceNumber(devicePathOf(detail));
    }
}

DWORD getStorageDeviceNumber(const char* devicePath) {
    tHandle device(openDeviceForQuery(devicePath));
    return queryStorageDeviceNumber(device.get());
}

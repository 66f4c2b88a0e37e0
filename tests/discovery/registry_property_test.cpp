#include "discovery/registry_property.h"
#include "discovery/device_interfaces.h"
#include "discovery/windows_error.h"

#include "fixtures/inventories.h"
#include "fixtures/resource_counts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// Three disks whose friendly names are 13, 5 and 34 characters long.
sim::tInventory threeDisks() {
    sim::tInventory inventory;
    inventory.disks.push_back(fixtures::disk(0, "Medium length"));
    inventory.disks.push_back(fixtures::disk(1, "Short"));
    inventory.disks.push_back(fixtures::disk(2, "A considerably longer friendly name"));
    inventory.disks.push_back(fixtures::disk(3, "No friendly name"));
    inventory.disks.back().friendlyName.reset();
    return inventory;
}

class RegistryProperty : public ::testing::Test {
protected:
    sim::tSimulatedPlatform platform{threeDisks()};
    tDeviceInfoSet set{getPresentInterfaces(GUID_DEVINTERFACE_DISK)};
    tHeapBuffer detail;
    SP_DEVINFO_DATA device{};

    // Points `device` at the owner of interface `index`.
    void selectDevice(DWORD index) {
        SP_DEVICE_INTERFACE_DATA interfaceData{};
        interfaceData.cbSize = sizeof interfaceData;
        device.cbSize = sizeof device;
        ASSERT_TRUE(SetupDiEnumDeviceInterfaces(set.get(), nullptr, &GUID_DEVINTERFACE_DISK, index,
                                                &interfaceData));
        if (!detail.data())
            prepareDetailBuffer(detail);
        fetchInterfaceDetail(set.get(), interfaceData, detail, device);
        platform.clearLog();
    }

    std::vector<std::string> propertyCalls() const {
        std::vector<std::string> calls;
        for (const std::string& call : platform.callLog())
            if (call.rfind("SetupDiGetDeviceRegistryPropertyA", 0) == 0)
                calls.push_back(call);
        return calls;
    }
};

TEST_F(RegistryProperty, FirstReadAsksForTheSizeThenReadsIntoAZeroFilledBlockOfExactlyThatSize) {
    selectDevice(0);
    tHeapBuffer buffer;
    readDeviceRegistryProperty(set.get(), &device, SPDRP_FRIENDLYNAME, buffer);

    EXPECT_EQ(propertyCalls(),
              (std::vector<std::string>{
                  "SetupDiGetDeviceRegistryPropertyA(property=12 buffer=null size=0)",
                  "SetupDiGetDeviceRegistryPropertyA(property=12 buffer=zeroed size=14)"}));
    EXPECT_EQ(buffer.size(), 14u);
    EXPECT_EQ(bufferText(buffer), "Medium length");
}

TEST_F(RegistryProperty, ShorterValueTakesOneCallAndLongerValueGrowsTheBlock) {
    tHeapBuffer buffer;
    selectDevice(0);
    readDeviceRegistryProperty(set.get(), &device, SPDRP_FRIENDLYNAME, buffer);

    selectDevice(1);
    readDeviceRegistryProperty(set.get(), &device, SPDRP_FRIENDLYNAME, buffer);
    EXPECT_EQ(propertyCalls(), (std::vector<std::string>{"SetupDiGetDeviceRegistryPropertyA("
                                                         "property=12 buffer=used size=14)"}));
    EXPECT_EQ(buffer.size(), 14u);
    EXPECT_EQ(bufferText(buffer), "Short");

    selectDevice(2);
    readDeviceRegistryProperty(set.get(), &device, SPDRP_FRIENDLYNAME, buffer);
    EXPECT_EQ(propertyCalls().size(), 2u);
    EXPECT_EQ(buffer.size(), 36u);
    EXPECT_EQ(bufferText(buffer), "A considerably longer friendly name");
}

TEST_F(RegistryProperty, MissingPropertyRaisesInvalidData) {
    selectDevice(3);
    tHeapBuffer buffer;
    try {
        readDeviceRegistryProperty(set.get(), &device, SPDRP_FRIENDLYNAME, buffer);
        FAIL() << "no error raised";
    } catch (const tWindowsError& error) {
        EXPECT_EQ(error.code, DWORD(ERROR_INVALID_DATA));
    }
}

TEST_F(RegistryProperty, ARequiredSizeThatIsNoLargerRaisesInsteadOfAskingForever) {
    selectDevice(0);
    tHeapBuffer buffer;
    // The platform claims the buffer is too small but leaves the required size at 0.
    platform.failCall("SetupDiGetDeviceRegistryPropertyA", 1, ERROR_INSUFFICIENT_BUFFER);
    try {
        readDeviceRegistryProperty(set.get(), &device, SPDRP_FRIENDLYNAME, buffer);
        FAIL() << "no error raised";
    } catch (const tWindowsError& error) {
        EXPECT_EQ(error.code, DWORD(ERROR_INSUFFICIENT_BUFFER));
    }
    EXPECT_EQ(propertyCalls().size(), 1u);
}

TEST_F(RegistryProperty, HeapRefusalDuringGrowthRaisesTheLastError) {
    selectDevice(0);
    tHeapBuffer buffer;
    fixtures::tResourceCounts before;
    platform.failCall("HeapAlloc", platform.callCount("HeapAlloc") + 1, ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_THROW(readDeviceRegistryProperty(set.get(), &device, SPDRP_FRIENDLYNAME, buffer),
                 tWindowsError);
    EXPECT_EQ(buffer.data(), nullptr);
    EXPECT_EQ(fixtures::tResourceCounts(), before);
}

} // namespace

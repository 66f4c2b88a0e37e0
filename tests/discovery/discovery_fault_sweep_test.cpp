// Fails every platform call that building the list makes, one at a time and with each code
// that means something at that point, and checks the outcome and that nothing stays open.

#include "discovery/usb_disk_list.h"

#include "fixtures/inventories.h"
#include "fixtures/resource_counts.h"

#include <gtest/gtest.h>

#include <iostream>
#include <map>
#include <string>
#include <vector>

namespace {

struct tCall {
    std::string operation;
    std::string detail;
    int nth;             // which call of its operation, counting from 1
    std::string context; // "letters", "volume" or "disk": which part of discovery made it
};

std::vector<tCall> recordCalls(const sim::tInventory& inventory) {
    sim::tSimulatedPlatform platform(inventory);
    std::vector<tUsbDiskEntry> list;
    EXPECT_EQ(buildUsbDiskList(list), S_OK);

    std::vector<tCall> calls;
    std::map<std::string, int> seen;
    std::string context = "letters";
    for (const std::string& entry : platform.callLog()) {
        std::size_t open = entry.find('(');
        tCall call{entry.substr(0, open), entry.substr(open + 1, entry.size() - open - 2), 0, {}};
        call.nth = ++seen[call.operation];
        if (call.operation == "SetupDiGetClassDevsA")
            context = call.detail.rfind("volume", 0) == 0 ? "volume" : "disk";
        call.context = context;
        calls.push_back(call);
    }
    return calls;
}

bool isDriveRoot(const std::string& detail) {
    return detail.size() > 3 && detail[0] >= 'A' && detail[0] <= 'Z' &&
           detail.compare(1, 2, ":\\") == 0;
}

// Whether discovery carries on past this failure; everything else must end in E_FAIL.
bool isTolerated(const tCall& call, DWORD code) {
    if (call.operation == "SetupDiEnumDeviceInterfaces")
        return true; // any failure ends the list
    if (call.operation == "GetVolumeNameForVolumeMountPointA" && isDriveRoot(call.detail))
        return code == ERROR_INVALID_FUNCTION || code == ERROR_PATH_NOT_FOUND ||
               code == ERROR_INVALID_PARAMETER;
    if (call.operation == "SetupDiGetDeviceRegistryPropertyA" && call.context == "volume" &&
        call.detail.rfind("property=12 ", 0) == 0)
        return code == ERROR_INVALID_DATA;
    if (call.operation == "DeviceIoControl" && call.detail.rfind("code=0x560000", 0) == 0)
        return code == ERROR_INVALID_FUNCTION || code == ERROR_NOT_SUPPORTED;
    return false;
}

bool isRelease(const std::string& operation) {
    // A failing release leaks on every platform; the sweep checks that releases happen.
    return operation == "CloseHandle" || operation == "HeapFree" ||
           operation == "SetupDiDestroyDeviceInfoList";
}

TEST(DiscoveryFaultSweep, EveryFailedCallEndsCleanly) {
    const sim::tInventory inventory = fixtures::realisticMachine();
    const std::vector<tCall> calls = recordCalls(inventory);
    ASSERT_GT(calls.size(), 50u);

    std::vector<DWORD> cleanNumbers;
    {
        sim::tSimulatedPlatform platform(inventory);
        std::vector<tUsbDiskEntry> list;
        buildUsbDiskList(list);
        for (const auto& entry : list)
            cleanNumbers.push_back(entry.diskNumber);
    }

    const DWORD codes[] = {ERROR_INVALID_FUNCTION,    ERROR_PATH_NOT_FOUND,
                           ERROR_ACCESS_DENIED,       ERROR_NOT_ENOUGH_MEMORY,
                           ERROR_INVALID_DATA,        ERROR_GEN_FAILURE,
                           ERROR_NOT_SUPPORTED,       ERROR_INVALID_PARAMETER,
                           ERROR_INSUFFICIENT_BUFFER, ERROR_MORE_DATA};
    int tried = 0;
    for (const tCall& call : calls) {
        if (isRelease(call.operation))
            continue;
        for (DWORD code : codes) {
            SCOPED_TRACE(call.operation + " #" + std::to_string(call.nth) + " (" + call.detail +
                         ") fails with " + std::to_string(code));
            ++tried;
            sim::tSimulatedPlatform platform(inventory);
            platform.failCall(call.operation, call.nth, code);
            fixtures::tResourceCounts before;
            std::vector<tUsbDiskEntry> list{{77, "sentinel"}};

            HRESULT result = buildUsbDiskList(list);

            EXPECT_EQ(fixtures::tResourceCounts(), before);
            if (!isTolerated(call, code)) {
                EXPECT_EQ(result, E_FAIL);
                ASSERT_EQ(list.size(), 1u);
                EXPECT_EQ(list[0].label, "sentinel");
                continue;
            }
            EXPECT_EQ(result, S_OK);
            // A tolerated failure can only end the disk list early; the disks listed are the
            // first ones of the clean run.
            ASSERT_GE(list.size(), 1u);
            std::vector<DWORD> numbers;
            for (std::size_t i = 1; i < list.size(); ++i)
                numbers.push_back(list[i].diskNumber);
            ASSERT_LE(numbers.size(), cleanNumbers.size());
            EXPECT_TRUE(std::equal(numbers.begin(), numbers.end(), cleanNumbers.begin()));
            if (call.operation != "SetupDiEnumDeviceInterfaces") {
                EXPECT_EQ(numbers, cleanNumbers);
            }
        }
    }
    std::cout << "fault sweep: " << calls.size() << " calls, " << tried << " faults tried\n";
    RecordProperty("faults_tried", tried);
}

} // namespace

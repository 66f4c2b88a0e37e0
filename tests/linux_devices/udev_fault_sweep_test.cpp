// Fails every platform call that building the list makes over the umockdev laptop, one at a
// time, and checks the outcome and that nothing stays open: no heap block, handle, device
// information set or file descriptor. Also calls that fail on their own, without a fault.

#include "laptop_fixture.h"
#include "open_resources.h"
#include "win32_queries.h"

#include "discovery/usb_disk_list.h"
#include "platform/linux/call_hook.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

// Records every call and fails the chosen one.
class tFaultHook : public platform::tCallHook {
public:
    struct tCall {
        std::string operation;
        std::string detail;
        int nth; // which call of its operation, counting from 1
    };

    tFaultHook() : previous(platform::setCallHook(this)) {}
    ~tFaultHook() override { platform::setCallHook(previous); }

    void failNext(const tCall& call, DWORD code) {
        target = call;
        failure = code;
    }

    DWORD onCall(const char* operation, const std::string& detail) override {
        int nth = ++counts[operation];
        calls.push_back({operation, detail, nth});
        return operation == target.operation && nth == target.nth ? failure : 0;
    }

    std::vector<tCall> calls;

private:
    platform::tCallHook* previous;
    std::map<std::string, int> counts;
    tCall target{"", "", 0};
    DWORD failure = 0;
};

bool isRelease(const std::string& operation) {
    // A failing release leaks on every platform; the sweep checks that releases happen.
    return operation == "CloseHandle" || operation == "HeapFree" ||
           operation == "SetupDiDestroyDeviceInfoList";
}

class FaultsOverUdev : public fixtures::tLaptopTest {};

TEST_F(FaultsOverUdev, EveryFailedCallEndsCleanly) {
    std::vector<tFaultHook::tCall> calls;
    {
        tFaultHook recorder;
        std::vector<tUsbDiskEntry> list;
        ASSERT_EQ(buildUsbDiskList(list), S_OK);
        ASSERT_EQ(list.size(), 1u);
        calls = recorder.calls;
    }
    ASSERT_GT(calls.size(), 30u);
    for (const char* backendCall :
         {"SetupDiGetClassDevsA", "SetupDiGetDeviceInterfaceDetailA",
          "SetupDiGetDeviceRegistryPropertyA", "CreateFileA", "DeviceIoControl", "GetLogicalDrives",
          "GetVolumeNameForVolumeMountPointA"})
        EXPECT_TRUE(std::any_of(calls.begin(), calls.end(), [&](const auto& call) {
            return call.operation == backendCall;
        })) << backendCall;

    for (const tFaultHook::tCall& call : calls) {
        if (isRelease(call.operation))
            continue;
        SCOPED_TRACE(call.operation + " #" + std::to_string(call.nth) + " (" + call.detail + ")");
        fixtures::tOpenResources before;
        std::vector<tUsbDiskEntry> list;
        HRESULT result;
        {
            tFaultHook fault;
            fault.failNext(call, ERROR_NOT_READY);
            result = buildUsbDiskList(list);
        }
        if (call.operation == "SetupDiEnumDeviceInterfaces") {
            EXPECT_EQ(result, S_OK); // the list simply ends there
        } else {
            EXPECT_EQ(result, E_FAIL);
            EXPECT_TRUE(list.empty());
        }
        EXPECT_EQ(fixtures::tOpenResources(), before);
    }
}

TEST_F(FaultsOverUdev, CallsThatFailOnTheirOwnLeaveNothingOpen) {
    const std::vector<std::pair<const char*, std::function<BOOL()>>> failing = {
        {"class query with an enumerator",
         [] {
             return SetupDiGetClassDevsA(&GUID_DEVINTERFACE_DISK, "USB", nullptr,
                                         DIGCF_PRESENT | DIGCF_DEVICEINTERFACE) !=
                    INVALID_HANDLE_VALUE;
         }},
        {"opening a character device",
         [] { return fixtures::openForQuery("/dev/null") != INVALID_HANDLE_VALUE; }},
        {"opening a missing node",
         [] { return fixtures::openForQuery("/dev/sdq") != INVALID_HANDLE_VALUE; }},
        {"extents of a disk", [] { return fixtures::extentsOf("/dev/sdb", 64).answered; }},
        {"extents into a small block", [] { return fixtures::extentsOf("/dev/sdb1", 8).answered; }},
        {"volume name of a disk", [] { return fixtures::volumeNameAt("/dev/sda\\").answered; }},
        {"volume name into a small buffer",
         [] { return fixtures::volumeNameAt("/dev/sdb1\\", 8).answered; }},
    };
    for (const auto& [name, call] : failing) {
        SCOPED_TRACE(name);
        fixtures::tOpenResources before;
        EXPECT_FALSE(call());
        EXPECT_EQ(fixtures::tOpenResources(), before);
    }
}

} // namespace

#include "discovery/volume_enumeration.h"
#include "discovery/windows_error.h"

#include "fixtures/inventories.h"
#include "fixtures/resource_counts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using fixtures::volume;

DWORD raisedCode(std::vector<tVolumeInfo>& volumes) {
    try {
        enumerateVolumes(volumes);
    } catch (const tWindowsError& error) {
        return error.code;
    }
    return ERROR_SUCCESS;
}

std::vector<std::string> callsOf(const sim::tSimulatedPlatform& platform,
                                 const std::string& operation) {
    std::vector<std::string> calls;
    for (const std::string& call : platform.callLog())
        if (call.rfind(operation + "(", 0) == 0)
            calls.push_back(call);
    return calls;
}

TEST(EnumerateVolumes, RecordsEachVolumeWithDisksAndTheLastOfItsLetters) {
    sim::tInventory inventory;
    inventory.volumes.push_back(volume("c", {0}, "C", "Generic volume", "System"));
    inventory.volumes.push_back(volume("ek", {1}, "EK", "Removable volume"));
    inventory.volumes.push_back(volume("none", {2, 3, 2}, "", "Spanned volume", "Data"));
    sim::tSimulatedPlatform platform(inventory);
    fixtures::tResourceCounts before;

    std::vector<tVolumeInfo> volumes(1);
    volumes[0].description = "kept";
    EXPECT_EQ(raisedCode(volumes), DWORD(ERROR_SUCCESS));

    ASSERT_EQ(volumes.size(), 4u);
    EXPECT_EQ(volumes[0].description, "kept");
    EXPECT_EQ(volumes[1].description, "Generic volume");
    EXPECT_EQ(volumes[1].friendlyName, "System");
    EXPECT_EQ(volumes[1].diskNumbers, std::vector<DWORD>{0});
    EXPECT_EQ(volumes[1].driveLetter, 'C');
    EXPECT_EQ(volumes[2].description, "Removable volume");
    EXPECT_EQ(volumes[2].friendlyName, "");
    EXPECT_EQ(volumes[2].driveLetter, 'K');
    EXPECT_EQ(volumes[3].diskNumbers, (std::vector<DWORD>{2, 3, 2}));
    EXPECT_EQ(volumes[3].driveLetter, 0);
    EXPECT_EQ(fixtures::tResourceCounts(), before);

    // The letters are mapped before any device is asked, A to Z.
    EXPECT_EQ(platform.callLog().front(), "GetLogicalDrives()");
    EXPECT_EQ(callsOf(platform, "GetVolumeNameForVolumeMountPointA")[0],
              "GetVolumeNameForVolumeMountPointA(C:\\ size=260)");
}

TEST(EnumerateVolumes, NoVolumeInterfaceGivesNothingAfterTheLettersWereMapped) {
    sim::tInventory inventory;
    inventory.lettersWithoutVolume['C'] = ERROR_PATH_NOT_FOUND;
    sim::tSimulatedPlatform platform(inventory);
    std::vector<tVolumeInfo> volumes;
    EXPECT_EQ(raisedCode(volumes), DWORD(ERROR_SUCCESS));
    EXPECT_TRUE(volumes.empty());
    EXPECT_EQ(callsOf(platform, "GetVolumeNameForVolumeMountPointA").size(), 1u);
    EXPECT_EQ(callsOf(platform, "SetupDiEnumDeviceInterfaces").size(), 1u);
}

struct tLetterCase {
    DWORD code;
    DWORD raised; // ERROR_SUCCESS when the letter is only skipped
};

class LetterWithoutVolume : public ::testing::TestWithParam<tLetterCase> {};

TEST_P(LetterWithoutVolume, IsSkippedForTheToleratedCodesOnly) {
    sim::tInventory inventory;
    inventory.lettersWithoutVolume['D'] = GetParam().code;
    inventory.volumes.push_back(volume("e", {1}, "E"));
    sim::tSimulatedPlatform platform(inventory);
    fixtures::tResourceCounts before;
    std::vector<tVolumeInfo> volumes;
    EXPECT_EQ(raisedCode(volumes), GetParam().raised);
    if (GetParam().raised == ERROR_SUCCESS) {
        ASSERT_EQ(volumes.size(), 1u);
        EXPECT_EQ(volumes[0].driveLetter, 'E');
    } else {
        EXPECT_TRUE(volumes.empty()); // the map fails before any volume is asked
    }
    EXPECT_EQ(fixtures::tResourceCounts(), before);
}

INSTANTIATE_TEST_SUITE_P(Codes, LetterWithoutVolume,
                         ::testing::Values(tLetterCase{ERROR_INVALID_FUNCTION, ERROR_SUCCESS},
                                           tLetterCase{ERROR_PATH_NOT_FOUND, ERROR_SUCCESS},
                                           tLetterCase{ERROR_INVALID_PARAMETER, ERROR_SUCCESS},
                                           tLetterCase{ERROR_NOT_READY, ERROR_NOT_READY},
                                           tLetterCase{ERROR_ACCESS_DENIED, ERROR_ACCESS_DENIED}));

TEST(EnumerateVolumes, NoLogicalDrivesRaisesTheLastError) {
    sim::tSimulatedPlatform platform({});
    platform.failCall("GetLogicalDrives", 1, ERROR_ACCESS_DENIED);
    std::vector<tVolumeInfo> volumes;
    EXPECT_EQ(raisedCode(volumes), DWORD(ERROR_ACCESS_DENIED));
}

TEST(EnumerateVolumes, MissingFriendlyNameIsToleratedAnyOtherFailureIsNot) {
    sim::tInventory inventory;
    inventory.volumes.push_back(volume("e", {1}, "E", "Generic volume"));
    inventory.volumes.push_back(volume("f", {2}, "F", "Generic volume", "Named"));
    {
        sim::tSimulatedPlatform platform(inventory);
        std::vector<tVolumeInfo> volumes;
        EXPECT_EQ(raisedCode(volumes), DWORD(ERROR_SUCCESS));
        ASSERT_EQ(volumes.size(), 2u);
        EXPECT_EQ(volumes[0].friendlyName, "");
        EXPECT_EQ(volumes[0].diskNumbers, std::vector<DWORD>{1});
        EXPECT_EQ(volumes[0].driveLetter, 'E');
        EXPECT_EQ(volumes[1].friendlyName, "Named");
    }
    {
        sim::tSimulatedPlatform platform(inventory);
        // Calls 1 and 2 read the first description; call 3 is its friendly name.
        platform.failCall("SetupDiGetDeviceRegistryPropertyA", 3, ERROR_GEN_FAILURE);
        fixtures::tResourceCounts before;
        std::vector<tVolumeInfo> volumes;
        EXPECT_EQ(raisedCode(volumes), DWORD(ERROR_GEN_FAILURE));
        ASSERT_EQ(volumes.size(), 1u); // partly filled
        EXPECT_EQ(volumes[0].description, "Generic volume");
        EXPECT_TRUE(volumes[0].diskNumbers.empty());
        EXPECT_EQ(fixtures::tResourceCounts(), before);
    }
}

struct tExtentsCase {
    const char* what;
    DWORD answer;                      // what the volume answers the extents request with
    std::vector<DWORD> extents;        // disks under the volume
    DWORD raised;                      // ERROR_SUCCESS when the enumeration completes
    std::vector<DWORD> diskNumbers;    // what the record gets
    std::vector<std::string> requests; // the DeviceIoControl calls on the volume
};

void PrintTo(const tExtentsCase& c, std::ostream* out) {
    *out << c.what;
}

class DiskExtents : public ::testing::TestWithParam<tExtentsCase> {};

TEST_P(DiskExtents, AnswerDecidesTheDiskNumbers) {
    const tExtentsCase& c = GetParam();
    sim::tInventory inventory;
    inventory.volumes.push_back(volume("v", c.extents, "E"));
    inventory.volumes[0].extentsError = c.answer;
    inventory.volumes[0].deviceNumber = 9;
    sim::tSimulatedPlatform platform(inventory);
    fixtures::tResourceCounts before;

    std::vector<tVolumeInfo> volumes;
    EXPECT_EQ(raisedCode(volumes), c.raised);
    if (c.raised == ERROR_SUCCESS) {
        ASSERT_EQ(volumes.size(), 1u);
        EXPECT_EQ(volumes[0].diskNumbers, c.diskNumbers);
    }
    EXPECT_EQ(callsOf(platform, "DeviceIoControl"), c.requests);
    EXPECT_EQ(callsOf(platform, "CloseHandle").size(), 1u);
    EXPECT_EQ(fixtures::tResourceCounts(), before);
}

const std::string extentsRequest = "DeviceIoControl(code=0x560000 size=";
const std::string numberRequest = "DeviceIoControl(code=0x2d1080 size=12)";

INSTANTIATE_TEST_SUITE_P(
    Answers, DiskExtents,
    ::testing::Values(
        tExtentsCase{"one_extent", 0, {4}, ERROR_SUCCESS, {4}, {extentsRequest + "32)"}},
        tExtentsCase{"no_extent", 0, {}, ERROR_SUCCESS, {}, {extentsRequest + "32)"}},
        tExtentsCase{"two_disks_grow_to_56",
                     0,
                     {1, 3},
                     ERROR_SUCCESS,
                     {1, 3},
                     {extentsRequest + "32)", extentsRequest + "56)"}},
        tExtentsCase{"five_extents_grow_to_128",
                     0,
                     {1, 2, 1, 5, 6},
                     ERROR_SUCCESS,
                     {1, 2, 1, 5, 6},
                     {extentsRequest + "32)", extentsRequest + "128)"}},
        tExtentsCase{"not_supported_falls_back_to_device_number",
                     ERROR_NOT_SUPPORTED,
                     {},
                     ERROR_SUCCESS,
                     {9},
                     {extentsRequest + "32)", numberRequest}},
        tExtentsCase{"invalid_function_gives_no_numbers",
                     ERROR_INVALID_FUNCTION,
                     {},
                     ERROR_SUCCESS,
                     {},
                     {extentsRequest + "32)"}},
        tExtentsCase{"other_code_raises",
                     ERROR_NOT_READY,
                     {},
                     ERROR_NOT_READY,
                     {},
                     {extentsRequest + "32)"}}),
    [](const auto& info) { return std::string(info.param.what); });

TEST(EnumerateVolumes, ExtentsBufferIsReusedAndGrowsOnlyForMoreExtents) {
    sim::tInventory inventory;
    inventory.volumes.push_back(volume("two", {1, 3}, "E"));
    inventory.volumes.push_back(volume("one", {4}, "F"));
    inventory.volumes.push_back(volume("three", {5, 6, 7}, "G"));
    sim::tSimulatedPlatform platform(inventory);
    std::vector<tVolumeInfo> volumes;
    enumerateVolumes(volumes);
    EXPECT_EQ(callsOf(platform, "DeviceIoControl"),
              (std::vector<std::string>{extentsRequest + "32)", extentsRequest + "56)",
                                        extentsRequest + "56)", extentsRequest + "56)",
                                        extentsRequest + "80)"}));
    EXPECT_EQ(volumes[2].diskNumbers, (std::vector<DWORD>{5, 6, 7}));
}

TEST(EnumerateVolumes, FailedDeviceNumberFallbackRaises) {
    sim::tInventory inventory;
    inventory.volumes.push_back(volume("v", {}, "E"));
    inventory.volumes[0].extentsError = ERROR_NOT_SUPPORTED;
    sim::tSimulatedPlatform platform(inventory);
    platform.failCall("DeviceIoControl", 2, ERROR_GEN_FAILURE);
    std::vector<tVolumeInfo> volumes;
    EXPECT_EQ(raisedCode(volumes), DWORD(ERROR_GEN_FAILURE));
}

TEST(EnumerateVolumes, FailedVolumeNameOfADevicePathEndsEverything) {
    sim::tInventory inventory;
    inventory.volumes.push_back(volume("a", {1}, "E"));
    inventory.volumes.push_back(volume("b", {2}, "F"));
    inventory.volumes.push_back(volume("c", {3}, "G"));
    // A code that would be tolerated for a drive letter is not tolerated here.
    inventory.volumes[1].nameError = ERROR_PATH_NOT_FOUND;
    sim::tSimulatedPlatform platform(inventory);
    fixtures::tResourceCounts before;
    std::vector<tVolumeInfo> volumes;
    EXPECT_EQ(raisedCode(volumes), DWORD(ERROR_PATH_NOT_FOUND));
    ASSERT_EQ(volumes.size(), 2u);
    EXPECT_EQ(volumes[1].diskNumbers, std::vector<DWORD>{2}); // filled up to the failing step
    EXPECT_EQ(volumes[1].driveLetter, 0);
    EXPECT_EQ(fixtures::tResourceCounts(), before);
    EXPECT_EQ(callsOf(platform, "GetVolumeNameForVolumeMountPointA").back(),
              "GetVolumeNameForVolumeMountPointA(" + inventory.volumes[1].devicePath +
                  "\\ size=260)");
}

TEST(GetDiskExtents, ACountThatDoesNotOutgrowTheBlockRaisesInsteadOfAskingForever) {
    sim::tInventory inventory;
    inventory.volumes.push_back(volume("v", {1}, "E"));
    sim::tSimulatedPlatform platform(inventory);
    // The request fails with ERROR_MORE_DATA but the block still says 0 extents.
    platform.failCall("DeviceIoControl", 1, ERROR_MORE_DATA);
    fixtures::tResourceCounts before;
    std::vector<DWORD> numbers;
    try {
        getDiskExtents(inventory.volumes[0].devicePath.c_str(), numbers);
        FAIL() << "no error raised";
    } catch (const tWindowsError& error) {
        EXPECT_EQ(error.code, DWORD(ERROR_MORE_DATA));
    }
    EXPECT_EQ(platform.callCount("DeviceIoControl"), 1);
    EXPECT_EQ(fixtures::tResourceCounts(), before);
}

TEST(MapVolumeNamesToDriveLetters, KeepsEntriesItDoesNotOverwrite) {
    sim::tInventory inventory;
    inventory.volumes.push_back(volume("e", {1}, "E"));
    sim::tSimulatedPlatform platform(inventory);
    tDriveLetterMap letters{{"\\\\?\\Volume{other}\\", 'Q'}, {"\\\\?\\Volume{e}\\", 'X'}};
    mapVolumeNamesToDriveLetters(letters);
    EXPECT_EQ(letters,
              (tDriveLetterMap{{"\\\\?\\Volume{other}\\", 'Q'}, {"\\\\?\\Volume{e}\\", 'E'}}));
}

} // namespace

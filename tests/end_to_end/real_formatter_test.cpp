// The whole command with the distribution's makebootfat on a simulated USB stick whose disk is
// a 64 MiB image file; mtools reads the result.

#include "fixtures/formatter_layout.h"
#include "fixtures/headless_app.h"
#include "fixtures/inventories.h"
#include "platform/linux/module_path.h"
#include "platform/process_fixture.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <fstream>
#include <set>
#include <string>

namespace {

namespace fs = std::filesystem;

// What a command prints, and whether it succeeded.
bool runCommand(const std::string& command, std::string& output) {
    output.clear();
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe)
        return false;
    char buffer[4096];
    while (std::size_t got = fread(buffer, 1, sizeof buffer, pipe))
        output.append(buffer, got);
    return pclose(pipe) == 0;
}

std::string which(const std::string& program) {
    std::string path;
    runCommand("command -v " + program, path);
    while (!path.empty() && (path.back() == '\n' || path.back() == ' '))
        path.pop_back();
    return path;
}

std::string upperCase(std::string text) {
    for (char& c : text)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return text;
}

// The first partition's start, in bytes, from the image's partition table.
std::uint64_t firstPartitionOffset(const fs::path& image) {
    std::ifstream in(image, std::ios::binary);
    unsigned char sector[512] = {};
    in.read(reinterpret_cast<char*>(sector), sizeof sector);
    std::uint32_t start = sector[454] | sector[455] << 8 | sector[456] << 16 |
                          static_cast<std::uint32_t>(sector[457]) << 24;
    return std::uint64_t(start) * 512;
}

class RealFormatter : public fixtures::HeadlessApp {
protected:
    void SetUp() override {
        fixtures::HeadlessApp::SetUp();
        makebootfat = which("makebootfat");
        ASSERT_FALSE(makebootfat.empty()) << "makebootfat is not installed";
        ASSERT_FALSE(which("mdir").empty()) << "mtools is not installed";

        // The program's folder: usbfiles/ with the tool and the files it writes.
        fs::path program = scratch / "program";
        fixtures::layOutUsbfiles(program, makebootfat);
        platform::setModulePathForTesting((program / "bootdisk").string());

        // A sparse 64 MiB stick.
        stick = scratch / "stick.img";
        fixtures::makeSparseImage(stick, 64u << 20);
    }
    void TearDown() override {
        platform::setModulePathForTesting(std::nullopt);
        fixtures::HeadlessApp::TearDown();
    }

    fixtures::tScratchDirectory scratch;
    std::string makebootfat;
    fs::path stick;
};

TEST_F(RealFormatter, MakesTheChosenStickBootable) {
    sim::tInventory inventory;
    inventory.disks.push_back(fixtures::disk(0, "System SSD", "SCSI"));
    inventory.disks.push_back(fixtures::disk(5, "Virtual Stick"));
    inventory.disks.back().backingFile = stick.string();
    inventory.volumes.push_back(fixtures::volume("c", {0}, "C"));
    sim::tSimulatedPlatform platform(inventory);

    headless::pressKey(VK_RETURN);
    headless::answerMessageBox(IDOK);
    headless::inspect([&](HWND dialog) {
        EXPECT_EQ(headless::windowText(GetDlgItem(dialog, IDC_STATUS)), "Format complete.");
        EXPECT_EQ(headless::progressState(GetDlgItem(dialog, IDC_PROGRESS)).position, 1000);
    });
    headless::pressKey(VK_ESCAPE);
    theApp.InitInstance();
    EXPECT_EQ(headless::messageBoxes().size(), 1u) << "only the confirmation";

    std::uint64_t offset = firstPartitionOffset(stick);
    ASSERT_GT(offset, 0u);
    std::string drive = "-i " + stick.string() + "@@" + std::to_string(offset) + " ::";
    std::string listing;
    ASSERT_TRUE(runCommand("mdir -b " + drive + "/", listing)) << listing;
    std::set<std::string> files;
    std::size_t from = 0;
    for (std::size_t end; (end = listing.find('\n', from)) != std::string::npos; from = end + 1)
        files.insert(upperCase(listing.substr(from, end - from))); // FAT names ignore case
    EXPECT_EQ(files, (std::set<std::string>{"::/KERNEL.SYS", "::/COMMAND.COM", "::/README.TXT",
                                            "::/SETUP.CFG"}));
    std::string content;
    ASSERT_TRUE(runCommand("mtype " + drive + "/SETUP.CFG", content));
    EXPECT_EQ(content, "baud=115200\n");
    std::string info;
    ASSERT_TRUE(runCommand("minfo " + drive, info));
    EXPECT_NE(info.find("FAT"), std::string::npos) << info;
}

} // namespace

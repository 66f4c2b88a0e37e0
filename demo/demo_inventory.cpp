#include "demo/demo_inventory.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

namespace demo {

namespace fs = std::filesystem;

namespace {

sim::tSimDisk disk(DWORD number, const char* enumerator, const char* friendlyName) {
    sim::tSimDisk d;
    d.devicePath = std::string("\\\\?\\") + enumerator + "#Disk&Ven_Virtual#" +
                   std::to_string(number) + "#{53f56307-b6bf-11d0-94f2-00a0c91efb8b}";
    d.enumeratorName = enumerator;
    d.friendlyName = friendlyName;
    d.deviceNumber = number;
    return d;
}

sim::tSimVolume volume(const char* tag, DWORD diskNumber, const char* letter,
                       const char* description, const char* friendlyName) {
    sim::tSimVolume v;
    v.devicePath =
        std::string("\\\\?\\STORAGE#Volume#") + tag + "#{53f5630d-b6bf-11d0-94f2-00a0c91efb8b}";
    v.volumeName = std::string("\\\\?\\Volume{") + tag + "}\\";
    v.extents = {diskNumber};
    v.deviceNumber = diskNumber;
    v.driveLetters = letter;
    v.description = description;
    v.friendlyName = friendlyName;
    return v;
}

fs::path homeDirectory() {
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    if (const passwd* user = getpwuid(getuid()); user && user->pw_dir)
        return user->pw_dir;
    return fs::temp_directory_path();
}

} // namespace

fs::path stateDirectory() {
    // XDG directories given as relative paths are to be ignored.
    const char* state = std::getenv("XDG_STATE_HOME");
    fs::path base = state && *state == '/' ? fs::path(state) : homeDirectory() / ".local" / "state";
    return base / "bootdisk-demo";
}

sim::tInventory inventory(const fs::path& directory) {
    sim::tInventory devices;
    devices.disks.push_back(disk(0, "SCSI", "Virtual System Disk"));
    devices.disks.push_back(disk(1, "USBSTOR", "Virtual Stick A"));
    devices.disks.back().backingFile = (directory / "stick-a.img").string();
    devices.disks.push_back(disk(2, "USBSTOR", "Virtual Stick B"));
    devices.disks.back().backingFile = (directory / "stick-b.img").string();
    devices.volumes.push_back(volume("c0", 0, "C", "Local disk", "System"));
    devices.volumes.push_back(volume("e1", 1, "E", "FAT16", "BOOT"));
    devices.volumes.push_back(volume("f1", 1, "F", "FAT32", "DATA"));
    return devices;
}

bool prepareImages(const sim::tInventory& devices, std::string& error) {
    for (const sim::tSimDisk& d : devices.disks) {
        if (d.backingFile.empty())
            continue;
        fs::path image = d.backingFile;
        std::error_code failure;
        fs::create_directories(image.parent_path(), failure);
        if (failure) {
            error = image.parent_path().string() + ": " + failure.message();
            return false;
        }
        if (!fs::exists(image, failure))
            std::ofstream(image, std::ios::binary).close();
        if (fs::file_size(image, failure) != stickImageSize && !failure)
            fs::resize_file(image, stickImageSize, failure);
        if (failure) {
            error = image.string() + ": " + failure.message();
            return false;
        }
    }
    return true;
}

} // namespace demo

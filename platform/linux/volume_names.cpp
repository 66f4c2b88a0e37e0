// Drive letters and volume names. Linux has no drive letters; the one letter reported, Z:,
// stands for the root directory, as Wine has it. Volume names follow the Windows form and are
// made from the disk's diskseq and the partition number, so every path to a volume gives the
// same name.

#include "platform/linux/block_device.h"
#include "platform/linux/call_detail.h"
#include "platform/linux/call_hook.h"
#include "platform/linux/errno_error.h"
#include "platform/linux/mount_table.h"
#include "platform/linux/volume_inventory.h"

#include <sys/stat.h>

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

using namespace platform::devices;
using platform::callDetail;

constexpr char rootLetter = 'Z';

BOOL fail(DWORD code) {
    SetLastError(code);
    return FALSE;
}

bool isDriveRoot(const std::string& path) {
    return path.size() == 2 && isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':';
}

// The block device a path leads to: a device node, or a directory where one is mounted.
DWORD deviceOfPath(const std::string& path, const tMountTable& mounts, dev_t& number) {
    struct stat status;
    if (path.empty())
        return ERROR_INVALID_PARAMETER;
    if (stat(path.c_str(), &status) != 0)
        return platform::errorFromErrno(errno);
    if (S_ISBLK(status.st_mode)) {
        number = status.st_rdev;
        return ERROR_SUCCESS;
    }
    char canonical[PATH_MAX];
    if (S_ISDIR(status.st_mode) && realpath(path.c_str(), canonical) &&
        (number = mounts.deviceAt(canonical)) != 0)
        return ERROR_SUCCESS;
    return ERROR_INVALID_PARAMETER; // neither a volume nor where one is mounted
}

} // namespace

DWORD WINAPI GetLogicalDrives(void) {
    if (DWORD code = platform::enterCall("GetLogicalDrives")) {
        SetLastError(code);
        return 0;
    }
    return DWORD(1) << (rootLetter - 'A');
}

BOOL WINAPI GetVolumeNameForVolumeMountPointA(LPCSTR volumeMountPoint, LPSTR volumeName,
                                              DWORD bufferLength) {
    if (DWORD code = platform::enterCall("GetVolumeNameForVolumeMountPointA", [&] {
            return callDetail("%s size=%u", volumeMountPoint ? volumeMountPoint : "(null)",
                              bufferLength);
        }))
        return fail(code);
    if (!volumeMountPoint || !volumeName)
        return fail(ERROR_INVALID_PARAMETER);
    std::string path = volumeMountPoint;
    if (path.empty() || path.back() != '\\')
        return fail(ERROR_INVALID_PARAMETER);
    path.pop_back();

    tUdevContext udev;
    if (!udev.valid())
        return fail(ERROR_NOT_ENOUGH_MEMORY);
    tMountTable mounts = tMountTable::read();
    dev_t number = 0;
    // What a drive root that is not a volume answers; other paths are simply not volumes.
    DWORD notAVolume = ERROR_INVALID_PARAMETER;
    if (isDriveRoot(path)) {
        if (toupper(static_cast<unsigned char>(path[0])) != rootLetter)
            return fail(ERROR_PATH_NOT_FOUND);
        notAVolume = ERROR_INVALID_FUNCTION;
        number = mounts.deviceAt("/");
        if (number == 0)
            return fail(notAVolume);
    } else if (DWORD code = deviceOfPath(path, mounts, number)) {
        return fail(code);
    }
    auto device = blockDeviceByNumber(udev, number);
    if (!device || !identifyVolume(udev, *device, mounts, nullptr))
        return fail(notAVolume);

    std::string name = volumeNameOf(*device);
    if (name.size() + 1 > bufferLength)
        return fail(ERROR_FILENAME_EXCED_RANGE);
    memcpy(volumeName, name.c_str(), name.size() + 1);
    return TRUE;
}

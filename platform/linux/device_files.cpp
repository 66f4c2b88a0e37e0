// CreateFileA and DeviceIoControl for block devices. A device handle holds the node opened with
// O_PATH, which needs no read permission (the program never runs as root); every query is
// answered from sysfs, never by an ioctl on the node.

#include "platform/linux/block_device.h"
#include "platform/linux/call_detail.h"
#include "platform/linux/call_hook.h"
#include "platform/linux/errno_error.h"
#include "platform/linux/handle_table.h"
#include "platform/linux/mount_table.h"
#include "platform/linux/volume_extents.h"
#include "platform/linux/volume_inventory.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstring>

namespace {

using namespace platform::devices;
using platform::callDetail;

struct tBlockDeviceFile : platform::tKernelObject {
    explicit tBlockDeviceFile(int descriptor) : fd(descriptor) {}
    ~tBlockDeviceFile() override { close(fd); }
    int fd;
    dev_t number = 0;
    uint64_t diskSeq = 0; // of the whole disk when opened: a later answer must come from it
};

BOOL fail(DWORD code) {
    SetLastError(code);
    return FALSE;
}

HANDLE failOpen(DWORD code) {
    SetLastError(code);
    return INVALID_HANDLE_VALUE;
}

// The node's type and number are read through its path, where device emulators answer too;
// the descriptor must name the same file, so that a node swapped in between does not pass.
DWORD checkBlockDevice(const char* path, int fd, dev_t& number) {
    struct stat byPath, opened;
    if (stat(path, &byPath) != 0)
        return platform::errorFromErrno(errno);
    if (fstat(fd, &opened) != 0)
        return platform::errorFromErrno(errno);
    if (opened.st_dev != byPath.st_dev || opened.st_ino != byPath.st_ino)
        return ERROR_FILE_NOT_FOUND;
    if (!S_ISBLK(byPath.st_mode) || (S_ISBLK(opened.st_mode) && opened.st_rdev != byPath.st_rdev))
        return ERROR_INVALID_FUNCTION;
    number = byPath.st_rdev;
    return ERROR_SUCCESS;
}

BOOL answerDeviceNumber(const tBlockDevice& device, LPVOID outBuffer, DWORD outBufferSize,
                        LPDWORD bytesReturned) {
    if (!outBuffer || outBufferSize < sizeof(STORAGE_DEVICE_NUMBER))
        return fail(ERROR_INSUFFICIENT_BUFFER);
    STORAGE_DEVICE_NUMBER number{};
    number.DeviceType = FILE_DEVICE_DISK;
    number.DeviceNumber = static_cast<DWORD>(device.diskSeq);
    number.PartitionNumber = device.partitionNumber;
    memcpy(outBuffer, &number, sizeof number);
    if (bytesReturned)
        *bytesReturned = sizeof number;
    return TRUE;
}

BOOL answerExtents(tUdevContext& udev, const tBlockDevice& device, LPVOID outBuffer,
                   DWORD outBufferSize, LPDWORD bytesReturned) {
    // A disk answers only when it is itself the volume (a file system without partitions).
    if (!identifyVolume(udev, device, tMountTable::read(), nullptr))
        return fail(ERROR_INVALID_FUNCTION);
    if (!outBuffer || outBufferSize < sizeof(VOLUME_DISK_EXTENTS))
        return fail(ERROR_INSUFFICIENT_BUFFER);
    std::vector<tExtent> extents;
    DWORD error = ERROR_SUCCESS;
    if (!volumeExtents(udev, device, extents, error))
        return fail(error);

    constexpr std::size_t header = offsetof(VOLUME_DISK_EXTENTS, Extents);
    DWORD count = static_cast<DWORD>(extents.size());
    std::size_t fitting =
        std::min<std::size_t>(count, (outBufferSize - header) / sizeof(DISK_EXTENT));
    memcpy(outBuffer, &count, sizeof count);
    BYTE* at = static_cast<BYTE*>(outBuffer) + header;
    for (std::size_t k = 0; k < fitting; ++k, at += sizeof(DISK_EXTENT)) {
        DISK_EXTENT extent{};
        extent.DiskNumber = static_cast<DWORD>(extents[k].diskSeq);
        extent.StartingOffset.QuadPart = static_cast<LONGLONG>(extents[k].offset);
        extent.ExtentLength.QuadPart = static_cast<LONGLONG>(extents[k].length);
        memcpy(at, &extent, sizeof extent);
    }
    // As much as fits is written; the count tells how large the block must be.
    if (bytesReturned)
        *bytesReturned = static_cast<DWORD>(header + fitting * sizeof(DISK_EXTENT));
    return fitting < count ? fail(ERROR_MORE_DATA) : TRUE;
}

} // namespace

HANDLE WINAPI CreateFileA(LPCSTR fileName, DWORD desiredAccess, DWORD shareMode,
                          LPSECURITY_ATTRIBUTES securityAttributes, DWORD creationDisposition,
                          DWORD flagsAndAttributes, HANDLE templateFile) {
    if (DWORD code = platform::enterCall("CreateFileA", [&] {
            return callDetail("%s access=0x%x disposition=%u", fileName ? fileName : "(null)",
                              desiredAccess, creationDisposition);
        }))
        return failOpen(code);
    (void)shareMode;
    (void)securityAttributes;
    (void)flagsAndAttributes;
    (void)templateFile;
    if (!fileName)
        return failOpen(ERROR_INVALID_PARAMETER);
    // Devices are opened for queries only; reading and writing them is the formatter's business.
    if (creationDisposition != OPEN_EXISTING || desiredAccess != 0)
        return failOpen(ERROR_ACCESS_DENIED);

    int fd = open(fileName, O_PATH | O_CLOEXEC);
    if (fd < 0)
        return failOpen(platform::errorFromErrno(errno));
    auto file = std::make_shared<tBlockDeviceFile>(fd);
    if (DWORD code = checkBlockDevice(fileName, fd, file->number))
        return failOpen(code);
    tUdevContext udev;
    auto device = udev.valid() ? blockDeviceByNumber(udev, file->number) : std::nullopt;
    if (!device) // a stale node, without a device behind it
        return failOpen(ERROR_FILE_NOT_FOUND);
    file->diskSeq = device->diskSeq;
    return platform::insertHandle(std::move(file));
}

BOOL WINAPI DeviceIoControl(HANDLE handle, DWORD ioControlCode, LPVOID inBuffer, DWORD inBufferSize,
                            LPVOID outBuffer, DWORD outBufferSize, LPDWORD bytesReturned,
                            LPOVERLAPPED overlapped) {
    if (DWORD code = platform::enterCall("DeviceIoControl", [&] {
            return callDetail("code=0x%x size=%u", ioControlCode, outBufferSize);
        }))
        return fail(code);
    (void)inBuffer;
    (void)inBufferSize;
    (void)overlapped;
    auto file = platform::lookupHandleAs<tBlockDeviceFile>(handle);
    if (!file)
        return fail(ERROR_INVALID_HANDLE);
    if (bytesReturned)
        *bytesReturned = 0;
    if (ioControlCode != IOCTL_STORAGE_GET_DEVICE_NUMBER &&
        ioControlCode != IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS)
        return fail(ERROR_INVALID_FUNCTION);

    tUdevContext udev;
    if (!udev.valid())
        return fail(ERROR_NOT_ENOUGH_MEMORY);
    auto device = blockDeviceByNumber(udev, file->number);
    // Gone, or its number now belongs to a disk attached since.
    if (!device || device->diskSeq != file->diskSeq)
        return fail(ERROR_DEV_NOT_EXIST);
    if (ioControlCode == IOCTL_STORAGE_GET_DEVICE_NUMBER)
        return answerDeviceNumber(*device, outBuffer, outBufferSize, bytesReturned);
    return answerExtents(udev, *device, outBuffer, outBufferSize, bytesReturned);
}

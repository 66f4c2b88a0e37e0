#include "platform/linux/mount_table.h"

#include <libmount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <memory>

namespace platform::devices {

namespace {

struct tMountRelease {
    void operator()(libmnt_table* table) const { mnt_unref_table(table); }
    void operator()(libmnt_iter* iterator) const { mnt_free_iter(iterator); }
};

// The block device behind a mount. File systems such as btrfs show an anonymous device number
// in the table; their source path still names the block device.
dev_t blockDeviceOf(libmnt_fs* fs) {
    dev_t number = mnt_fs_get_devno(fs);
    if (major(number) != 0)
        return number;
    const char* source = mnt_fs_get_srcpath(fs);
    struct stat status;
    if (source && source[0] == '/' && stat(source, &status) == 0 && S_ISBLK(status.st_mode))
        return status.st_rdev;
    return 0;
}

} // namespace

tMountTable tMountTable::read() {
    tMountTable table;
    std::unique_ptr<libmnt_table, tMountRelease> mounts(
        mnt_new_table_from_file("/proc/self/mountinfo"));
    std::unique_ptr<libmnt_iter, tMountRelease> iterator(mnt_new_iter(MNT_ITER_FORWARD));
    if (!mounts || !iterator)
        return table;
    libmnt_fs* fs = nullptr;
    while (mnt_table_next_fs(mounts.get(), iterator.get(), &fs) == 0) {
        const char* target = mnt_fs_get_target(fs);
        const char* type = mnt_fs_get_fstype(fs);
        dev_t device = blockDeviceOf(fs);
        if (target && device != 0)
            table.mounts.push_back({device, target, type ? type : ""});
    }
    return table;
}

std::optional<tMountTable::tMount> tMountTable::firstMountOf(dev_t number) const {
    for (const tMount& mount : mounts)
        if (mount.device == number)
            return mount;
    return std::nullopt;
}

dev_t tMountTable::deviceAt(const std::string& target) const {
    for (auto mount = mounts.rbegin(); mount != mounts.rend(); ++mount)
        if (mount->target == target)
            return mount->device;
    return 0;
}

} // namespace platform::devices

#include "testbed.h"

#include <gtest/gtest.h>
#include <umockdev.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fixtures {

namespace fs = std::filesystem;

bool umockdevPreloaded() {
    const char* preload = getenv("LD_PRELOAD");
    return preload && std::string(preload).find("libumockdev-preload") != std::string::npos;
}

tTestbed::tTestbed() : testbed(umockdev_testbed_new()) {
    gchar* dir = umockdev_testbed_get_root_dir(testbed);
    rootDir = dir;
    g_free(dir);
}

tTestbed::~tTestbed() {
    g_object_unref(testbed);
}

void tTestbed::add(const std::string& description) {
    GError* error = nullptr;
    if (!umockdev_testbed_add_from_string(testbed, description.c_str(), &error)) {
        ADD_FAILURE() << "umockdev rejected the machine: " << (error ? error->message : "?");
        g_clear_error(&error);
    }
    fileBlockNumbers();
}

// umockdev files a device under /sys/dev/block only when its path has a "block" directory;
// NVMe namespaces and their partitions have none, so their numbers are moved where the kernel
// keeps them.
void tTestbed::fileBlockNumbers() {
    fs::path charNumbers = fs::path(rootDir) / "sys/dev/char";
    fs::path blockNumbers = fs::path(rootDir) / "sys/dev/block";
    if (!fs::exists(charNumbers))
        return;
    for (const fs::directory_entry& entry : fs::directory_iterator(charNumbers)) {
        fs::path device = entry.path().parent_path() / fs::read_symlink(entry.path());
        fs::path subsystem = device / "subsystem";
        if (!fs::is_symlink(subsystem) || fs::read_symlink(subsystem).filename() != "block")
            continue;
        fs::create_directories(blockNumbers);
        // Both directories lie at the same depth: the relative target stays right.
        fs::create_symlink(fs::read_symlink(entry.path()), blockNumbers / entry.path().filename());
        fs::remove(entry.path());
    }
}

// The testbed lives in a real directory, which the preload library leaves alone.
void tTestbed::writeFile(const std::string& relativePath, const std::string& contents,
                         bool sticky) {
    fs::path path = fs::path(rootDir) / relativePath;
    fs::create_directories(path.parent_path());
    std::ofstream(path) << contents;
    if (sticky) // how umockdev marks a file as a block device node
        fs::permissions(path, fs::perms::sticky_bit, fs::perm_options::add);
}

void tTestbed::setMounts(const std::string& mountInfo) {
    writeFile("proc/self/mountinfo", mountInfo, false);
}

void tTestbed::addNodeLink(const std::string& link, const std::string& target,
                           const std::string& number) {
    fs::path path = fs::path(rootDir) / "dev" / link;
    fs::create_directories(path.parent_path());
    fs::create_symlink(target, path);
    std::string flat = link;
    for (char& c : flat)
        if (c == '/')
            c = '_';
    fs::create_symlink(number, fs::path(rootDir) / "dev/.node" / flat);
}

void tTestbed::addStaleNode(const std::string& name, const std::string& number) {
    writeFile("dev/" + name, std::string(1, '\0'), true);
    fs::create_symlink(number, fs::path(rootDir) / "dev/.node" / name);
}

void tTestbed::setAttribute(const std::string& sysPath, const std::string& name,
                            const std::string& value) {
    umockdev_testbed_set_attribute(testbed, ("/sys" + sysPath).c_str(), name.c_str(),
                                   value.c_str());
}

void tTestbed::remove(const std::string& sysPath) {
    umockdev_testbed_remove_device(testbed, ("/sys" + sysPath).c_str());
}

} // namespace fixtures

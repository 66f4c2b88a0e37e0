#pragma once

// A umockdev testbed: while it lives, /sys, the device nodes under /dev it knows and
// /proc/self/mountinfo (when given) are the fake machine's, for this process. Needs the
// umockdev preload library (the tests run under umockdev-wrapper).

#include <string>

typedef struct _UMockdevTestbed UMockdevTestbed;

namespace fixtures {

// Whether the umockdev preload library is loaded into this process.
bool umockdevPreloaded();

class tTestbed {
public:
    tTestbed();
    ~tTestbed();
    tTestbed(const tTestbed&) = delete;
    tTestbed& operator=(const tTestbed&) = delete;

    // Adds devices in umockdev-record's text form; a rejected description fails the test.
    void add(const std::string& description);
    // The mount table this process sees.
    void setMounts(const std::string& mountInfo);
    // A symbolic link under /dev (such as "disk/by-diskseq/42") to a node, answering stat()
    // as the block device `number` ("8:16").
    void addNodeLink(const std::string& link, const std::string& target, const std::string& number);
    // A device node for `number` that no device in sysfs stands behind.
    void addStaleNode(const std::string& name, const std::string& number);
    void setAttribute(const std::string& sysPath, const std::string& name,
                      const std::string& value);
    void remove(const std::string& sysPath);

    const std::string& root() const { return rootDir; }

private:
    void fileBlockNumbers();
    void writeFile(const std::string& relativePath, const std::string& contents, bool sticky);
    UMockdevTestbed* testbed;
    std::string rootDir;
};

} // namespace fixtures

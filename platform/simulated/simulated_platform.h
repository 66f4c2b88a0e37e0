#pragma once

// The simulated platform: while an instance lives, the device calls are served from its
// inventory, every platform call is logged, and any call can be made to fail.

#include "platform/simulated/inventory.h"
#include "platform/linux/call_hook.h"

#include <cstddef>
#include <map>
#include <unordered_map>
#include <string>
#include <vector>

namespace sim {

class tSimulatedPlatform : public platform::tCallHook {
public:
    explicit tSimulatedPlatform(tInventory inventory);
    ~tSimulatedPlatform() override;
    tSimulatedPlatform(const tSimulatedPlatform&) = delete;
    tSimulatedPlatform& operator=(const tSimulatedPlatform&) = delete;

    const tInventory& inventory() const { return devices; }
    // The disk or volume whose device path is `path`, or null.
    const tSimDisk* diskAt(const std::string& path) const;
    const tSimVolume* volumeAt(const std::string& path) const;

    // The `nth` call (counting from 1) of `operation` fails with `code`.
    void failCall(const std::string& operation, int nth, DWORD code);
    void clearFaults();

    // Every platform call since construction (or the last clearLog), as "Name(details)".
    const std::vector<std::string>& callLog() const { return log; }
    void clearLog();
    // How many calls of `operation` were made; the numbering that failCall uses.
    int callCount(const std::string& operation) const;
    // Stop recording (counts go on); keeps long benchmark runs small.
    void setLogging(bool on) { logging = on; }

    DWORD onCall(const char* operation, const std::string& detail) override;

private:
    tInventory devices;
    std::unordered_map<std::string, std::size_t> diskByPath, volumeByPath;
    std::map<std::string, std::map<int, DWORD>> faults;
    std::map<std::string, int> counts;
    std::vector<std::string> log;
    bool logging = true;
    platform::tCallHook* previousHook;
};

// The instance now serving the device calls, or null.
tSimulatedPlatform* current();

} // namespace sim
